// The preview cache: comparing inputs, computing missing steps, restoring
// the phases.
#include "PreviewCache.h"

#include <cstring>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

using Values = std::array<double, kGeneratorCount>;

// The generators as the cache steps them: the inputs held, and per
// generator the phases stored so far, the last being the phase before the
// next step, to which every step adds the one after it.
class HeldGenerators {
 public:
  HeldGenerators(const Values& frequency, const Values& amplitude,
                 std::array<std::vector<double>, kGeneratorCount>& phases)
      : FFrequency(frequency), FAmplitude(amplitude), FPhases(phases) {}
  double Phase(std::size_t k) const { return FPhases[k].back(); }
  double Amplitude(std::size_t k) const { return FAmplitude[k]; }
  double Frequency(std::size_t k) const { return FFrequency[k]; }
  void SetPhase(std::size_t k, double phase) { FPhases[k].push_back(phase); }

 private:
  const Values& FFrequency;
  const Values& FAmplitude;
  std::array<std::vector<double>, kGeneratorCount>& FPhases;
};

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

void PreviewCache::Extend(int32_t n) {
  const auto size = static_cast<std::size_t>(n);
  for (auto& values : FValues) values.reserve(size);
  for (auto& phases : FPhases) phases.reserve(size + 1);
  HeldGenerators held(FInputs.frequency, FInputs.amplitude, FPhases);
  const auto keep = [this](std::size_t trace, PreviewPoint point) { FValues[trace].push_back(point.y); };
  preview_detail::StepTraces(held, FSteps, n, keep);
  FSteps = n;
}

void PreviewCache::StorePhasesAfter(GeneratorArray& bank, int32_t n) const {
  const std::size_t step = n > 0 ? static_cast<std::size_t>(n) : 0;
  for (std::size_t k = 0; k < kGeneratorCount; ++k) bank[k].Phase.store(FPhases[k][step], kRelaxed);
}
