#include "services/gdi/cursor_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "platform/window/graphics_services.h"

namespace qz {

namespace {

class CursorObject : public NativeObject<CursorObject> {
 public:
  ~CursorObject() override {
    if (window_system_loaded()) destroy_cursor();
  }
  std::u16string type_name() const override { return u"clsAniCursor"; }

  static void define(Members<CursorObject>& m) {
    m.method(u"ShowCursor", [](CursorObject& c, Args a) {
      WindowHandle window = to_long(a[0]);
      if (c.cursor_ == 0) return Variant();  // nothing loaded: the window keeps its cursor
      int32_t before = graphics_services().set_class_cursor(window, c.cursor_);
      c.saved_ = Saved{true, before < 0 ? 0 : window, before < 0 ? 0 : before};
      return Variant();
    });
    m.method(u"HideCursor", [](CursorObject& c, Args a) {
      WindowHandle window = to_long(a[0]);
      if (!c.saved_.exists) raise(kErrSubscript);
      if (c.saved_.window != 0) {
        graphics_services().set_class_cursor(window, c.saved_.cursor);
        c.saved_.window = 0;
        c.saved_.cursor = 0;
      }
      return Variant();
    });
    m.method(u"LoadCursor", [](CursorObject& c, Args a) {
      std::u16string file = to_u16(a[0]);
      to_bool(a[1]);  // colours are the file's own; the flag is accepted as given
      c.destroy_cursor();
      c.cursor_ = graphics_services().load_cursor(file);
      return Variant(c.cursor_);
    });
    m.method(u"Destroy", [](CursorObject& c, Args) {
      c.destroy_cursor();
      return Variant();
    });
    m.method(u"SetIcon", [](CursorObject&, Args a) {
      WindowHandle window = to_long(a[0]);
      graphics_services().set_small_icon(window, a.has(1) ? to_u16(a[1]) : std::u16string());
      return Variant();
    });
  }

 private:
  void destroy_cursor() {
    if (cursor_ == 0) return;
    if (saved_.exists && saved_.window != 0) graphics_services().set_class_cursor(saved_.window, saved_.cursor);
    saved_ = Saved{};
    graphics_services().destroy_cursor(cursor_);
    cursor_ = 0;
  }

  // The window whose class cursor ShowCursor replaced, and that cursor (0: the arrow).
  struct Saved {
    bool exists = false;
    WindowHandle window = 0;
    int32_t cursor = 0;
  };
  int32_t cursor_ = 0;
  Saved saved_;
};

}  // namespace

Ref<Object> new_cursor_object() { return make_ref<CursorObject>(); }

}  // namespace qz
