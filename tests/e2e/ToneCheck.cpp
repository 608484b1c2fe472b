// Checks a recording of the program's output: raw 48000 Hz stereo s16le.
// Each of the eight start-up tones (110, 220, ... 880 Hz) must stand clearly
// above the level halfway between them, where the clipped mix of harmonics of
// 110 Hz puts nothing. Prints what it measured; exits 0 when all are present.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr std::size_t kSkipFrames = 9600;     // 0.2 s: the recorder's start
constexpr std::size_t kWindowFrames = 48000;  // 1 s: 1 Hz bins
constexpr double kBaseFrequency = 110.0;
constexpr int kTones = 8;
constexpr double kMinToneAmplitude = 1000.0;  // of 16384 per tone, before clipping
constexpr double kMinToneToGapRatio = 10.0;   // 20 dB

// Amplitude of one frequency in a Hann-windowed block (Goertzel).
double AmplitudeAt(const std::vector<double>& block, double frequency) {
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
  const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return 2.0 * std::sqrt(std::max(power, 0.0)) / windowSum;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RECORDING.raw\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<int16_t> samples;
  int16_t frame[2];
  while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) samples.push_back(frame[0]);  // left channel
  if (samples.size() < kSkipFrames + kWindowFrames) {
    std::fprintf(stderr, "recording too short: %zu frames\n", samples.size());
    return 1;
  }
  const std::vector<double> block(samples.begin() + kSkipFrames, samples.begin() + kSkipFrames + kWindowFrames);

  double loudestGap = 0.0;
  for (int k = 1; k <= kTones; ++k) loudestGap = std::max(loudestGap, AmplitudeAt(block, kBaseFrequency * (k + 0.5)));
  std::printf("loudest level between the tones: %.1f\n", loudestGap);

  bool allPresent = true;
  for (int k = 1; k <= kTones; ++k) {
    const double frequency = kBaseFrequency * k;
    const double amplitude = AmplitudeAt(block, frequency);
    const bool present = amplitude >= kMinToneAmplitude && amplitude >= kMinToneToGapRatio * loudestGap;
    std::printf("%5.0f Hz: %8.1f %s\n", frequency, amplitude, present ? "present" : "MISSING");
    allPresent = allPresent && present;
  }
  return allPresent ? 0 : 1;
}
