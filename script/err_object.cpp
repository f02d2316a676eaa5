#include "script/err_object.h"

#include "com/convert.h"
#include "script/diagnostics.h"

namespace qz::vbs {

void ErrObject::set(const ScriptError& e) {
  number = e.number;
  description = e.description;
  source = e.source.empty() ? std::u16string(e.compile ? kCompileSource : kRuntimeSource) : e.source;
  help_file.clear();
  help_context = 0;
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
  m.method(u"Raise", [](ErrObject& e, Args a) -> Variant {
    if (a.size() < 1 || a.size() > 5) raise(kErrArgCount);
    int32_t number = to_long(a[0]);
    if (number == 0) raise(kErrIllegalCall);
    std::u16string source = a.has(1) ? to_u16(a[1]) : std::u16string(kRuntimeSource);
    std::u16string description;
    if (a.has(2)) {
      description = to_u16(a[2]);
    } else {
      std::u16string_view t = error_text(number);
      description = t.empty() ? u"Unknown runtime error" : std::u16string(t);
    }
    ScriptError err(number, source, description);
    if (a.has(3)) e.help_file = to_u16(a[3]);
    if (a.has(4)) e.help_context = to_long(a[4]);
    throw err;
  });
}

}  // namespace qz::vbs
