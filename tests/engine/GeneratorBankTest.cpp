// The stream fill routine: exact values, buffer edges, phase bookkeeping,
// and a phase stored by another thread during a fill.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <numbers>
#include <thread>
#include <vector>

#include "GeneratorBank.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

void Set(GeneratorState& g, double phase, double frequency, double amplitude) {
  g.Phase.store(phase, kRelaxed);
  g.Frequency.store(frequency, kRelaxed);
  g.Amplitude.store(amplitude, kRelaxed);
}

// Reads the 16-bit little-endian values of a filled buffer.
std::vector<int> Values(const std::vector<unsigned char>& bytes, std::size_t count) {
  std::vector<int> values;
  for (std::size_t i = 0; i < count; ++i) {
    values.push_back(static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  }
  return values;
}

std::vector<int> Fill(GeneratorState& g, std::size_t valueCount) {
  std::vector<unsigned char> buffer(valueCount * 2);
  EXPECT_EQ(FillGeneratorStream(g, buffer.data(), static_cast<uint32_t>(buffer.size())), buffer.size());
  return Values(buffer, valueCount);
}

TEST(GeneratorFill, QuarterCycleStepGivesTheExactTruncatedSine) {
  GeneratorState g;
  Set(g, 0.0, 12000.0, 32767.0);
  EXPECT_EQ(Fill(g, 8), (std::vector<int>{0, 23169, 32767, 23169, 0, -23169, -32767, -23169}));
  EXPECT_EQ(g.Phase.load(), 2.0);
}

TEST(GeneratorFill, NegativeFrequencyRunsThePhaseBackwards) {
  GeneratorState g;
  Set(g, 0.0, -12000.0, 32767.0);
  EXPECT_EQ(Fill(g, 4), (std::vector<int>{0, -23169, -32767, -23169}));
  EXPECT_EQ(g.Phase.load(), -1.0);
}

struct LengthCase {
  const char* name;
  uint32_t length;
  uint32_t valuesWritten;
};

class GeneratorFillLength : public testing::TestWithParam<LengthCase> {};

TEST_P(GeneratorFillLength, WritesWholeValuesOnlyAndAdvancesOncePerValue) {
  const LengthCase& c = GetParam();
  GeneratorState g;
  Set(g, 0.0, 12000.0, 32767.0);
  constexpr unsigned char kUntouched = 0xA5;
  std::vector<unsigned char> buffer(c.length + 4, kUntouched);
  EXPECT_EQ(FillGeneratorStream(g, buffer.data(), c.length), c.length);
  EXPECT_EQ(g.Phase.load(), 0.25 * c.valuesWritten);
  for (std::size_t i = 2 * c.valuesWritten; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], kUntouched) << "byte " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, GeneratorFillLength,
                         testing::Values(LengthCase{"empty", 0, 0}, LengthCase{"lone_byte", 1, 0},
                                         LengthCase{"odd_seven", 7, 3}, LengthCase{"one_frame", 4, 2},
                                         LengthCase{"odd_large", 4097, 2048}),
                         [](const testing::TestParamInfo<LengthCase>& p) { return p.param.name; });

TEST(GeneratorFill, PhaseCarriesOverFromOneBufferToTheNext) {
  GeneratorState split;
  GeneratorState whole;
  Set(split, 0.125, 440.3, 20000.0);
  Set(whole, 0.125, 440.3, 20000.0);
  std::vector<int> twoCalls = Fill(split, 2);
  const std::vector<int> second = Fill(split, 2);
  twoCalls.insert(twoCalls.end(), second.begin(), second.end());
  EXPECT_EQ(twoCalls, Fill(whole, 4));
  EXPECT_EQ(split.Phase.load(), whole.Phase.load());
}

