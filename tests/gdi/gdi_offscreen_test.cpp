// The window system's graphics services on the offscreen platform, checked by pixels: fills,
// gradients and blends on memory bitmaps and windows, icons with a transparent colour, pictures
// drawn at a size, cursors (static and animated) applied to windows, PNG skins, OpenGL, window
// calls, printer pages as device contexts, and the refusal of device contexts and handles we did
// not give out.
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "platform/qt/gdi/ani_file.h"
#include "platform/qt/gdi/cursors.h"
#include "platform/qt/gdi/device_contexts.h"
#include "platform/qt/gdi/png_skin.h"
#include "platform/qt/gdi/qt_graphics_services.h"
#include "platform/qt/picture.h"
#include "platform/qt/printer_pages.h"
#include "platform/window/opengl_services.h"
#include "tests/forms/gui_fixture.h"

namespace qz {
namespace {

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override { install_offscreen_window_system(); }
  void TearDown() override {
    for (DeviceContext dc : made_) g.release_dc(dc);
  }
  DeviceContext memory(int w, int h, int32_t color) {
    DeviceContext dc = g.create_memory_dc(w, h, color);
    made_.push_back(dc);
    return dc;
  }
  // The colour (0x00BBGGRR) at a pixel of a context.
  int32_t at(DeviceContext dc, int x, int y) {
    Ref<Object> p = g.dc_picture(dc);
    Picture* pic = as_picture(p.get());
    QRgb c = pic->image().pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
  }
  std::u16string file(const char* name) { return QString(dir.filePath(name)).toStdU16String(); }
  void write(const char* name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  GraphicsServices& g = qt_graphics_services();
  QTemporaryDir dir;

 private:
  std::vector<DeviceContext> made_;
};

int channel(int32_t color, int shift) { return (color >> shift) & 0xFF; }

// An icon or cursor file of one colour (a cursor with its hot spot at (hx, hy)).
QByteArray icon_file(QColor color, int size, bool cursor = false, int hx = 0, int hy = 0) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer b(&bytes);
  b.open(QIODevice::WriteOnly);
  image.save(&b, "ICO");
  if (cursor) {  // type 2, and the hot spot where an icon keeps planes and bit count
    bytes[2] = 2;
    bytes[10] = static_cast<char>(hx);
    bytes[11] = 0;
    bytes[12] = static_cast<char>(hy);
    bytes[13] = 0;
  }
  return bytes;
}

void put32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
QByteArray chunk(const char* tag, const QByteArray& body) {
  QByteArray c(tag, 4);
  put32(c, static_cast<uint32_t>(body.size()));
  c += body;
  if (body.size() & 1) c.append('\0');
  return c;
}
// An animated cursor of the given frames, each shown `jiffies`/60 s.
QByteArray ani_file(const std::vector<QByteArray>& frames, uint32_t steps, uint32_t jiffies,
                    const std::vector<uint32_t>& sequence = {}) {
  QByteArray header;
  for (uint32_t v : {36u, static_cast<uint32_t>(frames.size()), steps, 0u, 0u, 0u, 0u, jiffies, sequence.empty() ? 1u : 3u})
    put32(header, v);
  QByteArray list("fram");
  for (const QByteArray& f : frames) list += chunk("icon", f);
  QByteArray body("ACON");
  body += chunk("anih", header);
  if (!sequence.empty()) {
    QByteArray seq;
    for (uint32_t s : sequence) put32(seq, s);
    body += chunk("seq ", seq);
  }
  body += chunk("LIST", list);
  return chunk("RIFF", body);
}

TEST_F(GdiTest, PolygonFillsInsideWithTheBrushAndLeavesTheRest) {
  DeviceContext dc = memory(100, 100, kRed);
  ASSERT_TRUE(g.polygon(dc, {{10, 10}, {90, 10}, {10, 90}}));
  EXPECT_EQ(at(dc, 20, 20), kWhite);  // a memory bitmap's brush
  EXPECT_EQ(at(dc, 10, 50), 0);       // its black pen on the edge
  EXPECT_EQ(at(dc, 80, 80), kRed);
  // A star drawn with alternate filling leaves its middle empty.
  DeviceContext star = memory(100, 100, kRed);
  ASSERT_TRUE(g.polygon(star, {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}}));
  EXPECT_EQ(at(star, 50, 50), kRed);
  EXPECT_EQ(at(star, 50, 15), kWhite);
}

