// Goertzel amplitudes, peak search and the model of the start-up mix.
#include "ToneMeasure.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tones {

namespace {

constexpr double kPeakResolution = 0.001;  // Hz
constexpr double kSampleMin = -32768.0;
constexpr double kSampleMax = 32767.0;

}  // namespace

std::array<double, kStartUpToneCount> StartUpFrequencies() {
  std::array<double, kStartUpToneCount> frequencies{};
  for (std::size_t k = 0; k < kStartUpToneCount; ++k) frequencies[k] = kStartUpBaseFrequency * double(k + 1);
  return frequencies;
}

double AmplitudeAt(std::span<const double> block, double frequency) {
  const double w = 2.0 * std::numbers::pi * frequency / kRate;
  const double coefficient = 2.0 * std::cos(w);
  double s1 = 0.0, s2 = 0.0, windowSum = 0.0;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(block.size() - 1));
    windowSum += hann;
    const double s0 = block[i] * hann + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  if (windowSum == 0.0) return 0.0;
  const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return 2.0 * std::sqrt(std::max(power, 0.0)) / windowSum;
}

double PeakFrequency(std::span<const double> block, double nominal, double span) {
  const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
  double low = nominal - span, high = nominal + span;
  while (high - low > kPeakResolution) {
    const double a = high - ratio * (high - low);
    const double b = low + ratio * (high - low);
    if (AmplitudeAt(block, a) < AmplitudeAt(block, b)) {
      low = a;
    } else {
      high = b;
    }
  }
  return (low + high) / 2;
}

std::array<double, kStartUpToneCount> StartUpLevels(double masterVolume) {
  const std::array<double, kStartUpToneCount> frequencies = StartUpFrequencies();
  std::vector<double> mix(kWindowFrames);
  for (std::size_t i = 0; i < mix.size(); ++i) {
    double sum = 0.0;
    for (double f : frequencies)
      sum += std::trunc(kStartUpLevel * std::sin(2.0 * std::numbers::pi * f * double(i) / kRate));
    mix[i] = std::clamp(std::nearbyint(sum * masterVolume), kSampleMin, kSampleMax);
  }
  std::array<double, kStartUpToneCount> levels{};
  for (std::size_t k = 0; k < kStartUpToneCount; ++k) levels[k] = AmplitudeAt(mix, frequencies[k]);
  return levels;
}

}  // namespace tones
