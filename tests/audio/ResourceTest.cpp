// Memory or threads running out inside the library's exported functions: the
// call fails with BASS_ERROR_RESOURCES, or gets by another way, and leaves
// the library as consistent as before, so the next call works. The functions
// are noexcept, so an exception escaping one would end this process.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BassTestSupport.h"
#include "ResourceSeams.h"

namespace {

using namespace bass_test;

enum class Shortage { Memory, Threads };

// Calls `call` while this thread cannot allocate, or cannot start threads.
BOOL WithShortage(Shortage shortage, const std::function<BOOL()>& call) {
  std::optional<seams::AllocationsRefused> noMemory;
  std::optional<seams::ThreadsRefused> noThreads;
  if (shortage == Shortage::Memory) noMemory.emplace();
  if (shortage == Shortage::Threads) noThreads.emplace();
  return call();
}

// Whether an output is initialised: only then is the volume accepted.
bool Initialised() { return BASS_SetVolume(1.0f) != FALSE; }

// Makes `call` with this thread's allocations refused after 0, 1, 2, ...
// have succeeded, until a call meets no refusal, which must succeed. Before
// each call `prepare` runs unhindered; `judge` checks each call that met a
// refusal, given its result. Returns how many did.
long RefuseEachAllocationInTurn(const std::function<void()>& prepare, const std::function<BOOL()>& call,
                                const std::function<void(BOOL)>& judge) {
  constexpr long kMoreThanAnyCallMakes = 2000;
  for (long allowed = 0; allowed < kMoreThanAnyCallMakes; ++allowed) {
    SCOPED_TRACE(testing::Message() << "allocations allowed: " << allowed);
    prepare();
    bool refused = false;
    const BOOL result = [&] {
      const seams::AllocationsRefused shortage(allowed);
      const BOOL called = call();
      refused = shortage.AnyRefused();
      return called;
    }();
    if (!refused) {
      EXPECT_TRUE(result) << BASS_ErrorGetCode();
      return allowed;
    }
    judge(result);
  }
  ADD_FAILURE() << "the call never ran without a refusal";
  return kMoreThanAnyCallMakes;
}

class OutOfResources : public LibraryTest {
 protected:
  // Lists once, so that a test meets the shortage where it means to and not
  // in a first listing.
  void SetUp() override { devices_ = ListDevices(); }
  std::vector<std::string> devices_;
};

TEST_F(OutOfResources, AnInitialisationThatRunsShortFailsAndTheNextOneWorks) {
  const struct {
    const char* name;
    int device;
    Shortage shortage;
    int expectedError;
  } cases[] = {
      {"No sound without memory", BASS_DEVICE_NOSOUND, Shortage::Memory, BASS_ERROR_RESOURCES},
      {"No sound without a thread for its clock", BASS_DEVICE_NOSOUND, Shortage::Threads, BASS_ERROR_RESOURCES},
      {"Default without memory for the output", -1, Shortage::Memory, BASS_ERROR_RESOURCES},
      // SDL starts the device thread and fails the open itself.
      {"Default without a thread for the device", -1, Shortage::Threads, BASS_ERROR_OPEN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(WithShortage(c.shortage, [&] { return BASS_Init(c.device, kRate, 0, nullptr, nullptr); }));
    EXPECT_EQ(BASS_ErrorGetCode(), c.expectedError);
    EXPECT_FALSE(Initialised());
    EXPECT_TRUE(BASS_Init(c.device, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_Free());
  }
}

// Every allocation the "No sound" output makes on the way (the output, its
// buffer, its thread's state) is refused in turn.
TEST_F(OutOfResources, EveryAllocationOfAnInitialisationMayFail) {
  const long refusedCalls =
      RefuseEachAllocationInTurn([] {}, [] { return BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr); },
                                 [](BOOL initialised) {
                                   EXPECT_FALSE(initialised);
                                   EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_RESOURCES);
                                   EXPECT_FALSE(Initialised());
                                 });
  EXPECT_GE(refusedCalls, 3);
  EXPECT_TRUE(Initialised());
}

// A system device: its output, SDL's own allocations (which fail the open)
// and the watch that reopens a lost device. Whichever is refused, no device
// stays open.
TEST_F(OutOfResources, EveryAllocationOfADeviceInitialisationMayFail) {
  const long refusedCalls = RefuseEachAllocationInTurn(
      [] {}, [] { return BASS_Init(-1, kRate, 0, nullptr, nullptr); },
      [](BOOL initialised) {
        EXPECT_FALSE(initialised);
        EXPECT_TRUE(BASS_ErrorGetCode() == BASS_ERROR_RESOURCES || BASS_ErrorGetCode() == BASS_ERROR_OPEN)
            << BASS_ErrorGetCode();
        EXPECT_FALSE(Initialised());
        EXPECT_EQ(BASS_OutputBufferFrames(), 0u) << "a device stayed open";
      });
  EXPECT_GE(refusedCalls, 3);
  EXPECT_TRUE(Initialised());
}

TEST_F(OutOfResources, FreeClosesTheDeviceItselfWhenNoThreadCanDoIt) {
  for (const Shortage shortage : {Shortage::Memory, Shortage::Threads}) {
    SCOPED_TRACE(shortage == Shortage::Memory ? "memory" : "threads");
    std::atomic<uint64_t>& calls = NewCounter();
    ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &calls), FALSE));
    ASSERT_TRUE(WaitForCount(calls, 1));
    EXPECT_TRUE(WithShortage(shortage, [] { return BASS_Free(); })) << BASS_ErrorGetCode();
    EXPECT_FALSE(Initialised());
    // SDL's dummy driver opens one device at a time: this fails unless the
    // device above was closed.
    EXPECT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_Free());
  }
}

// The list as read last: positions after 0 never look the devices up again.
std::vector<std::string> ListReadLast() {
  std::vector<std::string> names;
  BASS_DEVICEINFO info{};
  for (DWORD device = 1; BASS_GetDeviceInfo(device, &info); ++device) names.emplace_back(info.name);
  return names;
}

// A fresh listing restarts SDL's audio and reads every name; wherever memory
// runs out on the way, the call either gets by (SDL, short of memory, may
// find no driver and list no device) or fails and keeps the list read before,
// the one the program's positions refer to.
TEST_F(OutOfResources, AListingThatRunsShortAnywhereFailsAndKeepsTheListReadBefore) {
  std::vector<std::string> before;
  long failures = 0;
  BASS_DEVICEINFO info{};
  RefuseEachAllocationInTurn(
      [&] {
        ASSERT_EQ(ListDevices(), devices_);
        before = ListReadLast();
      },
      [&] { return BASS_GetDeviceInfo(0, &info); },
      [&](BOOL listed) {
        if (listed) return;
        ++failures;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_RESOURCES);
        EXPECT_EQ(ListReadLast(), before);
      });
  EXPECT_GT(failures, 0);
  EXPECT_EQ(ListDevices(), devices_);
}

}  // namespace
