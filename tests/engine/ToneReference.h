// The exact formula written out once more for the tests, step by step and
// with its own constants, and the distance between two doubles in units in
// the last place. Expected values come from here (or from MPFR and
// literals), never from the engine's own ToneFormula.h.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "GeneratorBank.h"
#include "ToneKernels.h"

namespace tone_test {

inline constexpr long double kPi = 3.141592653589793238462643383279502884L;

// sin(pi * phase) * amplitude: the product pi * phase and the sine in
// extended precision, times the level in extended precision, rounded once
// to a double.
inline double ReferenceValue(double phase, double amplitude) {
  return static_cast<double>(sinl(kPi * static_cast<long double>(phase)) * static_cast<long double>(amplitude));
}

// frequency / 48000 + phase in extended precision, rounded to a double.
inline double ReferenceNextPhase(double phase, double frequency) {
  return static_cast<double>(static_cast<long double>(frequency) / 48000.0L + static_cast<long double>(phase));
}

// Toward zero, full scale beyond it, silence for not-a-number.
inline int16_t ReferenceSample(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 32767.0) return 32767;
  if (value <= -32768.0) return -32768;
  return static_cast<int16_t>(std::trunc(value));
}

// Values of the formula computed with MPFR to 300 bits from the
// extended-precision argument and rounded once; each is also what the sinl
// formula gives. Plain doubles give other values for all but the short
// phases: 4.0e-12 for -1.6e-15 at phase 1, 23169.227 at 10^12 + 1/4.
struct KnownValue {
  double phase;
  double amplitude;
  double value;
};
inline constexpr KnownValue kKnownValues[] = {
    {0.25, 32767.0, 0x1.6a07125426ecep+14},         // 23169.767899139602
    {0.5, 32767.0, 32767.0},                        // the peak, a whole number
    {1.0, 32767.0, -0x1.d9c9380a21d72p-50},         // -1.6437754329430323e-15
    {1.5, 32767.0, -32767.0},                       //
    {2.0, 1.0, 0x1.d9cceba3f91f2p-64},              // 1.0033115225336665e-19
    {-0.75, 16384.0, -0x1.6a09e667f3bcdp+13},       // -11585.237502960395
    {0x1p-20, 32767.0, 0x1.921c9104d5b39p-4},       // 0.098171774368307832
    {123456.789, 10000.0, 0x1.809dd1b8dba7ep+12},   // 6153.8637016849807
    {1e9 + 0.3, 32767.0, 0x1.9e343a56bac86p+14},    // 26509.056971472244
    {1e12 + 0.25, 32767.0, 0x1.6a0712cf065d1p+14},  // 23169.768367862158
};

// The samples and the phase after them, computed value by value with sinl.
struct ExactStream {
  std::vector<int16_t> samples;
  double phaseAfter;
};

inline ExactStream ExactFill(double phase, double frequency, double amplitude, std::size_t count) {
  ExactStream stream{{}, 0.0};
  stream.samples.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    stream.samples.push_back(ReferenceSample(ReferenceValue(phase, amplitude)));
    phase = ReferenceNextPhase(phase, frequency);
  }
  stream.phaseAfter = phase;
  return stream;
}

// What the fill routine gives with the chosen kernels for the same start.
inline ExactStream KernelFill(const tone::kernels::KernelSet& kernels, double phase, double frequency, double amplitude,
                              std::size_t count) {
  GeneratorState generator;
  generator.Phase.store(phase);
  generator.Frequency.store(frequency);
  generator.Amplitude.store(amplitude);
  std::vector<unsigned char> bytes(2 * count);
  FillGeneratorStream(generator, bytes.data(), static_cast<uint32_t>(bytes.size()), kernels);
  ExactStream stream{{}, generator.Phase.load()};
  for (std::size_t i = 0; i < count; ++i) {
    stream.samples.push_back(static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  }
  return stream;
}

// Units in the last place between a and b; zeros of either sign are equal,
// values of opposite sign are infinitely far apart.
inline int64_t UlpDistance(double a, double b) {
  if (a == b) return 0;
  if (std::isnan(a) && std::isnan(b)) return 0;
  if (std::isnan(a) || std::isnan(b) || std::signbit(a) != std::signbit(b)) return std::numeric_limits<int64_t>::max();
  const auto ia = std::bit_cast<int64_t>(a), ib = std::bit_cast<int64_t>(b);
  return ia > ib ? ia - ib : ib - ia;
}

// The kernel versions this processor runs.
inline std::vector<const tone::kernels::KernelSet*> AvailableKernels() {
  std::vector<const tone::kernels::KernelSet*> sets{&tone::kernels::Portable()};
  if (tone::kernels::Avx2() != nullptr) sets.push_back(tone::kernels::Avx2());
  return sets;
}

}  // namespace tone_test
