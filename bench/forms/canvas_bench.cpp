// A script that draws 100,000 points and 10,000 lines on a picture box must finish in under a
// second; this measures the drawing surface's share on a 640 x 480 image.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/qt/canvas.h"
#include "platform/qt/gui_application.h"

namespace {

void BM_PSet100k(benchmark::State& state) {
  qz::Canvas c(640, 480);
  c.set_scale_mode(qz::kScaleTwips);  // the default mode: every point is converted
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i) c.pset(QPointF((i % 640) * 15.0, ((i / 640) % 480) * 15.0), false, i & 0xFFFFFF);
    benchmark::DoNotOptimize(c.image().constBits());
  }
}
BENCHMARK(BM_PSet100k)->Unit(benchmark::kMillisecond);

void BM_Line10k(benchmark::State& state) {
  qz::Canvas c(640, 480);
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i)
      c.line(QPointF((i % 640) * 15.0, 0), false, QPointF((639 - i % 640) * 15.0, 479 * 15.0), false, i * 37);
    benchmark::DoNotOptimize(c.image().constBits());
  }
}
BENCHMARK(BM_Line10k)->Unit(benchmark::kMillisecond);

void BM_PSetAndLineTogether(benchmark::State& state) {
  qz::Canvas c(640, 480);
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i) {
      c.pset(QPointF((i % 640) * 15.0, ((i / 640) % 480) * 15.0), false, i & 0xFFFFFF);
      if (i % 10 == 0) c.line(QPointF((i % 640) * 15.0, 0), false, QPointF(0, 479 * 15.0), false, i);
    }
    benchmark::DoNotOptimize(c.image().constBits());
  }
}
BENCHMARK(BM_PSetAndLineTogether)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!qz::start_gui_application(nullptr)) return 1;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
