// The drawing, picture, icon, cursor and window services behind sys.GDI, sys.Conv.Icon and
// the window calls of sys.API, answered by the window system (WindowSystem::graphics()).
//
// Device contexts are numbers from one process-wide table, each naming one drawing target of
// ours: a window that draws (a form or a picture box), or a memory bitmap. A number we did not
// give out, or one whose window is gone, is refused with the call's failure value and never
// followed.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "platform/window/window_system.h"

namespace qz {

using DeviceContext = int32_t;

class OpenGlServices;

struct DisplayMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
  int32_t frequency = 0;
};

// A corner of a gradient: position in pixels and 16-bit channels (0..0xFF00 is 0..255).
struct GradientVertex {
  int32_t x = 0;
  int32_t y = 0;
  uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};

struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct PixelRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// A form's skin as a script form keeps it: the memory context holding the skin, the skin's
// bitmap (a picture handle) and the bitmap the context held before. All 0: no skin.
struct SkinHandles {
  DeviceContext dc = 0;
  int32_t bitmap = 0;
  int32_t old_bitmap = 0;
};

// A picture as 24-bit rows, blue-green-red, the bottom row first, no padding.
struct BgrPixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bytes;
};

class GraphicsServices {
 public:
  virtual ~GraphicsServices() = default;

  // ---- device contexts ----
  // The context of a window that draws; 0 for any other window.
  virtual DeviceContext window_dc(WindowHandle window) = 0;
  // A new memory bitmap of that size filled with `color` (0x00BBGGRR); 0 when the size is
  // not 1..16384 a side. Stays until release_dc.
  virtual DeviceContext create_memory_dc(int32_t width, int32_t height, int32_t color) = 0;
  virtual void release_dc(DeviceContext dc) = 0;
  // What the target shows now, as a new picture object; null for no context.
  virtual Ref<Object> dc_picture(DeviceContext dc) = 0;

  // ---- drawing (false: no such context, nothing drawn) ----
  // Outlined with the target's pen (a window's ForeColor and DrawWidth) and filled with its
  // brush (a window's FillColor and FillStyle); a memory bitmap has a black pen and a white brush.
  // Alternate filling.
  virtual bool polygon(DeviceContext dc, const std::vector<PixelPoint>& points) = 0;
  // A rectangle between two vertices shaded left to right (or top to bottom when `vertical`);
  // false also for indexes outside `vertices` and for an empty rectangle.
  virtual bool gradient_rect(DeviceContext dc, const std::vector<GradientVertex>& vertices, uint32_t upper_left,
                             uint32_t lower_right, bool vertical) = 0;
  // Triangles shaded between their three vertices.
  virtual bool gradient_triangles(DeviceContext dc, const std::vector<GradientVertex>& vertices,
                                  const std::vector<std::array<uint32_t, 3>>& triangles) = 0;
  // Copies `src_rect` of one context over `dst_rect` of another (stretched), weighted by
  // `constant_alpha` and, with `per_pixel`, by the source's own alpha.
  virtual bool alpha_blend(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect,
                           uint8_t constant_alpha, bool per_pixel) = 0;
  // BitBlt/StretchBlt with a raster operation code (SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, ...).
  virtual bool stretch_blt(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect,
                           int32_t rop) = 0;
  // Sets one pixel; returns the colour set, -1 for no context or a point outside.
  virtual int32_t set_pixel(DeviceContext dc, int32_t x, int32_t y, int32_t color) = 0;
  // Draws text with its top left at (x, y) in the target's font and text colour.
  virtual bool text_out(DeviceContext dc, int32_t x, int32_t y, std::u16string_view text) = 0;

  // ---- display ----
  virtual DisplayMode display_mode() = 0;
  // Every mode the display offers, in its own order; empty when it cannot tell.
  virtual std::vector<DisplayMode> display_modes() = 0;
  // 0 changed, 1 needs a restart, negative failure codes (-2 mode refused, -1 failed).
  virtual int32_t change_display_mode(const DisplayMode& mode, int32_t flags) = 0;

  // ---- window transparency ----
  virtual bool window_layered(WindowHandle window) = 0;
  // flags 2: `alpha` is the opacity; 1: black becomes transparent. False: no such window.
  virtual bool set_window_alpha(WindowHandle window, uint8_t alpha, int32_t flags) = 0;

