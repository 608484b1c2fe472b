// Helpers for driving the audio library in tests: stream routines with known
// output, and a fixture that leaves the library freed.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>

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

// Counts the values it is asked for in the std::atomic<uint64_t> at `user`
// and writes silence.
inline DWORD CountingProc(HSTREAM, void* buffer, DWORD length, void* user) {
  std::memset(buffer, 0, length);
  static_cast<std::atomic<uint64_t>*>(user)->fetch_add(length / 2, std::memory_order_relaxed);
  return length;
}

class LibraryTest : public testing::Test {
 protected:
  void TearDown() override { BASS_Free(); }
};

}  // namespace bass_test
