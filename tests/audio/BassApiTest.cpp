// Every bad call fails with its own error code and changes nothing (but for
// the volume set without an output, which is kept: MixerTest.cpp); devices
// are listed and opened by position.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;

struct BadCall {
  const char* name;
  std::function<DWORD()> call;
  int expectedError;
};

void ExpectEachFails(const std::vector<BadCall>& calls) {
  for (const BadCall& c : calls) {
    EXPECT_EQ(c.call(), 0u) << c.name;
    EXPECT_EQ(BASS_ErrorGetCode(), c.expectedError) << c.name;
  }
}

int16_t streamLevel = 1000;  // what the constant streams play

TEST(BassVersion, HighWordIsTheInterfaceVersion) { EXPECT_EQ(BASS_GetVersion() >> 16, 0x0204u); }

class BassErrors : public LibraryTest {};

TEST_F(BassErrors, CallsBeforeInitialisation) {
  BASS_DEVICEINFO info{};
  ExpectEachFails({
      {"stream before init", [] { return BASS_StreamCreate(kRate, 2, 0, ConstantProc, &streamLevel); },
       BASS_ERROR_INIT},
      {"volume before init", [] { return DWORD(BASS_SetVolume(0.5f)); }, BASS_ERROR_INIT},
      {"free before init", [] { return DWORD(BASS_Free()); }, BASS_ERROR_INIT},
      {"play of handle 0", [] { return DWORD(BASS_ChannelPlay(0, FALSE)); }, BASS_ERROR_HANDLE},
      {"pause of unknown handle", [] { return DWORD(BASS_ChannelPause(12345)); }, BASS_ERROR_HANDLE},
      {"stop of unknown handle", [] { return DWORD(BASS_ChannelStop(0xFFFFFFFFu)); }, BASS_ERROR_HANDLE},
      {"device below -1", [] { return DWORD(BASS_Init(-2, kRate, 0, nullptr, nullptr)); }, BASS_ERROR_DEVICE},
      {"device past the end", [] { return DWORD(BASS_Init(100000, kRate, 0, nullptr, nullptr)); }, BASS_ERROR_DEVICE},
      {"render without offline output",
       [] {
         int16_t out[4];
         return DWORD(BASS_OfflineRender(out, 2));
       },
       BASS_ERROR_INIT},
      {"device info past the end", [&] { return DWORD(BASS_GetDeviceInfo(100000, &info)); }, BASS_ERROR_DEVICE},
      {"device info into null", [] { return DWORD(BASS_GetDeviceInfo(0, nullptr)); }, BASS_ERROR_PARAM},
  });
}

// Below the lowest rate a device buffer lasts ever longer and the output
// took as long to stop; far above the highest, rates such as 4294967295 and
// (DWORD)-48000 were taken and the output spun a core.
TEST_F(BassErrors, RatesOutsideTheRangeFailWithTheirOwnCodeAndInitialiseNothing) {
  const struct {
    const char* name;
    DWORD rate;
  } rates[] = {
      {"0", 0},
      {"just below the lowest", BASS_FREQ_MIN - 1},
      {"just above the highest", BASS_FREQ_MAX + 1},
      {"largest", 0xFFFFFFFFu},
      {"a negative rate passed as DWORD", static_cast<DWORD>(-48000)},
  };
  for (const auto& r : rates) {
    SCOPED_TRACE(r.name);
    const DWORD rate = r.rate;
    ExpectEachFails({
        {"no sound", [=] { return DWORD(BASS_Init(BASS_DEVICE_NOSOUND, rate, 0, nullptr, nullptr)); }, BASS_ERROR_FREQ},
        {"default", [=] { return DWORD(BASS_Init(-1, rate, 0, nullptr, nullptr)); }, BASS_ERROR_FREQ},
        {"offline", [=] { return DWORD(BASS_OfflineInit(rate)); }, BASS_ERROR_FREQ},
        {"then nothing is initialised", [] { return DWORD(BASS_SetVolume(0.5f)); }, BASS_ERROR_INIT},
    });
  }
}

