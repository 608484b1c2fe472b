// The preview traces: shape, values, the mix, and what they do to the phases.
#include <gtest/gtest.h>

#include <vector>

#include "PreviewTraces.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

class PreviewTracesTest : public testing::Test {
 protected:
  // Every generator at the same setting, phases off zero as audio leaves them.
  void SetAll(double frequency, double amplitude) {
    for (GeneratorState& g : bank) {
      g.Phase.store(0.37, kRelaxed);
      g.Frequency.store(frequency, kRelaxed);
      g.Amplitude.store(amplitude, kRelaxed);
    }
  }

  GeneratorArray bank;
};

TEST_F(PreviewTracesTest, NoStepsGiveEmptyTracesAndPhasesAtZero) {
  for (int32_t n : {0, -1, -32768}) {
    SetAll(440.0, 16384.0);
    const PreviewTraces traces = ComputePreviewTraces(bank, n);
    for (const auto& trace : traces) EXPECT_TRUE(trace.empty()) << "N = " << n;
    for (const GeneratorState& g : bank) EXPECT_EQ(g.Phase.load(), 0.0) << "N = " << n;
  }
}

TEST_F(PreviewTracesTest, EveryTraceHasNPointsAtStepIndices) {
  SetAll(440.0, 16384.0);
  const PreviewTraces traces = ComputePreviewTraces(bank, 64);
  for (const auto& trace : traces) {
    ASSERT_EQ(trace.size(), 64u);
    for (std::size_t i = 0; i < trace.size(); ++i) EXPECT_EQ(trace[i].x, static_cast<double>(i));
    EXPECT_EQ(trace[0].y, 0.0);  // every trace starts at phase zero
  }
}

TEST_F(PreviewTracesTest, QuarterCycleStepKeepsTheFractionTheAudioPathTruncates) {
  SetAll(0.0, 0.0);
  bank[0].Frequency = 12000.0;
  bank[0].Amplitude = 32767.0;
  const PreviewTraces traces = ComputePreviewTraces(bank, 16);
  const auto& trace = traces[0];
  const double expected[] = {0, 23169.7679, 32767, 23169.7679, 0, -23169.7679, -32767, -23169.7679};
  for (std::size_t i = 0; i < trace.size(); ++i) {
    const double want = expected[i % 8];
    EXPECT_NEAR(trace[i].y, want, want == 0 ? 1e-10 : 1e-4) << "step " << i;
  }
}

TEST_F(PreviewTracesTest, MixOfIdenticalGeneratorsIsExactlyEachOfThem) {
  SetAll(777.7, 30001.0);
  const PreviewTraces traces = ComputePreviewTraces(bank, 500);
  for (std::size_t i = 0; i < 500; ++i) EXPECT_EQ(traces[kMixTrace][i].y, traces[0][i].y) << "step " << i;
}

TEST_F(PreviewTracesTest, MixDividesByEightWhateverIsSilent) {
  SetAll(300.0, 0.0);
  bank[5].Amplitude = 12345.0;
  const PreviewTraces traces = ComputePreviewTraces(bank, 500);
  for (std::size_t i = 0; i < 500; ++i) EXPECT_EQ(traces[kMixTrace][i].y, traces[5][i].y / 8) << "step " << i;
}

// After N steps a phase stands at N * frequency / 48000: exactly where the
// step is a short binary fraction (375 Hz times a power of two), within the
// rounding of the steps elsewhere.
TEST_F(PreviewTracesTest, EachPhaseIsLeftNStepsOn) {
  struct PhaseCase {
    const char* name;
    double frequency;
    double phaseAfter;  // after kSteps steps
    double tolerance;
  };
  constexpr int32_t kSteps = 1024;
  const PhaseCase cases[kGeneratorCount] = {
      {"quarter cycle", 12000.0, 256.0, 0.0},
      {"binary fraction", 375.0, 8.0, 0.0},
      {"negative", -6000.0, -128.0, 0.0},
      {"silent", 0.0, 0.0, 0.0},
      {"a440", 440.0, 9.386666666666667, 1e-9},
      {"start-up 110 Hz", 110.0, 2.3466666666666667, 1e-9},
      {"one hertz", 1.0, 0.021333333333333333, 1e-12},
      {"near nyquist", 23999.9, 511.9978666666667, 1e-9},
  };
  for (std::size_t k = 0; k < bank.size(); ++k) {
    bank[k].Phase = 0.37;
    bank[k].Frequency = cases[k].frequency;
    bank[k].Amplitude = 16384.0;
  }
  ComputePreviewTraces(bank, kSteps);
  for (std::size_t k = 0; k < bank.size(); ++k) {
    EXPECT_NEAR(bank[k].Phase.load(), cases[k].phaseAfter, cases[k].tolerance) << cases[k].name;
  }
}

TEST_F(PreviewTracesTest, RepeatedComputationsAreIdenticalBecauseEachStartsFromZero) {
  for (std::size_t k = 0; k < bank.size(); ++k) {
    bank[k].Frequency = 97.3 * static_cast<double>(k + 1);
    bank[k].Amplitude = 4000.0 * static_cast<double>(k);
  }
  const PreviewTraces first = ComputePreviewTraces(bank, 2048);
  const double phaseAfterFirst = bank[7].Phase.load();
  bank[7].Phase = 123.0;  // what the audio thread would have moved meanwhile
  const PreviewTraces second = ComputePreviewTraces(bank, 2048);
  EXPECT_EQ(bank[7].Phase.load(), phaseAfterFirst);
  for (std::size_t t = 0; t < kPreviewTraceCount; ++t) {
    for (std::size_t i = 0; i < 2048; ++i) ASSERT_EQ(first[t][i].y, second[t][i].y) << t << "/" << i;
  }
}

TEST_F(PreviewTracesTest, SinkReceivesGeneratorsInOrderThenTheMixForEachStep) {
  SetAll(1000.0, 1000.0);
  std::vector<std::size_t> order;
  std::vector<double> xs;
  ComputePreviewTraces(bank, 3, [&](std::size_t trace, PreviewPoint point) {
    order.push_back(trace);
    xs.push_back(point.x);
  });
  std::vector<std::size_t> expected;
  std::vector<double> expectedX;
  for (int step = 0; step < 3; ++step) {
    for (std::size_t t = 0; t < kPreviewTraceCount; ++t) {
      expected.push_back(t);
      expectedX.push_back(step);
    }
  }
  EXPECT_EQ(order, expected);
  EXPECT_EQ(xs, expectedX);
}

}  // namespace
