// One whole preview refresh of the real window, on the offscreen platform and
// against the stand-in audio library: the preview computation, loading the
// nine series and the one render of the chart's picture.
//
//   BM_RefreshWhileDragging   the scroll bar's notifications during a drag:
//                             the length changes by one step each time, the
//                             generators do not
//   BM_RefreshAfterNewFrequency  a generator's frequency changed: every value
//                             is computed afresh
//   BM_RefreshDensestWhileDragging  the drag with all eight generators at
//                             12000 Hz and full level: every column of
//                             every trace spans the plot's height
//
// Each reports wall time and the CPU time of the whole process (every
// thread, the chart's render worker too).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "Alerts.h"
#include "Application.h"
#include "GeneratorBank.h"
#include "TChart.h"
#include "TForm1.h"

namespace {

class SilentAlerts final : public AlertSink {
 public:
  void ShowMessage(QWidget*, const QString&, const QString&, AlertIcon) override {}
  void Beep() override {}
};

// The refresh as a scroll notification runs it, then the paint the event
// loop would run, forced at once.
void RefreshAndPaint(TForm1& form) {
  int position = form.sbChartSamplesCnt->Position();
  form.sbChartSamplesCntScroll(form.sbChartSamplesCnt, TScrollCode::scTrack, position);
  form.Chart1->repaint();
}

// The window on the screen, so that a repaint really renders the chart.
bool Shown(TForm1& form, benchmark::State& state) {
  form.show();
  if (QTest::qWaitForWindowExposed(&form)) return true;
  state.SkipWithError("the window was not exposed");
  return false;
}

void BM_RefreshWhileDragging(benchmark::State& state) {
  TForm1 form;
  if (!Shown(form, state)) return;
  const auto n = static_cast<int>(state.range(0));
  int step = 0;
  for (auto _ : state) {
    form.sbChartSamplesCnt->SetPosition(n - (step++ % 2));
    RefreshAndPaint(form);
  }
  state.counters["renders per refresh"] =
      benchmark::Counter(form.Chart1->PaintCount(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RefreshWhileDragging)
    ->Arg(1024)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_RefreshAfterNewFrequency(benchmark::State& state) {
  TForm1 form;
  if (!Shown(form, state)) return;
  form.sbChartSamplesCnt->SetPosition(static_cast<int>(state.range(0)));
  double frequency = 110.0;
  for (auto _ : state) {
    frequency += 0.001;
    GeneratorBank[0].Frequency.store(frequency, std::memory_order_relaxed);
    RefreshAndPaint(form);
  }
}
BENCHMARK(BM_RefreshAfterNewFrequency)
    ->Arg(1024)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

constexpr double kDensestFrequency = 12000.0;
constexpr double kFullLevel = 32767.0;

void BM_RefreshDensestWhileDragging(benchmark::State& state) {
  TForm1 form;
  if (!Shown(form, state)) return;
  for (GeneratorState& generator : GeneratorBank) {
    generator.Frequency.store(kDensestFrequency, std::memory_order_relaxed);
    generator.Amplitude.store(kFullLevel, std::memory_order_relaxed);
  }
  const auto n = static_cast<int>(state.range(0));
  int step = 0;
  for (auto _ : state) {
    form.sbChartSamplesCnt->SetPosition(n - (step++ % 2));
    RefreshAndPaint(form);
  }
}
BENCHMARK(BM_RefreshDensestWhileDragging)
    ->Arg(1024)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication application(argc, argv);
  ConfigureApplication(application);
  SilentAlerts alerts;
  SetAlertSink(&alerts);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SetAlertSink(nullptr);
  return 0;
}
