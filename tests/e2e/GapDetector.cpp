// Comparing each frame with the frame one period earlier.
#include "GapDetector.h"

#include <algorithm>
#include <cstdlib>

namespace gaps {

namespace {

constexpr std::size_t kChannels = 2;

bool Departs(std::span<const int16_t> samples, std::size_t frame) {
  for (std::size_t c = 0; c < kChannels; ++c) {
    const int now = samples[frame * kChannels + c];
    const int before = samples[(frame - kPeriodFrames) * kChannels + c];
    if (std::abs(now - before) > kTolerance) return true;
  }
  return false;
}

}  // namespace

bool OverlapsAny(const Gap& gap, std::span<const Gap> others) {
  return std::any_of(others.begin(), others.end(), [&gap](const Gap& other) {
    return gap.firstFrame <= other.lastFrame && other.firstFrame <= gap.lastFrame;
  });
}

std::vector<Gap> FindGaps(std::span<const int16_t> samples) {
  return GroupDepartures(samples.size() / kChannels, [samples](std::size_t frame) { return Departs(samples, frame); });
}

}  // namespace gaps