TEST_F(GdiTest, GradientRectangleShadesAcrossOrDown) {
  std::vector<GradientVertex> v{{0, 0, 0, 0, 0, 0}, {256, 10, 0xFF00, 0x8000, 0, 0}};
  DeviceContext dc = memory(256, 10, kBlue);
  ASSERT_TRUE(g.gradient_rect(dc, v, 0, 1, false));
  EXPECT_EQ(at(dc, 0, 5), 0);
  EXPECT_NEAR(channel(at(dc, 128, 5), 0), 128, 1);
  EXPECT_NEAR(channel(at(dc, 128, 5), 8), 64, 1);
  EXPECT_NEAR(channel(at(dc, 255, 5), 0), 254, 1);

  DeviceContext down = memory(10, 100, kBlue);
  std::vector<GradientVertex> dv{{0, 0, 0, 0, 0, 0}, {10, 100, 0, 0, 0xFF00, 0}};
  ASSERT_TRUE(g.gradient_rect(down, dv, 0, 1, true));
  EXPECT_EQ(at(down, 5, 0), 0);
  EXPECT_GT(channel(at(down, 5, 99), 16), 240);
  EXPECT_EQ(at(down, 0, 50), at(down, 9, 50));  // a row is one colour

  // Zero size, indexes outside the vertices: refused, nothing drawn.
  DeviceContext untouched = memory(20, 20, kBlue);
  std::vector<GradientVertex> flat{{5, 5, 0, 0, 0, 0}, {5, 15, 0, 0, 0, 0}};
  EXPECT_FALSE(g.gradient_rect(untouched, flat, 0, 1, false));
  EXPECT_FALSE(g.gradient_rect(untouched, v, 0, 7, false));
  EXPECT_EQ(at(untouched, 5, 10), kBlue);
}

TEST_F(GdiTest, GradientTrianglesBlendTheirCorners) {
  DeviceContext dc = memory(100, 100, kBlue);
  std::vector<GradientVertex> v{{0, 0, 0xFF00, 0, 0, 0}, {99, 0, 0xFF00, 0, 0, 0}, {0, 99, 0, 0xFF00, 0, 0}};
  ASSERT_TRUE(g.gradient_triangles(dc, v, {{0, 1, 2}}));
  EXPECT_GT(channel(at(dc, 2, 2), 0), 240);   // near the red corners
  EXPECT_GT(channel(at(dc, 2, 95), 8), 230);  // near the green corner
  EXPECT_EQ(at(dc, 90, 90), kBlue);           // outside
  EXPECT_FALSE(g.gradient_triangles(dc, v, {{0, 1, 3}}));
}

TEST_F(GdiTest, AlphaBlendWeighsConstantAndPerPixelAlpha) {
  DeviceContext dst = memory(10, 10, kRed), src = memory(10, 10, kBlue);
  ASSERT_TRUE(g.alpha_blend(dst, {0, 0, 10, 10}, src, {0, 0, 10, 10}, 128, false));
  int32_t mixed = at(dst, 5, 5);
  EXPECT_NEAR(channel(mixed, 0), 127, 2);
  EXPECT_NEAR(channel(mixed, 16), 128, 2);
  // Stretched from a part, and fully opaque.
  DeviceContext big = memory(40, 40, kRed);
  ASSERT_TRUE(g.alpha_blend(big, {10, 10, 20, 20}, src, {0, 0, 5, 5}, 255, false));
  EXPECT_EQ(at(big, 15, 15), kBlue);
  EXPECT_EQ(at(big, 35, 35), kRed);
  // Per-pixel alpha: the clear half of the source leaves the target, the solid half covers it;
  // without the flag the source counts as opaque.
  QImage half(10, 10, QImage::Format_ARGB32_Premultiplied);
  half.fill(Qt::transparent);
  for (int y = 0; y < 10; ++y)
    for (int x = 5; x < 10; ++x) half.setPixel(x, y, qRgba(0, 0, 255, 255));
  DeviceContext alpha_src = new_memory_context(half);
  DeviceContext per_pixel = memory(10, 10, kRed), opaque = memory(10, 10, kRed);
  ASSERT_TRUE(g.alpha_blend(per_pixel, {0, 0, 10, 10}, alpha_src, {0, 0, 10, 10}, 255, true));
  ASSERT_TRUE(g.alpha_blend(opaque, {0, 0, 10, 10}, alpha_src, {0, 0, 10, 10}, 255, false));
  EXPECT_EQ(at(per_pixel, 2, 5), kRed);
  EXPECT_EQ(at(per_pixel, 7, 5), kBlue);
  EXPECT_EQ(at(opaque, 2, 5), 0);  // the clear pixels are black underneath
  g.release_dc(alpha_src);
  EXPECT_FALSE(g.alpha_blend(dst, {0, 0, 0, 10}, src, {0, 0, 10, 10}, 255, false));
  EXPECT_FALSE(g.alpha_blend(dst, {0, 0, 10, 10}, 0, {0, 0, 10, 10}, 255, false));
}

