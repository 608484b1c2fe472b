// The preview traces behind the waveform chart: the first N values of each
// generator counted from phase zero, and their average.
//
// The traces are computed on the live bank, not on a copy: every computation
// puts all eight phases back to zero and leaves them N steps on, and the audio
// streams continue from there. Window thread only; no lock is taken and the
// streams are not paused, so the audio thread may move a phase between two
// preview steps, which then shows as a jump in that trace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "GeneratorBank.h"
#include "ToneFormula.h"

struct PreviewPoint {
  double x;  // step index 0 .. N-1
  double y;  // value in 16-bit sample units, not rounded to an integer
};

// Traces 0 to 7 are generators 1 to 8; trace 8 is the mix.
inline constexpr std::size_t kPreviewTraceCount = kGeneratorCount + 1;
inline constexpr std::size_t kMixTrace = kGeneratorCount;

using PreviewTraces = std::array<std::vector<PreviewPoint>, kPreviewTraceCount>;

namespace preview_detail {

// The average of the eight stored values: summed left to right and divided by
// eight in extended precision, rounded once. A silent generator counts as a
// zero.
inline double MixOf(const std::array<double, kGeneratorCount>& values) {
  long double sum = values[0];
  for (std::size_t k = 1; k < values.size(); ++k) sum += values[k];
  return static_cast<double>(sum / kGeneratorCount);
}

}  // namespace preview_detail

// Computes the traces and hands every point to `sink(trace, point)` as soon as
// it is known: per step generators 1 to 8, then the mix. N below 1 gives no
// points; the phases are reset either way.
template <class Sink>
void ComputePreviewTraces(GeneratorArray& bank, int32_t n, Sink&& sink) {
  constexpr auto relaxed = std::memory_order_relaxed;
  for (GeneratorState& generator : bank) generator.Phase.store(+0.0, relaxed);
  std::array<double, kGeneratorCount> values{};
  for (int32_t step = 0; step < n; ++step) {
    const double x = step;
    for (std::size_t k = 0; k < kGeneratorCount; ++k) {
      values[k] = tone::ToneValue(bank[k].Phase.load(relaxed), bank[k].Amplitude.load(relaxed));
      sink(k, PreviewPoint{x, values[k]});
    }
    for (GeneratorState& generator : bank) {
      generator.Phase.store(tone::NextPhase(generator.Phase.load(relaxed), generator.Frequency.load(relaxed)), relaxed);
    }
    sink(kMixTrace, PreviewPoint{x, preview_detail::MixOf(values)});
  }
}

// The nine traces of N points each (none for N below 1).
PreviewTraces ComputePreviewTraces(GeneratorArray& bank, int32_t n);
