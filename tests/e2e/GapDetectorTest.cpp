// The gap detector on the program's own start-up output, rendered offline
// through the real mixer, with faults put in by hand: each fault is found
// once, where it was put, and the clean output has none. And the whole
// judgement of a recording on what a broken run hands it: nothing, silence,
// too little, the tones too loud or one of them gone; and with the reference
// beside the program, which gaps are the program's and which the server's.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "GapDetector.h"
#include "GeneratorBank.h"
#include "RecordingCheck.h"
#include "ReferenceTone.h"
#include "bass_internal.h"

namespace {

constexpr DWORD kRate = 48000;
constexpr std::size_t kFrames = 2 * kRate;
constexpr std::size_t kFaultAt = 50000;

constexpr int kNoGenerator = -1;

// Two seconds of what the program plays after start-up: 110, 220, ... 880 Hz
// at level 16384, master volume 0.5; or at another master volume, or with
// one generator at level 0.
std::vector<int16_t> StartUpOutput(float masterVolume = 0.5f, int silentGenerator = kNoGenerator) {
  for (int k = 0; k < kGeneratorCount; ++k) {
    GeneratorBank[k].Phase.store(0.0);
    GeneratorBank[k].Frequency.store(110.0 * static_cast<double>(k + 1));
    GeneratorBank[k].Amplitude.store(k == silentGenerator ? 0.0 : 16384.0);
  }
  EXPECT_TRUE(BASS_OfflineInit(kRate));
  EXPECT_TRUE(BASS_SetVolume(masterVolume));
  for (STREAMPROC* proc : GeneratorStreamProcs) {
    EXPECT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, proc, nullptr), FALSE));
  }
  std::vector<int16_t> samples(2 * kFrames);
  EXPECT_TRUE(BASS_OfflineRender(samples.data(), static_cast<DWORD>(kFrames)));
  BASS_Free();
  return samples;
}

using Samples = std::vector<int16_t>;
using Fault = void (*)(Samples&, std::size_t at);

void Silence(Samples& s, std::size_t at) { std::fill(s.begin() + 2 * at, s.begin() + 2 * (at + 64), 0); }
void Lose(Samples& s, std::size_t at) { s.erase(s.begin() + 2 * at, s.begin() + 2 * (at + 63)); }
void LoseOne(Samples& s, std::size_t at) { s.erase(s.begin() + 2 * at, s.begin() + 2 * (at + 1)); }
void Repeat(Samples& s, std::size_t at) {
  const Samples copy(s.begin() + 2 * (at - 63), s.begin() + 2 * at);
  s.insert(s.begin() + 2 * at, copy.begin(), copy.end());
}

struct FaultCase {
  const char* name;
  Fault fault;
};

class GapDetector : public testing::TestWithParam<FaultCase> {
 protected:
  static void SetUpTestSuite() { clean = new Samples(StartUpOutput()); }
  static void TearDownTestSuite() { delete clean; }
  static Samples* clean;
};
Samples* GapDetector::clean = nullptr;

TEST_F(GapDetector, CleanOutputHasNoGap) {
  ASSERT_EQ(clean->size(), 2 * kFrames);
  EXPECT_TRUE(gaps::FindGaps(*clean).empty());
}

TEST_P(GapDetector, OneFaultIsOneGapWhereItWasPut) {
  Samples recording = *clean;
  GetParam().fault(recording, kFaultAt);
  const std::vector<gaps::Gap> found = gaps::FindGaps(recording);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(double(found[0].firstFrame), double(kFaultAt), 2.0);
}

TEST_P(GapDetector, FaultsHalfASecondApartAreTwoGaps) {
  Samples recording = *clean;
  GetParam().fault(recording, kFaultAt + kRate / 2);
  GetParam().fault(recording, kFaultAt);
  const std::vector<gaps::Gap> found = gaps::FindGaps(recording);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NEAR(double(found[1].firstFrame), double(kFaultAt + kRate / 2), 80.0);  // after the first fault's shift
}