TEST_F(GdiTest, HandlesNotOursAreRefused) {
  for (DeviceContext bad : {0, 1, 12345, 0x10010, -4}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(g.polygon(bad, {{0, 0}, {5, 5}, {0, 5}}));
    EXPECT_EQ(g.set_pixel(bad, 1, 1, 0), -1);
    EXPECT_FALSE(g.dc_picture(bad));
    EXPECT_EQ(g.icon_from_dc(bad, 16, 16, -1), 0);
    EXPECT_FALSE(g.stretch_blt(bad, {0, 0, 4, 4}, bad, {0, 0, 4, 4}, 0xCC0020));
    EXPECT_FALSE(g.icon_picture(bad));
    EXPECT_EQ(g.set_class_cursor(bad, 0), -1);
    EXPECT_FALSE(g.resize_picture(bad, 1, 10, 10, 0, false));
  }
  DeviceContext dc = memory(8, 8, kRed);
  g.release_dc(dc);
  EXPECT_EQ(g.set_pixel(dc, 1, 1, 0), -1);  // released: gone
  EXPECT_EQ(g.create_memory_dc(0, 10, 0), 0);
  EXPECT_EQ(g.create_memory_dc(20000, 10, 0), 0);
}

TEST_F(GdiTest, BlockTransfersWithRasterOperations) {
  DeviceContext dst = memory(10, 10, 0x00FF00), src = memory(10, 10, 0xFF00FF);
  ASSERT_TRUE(g.stretch_blt(dst, {0, 0, 5, 10}, src, {0, 0, 5, 10}, 0x00CC0020));  // SRCCOPY
  EXPECT_EQ(at(dst, 2, 2), 0xFF00FF);
  ASSERT_TRUE(g.stretch_blt(dst, {5, 0, 5, 10}, src, {0, 0, 5, 10}, 0x00660046));  // SRCINVERT
  EXPECT_EQ(at(dst, 7, 2), 0xFFFFFF);
  EXPECT_EQ(g.set_pixel(dst, 3, 3, 0x123456), 0x123456);
  EXPECT_EQ(at(dst, 3, 3), 0x123456);
  EXPECT_EQ(g.set_pixel(dst, 30, 3, 0), -1);
}

TEST_F(GdiTest, DrawingOnAFormGoesThroughItsCanvas) {
  Ref<ToolkitWindow> form = window_system().create_form(u"Target");
  form->call(u"Move", {Variant(0), Variant(0), Variant(3000), Variant(3000)});
  DeviceContext dc = to_long(form->get(u"hDC"));
  ASSERT_NE(dc, 0);
  EXPECT_EQ(to_long(form->get(u"hDC")), dc);  // one context per window
  form->let(u"FillStyle", Variant(int16_t{0}));
  form->let(u"FillColor", Variant(kBlue));
  form->let(u"ForeColor", Variant(kBlue));
  ASSERT_TRUE(g.polygon(dc, {{5, 5}, {60, 5}, {60, 60}, {5, 60}}));
  EXPECT_EQ(at(dc, 30, 30), kBlue);
  form->let(u"ScaleMode", Variant(int16_t{3}));
  EXPECT_EQ(to_long(form->call(u"Point", {Variant(30), Variant(30)})), kBlue);
  // A control that does not draw has no context.
  Ref<ToolkitWindow> button = window_system().create_control(u"Command", 1, form.get(), nullptr);
  EXPECT_EQ(g.window_dc(button->handle()), 0);
  form->destroy();
  EXPECT_EQ(g.set_pixel(dc, 1, 1, 0), -1);  // the window is gone, so is its context
}

