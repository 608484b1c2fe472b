// A steady reference played beside the program, so that a recording tells
// the sound server's own losses from the program's.
//
// The sink has a third channel besides the program's two (which one depends
// on the server, see gaps.sh): the program's stereo stream reaches
// front-left and front-right only, and a plain player at the program's
// latency plays the reference on the third only.
// One recorder takes all three, so the two are read apart frame for frame. A
// frame the server or the recorder loses, or a stall of the server that no
// client at that latency bridges, disturbs both at the same frames; a buffer
// the program delivers late disturbs the program alone. So a gap of the
// program that the reference shares is the server's, and only the others
// count against the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "GapDetector.h"

namespace gaps {

// front-left, front-right and the reference's.
inline constexpr std::size_t kReferencedChannels = 3;
inline constexpr std::size_t kReferenceChannel = 2;  // its index in a frame

// 100 whole cycles in one period of the start-up tones.
inline constexpr double kReferenceFrequency = 1000.0;
inline constexpr double kReferenceAmplitude = 8000.0;

// `frames` mono frames of the reference.
std::vector<int16_t> ReferenceSignal(std::size_t frames);

// The program's part of a three-channel recording: its two channels.
std::vector<int16_t> ProgramPart(std::span<const int16_t> samples);

// The gaps of the reference in a three-channel recording.
std::vector<Gap> FindReferenceGaps(std::span<const int16_t> samples);

}  // namespace gaps