TEST_F(BassErrors, CallsOnAnInitialisedOutputLeaveItPlayingAsBefore) {
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  const HSTREAM stream = BASS_StreamCreate(kRate, 2, 0, ConstantProc, &streamLevel);
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
  ASSERT_TRUE(BASS_SetVolume(0.5f));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ExpectEachFails({
      {"init twice", [] { return DWORD(BASS_Init(0, kRate, 0, nullptr, nullptr)); }, BASS_ERROR_ALREADY},
      {"offline init twice", [] { return DWORD(BASS_OfflineInit(kRate)); }, BASS_ERROR_ALREADY},
      {"null fill routine", [] { return BASS_StreamCreate(kRate, 2, 0, nullptr, nullptr); }, BASS_ERROR_PARAM},
      {"no channels", [] { return BASS_StreamCreate(kRate, 0, 0, ConstantProc, &streamLevel); }, BASS_ERROR_FORMAT},
      {"three channels", [] { return BASS_StreamCreate(kRate, 3, 0, ConstantProc, &streamLevel); }, BASS_ERROR_FORMAT},
      {"stream rate 0", [] { return BASS_StreamCreate(0, 2, 0, ConstantProc, &streamLevel); }, BASS_ERROR_FORMAT},
      {"stream rate not the output's", [] { return BASS_StreamCreate(44100, 2, 0, ConstantProc, &streamLevel); },
       BASS_ERROR_FORMAT},
      {"volume NaN", [&] { return DWORD(BASS_SetVolume(nan)); }, BASS_ERROR_PARAM},
      {"volume below 0", [] { return DWORD(BASS_SetVolume(-0.01f)); }, BASS_ERROR_PARAM},
      {"volume above 1", [] { return DWORD(BASS_SetVolume(1.01f)); }, BASS_ERROR_PARAM},
      {"volume infinite", [] { return DWORD(BASS_SetVolume(INFINITY)); }, BASS_ERROR_PARAM},
      {"play of handle 0", [] { return DWORD(BASS_ChannelPlay(0, FALSE)); }, BASS_ERROR_HANDLE},
      {"play of a forged handle", [&] { return DWORD(BASS_ChannelPlay(stream + 1, FALSE)); }, BASS_ERROR_HANDLE},
  });
  int16_t out[2];
  ASSERT_TRUE(BASS_OfflineRender(out, 1));
  EXPECT_EQ(out[0], streamLevel / 2);  // still playing, still at half volume
  EXPECT_EQ(out[1], streamLevel / 2);
}

TEST_F(BassErrors, HandlesFreedWithTheOutputAreUnknownAfterwards) {
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  const HSTREAM old = BASS_StreamCreate(kRate, 2, 0, ConstantProc, &streamLevel);
  ASSERT_TRUE(BASS_Free());
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  const HSTREAM fresh = BASS_StreamCreate(kRate, 2, 0, ConstantProc, &streamLevel);
  EXPECT_NE(fresh, old);  // the same slot, but never the same handle
  ExpectEachFails({
      {"play freed", [&] { return DWORD(BASS_ChannelPlay(old, FALSE)); }, BASS_ERROR_HANDLE},
      {"pause freed", [&] { return DWORD(BASS_ChannelPause(old)); }, BASS_ERROR_HANDLE},
      {"stop freed", [&] { return DWORD(BASS_ChannelStop(old)); }, BASS_ERROR_HANDLE},
  });
  EXPECT_TRUE(BASS_ChannelPlay(fresh, FALSE));
}

TEST_F(BassErrors, SlotsRunOutUntilTheOutputIsFreed) {
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  int created = 0;
  while (BASS_StreamCreate(kRate, 1, 0, ConstantProc, &streamLevel) != 0) ++created;
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_SLOTS);
  EXPECT_EQ(created, 64);
  ASSERT_TRUE(BASS_Free());
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  EXPECT_NE(BASS_StreamCreate(kRate, 1, 0, ConstantProc, &streamLevel), 0u);
}

TEST_F(BassErrors, SuccessClearsTheLastErrorAndEachThreadKeepsItsOwn) {
  EXPECT_FALSE(BASS_Free());
  ASSERT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  std::thread([] {
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_FALSE(BASS_ChannelPlay(0, FALSE));
  }).join();
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  ASSERT_TRUE(BASS_OfflineInit(kRate));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
}

class BassDevices : public LibraryTest {};

TEST_F(BassDevices, NoSoundAndDefaultComeFirstAndTheListEnds) {
  const std::vector<std::string> names = ListDevices();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[0], "No sound");
  EXPECT_EQ(names[1], "Default");
}

TEST_F(BassDevices, EveryListedDeviceAndMinusOneOpenAndFreeRepeatedly) {
  std::vector<int> devices{-1};
  for (int position = 0; position < static_cast<int>(ListDevices().size()); ++position) devices.push_back(position);
  for (int round = 0; round < 3; ++round) {
    for (int device : devices) {
      EXPECT_TRUE(BASS_Init(device, kRate, 0, nullptr, nullptr)) << device << ": " << BASS_ErrorGetCode();
      EXPECT_GT(BASS_OutputBufferFrames(), 0u) << device;
      EXPECT_TRUE(BASS_Free()) << device;
    }
  }
  EXPECT_EQ(BASS_OutputBufferFrames(), 0u);
}

// Run in a process whose SDL has no usable driver.
TEST(NoDriver, SystemDevicesFailToOpenWhileNoSoundStillWorks) {
  EXPECT_EQ(ListDevices(), (std::vector<std::string>{"No sound", "Default"}));
  EXPECT_FALSE(BASS_Init(-1, kRate, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, 0, nullptr, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_OPEN);
  EXPECT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
  EXPECT_TRUE(BASS_Free());
}

}  // namespace