TEST_F(GdiTest, PrinterPagesDrawThroughTheirContext) {
  Ref<Object> pages = window_system().create_printer_pages(u"no such printer");
  auto* printer = dynamic_cast<PrinterPages*>(pages.get());
  ASSERT_NE(printer, nullptr);
  DeviceContext dc = to_long(pages->get(u"hDC"));
  ASSERT_NE(dc, 0);
  EXPECT_EQ(to_long(pages->get(u"hDC")), dc);  // one context for the whole document
  auto page_pixel = [&](int x, int y) {
    QRgb c = printer->canvas().image().pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
  };
  // Black pen on white paper, the brush transparent as a page's FillStyle starts.
  ASSERT_TRUE(g.polygon(dc, {{10, 10}, {60, 10}, {60, 60}, {10, 60}}));
  EXPECT_EQ(page_pixel(10, 30), 0);
  EXPECT_EQ(page_pixel(30, 30), kWhite);
  EXPECT_EQ(g.set_pixel(dc, 100, 100, kRed), kRed);
  EXPECT_EQ(page_pixel(100, 100), kRed);
  EXPECT_TRUE(g.text_out(dc, 200, 200, u"Page"));
  // Drawing through the context counts as drawing on the page: the document has it.
  std::string first = window_system().take_printer_document(pages.get());
  EXPECT_EQ(first.rfind("%PDF", 0), 0u);
  // The same number draws on the page that is current now.
  pages->call(u"NewPage", {});
  EXPECT_EQ(page_pixel(100, 100), kWhite);
  ASSERT_TRUE(g.gradient_rect(dc, {{0, 0, 0xFF00, 0, 0, 0}, {40, 40, 0xFF00, 0, 0, 0}}, 0, 1, false));
  EXPECT_EQ(page_pixel(20, 20), kRed);
  EXPECT_EQ(to_long(pages->get(u"Page")), 2);
  // The copy between a page and a memory bitmap goes both ways.
  DeviceContext copy = memory(40, 40, kBlue);
  ASSERT_TRUE(g.stretch_blt(copy, {0, 0, 20, 20}, dc, {10, 10, 20, 20}, 0x00CC0020));
  EXPECT_EQ(at(copy, 5, 5), kRed);
  ASSERT_TRUE(g.stretch_blt(dc, {300, 300, 10, 10}, copy, {30, 30, 10, 10}, 0x00CC0020));
  EXPECT_EQ(page_pixel(305, 305), kBlue);
  // Once the document is gone its number is refused.
  pages = nullptr;
  EXPECT_FALSE(g.polygon(dc, {{0, 0}, {5, 0}, {5, 5}}));
  EXPECT_EQ(g.set_pixel(dc, 1, 1, 0), -1);
  EXPECT_EQ(g.dc_picture(dc), nullptr);
}

TEST_F(GdiTest, IconsMakeTheMaskColourTransparent) {
  DeviceContext dc = memory(32, 32, kWhite);
  ASSERT_TRUE(g.polygon(dc, {{8, 8}, {24, 8}, {24, 24}, {8, 24}}));  // black-edged white square
  ASSERT_TRUE(g.stretch_blt(dc, {12, 12, 4, 4}, memory(4, 4, kRed), {0, 0, 4, 4}, 0xCC0020));
  struct Case { int32_t mask; QPoint clear, solid; };
  for (Case c : {Case{kWhite, {0, 0}, {14, 14}}, Case{-1, {2, 2}, {8, 8}}, Case{kRed, {14, 14}, {1, 1}}}) {
    int32_t icon = g.icon_from_dc(dc, 32, 32, c.mask);
    ASSERT_NE(icon, 0);
    Ref<Object> p = g.icon_picture(icon);
    ASSERT_TRUE(p);
    Picture* pic = as_picture(p.get());
    EXPECT_EQ(pic->kind(), Picture::kIcon);
    EXPECT_EQ(qAlpha(pic->image().pixel(c.clear)), 0) << c.mask;
    EXPECT_EQ(qAlpha(pic->image().pixel(c.solid)), 255) << c.mask;
    EXPECT_FALSE(g.icon_picture(icon));  // the picture took it over
  }
  // No pixel of the mask colour: all opaque.
  Ref<Object> p = g.icon_picture(g.icon_from_dc(dc, 32, 32, 0x010203));
  QImage img = as_picture(p.get())->image();
  bool opaque = true;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) opaque = opaque && qAlpha(img.pixel(x, y)) == 255;
  EXPECT_TRUE(opaque);
  EXPECT_EQ(g.icon_from_dc(dc, 0, 16, -1), 0);
  EXPECT_EQ(g.icon_from_dc(dc, 4096, 16, -1), 0);
}

