// Outputs with an audio thread of their own: streams are called while they
// play, and never again once BASS_Free has returned.
#include <chrono>
#include <thread>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;
using namespace std::chrono_literals;

// Waits (generously) until the routine has been asked for more values.
bool CalledAgain(const std::atomic<uint64_t>& values) {
  const uint64_t before = values.load();
  for (int i = 0; i < 500; ++i) {
    if (values.load() > before) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

class OutputThread : public LibraryTest, public testing::WithParamInterface<int> {};

TEST_P(OutputThread, PlaysUntilFreedAndNeverCallsAfterwardsRoundAfterRound) {
  for (int round = 0; round < 5; ++round) {
    std::atomic<uint64_t> values{0};
    ASSERT_TRUE(BASS_Init(GetParam(), kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    const HSTREAM stream = BASS_StreamCreate(kRate, 2, 0, CountingProc, &values);
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_TRUE(CalledAgain(values)) << "round " << round;
    ASSERT_TRUE(BASS_Free());
    const uint64_t atFree = values.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(values.load(), atFree) << "round " << round;
  }
}

TEST_P(OutputThread, PausedStreamIsNotCalled) {
  std::atomic<uint64_t> values{0};
  ASSERT_TRUE(BASS_Init(GetParam(), kRate, 0, nullptr, nullptr));
  const HSTREAM stream = BASS_StreamCreate(kRate, 2, 0, CountingProc, &values);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_TRUE(CalledAgain(values));
  ASSERT_TRUE(BASS_ChannelPause(stream));
  std::this_thread::sleep_for(30ms);  // a callback under way when paused may finish
  const uint64_t paused = values.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(values.load(), paused);
}

INSTANTIATE_TEST_SUITE_P(Devices, OutputThread, testing::Values(BASS_DEVICE_NOSOUND, -1),
                         [](const testing::TestParamInfo<int>& p) {
                           return p.param == BASS_DEVICE_NOSOUND ? "NoSound" : "SystemDefault";
                         });

}  // namespace
