// The outputs' own classes, built from the library's sources as the library
// does not export them: the "No sound" clock's deadline of a frame count stays
// exact however long the output runs, and a stop ends the rendering at once,
// whatever the rate, on both kinds of output.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>

#include "BassTestSupport.h"
#include "Mixer.h"
#include "SdlOutput.h"
#include "SilentOutput.h"

namespace {

using namespace std::chrono_literals;
using bass::FrameDeadline;
using bass::PacingClock;

constexpr PacingClock::time_point kLast = PacingClock::time_point::max();
constexpr uint64_t kLargestCount = std::numeric_limits<uint64_t>::max();

struct DeadlineCase {
  const char* name;
  PacingClock::time_point start;
  uint64_t frames;
  uint32_t rate;
  PacingClock::time_point expected;
};

constexpr PacingClock::time_point kStart{1000s};

TEST(FrameDeadline, IsExactForEveryCountAndSaturatesAtTheClocksEnd) {
  const DeadlineCase cases[] = {
      {"no frames", kStart, 0, 48000, kStart},
      {"one frame, truncated", kStart, 1, 44100, kStart + 22675ns},
      {"one second", kStart, 48000, 48000, kStart + 1s},
      // The first count whose nanoseconds no longer fit 64 bits: 4.4 days.
      {"nanoseconds past 64 bits", kStart, 18'446'744'074, 48000, kStart + 384307s + 168'208'333ns},
      {"five and a half days", kStart, 48000ull * 432000 + 24000, 48000, kStart + 432000s + 500ms},
      {"a century at the highest rate", kStart, 384000ull * 3'155'760'000, 384000, kStart + 3'155'760'000s},
      {"largest count at the lowest rate", kStart, kLargestCount, 8000, kLast},
      {"past the clock's end", kLast - 1s, 96000, 48000, kLast},
      {"just before the clock's end", kLast - 2s, 48000, 48000, kLast - 1s},
      {"rate 0", kStart, 1, 0, kLast},
  };
  for (const DeadlineCase& c : cases) {
    // In nanoseconds since the clock's epoch, which print readably.
    EXPECT_EQ(FrameDeadline(c.start, c.frames, c.rate).time_since_epoch().count(),
              c.expected.time_since_epoch().count())
        << c.name;
  }
}

// At one frame per second a block lasts over four minutes, so a thread that
// sleeps through its block before it looks at the stop request fails this by
// far.
TEST(SilentOutput, AStopDoesNotWaitForTheBlockBeingPaced) {
  constexpr uint32_t kOneFramePerSecond = 1;
  bass::Mixer mixer;
  std::atomic<uint64_t> renders{0};
  ASSERT_TRUE(mixer.SetPlaying(mixer.Create(2, bass_test::CountingProc, &renders), true));
  bass::SilentOutput output(mixer, kOneFramePerSecond);
  ASSERT_TRUE(bass_test::WaitForCount(renders, 1));
  const auto before = std::chrono::steady_clock::now();
  output.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, bass_test::kGenerousTimeout);
  EXPECT_EQ(renders.load(), 1u);  // it was pacing its first block
}

// SDL opens one device at a time on its dummy driver, so the "No sound"
// output, paced to the same real-time rate, shows that the stopped device's
// thread would have rendered by now.
TEST(SdlOutput, AStoppedOutputRendersNothingWhileItsDeviceRunsOn) {
  constexpr uint64_t kPassesAfterStop = 10;
  bass::Mixer stoppedMixer, runningMixer;
  std::atomic<uint64_t> stoppedCalls{0}, runningCalls{0};
  ASSERT_TRUE(stoppedMixer.SetPlaying(stoppedMixer.Create(2, bass_test::CountingProc, &stoppedCalls), true));
  ASSERT_TRUE(runningMixer.SetPlaying(runningMixer.Create(2, bass_test::CountingProc, &runningCalls), true));
  const auto stopped = bass::SdlOutput::Open(nullptr, bass_test::kRate, stoppedMixer);
  ASSERT_TRUE(stopped) << SDL_GetError();
  ASSERT_TRUE(bass_test::WaitForCount(stoppedCalls, 1));
  EXPECT_FALSE(stopped->DeviceLost());
  stopped->Stop();
  // Its own stop is not a lost device: the library would reopen it.
  EXPECT_FALSE(stopped->DeviceLost());
  const uint64_t callsAtStop = stoppedCalls.load();
  bass::SilentOutput running(runningMixer, bass_test::kRate);
  ASSERT_TRUE(bass_test::WaitForCount(runningCalls, kPassesAfterStop));
  EXPECT_EQ(stoppedCalls.load(), callsAtStop);
}

}  // namespace
