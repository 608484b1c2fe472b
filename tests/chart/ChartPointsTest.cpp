// Mapping points to pixels and reducing each pixel column's run, without a
// widget or a painter.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "ChartPoints.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kFar = PixelScale::kFarPixels;

struct ScaleCase {
  const char* name;
  double minimum, maximum;
  int origin, span, direction;
  double value;
  int expected;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.name; }

class Scale : public testing::TestWithParam<ScaleCase> {};

TEST_P(Scale, PutsTheValueOnItsPixel) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(PixelScale(c.minimum, c.maximum, c.origin, c.span, c.direction)(c.value), c.expected);
}

// The window's rows: the plot from row 4 to row 205, 201 rows high, over
// -32768 .. 32768; and its columns for N points, 2 pixels inside both ends.
INSTANTIATE_TEST_SUITE_P(
    Values, Scale,
    testing::Values(ScaleCase{"top_value_on_top_row", -32768, 32768, 205, 201, -1, 32767, 4},
                    ScaleCase{"bottom_value_on_bottom_row", -32768, 32768, 205, 201, -1, -32767, 205},
                    ScaleCase{"zero_on_middle_row_half_to_even", -32768, 32768, 205, 201, -1, 0, 105},
                    ScaleCase{"first_step_two_inside", 0, 32767, 6, 720, 1, 0, 6},
                    ScaleCase{"last_step_two_inside", 0, 32767, 6, 720, 1, 32767, 726},
                    ScaleCase{"half_rounds_down_to_even_power_of_two_range", 0, 4, 0, 2, 1, 1, 0},
                    ScaleCase{"half_rounds_up_to_even_power_of_two_range", 0, 4, 0, 2, 1, 3, 2},
                    ScaleCase{"half_rounds_down_to_even_divided_range", 0, 6, 0, 3, 1, 1, 0},
                    ScaleCase{"half_rounds_up_to_even_divided_range", 0, 6, 0, 3, 1, 3, 2},
                    ScaleCase{"half_rounds_to_even_two", 0, 6, 0, 3, 1, 5, 2},
                    ScaleCase{"empty_range_at_origin", 5, 5, 10, 100, 1, 7, 10},
                    ScaleCase{"reversed_range_at_origin", 5, 1, 10, 100, 1, 3, 10},
                    ScaleCase{"range_not_a_number_at_origin", kNaN, 1, 10, 100, 1, 3, 10},
                    ScaleCase{"infinite_range_at_origin", -kInf, kInf, 10, 100, 1, 3, 10},
                    ScaleCase{"range_too_wide_for_doubles", -1e308, 1e308, 0, 800, 1, 0, 400},
                    ScaleCase{"range_times_span_too_wide", 0, 1e308, 0, 800, 1, 5e307, 400},
                    ScaleCase{"far_above_held_far_up", -32768, 32768, 205, 201, -1, 1e300, 205 - kFar},
                    ScaleCase{"far_below_held_far_down", -32768, 32768, 205, 201, -1, -1e300, 205 + kFar},
                    ScaleCase{"infinite_value_held_far", -32768, 32768, 205, 201, -1, kInf, 205 - kFar},
                    ScaleCase{"not_a_number_held_far", -32768, 32768, 205, 201, -1, kNaN, 205 - kFar}),
    [](const testing::TestParamInfo<ScaleCase>& p) { return p.param.name; });

// The interval that lets the reduction skip the division must never claim a
// value for the wrong pixel, also right at the rounding boundaries and on a
// scale far from zero, where the doubles themselves are coarse.
TEST(Scale, CertainIntervalHoldsOnlyValuesOfItsPixel) {
  struct Axis {
    double minimum, maximum;
    int origin, span, direction;
  };
  const Axis axes[] = {
      {0, 32767, 6, 720, 1},         {0, 63, 6, 720, 1},     {-32768, 32768, 205, 201, -1}, {0, 6, 0, 3, 1},
      {1e15, 1e15 + 100, 6, 720, 1}, {-1e9, 1e9, 6, 720, 1}, {0.5, 0.5 + 1e-9, 6, 720, 1}};
  std::mt19937_64 random(7);
  for (const Axis& a : axes) {
    const PixelScale scale(a.minimum, a.maximum, a.origin, a.span, a.direction);
    const double range = a.maximum - a.minimum;
    std::uniform_real_distribution<double> values(a.minimum - range / 2, a.maximum + range / 2);
    for (int trial = 0; trial < 20000; ++trial) {
      const double value = values(random);
      const int pixel = scale(value);
      const PixelScale::Interval sure = scale.SurelyOn(pixel);
      if (sure.low > sure.high) continue;  // the scale does not say
      for (const double probe :
           {value, sure.low, sure.high, std::nextafter(sure.low, -kInf), std::nextafter(sure.high, kInf)}) {
        if (probe >= sure.low && probe <= sure.high) {
          ASSERT_EQ(scale(probe), pixel) << a.minimum << ".." << a.maximum << " at " << probe;
        }
      }
    }
  }
  // The window's axes do say, or the reduction would divide for every point.
  const PixelScale columns(0, 32767, 6, 720, 1);
  EXPECT_LE(columns.SurelyOn(300).low, columns.SurelyOn(300).high);
  EXPECT_GT(PixelScale(5, 5, 10, 100, 1).SurelyOn(10).low, PixelScale(5, 5, 10, 100, 1).SurelyOn(10).high);
}

