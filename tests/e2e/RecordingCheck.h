// Judges a recording of the program's start-up output (interleaved 48000 Hz
// stereo s16le) as the gap measurement takes it: it must be as long as
// asked, hold the eight start-up tones at the start-up mix's levels in every
// half-second stretch, and follow their exact period without a gap. A
// recording of nothing, of silence or of the wrong sound has no gap, so
// length and levels are what tell it from a good one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "GapDetector.h"

namespace gaps {

// The recorder's start may hand over what the monitor held before it
// (silence or a partial block), which is the recorder's doing, not the
// program's: this much of the start is not judged.
inline constexpr std::size_t kSkippedFrames = 12000;  // 0.25 s
// A recording timed by the caller comes out a few milliseconds short of
// what was asked; a recorder or sink that stalled loses far more.
inline constexpr double kLengthToleranceSeconds = 0.2;
inline constexpr double kLevelToleranceDb = 0.5;

struct Verdict {
  std::vector<Gap> gaps;            // frames counted from the recording's start
  std::vector<Gap> serverGaps;      // the program's gaps the reference shared
  std::vector<Gap> referenceGaps;   // all of the reference's
  std::vector<std::string> faults;  // length and levels, one line each
  double seconds = 0.0;             // the recording's length
  double judgedSeconds = 0.0;       // what follows the skipped start
  bool Passed() const { return gaps.empty() && faults.empty(); }
};

// `samples` recorded for `expectedSeconds`, with the program's master volume
// at its start-up value.
Verdict JudgeRecording(std::span<const int16_t> samples, double expectedSeconds);

// The same for a three-channel recording made with the reference playing
// beside the program (see ReferenceTone.h): the program's part is judged,
// and its gaps that the reference shared are the server's, kept apart from
// `gaps`. The reference must be in its channel at its level and alone, or
// the recording fails: its gaps would tell nothing.
Verdict JudgeRecordingWithReference(std::span<const int16_t> samples, double expectedSeconds);

}  // namespace gaps
