// The drawing surface of a form, a picture box or a printer page: the graphics statements
// (Line, Circle, PSet, Print, Cls, PaintPicture), Point, the text measures and the coordinate
// system they share (ScaleMode and the user scale, CurrentX/CurrentY).
//
// Everything drawn goes to one backing image sized to the window in pixels, so drawing shows
// whether or not AutoRedraw is on and survives the window being covered; AutoRedraw only tells
// the owner whether to raise Paint events. One painter stays open on the image between
// statements (making one per statement is what costs), and single pixels are written straight
// into the image; the painter is ended whenever the image is handed out or painted.
#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPointF>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QPainter;

namespace qz {

// ScaleMode values; kHimetric is only a unit of ScaleX/ScaleY.
enum ScaleUnit : int16_t {
  kScaleUser = 0, kScaleTwips = 1, kScalePoints = 2, kScalePixels = 3, kScaleCharacters = 4,
  kScaleInches = 5, kScaleMillimeters = 6, kScaleCentimeters = 7, kScaleHimetric = 8,
};

// The flags word of the late-bound drawing calls (Line(6, x1, y1, x2, y2, color)): which
// optional parts of the statement are present.
enum DrawFlags : int32_t {
  kDrawStep = 1,         // Step before the first (or only) point
  kDrawColor = 2,        // a colour is given
  kDrawFirstPoint = 4,   // Line: the first point is given (else it starts at CurrentX/CurrentY)
  kDrawStepSecond = 8,   // Line: Step before the second point
  kDrawBox = 16,         // Line ..., B
  kDrawFill = 32,        // Line ..., BF
  kDrawStart = 64,       // Circle: start angle given
  kDrawEnd = 128,        // Circle: end angle given
  kDrawAspect = 256,     // Circle: aspect given
};

// The pen of DrawStyle (and of the shape and line controls' BorderStyle) 0..6: solid, dash,
// dot, dash-dot, dash-dot-dot, transparent, inside solid.
Qt::PenStyle draw_style_pen(int16_t style);
// The brush of FillStyle 0..7: solid, transparent, then the hatches.
Qt::BrushStyle fill_style_brush(int16_t style);

class Canvas {
 public:
  Canvas(int width_px, int height_px);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // ---- backing image ----
  // A new size in pixels; what was drawn stays where it was, new area takes BackColor.
  void resize(int width_px, int height_px);
  QSize size() const { return image_.size(); }
  // The pixels as drawn so far (ends the open painter). The reference lasts until the next
  // resize; copy it to keep it (copies are cheap and do not change with later drawing).
  const QImage& image();
  // Draws the image at the painter's origin (for the window's paintEvent).
  void paint(QPainter& p);
  // Told once when drawing changes the image after it was last painted or handed out, so the
  // window can schedule one repaint for a burst of statements.
  void set_changed_handler(std::function<void()> handler) { changed_ = std::move(handler); }
  // The Picture property: shown under the drawing, restored by Cls. A null image removes it.
  void set_picture(const QImage& picture);

  // ---- scale ----
  int16_t scale_mode() const { return mode_; }
  void set_scale_mode(int16_t mode);  // raises 380 outside 0..7
  double scale_left() const { return left_; }
  double scale_top() const { return top_; }
  double scale_width() const;
  double scale_height() const;
  // Setting any of the four makes the scale a user scale (ScaleMode 0); a zero width or height
  // raises 380 ("Invalid property value").
  void set_scale_left(double v);
  void set_scale_top(double v);
  void set_scale_width(double v);
  void set_scale_height(double v);
  // Scale (x1, y1)-(x2, y2): a user scale with (x1, y1) top left and (x2, y2) bottom right.
  void scale(double x1, double y1, double x2, double y2);
  // Scale without arguments: back to twips.
  void reset_scale();
  // ScaleX/ScaleY: a width or height in unit `from` as unit `to` (ScaleUnit values, 0 being the
  // current user scale). Raises 5 for other units.
  double scale_x(double value, int16_t from, int16_t to) const;
  double scale_y(double value, int16_t from, int16_t to) const;
  // A point in the current scale as pixel coordinates of the image, and back.
  QPointF to_pixels(double x, double y) const;
  QPointF from_pixels(QPointF px) const;

  // ---- drawing state ----
  double current_x() const { return cur_x_; }
  double current_y() const { return cur_y_; }
  void set_current_x(double v) { cur_x_ = v; }
  void set_current_y(double v) { cur_y_ = v; }
  int32_t fore_color() const { return fore_; }
  void set_fore_color(int32_t c) { fore_ = c; }
  int32_t back_color() const { return back_; }
  // Changing BackColor clears the drawing, as the window's background is repainted.
  void set_back_color(int32_t c);
  int32_t fill_color() const { return fill_color_; }
  void set_fill_color(int32_t c) { fill_color_ = c; }
  // 0 solid, 1 transparent (the default), 2..7 hatches: horizontal, vertical, upward diagonal,
  // downward diagonal, cross, diagonal cross. Raises 380 outside 0..7.
  int16_t fill_style() const { return fill_style_; }
  void set_fill_style(int16_t s);
  // Pen width in pixels, 1..32767 (raises 380 otherwise).
  int16_t draw_width() const { return draw_width_; }
  void set_draw_width(int16_t w);
  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 transparent, 6 inside solid.
  int16_t draw_style() const { return draw_style_; }
  void set_draw_style(int16_t s);
  // 1..16, the binary raster operations of pen and screen; 13 copies the pen (the default),
  // 6 inverts, 7 is xor.
  int16_t draw_mode() const { return draw_mode_; }
  void set_draw_mode(int16_t m);
  bool auto_redraw() const { return auto_redraw_; }
  void set_auto_redraw(bool on) { auto_redraw_ = on; }
  // Print's font; the owner keeps it in step with the window's Font properties.
  const QFont& font() const { return font_; }
  void set_font(const QFont& f);

