// Helpers for driving the audio library in tests: stream routines with known
// output, waiting for the audio thread, listing the devices, and a fixture
// that leaves the library freed.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "Polling.h"
#include "bass.h"
#include "bass_internal.h"

namespace bass_test {

constexpr DWORD kRate = 48000;

// Fills the whole buffer with the int16_t that `user` points to.
inline DWORD ConstantProc(HSTREAM, void* buffer, DWORD length, void* user) {
  const int16_t value = *static_cast<const int16_t*>(user);
  auto* out = static_cast<int16_t*>(buffer);
  for (DWORD i = 0; i < length / 2; ++i) out[i] = value;
  return length;
}

// Counts its calls (one per render pass of the output) in the
// std::atomic<uint64_t> at `user` and writes silence.
inline DWORD CountingProc(HSTREAM, void* buffer, DWORD length, void* user) {
  std::memset(buffer, 0, length);
  static_cast<std::atomic<uint64_t>*>(user)->fetch_add(1, std::memory_order_relaxed);
  return length;
}

using polling::kGenerousTimeout;

// Waits for `condition` to hold; false if it still does not at the timeout.
template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = kGenerousTimeout) {
  return polling::PollUntil(condition, timeout);
}

// Waits until the counter at least reaches `target`.
inline bool WaitForCount(const std::atomic<uint64_t>& counter, uint64_t target) {
  return WaitFor([&] { return counter.load() >= target; });
}

// The names of a fresh listing, from position 0 until the library says there
// is no device at the position.
inline std::vector<std::string> ListDevices() {
  std::vector<std::string> names;
  BASS_DEVICEINFO info{};
  for (DWORD device = 0; BASS_GetDeviceInfo(device, &info); ++device) names.emplace_back(info.name);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  return names;
}

// Frees the library after each test. The audio thread writes into what a
// stream routine's `user` points to until then, even after a failed assertion
// has left the test body, so what it writes into belongs to the fixture, which
// outlives TearDown, never to the test body's frame.
class LibraryTest : public testing::Test {
 protected:
  void TearDown() override { BASS_Free(); }

  // A fresh counter for CountingProc.
  std::atomic<uint64_t>& NewCounter() { return counters_.emplace_back(0); }

 private:
  std::deque<std::atomic<uint64_t>> counters_;  // a deque never moves them
};

}  // namespace bass_test
