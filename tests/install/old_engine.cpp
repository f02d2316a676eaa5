// A stand-in engine library of an older version (6.0.9): it answers the start-up check and
// nothing else, so the host's choice between engines can be watched.
#include "com/convert.h"
#include "com/object.h"
#include "engine/library_entry.h"

namespace {

class OldEngine : public qz::NativeObject<OldEngine> {
 public:
  static void define(qz::Members<OldEngine>& m) {
    m.method(u"Command", [](OldEngine&, qz::Args) { return qz::Variant(); });
    m.method(u"Eval", [](OldEngine&, qz::Args a) {
      return qz::to_u16(a[0]) == u"qzl_version" ? qz::Variant(u"6.0") : qz::Variant(u"9");
    });
  }
  std::u16string type_name() const override { return u"OldEngine"; }
};

}  // namespace

extern "C" {
__attribute__((visibility("default"))) void quazel_set_event_loop(qz::EventLoop*) {}
__attribute__((visibility("default"))) qz::Object* quazel_create_object(const char16_t*) {
  return qz::make_ref<OldEngine>().detach();
}
}
