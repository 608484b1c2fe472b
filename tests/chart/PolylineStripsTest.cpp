// The walk over strips of columns: every segment that can touch a strip is
// handed to it, with one more segment at each end.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "PolylineStrips.h"

namespace {

struct StripCase {
  const char* name;
  int stripWidth, reach, meanStep;
};

void PrintTo(const StripCase& c, std::ostream* os) { *os << c.name; }

class Strips : public testing::TestWithParam<StripCase> {};

// Random polylines with columns that never decrease, some steps long (sparse
// traces), some zero (several points in a column).
std::vector<QPoint> RandomPolyline(std::mt19937& random, int meanStep) {
  std::vector<QPoint> polyline;
  int x = std::uniform_int_distribution<int>(-20, 20)(random);
  const int count = std::uniform_int_distribution<int>(0, 300)(random);
  for (int i = 0; i < count; ++i) {
    polyline.emplace_back(x, std::uniform_int_distribution<int>(0, 200)(random));
    x += std::uniform_int_distribution<int>(0, 2 * meanStep)(random);
  }
  return polyline;
}

TEST_P(Strips, EverySegmentReachingAStripIsHandedToIt) {
  const StripCase& c = GetParam();
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    const std::vector<QPoint> polyline = RandomPolyline(random, c.meanStep);
    const int firstColumn = std::uniform_int_distribution<int>(-10, 30)(random);
    const int endColumn = firstColumn + std::uniform_int_distribution<int>(0, 400)(random);
    PolylineStrips strips(polyline, firstColumn, endColumn, c.stripWidth, c.reach);
    std::vector<PolylineStrip> handed;
    PolylineStrip strip{};
    while (strips.Next(strip)) handed.push_back(strip);

    std::size_t next = 0;
    for (int left = firstColumn; left < endColumn; left += c.stripWidth) {
      const int right = std::min(left + c.stripWidth, endColumn) - 1;
      bool reached = false;
      for (std::size_t i = 0; i + 1 < polyline.size(); ++i) {
        if (polyline[i + 1].x() + c.reach < left || polyline[i].x() - c.reach > right) continue;
        reached = true;
        ASSERT_LT(next, handed.size()) << "strip at " << left << " missing";
        const PolylineStrip& got = handed[next];
        ASSERT_EQ(got.firstColumn, left);
        EXPECT_LE(got.first, i == 0 ? 0 : i - 1) << "segment " << i << " or the one before it left out";
        EXPECT_GE(got.last, std::min(i + 2, polyline.size() - 1)) << "segment " << i << " or the one after left out";
      }
      if (reached) {
        EXPECT_EQ(handed[next].width, right - left + 1);
        ++next;
      }
    }
    EXPECT_EQ(next, handed.size()) << "a strip that no segment reaches was handed out";
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, Strips,
                         testing::Values(StripCase{"one_column_strips", 1, 1, 1},
                                         StripCase{"sixteen_columns_dense", 16, 2, 1},
                                         StripCase{"sixteen_columns_sparse", 16, 2, 12},
                                         StripCase{"one_strip", 1000, 1, 3}, StripCase{"no_reach", 7, 0, 2}),
                         [](const testing::TestParamInfo<StripCase>& p) { return p.param.name; });

TEST(Strips, NothingToDrawWithoutASegment) {
  PolylineStrip strip{};
  const std::vector<QPoint> one{QPoint(5, 5)};
  EXPECT_FALSE(PolylineStrips({}, 0, 100, 16, 1).Next(strip));
  EXPECT_FALSE(PolylineStrips(one, 0, 100, 16, 1).Next(strip));
  const std::vector<QPoint> two{QPoint(5, 5), QPoint(6, 9)};
  EXPECT_FALSE(PolylineStrips(two, 20, 100, 16, 1).Next(strip));  // all of it left of the strips
  EXPECT_FALSE(PolylineStrips(two, 0, 0, 16, 1).Next(strip));     // no columns
}

}  // namespace
