// The language's named constants (vbCrLf, vbTextCompare, vbSunday, vbRed, vbYesNo ...).
// Numeric constants are Integer, except the colours, vbObjectError and the vbMsgBox* flags,
// which are Long; the character constants are Strings.
#include <vector>

#include "script/builtins/builtin_support.h"

namespace qz::builtins {
namespace {

struct NumericConstant {
  std::u16string_view name;
  int32_t value;
  bool is_long = false;
};

constexpr NumericConstant kNumbers[] = {
    {u"vbObjectError", static_cast<int32_t>(0x80040000), true},
    // Comparison.
    {u"vbBinaryCompare", 0}, {u"vbTextCompare", 1}, {u"vbDatabaseCompare", 2},
    // Days of the week and the first week of the year.
    {u"vbUseSystemDayOfWeek", 0}, {u"vbSunday", 1}, {u"vbMonday", 2}, {u"vbTuesday", 3},
    {u"vbWednesday", 4}, {u"vbThursday", 5}, {u"vbFriday", 6}, {u"vbSaturday", 7},
    {u"vbUseSystem", 0}, {u"vbFirstJan1", 1}, {u"vbFirstFourDays", 2}, {u"vbFirstFullWeek", 3},
    // FormatDateTime.
    {u"vbGeneralDate", 0}, {u"vbLongDate", 1}, {u"vbShortDate", 2}, {u"vbLongTime", 3}, {u"vbShortTime", 4},
    // Tristate.
    {u"vbUseDefault", -2}, {u"vbTrue", -1}, {u"vbFalse", 0},
    // VarType.
    {u"vbEmpty", 0}, {u"vbNull", 1}, {u"vbInteger", 2}, {u"vbLong", 3}, {u"vbSingle", 4},
    {u"vbDouble", 5}, {u"vbCurrency", 6}, {u"vbDate", 7}, {u"vbString", 8}, {u"vbObject", 9},
    {u"vbError", 10}, {u"vbBoolean", 11}, {u"vbVariant", 12}, {u"vbDataObject", 13},
    {u"vbDecimal", 14}, {u"vbByte", 17}, {u"vbArray", 8192},
    // Colours (&HBBGGRR).
    {u"vbBlack", 0x000000, true}, {u"vbRed", 0x0000FF, true}, {u"vbGreen", 0x00FF00, true},
    {u"vbYellow", 0x00FFFF, true}, {u"vbBlue", 0xFF0000, true}, {u"vbMagenta", 0xFF00FF, true},
    {u"vbCyan", 0xFFFF00, true}, {u"vbWhite", 0xFFFFFF, true},
    // MsgBox buttons, icons and options.
    {u"vbOKOnly", 0}, {u"vbOKCancel", 1}, {u"vbAbortRetryIgnore", 2}, {u"vbYesNoCancel", 3},
    {u"vbYesNo", 4}, {u"vbRetryCancel", 5}, {u"vbCritical", 16}, {u"vbQuestion", 32},
    {u"vbExclamation", 48}, {u"vbInformation", 64}, {u"vbDefaultButton1", 0},
    {u"vbDefaultButton2", 256}, {u"vbDefaultButton3", 512}, {u"vbDefaultButton4", 768},
    {u"vbApplicationModal", 0}, {u"vbSystemModal", 4096}, {u"vbMsgBoxHelpButton", 16384, true},
    {u"vbMsgBoxSetForeground", 65536, true}, {u"vbMsgBoxRight", 524288, true},
    {u"vbMsgBoxRtlReading", 1048576, true},
    // MsgBox answers.
    {u"vbOK", 1}, {u"vbCancel", 2}, {u"vbAbort", 3}, {u"vbRetry", 4}, {u"vbIgnore", 5},
    {u"vbYes", 6}, {u"vbNo", 7},
};

struct TextConstant {
  std::u16string_view name;
  std::u16string_view value;
};

constexpr TextConstant kTexts[] = {
    {u"vbCrLf", u"\r\n"}, {u"vbNewLine", u"\r\n"}, {u"vbCr", u"\r"}, {u"vbLf", u"\n"},
    {u"vbTab", u"\t"}, {u"vbNullString", u""}, {u"vbNullChar", std::u16string_view(u"\0", 1)},
    {u"vbBack", u"\b"}, {u"vbFormFeed", u"\f"}, {u"vbVerticalTab", u"\v"},
};

}  // namespace

std::span<const BuiltinConstant> constants() {
  static const std::vector<BuiltinConstant>* table = [] {
    auto* t = new std::vector<BuiltinConstant>();
    for (const auto& c : kNumbers)
      t->push_back({c.name, c.is_long ? Variant(c.value) : Variant(static_cast<int16_t>(c.value))});
    for (const auto& c : kTexts) t->push_back({c.name, Variant(Str(c.value))});
    return t;
  }();
  return *table;
}

}  // namespace qz::builtins
