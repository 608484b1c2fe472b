// The audio library in a process started while no sound server is reachable;
// late_sound_server.sh starts one when this test asks for it. A fresh
// listing then finds the server's device, while the other positions keep the
// list read last until then.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;

// The script waits for the first file to appear, starts the server and
// then writes the second.
bool StartTheSoundServer() {
  const char* wanted = std::getenv("SINEFOLD_SERVER_WANTED");
  const char* ready = std::getenv("SINEFOLD_SERVER_READY");
  if (wanted == nullptr || ready == nullptr) return false;
  std::ofstream{wanted} << "start\n";
  return WaitFor([&] { return std::filesystem::exists(ready); });
}

class LateServer : public LibraryTest {};

TEST_F(LateServer, AFreshListingFindsTheServerThatStartedSince) {
  const std::vector<std::string> withoutServer{"No sound", "Default"};
  ASSERT_EQ(ListDevices(), withoutServer);
  EXPECT_FALSE(BASS_Init(-1, kRate, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);

  ASSERT_TRUE(StartTheSoundServer()) << "run this through late_sound_server.sh";
  BASS_DEVICEINFO info{};
  EXPECT_FALSE(BASS_GetDeviceInfo(2, &info)) << "a position past the list read last";
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);

  const std::vector<std::string> names = ListDevices();
  ASSERT_EQ(names.size(), 3u) << "expected the null sink after No sound and Default";
  std::atomic<uint64_t>& calls = NewCounter();
  ASSERT_TRUE(BASS_Init(2, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &calls), FALSE));
  EXPECT_TRUE(WaitForCount(calls, 3)) << "the sink does not ask for sound";
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
