#include "services/conv/icon_object.h"

#include "com/convert.h"
#include "platform/window/graphics_services.h"

namespace qz {

namespace {

// RGB(206, 206, 206): the light grey that is transparent unless the script names a colour.
constexpr int32_t kDefaultMaskColor = 13553358;

class IconObject : public NativeObject<IconObject> {
 public:
  std::u16string type_name() const override { return u"clsIcon"; }

  static void define(Members<IconObject>& m) {
    m.method(u"PicToIco", [](IconObject&, Args a) {
      DeviceContext dc = to_long(a[0]);
      int32_t width = to_long(a[1]), height = to_long(a[2]);
      int32_t mask = a.has(3) ? to_long(a[3]) : kDefaultMaskColor;
      return Variant(graphics_services().icon_from_dc(dc, width, height, mask));
    });
    m.method(u"IcoToPic", [](IconObject&, Args a) {
      Ref<Object> p = graphics_services().icon_picture(to_long(a[0]));
      return p ? Variant(p.get()) : Variant::nothing();
    });
  }
};

}  // namespace

Ref<Object> new_icon_object() { return make_ref<IconObject>(); }

}  // namespace qz