// --- Reduction of one column --------------------------------------------

// Every point in column 0, rows equal to the values.
std::vector<QPoint> ReduceOneColumn(const std::vector<int>& rows) {
  std::vector<TChartPoint> points;
  for (int row : rows) points.push_back({0.0, static_cast<double>(row)});
  std::vector<QPoint> out;
  PreparePolyline(points, PixelScale(0, 0, 0, 0, 1), PixelScale(0, 100, 0, 100, 1), out);
  return out;
}

std::vector<int> RowsOf(const std::vector<QPoint>& polyline) {
  std::vector<int> rows;
  for (const QPoint& p : polyline) rows.push_back(p.y());
  return rows;
}

struct RunCase {
  const char* name;
  std::vector<int> rows;
  std::vector<int> expected;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class ColumnRun : public testing::TestWithParam<RunCase> {};

TEST_P(ColumnRun, KeepsFirstExtremesAndLastInOrder) {
  EXPECT_EQ(RowsOf(ReduceOneColumn(GetParam().rows)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Runs, ColumnRun,
                         testing::Values(RunCase{"highest_before_lowest", {5, 3, 1, 7, 9, 4}, {5, 1, 9, 4}},
                                         RunCase{"lowest_before_highest", {5, 9, 8, 1, 4}, {5, 9, 1, 4}},
                                         RunCase{"first_is_an_extreme", {1, 3, 9, 5, 6}, {1, 9, 6}},
                                         RunCase{"last_repeats_an_extreme", {5, 2, 9, 3, 9}, {5, 2, 9}},
                                         RunCase{"flat", {4, 4, 4, 4, 4}, {4}},
                                         RunCase{"four_kept_whole_with_repeats", {4, 4, 7, 4}, {4, 4, 7, 4}},
                                         RunCase{"single", {3}, {3}}),
                         [](const testing::TestParamInfo<RunCase>& p) { return p.param.name; });

TEST(Reduction, EmptyInputGivesNoPoints) {
  std::vector<QPoint> out{QPoint(1, 1)};
  PreparePolyline({}, PixelScale(0, 1, 0, 10, 1), PixelScale(0, 1, 0, 10, 1), out);
  EXPECT_TRUE(out.empty());
}

TEST(Reduction, ReusesTheOutputStorage) {
  std::vector<TChartPoint> points;
  for (int x = 0; x < 4096; ++x) points.push_back({static_cast<double>(x), std::sin(x * 0.01) * 30000});
  const PixelScale columns(0, 4095, 6, 720, 1), rows(-32768, 32768, 205, 201, -1);
  std::vector<QPoint> out;
  PreparePolyline(points, columns, rows, out);
  const QPoint* storage = out.data();
  PreparePolyline(points, columns, rows, out);
  EXPECT_EQ(out.data(), storage);
}

// --- The whole polyline -----------------------------------------------------

using Trace = double (*)(int x, int n);

struct TraceCase {
  const char* name;
  Trace trace;
  int n;
};

void PrintTo(const TraceCase& c, std::ostream* os) { *os << c.name; }

double FullLevel12k(int x, int) { return 32767.0 * std::sin(std::numbers::pi * 0.25 * x); }
double StartupMix(int x, int) {
  double sum = 0;
  for (int k = 1; k <= 8; ++k) sum += 16384.0 * std::sin(std::numbers::pi * x * 110.0 * k / 48000.0);
  return sum / 8;
}
double Tone880(int x, int) { return 16384.0 * std::sin(std::numbers::pi * x * 880.0 / 48000.0); }
double Ramp(int x, int n) { return -32767.0 + 65534.0 * x / std::max(n - 1, 1); }
double Constant(int, int) { return 1234.5; }
double RandomWalk(int x, int) {
  static std::vector<double> walk = [] {
    std::mt19937 random(3);
    std::vector<double> w{0.0};
    for (int i = 1; i < 40000; ++i) {
      w.push_back(std::clamp(w.back() + std::normal_distribution<double>(0, 900)(random), -32767.0, 32767.0));
    }
    return w;
  }();
  return walk[static_cast<std::size_t>(x)];
}

class WholePolyline : public testing::TestWithParam<TraceCase> {
 protected:
  void SetUp() override {
    const TraceCase& c = GetParam();
    for (int x = 0; x < c.n; ++x) points.push_back({static_cast<double>(x), c.trace(x, c.n)});
    for (const TChartPoint& p : points) every.emplace_back(columns(p.X), rows(p.Y));
    PreparePolyline(points, columns, rows, reduced);
  }
  const PixelScale columns{0, static_cast<double>(GetParam().n - 1), 6, 720, 1};
  const PixelScale rows{-32768, 32768, 205, 201, -1};
  std::vector<TChartPoint> points;
  std::vector<QPoint> every;  // every point on its pixel
  std::vector<QPoint> reduced;
};

// What one column of a polyline covers: where it enters and leaves and the
// rows between its highest and lowest point (its segments inside the column
// are vertical, so they cover exactly that span).
struct ColumnCover {
  int column, first, last, highest, lowest;
  std::size_t points;
  bool operator==(const ColumnCover&) const = default;
};

std::vector<ColumnCover> Columns(const std::vector<QPoint>& polyline) {
  std::vector<ColumnCover> columns;
  for (const QPoint& p : polyline) {
    if (columns.empty() || columns.back().column != p.x()) {
      columns.push_back({p.x(), p.y(), p.y(), p.y(), p.y(), 0});
    }
    ColumnCover& c = columns.back();
    c.last = p.y();
    c.highest = std::min(c.highest, p.y());
    c.lowest = std::max(c.lowest, p.y());
    ++c.points;
  }
  return columns;
}

// Same columns in the same order, each entered and left at the same pixel
// and covering the same rows: the segments between columns are the same and
// those inside a column cover the same span, so the two polylines cover the
// same set of points.
TEST_P(WholePolyline, CoversWhatEveryPointCovers) {
  std::vector<ColumnCover> expected = Columns(every);
  std::vector<ColumnCover> got = Columns(reduced);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    const std::size_t kept = got[i].points;
    got[i].points = expected[i].points = 0;
    EXPECT_EQ(got[i], expected[i]) << "column " << expected[i].column;
    EXPECT_LE(kept, static_cast<std::size_t>(kWholeRun));
  }
}

// No point is invented: the reduced polyline runs through a subset of the
// points, in their order; and a column of up to four points keeps them all.
TEST_P(WholePolyline, IsEveryPointLessSomeInsideLongRuns) {
  std::size_t at = 0;
  for (const QPoint& p : reduced) {
    while (at < every.size() && every[at] != p) ++at;
    ASSERT_LT(at, every.size()) << "point " << p.x() << "," << p.y() << " is not among the points in order";
    ++at;
  }
  const std::vector<ColumnCover> all = Columns(every);
  std::size_t start = 0, reducedStart = 0;
  for (const ColumnCover& column : all) {
    if (column.points <= static_cast<std::size_t>(kWholeRun)) {
      for (std::size_t k = 0; k < column.points; ++k) ASSERT_EQ(reduced[reducedStart + k], every[start + k]);
    }
    start += column.points;
    while (reducedStart < reduced.size() && reduced[reducedStart].x() == column.column) ++reducedStart;
  }
}

INSTANTIATE_TEST_SUITE_P(Traces, WholePolyline,
                         testing::Values(TraceCase{"full_level_12k_dense", FullLevel12k, 32768},
                                         TraceCase{"full_level_12k_sparse", FullLevel12k, 64},
                                         TraceCase{"startup_mix_dense", StartupMix, 32768},
                                         TraceCase{"startup_mix_one_to_two_per_column", StartupMix, 1024},
                                         TraceCase{"tone_880_five_per_column", Tone880, 3600},
                                         TraceCase{"random_walk", RandomWalk, 40000}, TraceCase{"ramp", Ramp, 32768},
                                         TraceCase{"constant", Constant, 32768},
                                         TraceCase{"single_point", Constant, 1}),
                         [](const testing::TestParamInfo<TraceCase>& p) { return p.param.name; });

TEST(WholePolylineSmall, UpToFourPointsPerColumnIsTheVerySamePolyline) {
  std::vector<TChartPoint> points;
  for (int x = 0; x < 1024; ++x) points.push_back({static_cast<double>(x), StartupMix(x, 1024)});
  const PixelScale columns(0, 1023, 6, 720, 1), rows(-32768, 32768, 205, 201, -1);
  std::vector<QPoint> every, reduced;
  for (const TChartPoint& p : points) every.emplace_back(columns(p.X), rows(p.Y));
  PreparePolyline(points, columns, rows, reduced);
  EXPECT_EQ(reduced, every);
}

}  // namespace
