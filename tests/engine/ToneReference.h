// The exact formula written out once more for the tests, step by step, and
// the distance between two doubles in units in the last place.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "GeneratorBank.h"
#include "ToneFormula.h"
#include "ToneKernels.h"

namespace tone_test {

// The samples and the phase after them, computed value by value with sinl.
struct ExactStream {
  std::vector<int16_t> samples;
  double phaseAfter;
};

inline ExactStream ExactFill(double phase, double frequency, double amplitude, std::size_t count) {
  const long double pi = 3.141592653589793238462643383279502884L;
  ExactStream stream{{}, 0.0};
  stream.samples.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double y =
        static_cast<double>(sinl(pi * static_cast<long double>(phase)) * static_cast<long double>(amplitude));
    stream.samples.push_back(tone::TruncateToSample(y));
    phase = static_cast<double>(static_cast<long double>(frequency) / 48000.0L + static_cast<long double>(phase));
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
