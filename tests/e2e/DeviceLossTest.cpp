// The audio library on a real sound server whose device goes away while it
// plays: nothing hangs or crashes, and opening that device again fails with
// an error the program can show.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bass.h"
#include "bass_internal.h"

namespace {

using namespace std::chrono_literals;

std::atomic<uint64_t> valuesAskedFor{0};

DWORD SilentProc(HSTREAM, void* buffer, DWORD length, void*) {
  std::memset(buffer, 0, length);
  valuesAskedFor.fetch_add(length / 2, std::memory_order_relaxed);
  return length;
}

void UnloadNullSink() {
  ASSERT_EQ(
      std::system("pactl unload-module \"$(pactl list short modules | awk '/module-null-sink/ {print $1; exit}')\""),
      0);
}

TEST(DeviceLoss, PlayingDeviceRemovedThenFreeReturnsAndReopeningFailsCleanly) {
  std::vector<std::string> names;
  BASS_DEVICEINFO info{};
  for (DWORD device = 0; BASS_GetDeviceInfo(device, &info); ++device) names.emplace_back(info.name);
  ASSERT_EQ(names.size(), 3u) << "expected No sound, Default and the null sink";

  ASSERT_TRUE(BASS_Init(2, 48000, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(48000, 2, 0, SilentProc, nullptr), FALSE));
  for (int i = 0; i < 300 && valuesAskedFor.load() == 0; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_GT(valuesAskedFor.load(), 0u) << "the device never asked for sound";

  UnloadNullSink();
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(BASS_Free());

  // The program keeps the list it read at start-up, so it asks for the same
  // positions again.
  EXPECT_FALSE(BASS_Init(2, 48000, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  EXPECT_FALSE(BASS_Init(-1, 48000, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  EXPECT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, 48000, 0, nullptr, nullptr));  // still usable
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
