// The gap detector on the program's own start-up output, rendered offline
// through the real mixer, with faults put in by hand: each fault is found
// once, where it was put, and the clean output has none.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GapDetector.h"
#include "GeneratorBank.h"
#include "bass_internal.h"

namespace {

constexpr DWORD kRate = 48000;
constexpr std::size_t kFrames = 2 * kRate;
constexpr std::size_t kFaultAt = 50000;

// Two seconds of what the program plays after start-up: 110, 220, ... 880 Hz
// at level 16384, master volume 0.5.
std::vector<int16_t> StartUpOutput() {
  for (std::size_t k = 0; k < kGeneratorCount; ++k) {
    GeneratorBank[k].Phase.store(0.0);
    GeneratorBank[k].Frequency.store(110.0 * static_cast<double>(k + 1));
    GeneratorBank[k].Amplitude.store(16384.0);
  }
  EXPECT_TRUE(BASS_OfflineInit(kRate));
  EXPECT_TRUE(BASS_SetVolume(0.5f));
  for (STREAMPROC* proc : GeneratorStreamProcs) {
    EXPECT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, proc, nullptr), FALSE));
  }
  std::vector<int16_t> samples(2 * kFrames);
  EXPECT_TRUE(BASS_OfflineRender(samples.data(), static_cast<DWORD>(kFrames)));
  BASS_Free();
  return samples;
}

using Samples = std::vector<int16_t>;
using Fault = void (*)(Samples&, std::size_t at);

void Silence(Samples& s, std::size_t at) { std::fill(s.begin() + 2 * at, s.begin() + 2 * (at + 64), 0); }
void Lose(Samples& s, std::size_t at) { s.erase(s.begin() + 2 * at, s.begin() + 2 * (at + 63)); }
void LoseOne(Samples& s, std::size_t at) { s.erase(s.begin() + 2 * at, s.begin() + 2 * (at + 1)); }
void Repeat(Samples& s, std::size_t at) {
  const Samples copy(s.begin() + 2 * (at - 63), s.begin() + 2 * at);
  s.insert(s.begin() + 2 * at, copy.begin(), copy.end());
}

struct FaultCase {
  const char* name;
  Fault fault;
};

class GapDetector : public testing::TestWithParam<FaultCase> {
 protected:
  static void SetUpTestSuite() { clean = new Samples(StartUpOutput()); }
  static void TearDownTestSuite() { delete clean; }
  static Samples* clean;
};
Samples* GapDetector::clean = nullptr;

TEST_F(GapDetector, CleanOutputHasNoGap) {
  ASSERT_EQ(clean->size(), 2 * kFrames);
  EXPECT_TRUE(gaps::FindGaps(*clean).empty());
}

TEST_P(GapDetector, OneFaultIsOneGapWhereItWasPut) {
  Samples recording = *clean;
  GetParam().fault(recording, kFaultAt);
  const std::vector<gaps::Gap> found = gaps::FindGaps(recording);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(double(found[0].firstFrame), double(kFaultAt), 2.0);
}

TEST_P(GapDetector, FaultsHalfASecondApartAreTwoGaps) {
  Samples recording = *clean;
  GetParam().fault(recording, kFaultAt + kRate / 2);
  GetParam().fault(recording, kFaultAt);
  const std::vector<gaps::Gap> found = gaps::FindGaps(recording);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NEAR(double(found[1].firstFrame), double(kFaultAt + kRate / 2), 80.0);  // after the first fault's shift
}

INSTANTIATE_TEST_SUITE_P(Faults, GapDetector,
                         testing::Values(FaultCase{"silence_of_64_frames", Silence}, FaultCase{"63_frames_lost", Lose},
                                         FaultCase{"one_frame_lost", LoseOne}, FaultCase{"63_frames_repeated", Repeat}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
