#include "services/gdi/gdip_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "platform/window/graphics_services.h"

namespace qz {

namespace {

constexpr int32_t kErrLoadPicture = 999;
constexpr int32_t kWhite = 0xFFFFFF;
// The token of a started library: any number but 0.
constexpr int32_t kStartedToken = 1;

int32_t long_arg(const Args& a, size_t i, int32_t missing) { return a.has(i) ? to_long(a[i]) : missing; }
bool bool_arg(const Args& a, size_t i) { return a.has(i) && to_bool(a[i]); }

WindowHandle form_window(const Variant& form) { return to_long(to_object(form)->get(u"hWnd")); }

// The form's own record of its skin, read and written by name as scripts see it.
void put_skin_handles(const Variant& form, const SkinHandles& h) {
  Object* f = to_object(form);
  f->let(u"gdip_mDC", Variant(h.dc));
  f->let(u"gdip_MainBitmap", Variant(h.bitmap));
  f->let(u"gdip_OldBitmap", Variant(h.old_bitmap));
}

Variant picture_or_nothing(Ref<Object> p) { return p ? Variant(p.get()) : Variant::nothing(); }

class GdipObject : public NativeObject<GdipObject> {
 public:
  std::u16string type_name() const override { return u"clsGDIP"; }

  static void define(Members<GdipObject>& m) {
    m.property(
        u"Token", [](GdipObject& g, Args) { return Variant(g.token_); },
        [](GdipObject& g, Args, const Variant& v) { g.token_ = to_long(v); });
    m.method(u"Init", [](GdipObject& g, Args) {
      g.token_ = kStartedToken;
      return Variant(int32_t{0});
    });
    m.method(u"Free", [](GdipObject& g, Args) {
      g.token_ = 0;
      return Variant();
    });
    m.method(u"LoadPicture", [](GdipObject&, Args a) {
      std::u16string file = to_u16(a[0]);
      int32_t width = long_arg(a, 1, -1), height = long_arg(a, 2, -1);
      int32_t back = long_arg(a, 3, kWhite);
      Ref<Object> p = graphics_services().load_picture_sized(file, width, height, back, bool_arg(a, 4));
      if (!p) raise(kErrLoadPicture, u"GDI+ Module", u"Error loading picture " + file);
      return Variant(p.get());
    });
    m.method(u"Resize", [](GdipObject&, Args a) {
      int32_t handle = to_long(a[0]), type = to_long(a[1]);
      int32_t width = to_long(a[2]), height = to_long(a[3]);
      return picture_or_nothing(
          graphics_services().resize_picture(handle, type, width, height, long_arg(a, 4, kWhite), bool_arg(a, 5)));
    });
    m.method(u"LoadPngSkin", [](GdipObject&, Args a) {
      WindowHandle form = form_window(a[0]);
      std::u16string png = to_u16(a[1]);
      int16_t alpha = a.has(2) ? to_integer(a[2]) : int16_t{255};
      if (alpha < 0 || alpha > 255) raise(kErrOverflow);
      SkinHandles skin = graphics_services().load_png_skin(form, png, static_cast<uint8_t>(alpha));
      // A skin that could not be made leaves the form as it was, an earlier skin included.
      if (!skin.dc) return Variant(int32_t{-1});
      put_skin_handles(a[0], skin);
      return Variant(int32_t{0});
    });
    m.method(u"UnloadPngSkin", [](GdipObject&, Args a) {
      // The freed handles are cleared, so a second unload or a later load finds nothing stale.
      if (graphics_services().unload_png_skin(form_window(a[0]))) put_skin_handles(a[0], SkinHandles{});
      return Variant(int32_t{0});
    });
  }

 private:
  int32_t token_ = kStartedToken;  // made started, as creating the object starts the library
};

}  // namespace

Ref<Object> new_gdip_object() { return make_ref<GdipObject>(); }

}  // namespace qz