  // ---- icons ----
  // An icon from the area (0, 0)-(w, h) of a context, pixels of `mask_color` transparent
  // (-1: the colour of the top-left pixel). 0 on failure.
  virtual int32_t icon_from_dc(DeviceContext dc, int32_t width, int32_t height, int32_t mask_color) = 0;
  // The picture (Type 3) that takes over an icon handle; null for a handle we did not give.
  virtual Ref<Object> icon_picture(int32_t icon) = 0;

  // ---- pictures ----
  // A picture file drawn at w × h on `back_color` (stretched, or centred keeping its shape).
  // w or h -1: the file's own size. Null when the file is no picture we can read.
  virtual Ref<Object> load_picture_sized(std::u16string_view path, int32_t width, int32_t height, int32_t back_color,
                                         bool keep_ratio) = 0;
  // The same for the picture behind a handle of type 1 (bitmap) or 3 (icon); null otherwise.
  virtual Ref<Object> resize_picture(int32_t handle, int32_t type, int32_t width, int32_t height, int32_t back_color,
                                     bool keep_ratio) = 0;
  // A picture's pixels for texture calls; false when `picture` is none of ours.
  virtual bool picture_pixels(Object* picture, BgrPixels& out) = 0;
  // A picture as PNG bytes; empty when `picture` is none of ours.
  virtual std::string picture_png(Object* picture) = 0;

  // ---- skins ----
  // Shows a form through a PNG with per-pixel alpha, times `alpha`, above other windows; the
  // skin follows the form as it moves, shows and hides. No skin (all 0, and the form as it
  // was) when the window or the PNG cannot be had. A second skin replaces the first.
  virtual SkinHandles load_png_skin(WindowHandle form, std::u16string_view path, uint8_t alpha) = 0;
  // Drops the skin, freeing its context and bitmaps; false for a form without one.
  virtual bool unload_png_skin(WindowHandle form) = 0;

  // ---- cursors ----
  // A static (CUR, ICO, any picture) or animated (ANI) cursor file; 0 on failure.
  virtual int32_t load_cursor(std::u16string_view path) = 0;
  virtual void destroy_cursor(int32_t cursor) = 0;
  // Makes `cursor` (0: the arrow) the cursor of every window of the window's kind, and
  // returns the kind's cursor before; -1 when the window is not ours.
  virtual int32_t set_class_cursor(WindowHandle window, int32_t cursor) = 0;
  // The window's small icon from an icon file (16 × 16); an empty path removes it.
  virtual bool set_small_icon(WindowHandle window, std::u16string_view path) = 0;

  // ---- window calls ----
  // The first top-level window of ours of that kind ("Form", "Command", ...) and caption, either
  // empty for any (compared without regard to case); 0 when none.
  virtual WindowHandle find_top_window(std::u16string_view kind, std::u16string_view caption) = 0;
  // The same among the children of `parent` (0: top-level windows), starting after `after`.
  virtual WindowHandle find_child_window(WindowHandle parent, WindowHandle after, std::u16string_view kind,
                                         std::u16string_view caption) = 0;
  // Moves and sizes a window (pixels); flags as the platform's SWP_ values. False: not ours.
  virtual bool set_window_pos(WindowHandle window, WindowHandle insert_after, int32_t x, int32_t y, int32_t cx,
                              int32_t cy, int32_t flags) = 0;
  // Puts a window on another (0: the desktop); returns the previous parent, 0 on failure.
  virtual WindowHandle set_parent_window(WindowHandle child, WindowHandle parent) = 0;
  // The messages our windows answer: WM_CLOSE, WM_ENABLE, WM_SETREDRAW, WM_GETTEXTLENGTH and
  // WM_SYSCOMMAND (minimize, maximize, restore, close); 0 for others and for windows not ours.
  virtual int32_t send_message(WindowHandle window, int32_t message, int32_t wparam, int32_t lparam) = 0;
  // Stops (or with 0 resumes) the painting of a window; false for windows not ours.
  virtual bool lock_window_update(WindowHandle window) = 0;
  // Synthetic mouse input at the pointer (flags as the platform's MOUSEEVENTF_ values).
  virtual void mouse_event(int32_t flags, int32_t dx, int32_t dy) = 0;

  virtual OpenGlServices& opengl() = 0;
};

// The window system's graphics services (loading the toolkit on first use).
inline GraphicsServices& graphics_services() { return window_system().graphics(); }

}  // namespace qz
