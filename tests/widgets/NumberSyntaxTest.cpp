// Reading and writing the spin box's number text.
#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <random>

#include "NumberSyntax.h"

namespace {

struct ParseCase {
  const char* name;
  std::u16string text;
  char16_t separator;
  std::optional<long double> expected;
};

class Parsing : public testing::TestWithParam<ParseCase> {};

TEST_P(Parsing, GivesTheValueOrRefuses) {
  const ParseCase& c = GetParam();
  const std::optional<long double> got = ParseNumber(c.text, c.separator);
  ASSERT_EQ(got.has_value(), c.expected.has_value());
  if (got) {
    EXPECT_EQ(*got, *c.expected);
  }
}

constexpr std::optional<long double> kInvalid = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Texts, Parsing,
    testing::Values(
        ParseCase{"plain", u"440", u'.', 440.0L}, ParseCase{"decimals", u"110.100", u'.', 110.1L},
        ParseCase{"comma_separator", u"110,100", u',', 110.1L},
        ParseCase{"point_when_comma_is_the_separator", u"110.1", u',', kInvalid},
        ParseCase{"spaces_around", u"  -12.5  ", u'.', -12.5L}, ParseCase{"plus", u"+3", u'.', 3.0L},
        ParseCase{"lone_separator", u".", u'.', 0.0L}, ParseCase{"signed_separator", u"-.", u'.', -0.0L},
        ParseCase{"leading_separator", u".25", u'.', 0.25L}, ParseCase{"trailing_separator", u"7.", u'.', 7.0L},
        ParseCase{"lone_sign", u"-", u'.', kInvalid}, ParseCase{"two_signs", u"--1", u'.', kInvalid},
        ParseCase{"exponent", u"1.5e3", u'.', 1500.0L}, ParseCase{"negative_exponent", u"25E-1", u'.', 2.5L},
        ParseCase{"exponent_without_digits", u"1e", u'.', kInvalid},
        ParseCase{"exponent_without_mantissa", u"e5", u'.', kInvalid},
        ParseCase{"exponent_at_limit", u"1e0500", u'.', 1e500L},
        ParseCase{"exponent_digit_past_limit", u"1e5000", u'.', kInvalid},
        ParseCase{"beyond_extended_range", u"1e4933", u'.', kInvalid},
        ParseCase{"beyond_double_but_within_extended", u"1e400", u'.', 1e400L},
        ParseCase{"thousands_separator", u"1,000", u'.', kInvalid}, ParseCase{"inner_space", u"1 0", u'.', kInvalid},
        ParseCase{"tab", u"\t1", u'.', kInvalid}, ParseCase{"superscript_two", u"\u00B2", u'.', kInvalid},
        ParseCase{"arabic_indic_digit", u"\u0663", u'.', kInvalid}, ParseCase{"letters", u"12a", u'.', kInvalid}),
    [](const testing::TestParamInfo<ParseCase>& p) { return p.param.name; });

struct FormatCase {
  const char* name;
  long double value;
  std::u16string expected;
};

class Formatting : public testing::TestWithParam<FormatCase> {};

TEST_P(Formatting, ThreeDecimalsAtMostFifteenDigits) {
  EXPECT_EQ(FormatFixed(GetParam().value, 3, u'.'), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Formatting,
    testing::Values(FormatCase{"start_value", 110.0L, u"110.000"}, FormatCase{"step", 110.0L + 0.1L, u"110.100"},
                    FormatCase{"zero", 0.0L, u"0.000"}, FormatCase{"negative", -0.1L, u"-0.100"},
                    FormatCase{"tiny_negative_is_zero", -0.0001L, u"0.000"},
                    FormatCase{"rounds_up_to_first_decimal", 0.0006L, u"0.001"},
                    FormatCase{"rounds_into_next_digit", 9.9996L, u"10.000"},
                    FormatCase{"fifteen_significant", 123456789012.3456L, u"123456789012.346"},
                    FormatCase{"fifteen_integer_digits", 123456789012345.678L, u"123456789012346.000"},
                    FormatCase{"sixteen_integer_digits", 1234567890123456.0L, u"1.23456789012346E15"},
                    FormatCase{"huge", 1.5e300L, u"1.5E300"}, FormatCase{"past_nyquist", 20000.05L, u"20000.050"}),
    [](const testing::TestParamInfo<FormatCase>& p) { return p.param.name; });

TEST(Formatting, UsesTheGivenSeparator) { EXPECT_EQ(FormatFixed(1152.0L, 2, u','), u"1152,00"); }

// Up to 10^9 the text has all the digits of the value rounded to three
// decimals, so reading it back gives exactly the long double nearest that
// decimal. The expectation is that same number: v * 1000 and its rounding are
// exact in extended precision, and the division rounds once to the nearest.
TEST(NumberRoundTrip, ReadingBackGivesExactlyTheValueRoundedToThreeDecimals) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> magnitude(-7.0, 9.0);
  for (int i = 0; i < 20000; ++i) {
    const double v = std::pow(10.0, magnitude(random)) * (random() % 2 ? 1 : -1);
    const long double rounded = std::round(static_cast<long double>(v) * 1000.0L) / 1000.0L;
    for (char16_t separator : {u'.', u','}) {
      const std::optional<long double> back = ParseNumber(FormatFixed(v, 3, separator), separator);
      ASSERT_TRUE(back.has_value()) << v;
      ASSERT_EQ(*back, rounded) << std::setprecision(21) << v << " read back as " << *back << ", not " << rounded;
    }
  }
}

}  // namespace