INSTANTIATE_TEST_SUITE_P(Faults, GapDetector,
                         testing::Values(FaultCase{"silence_of_64_frames", Silence}, FaultCase{"63_frames_lost", Lose},
                                         FaultCase{"one_frame_lost", LoseOne}, FaultCase{"63_frames_repeated", Repeat}),
                         [](const auto& param) { return std::string(param.param.name); });

struct RecordingCase {
  const char* name;
  std::vector<int16_t> (*recording)();
  const char* fault;  // a part of the fault lines; empty for a recording that passes
};

void PrintTo(const RecordingCase& c, std::ostream* out) { *out << c.name; }

constexpr double kRecordedSeconds = double(kFrames) / kRate;

std::vector<int16_t> Clean() { return StartUpOutput(); }
std::vector<int16_t> Empty() { return {}; }
std::vector<int16_t> Silent() { return std::vector<int16_t>(2 * kFrames, 0); }
std::vector<int16_t> ThreeQuarters() {
  std::vector<int16_t> samples = StartUpOutput();
  samples.resize(samples.size() * 3 / 4);
  return samples;
}
std::vector<int16_t> FullVolume() { return StartUpOutput(1.0f); }
std::vector<int16_t> Gen5Silent() { return StartUpOutput(0.5f, 4); }
// The program's output stopping half-way, as when it dies during the
// recording: the sink goes on with silence.
std::vector<int16_t> EndsHalfWay() {
  std::vector<int16_t> samples = StartUpOutput();
  std::fill(samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2), samples.end(), 0);
  return samples;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

class RecordingJudgement : public testing::TestWithParam<RecordingCase> {};

TEST_P(RecordingJudgement, FindsTheFaultThatMakesItFail) {
  const gaps::Verdict verdict = gaps::JudgeRecording(GetParam().recording(), kRecordedSeconds);
  const std::string faults = Joined(verdict.faults);
  if (*GetParam().fault == '\0') {
    EXPECT_TRUE(verdict.Passed()) << faults << verdict.gaps.size() << " gaps";
  } else {
    EXPECT_FALSE(verdict.Passed());
    EXPECT_NE(faults.find(GetParam().fault), std::string::npos) << faults;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, RecordingJudgement,
    testing::Values(RecordingCase{"start_up_output", Clean, ""},
                    RecordingCase{"empty", Empty, "the recording is 0.000 s long, 2.000 s asked"},
                    RecordingCase{"silent", Silent, "in 3 of 3 half-second stretches"},
                    RecordingCase{"three_quarters_of_the_length", ThreeQuarters, "1.500 s long, 2.000 s asked"},
                    RecordingCase{"at_full_volume", FullVolume, "110 Hz left 12"},
                    RecordingCase{"one_tone_missing", Gen5Silent, "550 Hz left"},
                    RecordingCase{"ends_half_way", EndsHalfWay, "in 2 of 3 half-second stretches"}),
    [](const auto& param) { return std::string(param.param.name); });

// What the recorder takes from the sink with the reference playing beside
// `program`: the program's two channels and the reference's.
Samples WithReference(const Samples& program) {
  const std::vector<int16_t> reference = gaps::ReferenceSignal(program.size() / 2);
  Samples recording;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    recording.insert(recording.end(), {program[2 * i], program[2 * i + 1], reference[i]});
  }
  return recording;
}

using Recording = Samples;
using RecordingFault = void (*)(Recording&, std::size_t frame);
// The faults above, on every channel of a three-channel recording.
void ServerSilence(Recording& r, std::size_t at) { std::fill(r.begin() + 3 * at, r.begin() + 3 * (at + 64), 0); }
void ServerLoss(Recording& r, std::size_t at) { r.erase(r.begin() + 3 * at, r.begin() + 3 * (at + 63)); }

