// The preview cache: comparing inputs, computing missing steps, restoring
// the phases.
#include "PreviewCache.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

}  // namespace

bool PreviewCache::Inputs::operator==(const Inputs& other) const {
  return std::memcmp(frequency.data(), other.frequency.data(), sizeof frequency) == 0 &&
         std::memcmp(amplitude.data(), other.amplitude.data(), sizeof amplitude) == 0;
}

PreviewCache::Inputs PreviewCache::ReadInputs(const GeneratorArray& bank) {
  Inputs inputs;
  for (std::size_t k = 0; k < kGeneratorCount; ++k) {
    inputs.frequency[k] = bank[k].Frequency.load(kRelaxed);
    inputs.amplitude[k] = bank[k].Amplitude.load(kRelaxed);
  }
  return inputs;
}

void PreviewCache::Prepare(const GeneratorArray& bank, int32_t n) {
  const Inputs inputs = ReadInputs(bank);
  if (!FValid || !(inputs == FInputs)) {
    FInputs = inputs;
    FValid = true;
    FSteps = 0;
    for (auto& values : FValues) values.clear();
    for (auto& phases : FPhases) phases.assign(1, +0.0);
  }
  if (n > FSteps) Extend(n);
}

// The same arithmetic as ComputePreviewTraces: the values of a step from the
// phases before it, the phase steps, and the mix, a block of steps at a time.
void PreviewCache::Extend(int32_t n) {
  const auto size = static_cast<std::size_t>(n);
  for (auto& values : FValues) values.reserve(size);
  for (auto& phases : FPhases) phases.reserve(size + 1);
  std::array<tone::PhaseStepper, kGeneratorCount> steppers{};
  preview_detail::Block phases{}, amplitudes{}, values{};
  for (auto first = static_cast<std::size_t>(FSteps); first < size; first += preview_detail::kBlockSteps) {
    const std::size_t steps = std::min(preview_detail::kBlockSteps, size - first);
    for (std::size_t step = 0; step < steps; ++step) {
      for (std::size_t k = 0; k < kGeneratorCount; ++k) {
        const double phase = FPhases[k][first + step];
        phases[step * kGeneratorCount + k] = phase;
        amplitudes[step * kGeneratorCount + k] = FInputs.amplitude[k];
        FPhases[k].push_back(steppers[k].Next(phase, FInputs.frequency[k]));
      }
    }
    preview_detail::BlockValues(phases, amplitudes, steps * kGeneratorCount, values);
    for (std::size_t step = 0; step < steps; ++step) {
      const std::span<const double, kGeneratorCount> stepValues(values.data() + step * kGeneratorCount,
                                                                kGeneratorCount);
      for (std::size_t k = 0; k < kGeneratorCount; ++k) FValues[k].push_back(stepValues[k]);
      FValues[kMixTrace].push_back(preview_detail::MixOf(stepValues));
    }
  }
  FSteps = n;
}

void PreviewCache::StorePhasesAfter(GeneratorArray& bank, int32_t n) const {
  const std::size_t step = n > 0 ? static_cast<std::size_t>(n) : 0;
  for (std::size_t k = 0; k < kGeneratorCount; ++k) bank[k].Phase.store(FPhases[k][step], kRelaxed);
}
