// The preview cache: comparing inputs, computing missing steps, restoring
// the phases.
#include "PreviewCache.h"

#include <cstring>

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

// The same arithmetic, in the same order, as ComputePreviewTraces: every
// value from the phase before the step, then every phase step, then the mix.
void PreviewCache::Extend(int32_t n) {
  const auto size = static_cast<std::size_t>(n);
  for (auto& values : FValues) values.reserve(size);
  for (auto& phases : FPhases) phases.reserve(size + 1);
  std::array<double, kGeneratorCount> values{};
  for (auto step = static_cast<std::size_t>(FSteps); step < size; ++step) {
    for (std::size_t k = 0; k < kGeneratorCount; ++k) {
      values[k] = tone::ToneValue(FPhases[k][step], FInputs.amplitude[k]);
      FValues[k].push_back(values[k]);
    }
    for (std::size_t k = 0; k < kGeneratorCount; ++k) {
      FPhases[k].push_back(tone::NextPhase(FPhases[k][step], FInputs.frequency[k]));
    }
    FValues[kMixTrace].push_back(preview_detail::MixOf(values));
  }
  FSteps = n;
}

void PreviewCache::StorePhasesAfter(GeneratorArray& bank, int32_t n) const {
  const std::size_t step = n > 0 ? static_cast<std::size_t>(n) : 0;
  for (std::size_t k = 0; k < kGeneratorCount; ++k) bank[k].Phase.store(FPhases[k][step], kRelaxed);
}
