// The preview traces behind the waveform chart: the first N values of each
// generator counted from phase zero, and their average.
//
// The traces are computed on the live bank, not on a copy: every computation
// puts all eight phases back to zero and leaves them N steps on, and the audio
// streams continue from there. Window thread only; no lock is taken and the
// streams are not paused, so the audio thread may move a phase between two
// preview steps, which then shows as a jump in that trace.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "GeneratorBank.h"
#include "ToneFormula.h"
#include "ToneKernels.h"

struct PreviewPoint {
  double x;  // step index 0 .. N-1
  double y;  // value in 16-bit sample units, not rounded to an integer
};

// Traces 0 to 7 are generators 1 to 8; trace 8 is the mix.
inline constexpr std::size_t kPreviewTraceCount = kGeneratorCount + 1;
inline constexpr std::size_t kMixTrace = kGeneratorCount;

using PreviewTraces = std::array<std::vector<PreviewPoint>, kPreviewTraceCount>;

namespace preview_detail {

// Steps computed together: the kernels take eight steps of eight generators.
inline constexpr std::size_t kBlockSteps = tone::kernels::kBlock / kGeneratorCount;
static_assert(kBlockSteps * kGeneratorCount == tone::kernels::kBlock, "whole steps per block");
// Entry step * 8 + k belongs to generator k + 1 at that step of the block.
using Block = std::array<double, tone::kernels::kBlock>;

// value[i] = ToneValue(phase[i], amplitude[i]) within one unit in the last
// place for i below count, the same bits with every version of the kernels
// (ToneKernels.h).
void BlockValues(const Block& phase, const Block& amplitude, std::size_t count, Block& value,
                 const tone::kernels::KernelSet& kernels = tone::kernels::Active());

// The average of the eight stored values of one step: summed left to right
// and divided by eight in extended precision, rounded once. A silent
// generator counts as a zero.
inline double MixOf(std::span<const double, kGeneratorCount> values) {
  long double sum = values[0];
  for (std::size_t k = 1; k < values.size(); ++k) sum += values[k];
  return static_cast<double>(sum / kGeneratorCount);
}

// The stepping loop of every preview computation, so that the plain one and
// the cache's (PreviewCache.h) give the same bits by construction. For the
// steps first .. end - 1, one step after the other, and per step for the
// generators k = 0 .. 7 in turn: reads `state.Phase(k)` and
// `state.Amplitude(k)`, then hands `state.SetPhase(k, ...)` the phase stepped
// by `state.Frequency(k)`. The values are computed a block of steps at a time
// and handed to `sink(trace, point)` once those steps are done: per step
// generators 1 to 8, then the mix. Inlined into each caller, where the state
// and the sink are known: called, it kept them in memory and the cache's
// computation took 5 % longer.
template <class State, class Sink>
[[gnu::always_inline]] inline void StepTraces(State& state, int64_t first, int64_t end, Sink& sink) {
  constexpr auto blockSteps = static_cast<int64_t>(kBlockSteps);
  std::array<tone::PhaseStepper, kGeneratorCount> steppers{};
  Block phases{}, amplitudes{}, values{};
  for (int64_t block = first; block < end; block += blockSteps) {  // 64 bits: no overflow next to INT32_MAX
    const auto steps = static_cast<std::size_t>(std::min(blockSteps, end - block));
    for (std::size_t step = 0; step < steps; ++step) {
      for (std::size_t k = 0; k < kGeneratorCount; ++k) {  // innermost, so that it unrolls with k fixed
        const std::size_t i = step * kGeneratorCount + k;
        phases[i] = state.Phase(k);
        amplitudes[i] = state.Amplitude(k);
        state.SetPhase(k, steppers[k].Next(phases[i], state.Frequency(k)));
      }
    }
    BlockValues(phases, amplitudes, steps * kGeneratorCount, values);
    for (std::size_t step = 0; step < steps; ++step) {
      const auto x = static_cast<double>(block + static_cast<int64_t>(step));
      const std::span<const double, kGeneratorCount> stepValues(values.data() + step * kGeneratorCount,
                                                                kGeneratorCount);
      for (std::size_t k = 0; k < kGeneratorCount; ++k) sink(k, PreviewPoint{x, stepValues[k]});
      sink(kMixTrace, PreviewPoint{x, MixOf(stepValues)});
    }
  }
}

// The bank as StepTraces reads and steps it: relaxed loads and stores.
class LiveBank {
 public:
  explicit LiveBank(GeneratorArray& bank) : FBank(bank) {}
  double Phase(std::size_t k) const { return FBank[k].Phase.load(std::memory_order_relaxed); }
  double Amplitude(std::size_t k) const { return FBank[k].Amplitude.load(std::memory_order_relaxed); }
  double Frequency(std::size_t k) const { return FBank[k].Frequency.load(std::memory_order_relaxed); }
  void SetPhase(std::size_t k, double phase) { FBank[k].Phase.store(phase, std::memory_order_relaxed); }

 private:
  GeneratorArray& FBank;
};

}  // namespace preview_detail

// Computes the traces and hands every point to `sink(trace, point)`: per step
// generators 1 to 8, then the mix. N below 1 gives no points; the phases are
// reset either way. The phases and levels of a step are read, and the phases
// stepped, one step after the other; the values are computed eight steps at
// a time and handed over once those steps are complete.
template <class Sink>
void ComputePreviewTraces(GeneratorArray& bank, int32_t n, Sink&& sink) {
  for (GeneratorState& generator : bank) generator.Phase.store(+0.0, std::memory_order_relaxed);
  preview_detail::LiveBank live(bank);
  preview_detail::StepTraces(live, 0, n, sink);
}

// The nine traces of N points each (none for N below 1).
PreviewTraces ComputePreviewTraces(GeneratorArray& bank, int32_t n);
