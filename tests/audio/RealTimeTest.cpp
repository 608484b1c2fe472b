// The audio thread's path allocates nothing: the allocator interposed for the
// whole test process (ResourceSeams.h) counts every allocation made while the
// mixer renders the eight generator streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GeneratorBank.h"
#include "ResourceSeams.h"
#include "bass.h"
#include "bass_internal.h"

namespace {

TEST(RealTime, RenderingEightGeneratorStreamsAllocatesNothing) {
  for (std::size_t k = 0; k < GeneratorBank.size(); ++k) {
    GeneratorBank[k].Frequency = 110.0 * static_cast<double>(k + 1);
    GeneratorBank[k].Amplitude = 16384.0;
  }
  ASSERT_TRUE(BASS_OfflineInit(48000));
  for (auto* proc : GeneratorStreamProcs)
    ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(48000, 2, 0, proc, nullptr), FALSE));
  ASSERT_TRUE(BASS_SetVolume(0.5f));
  std::vector<int16_t> out(2 * 256);
  long peak = 0;

  seams::StartCountingAllocations();
  for (int block = 0; block < 48000 / 256; ++block) {
    BASS_OfflineRender(out.data(), 256);
    for (int16_t v : out) peak = std::max<long>(peak, v);
  }
  const long allocatorCalls = seams::StopCountingAllocations();

  EXPECT_EQ(allocatorCalls, 0);
  EXPECT_GT(peak, 10000);  // the tones were really rendered
  BASS_Free();
}

TEST(RealTime, TheCountingAllocatorSeesAllocations) {
  seams::StartCountingAllocations();
  auto* p = new std::vector<int>(100);
  delete p;
  EXPECT_GE(seams::StopCountingAllocations(), 2);
}

}  // namespace
