// The arithmetic that the audio streams and the preview share: one sine value
// of a generator, the truncation to a 16-bit sample and the phase step.
//
// The order of operations and the precision of each are part of what the
// program plays, so nothing here may be reordered, fused or computed in a
// narrower type. The engine is compiled with -ffp-contract=off for that reason.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tone {

// Pi at extended precision; the waveform is sin(pi * phase).
inline constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Every generator plays as a stream of 16-bit stereo frames at this rate.
inline constexpr uint32_t kStreamFrameRate = 48000;
inline constexpr uint32_t kStreamChannels = 2;

// The phase step divides by the stream's frame rate but is applied once per
// 16-bit value, so a stereo frame advances the phase by two steps.
inline constexpr long double kStepDivisor = kStreamFrameRate;

// sin(pi * phase) * amplitude in extended precision, rounded to a double.
inline double ToneValue(double phase, double amplitude) {
  const long double sine = sinl(kPi * static_cast<long double>(phase));
  return static_cast<double>(sine * static_cast<long double>(amplitude));
}

// frequency / 48000 + phase in extended precision, rounded to a double.
inline double NextPhase(double phase, double frequency) {
  return static_cast<double>(static_cast<long double>(frequency) / kStepDivisor +
                             static_cast<long double>(phase));
}

// Truncates toward zero. A level within 0..32767 always fits; the saturation
// only keeps a level written outside that range, or a phase that ran off to
// infinity (a frequency near the largest double), from turning into undefined
// conversions: such values give full scale or, for NaN, silence.
inline int16_t TruncateToSample(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace tone
