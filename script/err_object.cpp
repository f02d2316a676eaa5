#include "script/err_object.h"

#include "com/convert.h"
#include "script/diagnostics.h"

namespace qz::vbs {

namespace {
// The language's error number for a failure code, as a failing call on a host object would
// report it: a code of the language's own facility (&H800A....) carries the number in its low
// word, the common system codes have their own numbers, anything else stays as it is.
int32_t error_number_of(int32_t code) {
  uint32_t u = static_cast<uint32_t>(code);
  if ((u & 0xFFFF0000u) == 0x800A0000u) return static_cast<int32_t>(u & 0xFFFFu);
  struct Mapping { uint32_t code; int32_t number; };
  static constexpr Mapping kMap[] = {
      {0x8007000Eu, 7},     // E_OUTOFMEMORY
      {0x80070057u, 5},     // E_INVALIDARG
      {0x80070005u, 70},    // E_ACCESSDENIED
      {0x80004001u, 445},   // E_NOTIMPL
      {0x80004002u, 430},   // E_NOINTERFACE
      {0x80020001u, 438},   // DISP_E_UNKNOWNINTERFACE
      {0x80020003u, 438},   // DISP_E_MEMBERNOTFOUND
      {0x80020004u, 448},   // DISP_E_PARAMNOTFOUND
      {0x80020005u, 13},    // DISP_E_TYPEMISMATCH
      {0x80020006u, 438},   // DISP_E_UNKNOWNNAME
      {0x80020007u, 446},   // DISP_E_NONAMEDARGS
      {0x80020008u, 458},   // DISP_E_BADVARTYPE
      {0x8002000Au, 6},     // DISP_E_OVERFLOW
      {0x8002000Bu, 9},     // DISP_E_BADINDEX
      {0x8002000Cu, 447},   // DISP_E_UNKNOWNLCID
      {0x8002000Du, 10},    // DISP_E_ARRAYISLOCKED
      {0x8002000Eu, 450},   // DISP_E_BADPARAMCOUNT
      {0x8002000Fu, 449},   // DISP_E_PARAMNOTOPTIONAL
      {0x80020011u, 451},   // DISP_E_NOTACOLLECTION
      {0x80020012u, 11},    // DISP_E_DIVBYZERO
  };
  for (const Mapping& m : kMap)
    if (m.code == u) return m.number;
  return code;
}
}  // namespace

void ErrObject::set(const ScriptError& e) {
  number = e.number;
  description = std::u16string(e.plain_description());
  source = e.source.empty() ? std::u16string(e.compile ? kCompileSource : kRuntimeSource) : e.source;
  help_file = e.help_file;
  help_context = e.help_context;
}

void ErrObject::clear() {
  number = 0;
  description.clear();
  source.clear();
  help_file.clear();
  help_context = 0;
}

void ErrObject::define(Members<ErrObject>& m) {
  m.property(u"Number", [](ErrObject& e, Args) { return Variant(e.number); },
             [](ErrObject& e, Args, const Variant& v) { e.number = to_long(v); });
  m.default_member(u"Number");
  m.property(u"Description", [](ErrObject& e, Args) { return Variant(e.description); },
             [](ErrObject& e, Args, const Variant& v) { e.description = to_u16(v); });
  m.property(u"Source", [](ErrObject& e, Args) { return Variant(e.source); },
             [](ErrObject& e, Args, const Variant& v) { e.source = to_u16(v); });
  m.property(u"HelpFile", [](ErrObject& e, Args) { return Variant(e.help_file); },
             [](ErrObject& e, Args, const Variant& v) { e.help_file = to_u16(v); });
  m.property(u"HelpContext", [](ErrObject& e, Args) { return Variant(e.help_context); },
             [](ErrObject& e, Args, const Variant& v) { e.help_context = to_long(v); });
  m.method(u"Clear", [](ErrObject& e, Args) {
    e.clear();
    return Variant();
  });
  // Arguments left out keep what the Err object still holds from an earlier error.
  m.method(u"Raise", [](ErrObject& e, Args a) -> Variant {
    if (a.size() < 1 || a.size() > 5) raise(kErrArgCount);
    int32_t number = to_long(a[0]);
    if (number == 0 || number > 0xFFFF) raise(kErrIllegalCall);
    number = error_number_of(number);
    std::u16string source = a.has(1) ? to_u16(a[1]) : !e.source.empty() ? e.source : std::u16string(kRuntimeSource);
    std::u16string description;
    if (a.has(2)) {
      description = to_u16(a[2]);
    } else if (!e.description.empty()) {
      description = e.description;
    } else {
      std::u16string_view t = error_text(number);
      description = t.empty() ? u"Unknown runtime error" : std::u16string(t);
    }
    ScriptError err(number, source, description);
    err.help_file = a.has(3) ? to_u16(a[3]) : e.help_file;
    err.help_context = a.has(4) ? to_long(a[4]) : e.help_context;
    throw err;
  });
}

}  // namespace qz::vbs
