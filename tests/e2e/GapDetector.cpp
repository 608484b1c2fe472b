// Comparing each frame with the frame one period earlier.
#include "GapDetector.h"

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

std::vector<Gap> FindGaps(std::span<const int16_t> samples) {
  std::vector<Gap> found;
  const std::size_t frames = samples.size() / kChannels;
  bool open = false;
  for (std::size_t frame = kPeriodFrames; frame < frames; ++frame) {
    if (!Departs(samples, frame)) {
      // A whole clean period after the last departure closes the gap.
      if (open && frame - found.back().lastFrame > kPeriodFrames) open = false;
      continue;
    }
    if (open) {
      found.back().lastFrame = frame;
    } else {
      found.push_back({frame, frame});
      open = true;
    }
  }
  return found;
}

}  // namespace gaps
