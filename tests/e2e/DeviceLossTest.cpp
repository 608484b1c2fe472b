// The audio library on a real sound server whose device goes away while it
// plays: the output neither hangs, crashes nor spins, opens a new stream on
// the sink the server has left, or, with none left, on the one that comes
// next, and opening the lost device again fails with an error the program
// can show. Run by with_sound_server.sh, which starts the server.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
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

// A null sink the lost device's name does not match.
void LoadAnotherSink() {
  ASSERT_EQ(std::system("pactl load-module module-null-sink sink_name=sinefold_later "
                        "sink_properties=device.description=Later >/dev/null"),
            0);
}

// The lines `pactl list short WHAT` prints, each split at its tabs; empty when
// pactl fails.
std::vector<std::vector<std::string>> ServerList(const char* what) {
  const std::string command = std::string("pactl list short ") + what;
  std::vector<std::vector<std::string>> lines;
  FILE* listing = popen(command.c_str(), "r");
  if (listing == nullptr) return lines;
  std::vector<std::string> line(1);
  for (int c = std::fgetc(listing); c != EOF; c = std::fgetc(listing)) {
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.assign(1, "");
    } else if (c == '\t') {
      line.emplace_back();
    } else {
      line.back() += static_cast<char>(c);
    }
  }
  if (pclose(listing) != 0) lines.clear();
  return lines;
}

// The server's playback streams (this test's is the only one), each as its
// index and its sink's index.
struct Stream {
  std::string index;
  std::string sink;
  bool operator==(const Stream&) const = default;
};
std::vector<Stream> Streams() {
  std::vector<Stream> streams;
  for (const auto& line : ServerList("sink-inputs")) {
    if (line.size() > 1) streams.push_back({line[0], line[1]});
  }
  return streams;
}
std::size_t ServerSinkCount() { return ServerList("sinks").size(); }

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

TEST_F(DeviceLoss, PlayingDeviceRemovedThenTheOutputGoesOnWhereTheServerPlaysAndReopeningItFailsCleanly) {
  ASSERT_EQ(ListDevices().size(), 3u) << "expected No sound, Default and the null sink";

  std::atomic<uint64_t>& calls = NewCounter();
  ASSERT_TRUE(BASS_Init(2, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &calls), FALSE));
  ASSERT_TRUE(WaitForCount(calls, 1)) << "the device never asked for sound";
  const std::vector<Stream> before = Streams();
  ASSERT_EQ(before.size(), 1u) << "the server does not list the stream";

  UnloadNullSink();
  ASSERT_TRUE(WaitFor([&] { return Streams() != before; })) << "the server kept the stream on the removed sink";
  // PulseAudio ends the stream with its sink, and has none left: the output
  // waits for one at a bounded pace. PipeWire puts up a dummy output.
  EXPECT_LT(CpuShareOver(kCpuWindow), kMostOfACoreWhileLost) << "the output spins on the lost device";
  if (ServerSinkCount() == 0) LoadAnotherSink();
  // A stream of its own, on a sink the server has now: not the old one moved.
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<Stream> now = Streams();
    return now.size() == 1 && now[0].index != before[0].index && now[0].sink != before[0].sink;
  })) << "no new stream on the sink the server has left";
  const uint64_t callsBack = calls.load();
  EXPECT_TRUE(WaitForCount(calls, callsBack + 10)) << "the new stream is not fed";
  EXPECT_TRUE(BASS_Free());

  // The program keeps the list it read at start-up, so it asks for the same
  // positions again.
  EXPECT_FALSE(BASS_Init(2, kRate, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  EXPECT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  EXPECT_TRUE(BASS_Free());
  EXPECT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));  // still usable
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
