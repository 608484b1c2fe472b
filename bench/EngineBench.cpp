// The tone engine: the stream fill routine next to bare sine loops, near
// phase zero and after 10^12 half-cycles, and the preview at its shortest and
// longest usual lengths.
#include <benchmark/benchmark.h>

#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "GeneratorBank.h"
#include "PreviewCache.h"
#include "PreviewTraces.h"
#include "ToneFormula.h"
#include "ToneKernels.h"

namespace {

constexpr uint32_t kBufferBytes = 4096;  // 2048 values, as a device asks for
constexpr uint32_t kValues = kBufferBytes / 2;
constexpr double kFrequency = 440.0;
constexpr double kFullLevel = 32767.0;
// Start phases: a fresh tone, and one that has played for about 290 days at
// 20 kHz (the argument of the exact formula's sine is furthest from pi times
// the phase there).
constexpr double kStartPhases[] = {0.0, 1e12};

double StartPhase(const benchmark::State& state) { return kStartPhases[state.range(0)]; }

// Nanoseconds per value as a counter next to the time per buffer.
void ReportPerValue(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kValues);
  state.counters["per_value"] =
      benchmark::Counter(kValues, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The share of values the kernels leave to the exact formula on this stream.
double ExactShare(const tone::kernels::KernelSet& kernels, double phase) {
  std::vector<double> phases(tone::kernels::kBlock), gaps(tone::kernels::kBlock),
      levels(tone::kernels::kBlock, kFullLevel);
  std::vector<int32_t> samples(tone::kernels::kBlock);
  int exact = 0;
  for (uint32_t first = 0; first < kValues; first += tone::kernels::kBlock) {
    for (std::size_t i = 0; i < phases.size(); ++i) {
      phases[i] = std::exchange(phase, tone::NextPhase(phase, kFrequency));
      gaps[i] = tone::ArgumentGap(phases[i]);
    }
    exact += std::popcount(kernels.samples(phases.data(), levels.data(), gaps.data(), phases.size(), samples.data()));
  }
  return double(exact) / kValues;
}

// The fill routine with one version of the kernels, one buffer per iteration
// from the same start phase, at full level.
void BM_FillRoutine(benchmark::State& state, const tone::kernels::KernelSet* kernels) {
  if (kernels == nullptr) {
    state.SkipWithError("the processor lacks this instruction set");
    return;
  }
  GeneratorState generator;
  generator.Frequency = kFrequency;
  generator.Amplitude = kFullLevel;
  std::vector<unsigned char> buffer(kBufferBytes);
  for (auto _ : state) {
    generator.Phase.store(StartPhase(state), std::memory_order_relaxed);
    FillGeneratorStream(generator, buffer.data(), kBufferBytes, *kernels);
    benchmark::DoNotOptimize(buffer.data());
  }
  ReportPerValue(state);
  state.counters["exact_share"] = ExactShare(*kernels, StartPhase(state));
}
BENCHMARK_CAPTURE(BM_FillRoutine, avx2, tone::kernels::Avx2())->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(BM_FillRoutine, sse2, &tone::kernels::Portable())->Arg(0)->Arg(1);

// The floors the fill routine is held against: the sine, the product and the
// phase step alone, nothing shared and nothing stored; once with sinl (what
// the exact formula costs), once with the double-precision sin.
void BM_BareSinlLoop(benchmark::State& state) {
  for (auto _ : state) {
    double phase = StartPhase(state);
    for (uint32_t i = 0; i < kValues; ++i) {
      benchmark::DoNotOptimize(sinl(tone::kPi * phase) * kFullLevel);
      phase = tone::NextPhase(phase, kFrequency);
    }
  }
  ReportPerValue(state);
}
BENCHMARK(BM_BareSinlLoop)->Arg(0)->Arg(1);

void BM_BareDoubleSinLoop(benchmark::State& state) {
  for (auto _ : state) {
    double phase = StartPhase(state);
    for (uint32_t i = 0; i < kValues; ++i) {
      benchmark::DoNotOptimize(std::sin(std::numbers::pi * phase) * kFullLevel);
      phase = tone::NextPhase(phase, kFrequency);
    }
  }
  ReportPerValue(state);
}
BENCHMARK(BM_BareDoubleSinLoop)->Arg(0)->Arg(1);

// The preview at the window's start-up settings, N steps from phase zero.
void SetStartUp(GeneratorArray& bank) {
  for (std::size_t k = 0; k < bank.size(); ++k) {
    bank[k].Frequency = 110.0 * static_cast<double>(k + 1);
    bank[k].Amplitude = 16384.0;
  }
}

// The collected form: nine fresh vectors per call, whose first touch (4.7 MB
// at N = 32768, handed back to the system when freed) is part of the figure.
void BM_ComputePreviewTraces(benchmark::State& state) {
  GeneratorArray bank;
  SetStartUp(bank);
  const auto n = static_cast<int32_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ComputePreviewTraces(bank, n));
  state.SetItemsProcessed(state.iterations() * n * static_cast<int64_t>(kPreviewTraceCount));
}
BENCHMARK(BM_ComputePreviewTraces)->Arg(1024)->Arg(32768)->Unit(benchmark::kMillisecond);

// The sink form with a sink that only adds each trace's values up: the
// computation alone.
void BM_ComputePreviewTracesIntoSink(benchmark::State& state) {
  GeneratorArray bank;
  SetStartUp(bank);
  const auto n = static_cast<int32_t>(state.range(0));
  std::array<double, kPreviewTraceCount> sums{};
  for (auto _ : state)
    ComputePreviewTraces(bank, n, [&sums](std::size_t t, PreviewPoint point) { sums[t] += point.y; });
  benchmark::DoNotOptimize(sums);
  state.SetItemsProcessed(state.iterations() * n * static_cast<int64_t>(kPreviewTraceCount));
}
BENCHMARK(BM_ComputePreviewTracesIntoSink)->Arg(1024)->Arg(32768)->Unit(benchmark::kMillisecond);

// The window's path after a level change: the preview cache computes all N
// steps again into the vectors it keeps.
void BM_PreviewCacheAfterLevelChange(benchmark::State& state) {
  GeneratorArray bank;
  SetStartUp(bank);
  PreviewCache cache;
  const auto n = static_cast<int32_t>(state.range(0));
  std::array<double, kPreviewTraceCount> sums{};
  int64_t change = 0;
  for (auto _ : state) {
    bank[0].Amplitude.store(16384.0 + static_cast<double>(++change % 2), std::memory_order_relaxed);
    cache.Compute(bank, n, [&sums](std::size_t t, PreviewPoint point) { sums[t] += point.y; });
  }
  benchmark::DoNotOptimize(sums);
}
BENCHMARK(BM_PreviewCacheAfterLevelChange)->Arg(1024)->Arg(32768)->Unit(benchmark::kMillisecond);

// Memory alone: the nine vectors of the collected form filled with
// constants, the floor under BM_ComputePreviewTraces.
void BM_CollectPreviewPoints(benchmark::State& state) {
  const auto n = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    PreviewTraces traces;
    for (auto& trace : traces) trace.reserve(static_cast<std::size_t>(n));
    for (int32_t x = 0; x < n; ++x) {
      for (auto& trace : traces) trace.push_back(PreviewPoint{double(x), 0.0});
    }
    benchmark::DoNotOptimize(traces);
  }
}
BENCHMARK(BM_CollectPreviewPoints)->Arg(32768)->Unit(benchmark::kMillisecond);

}  // namespace
