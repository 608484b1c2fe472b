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

namespace detail {

// pi/2 in pieces of 32 significant bits, so that k times each is exact in a
// 64-bit significand for |k| < 2^31, and the rest to 64 bits: about 200 bits
// in all, enough that even an argument a hair from a multiple of pi/2 keeps
// its full precision after the reduction.
inline constexpr long double kHalfPiPieces[] = {
    0x1.921fb544p+0L, 0x1.0b4611a6p-34L, 0x1.3198a2ep-69L, 0x1.b839a252p-104L, 0x1.27044533e63a0106p-142L,
};
inline constexpr long double kTwoOverPi = 0.636619772367581343075535053490057448L;
// Past this the quadrant count needs more than 31 bits; sinl takes over.
inline constexpr long double kFastSineLimit = 0x1p+30L;

#if defined(__x86_64__) || defined(__i386__)
inline long double X87Sin(long double x) {
  long double result;
  asm("fsin" : "=t"(result) : "0"(x));
  return result;
}
inline long double X87Cos(long double x) {
  long double result;
  asm("fcos" : "=t"(result) : "0"(x));
  return result;
}
// Rounds in the current mode (to nearest) without touching the control word,
// whose reloading for a truncating conversion costs more than the sine.
inline int32_t X87RoundToInt(long double x) {
  int32_t result;
  asm("fistpl %0" : "=m"(result) : "t"(x) : "st");
  return result;
}
#endif

}  // namespace detail

// sin(x) for an extended-precision x, agreeing with sinl to a few units in
// the last place of a long double: x is reduced exactly modulo pi/2 and the
// x87 sine or cosine, accurate on that short range, does the rest, about
// 2.8 times as fast as sinl (docs/benchmarks.md). Rounded to a double after
// the scaling by a level, the values agree with sinl's to one unit in the
// last place at most (bench/SineAgreementBench.cpp measures that over 10^8
// values).
inline long double Sine(long double x) {
#if defined(__x86_64__) || defined(__i386__)
  if (!(std::fabs(x) < detail::kFastSineLimit)) return sinl(x);  // NaN too
  const int32_t quadrant = detail::X87RoundToInt(x * detail::kTwoOverPi);
  const long double k = quadrant;
  long double reduced = x;
  for (const long double piece : detail::kHalfPiPieces) reduced -= k * piece;
  switch (quadrant & 3) {
    case 0: return detail::X87Sin(reduced);
    case 1: return detail::X87Cos(reduced);
    case 2: return -detail::X87Sin(reduced);
    default: return -detail::X87Cos(reduced);
  }
#else
  return sinl(x);
#endif
}

// sin(pi * phase) * amplitude in extended precision, rounded to a double.
inline double ToneValue(double phase, double amplitude) {
  const long double sine = Sine(kPi * static_cast<long double>(phase));
  return static_cast<double>(sine * static_cast<long double>(amplitude));
}

// frequency / 48000 + phase in extended precision, rounded to a double.
inline double NextPhase(double phase, double frequency) {
  return static_cast<double>(static_cast<long double>(frequency) / kStepDivisor + static_cast<long double>(phase));
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
