// The formula that defines what the streams play (ToneFormula.h) against
// references of its own: MPFR for the phase step, the argument gap and the
// sine, literals for known values and for the truncation.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "ToneFormula.h"
#include "ToneReference.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Bits of an x87 extended significand.
constexpr mpfr_prec_t kExtended = 64;
// Far more than any quantity here needs to be exact or correctly rounded.
constexpr mpfr_prec_t kWide = 300;

// An MPFR number of a given precision that frees itself.
class Big {
 public:
  explicit Big(mpfr_prec_t precision) { mpfr_init2(FValue, precision); }
  Big(const Big&) = delete;
  Big& operator=(const Big&) = delete;
  ~Big() { mpfr_clear(FValue); }
  mpfr_ptr operator*() { return FValue; }

 private:
  mpfr_t FValue;
};

// Pi rounded to the extended significand, the factor of the argument.
void ExtendedPi(Big& pi) { mpfr_const_pi(*pi, MPFR_RNDN); }

// The bits of a double, so that -0.0 and NaN compare as themselves.
uint64_t Bits(double value) { return std::bit_cast<uint64_t>(value); }

// Phases and frequencies of every kind the bank may hold: short and long
// phases of either sign, frequencies as the spin box writes them and
// arbitrary doubles.
class RandomInputs {
 public:
  double Phase() {
    switch (FKind(FRandom) % 4) {
      case 0: return FUnit(FRandom) * 16384.0;
      case 1: return std::ldexp(FUnit(FRandom), FExponent(FRandom));
      case 2: return -std::ldexp(FUnit(FRandom), FExponent(FRandom));
      default: return (FUnit(FRandom) * 2.0 - 1.0) * 1e12;
    }
  }
  double Frequency() {
    if (FKind(FRandom) % 2 == 0) return std::round((FUnit(FRandom) * 2.0 - 1.0) * 24000.0 * 1000.0) / 1000.0;
    return std::ldexp(FUnit(FRandom) * 2.0 - 1.0, FExponent(FRandom));
  }
  double Level() { return std::floor(FUnit(FRandom) * 32768.0) + (FKind(FRandom) % 8 == 0 ? FUnit(FRandom) : 0.0); }

 private:
  std::mt19937_64 FRandom{20261210};
  std::uniform_real_distribution<double> FUnit{0.0, 1.0};
  std::uniform_int_distribution<int> FExponent{-60, 45};
  std::uniform_int_distribution<int> FKind{0, 1 << 20};
};

// The step in extended precision is the quotient rounded to 64 bits, the sum
// rounded to 64 bits, then rounded to a double: the same roundings done by
// MPFR give the same bits. A step in plain doubles differs in most of these.
TEST(ToneFormula, PhaseStepIsTheExtendedPrecisionSumRoundedToADouble) {
  RandomInputs inputs;
  Big quotient(kExtended), sum(kExtended);
  for (int i = 0; i < 100000; ++i) {
    const double phase = inputs.Phase(), frequency = inputs.Frequency();
    mpfr_set_d(*quotient, frequency, MPFR_RNDN);
    mpfr_div_ui(*quotient, *quotient, tone::kStreamFrameRate, MPFR_RNDN);
    mpfr_add_d(*sum, *quotient, phase, MPFR_RNDN);
    const double want = mpfr_get_d(*sum, MPFR_RNDN);
    ASSERT_EQ(Bits(tone::NextPhase(phase, frequency)), Bits(want)) << phase << " + " << frequency << " / 48000";
  }
}

// ArgumentGap is exact: the extended product minus the double product.
TEST(ToneFormula, ArgumentGapIsTheExactDistanceOfTheTwoProducts) {
  RandomInputs inputs;
  Big pi(kExtended), piDouble(kExtended), extended(kExtended), plain(kExtended), gap(kWide);
  ExtendedPi(pi);
  mpfr_set_d(*piDouble, mpfr_get_d(*pi, MPFR_RNDN), MPFR_RNDN);
  for (int i = 0; i < 100000; ++i) {
    const double phase = inputs.Phase();
    mpfr_mul_d(*extended, *pi, phase, MPFR_RNDN);
    mpfr_set_d(*plain, mpfr_get_d(*piDouble, MPFR_RNDN) * phase, MPFR_RNDN);
    mpfr_sub(*gap, *extended, *plain, MPFR_RNDN);
    ASSERT_EQ(Bits(tone::ArgumentGap(phase)), Bits(mpfr_get_d(*gap, MPFR_RNDN))) << "phase " << phase;
  }
}

// The value is the sine of x = pi * phase rounded to 64 bits, times the
// level: rounded to a double it is within half a unit of the true product,
// plus what sinl's own error (at most 9 units of the 64-bit significand) and
// the extended product's rounding add, below 2^-6 unit. A sine or an
// argument in plain doubles is units off beyond the shortest phases.
TEST(ToneFormula, ValueIsWithinHalfAUnitOfTheTrueSineOfTheExtendedArgument) {
  RandomInputs inputs;
  Big pi(kExtended), argument(kExtended), exact(kWide), error(kWide);
  ExtendedPi(pi);
  constexpr double kAllowedUnits = 0.5 + 0x1p-6;
  double worst = 0.0;
  for (int i = 0; i < 100000; ++i) {
    const double phase = inputs.Phase(), level = inputs.Level();
    const double got = tone::ToneValue(phase, level);
    mpfr_mul_d(*argument, *pi, phase, MPFR_RNDN);
    mpfr_sin(*exact, *argument, MPFR_RNDN);
    mpfr_mul_d(*exact, *exact, level, MPFR_RNDN);
    if (got == 0.0 || !std::isnormal(got)) continue;  // a zero level, or a sine below the normal range
    mpfr_sub_d(*error, *exact, got, MPFR_RNDN);
    const double units = std::fabs(mpfr_get_d(*error, MPFR_RNDN)) / std::ldexp(1.0, std::ilogb(got) - 52);
    worst = std::max(worst, units);
    ASSERT_LE(units, kAllowedUnits) << "phase " << phase << ", level " << level;
  }
  RecordProperty("worst_units", std::to_string(worst));
}

TEST(ToneFormula, KnownValues) {
  for (const tone_test::KnownValue& known : tone_test::kKnownValues) {
    EXPECT_EQ(Bits(tone::ToneValue(known.phase, known.amplitude)), Bits(known.value))
        << "phase " << known.phase << ", level " << known.amplitude;
  }
}

TEST(ToneFormula, TruncatesTowardZeroAndSaturates) {
  struct Case {
    double value;
    int16_t sample;
  };
  const Case cases[] = {
      {0.99, 0},           {-0.99, 0},       {1.0, 1},        {-1.0, -1},    {23169.77, 23169},  {-23169.77, -23169},
      {32767.99, 32767},   {32768.0, 32767}, {1e300, 32767},  {kInf, 32767}, {-32767.5, -32767}, {-32768.0, -32768},
      {-32768.99, -32768}, {-1e300, -32768}, {-kInf, -32768}, {kNaN, 0},     {-0.0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(tone::TruncateToSample(c.value), c.sample) << c.value;
}

}  // namespace
