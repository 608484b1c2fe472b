// The window thread and the audio thread at work together, as in the program:
// the audio side renders the eight generator streams while the control side
// changes levels, frequencies, volume and play state, and recomputes the
// preview on the same bank. Meant for the thread sanitizer build.
#include <thread>
#include <vector>

#include "BassTestSupport.h"
#include "GeneratorBank.h"
#include "PreviewTraces.h"

namespace {

using namespace bass_test;

TEST(Concurrency, RenderingWhileTheControlThreadChangesEverything) {
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  std::vector<HSTREAM> streams;
  for (auto* proc : GeneratorStreamProcs) {
    streams.push_back(BASS_StreamCreate(kRate, 2, 0, proc, nullptr));
    ASSERT_TRUE(BASS_ChannelPlay(streams.back(), FALSE));
  }
  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<int16_t> out(2 * 256);
    while (!done.load()) BASS_OfflineRender(out.data(), 256);
  });
  for (int i = 0; i < 200; ++i) {
    GeneratorState& g = GeneratorBank[static_cast<std::size_t>(i) % GeneratorBank.size()];
    g.Frequency.store(100.0 + i, std::memory_order_relaxed);
    g.Amplitude.store(i * 100.0, std::memory_order_relaxed);
    g.Phase.store(0.0, std::memory_order_relaxed);
    BASS_SetVolume(static_cast<float>(i % 10) / 10.0f);
    BASS_ChannelPause(streams[static_cast<std::size_t>(i) % streams.size()]);
    BASS_ChannelPlay(streams[static_cast<std::size_t>(i) % streams.size()], FALSE);
    ComputePreviewTraces(GeneratorBank, 256);
  }
  done = true;
  audio.join();
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
