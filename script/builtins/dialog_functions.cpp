// MsgBox and InputBox. With AllowUI off they raise 70 ("Permission denied"): a host that
// forbids dialogs must never block on one, and the script can trap the error.
#include <optional>

#include "platform/dialogs.h"
#include "script/builtins/builtin_support.h"

namespace qz::builtins {
namespace {

constexpr int32_t kErrPermissionDenied = 70;
constexpr std::u16string_view kDefaultTitle = u"VBScript";

void require_ui(const BuiltinContext& ctx) {
  if (!ctx.allow_ui) raise(kErrPermissionDenied);
}

// MsgBox(prompt[, buttons[, title[, helpfile, context]]]).
Variant MsgBox(BuiltinContext& ctx, Args a) {
  Str prompt = str_arg(a, 0);
  int32_t buttons = long_arg(a, 1, 0);
  Str title = given(a, 2) ? str_arg(a, 2) : Str(kDefaultTitle);
  require_ui(ctx);
  return Variant(static_cast<int16_t>(message_box(prompt.view(), buttons, title.view())));
}

// InputBox(prompt[, title[, default[, xpos, ypos[, helpfile, context]]]]): Empty on Cancel.
Variant InputBox(BuiltinContext& ctx, Args a) {
  Str prompt = str_arg(a, 0);
  Str title = given(a, 1) ? str_arg(a, 1) : Str(kDefaultTitle);
  Str initial = given(a, 2) ? str_arg(a, 2) : Str();
  require_ui(ctx);
  std::optional<std::u16string> answer = input_box(prompt.view(), title.view(), initial.view());
  if (!answer) return Variant();
  return Variant(Str(*answer));
}

constexpr BuiltinFunction kTable[] = {
    {u"MsgBox", 1, 5, MsgBox},
    {u"InputBox", 1, 7, InputBox},
};

}  // namespace

std::span<const BuiltinFunction> dialog_functions() { return kTable; }

}  // namespace qz::builtins