TEST_F(GdiTest, PicturesDrawnAtASizeOnTheBackground) {
  QImage square(60, 60, QImage::Format_RGB32);
  square.fill(Qt::red);
  ASSERT_TRUE(square.save(dir.filePath("square.png")));
  struct Case { int32_t w, h; bool keep; QPoint red, back; QSize size; };
  for (Case c : {Case{200, 100, true, {100, 50}, {30, 50}, {200, 100}},   // 100 x 100 at x = 50
                 Case{200, 100, false, {10, 50}, {-1, -1}, {200, 100}},
                 Case{100, -1, false, {30, 30}, {-1, -1}, {60, 60}},      // one -1: the file's size
                 Case{50, 300, true, {25, 150}, {25, 100}, {50, 300}}}) {
    Ref<Object> p = g.load_picture_sized(file("square.png"), c.w, c.h, kBlue, c.keep);
    ASSERT_TRUE(p);
    QImage img = as_picture(p.get())->image();
    EXPECT_EQ(img.size(), c.size);
    EXPECT_EQ(img.pixel(c.red), qRgb(255, 0, 0)) << c.w << "x" << c.h;
    if (c.back.x() >= 0) EXPECT_EQ(img.pixel(c.back), qRgb(0, 0, 255)) << c.w << "x" << c.h;
  }
  EXPECT_FALSE(g.load_picture_sized(file("missing.png"), -1, -1, 0, false));
  write("junk.png", "not a picture");
  EXPECT_FALSE(g.load_picture_sized(file("junk.png"), -1, -1, 0, false));

  Ref<Object> own = g.load_picture_sized(file("square.png"), -1, -1, 0, false);
  int32_t handle = as_picture(own.get())->handle();
  Ref<Object> resized = g.resize_picture(handle, 1, 30, 20, 0, false);
  ASSERT_TRUE(resized);
  EXPECT_EQ(as_picture(resized.get())->image().size(), QSize(30, 20));
  EXPECT_FALSE(g.resize_picture(handle, 3, 30, 20, 0, false));  // not an icon
  EXPECT_FALSE(g.resize_picture(handle, 7, 30, 20, 0, false));
  EXPECT_FALSE(g.resize_picture(handle, 1, 0, 20, 0, false));
}

