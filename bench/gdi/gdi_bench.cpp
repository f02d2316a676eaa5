// Loading a 4000 x 3000 JPEG at 800 x 600 must take under 150 ms, and 10,000 polygon fills of
// ten points each on a 1024 x 768 bitmap under a second.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/qt/gdi/qt_graphics_services.h"
#include "platform/qt/gui_application.h"

namespace {

// A photograph-like picture: gradients with noise, so the encoder cannot squeeze it to nothing.
QString photograph() {
  static QString path = [] {
    QString file = QDir::temp().filePath("quazel_bench_4000x3000.jpg");
    if (QImage(file).size() == QSize(4000, 3000)) return file;
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator noise(42);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        row[x] = qRgb((x / 16 + noise.bounded(32)) & 0xFF, (y / 12 + noise.bounded(32)) & 0xFF, ((x + y) / 28) & 0xFF);
    }
    image.save(file, "JPEG", 90);
    return file;
  }();
  return path;
}

void BM_LoadJpegAt800x600(benchmark::State& state) {
  std::u16string path = photograph().toStdU16String();
  qz::GraphicsServices& g = qz::qt_graphics_services();
  for (auto _ : state) {
    qz::Ref<qz::Object> p = g.load_picture_sized(path, 800, 600, 0xFFFFFF, false);
    if (!p) state.SkipWithError("the picture did not load");
    benchmark::DoNotOptimize(p.get());
  }
}
BENCHMARK(BM_LoadJpegAt800x600)->Unit(benchmark::kMillisecond);

void BM_LoadJpegAt800x600KeepingShape(benchmark::State& state) {
  std::u16string path = photograph().toStdU16String();
  qz::GraphicsServices& g = qz::qt_graphics_services();
  for (auto _ : state) benchmark::DoNotOptimize(g.load_picture_sized(path, 800, 600, 0, true).get());
}
BENCHMARK(BM_LoadJpegAt800x600KeepingShape)->Unit(benchmark::kMillisecond);

void BM_TenThousandPolygons(benchmark::State& state) {
  qz::GraphicsServices& g = qz::qt_graphics_services();
  qz::DeviceContext dc = g.create_memory_dc(1024, 768, 0xFFFFFF);
  // Ten-point stars all over the bitmap, each about 60 pixels across.
  std::vector<std::vector<qz::PixelPoint>> shapes;
  for (int i = 0; i < 10000; ++i) {
    int cx = (i * 97) % 1000 + 12, cy = (i * 61) % 740 + 14;
    std::vector<qz::PixelPoint> pts;
    for (int k = 0; k < 10; ++k) {
      double a = k * 2 * M_PI / 10;
      int r = k % 2 ? 12 : 30;
      pts.push_back({cx + static_cast<int>(r * std::cos(a)), cy + static_cast<int>(r * std::sin(a))});
    }
    shapes.push_back(std::move(pts));
  }
  for (auto _ : state)
    for (const auto& pts : shapes) g.polygon(dc, pts);
  g.release_dc(dc);
}
BENCHMARK(BM_TenThousandPolygons)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!qz::start_gui_application(nullptr)) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
