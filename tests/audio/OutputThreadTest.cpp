// Outputs with an audio thread of their own: streams are called while they
// play, BASS_Free waits for a call under way, a freed stream is never called
// again, and a paused one is not called while the others play on. Every
// negative is judged against the output's own progress (another stream's
// calls), never against the wall clock. At both ends of the rate range the
// outputs play, and a stream freed with its output is not called again.
// How quickly BASS_Free returns is measured in bench/ (BM_FreeWhilePlaying).
#include <array>
#include <chrono>
#include <string>
#include <tuple>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;

// A stream whose routine, once the test is about to free the output, holds
// the audio thread inside one call until BASS_Free has been called, and then
// until BASS_Free returns. A BASS_Free that waits for the call cannot return
// while it is held, so there the hold ends at its bound, kHoldPastFree; one
// that does not wait returns while the call is still held, which the test
// sees, and the held call then ends at once.
struct HeldStream {
  static constexpr std::chrono::milliseconds kHoldPastFree{100};

  std::atomic<uint64_t> calls{0};
  std::atomic<bool> freeing{false};       // the next call is to be held
  std::atomic<bool> holding{false};       // a call is held, or was
  std::atomic<bool> freeCalled{false};    // set just before BASS_Free
  std::atomic<bool> freeReturned{false};  // set just after it
  std::atomic<bool> released{false};      // the held call has ended
  uint64_t callsAtFree = 0;               // test thread only
};

DWORD HoldingProc(HSTREAM, void* buffer, DWORD length, void* user) {
  auto& stream = *static_cast<HeldStream*>(user);
  std::memset(buffer, 0, length);
  stream.calls.fetch_add(1);
  if (stream.freeing.load() && !stream.holding.exchange(true)) {
    WaitFor([&] { return stream.freeCalled.load(); });
    WaitFor([&] { return stream.freeReturned.load(); }, HeldStream::kHoldPastFree);
    stream.released.store(true);
  }
  return length;
}

class OutputThread : public LibraryTest, public testing::WithParamInterface<int> {
 protected:
  static constexpr int kRounds = 4;
  std::array<HeldStream, kRounds> streams_;
};

TEST_P(OutputThread, FreeWaitsForTheCallUnderWayAndAFreedStreamIsNeverCalledAgain) {
  auto& streams = streams_;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    HeldStream& stream = streams[static_cast<std::size_t>(round)];
    ASSERT_TRUE(BASS_Init(GetParam(), kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    const HSTREAM handle = BASS_StreamCreate(kRate, 2, 0, HoldingProc, &stream);
    ASSERT_TRUE(BASS_ChannelPlay(handle, FALSE));
    ASSERT_TRUE(WaitForCount(stream.calls, 3)) << "the output does not play";
    if (round > 0) {
      // The new output has rendered three passes without the last round's
      // stream, whose slot BASS_Free released.
      const HeldStream& previous = streams[static_cast<std::size_t>(round - 1)];
      EXPECT_EQ(previous.calls.load(), previous.callsAtFree);
    }
    stream.freeing = true;
    ASSERT_TRUE(WaitFor([&] { return stream.holding.load(); }));
    stream.freeCalled = true;
    const bool freed = BASS_Free();
    const bool releasedBeforeReturn = stream.released.load();
    stream.freeReturned = true;
    ASSERT_TRUE(freed);
    EXPECT_TRUE(releasedBeforeReturn) << "BASS_Free returned while a fill routine ran";
    stream.callsAtFree = stream.calls.load();
  }
}

TEST_P(OutputThread, PausedStreamIsNotCalledWhileTheOthersPlayOnAndResumes) {
  std::atomic<uint64_t>& paused = NewCounter();
  std::atomic<uint64_t>& playing = NewCounter();
  ASSERT_TRUE(BASS_Init(GetParam(), kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  const HSTREAM toPause = BASS_StreamCreate(kRate, 2, 0, CountingProc, &paused);
  const HSTREAM other = BASS_StreamCreate(kRate, 2, 0, CountingProc, &playing);
  ASSERT_TRUE(BASS_ChannelPlay(toPause, FALSE));
  ASSERT_TRUE(BASS_ChannelPlay(other, FALSE));
  ASSERT_TRUE(WaitForCount(paused, 1));
  ASSERT_TRUE(BASS_ChannelPause(toPause));
  const uint64_t pausedAtPause = paused.load();
  constexpr uint64_t kPassesAfterPause = 5;
  ASSERT_TRUE(WaitForCount(playing, playing.load() + kPassesAfterPause));
  // A call under way when the stream was paused may still have finished.
  EXPECT_LE(paused.load(), pausedAtPause + 1);
  ASSERT_TRUE(BASS_ChannelPlay(toPause, FALSE));
  EXPECT_TRUE(WaitForCount(paused, paused.load() + kPassesAfterPause));
}

std::string DeviceName(int device) { return device == BASS_DEVICE_NOSOUND ? "NoSound" : "SystemDefault"; }

INSTANTIATE_TEST_SUITE_P(Devices, OutputThread, testing::Values(BASS_DEVICE_NOSOUND, -1),
                         [](const testing::TestParamInfo<int>& p) { return DeviceName(p.param); });

class RateEdges : public LibraryTest, public testing::WithParamInterface<std::tuple<int, DWORD>> {};

// SDL closes a device only after playing out two of its buffers; BASS_Free
// leaves that to the background, so the stream must be out of reach first.
// The next output, at the same rate, is the clock: it plays five passes while
// the freed stream's count stands still.
TEST_P(RateEdges, StreamsPlayAndAFreedOneIsNotCalledWhileTheNextOutputPlays) {
  const auto [device, rate] = GetParam();
  std::atomic<uint64_t>& freed = NewCounter();
  std::atomic<uint64_t>& next = NewCounter();
  ASSERT_TRUE(BASS_Init(device, rate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(rate, 2, 0, CountingProc, &freed), FALSE));
  ASSERT_TRUE(WaitForCount(freed, 3)) << "the output does not play";
  ASSERT_TRUE(BASS_Free());
  const uint64_t callsAtFree = freed.load();
  ASSERT_TRUE(BASS_Init(device, rate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(rate, 2, 0, CountingProc, &next), FALSE));
  ASSERT_TRUE(WaitForCount(next, 5)) << "the next output does not play";
  EXPECT_EQ(freed.load(), callsAtFree);
}

INSTANTIATE_TEST_SUITE_P(Devices, RateEdges,
                         testing::Combine(testing::Values(BASS_DEVICE_NOSOUND, -1),
                                          testing::Values(BASS_FREQ_MIN, BASS_FREQ_MAX)),
                         [](const testing::TestParamInfo<std::tuple<int, DWORD>>& p) {
                           return DeviceName(std::get<0>(p.param)) + "At" + std::to_string(std::get<1>(p.param));
                         });

}  // namespace