TEST(AniFile, ReadsFramesRatesAndSequence) {
  QByteArray a = icon_file(Qt::red, 16), b = icon_file(Qt::blue, 16);
  QByteArray bytes = ani_file({a, b}, 3, 6, {1, 0, 1});
  auto ani = parse_ani_file(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
  ASSERT_TRUE(ani);
  ASSERT_EQ(ani->frames.size(), 2u);
  EXPECT_EQ(ani->frames[0].size, static_cast<size_t>(a.size()));
  ASSERT_EQ(ani->steps.size(), 3u);
  EXPECT_EQ(ani->steps[0].frame, 1u);
  EXPECT_EQ(ani->steps[1].frame, 0u);
  EXPECT_EQ(ani->steps[0].duration_ms, 100u);
}

TEST(AniFile, RefusesDamagedFiles) {
  QByteArray a = icon_file(Qt::red, 16);
  QByteArray good = ani_file({a, a}, 2, 6);
  auto parse = [](const QByteArray& b) {
    std::string why;
    auto r = parse_ani_file(reinterpret_cast<const uint8_t*>(b.constData()), static_cast<size_t>(b.size()), &why);
    return r ? std::string() : why;
  };
  ASSERT_EQ(parse(good), "");
  QByteArray truncated = good.left(good.size() - 10);
  QByteArray huge_chunk = good;
  huge_chunk[16] = '\xFF';  // the header chunk's length, far past the end
  huge_chunk[17] = '\xFF';
  struct Case { const char* name; QByteArray bytes; };
  for (const Case& c : {Case{"not riff", QByteArray("RIFX0000ACON")}, Case{"empty", QByteArray()},
                        Case{"truncated", truncated}, Case{"chunk past the end", huge_chunk},
                        Case{"more frames counted than present", ani_file({a}, 1, 6).replace(24, 1, "\x05")},
                        Case{"sequence names a missing frame", ani_file({a, a}, 2, 6, {0, 9})},
                        Case{"steps without a sequence", ani_file({a, a}, 5, 6)},
                        Case{"zero frames", ani_file({}, 1, 6)}})
    EXPECT_NE(parse(c.bytes), "") << c.name;
}

TEST_F(GdiTest, CursorsBecomeTheClassCursorAndGoBack) {
  write("hand.cur", icon_file(Qt::green, 32, true, 5, 7));
  int32_t cursor = g.load_cursor(file("hand.cur"));
  ASSERT_NE(cursor, 0);
  EXPECT_EQ(cursor_frame(cursor).hotSpot(), QPoint(5, 7));
  Ref<ToolkitWindow> a = window_system().create_form(u"A");
  Ref<ToolkitWindow> b = window_system().create_form(u"B");
  EXPECT_EQ(g.set_class_cursor(a->handle(), cursor), 0);  // the arrow before
  QWidget* wa = widget_of(a.get());
  EXPECT_EQ(wa->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(wa->cursor().pixmap().toImage().pixel(10, 10), qRgb(0, 255, 0));
  // The same kind shares it; setting it back restores the arrow on both.
  EXPECT_EQ(g.set_class_cursor(b->handle(), cursor), cursor);
  EXPECT_EQ(g.set_class_cursor(a->handle(), 0), cursor);
  EXPECT_NE(wa->cursor().shape(), Qt::BitmapCursor);
  EXPECT_NE(widget_of(b.get())->cursor().shape(), Qt::BitmapCursor);
  // Destroying a cursor that is shown puts the arrow back.
  g.set_class_cursor(a->handle(), cursor);
  g.destroy_cursor(cursor);
  EXPECT_NE(wa->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(g.set_class_cursor(a->handle(), 0), 0);

  EXPECT_EQ(g.load_cursor(file("missing.cur")), 0);
  write("junk.cur", "junk");
  EXPECT_EQ(g.load_cursor(file("junk.cur")), 0);
  a->destroy();
  b->destroy();
}

TEST_F(GdiTest, ClassCursorReachesEveryWindowOfTheKind) {
  write("kind.cur", icon_file(Qt::magenta, 32, true, 1, 1));
  int32_t cursor = g.load_cursor(file("kind.cur"));
  ASSERT_NE(cursor, 0);
  Ref<ToolkitWindow> a = window_system().create_form(u"A");
  Ref<ToolkitWindow> b = window_system().create_form(u"B");
  Ref<ToolkitWindow> own = window_system().create_form(u"Own pointer");
  own->let(u"MousePointer", Variant(int16_t{11}));
  Ref<ToolkitWindow> button = window_system().create_control(u"Command", 1, a.get(), nullptr);
  auto has_it = [](ToolkitWindow* t) {
    QWidget* w = widget_of(t);
    return w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::BitmapCursor;
  };
  // Set through one form, it shows on every form, never given it; a form with a pointer of its
  // own keeps it, and a window of another kind is not touched.
  EXPECT_EQ(g.set_class_cursor(a->handle(), cursor), 0);
  EXPECT_TRUE(has_it(a.get()));
  EXPECT_TRUE(has_it(b.get()));
  EXPECT_EQ(widget_of(own.get())->cursor().shape(), Qt::WaitCursor);
  EXPECT_FALSE(has_it(button.get()));
  // A form made afterwards is of the kind too.
  Ref<ToolkitWindow> later = window_system().create_form(u"Later");
  EXPECT_TRUE(has_it(later.get()));
  // Put back through another form of the kind, it goes from all of them.
  EXPECT_EQ(g.set_class_cursor(later->handle(), 0), cursor);
  for (ToolkitWindow* t : {a.get(), b.get(), later.get()}) EXPECT_FALSE(has_it(t));
  EXPECT_EQ(widget_of(own.get())->cursor().shape(), Qt::WaitCursor);
  Ref<ToolkitWindow> after = window_system().create_form(u"After");
  EXPECT_FALSE(has_it(after.get()));
  g.destroy_cursor(cursor);
  for (ToolkitWindow* t : {a.get(), b.get(), own.get(), later.get(), after.get()}) t->destroy();
}

TEST_F(GdiTest, AnimatedCursorStepsThroughItsFrames) {
  write("spin.ani", ani_file({icon_file(Qt::red, 32), icon_file(Qt::blue, 32)}, 2, 3));  // 50 ms a frame
  int32_t cursor = g.load_cursor(file("spin.ani"));
  ASSERT_NE(cursor, 0);
  EXPECT_EQ(cursor_frame_count(cursor), 2);
  Ref<ToolkitWindow> form = window_system().create_form(u"Spin");
  g.set_class_cursor(form->handle(), cursor);
  QWidget* w = widget_of(form.get());
  auto shown = [&] { return w->cursor().pixmap().toImage().pixel(8, 8); };
  QRgb first = shown();
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown() != first; }, 2000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == first; }, 2000));  // and round again
  g.destroy_cursor(cursor);
  // A frame count that the file does not hold is no cursor.
  write("bad.ani", ani_file({icon_file(Qt::red, 32)}, 1, 3).replace(24, 1, "\x03"));
  EXPECT_EQ(g.load_cursor(file("bad.ani")), 0);
  form->destroy();
}

