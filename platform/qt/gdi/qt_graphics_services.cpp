#include "platform/qt/gdi/qt_graphics_services.h"

#include <QBuffer>
#include <QImageWriter>
#include <QWidget>

#include "platform/qt/gdi/cursors.h"
#include "platform/qt/gdi/device_contexts.h"
#include "platform/qt/gdi/display_modes.h"
#include "platform/qt/gdi/gdi_drawing.h"
#include "platform/qt/gdi/icons.h"
#include "platform/qt/gdi/layered_windows.h"
#include "platform/qt/gdi/opengl_context.h"
#include "platform/qt/gdi/png_skin.h"
#include "platform/qt/gdi/sized_pictures.h"
#include "platform/qt/gdi/window_calls.h"
#include "platform/qt/picture.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

constexpr int kMaxSide = 16384;

class QtGraphicsServices final : public GraphicsServices {
 public:
  DeviceContext window_dc(WindowHandle window) override { return device_context_of_window(window); }
  DeviceContext create_memory_dc(int32_t width, int32_t height, int32_t color) override {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromRgb(argb_of(color)));
    return new_memory_context(std::move(image));
  }
  void release_dc(DeviceContext dc) override { delete_device_context(dc); }
  Ref<Object> dc_picture(DeviceContext dc) override {
    QImage image = device_context_image(dc);
    if (image.isNull()) return nullptr;
    return Ref<Object>(make_ref<Picture>(image.convertToFormat(QImage::Format_RGB32)).get());
  }

  bool polygon(DeviceContext dc, const std::vector<PixelPoint>& points) override { return draw_polygon(dc, points); }
  bool gradient_rect(DeviceContext dc, const std::vector<GradientVertex>& vertices, uint32_t upper_left,
                     uint32_t lower_right, bool vertical) override {
    return fill_gradient_rect(dc, vertices, upper_left, lower_right, vertical);
  }
  bool gradient_triangles(DeviceContext dc, const std::vector<GradientVertex>& vertices,
                          const std::vector<std::array<uint32_t, 3>>& triangles) override {
    return fill_gradient_triangles(dc, vertices, triangles);
  }
  bool alpha_blend(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect, uint8_t constant_alpha,
                   bool per_pixel) override {
    return blend_contexts(dst, dst_rect, src, src_rect, constant_alpha, per_pixel);
  }
  bool stretch_blt(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect, int32_t rop) override {
    return transfer_block(dst, dst_rect, src, src_rect, rop);
  }
  int32_t set_pixel(DeviceContext dc, int32_t x, int32_t y, int32_t color) override {
    return put_pixel(dc, x, y, color);
  }
  bool text_out(DeviceContext dc, int32_t x, int32_t y, std::u16string_view text) override {
    return draw_text_at(dc, x, y, text);
  }

  DisplayMode display_mode() override { return current_display_mode(); }
  std::vector<DisplayMode> display_modes() override { return list_display_modes(); }
  int32_t change_display_mode(const DisplayMode& mode, int32_t flags) override {
    return switch_display_mode(mode, flags);
  }

  bool window_layered(WindowHandle window) override { return window_is_layered(window); }
  bool set_window_alpha(WindowHandle window, uint8_t alpha, int32_t flags) override {
    return set_layered_window(window, alpha, flags);
  }

  int32_t icon_from_dc(DeviceContext dc, int32_t width, int32_t height, int32_t mask_color) override {
    return make_icon_from_dc(dc, width, height, mask_color);
  }
  Ref<Object> icon_picture(int32_t icon) override { return take_icon_as_picture(icon); }

  Ref<Object> load_picture_sized(std::u16string_view path, int32_t width, int32_t height, int32_t back_color,
                                 bool keep_ratio) override {
    return load_sized_picture(path, width, height, back_color, keep_ratio);
  }
  Ref<Object> resize_picture(int32_t handle, int32_t type, int32_t width, int32_t height, int32_t back_color,
                             bool keep_ratio) override {
    return resize_picture_handle(handle, type, width, height, back_color, keep_ratio);
  }
  bool picture_pixels(Object* picture, BgrPixels& out) override {
    Picture* p = as_picture(picture);
    if (!p || p->image().isNull()) return false;
    QImage rgb = p->image().convertToFormat(QImage::Format_RGB888);
    out.width = rgb.width();
    out.height = rgb.height();
    out.bytes.assign(static_cast<size_t>(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y) {
      const uchar* row = rgb.constScanLine(out.height - 1 - y);  // bottom row first
      uint8_t* to = out.bytes.data() + static_cast<size_t>(y) * out.width * 3;
      for (int x = 0; x < out.width; ++x) {
        to[x * 3] = row[x * 3 + 2];
        to[x * 3 + 1] = row[x * 3 + 1];
        to[x * 3 + 2] = row[x * 3];
      }
    }
    return true;
  }
  std::string picture_png(Object* picture) override {
    Picture* p = as_picture(picture);
    if (!p || p->image().isNull()) return std::string();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!p->image().save(&buffer, "PNG")) return std::string();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
  }

  SkinHandles load_png_skin(WindowHandle form, std::u16string_view path, uint8_t alpha) override {
    return load_form_skin(form, path, alpha);
  }
  bool unload_png_skin(WindowHandle form) override { return unload_form_skin(form); }

  int32_t load_cursor(std::u16string_view path) override { return load_cursor_file(path); }
  void destroy_cursor(int32_t cursor) override { destroy_cursor_handle(cursor); }
  int32_t set_class_cursor(WindowHandle window, int32_t cursor) override {
    return set_window_class_cursor(window, cursor);
  }
  bool set_small_icon(WindowHandle window, std::u16string_view path) override {
    return set_window_small_icon(window, path);
  }

  WindowHandle find_top_window(std::u16string_view kind, std::u16string_view caption) override {
    return find_child_window_of(0, 0, kind, caption);
  }
  WindowHandle find_child_window(WindowHandle parent, WindowHandle after, std::u16string_view kind,
                                 std::u16string_view caption) override {
    return find_child_window_of(parent, after, kind, caption);
  }
  bool set_window_pos(WindowHandle window, WindowHandle insert_after, int32_t x, int32_t y, int32_t cx, int32_t cy,
                      int32_t flags) override {
    return set_window_position(window, insert_after, x, y, cx, cy, flags);
  }
  WindowHandle set_parent_window(WindowHandle child, WindowHandle parent) override {
    return set_window_parent(child, parent);
  }
  int32_t send_message(WindowHandle window, int32_t message, int32_t wparam, int32_t lparam) override {
    return send_window_message(window, message, wparam, lparam);
  }
  bool lock_window_update(WindowHandle window) override { return lock_window_painting(window); }
  void mouse_event(int32_t flags, int32_t dx, int32_t dy) override { synthesize_mouse(flags, dx, dy); }

  OpenGlServices& opengl() override { return qt_opengl_services(); }
};

}  // namespace

GraphicsServices& qt_graphics_services() {
  static auto* g = new QtGraphicsServices();
  return *g;
}

DeviceContext window_device_context(WindowHandle window) { return device_context_of_window(window); }

}  // namespace qz
