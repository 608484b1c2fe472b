// The mix, rendered offline: sums, channels, volume, clamping, pausing, the
// volume an output starts at whatever happened while there was none, and
// streams created together starting on one frame.
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "BassTestSupport.h"
#include "Mixer.h"

namespace {

using namespace bass_test;

class Mixing : public LibraryTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BASS_OfflineInit(kRate));
    ASSERT_TRUE(BASS_SetVolume(1.0f));  // the volume outlives BASS_Free
  }

  HSTREAM Play(int16_t& level, DWORD channels = 2) {
    const HSTREAM stream = BASS_StreamCreate(kRate, channels, 0, ConstantProc, &level);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
    return stream;
  }

  // Renders more frames than one internal block and checks they all agree.
  std::array<int, 2> RenderFrame() {
    std::vector<int16_t> out(2 * 1500, 12345);
    EXPECT_TRUE(BASS_OfflineRender(out.data(), 1500));
    for (std::size_t i = 2; i < out.size(); ++i) EXPECT_EQ(out[i], out[i % 2]) << "value " << i;
    return {out[0], out[1]};
  }
};

TEST_F(Mixing, NothingPlayingIsSilence) { EXPECT_EQ(RenderFrame(), (std::array<int, 2>{0, 0})); }

TEST_F(Mixing, StreamsAddUpAndMonoFeedsBothChannels) {
  int16_t a = 1000, b = -300, mono = 7;
  Play(a);
  Play(b);
  Play(mono, 1);
  EXPECT_EQ(RenderFrame(), (std::array<int, 2>{707, 707}));
}

TEST_F(Mixing, FullScaleClampsInsteadOfWrapping) {
  int16_t high = 20000, low = -20000;
  const HSTREAM h1 = Play(high);
  const HSTREAM h2 = Play(high);
  EXPECT_EQ(RenderFrame(), (std::array<int, 2>{32767, 32767}));
  BASS_ChannelStop(h1);
  BASS_ChannelStop(h2);
  Play(low);
  Play(low);
  EXPECT_EQ(RenderFrame(), (std::array<int, 2>{-32768, -32768}));
}

TEST_F(Mixing, VolumeScalesTheSumAndSurvivesARestart) {
  int16_t a = 20000, b = 20000;
  Play(a);
  Play(b);
  ASSERT_TRUE(BASS_SetVolume(0.25f));
  EXPECT_EQ(RenderFrame(), (std::array<int, 2>{10000, 10000}));  // scaled before clamping
  ASSERT_TRUE(BASS_Free());
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  Play(a);
  EXPECT_EQ(RenderFrame(), (std::array<int, 2>{5000, 5000}));
  ASSERT_TRUE(BASS_SetVolume(0.0f));
  EXPECT_EQ(RenderFrame(), (std::array<int, 2>{0, 0}));
}

TEST_F(Mixing, PausedAndStoppedStreamsAreNotCalledUntilPlayedAgain) {
  int16_t a = 100, b = 10;
  const HSTREAM first = Play(a);
  const HSTREAM second = Play(b);
  ASSERT_TRUE(BASS_ChannelPause(first));
  EXPECT_EQ(RenderFrame()[0], 10);
  ASSERT_TRUE(BASS_ChannelStop(second));
  EXPECT_EQ(RenderFrame()[0], 0);
  ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
  ASSERT_TRUE(BASS_ChannelPlay(first, TRUE));  // already playing: still fine
  EXPECT_EQ(RenderFrame()[0], 100);
}

// The volume belongs to the library: a value set while there is no output
// (the program's start-up volume or Mute while no device could be opened)
// is what the next output plays at. Each case starts from full volume set on
// an output that has been freed again.
class VolumeBetweenOutputs : public LibraryTest {
 protected:
  static constexpr int16_t kLevel = 10000;

  static void SetWithoutOutput(float volume, int expectedError = BASS_ERROR_INIT) {
    EXPECT_FALSE(BASS_SetVolume(volume)) << volume;
    EXPECT_EQ(BASS_ErrorGetCode(), expectedError) << volume;
  }

  // The level a constant stream plays at on a freshly initialised output.
  int PlayedLevel() {
    EXPECT_TRUE(BASS_OfflineInit(kRate));
    const HSTREAM stream = BASS_StreamCreate(kRate, 2, 0, ConstantProc, &level_);
    EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
    std::array<int16_t, 2> out{};
    EXPECT_TRUE(BASS_OfflineRender(out.data(), 1));
    EXPECT_TRUE(BASS_Free());
    return out[0];
  }

 private:
  int16_t level_ = kLevel;
};