TEST_F(GdiTest, PngSkinChecksItsFileAndReplacesAnEarlierOne) {
  Ref<ToolkitWindow> form = window_system().create_form(u"Skinned");
  form->call(u"Move", {Variant(0), Variant(0), Variant(1500), Variant(1500)});
  QWidget* w = widget_of(form.get());
  EXPECT_EQ(g.load_png_skin(form->handle(), file("missing.png"), 255).dc, 0);
  EXPECT_EQ(w->windowOpacity(), 1.0);
  EXPECT_TRUE(form_skin_image(form->handle()).isNull());

  QImage png(20, 20, QImage::Format_ARGB32);
  png.fill(QColor(255, 0, 0, 255));
  for (int x = 0; x < 20; ++x) png.setPixel(x, 0, qRgba(0, 0, 0, 0));
  ASSERT_TRUE(png.save(dir.filePath("skin.png")));
  SkinHandles first = g.load_png_skin(form->handle(), file("skin.png"), 128);
  ASSERT_NE(first.dc, 0);
  QImage shown = form_skin_image(form->handle());
  EXPECT_NEAR(qAlpha(shown.pixel(5, 5)), 128, 1);
  EXPECT_EQ(qAlpha(shown.pixel(5, 0)), 0);
  EXPECT_EQ(qAlpha(shown.pixel(50, 50)), 0);  // outside the PNG
  EXPECT_EQ(w->windowOpacity(), 0.0);
  // The skin's context holds its pixels, its bitmap is a picture handle.
  QImage held = device_context_image(first.dc);
  EXPECT_EQ(held.size(), w->size());
  EXPECT_NEAR(qAlpha(held.pixel(5, 5)), 128, 1);
  ASSERT_NE(Picture::from_handle(first.bitmap), nullptr);
  EXPECT_EQ(Picture::from_handle(first.bitmap)->image().size(), w->size());
  EXPECT_NE(Picture::from_handle(first.old_bitmap), nullptr);
  SkinHandles second = g.load_png_skin(form->handle(), file("skin.png"), 255);  // the first goes
  ASSERT_NE(second.dc, 0);
  EXPECT_EQ(qAlpha(form_skin_image(form->handle()).pixel(5, 5)), 255);
  EXPECT_FALSE(device_context_exists(first.dc));
  EXPECT_EQ(Picture::from_handle(first.bitmap), nullptr);
  EXPECT_EQ(Picture::from_handle(first.old_bitmap), nullptr);
  EXPECT_TRUE(g.unload_png_skin(form->handle()));
  EXPECT_FALSE(g.unload_png_skin(form->handle()));
  EXPECT_FALSE(device_context_exists(second.dc));
  EXPECT_EQ(Picture::from_handle(second.bitmap), nullptr);
  EXPECT_EQ(w->windowOpacity(), 1.0);
  EXPECT_TRUE(form_skin_image(form->handle()).isNull());
  form->destroy();
}

TEST_F(GdiTest, PngSkinFollowsTheFormAndGoesWithIt) {
  QImage png(30, 30, QImage::Format_ARGB32);
  png.fill(QColor(0, 0, 255, 200));
  ASSERT_TRUE(png.save(dir.filePath("follow.png")));
  Ref<ToolkitWindow> form = window_system().create_form(u"Follower");
  QWidget* w = widget_of(form.get());
  w->setGeometry(100, 80, 60, 60);
  // Loaded on a hidden form, the skin waits hidden too.
  ASSERT_NE(g.load_png_skin(form->handle(), file("follow.png"), 255).dc, 0);
  QWidget* skin = form_skin_window(form->handle());
  ASSERT_NE(skin, nullptr);
  EXPECT_FALSE(skin->isVisible());
  w->show();
  settle();
  EXPECT_TRUE(skin->isVisible());
  EXPECT_EQ(skin->pos(), w->pos());
  // It moves with the form, by the form's own Move or by the window calls.
  form->call(u"Move", {Variant(4500), Variant(3000)});
  settle();
  EXPECT_EQ(skin->pos(), QPoint(300, 200));
  EXPECT_EQ(skin->pos(), w->pos());
  EXPECT_TRUE(g.set_window_pos(form->handle(), 0, 20, 30, 0, 0, 1));  // SWP_NOSIZE
  settle();
  EXPECT_EQ(skin->pos(), w->pos());
  w->hide();
  settle();
  EXPECT_FALSE(skin->isVisible());
  w->show();
  settle();
  EXPECT_TRUE(skin->isVisible());
  // An unloaded form takes its skin along.
  form->destroy();
  settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(form_skin_window(form->handle()), nullptr);
}

