// Measuring tones in a recording of the program's output (48000 Hz), and what
// the program plays after start-up: the eight tones 110, 220, ... 880 Hz at
// level 16384, mixed at the master volume.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace tones {

inline constexpr double kRate = 48000.0;
// Half a second: 2 Hz bins, and five whole periods of the start-up tones.
inline constexpr std::size_t kWindowFrames = 24000;

inline constexpr std::size_t kStartUpToneCount = 8;
inline constexpr double kStartUpBaseFrequency = 110.0;  // tone k plays k times this
inline constexpr double kStartUpLevel = 16384.0;
inline constexpr double kStartUpMasterVolume = 0.5;

// 110, 220, ... 880 Hz.
std::array<double, kStartUpToneCount> StartUpFrequencies();

// Amplitude of one frequency in a Hann-windowed block (Goertzel).
double AmplitudeAt(std::span<const double> block, double frequency);

// The frequency within `span` Hz of `nominal` where the block's spectrum
// peaks, by golden section search: a lone tone's windowed spectrum has one
// maximum there.
double PeakFrequency(std::span<const double> block, double nominal, double span);

// What AmplitudeAt measures for each start-up tone in a kWindowFrames block
// of the start-up output at `masterVolume`. Eight tones at 16384 clip at
// any volume above 0.4, so the levels are not 16384 x volume: they are
// measured on a model of the mix (each tone truncated to 16 bits, the sum
// scaled, rounded and clamped), with every phase starting at zero as the
// program starts them.
std::array<double, kStartUpToneCount> StartUpLevels(double masterVolume);

}  // namespace tones
