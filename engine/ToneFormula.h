// The arithmetic that defines what the audio streams play and what the preview
// shows: one sine value of a generator, the truncation to a 16-bit sample and
// the phase step.
//
// The order of operations and the precision of each are part of what the
// program plays, so nothing here may be reordered, fused or computed in a
// narrower type. The engine is compiled with -ffp-contract=off for that reason.
// The fill routine and the preview compute the same results faster
// (ToneKernels.h); what they give is defined by the functions below.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tone {

// Pi at extended precision; the waveform is sin(pi * phase).
inline constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Every generator plays as a stream of 16-bit stereo frames at this rate.
inline constexpr uint32_t kStreamFrameRate = 48000;
inline constexpr uint32_t kStreamChannels = 2;

// The phase step divides by the stream's frame rate but is applied once per
// 16-bit value, so a stereo frame advances the phase by two steps.
inline constexpr long double kStepDivisor = kStreamFrameRate;

// sin(pi * phase) * amplitude in extended precision (the product pi * phase
// rounded to a long double, the library's sinl), rounded to a double.
inline double ToneValue(double phase, double amplitude) {
  const long double sine = sinl(kPi * static_cast<long double>(phase));
  return static_cast<double>(sine * static_cast<long double>(amplitude));
}

// What the extended-precision product pi * phase of ToneValue exceeds the
// double product (double)pi * phase by: a few units in the last place of the
// latter, exact as a double. The vectorised arithmetic (ToneKernels.h) needs
// it to follow ToneValue's argument closely, and only the x87 unit rounds to
// a 64-bit significand.
inline double ArgumentGap(double phase) {
  const double product = static_cast<double>(kPi) * phase;
  return static_cast<double>(kPi * static_cast<long double>(phase) - static_cast<long double>(product));
}

// frequency / 48000 + phase in extended precision, rounded to a double.
inline double NextPhase(double phase, double frequency) {
  return static_cast<double>(static_cast<long double>(frequency) / kStepDivisor + static_cast<long double>(phase));
}

// NextPhase with the division done once per frequency: the quotient is the
// same extended-precision value for every step while the frequency's bits
// stay the same, and the division costs more than the rest of the step. The
// frequency is still passed, and compared, at every step. The quotient is
// kept as two doubles whose extended-precision sum is exactly it (loading a
// long double costs more than loading two doubles); the second carries the
// first's sign where it is zero, so that -0.0 and infinities come back as
// they were.
//
// Most steps are also done without the extended-precision unit. Within one
// binade of the phase (the doubles of one sign and exponent, spaced u apart)
// the step is the same double for every phase: the phase lies on the 64-bit
// grid of that binade (spacing u / 2^11), so the extended sum is the phase
// plus the quotient rounded to that grid, R, and its rounding to a double is
// the phase plus R rounded to a multiple of u, whatever the phase, unless R
// lies exactly halfway between two multiples (then the phase's own last bit
// decides the tie, and every step of such a run is taken exactly). This
// holds while the sum stays inside the binade: if the phase and the phase
// plus the step both lie in it and the latter is not its edge, the exact sum
// is less than u from the latter, so inside. Each exact step that finds these
// conditions starts a run: the step and the bounds of its binade; a step
// outside them (another binade, another phase stored by another thread, a
// NaN) is taken exactly again.
class PhaseStepper {
 public:
  double Next(double phase, double frequency) {
    const auto bits = std::bit_cast<uint64_t>(frequency);
    if (bits != FFrequencyBits) [[unlikely]]
      SetFrequency(frequency, bits);
    const double next = phase + FRun.step;
    if (phase >= FRun.phaseLow && phase <= FRun.phaseHigh && next >= FRun.nextLow && next <= FRun.nextHigh)
        [[likely]]
      return next;
    return StepExactly(phase);
  }

 private:
  // A run's bounds, all inclusive: NaN in every field matches no phase.
  struct Run {
    double step = std::numeric_limits<double>::quiet_NaN();
    double phaseLow = std::numeric_limits<double>::quiet_NaN();
    double phaseHigh = std::numeric_limits<double>::quiet_NaN();
    double nextLow = std::numeric_limits<double>::quiet_NaN();
    double nextHigh = std::numeric_limits<double>::quiet_NaN();
  };

  void SetFrequency(double frequency, uint64_t bits) {
    FFrequencyBits = bits;
    const long double quotient = static_cast<long double>(frequency) / kStepDivisor;
    FQuotientHigh = static_cast<double>(quotient);
    const long double rest = std::isfinite(FQuotientHigh) ? quotient - FQuotientHigh : 0.0L;
    FQuotientLow = rest != 0.0L ? static_cast<double>(rest) : std::copysign(0.0, FQuotientHigh);
    FRun = Run{};
  }

  double StepExactly(double phase) {
    const long double quotient = static_cast<long double>(FQuotientHigh) + static_cast<long double>(FQuotientLow);
    const long double sum = quotient + static_cast<long double>(phase);
    const double next = static_cast<double>(sum);
    StartRun(phase, sum, next);
    return next;
  }

  // The run through `phase`'s binade, if the exact step phase -> next (sum
  // before its rounding to a double) shows one; else no run.
  void StartRun(double phase, long double sum, double next) {
    FRun = Run{};
    if (!std::isnormal(phase)) return;
    const int exponent = std::ilogb(phase);
    const double unit = std::ldexp(1.0, exponent - std::numeric_limits<double>::digits + 1);
    const double magnitudeLow = std::ldexp(1.0, exponent);
    // 2 - 2^-52 scaled: the binade's largest double, finite in the top binade too.
    const double magnitudeHigh = std::ldexp(2.0 - std::numeric_limits<double>::epsilon(), exponent);
    const double magnitude = std::fabs(next);
    if (std::signbit(next) != std::signbit(phase) || magnitude <= magnitudeLow || magnitude > magnitudeHigh) return;
    // Exact: both lie on the binade's 64-bit grid.
    const long double gridStep = sum - static_cast<long double>(phase);
    const long double units = gridStep / unit;
    if (units - std::floor(units) == 0.5L) return;
    const double sign = std::copysign(1.0, phase);
    FRun.step = next - phase;  // exact: both in one binade
    FRun.phaseLow = sign > 0 ? magnitudeLow : -magnitudeHigh;
    FRun.phaseHigh = sign > 0 ? magnitudeHigh : -magnitudeLow;
    FRun.nextLow = sign > 0 ? magnitudeLow + unit : -magnitudeHigh;
    FRun.nextHigh = sign > 0 ? magnitudeHigh : -(magnitudeLow + unit);
  }

  uint64_t FFrequencyBits = 0;  // the bits of +0.0, whose quotient is +0.0
  double FQuotientHigh = 0.0;
  double FQuotientLow = 0.0;
  Run FRun;
};

// Truncates toward zero. A level within 0..32767 always fits; the saturation
// only keeps a level written outside that range, or a phase that ran off to
// infinity (a frequency near the largest double), from turning into undefined
// conversions: such values give full scale or, for NaN, silence.
inline int16_t TruncateToSample(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace tone