  // ---- statements (coordinates in the current scale) ----
  // Line [[Step] (x1, y1)]-[Step] (x2, y2)[, color][, B[F]]: without a first point the line
  // starts at CurrentX/CurrentY; Step makes a point relative (the first to CurrentX/CurrentY,
  // the second to the first). B draws a box with FillStyle/FillColor inside, BF one filled with
  // the line colour. CurrentX/CurrentY end at the second point.
  enum class LineShape { kLine, kBox, kFilledBox };
  void line(std::optional<QPointF> from, bool step_from, QPointF to, bool step_to,
            std::optional<int32_t> color = {}, LineShape shape = LineShape::kLine);
  // Circle [Step] (x, y), radius[, color[, start[, end[, aspect]]]]: radius in horizontal units
  // (the longer axis when aspect > 1); angles in radians counter-clockwise from 3 o'clock, a
  // negative one also draws the radius to that end (both negative: a pie, filled by FillStyle).
  // CurrentX/CurrentY end at the centre.
  void circle(QPointF centre, bool step, double radius, std::optional<int32_t> color = {},
              std::optional<double> start = {}, std::optional<double> end = {},
              std::optional<double> aspect = {});
  // PSet [Step] (x, y)[, color]: one point of DrawWidth pixels; CurrentX/CurrentY move there.
  void pset(QPointF at, bool step = false, std::optional<int32_t> color = {});
  // Point(x, y): the colour there (0x00BBGGRR), -1 outside the image.
  int32_t point(double x, double y);
  // Print: draws `text` with its top left at CurrentX/CurrentY in ForeColor. Lines in the text
  // (CR, LF or CRLF) start again at the left edge. With `new_line` CurrentX goes back to the
  // left edge and CurrentY one line down, else CurrentX moves past the text.
  void print(std::u16string_view text, bool new_line = true);
  // The comma of Print: CurrentX moves to the next print zone (14 average characters wide).
  void next_print_zone();
  // Cls: clears the drawing to BackColor (and the Picture) and sets CurrentX/CurrentY to 0.
  void cls();
  // In the current scale; the height counts each line of the text (at least one).
  double text_width(std::u16string_view text) const;
  double text_height(std::u16string_view text) const;
  // PaintPicture picture, x1, y1[, width1, height1[, x2, y2[, width2, height2[, opcode]]]]:
  // destination and source part in the current scale; a width or height left out is the whole
  // picture's, a negative one mirrors. `opcode` is a raster operation code (SRCCOPY 0xCC0020,
  // SRCAND, SRCPAINT, SRCINVERT, ...); others copy.
  void paint_picture(const QImage& picture, double x1, double y1, std::optional<double> width1 = {},
                     std::optional<double> height1 = {}, std::optional<double> x2 = {},
                     std::optional<double> y2 = {}, std::optional<double> width2 = {},
                     std::optional<double> height2 = {}, std::optional<int32_t> opcode = {});

 private:
  QPainter& painter();   // the painter on the image, begun on first use
  void end_painter();
  void touched();        // drawing changed the image
  void apply_pen(int32_t color);
  void apply_mode();
  void fill_background(const QRect& r);
  double units_per_pixel_x() const;   // for the current scale
  double units_per_pixel_y() const;
  uint32_t rgb(int32_t color) const;  // 0xffRRGGBB of a platform colour
  // Text is measured on the image (96 pixels an inch), where it is drawn, not on the screen.
  QFontMetricsF metrics() const;

  QImage image_;
  QImage picture_;
  std::unique_ptr<QPainter> painter_;
  std::function<void()> changed_;
  bool dirty_ = false;
  // What the open painter was last given, so a run of statements does not set it again.
  bool pen_valid_ = false;
  uint32_t pen_rgb_ = 0;
  int16_t applied_mode_ = -1;

  int16_t mode_ = kScaleTwips;
  double left_ = 0, top_ = 0, user_width_ = 1, user_height_ = 1;
  double cur_x_ = 0, cur_y_ = 0;
  int32_t fore_ = static_cast<int32_t>(0x80000012);  // button text
  int32_t back_ = static_cast<int32_t>(0x8000000F);  // button face
  int32_t fill_color_ = 0;
  int16_t fill_style_ = 1;
  int16_t draw_width_ = 1;
  int16_t draw_style_ = 0;
  int16_t draw_mode_ = 13;
  bool auto_redraw_ = false;
  QFont font_;
};

}  // namespace qz