TEST_F(GdiTest, WindowCallsFindMoveAndMessage) {
  Ref<ToolkitWindow> form = window_system().create_form(u"Finder");
  form->let(u"Caption", Variant(u"Finder Test"));
  widget_of(form.get())->show();
  settle();
  EXPECT_EQ(g.find_top_window(u"", u"finder test"), form->handle());
  EXPECT_EQ(g.find_top_window(u"Form", u"Finder Test"), form->handle());
  EXPECT_EQ(g.find_top_window(u"Command", u"Finder Test"), 0);
  EXPECT_EQ(g.send_message(form->handle(), 0x0E, 0, 0), 11);  // WM_GETTEXTLENGTH
  EXPECT_TRUE(g.set_window_pos(form->handle(), 0, 40, 50, 200, 120, 4));
  EXPECT_EQ(widget_of(form.get())->size(), QSize(200, 120));
  EXPECT_FALSE(g.set_window_pos(777, 0, 0, 0, 1, 1, 0));
  EXPECT_FALSE(g.window_layered(form->handle()));
  EXPECT_TRUE(g.set_window_alpha(form->handle(), 128, 2));
  EXPECT_TRUE(g.window_layered(form->handle()));
  EXPECT_NEAR(widget_of(form.get())->windowOpacity(), 128 / 255.0, 0.01);
  // The colour key: black parts of the window are cut out of it.
  form->let(u"BackColor", Variant(0xFFFFFF));
  form->let(u"ScaleMode", Variant(int16_t{3}));
  form->call(u"Line", {Variant(int32_t{38}), Variant(0), Variant(0), Variant(20), Variant(20), Variant(0)});
  settle();
  EXPECT_TRUE(g.set_window_alpha(form->handle(), 0, 1));
  QRegion mask = widget_of(form.get())->mask();
  EXPECT_FALSE(mask.contains(QPoint(10, 10)));
  EXPECT_TRUE(mask.contains(QPoint(100, 100)));
  form->destroy();
}

TEST_F(GdiTest, OpenGlTriangleRendersIntoAPicture) {
  DeviceContext dc = memory(64, 64, kWhite);
  OpenGlServices& gl = g.opengl();
  if (!gl.enable(dc, PixelFormatRequest{})) {
    // Under Xvfb (where the test is also run) the offscreen platform has OpenGL through GLX.
    if (std::getenv("QUAZEL_REQUIRE_OPENGL")) FAIL() << "no OpenGL context";
    GTEST_SKIP() << "no OpenGL on this platform";
  }
  using ClearColor = void (*)(float, float, float, float);
  using Uint = void (*)(uint32_t);
  using Void = void (*)();
  using Color = void (*)(float, float, float);
  using Vertex = void (*)(float, float);
  reinterpret_cast<ClearColor>(gl.function("glClearColor"))(0, 0, 1, 1);
  reinterpret_cast<Uint>(gl.function("glClear"))(0x4000);  // colour buffer
  reinterpret_cast<Uint>(gl.function("glBegin"))(4);       // triangles
  reinterpret_cast<Color>(gl.function("glColor3f"))(1, 0, 0);
  auto vertex = reinterpret_cast<Vertex>(gl.function("glVertex2f"));
  vertex(-1, -1);
  vertex(1, -1);
  vertex(-1, 1);
  reinterpret_cast<Void>(gl.function("glEnd"))();
  EXPECT_NE(gl.function("gluPerspective"), nullptr);
  ASSERT_TRUE(gl.swap_buffers(dc));
  EXPECT_EQ(at(dc, 10, 54), kRed);    // bottom left: inside
  EXPECT_EQ(at(dc, 54, 10), kBlue);   // top right: the clear colour
  gl.disable();
  EXPECT_FALSE(gl.current());
  EXPECT_EQ(gl.function("glClear"), nullptr);
  EXPECT_FALSE(gl.enable(99999, PixelFormatRequest{}));
}

}  // namespace
}  // namespace qz
