// Legend geometry from the chart rectangle and the text measurements.
#include <gtest/gtest.h>

#include "LegendLayout.h"

namespace {

// The window's chart rectangle (809 x 209 less 4 on every side) and the
// legend font's measurements on this platform (Liberation Sans, 11 pixels).
const QRect kWindowChart(4, 4, 801, 201);
constexpr LegendMetrics kWindowMetrics{12, 3, 27};

struct LayoutCase {
  const char* name;
  QRect chart;
  int entries;
  LegendMetrics metrics;
  QRect box;
  int shown;
  int plotWidth;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, PlacesTheBoxAndLeavesThePlot) {
  const LayoutCase& c = GetParam();
  const LegendLayout legend(c.chart, c.entries, c.metrics);
  EXPECT_EQ(legend.Box(), c.box);
  EXPECT_EQ(legend.ShownEntries(), c.shown);
  EXPECT_EQ(legend.PlotRect(), QRect(c.chart.left(), c.chart.top(), c.plotWidth, std::max(c.chart.height(), 0)));
}

// Top = chart top + round(10 % of its height) (201 -> 20.1 -> 20, so 24);
// right edge = chart right - 3 - 1; width = widest + blank + item + 7;
// height = item x entries + 2 x round(item / 10) + 1 + 2; the plot ends
// 3 % of the chart width (801 -> 24) left of the box.
INSTANTIATE_TEST_SUITE_P(
    Charts, Layout,
    testing::Values(
        LayoutCase{"window", kWindowChart, 9, kWindowMetrics, QRect(752, 24, 49, 113), 9, 724},
        LayoutCase{"margin_half_rounds_to_even_up", kWindowChart, 9, {15, 3, 27}, QRect(749, 24, 52, 142), 9, 721},
        LayoutCase{"margin_half_rounds_to_even_down", kWindowChart, 9, {25, 3, 27}, QRect(739, 24, 62, 182), 7, 711},
        LayoutCase{"low_chart_shows_what_fits", QRect(4, 4, 801, 60), 9, kWindowMetrics, QRect(752, 10, 49, 53), 4,
                   724},
        LayoutCase{"no_room_for_an_entry_top_half_to_even", QRect(4, 4, 801, 5), 9, kWindowMetrics,
                   QRect(752, 4, 49, 5), 0, 724},
        LayoutCase{"nonsense_measures_clamped", kWindowChart, 9, {-5, -3, -27}, QRect(793, 24, 8, 12), 9, 765},
        LayoutCase{"narrow_chart_leaves_no_plot", QRect(4, 4, 30, 201), 9, kWindowMetrics, QRect(-19, 24, 49, 113), 9,
                   0}),
    [](const testing::TestParamInfo<LayoutCase>& p) { return p.param.name; });

TEST(Layout, EntriesRunTopToBottomWithSymbolAndTitle) {
  const LegendLayout legend(kWindowChart, 9, kWindowMetrics);
  for (int r = 0; r < 9; ++r) {
    const int top = 24 + 1 + 1 + 12 * r;
    EXPECT_EQ(legend.EntryRect(r), QRect(752, top, 49, 12)) << r;
    // A square of side 8, 6 in from the box, 2 below the entry top; the
    // line through its middle.
    EXPECT_EQ(legend.SymbolLine(r, 1), QRect(758, top + 2 + 3, 8, 1)) << r;
    EXPECT_EQ(legend.TitleOrigin(r), QPoint(752 + 12 + 7, top)) << r;
  }
}

TEST(Layout, SymbolLineAsThickAsThePenUpToHalfTheSquare) {
  const LegendLayout legend(kWindowChart, 9, kWindowMetrics);
  const int squareTop = 26 + 2;
  EXPECT_EQ(legend.SymbolLine(0, 2), QRect(758, squareTop + 3, 8, 2));
  EXPECT_EQ(legend.SymbolLine(0, 4), QRect(758, squareTop + 2, 8, 4));
  EXPECT_EQ(legend.SymbolLine(0, 64), QRect(758, squareTop + 2, 8, 4));
  EXPECT_EQ(legend.SymbolLine(0, 0), QRect(758, squareTop + 3, 8, 1));
  EXPECT_TRUE(LegendLayout(kWindowChart, 9, {4, 3, 27}).SymbolLine(0, 1).isEmpty());  // no square left
}

TEST(Layout, FindsTheEntryUnderThePointer) {
  const LegendLayout legend(kWindowChart, 9, kWindowMetrics);
  EXPECT_EQ(legend.EntryAt(QPoint(752, 26)), 0);
  EXPECT_EQ(legend.EntryAt(QPoint(800, 26 + 12 * 4 + 11)), 4);
  EXPECT_EQ(legend.EntryAt(QPoint(770, 26 + 12 * 8)), 8);
  EXPECT_EQ(legend.EntryAt(QPoint(770, 25)), -1);           // frame and margin above the first entry
  EXPECT_EQ(legend.EntryAt(QPoint(770, 26 + 12 * 9)), -1);  // below the last
  EXPECT_EQ(legend.EntryAt(QPoint(751, 30)), -1);           // left of the box
  EXPECT_EQ(legend.EntryAt(QPoint(801, 30)), -1);           // right of it
  EXPECT_EQ(LegendLayout(QRect(4, 4, 801, 60), 9, kWindowMetrics).EntryAt(QPoint(770, 12 + 12 * 5)), -1);  // not shown
}

}  // namespace