TEST_F(VolumeBetweenOutputs, TheNextOutputPlaysAtTheVolumeLastSet) {
  const float nan = std::nanf("");
  const struct {
    const char* name;
    std::function<void()> meanwhile;
    int expectedLevel;
  } cases[] = {
      {"set with no output", [] { SetWithoutOutput(0.2f); }, 2000},
      {"muted with no output", [] { SetWithoutOutput(0.0f); }, 0},
      {"set on an output, muted after its end",
       [] {
         ASSERT_TRUE(BASS_OfflineInit(kRate));
         ASSERT_TRUE(BASS_SetVolume(0.5f));
         ASSERT_TRUE(BASS_Free());
         SetWithoutOutput(0.0f);
       },
       0},
      {"refused values keep the one before",
       [=] {
         SetWithoutOutput(0.3f);
         for (float bad : {nan, -0.5f, 1.5f, INFINITY}) SetWithoutOutput(bad, BASS_ERROR_PARAM);
       },
       3000},
      {"failed initialisations in between",
       [] {
         SetWithoutOutput(0.25f);
         EXPECT_FALSE(BASS_Init(BASS_DEVICE_NOSOUND, 0, 0, nullptr, nullptr));
         EXPECT_FALSE(BASS_OfflineInit(BASS_FREQ_MAX + 1));
       },
       2500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(BASS_OfflineInit(kRate));
    ASSERT_TRUE(BASS_SetVolume(1.0f));
    ASSERT_TRUE(BASS_Free());
    c.meanwhile();
    EXPECT_EQ(PlayedLevel(), c.expectedLevel);
  }
}

DWORD HalfFillingProc(HSTREAM handle, void* buffer, DWORD length, void* user) {
  ConstantProc(handle, buffer, length, user);
  return length / 2;
}

DWORD OverclaimingProc(HSTREAM handle, void* buffer, DWORD length, void* user) {
  ConstantProc(handle, buffer, length, user);
  return length * 4;
}

TEST_F(Mixing, ARoutineThatWritesLessLeavesSilenceAndOneThatClaimsMoreIsHeldToTheBuffer) {
  int16_t level = 500;
  const HSTREAM half = BASS_StreamCreate(kRate, 2, 0, HalfFillingProc, &level);
  ASSERT_TRUE(BASS_ChannelPlay(half, FALSE));
  std::vector<int16_t> out(2 * 256);
  ASSERT_TRUE(BASS_OfflineRender(out.data(), 256));
  EXPECT_EQ(out.front(), 500);
  EXPECT_EQ(out.back(), 0);
  ASSERT_TRUE(BASS_ChannelStop(half));
  const HSTREAM over = BASS_StreamCreate(kRate, 2, 0, OverclaimingProc, &level);
  ASSERT_TRUE(BASS_ChannelPlay(over, FALSE));
  ASSERT_TRUE(BASS_OfflineRender(out.data(), 256));
  EXPECT_EQ(out.back(), 500);
}

// A stream that counts the frames it has been asked for: two streams are in
// step when their counts agree.
struct FrameCount {
  int16_t level = 100;
  uint64_t frames = 0;
};

DWORD FrameCountingProc(HSTREAM handle, void* buffer, DWORD length, void* user) {
  auto* count = static_cast<FrameCount*>(user);
  count->frames += length / (2 * sizeof(int16_t));
  return ConstantProc(handle, buffer, length, &count->level);
}

// A block may fall between any two starts of a caller's set: the first
// streams must not run ahead of the last, or the phases the caller set up are
// lost. A set left incomplete still plays, late by at most the wait.
TEST_F(Mixing, StreamsCreatedTogetherStartOnTheSameFrame) {
  std::array<FrameCount, 3> counts;
  std::array<HSTREAM, 3> streams{};
  for (std::size_t i = 0; i < streams.size(); ++i)
    streams[i] = BASS_StreamCreate(kRate, 2, 0, FrameCountingProc, &counts[i]);
  ASSERT_TRUE(BASS_ChannelPlay(streams[0], FALSE));
  EXPECT_EQ(RenderFrame()[0], 0);
  ASSERT_TRUE(BASS_ChannelPlay(streams[1], FALSE));
  EXPECT_EQ(RenderFrame()[0], 0);
  ASSERT_TRUE(BASS_ChannelPlay(streams[2], FALSE));
  EXPECT_EQ(RenderFrame()[0], 300);
  for (const FrameCount& count : counts) EXPECT_EQ(count.frames, 1500u);

  // Paused and played again, a stream that has played is not held back by a
  // new set being started.
  ASSERT_TRUE(BASS_ChannelPause(streams[0]));
  FrameCount late;
  const HSTREAM lateStream = BASS_StreamCreate(kRate, 2, 0, FrameCountingProc, &late);
  const HSTREAM neverStarted = BASS_StreamCreate(kRate, 2, 0, FrameCountingProc, &late);
  ASSERT_NE(neverStarted, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(streams[0], FALSE));
  ASSERT_TRUE(BASS_ChannelPlay(lateStream, FALSE));
  std::vector<int16_t> out(2 * bass::kGroupStartLimit);
  ASSERT_TRUE(BASS_OfflineRender(out.data(), bass::kGroupStartLimit));
  EXPECT_EQ(out.front(), 300);
  EXPECT_EQ(out.back(), 300) << "the incomplete set started before its wait ran out";
  EXPECT_EQ(late.frames, 0u);
  EXPECT_EQ(RenderFrame()[0], 400) << "the incomplete set did not start after its wait";
}

}  // namespace
