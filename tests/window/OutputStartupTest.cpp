// The output start-up sequence of the main window against the stand-in
// library: call order, device choice, and what each failure shows and leaves.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QTest>
#include <cfenv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "AlertRecorder.h"
#include "EventWait.h"
#include "FakeBass.h"
#include "TAdvSpinEdit.h"
#include "TForm1.h"
#include "TVrTrackBar.h"

namespace {

using Calls = std::vector<std::string>;
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr double kUntouched = -1.0;  // a generator field nothing has written

std::string Call(const char* name, long long argument) {
  return std::string(name) + "(" + std::to_string(argument) + ")";
}

Calls DeviceEnumeration(int devices) {
  Calls calls;
  for (int d = 0; d <= devices; ++d) calls.push_back(Call("BASS_GetDeviceInfo", d));
  return calls;
}

// The calls of a restart from the handles `before`, initialising `device`;
// `created` creations and `played` starts are expected.
Calls RestartCalls(const std::array<HSTREAM, 8>& before, int device, const std::array<HSTREAM, 8>& after,
                   int created = 8, int played = 8) {
  Calls calls{Call("BASS_ChannelPause", before[0]),
              Call("BASS_ChannelStop", before[0]),
              Call("BASS_ChannelPause", before[1]),
              Call("BASS_ChannelStop", before[1]),
              "BASS_Free",
              "BASS_GetVersion",
              Call("BASS_Init", device)};
  for (int k = 0; k < created; ++k) calls.push_back("BASS_StreamCreate");
  for (int k = 0; k < played; ++k) calls.push_back(Call("BASS_ChannelPlay", after[static_cast<std::size_t>(k)]));
  return calls;
}

// The start-up sequence ends by setting the master volume to the slider's 50 %.
const Calls kStartUpVolume{"BASS_SetVolume(0.500000)"};

Calls Concat(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

QString ErrorText(const char* text, int code) { return QString("%1\r\n(error code: %2)").arg(text).arg(code); }

class OutputStartup : public testing::Test {
 protected:
  void SetUp() override {
    fakebass::Reset();
    for (GeneratorState& g : GeneratorBank) {
      g.Phase.store(0.5, kRelaxed);
      g.Frequency.store(kUntouched, kRelaxed);
      g.Amplitude.store(kUntouched, kRelaxed);
    }
  }

  TForm1& CreateForm(const std::string& library = kAudioLibraryFileName) {
    form = std::make_unique<TForm1>(nullptr, library);
    return *form;
  }

  bool AnyGroupEnabled() const {
    for (const TGeneratorControls& controls : form->Generators) {
      if (controls.GroupBox->isEnabled()) return true;
    }
    return false;
  }

  bool AllGroupsEnabled() const {
    for (const TGeneratorControls& controls : form->Generators) {
      if (!controls.GroupBox->isEnabled()) return false;
    }
    return true;
  }

  // Generators 1 .. `count` hold their start settings, the others are untouched.
  void ExpectGeneratorsLoaded(int count) const {
    for (int k = 1; k <= kGeneratorCount; ++k) {
      const GeneratorState& g = GeneratorBank[static_cast<std::size_t>(k - 1)];
      const bool loaded = k <= count;
      EXPECT_EQ(g.Frequency.load(), loaded ? 110.0 * k : kUntouched) << "generator " << k;
      EXPECT_EQ(g.Amplitude.load(), loaded ? 16384.0 : kUntouched) << "generator " << k;
    }
  }

  AlertRecorder alerts;
  std::unique_ptr<TForm1> form;
};

TEST_F(OutputStartup, ListsDevicesThenInitialisesTheFourthCreatesAndStartsAllEight) {
  TForm1& f = CreateForm();
  EXPECT_EQ(fakebass::Calls(),
            Concat(Concat(DeviceEnumeration(5), RestartCalls({}, 3, f.SineStreams)), kStartUpVolume));
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(f.cbOutputDevices->count(), 5);
  EXPECT_EQ(f.cbOutputDevices->currentIndex(), 3);
  EXPECT_EQ(f.cbOutputDevices->itemText(4), "Device 4");
  EXPECT_EQ(f.OutputDeviceIndex, 3);
  EXPECT_TRUE(AllGroupsEnabled());
  ExpectGeneratorsLoaded(8);
  const std::vector<STREAMPROC*> procs{&GeneratorStreamProc<1>, &GeneratorStreamProc<2>, &GeneratorStreamProc<3>,
                                       &GeneratorStreamProc<4>, &GeneratorStreamProc<5>, &GeneratorStreamProc<6>,
                                       &GeneratorStreamProc<7>, &GeneratorStreamProc<8>};
  EXPECT_EQ(fakebass::CreatedProcs(), procs);  // stream k is filled by generator k
}

class FewDevices : public OutputStartup, public testing::WithParamInterface<int> {};

TEST_P(FewDevices, FewerThanFourSelectNoneAndInitialiseTheDefault) {
  const int devices = GetParam();
  fakebass::script().deviceCount = devices;
  TForm1& f = CreateForm();
  const int expected = devices >= 4 ? 3 : -1;
  EXPECT_EQ(f.cbOutputDevices->currentIndex(), expected);
  EXPECT_EQ(f.OutputDeviceIndex, expected);
  EXPECT_EQ(fakebass::Calls(),
            Concat(Concat(DeviceEnumeration(devices), RestartCalls({}, expected, f.SineStreams)), kStartUpVolume));
}

INSTANTIATE_TEST_SUITE_P(DeviceCounts, FewDevices, testing::Values(0, 2, 3, 4));

TEST_F(OutputStartup, SelectingByCodeRestartsNothingButTheUsersChoiceRestartsOnIt) {
  TForm1& f = CreateForm();
  const std::array<HSTREAM, 8> before = f.SineStreams;
  fakebass::ClearCalls();
  f.cbOutputDevices->setCurrentIndex(2);
  EXPECT_TRUE(fakebass::Calls().empty());
  for (GeneratorState& g : GeneratorBank) g.Phase.store(7.25, kRelaxed);  // as the audio left them
  f.seFreq5->SetFloatValue(1234.5L);

  QTest::keyClick(f.cbOutputDevices, Qt::Key_Up);  // the user picks position 1

  EXPECT_EQ(f.OutputDeviceIndex, 1);
  EXPECT_EQ(fakebass::Calls(), RestartCalls(before, 1, f.SineStreams));
  EXPECT_NE(f.SineStreams, before);
  for (const GeneratorState& g : GeneratorBank) EXPECT_EQ(g.Phase.load(), 0.0);
  EXPECT_EQ(GeneratorBank[4].Frequency.load(), 1234.5);
  EXPECT_TRUE(alerts.shown.empty());
}

void ExpectStandardErrorBox(const ShownAlert& alert, const char* text) {
  EXPECT_EQ(alert.owner, nullptr);
  EXPECT_EQ(alert.icon, AlertIcon::Critical);
  EXPECT_TRUE(alert.caption.isEmpty());  // the application title stands in
  EXPECT_EQ(alert.text, QString::fromUtf8(text));
}

// A value no double can hold, left in seFreq3 after its frequency handler
// refused it, meets the restart the user starts from the device list: the
// standard error box, generator 3 keeps the frequency it plays, and every
// other step runs as always (its phase and level loaded, all eight streams
// started, the generators after it loaded).
TEST_F(OutputStartup, RestartMeetingAFrequencyBeyondTheDoubleRangeShowsTheErrorBoxAndGoesOn) {
  TForm1& f = CreateForm();
  f.seFreq3->setText("1e400");
  ASSERT_TRUE(WaitFor([&] { return !alerts.shown.empty(); })) << "the frequency handler's box";
  alerts.shown.clear();
  f.tbAmp3->SetPosition(1000);
  f.seFreq5->SetFloatValue(1234.5L);
  for (GeneratorState& g : GeneratorBank) {
    g.Phase.store(7.25, kRelaxed);  // as the audio left them
    g.Amplitude.store(kUntouched, kRelaxed);
  }
  GeneratorBank[2].Frequency.store(333.5, kRelaxed);  // what generator 3 plays
  const std::array<HSTREAM, 8> before = f.SineStreams;
  fakebass::ClearCalls();

  QTest::keyClick(f.cbOutputDevices, Qt::Key_Up);  // the user picks position 2

  EXPECT_EQ(fakebass::Calls(), RestartCalls(before, 2, f.SineStreams));
  ASSERT_EQ(alerts.shown.size(), 1u);
  ExpectStandardErrorBox(alerts.shown[0], "Floating point overflow");
  for (int k = 1; k <= kGeneratorCount; ++k) {
    const GeneratorState& g = GeneratorBank[static_cast<std::size_t>(k - 1)];
    const double frequency = k == 3 ? 333.5 : k == 5 ? 1234.5 : 110.0 * k;
    EXPECT_EQ(g.Frequency.load(), frequency) << "generator " << k;
    EXPECT_EQ(g.Amplitude.load(), k == 3 ? 1000.0 : 16384.0) << "generator " << k;
    EXPECT_EQ(g.Phase.load(), 0.0) << "generator " << k;
  }
  EXPECT_TRUE(AllGroupsEnabled());
}

// Whatever escapes the device-list handler ends there: it is shown in the
// standard error box once the message loop runs and goes no further, not
// into the toolkit's frames that emitted the choice. Here the box the restart
// opens for the value in seFreq3 cannot be built (no memory), so the restart
// ends at generator 3.
TEST_F(OutputStartup, AnErrorEscapingTheDeviceListHandlerIsShownInTheStandardBox) {
  TForm1& f = CreateForm();
  f.seFreq3->setText("1e400");
  ASSERT_TRUE(WaitFor([&] { return !alerts.shown.empty(); })) << "the frequency handler's box";
  alerts.shown.clear();
  fakebass::ClearCalls();

  alerts.failNextBox = true;
  EXPECT_NO_THROW(emit f.cbOutputDevices->activated(2));  // what the list emits for the user's choice

  ASSERT_TRUE(WaitFor([&] { return !alerts.shown.empty(); })) << "no box for the escaped error";
  QApplication::processEvents();
  ASSERT_EQ(alerts.shown.size(), 1u);
  ExpectStandardErrorBox(alerts.shown[0], "std::bad_alloc");
  EXPECT_EQ(fakebass::Calls().back(), Call("BASS_ChannelPlay", f.Sine2Stream));  // stream 3 never started
}

TEST_F(OutputStartup, FailedInitialisationShowsThreeBoxesAndLeavesTheGroupsDisabled) {
  fakebass::script().initError = 8;
  TForm1& f = CreateForm();
  EXPECT_EQ(alerts.Texts(), (std::vector<QString>{ErrorText("Could not initialize BASS", 8),
                                                  ErrorText("Could not create user stream 1", BASS_ERROR_INIT),
                                                  ErrorText("Could not start stream playback 1", BASS_ERROR_HANDLE)}));
  for (const ShownAlert& alert : alerts.shown) {
    EXPECT_EQ(alert.owner, &f);
    EXPECT_EQ(alert.icon, AlertIcon::None);
    EXPECT_TRUE(alert.caption.isEmpty());  // the application title stands in
  }
  EXPECT_EQ(f.Sine1Stream, 0u);
  EXPECT_FALSE(AnyGroupEnabled());
  ExpectGeneratorsLoaded(1);
}

TEST_F(OutputStartup, ErrorCodeIsReadBeforeAnythingElseCallsTheLibrary) {
  fakebass::script().initError = 8;
  CreateForm();
  const Calls& calls = fakebass::Calls();
  const auto init = std::find(calls.begin(), calls.end(), Call("BASS_Init", 3));
  ASSERT_NE(init, calls.end());
  EXPECT_EQ(*(init + 1), "BASS_ErrorGetCode");
}

TEST_F(OutputStartup, FailedCreationOfStreamThreeShowsItsTwoBoxes) {
  fakebass::script().createFailsAt = 3;
  fakebass::script().createError = BASS_ERROR_SLOTS;
  TForm1& f = CreateForm();
  EXPECT_EQ(alerts.Texts(), (std::vector<QString>{ErrorText("Could not create user stream 3", BASS_ERROR_SLOTS),
                                                  ErrorText("Could not start stream playback 3", BASS_ERROR_HANDLE)}));
  EXPECT_NE(f.Sine2Stream, 0u);
  EXPECT_EQ(f.Sine3Stream, 0u);
  EXPECT_EQ(f.Sine4Stream, 0u);  // never created: keeps its value from window creation
  EXPECT_EQ(fakebass::Calls(),
            Concat(DeviceEnumeration(5),
                   {Call("BASS_ChannelPause", 0), Call("BASS_ChannelStop", 0), Call("BASS_ChannelPause", 0),
                    Call("BASS_ChannelStop", 0), "BASS_Free", "BASS_GetVersion", Call("BASS_Init", 3),
                    "BASS_StreamCreate", "BASS_StreamCreate", "BASS_StreamCreate", "BASS_ErrorGetCode",
                    Call("BASS_ChannelPlay", f.Sine1Stream), Call("BASS_ChannelPlay", f.Sine2Stream),
                    Call("BASS_ChannelPlay", 0), "BASS_ErrorGetCode", kStartUpVolume[0]}));
  EXPECT_FALSE(AnyGroupEnabled());
  ExpectGeneratorsLoaded(3);
}

class FailedStart : public OutputStartup, public testing::WithParamInterface<int> {};

TEST_P(FailedStart, OfStreamKStopsThereWithOneBox) {
  const int k = GetParam();
  fakebass::script().playFailsAt = k;
  fakebass::script().playError = BASS_ERROR_OPEN;
  CreateForm();
  const QString text = QString("Could not start stream playback %1").arg(k);
  EXPECT_EQ(alerts.Texts(), std::vector<QString>{ErrorText(text.toUtf8().constData(), BASS_ERROR_OPEN)});
  EXPECT_FALSE(AnyGroupEnabled());
  ExpectGeneratorsLoaded(k);
}

INSTANTIATE_TEST_SUITE_P(Streams, FailedStart, testing::Values(1, 5, 8));

TEST_F(OutputStartup, FailedRestartAfterAGoodStartKeepsTheGroupsEnabled) {
  TForm1& f = CreateForm();
  ASSERT_TRUE(AllGroupsEnabled());
  fakebass::script().initError = BASS_ERROR_OPEN;
  f.btnRestartClick();
  EXPECT_EQ(alerts.Texts(), (std::vector<QString>{ErrorText("Could not initialize BASS", BASS_ERROR_OPEN),
                                                  ErrorText("Could not create user stream 1", BASS_ERROR_INIT),
                                                  ErrorText("Could not start stream playback 1", BASS_ERROR_HANDLE)}));
  EXPECT_TRUE(AllGroupsEnabled());
}

TEST_F(OutputStartup, ClosingTheWindowFreesTheLibraryOnce) {
  TForm1& f = CreateForm();
  f.show();
  fakebass::ClearCalls();
  EXPECT_TRUE(f.close());
  EXPECT_EQ(fakebass::Calls(), Calls{"BASS_Free"});
}

TEST_F(OutputStartup, MissingLibraryLeavesTheListEmptyAndRestartsNothing) {
  TForm1& f = CreateForm("libsinefold-no-such-library.so");
  EXPECT_FALSE(f.AudioLibraryLoaded());
  EXPECT_EQ(f.cbOutputDevices->count(), 0);
  EXPECT_EQ(fakebass::Calls(), kStartUpVolume);  // the master volume is set whatever came before
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_FALSE(AnyGroupEnabled());
}

TEST_F(OutputStartup, LoadingTheLibraryKeepsTheFloatingPointEnvironment) {
  TForm1& f = CreateForm(FPCLOBBER_MODULE);  // its start-up code rounds upward
  EXPECT_TRUE(f.AudioLibraryLoaded());
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

// Prints each box with its number, so that the parent process can read what
// the child showed.
class PrintingAlerts final : public AlertSink {
 public:
  void ShowMessage(QWidget* owner, const QString& text, const QString&, AlertIcon icon) override {
    std::fprintf(stderr, "box %d owner=%s icon=%s text=%s\n", ++count, owner ? "window" : "none",
                 icon == AlertIcon::Critical ? "critical" : "none", text.toUtf8().constData());
  }
  void Beep() override {}
  int count = 0;
};

TEST_F(OutputStartup, WrongLibraryVersionShowsOneErrorBoxAndEndsWithAFailureCode) {
  EXPECT_EXIT(
      {
        PrintingAlerts printing;
        SetAlertSink(&printing);
        fakebass::script().version = 0x02030000;
        CreateForm();
      },
      testing::ExitedWithCode(1),
      // The first box, and the process ended right after it.
      "box 1 owner=none icon=critical text=An incorrect version of BASS.DLL was loaded\n$");
}

}  // namespace
