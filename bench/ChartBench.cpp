// The waveform chart: preparing the points for drawing, one complete render
// of the picture and its split by pen width, and loading the points the way
// the window does, at the window's size on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "ChartPoints.h"
#include "ChartTestSupport.h"

namespace {

using namespace chart_test;

constexpr int kLargest = 32768;

std::unique_ptr<TChart> ShownChart(benchmark::State& state) {
  auto chart = MakeWindowChart();
  chart->show();
  if (!QTest::qWaitForWindowExposed(chart.get())) state.SkipWithError("window not exposed");
  return chart;
}

// All eight generators and so the mix at 12 kHz and full level, every
// column spanning the whole plot height.
Traces DensestTraces() {
  Traces traces = FullLevelTone(kLargest);
  for (auto& trace : traces) trace = traces[0];
  return traces;
}

// One complete render and copy of the picture per iteration: a colour
// change makes the cached picture stale, and repaint() paints at once.
void RenderRepeatedly(benchmark::State& state, TChart& chart) {
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    chart.SetColor(odd ? kBackground + 1 : kBackground);
    chart.repaint();
  }
}

// The pure preparation of all nine series, with the scales the chart uses
// at the window's size.
void BM_PreparePoints(benchmark::State& state) {
  auto chart = MakeWindowChart();
  Load(*chart, StartupTones(kLargest));
  const QRect plot = chart->PlotRect();
  constexpr int inset = 2;
  const PixelScale columns(0.0, kLargest - 1.0, plot.left() + inset, plot.width() - 2 * inset, +1);
  const PixelScale rows(-kRange, kRange, plot.top() + plot.height(), plot.height(), -1);
  std::vector<QPoint> polyline;
  std::size_t kept = 0;
  for (auto _ : state) {
    kept = 0;
    for (int s = 0; s < kSeriesCount; ++s) {
      PreparePolyline(chart->Series(s).Points(), columns, rows, polyline);
      kept += polyline.size();
    }
    benchmark::DoNotOptimize(polyline.data());
  }
  state.counters["points_drawn"] = static_cast<double>(kept);
  state.SetItemsProcessed(state.iterations() * kSeriesCount * kLargest);
}
BENCHMARK(BM_PreparePoints)->Unit(benchmark::kMillisecond);

// A complete render and copy of the picture, start-up tones.
void BM_RenderPicture(benchmark::State& state) {
  auto chart = ShownChart(state);
  Load(*chart, StartupTones(static_cast<int>(state.range(0))));
  const int before = chart->PaintCount();
  RenderRepeatedly(state, *chart);
  if (chart->PaintCount() - before != state.iterations()) state.SkipWithError("not one render per repaint");
}
// Wall time, and the CPU time of the whole process: the render worker's
// share is counted too.
BENCHMARK(BM_RenderPicture)
    ->Arg(1024)
    ->Arg(kLargest)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The densest picture.
void BM_RenderDensest(benchmark::State& state) {
  auto chart = ShownChart(state);
  Load(*chart, DensestTraces());
  RenderRepeatedly(state, *chart);
}
BENCHMARK(BM_RenderDensest)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Where a render's time goes by pen: the same render with only the eight
// one-pixel generator traces, or only the two-pixel mix (the other series
// left empty). Arguments: picture (0 start-up tones, 1 the densest), pens
// (0 the generators, 1 the mix).
void BM_RenderOnePenKind(benchmark::State& state) {
  auto chart = ShownChart(state);
  Traces traces = state.range(0) == 0 ? StartupTones(kLargest) : DensestTraces();
  const bool mixOnly = state.range(1) == 1;
  for (int s = 0; s < kSeriesCount; ++s) {
    if ((s == kMixSeries) != mixOnly) traces[static_cast<std::size_t>(s)].clear();
  }
  Load(*chart, traces);
  RenderRepeatedly(state, *chart);
}
BENCHMARK(BM_RenderOnePenKind)
    ->ArgNames({"densest", "mix"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Loading 9 x 32768 points as the window does: open, clear, add, close.
void BM_LoadPoints(benchmark::State& state) {
  auto chart = MakeWindowChart();
  const Traces traces = StartupTones(kLargest);
  for (auto _ : state) Load(*chart, traces);
  state.SetItemsProcessed(state.iterations() * kSeriesCount * kLargest);
}
BENCHMARK(BM_LoadPoints)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
