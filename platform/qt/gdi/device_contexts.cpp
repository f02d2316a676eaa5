#include "platform/qt/gdi/device_contexts.h"

#include <unordered_map>

#include "platform/qt/canvas.h"
#include "platform/qt/drawing_members.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

struct Entry {
  WindowHandle window = 0;        // a window's context, or
  DrawingHost* surface = nullptr;  // a surface without a window (a printer's page), or
  QImage memory;                  // a memory bitmap
  bool is_memory() const { return !window && !surface; }
};

struct Table {
  std::unordered_map<DeviceContext, Entry> entries;
  std::unordered_map<WindowHandle, DeviceContext> by_window;
  std::unordered_map<DrawingHost*, DeviceContext> by_surface;
  // Apart from window handles (0x10010 up), so a window number is never taken for a context.
  DeviceContext next = 0x4000010;
};

Table& table() {
  static auto* t = new Table();
  return *t;
}

Entry* entry(DeviceContext dc) {
  if (dc == 0) return nullptr;
  auto& e = table().entries;
  auto it = e.find(dc);
  return it == e.end() ? nullptr : &it->second;
}

DrawingHost* drawing_host(WindowHandle window) {
  QtControl* c = find_window(window);
  if (!c || c->destroyed()) return nullptr;
  return dynamic_cast<DrawingHost*>(c);
}

// The canvas behind a window or surface context; nullptr when the window is gone.
Canvas* canvas_of(const Entry& e) {
  if (e.surface) return &e.surface->canvas();
  if (!e.window) return nullptr;
  DrawingHost* host = drawing_host(e.window);
  return host ? &host->canvas() : nullptr;
}

DeviceContext add(Entry e) {
  Table& t = table();
  do {
    t.next = t.next >= 0x7FFFFFF0 ? 0x4000010 : t.next + 4;
  } while (t.entries.count(t.next));
  t.entries.emplace(t.next, std::move(e));
  return t.next;
}

}  // namespace

DeviceContext device_context_of_window(WindowHandle window) {
  if (!drawing_host(window)) return 0;
  Table& t = table();
  auto it = t.by_window.find(window);
  if (it != t.by_window.end() && t.entries.count(it->second)) return it->second;
  DeviceContext dc = add(Entry{window, nullptr, QImage()});
  t.by_window[window] = dc;
  return dc;
}

DeviceContext device_context_of_surface(DrawingHost* surface) {
  if (!surface) return 0;
  Table& t = table();
  auto it = t.by_surface.find(surface);
  if (it != t.by_surface.end()) return it->second;
  DeviceContext dc = add(Entry{0, surface, QImage()});
  t.by_surface[surface] = dc;
  return dc;
}

void forget_surface_context(DrawingHost* surface) {
  Table& t = table();
  auto it = t.by_surface.find(surface);
  if (it == t.by_surface.end()) return;
  t.entries.erase(it->second);
  t.by_surface.erase(it);
}

DeviceContext new_memory_context(QImage image) {
  if (image.isNull()) return 0;
  return add(Entry{0, nullptr, image.convertToFormat(QImage::Format_ARGB32_Premultiplied)});
}

void delete_device_context(DeviceContext dc) {
  Table& t = table();
  auto it = t.entries.find(dc);
  if (it == t.entries.end()) return;
  if (it->second.window) t.by_window.erase(it->second.window);
  if (it->second.surface) t.by_surface.erase(it->second.surface);
  t.entries.erase(it);
}

bool device_context_exists(DeviceContext dc) {
  Entry* e = entry(dc);
  return e && (e->is_memory() || canvas_of(*e));
}

QImage device_context_image(DeviceContext dc) {
  Entry* e = entry(dc);
  if (!e) return QImage();
  if (e->is_memory()) return e->memory;
  Canvas* c = canvas_of(*e);
  return c ? c->image() : QImage();
}

QSize device_context_size(DeviceContext dc) {
  Entry* e = entry(dc);
  if (!e) return QSize();
  if (e->is_memory()) return e->memory.size();
  Canvas* c = canvas_of(*e);
  return c ? c->size() : QSize();
}

bool device_context_tools(DeviceContext dc, DcTools& tools) {
  Entry* e = entry(dc);
  if (!e) return false;
  tools = DcTools();
  if (e->is_memory()) return true;
  Canvas* c = canvas_of(*e);
  if (!c) return false;
  tools.pen = to_qcolor(c->fore_color());
  tools.pen_width = c->draw_width();
  tools.text = tools.pen;
  tools.font = c->font();
  // The window's brush is its FillStyle and FillColor (transparent by default).
  tools.brush = QBrush(to_qcolor(c->fill_color()), fill_style_brush(c->fill_style()));
  return true;
}

bool paint_on_device_context(DeviceContext dc, QRect area, const std::function<void(QPainter&)>& draw) {
  Entry* e = entry(dc);
  if (!e) return false;
  if (e->is_memory()) {
    QRect part = area.intersected(e->memory.rect());
    if (part.isEmpty()) return false;
    QPainter p(&e->memory);
    p.setClipRect(part);
    draw(p);
    return true;
  }
  Canvas* c = canvas_of(*e);
  if (!c) return false;
  QRect part = area.intersected(QRect(QPoint(0, 0), c->size()));
  if (part.isEmpty()) return false;
  // The part is drawn on a copy and put back opaque, so raster operations and blends see the
  // pixels under them; the canvas takes it in its own scale.
  QImage region = c->image().copy(part).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  {
    QPainter p(&region);
    p.translate(-part.topLeft());
    draw(p);
  }
  QPointF origin = c->from_pixels(QPointF(part.topLeft()));
  QPointF unit = c->from_pixels(QPointF(1, 1)) - c->from_pixels(QPointF(0, 0));
  c->paint_picture(region, origin.x(), origin.y(), part.width() * unit.x(), part.height() * unit.y());
  return true;
}

bool replace_memory_image(DeviceContext dc, QImage image) {
  Entry* e = entry(dc);
  if (!e || !e->is_memory() || image.isNull()) return false;
  e->memory = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return true;
}

}  // namespace qz
