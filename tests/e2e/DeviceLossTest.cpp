// The audio library on a real sound server whose device goes away while it
// plays: the output neither hangs, crashes nor spins while the dead device is
// still open, and opening that device again fails with an error the program
// can show. Run by with_sound_server.sh, which starts the server.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;

// What an output may cost while its device is gone: SDL then paces the
// callbacks itself, a few per device buffer; a thread that spins takes a
// whole core.
constexpr double kMostOfACoreWhileLost = 0.10;
constexpr std::chrono::seconds kCpuWindow{1};

void UnloadNullSink() {
  ASSERT_EQ(
      std::system("pactl unload-module \"$(pactl list short modules | awk '/module-null-sink/ {print $1; exit}')\""),
      0);
}

// The lines `pactl list short WHAT` prints, or -1 when it fails.
int ServerListLength(const char* what) {
  const std::string command = std::string("pactl list short ") + what;
  FILE* listing = popen(command.c_str(), "r");
  if (listing == nullptr) return -1;
  int lines = 0;
  for (int c = std::fgetc(listing); c != EOF; c = std::fgetc(listing)) lines += c == '\n';
  return pclose(listing) == 0 ? lines : -1;
}

// The server's playback streams: this test's is the only one.
int SinkInputCount() { return ServerListLength("sink-inputs"); }
int ServerSinkCount() { return ServerListLength("sinks"); }

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The share of one core the whole process used over `window` of wall time.
// The window is what is measured: nothing is waited for in it.
double CpuShareOver(std::chrono::seconds window) {
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(window);
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
  return (ProcessCpuSeconds() - cpuBefore) / wall.count();
}

class DeviceLoss : public LibraryTest {};

TEST_F(DeviceLoss, PlayingDeviceRemovedThenTheOutputIdlesFreeReturnsAndReopeningFailsCleanly) {
  ASSERT_EQ(ListDevices().size(), 3u) << "expected No sound, Default and the null sink";

  std::atomic<uint64_t>& calls = NewCounter();
  ASSERT_TRUE(BASS_Init(2, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &calls), FALSE));
  ASSERT_TRUE(WaitForCount(calls, 1)) << "the device never asked for sound";
  ASSERT_EQ(SinkInputCount(), 1) << "the server does not list the stream";

  UnloadNullSink();
  ASSERT_TRUE(WaitFor([] { return SinkInputCount() == 0; })) << "the server kept the stream";
  EXPECT_LT(CpuShareOver(kCpuWindow), kMostOfACoreWhileLost) << "the output spins on the lost device";
  EXPECT_TRUE(BASS_Free());

  // The program keeps the list it read at start-up, so it asks for the same
  // positions again.
  EXPECT_FALSE(BASS_Init(2, kRate, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  // "Default" is whatever sink the server has left: none on PulseAudio, the
  // dummy output WirePlumber puts up when the last sink goes on PipeWire.
  if (ServerSinkCount() == 0) {
    EXPECT_FALSE(BASS_Init(-1, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  } else {
    EXPECT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_Free());
  }
  EXPECT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));  // still usable
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
