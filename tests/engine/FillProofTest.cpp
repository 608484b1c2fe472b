// The fill routine against the exact formula on 10^8 values of random
// streams: every 16-bit sample identical, with every kernel version the
// processor runs. Takes most of a minute, so it runs in the plain build only.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "ToneFormula.h"
#include "ToneReference.h"

namespace {

constexpr int kStreams = 50'000;
constexpr std::size_t kValuesPerStream = 2000;  // a buffer of 4000 bytes

struct Tally {
  int64_t values = 0;
  int64_t mismatches = 0;
  int64_t phaseMismatches = 0;
  std::vector<int64_t> exactPath;  // per kernel version
};

// Stream `index` from its own seed, so that the split over threads changes
// nothing: a frequency as the spin box holds it (three decimals, either
// sign), a level as the slider gives it, and a start phase up to 10^12
// (about 290 days of play at 20 kHz), uniform for even streams and
// log-uniform for odd ones.
void CheckStream(int index, const std::vector<const tone::kernels::KernelSet*>& kernelSets, Tally& tally) {
  std::mt19937_64 random(0x5eed0000u + static_cast<uint64_t>(index));
  const double frequency =
      std::round(std::uniform_real_distribution<double>(-24000.0, 24000.0)(random) * 1000.0) / 1000.0;
  const double amplitude = std::uniform_int_distribution<int>(0, 32767)(random);
  const double start = index % 2 == 0 ? std::uniform_real_distribution<double>(0.0, 1e12)(random)
                                      : std::pow(10.0, std::uniform_real_distribution<double>(0.0, 12.0)(random));

  const tone_test::ExactStream want = tone_test::ExactFill(start, frequency, amplitude, kValuesPerStream);
  tally.values += static_cast<int64_t>(kValuesPerStream);
  for (std::size_t set = 0; set < kernelSets.size(); ++set) {
    const tone_test::ExactStream got =
        tone_test::KernelFill(*kernelSets[set], start, frequency, amplitude, kValuesPerStream);
    for (std::size_t i = 0; i < kValuesPerStream; ++i) tally.mismatches += got.samples[i] != want.samples[i];
    tally.phaseMismatches += std::bit_cast<uint64_t>(got.phaseAfter) != std::bit_cast<uint64_t>(want.phaseAfter);
  }

  // How many values the kernels left to the exact formula, on the same phases.
  std::vector<double> phases(tone::kernels::kBlock), gaps(tone::kernels::kBlock),
      levels(tone::kernels::kBlock, amplitude);
  std::vector<int32_t> samples(tone::kernels::kBlock);
  double phase = start;
  for (std::size_t first = 0; first < kValuesPerStream; first += tone::kernels::kBlock) {
    const std::size_t count = std::min(tone::kernels::kBlock, kValuesPerStream - first);
    for (std::size_t i = 0; i < count; ++i) {
      phases[i] = phase;
      gaps[i] = tone::ArgumentGap(phase);
      phase = tone_test::ReferenceNextPhase(phase, frequency);
    }
    for (std::size_t set = 0; set < kernelSets.size(); ++set) {
      tally.exactPath[set] +=
          std::popcount(kernelSets[set]->samples(phases.data(), levels.data(), gaps.data(), count, samples.data()));
    }
  }
}

TEST(FillProof, HundredMillionRandomValuesEqualTheExactFormula) {
  const std::vector<const tone::kernels::KernelSet*> kernelSets = tone_test::AvailableKernels();
  constexpr int kThreads = 2;
  std::vector<Tally> tallies(kThreads, Tally{0, 0, 0, std::vector<int64_t>(kernelSets.size())});
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int index = t; index < kStreams; index += kThreads) CheckStream(index, kernelSets, tallies[t]);
    });
  }
  for (std::thread& thread : threads) thread.join();

  Tally total{0, 0, 0, std::vector<int64_t>(kernelSets.size())};
  for (const Tally& tally : tallies) {
    total.values += tally.values;
    total.mismatches += tally.mismatches;
    total.phaseMismatches += tally.phaseMismatches;
    for (std::size_t set = 0; set < kernelSets.size(); ++set) total.exactPath[set] += tally.exactPath[set];
  }
  std::printf("%lld values, %zu kernel versions: %lld differing samples, %lld differing end phases\n",
              static_cast<long long>(total.values), kernelSets.size(), static_cast<long long>(total.mismatches),
              static_cast<long long>(total.phaseMismatches));
  for (std::size_t set = 0; set < kernelSets.size(); ++set) {
    std::printf("  %s: %lld values left to the exact formula (%.2e of all)\n", kernelSets[set]->name,
                static_cast<long long>(total.exactPath[set]), double(total.exactPath[set]) / double(total.values));
    RecordProperty(std::string("exact_path_") + kernelSets[set]->name, std::to_string(total.exactPath[set]));
  }
  EXPECT_EQ(total.values, int64_t{kStreams} * int64_t{kValuesPerStream});
  EXPECT_EQ(total.mismatches, 0);
  EXPECT_EQ(total.phaseMismatches, 0);
}

}  // namespace
