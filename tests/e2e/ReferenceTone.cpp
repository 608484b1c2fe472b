// The reference signal, and reading it and the program apart in a recording.
#include "ReferenceTone.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "ToneMeasure.h"

namespace gaps {

namespace {

constexpr std::size_t kProgramChannels = 2;

int Reference(std::span<const int16_t> samples, std::size_t frame) {
  return samples[frame * kReferencedChannels + kReferenceChannel];
}

}  // namespace

std::vector<int16_t> ReferenceSignal(std::size_t frames) {
  std::vector<int16_t> samples(frames);
  for (std::size_t i = 0; i < frames; ++i) {
    // Counted within the period, so the phase never drifts however long the
    // signal is.
    const double t = double(i % kPeriodFrames) / tones::kRate;
    samples[i] = static_cast<int16_t>(
        std::lround(kReferenceAmplitude * std::sin(2.0 * std::numbers::pi * kReferenceFrequency * t)));
  }
  return samples;
}

std::vector<int16_t> ProgramPart(std::span<const int16_t> samples) {
  const std::size_t frames = samples.size() / kReferencedChannels;
  std::vector<int16_t> program(frames * kProgramChannels);
  for (std::size_t i = 0; i < frames; ++i) {
    std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(i * kReferencedChannels), kProgramChannels,
                program.begin() + static_cast<std::ptrdiff_t>(i * kProgramChannels));
  }
  return program;
}

std::vector<Gap> FindReferenceGaps(std::span<const int16_t> samples) {
  return GroupDepartures(samples.size() / kReferencedChannels, [samples](std::size_t frame) {
    return std::abs(Reference(samples, frame) - Reference(samples, frame - kPeriodFrames)) > kTolerance;
  });
}

}  // namespace gaps
