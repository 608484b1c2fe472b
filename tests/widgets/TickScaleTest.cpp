// The slider's tick values in closed form against the search they replace:
// try every multiple of the frequency in turn until the marks stand far
// enough apart.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <ostream>
#include <vector>

#include "TickScale.h"

namespace {

// The linear search, in 64-bit integers and doubles so that it is defined
// for every input.
std::vector<int> SearchedTickValues(int minValue, int maxValue, int frequency, int length) {
  const double range = double(maxValue) - double(minValue);
  if (frequency <= 0 || range <= 0 || length <= 0) return {};
  long long step = 0;
  long long count = 0;
  for (long long g = 1;; ++g) {
    step = g * frequency;
    count = static_cast<long long>(std::nearbyint(range / double(step))) + 1;
    const long long spacing = count > 1 ? length / (count - 1) : length;
    if (spacing >= kMinTickSpacing || spacing >= length) break;
  }
  std::vector<int> values;
  long long value = minValue;
  for (long long i = 1; i <= count; ++i) {
    if (i == count) value = maxValue;
    values.push_back(static_cast<int>(value));
    value += step;
  }
  return values;
}

struct ScaleCase {
  const char* name;
  int minValue, maxValue, frequency, length;
};

void PrintTo(const ScaleCase& c, std::ostream* out) { *out << c.name; }

class TickScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(TickScale, SameTicksAsTheSearch) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(TickValues(c.minValue, c.maxValue, c.frequency, c.length),
            SearchedTickValues(c.minValue, c.maxValue, c.frequency, c.length));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TickScale,
    testing::Values(ScaleCase{"generator_slider", 0, 32767, 10, 161}, ScaleCase{"master_slider", 0, 100, 5, 161},
                    // range / step exactly halfway between two gap counts
                    ScaleCase{"tie_down_to_an_even_count_that_fits", 0, 5, 1, 8},
                    ScaleCase{"tie_up_to_an_even_count_too_many", 0, 7, 1, 12},
                    ScaleCase{"frequency_at_twice_the_range_one_tick", 0, 10, 20, 161},
                    ScaleCase{"frequency_below_twice_the_range_two_ticks", 0, 10, 19, 161},
                    ScaleCase{"track_shorter_than_the_spacing", 0, 1000, 1, 3},
                    ScaleCase{"track_of_one_pixel", -50, 50, 3, 1}, ScaleCase{"negative_range_ends", -300, -7, 4, 97},
                    ScaleCase{"whole_int_range_coarse_step", INT_MIN, INT_MAX, 1 << 22, 161},
                    ScaleCase{"whole_int_range_largest_step", INT_MIN, INT_MAX, INT_MAX, 161},
                    ScaleCase{"billion_long_track", 0, 1000000000, 100000, 16777215},
                    ScaleCase{"empty_range", 5, 5, 1, 161}, ScaleCase{"reversed_range", 10, 0, 1, 161},
                    ScaleCase{"no_track", 0, 100, 5, 0}, ScaleCase{"zero_frequency", 0, 100, 0, 161}),
    [](const testing::TestParamInfo<ScaleCase>& p) { return p.param.name; });

// Every small scale, where rounding and integer division meet most often.
TEST(TickScaleSweep, SameTicksAsTheSearchForEverySmallScale) {
  int differing = 0;
  for (int range = 1; range <= 160 && differing < 5; ++range) {
    for (int frequency = 1; frequency <= 12; ++frequency) {
      for (int length = 1; length <= 170; ++length) {
        if (TickValues(-7, range - 7, frequency, length) == SearchedTickValues(-7, range - 7, frequency, length)) {
          continue;
        }
        ADD_FAILURE() << "range " << range << ", frequency " << frequency << ", length " << length;
        ++differing;
      }
    }
  }
}

TEST(TickScaleSweep, ABillionWithAStepOfOneStillHasItsEndsAndFitsTheTrack) {
  const std::vector<int> values = TickValues(0, 1000000000, 1, 161);
  ASSERT_GE(values.size(), 2u);
  EXPECT_EQ(values.front(), 0);
  EXPECT_EQ(values.back(), 1000000000);
  EXPECT_GE(161 / static_cast<int>(values.size() - 1), kMinTickSpacing);
}

}  // namespace
