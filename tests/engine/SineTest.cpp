// The fast sine against the library's sinl, on the values the streams and the
// preview actually compute.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "ToneFormula.h"

namespace {

double ReferenceValue(double phase, double amplitude) {
  return static_cast<double>(sinl(tone::kPi * static_cast<long double>(phase)) * static_cast<long double>(amplitude));
}

// Distance in units in the last place between two doubles of the same sign.
int64_t UlpDistance(double a, double b) {
  if (a == b) return 0;
  if (std::signbit(a) != std::signbit(b)) return std::numeric_limits<int64_t>::max();
  int64_t ia, ib;
  std::memcpy(&ia, &a, sizeof a);
  std::memcpy(&ib, &b, sizeof b);
  return std::llabs(ia - ib);
}

struct SweepCase {
  const char* name;
  double startPhase;
  double frequency;
  double amplitude;
};

class SineSweep : public testing::TestWithParam<SweepCase> {};

TEST_P(SineSweep, SamplesIdenticalAndValuesWithinOneUlpOfSinl) {
  const SweepCase& c = GetParam();
  double phase = c.startPhase;
  for (int i = 0; i < 200000; ++i) {
    const double fast = tone::ToneValue(phase, c.amplitude);
    const double reference = ReferenceValue(phase, c.amplitude);
    ASSERT_EQ(tone::TruncateToSample(fast), tone::TruncateToSample(reference)) << "phase " << phase;
    if (reference != 0.0 || fast != 0.0) {
      ASSERT_LE(UlpDistance(fast, reference), 1) << "phase " << phase;
    }
    phase = tone::NextPhase(phase, c.frequency);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SineSweep,
    testing::Values(SweepCase{"quarter_steps", 0.0, 12000.0, 32767.0}, SweepCase{"a440", 0.0, 440.0, 16384.0},
                    SweepCase{"fractional", 0.0, 1234.567, 32767.0}, SweepCase{"negative", 0.0, -987.65, 30000.0},
                    SweepCase{"near_nyquist", 0.0, 23999.9, 32767.0}, SweepCase{"slow", 0.0, 0.1, 32767.0},
                    SweepCase{"after_days_of_play", 2.9e8 + 0.123, 19999.0, 32767.0},
                    SweepCase{"past_the_fast_range", 4e8, 440.0, 32767.0}),
    [](const testing::TestParamInfo<SweepCase>& p) { return p.param.name; });

TEST(Sine, ExactPointsAndSpecialValues) {
  EXPECT_EQ(tone::Sine(0.0L), 0.0L);
  EXPECT_TRUE(std::signbit(tone::Sine(-0.0L)));
  EXPECT_EQ(tone::Sine(tone::kPi / 2), 1.0L);
  EXPECT_EQ(tone::Sine(-tone::kPi / 2), -1.0L);
  EXPECT_TRUE(std::isnan(tone::Sine(std::numeric_limits<long double>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(tone::Sine(std::numeric_limits<long double>::infinity())));
  const long double huge = 1e30L;
  EXPECT_EQ(tone::Sine(huge), sinl(huge));
  // Next to multiples of pi the result is tiny; its size comes from how far
  // the rounded argument is from the true multiple, which the exact reduction
  // keeps.
  for (long double n : {1.0L, 3.0L, 1000.0L, 123456.0L}) {
    const long double x = tone::kPi * n;
    EXPECT_NEAR(static_cast<double>(tone::Sine(x) / sinl(x)), 1.0, 1e-15) << static_cast<double>(n);
  }
}

}  // namespace
