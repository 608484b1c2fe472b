// The tone engine: the stream fill routine against a bare sine loop, and the
// preview at its largest length.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "GeneratorBank.h"
#include "PreviewTraces.h"
#include "ToneFormula.h"

namespace {

constexpr uint32_t kBufferBytes = 4096;  // 2048 values, as a device asks for
constexpr double kFrequency = 440.0;
constexpr double kAmplitude = 16384.0;

void BM_FillRoutine(benchmark::State& state) {
  GeneratorState generator;
  generator.Frequency = kFrequency;
  generator.Amplitude = kAmplitude;
  std::vector<unsigned char> buffer(kBufferBytes);
  for (auto _ : state) {
    FillGeneratorStream(generator, buffer.data(), kBufferBytes);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(state.iterations() * (kBufferBytes / 2));
}
BENCHMARK(BM_FillRoutine);

// The floor the fill routine is held against: the sine and the phase step
// alone, with nothing shared and nothing stored; once with sinl, once with
// the engine's own sine.
template <long double (*Sine)(long double)>
void BM_BareSineLoop(benchmark::State& state) {
  double phase = 0.0;
  for (auto _ : state) {
    for (uint32_t i = 0; i < kBufferBytes / 2; ++i) {
      benchmark::DoNotOptimize(Sine(tone::kPi * phase) * kAmplitude);
      phase = static_cast<double>(static_cast<long double>(kFrequency) / 48000.0L + phase);
    }
  }
  state.SetItemsProcessed(state.iterations() * (kBufferBytes / 2));
}
long double LibrarySine(long double x) { return sinl(x); }
BENCHMARK(BM_BareSineLoop<LibrarySine>)->Name("BM_BareSineLoop/sinl");
BENCHMARK(BM_BareSineLoop<tone::Sine>)->Name("BM_BareSineLoop/engine_sine");

void BM_ComputePreviewTraces(benchmark::State& state) {
  GeneratorArray bank;
  for (std::size_t k = 0; k < bank.size(); ++k) {
    bank[k].Frequency = 110.0 * static_cast<double>(k + 1);
    bank[k].Amplitude = kAmplitude;
  }
  const auto n = static_cast<int32_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ComputePreviewTraces(bank, n));
  state.SetItemsProcessed(state.iterations() * n * static_cast<int64_t>(kPreviewTraceCount));
}
BENCHMARK(BM_ComputePreviewTraces)->Arg(1024)->Arg(32768)->Unit(benchmark::kMillisecond);

}  // namespace
