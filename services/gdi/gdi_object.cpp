#include "services/gdi/gdi_object.h"

#include "com/collection.h"
#include "com/convert.h"
#include "com/error.h"
#include "platform/window/graphics_services.h"
#include "services/gdi/color_helpers.h"
#include "services/gdi/cursor_object.h"
#include "services/gdi/gdip_object.h"
#include "services/gdi/opengl_object.h"
#include "services/gdi/script_shapes.h"

namespace qz {

namespace {

constexpr int32_t kGradientRectV = 1;
constexpr int32_t kGradientTriangle = 2;

int32_t long_arg(const Args& a, size_t i, int32_t missing = 0) { return a.has(i) ? to_long(a[i]) : missing; }

Ref<Collection> mode_info(const DisplayMode& m, bool bits_as_integer) {
  auto c = make_ref<Collection>();
  c->add(Variant(m.width), u"Width");
  c->add(Variant(m.height), u"Height");
  c->add(bits_as_integer ? Variant(static_cast<int16_t>(m.bits)) : Variant(m.bits), u"Bpp");
  c->add(Variant(m.frequency), u"Freq");
  return c;
}

// A byte of the blend function: values outside 0..255 leave it 0.
uint8_t byte_or_zero(const Args& a, size_t i) {
  try {
    int32_t v = long_arg(a, i);
    return v >= 0 && v <= 255 ? static_cast<uint8_t>(v) : 0;
  } catch (const ScriptError&) {
    return 0;
  }
}

class GdiObject : public NativeObject<GdiObject> {
 public:
  std::u16string type_name() const override { return u"clsGDI"; }

  static void define(Members<GdiObject>& m) {
    // The nested objects: made on the first read while empty; a script may put another object
    // (or Nothing) in their place.
    struct Nested {
      const char16_t* name;
      Variant GdiObject::*slot;
      Ref<Object> (*make)();
    };
    for (Nested n : {Nested{u"Cursor", &GdiObject::cursor_, new_cursor_object},
                     Nested{u"OpenGL", &GdiObject::opengl_, new_opengl_object},
                     Nested{u"Plus", &GdiObject::plus_, new_gdip_object}}) {
      m.getter(n.name, [n](GdiObject& g, Args) {
        Variant& v = g.*n.slot;
        if (v.is_empty() || (v.is_object() && !v.as_object())) v = Variant(n.make().get());
        return v;
      });
      auto put = [n](GdiObject& g, Args, const Variant& v) {
        to_object(v);  // an object or Nothing
        g.*n.slot = v;
      };
      m.letter(n.name, put);
      m.setter(n.name, put);
    }

    m.method(u"SetDisplayMode", [](GdiObject&, Args a) {
      DisplayMode mode{to_long(a[0]), to_long(a[1]), to_integer(a[2]), to_long(a[3])};
      int32_t flags = to_long(a[4]);
      return Variant(graphics_services().change_display_mode(mode, flags));
    });
    m.method(u"EnumDisplay", [](GdiObject&, Args) {
      auto all = make_ref<Collection>();
      for (const DisplayMode& mode : graphics_services().display_modes())
        all->add(Variant(mode_info(mode, true).get()));
      return Variant(all.get());
    });
    m.method(u"GetDisplayMode",
             [](GdiObject&, Args) { return Variant(mode_info(graphics_services().display_mode(), false).get()); });

    m.method(u"Polygon", [](GdiObject&, Args a) {
      std::vector<PixelPoint> points = read_points(a[0]);
      graphics_services().polygon(to_long(a[1]), points);
      return Variant();
    });
    m.method(u"Gradient_Rect", [](GdiObject&, Args a) {
      std::array<uint32_t, 2> mesh = read_rect_mesh(a[1]);
      std::vector<GradientVertex> vertices = read_vertices(a[0]);
      DeviceContext dc = to_long(a[2]);
      int32_t type = to_long(a[3]);
      if (type == 0 || type == kGradientRectV)
        graphics_services().gradient_rect(dc, vertices, mesh[0], mesh[1], type == kGradientRectV);
      return Variant();
    });
    m.method(u"Gradient_Tri", [](GdiObject&, Args a) {
      std::vector<GradientVertex> vertices = read_vertices(a[0]);
      std::vector<std::array<uint32_t, 3>> triangles = read_triangle_meshes(a[1]);
      DeviceContext dc = to_long(a[2]);
      if (to_long(a[3]) == kGradientTriangle) graphics_services().gradient_triangles(dc, vertices, triangles);
      return Variant();
    });
    m.method(u"AlphaPic", [](GdiObject&, Args a) {
      try {
        PixelRect to{long_arg(a, 1), long_arg(a, 2), long_arg(a, 3), long_arg(a, 4)};
        PixelRect from{long_arg(a, 6), long_arg(a, 7), long_arg(a, 8), long_arg(a, 9)};
        graphics_services().alpha_blend(long_arg(a, 0), to, long_arg(a, 5), from, byte_or_zero(a, 10),
                                        byte_or_zero(a, 11) == 1);
      } catch (const ScriptError&) {
      }
      return Variant();
    });
    m.method(u"IsAlpha", [](GdiObject&, Args a) {
      try {
        return Variant(graphics_services().window_layered(long_arg(a, 0)));
      } catch (const ScriptError&) {
        return Variant(false);
      }
    });
    m.method(u"SetAlpha", [](GdiObject&, Args a) {
      try {
        int16_t percent = to_integer(a[1]);
        int16_t flags = a.has(2) ? to_integer(a[2]) : 2;
        if (percent >= 0 && percent <= 255)
          graphics_services().set_window_alpha(long_arg(a, 0), static_cast<uint8_t>(percent), flags);
      } catch (const ScriptError&) {
      }
      return Variant();
    });
    m.method(u"QBColor16", [](GdiObject&, Args a) {
      try {
        return Variant(qb_color(long_arg(a, 0, -1)));
      } catch (const ScriptError&) {
        return Variant(int32_t{0});
      }
    });
    m.method(u"GetGrad", [](GdiObject&, Args a) {
      try {
        return Variant(gradient_color(to_single(a[0]), to_long(a[1]), to_long(a[2])));
      } catch (const ScriptError&) {
        return Variant(int32_t{0});
      }
    });
  }

 private:
  Variant cursor_, opengl_, plus_;
};

}  // namespace

Ref<Object> new_gdi_object() { return make_ref<GdiObject>(); }

Ref<Object> create_gdi_service(EngineLink&) { return new_gdi_object(); }

}  // namespace qz
