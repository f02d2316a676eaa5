// Objects and the environment: CreateObject, GetObject, LoadPicture, RGB and the engine's
// name and version.
#include <string>

#include "com/progid.h"
#include "platform/path.h"
#include "platform/window/window_system.h"
#include "script/builtins/builtin_support.h"

namespace qz::builtins {
namespace {

Variant CreateObject(BuiltinContext&, Args a) {
  Str progid = str_arg(a, 0);
  if (given(a, 1) && !str_arg(a, 1).empty()) {
    raise(462, u"The remote server machine does not exist or is unavailable");
  }
  return Variant(create_object(progid.view()));
}

// GetObject([pathname][, class]): no running objects or monikers exist here. An empty path
// with a registered class creates a new object, as the original does; anything else fails
// with 429.
Variant GetObject(BuiltinContext&, Args a) {
  bool has_path = given(a, 0);
  Str path = has_path ? str_arg(a, 0) : Str();
  if (given(a, 1) && has_path && path.empty()) return Variant(create_object(str_arg(a, 1).view()));
  raise(kErrCantCreate);
}

// LoadPicture(name): the window system decodes the picture (BMP, PNG, JPEG, GIF, ICO, CUR),
// which loads it. No name gives Nothing (an empty picture); a missing file raises 53 and data
// that is no picture 481.
Variant LoadPicture(BuiltinContext&, Args a) {
  if (!given(a, 0)) return Variant::nothing();
  Str name = str_arg(a, 0);
  if (name.empty()) return Variant::nothing();
  std::string path = find_path(name.view());
  if (!file_exists(path)) raise(kErrFileNotFound);
  return Variant(window_system().load_picture(Str::from_utf8(path).u16()));
}

// RGB(red, green, blue): each part above 255 counts as 255; negative parts are refused.
Variant RGB(BuiltinContext&, Args a) {
  int32_t value = 0;
  for (int i = 2; i >= 0; --i) {
    int32_t c = to_long(arg(a, static_cast<size_t>(i)));
    if (c < 0) invalid_argument();
    value = value * 256 + (c > 255 ? 255 : c);
  }
  return Variant(value);
}

Variant ScriptEngine(BuiltinContext&, Args) { return Variant(u"VBScript"); }
Variant ScriptEngineMajorVersion(BuiltinContext&, Args) { return Variant(int32_t{5}); }
Variant ScriptEngineMinorVersion(BuiltinContext&, Args) { return Variant(int32_t{8}); }
Variant ScriptEngineBuildVersion(BuiltinContext&, Args) { return Variant(int32_t{16384}); }

constexpr BuiltinFunction kTable[] = {
    {u"CreateObject", 1, 2, CreateObject},
    {u"GetObject", 0, 2, GetObject},
    {u"LoadPicture", 0, 1, LoadPicture},
    {u"RGB", 3, 3, RGB},
    {u"ScriptEngine", 0, 0, ScriptEngine},
    {u"ScriptEngineMajorVersion", 0, 0, ScriptEngineMajorVersion},
    {u"ScriptEngineMinorVersion", 0, 0, ScriptEngineMinorVersion},
    {u"ScriptEngineBuildVersion", 0, 0, ScriptEngineBuildVersion},
};

}  // namespace

std::span<const BuiltinFunction> system_functions() { return kTable; }

}  // namespace qz::builtins
