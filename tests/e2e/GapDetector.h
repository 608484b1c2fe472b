// Finds where a recording of the program's start-up tones departs from their
// exact period: silence, lost frames or repeated frames put into the output
// by a late device buffer.
//
// The eight start-up tones are 110, 220, ... 880 Hz: every one of them runs a
// whole number of cycles in 0.1 s, 4800 frames at 48000 Hz, so an undisturbed
// output repeats itself every 4800 frames up to the last bit of rounding.
// Every frame is compared with the frame one period earlier; a fault makes
// frames depart from that from its first frame on, until one whole period
// after it has passed (the comparison then runs between frames that are both
// after the fault). Departures closer together than that count as one gap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace gaps {

inline constexpr std::size_t kPeriodFrames = 4800;
// Rounding of the tones' phases and of the mix moves a sample by a few units
// between periods; a fault moves it by hundreds or thousands.
inline constexpr int kTolerance = 16;

struct Gap {
  std::size_t firstFrame;  // the first frame that departs from the period
  std::size_t lastFrame;   // the last one before a whole clean period
};

// `frames` are interleaved stereo 16-bit frames (left, right, left, ...).
std::vector<Gap> FindGaps(std::span<const int16_t> samples);

// Whether `gap` overlaps one of `others`.
bool OverlapsAny(const Gap& gap, std::span<const Gap> others);

// Groups the frames from kPeriodFrames on for which departs(frame) holds
// into gaps, as FindGaps does with its own comparison.
template <class Departs>
std::vector<Gap> GroupDepartures(std::size_t frames, Departs departs) {
  std::vector<Gap> found;
  bool open = false;
  for (std::size_t frame = kPeriodFrames; frame < frames; ++frame) {
    if (!departs(frame)) {
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
