// The self-drawn widgets: one complete repaint of a level slider (at the
// window's range and at a range of 10^9 with a step of 1, where the tick step
// is largest) and one step of the frequency spin box, on the offscreen
// platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "ProgramCursors.h"
#include "TAdvSpinEdit.h"
#include "TVrTrackBar.h"

namespace {

constexpr int kPositionsPerRange = 161;  // one per pixel of the window's track

// Arguments: the slider's maximum and its Frequency.
void BM_SliderRepaint(benchmark::State& state) {
  const int maximum = static_cast<int>(state.range(0));
  QWidget group;
  group.resize(88, 263);
  TVrTrackBar slider(&group);
  slider.setGeometry(16, 51, 57, 190);
  slider.SetMaxValue(maximum);
  slider.SetOrientation(TVrOrientation::voVertical);
  slider.SetFrequency(static_cast<int>(state.range(1)));
  slider.SetGutterWidth(5);
  group.show();
  if (!QTest::qWaitForWindowExposed(&group)) state.SkipWithError("window not exposed");
  const int stride = maximum / kPositionsPerRange;
  int position = 0;
  for (auto _ : state) {
    slider.SetPosition(position);  // a new value each time: one synchronous repaint
    position = position <= maximum - stride ? position + stride : 0;
  }
}
BENCHMARK(BM_SliderRepaint)
    ->ArgNames({"max", "step"})
    ->Args({32767, 10})
    ->Args({1000000000, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_SpinBoxStep(benchmark::State& state) {
  QWidget group;
  TAdvSpinEdit spin(&group);
  spin.setGeometry(3, 32, 81, 21);
  spin.SetPrecision(3);
  spin.SetFloatValue(110.0L);
  int changes = 0;
  spin.OnChange = [&changes](QObject*) { ++changes; };
  group.show();
  for (auto _ : state) spin.StepUp();
  benchmark::DoNotOptimize(changes);
}
BENCHMARK(BM_SpinBoxStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  RegisterProgramCursors();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
