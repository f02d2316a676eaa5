// The process-wide table of device contexts: numbers scripts hold for a window that draws (a
// form or a picture box, through its canvas), a drawing surface without a window (a printer's
// current page) or a memory bitmap. A number is looked up on every
// use; one we never gave out, or whose window is gone, finds nothing.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>

#include "platform/window/graphics_services.h"

namespace qz {

class Canvas;
class DrawingHost;

// What a context draws with: the window's ForeColor, FillColor/FillStyle, DrawWidth and font,
// or the defaults of a memory bitmap (black pen and text, white brush).
struct DcTools {
  QColor pen = Qt::black;
  int pen_width = 1;
  QBrush brush = QBrush(Qt::white);
  QColor text = Qt::black;
  QFont font;
};

// The context of a window handle (made on first use, the same number afterwards); 0 when the
// window does not draw.
DeviceContext device_context_of_window(WindowHandle window);
// The context of a surface (made on first use, the same number afterwards). The surface calls
// forget_surface_context before it goes; its number then finds nothing.
DeviceContext device_context_of_surface(DrawingHost* surface);
void forget_surface_context(DrawingHost* surface);
DeviceContext new_memory_context(QImage image);
void delete_device_context(DeviceContext dc);
bool device_context_exists(DeviceContext dc);

// The pixels of the target now (a shared copy); a null image for no context.
QImage device_context_image(DeviceContext dc);
QSize device_context_size(DeviceContext dc);
bool device_context_tools(DeviceContext dc, DcTools& tools);
// Draws on the part `area` (target pixels, clipped to the target) with a painter whose
// coordinates are the target's pixels. False for no context or an area outside the target.
bool paint_on_device_context(DeviceContext dc, QRect area, const std::function<void(QPainter&)>& draw);
// Replaces the whole image of a memory context (same size or not); false for other contexts.
bool replace_memory_image(DeviceContext dc, QImage image);

}  // namespace qz
