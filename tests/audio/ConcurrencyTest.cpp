// The window thread and the audio thread at work together, as in the program:
// the "No sound" output's own thread renders the eight generator streams while
// this thread writes frequencies, levels and phase resets, changes the volume
// and the play state, and recomputes the preview on the same bank. The test
// goes on until renders are counted between its first and its last write, so
// the two sides really overlapped; under the thread sanitizer a data race
// between them fails it.
#include <chrono>
#include <vector>

#include "BassTestSupport.h"
#include "GeneratorBank.h"
#include "PreviewTraces.h"

namespace {

using namespace bass_test;

constexpr auto kRelaxed = std::memory_order_relaxed;

// One round of what the window thread does when a control moves.
void ChangeEverything(int round, const std::vector<HSTREAM>& generatorStreams) {
  const auto k = static_cast<std::size_t>(round) % GeneratorBank.size();
  GeneratorState& generator = GeneratorBank[k];
  generator.Frequency.store(100.0 + round, kRelaxed);
  generator.Amplitude.store(static_cast<double>(round % 328) * 100.0, kRelaxed);
  generator.Phase.store(0.0, kRelaxed);
  EXPECT_TRUE(BASS_SetVolume(static_cast<float>(round % 11) / 10.0f));
  EXPECT_TRUE(BASS_ChannelPause(generatorStreams[k]));
  EXPECT_TRUE(BASS_ChannelPlay(generatorStreams[k], FALSE));
  ComputePreviewTraces(GeneratorBank, 256);
}

class Concurrency : public LibraryTest {};

TEST_F(Concurrency, TheOutputThreadRendersTheGeneratorsWhileTheControlThreadChangesEverything) {
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  std::vector<HSTREAM> generatorStreams;
  for (auto* proc : GeneratorStreamProcs) {
    generatorStreams.push_back(BASS_StreamCreate(kRate, 2, 0, proc, nullptr));
    ASSERT_TRUE(BASS_ChannelPlay(generatorStreams.back(), FALSE));
  }
  // Created last, so a pass it counts has rendered the generators before it.
  std::atomic<uint64_t>& renders = NewCounter();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &renders), FALSE));

  constexpr uint64_t kRendersDuringWrites = 10;
  constexpr int kMinimumRounds = 200;
  const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
  const uint64_t atFirstWrite = renders.load();
  uint64_t atLastWrite = atFirstWrite;
  for (int round = 0; round < kMinimumRounds || atLastWrite < atFirstWrite + kRendersDuringWrites; ++round) {
    if (std::chrono::steady_clock::now() > deadline) break;
    ChangeEverything(round, generatorStreams);
    atLastWrite = renders.load();
  }
  EXPECT_GE(atLastWrite - atFirstWrite, kRendersDuringWrites);
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