// Also when the recorder's start holds a moment of silence in every channel,
// as it does on both servers: that start is not judged, for either.
TEST_F(GapDetector, WithTheReferenceTheCleanOutputPassesAndTheReferenceHasNoGap) {
  Recording recording = WithReference(*clean);
  for (const bool silentStart : {false, true}) {
    if (silentStart) std::fill_n(recording.begin(), 3 * 256, 0);
    const gaps::Verdict verdict = gaps::JudgeRecordingWithReference(recording, kRecordedSeconds);
    EXPECT_TRUE(verdict.Passed()) << Joined(verdict.faults) << verdict.gaps.size() << " gaps";
    EXPECT_TRUE(verdict.referenceGaps.empty()) << "silent start: " << silentStart;
  }
}

// A fault of the program's own stream is the program's, however it looks.
TEST_P(GapDetector, WithTheReferenceTheProgramsFaultCounts) {
  Samples program = *clean;
  GetParam().fault(program, kFaultAt);
  const gaps::Verdict verdict = gaps::JudgeRecordingWithReference(WithReference(program), kRecordedSeconds);
  ASSERT_EQ(verdict.gaps.size(), 1u);
  EXPECT_NEAR(double(verdict.gaps[0].firstFrame), double(kFaultAt), 2.0);
  EXPECT_TRUE(verdict.serverGaps.empty());
  EXPECT_FALSE(verdict.Passed());
}

// Silence or lost frames in all three channels, as a server or recorder that
// loses the sink's frames makes them, are the server's; a fault of the
// program's own at another time still counts.
TEST_F(GapDetector, WithTheReferenceAFaultOfTheWholeSinkIsTheServers) {
  for (const RecordingFault fault : {ServerSilence, ServerLoss}) {
    Recording recording = WithReference(*clean);
    fault(recording, kFaultAt);
    gaps::Verdict verdict = gaps::JudgeRecordingWithReference(recording, kRecordedSeconds);
    EXPECT_TRUE(verdict.gaps.empty());
    EXPECT_EQ(verdict.serverGaps.size(), 1u);
    EXPECT_TRUE(verdict.Passed()) << Joined(verdict.faults);

    const std::size_t later = kFaultAt + kRate / 2;
    std::fill(recording.begin() + 3 * later, recording.begin() + 3 * (later + 64), 0);
    for (std::size_t i = later; i < later + 64; ++i) recording[3 * i + 2] = recording[3 * (i - 4800) + 2];
    verdict = gaps::JudgeRecordingWithReference(recording, kRecordedSeconds);
    ASSERT_EQ(verdict.gaps.size(), 1u);
    EXPECT_NEAR(double(verdict.gaps[0].firstFrame), double(later), 2.0);
    EXPECT_EQ(verdict.serverGaps.size(), 1u);
  }
}

// A reference the recording does not hold as played tells nothing, and the
// recording fails: missing (a server that loses its channel) the server's
// gaps would count against the program; with the program's sound mixed in (a
// server that fills its channel from the others) a fault of the program's
// own shows in the reference too and would pass for the server's.
TEST_F(GapDetector, WithTheReferenceMissingOrNotAloneTheRecordingFails) {
  const struct {
    const char* name;
    void (*spoil)(Recording&);
  } cases[] = {
      {"missing", [](Recording& r) { for (std::size_t i = 2; i < r.size(); i += 3) r[i] = 0; }},
      {"at half its level", [](Recording& r) { for (std::size_t i = 2; i < r.size(); i += 3) r[i] /= 2; }},
      {"mixed with the program's left channel",
       [](Recording& r) {
         for (std::size_t i = 2; i < r.size(); i += 3) r[i] = static_cast<int16_t>((r[i] + r[i - 2]) / 2);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Samples program = *clean;
    Silence(program, kFaultAt);
    Recording recording = WithReference(program);
    c.spoil(recording);
    const gaps::Verdict verdict = gaps::JudgeRecordingWithReference(recording, kRecordedSeconds);
    EXPECT_FALSE(verdict.Passed());
    EXPECT_NE(Joined(verdict.faults).find("the reference (1000 Hz at 8000) is missing, off its level"),
              std::string::npos)
        << Joined(verdict.faults);
  }
}

}  // namespace
