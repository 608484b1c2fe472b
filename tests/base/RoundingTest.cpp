// The shared rounding against literals: ties to even on both sides of zero,
// the edges of the shift's range and beyond, and the saturation to an int.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "Rounding.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Case {
  double value;
  double nearest;
};

// Beyond 2^51 the shift alone goes wrong (2^51 + 1 would come back as 2^51,
// 2^52 + 1 as 2^52 + 2); those values must still come back as they are.
TEST(RoundHalfEven, GivesTheNearestIntegerWithTiesToEven) {
  const Case cases[] = {
      {0.0, 0.0},
      {0.49999999999999994, 0.0},
      {0.5, 0.0},
      {1.5, 2.0},
      {2.5, 2.0},
      {3.5, 4.0},
      {-0.5, 0.0},
      {-1.5, -2.0},
      {-2.5, -2.0},
      {2.4999999999999996, 2.0},
      {-7.6, -8.0},
      {1e6 + 0.5, 1e6},
      {0x1p51 - 0.5, 0x1p51},
      {0x1p51 - 1.5, 0x1p51 - 2.0},
      {-0x1p51 + 0.5, -0x1p51},
      {0x1p51, 0x1p51},
      {0x1p51 + 0.5, 0x1p51},
      {0x1p51 + 1.0, 0x1p51 + 1.0},
      {0x1p51 + 1.5, 0x1p51 + 2.0},
      {-0x1p51 - 1.0, -0x1p51 - 1.0},
      {0x1p52 + 1.0, 0x1p52 + 1.0},
      {-0x1p52 - 3.0, -0x1p52 - 3.0},
      {1e300, 1e300},
      {kInf, kInf},
      {-kInf, -kInf},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.nearest) << std::hexfloat << c.value;
  EXPECT_TRUE(std::isnan(RoundHalfEven(kNaN)));
}

TEST(RoundToInt, SaturatesAtTheIntLimitsAndGivesZeroForNaN) {
  struct IntCase {
    double value;
    int nearest;
  };
  const IntCase cases[] = {
      {2.5, 2},
      {-2.5, -2},
      {-0.4, 0},
      {2147483646.5, 2147483646},
      {2147483646.6, INT_MAX},
      {2147483647.5, INT_MAX},
      {1e10, INT_MAX},
      {kInf, INT_MAX},
      {-2147483647.5, -2147483648},
      {-2147483648.5, INT_MIN},
      {-1e300, INT_MIN},
      {-kInf, INT_MIN},
      {kNaN, 0},
  };
  for (const IntCase& c : cases) EXPECT_EQ(RoundToInt(c.value), c.nearest) << c.value;
}

}  // namespace
