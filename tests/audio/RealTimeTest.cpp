// The audio thread's path allocates nothing: an allocator interposed for the
// whole test process counts every allocation made while the mixer renders
// the eight generator streams.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <vector>

#include "GeneratorBank.h"
#include "bass.h"
#include "bass_internal.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocatorCalls{0};

void Count() {
  if (counting.load(std::memory_order_relaxed)) allocatorCalls.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

// Every allocation in the process, operator new included, comes through here.
extern "C" {
void* malloc(std::size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  Count();
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
  Count();
  return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  Count();
  *out = __libc_memalign(alignment, size);
  return *out != nullptr ? 0 : ENOMEM;
}
void free(void* pointer) {
  Count();
  __libc_free(pointer);
}
}

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

  allocatorCalls = 0;
  counting = true;
  for (int block = 0; block < 48000 / 256; ++block) {
    BASS_OfflineRender(out.data(), 256);
    for (int16_t v : out) peak = std::max<long>(peak, v);
  }
  counting = false;

  EXPECT_EQ(allocatorCalls.load(), 0);
  EXPECT_GT(peak, 10000);  // the tones were really rendered
  BASS_Free();
}

TEST(RealTime, TheCountingAllocatorSeesAllocations) {
  allocatorCalls = 0;
  counting = true;
  auto* p = new std::vector<int>(100);
  delete p;
  counting = false;
  EXPECT_GE(allocatorCalls.load(), 2);
}

}  // namespace