// Another thread (the window's) stores a phase while a long fill runs: at
// the next value the fill reads it, and that value is the sample of the
// stored phase. A store between the fill's read of a value's phase and its
// write of the next one is overwritten, as it always could be, so the
// writer here stores again and again until the fill ends; and as the writer
// may not run during a fill at all, the fill is tried a number of times.
// A fill that read the phase only at its start never departs from the run
// undisturbed.
TEST(GeneratorFill, APhaseStoredDuringAFillTakesEffectAtTheNextValue) {
  constexpr std::size_t kValues = std::size_t{1} << 20;
  constexpr double kStart = 0.25;
  constexpr double kStored = 1.25;  // half a cycle on: the samples change sign
  constexpr double kFrequency = 440.0;
  constexpr double kLevel = 30000.0;
  GeneratorState undisturbed;
  Set(undisturbed, kStart, kFrequency, kLevel);
  const std::vector<int> before = Fill(undisturbed, kValues);
  const int storedSample = static_cast<int>(std::trunc(kLevel * std::sin(std::numbers::pi * kStored)));

  constexpr int kTries = 30;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    GeneratorState g;
    Set(g, kStart, kFrequency, kLevel);
    std::atomic<bool> done{false};
    std::jthread writer([&g, &done] {
      // Only once the fill has begun, so that it starts from kStart.
      while (g.Phase.load(kRelaxed) == kStart && !done.load()) {
      }
      while (!done.load()) g.Phase.store(kStored, kRelaxed);
    });
    const std::vector<int> values = Fill(g, kValues);
    done.store(true);
    writer.join();
    const auto departs = std::mismatch(values.begin(), values.end(), before.begin()).first;
    if (departs == values.end()) continue;  // the writer did not run during this fill
    // At the first value that departs, or a few before it where the two
    // samples happen to be the same.
    const auto from = departs - std::min<std::ptrdiff_t>(4, departs - values.begin());
    EXPECT_NE(std::find(from, departs + 1, storedSample), departs + 1)
        << "the fill departed at value " << departs - values.begin() << " with " << *departs << ", not "
        << storedSample;
    return;
  }
  FAIL() << "no fill of " << kTries << " took up the phase stored during it";
}

TEST(GeneratorFill, SilentLevelStillAdvancesThePhase) {
  GeneratorState g;
  Set(g, 0.0, 480.0, 0.0);
  EXPECT_EQ(Fill(g, 100), std::vector<int>(100, 0));
  EXPECT_NEAR(g.Phase.load(), 1.0, 1e-12);
}

TEST(GeneratorFill, OneHertzCompletesOneCycleInOneSecondOfStereo) {
  GeneratorState g;
  Set(g, 0.0, 1.0, 1000.0);
  Fill(g, 96000);
  EXPECT_NEAR(g.Phase.load(), 2.0, 1e-9);
}

// Pins the precision the stream is computed in: extended-precision sine and
// step, product rounded to a double, truncation toward zero. Far from phase
// zero a sine of pi * phase in plain doubles gives other samples; near zero a
// step in plain doubles drifts to another phase.
TEST(GeneratorFill, MatchesTheExtendedPrecisionFormula) {
  for (const double kStartPhase : {0.0, 1e9 + 0.3}) {
    SCOPED_TRACE(kStartPhase);
    constexpr double kFrequency = 1234.567;
    GeneratorState g;
    Set(g, kStartPhase, kFrequency, 32767.0);
    const std::vector<int> values = Fill(g, 100000);
    const long double pi = 3.141592653589793238462643383279502884L;
    double phase = kStartPhase;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const double y = static_cast<double>(sinl(pi * phase) * 32767.0L);
      ASSERT_EQ(values[i], static_cast<int>(std::trunc(y))) << "value " << i;
      phase = static_cast<double>(static_cast<long double>(kFrequency) / 48000.0L + phase);
    }
    EXPECT_EQ(g.Phase.load(), phase);
  }
}

TEST(GeneratorFill, OutOfRangeStateGivesFullScaleOrSilenceInsteadOfGarbage) {
  GeneratorState g;
  Set(g, 0.5, 0.0, 40000.0);  // level above the slider's range
  EXPECT_EQ(Fill(g, 1), std::vector<int>{32767});
  Set(g, 1.5, 0.0, 40000.0);
  EXPECT_EQ(Fill(g, 1), std::vector<int>{-32768});
  Set(g, std::numeric_limits<double>::infinity(), 1.0, 32767.0);  // a phase that ran away
  EXPECT_EQ(Fill(g, 2), (std::vector<int>{0, 0}));
}

TEST(GeneratorStreamProc, EachRoutineFillsFromItsOwnGeneratorOnly) {
  for (int k = 1; k <= kGeneratorCount; ++k) {
    for (GeneratorState& g : GeneratorBank) Set(g, 0.0, 12000.0, 1000.0);
    std::vector<unsigned char> buffer(4);
    EXPECT_EQ(GeneratorStreamProcs[k - 1](0, buffer.data(), 4, nullptr), 4u);
    for (int other = 1; other <= kGeneratorCount; ++other) {
      EXPECT_EQ(GeneratorBank[other - 1].Phase.load(), other == k ? 0.5 : 0.0) << "routine " << k;
    }
  }
  EXPECT_EQ(GeneratorStreamProcs[2], &GeneratorStreamProc<3>);
}

}  // namespace
