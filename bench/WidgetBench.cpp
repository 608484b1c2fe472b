// The self-drawn widgets: one complete repaint of a level slider and one step
// of the frequency spin box, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "ProgramCursors.h"
#include "TAdvSpinEdit.h"
#include "TVrTrackBar.h"

namespace {

void BM_SliderRepaint(benchmark::State& state) {
  QWidget group;
  group.resize(88, 263);
  TVrTrackBar slider(&group);
  slider.setGeometry(16, 51, 57, 190);
  slider.SetMaxValue(32767);
  slider.SetOrientation(TVrOrientation::voVertical);
  slider.SetGutterWidth(5);
  group.show();
  if (!QTest::qWaitForWindowExposed(&group)) state.SkipWithError("window not exposed");
  int position = 0;
  for (auto _ : state) {
    slider.SetPosition(position);  // a new value each time: one synchronous repaint
    position = (position + 204) % 32768;
  }
}
BENCHMARK(BM_SliderRepaint)->Unit(benchmark::kMicrosecond);

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
