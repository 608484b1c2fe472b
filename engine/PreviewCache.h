// A memory of the last preview computation, so that a preview whose
// frequencies and levels did not change is not computed again.
//
// A trace of N steps is the first N values counted from phase zero, so it is
// a prefix of every longer trace with the same frequencies and levels, and
// the phases it leaves are the phases after N steps. The cache keeps the
// values and the phase after every step; a request whose inputs match is
// answered from them (computing only the steps it lacks) and leaves the bank
// in exactly the state the full computation on an undisturbed bank leaves.
// That is what dragging the preview-length scroll bar asks for, once per
// notification.
//
// Window thread only. The bank's Frequency and Amplitude are written on that
// thread alone, so they cannot change while a request runs; the audio thread's
// phase steps during a request are overwritten by the final phases, as they
// would be by the full computation's own stores.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "PreviewTraces.h"

class PreviewCache {
 public:
  // Requests longer than this go to ComputePreviewTraces directly; the
  // window's longest preview is 32768 steps.
  static constexpr int32_t kMaxCachedSteps = 1 << 16;

  // Hands every point of the N-step traces to `sink(trace, point)` in the
  // order ComputePreviewTraces gives them, and sets the bank's phases to what
  // that computation leaves.
  template <class Sink>
  void Compute(GeneratorArray& bank, int32_t n, Sink&& sink);

  // Steps held for the current inputs (for tests).
  int32_t CachedSteps() const { return FSteps; }

 private:
  struct Inputs {
    std::array<double, kGeneratorCount> frequency{};
    std::array<double, kGeneratorCount> amplitude{};
    bool operator==(const Inputs& other) const;  // bit for bit: -0.0 and NaN count
  };
  static Inputs ReadInputs(const GeneratorArray& bank);
  // Forgets what it holds when the inputs differ, then computes steps up to n.
  void Prepare(const GeneratorArray& bank, int32_t n);
  // Computes steps FSteps .. n - 1 with ComputePreviewTraces' own loop.
  void Extend(int32_t n);
  void StorePhasesAfter(GeneratorArray& bank, int32_t n) const;

  Inputs FInputs;
  bool FValid = false;
  int32_t FSteps = 0;
  // FValues[t][x]: trace t at step x; FPhases[k][x]: generator k's phase
  // before step x (so FPhases[k][N] is the phase N steps leave).
  std::array<std::vector<double>, kPreviewTraceCount> FValues;
  std::array<std::vector<double>, kGeneratorCount> FPhases;
};

template <class Sink>
void PreviewCache::Compute(GeneratorArray& bank, int32_t n, Sink&& sink) {
  if (n > kMaxCachedSteps) {
    ComputePreviewTraces(bank, n, sink);
    return;
  }
  Prepare(bank, n);
  for (int32_t step = 0; step < n; ++step) {
    const double x = step;
    const auto index = static_cast<std::size_t>(step);
    for (std::size_t trace = 0; trace < kPreviewTraceCount; ++trace)
      sink(trace, PreviewPoint{x, FValues[trace][index]});
  }
  StorePhasesAfter(bank, n);
}
