// The chart widget as the window sets it up: its pixels, the legend and its
// hover, the load bracket with its single render, the point storage, and
// settings and input it must survive or ignore.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <QWheelEvent>
#include <climits>
#include <cmath>
#include <limits>

#include "ChartTestSupport.h"

namespace {

using namespace chart_test;

const QColor kBackgroundColor(0, 64, 64);
constexpr int kGenerous = 5000;  // ms to wait for a paint that must come

// How far a pixel has gone from the background towards `color`: 0 for the
// background, 1 for the colour itself, judged on the channel they differ
// most in.
double Coverage(QColor pixel, QColor color) {
  const int channels[3][2] = {{pixel.red() - kBackgroundColor.red(), color.red() - kBackgroundColor.red()},
                              {pixel.green() - kBackgroundColor.green(), color.green() - kBackgroundColor.green()},
                              {pixel.blue() - kBackgroundColor.blue(), color.blue() - kBackgroundColor.blue()}};
  int best = 0;
  for (int c = 1; c < 3; ++c) {
    if (std::abs(channels[c][1]) > std::abs(channels[best][1])) best = c;
  }
  return static_cast<double>(channels[best][0]) / channels[best][1];
}

int CoveredPixels(const QImage& image, const QRect& area) {
  int covered = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) covered += QColor(image.pixel(x, y)) != kBackgroundColor;
  }
  return covered;
}

QColor SeriesColor(int series) { return ToQColor(kWindowSeries[static_cast<std::size_t>(series)].color); }

class ChartTest : public testing::Test {
 protected:
  void SetUp() override { chart = MakeWindowChart(); }

  void Show() {
    chart->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chart.get()));
    ASSERT_TRUE(WaitForRenders(1));
  }
  bool WaitForRenders(int count) {
    return QTest::qWaitFor([&] { return chart->PaintCount() >= count; }, kGenerous);
  }
  // Lets every posted event run, repaint requests included, without waiting.
  static void Settle() {
    for (int round = 0; round < 3; ++round) {
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
    }
  }

  QRect Plot() const { return chart->PlotRect(); }
  int Bottom() const { return Plot().top() + Plot().height(); }  // R.Bottom
  int Right() const { return Plot().left() + Plot().width(); }   // R.Right
  int MiddleRow() const { return Bottom() - static_cast<int>(std::nearbyint(Plot().height() / 2.0)); }

  std::unique_ptr<TChart> chart;
};

TEST_F(ChartTest, PlotRunsFromRowFourToRow205BesideTheLegend) {
  EXPECT_EQ(Plot().left(), 4);
  EXPECT_EQ(Plot().top(), 4);
  EXPECT_EQ(Bottom(), 205);
  EXPECT_EQ(Plot().height(), 201);
  EXPECT_EQ(MiddleRow(), 105);  // 205 - round(100.5), half to even
  EXPECT_EQ(Right(), chart->Legend().Box().left() - 801 * 3 / 100);
}

TEST_F(ChartTest, BackgroundEverywhereOutsideTracesAndLegend) {
  Load(*chart, StartupTones(1024));
  const QImage image = Pixels(*chart);
  for (const QPoint corner : {QPoint(0, 0), QPoint(808, 0), QPoint(0, 208), QPoint(808, 208)}) {
    EXPECT_EQ(QColor(image.pixel(corner)), kBackgroundColor) << corner.x() << "," << corner.y();
  }
  // Nothing is drawn in the margins or between the plot and the legend.
  for (int y = 0; y < image.height(); ++y) {
    for (const int x : {0, 3, Right(), Right() + 10}) EXPECT_EQ(QColor(image.pixel(x, y)), kBackgroundColor);
  }
}

class FirstPoint : public ChartTest, public testing::WithParamInterface<int> {};

// A trace of zeros lies on the plot's middle row and starts two pixels right
// of its left edge: fully there, and only there for a one-pixel pen; the
// two-pixel mix half covers the rows beside it.
TEST_P(FirstPoint, OfEveryTraceOnTheMiddleRow) {
  const int series = GetParam();
  Traces traces;
  traces[static_cast<std::size_t>(series)].assign(1024, 0.0);
  Load(*chart, traces);
  const QImage image = Pixels(*chart);
  const int column = Plot().left() + 2;
  const QColor color = SeriesColor(series);
  EXPECT_EQ(QColor(image.pixel(column, MiddleRow())), color);
  for (const int beside : {MiddleRow() - 1, MiddleRow() + 1}) {
    const double coverage = Coverage(image.pixel(column, beside), color);
    if (series == kMixSeries) {
      EXPECT_NEAR(coverage, 0.5, 0.1) << beside;
    } else {
      EXPECT_EQ(coverage, 0.0) << beside;
    }
  }
  EXPECT_EQ(QColor(image.pixel(column - 2, MiddleRow())), kBackgroundColor);
}

INSTANTIATE_TEST_SUITE_P(Series, FirstPoint, testing::Range(0, kSeriesCount),
                         [](const testing::TestParamInfo<int>& p) { return kWindowSeries[p.param].title; });

class TraceEnds : public ChartTest, public testing::WithParamInterface<int> {};

// A flat trace at 0 runs from two pixels right of the plot's left edge to
// two left of its right edge, whatever the number of points.
TEST_P(TraceEnds, TwoPixelsInsideThePlot) {
  Traces traces;
  traces[0].assign(static_cast<std::size_t>(GetParam()), 0.0);
  Load(*chart, traces);
  const QImage image = Pixels(*chart);
  const int row = MiddleRow();
  EXPECT_EQ(QColor(image.pixel(Plot().left() + 1, row)), kBackgroundColor);
  EXPECT_EQ(QColor(image.pixel(Plot().left() + 2, row)), SeriesColor(0));
  EXPECT_EQ(QColor(image.pixel(Right() - 2, row)), SeriesColor(0));
  EXPECT_EQ(QColor(image.pixel(Right() - 1, row)), kBackgroundColor);
}

INSTANTIATE_TEST_SUITE_P(Points, TraceEnds, testing::Values(64, 1024, 32768),
                         [](const testing::TestParamInfo<int>& p) { return "n" + std::to_string(p.param); });

// A full-level 12 kHz tone reaches 32767 and -32767: drawn on the plot's top
// and bottom rows, not cut off by the clip, and nothing beyond them.
TEST_F(ChartTest, ExtremeValuesOnTheTopAndBottomRows) {
  Load(*chart, FullLevelTone(1024));
  const QImage image = Pixels(*chart);
  auto coveredInRow = [&](int y) {
    int covered = 0;
    for (int x = Plot().left(); x < Right(); ++x) covered += QColor(image.pixel(x, y)) != kBackgroundColor;
    return covered;
  };
  EXPECT_GT(coveredInRow(Plot().top()), 100);
  EXPECT_GT(coveredInRow(Bottom()), 100);
  EXPECT_EQ(coveredInRow(Plot().top() - 1), 0);
  EXPECT_EQ(coveredInRow(Bottom() + 1), 0);
}

// Series drawn over a trace that runs far outside the scale stop one row
// beyond the plot, and leave the margins alone.
TEST_F(ChartTest, SeriesClippedOneRowBeyondThePlot) {
  Traces traces;
  for (int x = 0; x < 64; ++x) traces[0].push_back(x % 2 ? 1e6 : -1e6);
  Load(*chart, traces);
  const QImage image = Pixels(*chart);
  for (int x = Plot().left(); x < Right(); ++x) {
    EXPECT_EQ(QColor(image.pixel(x, Plot().top() - 2)), kBackgroundColor) << x;
    EXPECT_EQ(QColor(image.pixel(x, Bottom() + 2)), kBackgroundColor) << x;
  }
  int coveredBeside = 0;
  for (int x = Plot().left(); x < Right(); ++x) {
    coveredBeside += QColor(image.pixel(x, Plot().top() - 1)) != kBackgroundColor;
    coveredBeside += QColor(image.pixel(x, Bottom() + 1)) != kBackgroundColor;
  }
  EXPECT_GT(coveredBeside, 0);
}

// --- Legend -------------------------------------------------------------

int RowsOfColor(const QImage& image, int x, int top, int bottom, QColor color) {
  int rows = 0;
  for (int y = top; y <= bottom; ++y) rows += QColor(image.pixel(x, y)) == color;
  return rows;
}

// Pixels of an entry's title area with the given look.
template <class Predicate>
int TitlePixels(const QImage& image, const LegendLayout& legend, int entry, Predicate predicate) {
  const QRect title(legend.TitleOrigin(entry), QPoint(legend.Box().right() - 1, legend.EntryRect(entry).bottom()));
  int count = 0;
  for (int y = title.top(); y <= title.bottom(); ++y) {
    for (int x = title.left(); x <= title.right(); ++x) count += predicate(QColor(image.pixel(x, y)));
  }
  return count;
}

bool IsDark(QColor c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; }
bool IsRed(QColor c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; }

TEST_F(ChartTest, LegendListsTheSeriesTopToBottomInTheirColoursAndWidths) {
  const QImage image = Pixels(*chart);
  const LegendLayout legend = chart->Legend();
  ASSERT_EQ(legend.ShownEntries(), kSeriesCount);
  for (int s = 0; s < kSeriesCount; ++s) {
    const QRect line = legend.SymbolLine(s, kWindowSeries[static_cast<std::size_t>(s)].penWidth);
    const QRect entry = legend.EntryRect(s);
    if (s > 0) {
      ASSERT_GT(entry.top(), legend.EntryRect(s - 1).bottom());
    }
    EXPECT_EQ(QColor(image.pixel(line.center())), SeriesColor(s)) << s;
    const int middle = line.left() + line.width() / 2;
    EXPECT_EQ(RowsOfColor(image, middle, entry.top(), entry.bottom(), SeriesColor(s)), s == kMixSeries ? 2 : 1) << s;
    EXPECT_GT(TitlePixels(image, legend, s, IsDark), 10) << s;
    EXPECT_EQ(TitlePixels(image, legend, s, IsRed), 0) << s;
  }
}

TEST_F(ChartTest, LegendIsAWhiteFramedBoxWithAHalfDarkShadow) {
  const QImage image = Pixels(*chart);
  const QRect box = chart->Legend().Box();
  EXPECT_EQ(box.top(), 24);
  EXPECT_EQ(box.left() + box.width(), 801);
  for (const QPoint corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
    EXPECT_EQ(QColor(image.pixel(corner)), QColor(0, 0, 0));
  }
  EXPECT_EQ(QColor(image.pixel(box.left() + 2, box.top() + 1)), QColor(255, 255, 255));
  EXPECT_EQ(QColor(image.pixel(box.right() + 1, box.top() + 2)), kBackgroundColor);
  EXPECT_EQ(QColor(image.pixel(box.left() + 2, box.bottom() + 1)), kBackgroundColor);
  const QColor shadow(0, 32, 32);
  for (const QPoint p : {QPoint(box.right() + 3, box.bottom() + 3), QPoint(box.right() + 1, box.top() + 3),
                         QPoint(box.left() + 3, box.bottom() + 1)}) {
    const QColor got(image.pixel(p));
    EXPECT_NEAR(got.green(), shadow.green(), 1) << p.x() << "," << p.y();
    EXPECT_NEAR(got.blue(), shadow.blue(), 1) << p.x() << "," << p.y();
    EXPECT_EQ(got.red(), 0);
  }
}

TEST_F(ChartTest, HoveredTitleTurnsRedAndBackWithOneRenderEach) {
  Show();
  const LegendLayout legend = chart->Legend();
  constexpr int kGen5 = 4;
  int renders = chart->PaintCount();

  QTest::mouseMove(chart.get(), legend.EntryRect(kGen5).center());
  ASSERT_TRUE(WaitForRenders(++renders));
  EXPECT_EQ(chart->HoveredEntry(), kGen5);
  QImage image = Pixels(*chart);
  EXPECT_GT(TitlePixels(image, legend, kGen5, IsRed), 10);
  EXPECT_EQ(TitlePixels(image, legend, kGen5, IsDark), 0);
  EXPECT_EQ(TitlePixels(image, legend, kGen5 + 1, IsRed), 0);

  // Within the same entry nothing changes.
  QTest::mouseMove(chart.get(), legend.EntryRect(kGen5).topLeft() + QPoint(1, 1));
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders);

  QTest::mouseMove(chart.get(), Plot().center());
  ASSERT_TRUE(WaitForRenders(++renders));
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders);
  EXPECT_EQ(chart->HoveredEntry(), -1);
  image = Pixels(*chart);
  EXPECT_EQ(TitlePixels(image, legend, kGen5, IsRed), 0);
  EXPECT_GT(TitlePixels(image, legend, kGen5, IsDark), 10);

  // Leaving the chart from an entry also turns it black.
  QTest::mouseMove(chart.get(), legend.EntryRect(kMixSeries).center());
  ASSERT_TRUE(WaitForRenders(++renders));
  EXPECT_EQ(chart->HoveredEntry(), kMixSeries);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(chart.get(), &leave);
  ASSERT_TRUE(WaitForRenders(++renders));
  EXPECT_EQ(chart->HoveredEntry(), -1);
  EXPECT_EQ(TitlePixels(Pixels(*chart), legend, kMixSeries, IsRed), 0);
}

// --- Loading ------------------------------------------------------------

class Refresh : public ChartTest, public testing::WithParamInterface<int> {};

// The window's refresh (open, clear, add, close on all nine series) renders
// nothing while it runs and exactly once afterwards, whatever the number of
// points.
TEST_P(Refresh, RendersOnceAfterTheLoad) {
  Show();
  const Traces traces = StartupTones(GetParam());
  const int before = chart->PaintCount();
  Load(*chart, traces);
  EXPECT_EQ(chart->PaintCount(), before);
  ASSERT_TRUE(WaitForRenders(before + 1));
  Settle();
  EXPECT_EQ(chart->PaintCount(), before + 1);
  for (int s = 0; s < kSeriesCount; ++s) EXPECT_EQ(chart->Series(s).Count(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Points, Refresh, testing::Values(64, 1024, 32768),
                         [](const testing::TestParamInfo<int>& p) { return "n" + std::to_string(p.param); });

TEST_F(ChartTest, PaintsWithoutChangesCopyThePictureOnly) {
  Load(*chart, StartupTones(1024));
  Show();
  Settle();
  const int renders = chart->PaintCount();
  const QImage first = Pixels(*chart);
  chart->repaint();
  chart->update();
  Settle();
  EXPECT_EQ(Pixels(*chart), first);
  EXPECT_EQ(chart->PaintCount(), renders);
}

TEST_F(ChartTest, LoadingAfterReserveNeverMovesTheStorage) {
  std::vector<const TChartPoint*> storage;
  for (int s = 0; s < kSeriesCount; ++s) storage.push_back(chart->Series(s).Points().data());
  const Traces traces = StartupTones(32768);
  Load(*chart, traces);
  Load(*chart, traces);
  for (int s = 0; s < kSeriesCount; ++s) {
    EXPECT_EQ(chart->Series(s).Points().data(), storage[static_cast<std::size_t>(s)]) << s;
    EXPECT_EQ(chart->Series(s).Count(), 32768);
  }
}

struct AddCase {
  const char* name;
  double x, y;
  int index;  // -1: refused
  std::vector<double> xs;
};

void PrintTo(const AddCase& c, std::ostream* os) { *os << c.name; }

class AddXY : public ChartTest, public testing::WithParamInterface<AddCase> {};

// Points 0, 1, 2, 3 are there; one more is added.
TEST_P(AddXY, KeepsXAscendingAndRefusesNonNumbers) {
  TFastLineSeries& series = chart->Series(0);
  for (int x = 0; x < 4; ++x) series.AddXY(x, 10.0 * x);
  const AddCase& c = GetParam();
  EXPECT_EQ(series.AddXY(c.x, c.y), c.index);
  std::vector<double> xs;
  for (const TChartPoint& p : series.Points()) xs.push_back(p.X);
  EXPECT_EQ(xs, c.xs);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Points, AddXY,
                         testing::Values(AddCase{"next_appended", 4, 0, 4, {0, 1, 2, 3, 4}},
                                         AddCase{"equal_x_after_the_last", 3, 0, 4, {0, 1, 2, 3, 3}},
                                         AddCase{"lower_x_in_order", 1.5, 0, 2, {0, 1, 1.5, 2, 3}},
                                         AddCase{"equal_to_an_inner_x_after_it", 1, 0, 2, {0, 1, 1, 2, 3}},
                                         AddCase{"below_all", -1, 0, 0, {-1, 0, 1, 2, 3}},
                                         AddCase{"x_not_a_number", kNaN, 0, -1, {0, 1, 2, 3}},
                                         AddCase{"y_not_a_number", 4, kNaN, -1, {0, 1, 2, 3}},
                                         AddCase{"x_infinite", kInf, 0, -1, {0, 1, 2, 3}},
                                         AddCase{"y_infinite", 4, -kInf, -1, {0, 1, 2, 3}}),
                         [](const testing::TestParamInfo<AddCase>& p) { return p.param.name; });

TEST_F(ChartTest, PointsOutsideTheBracketAskForARepaint) {
  Show();
  int renders = chart->PaintCount();
  chart->Series(0).AddXY(0, 0);
  ASSERT_TRUE(WaitForRenders(++renders));
  chart->Series(0).Clear();
  ASSERT_TRUE(WaitForRenders(++renders));
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders);
}

// Points added inside BeginUpdate .. EndUpdate wait for the last EndUpdate;
// that one asks for the repaint even when no Clear came before.
TEST_F(ChartTest, BracketHoldsTheRepaintUntilItsLastEnd) {
  Show();
  const int renders = chart->PaintCount();
  TFastLineSeries& series = chart->Series(0);
  series.BeginUpdate();
  series.BeginUpdate();
  for (int x = 0; x < 100; ++x) series.AddXY(x, 300.0 * x);
  series.EndUpdate();
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders);
  EXPECT_EQ(series.UpdateCount(), 1);
  series.EndUpdate();
  ASSERT_TRUE(WaitForRenders(renders + 1));
  EXPECT_GT(CoveredPixels(Pixels(*chart), Plot()), 100);

  // An unmatched EndUpdate does nothing.
  series.EndUpdate();
  EXPECT_EQ(series.UpdateCount(), 0);
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders + 1);
}

// The chart's own bracket gathers the requests of its settings and of every
// series (a Clear asks whatever the series' counter) into one, at its last
// end; a bracket in which nothing changed asks for nothing.
TEST_F(ChartTest, ChartBracketTurnsEveryRequestInsideIntoOne) {
  const int requests = chart->RepaintRequestCount();
  chart->EndUpdate();  // unmatched: nothing
  chart->BeginUpdate();
  chart->BeginUpdate();
  chart->SetColor(0x102030);
  for (int s = 0; s < kSeriesCount; ++s) chart->Series(s).Clear();
  chart->EndUpdate();
  EXPECT_EQ(chart->RepaintRequestCount(), requests);
  chart->EndUpdate();
  EXPECT_EQ(chart->RepaintRequestCount(), requests + 1);
  chart->BeginUpdate();
  chart->EndUpdate();
  EXPECT_EQ(chart->RepaintRequestCount(), requests + 1);
  chart->Series(0).Clear();  // outside the bracket: asks at once
  EXPECT_EQ(chart->RepaintRequestCount(), requests + 2);
}

// --- Settings -----------------------------------------------------------

TEST_F(ChartTest, SettersStoreCompareAndRepaint) {
  Show();
  int renders = chart->PaintCount();
  chart->SetColor(kBackground);
  chart->SetMargins(4, 4, 4, 4);
  chart->SetVerticalRange(-kRange, kRange);
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders);

  chart->SetColor(clYellow);
  ASSERT_TRUE(WaitForRenders(++renders));
  EXPECT_EQ(QColor(Pixels(*chart).pixel(0, 0)), QColor(255, 255, 0));

  chart->SetMargins(-5, INT_MIN, INT_MAX, 3);
  EXPECT_EQ(chart->Margins(), QMargins(0, 0, TChart::kMaxMargin, 3));
  ASSERT_TRUE(WaitForRenders(++renders));
}

struct RangeCase {
  const char* name;
  double minimum, maximum;
  bool accepted;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class VerticalRange : public ChartTest, public testing::WithParamInterface<RangeCase> {};

TEST_P(VerticalRange, TakesOnlyAFiniteIncreasingRange) {
  const RangeCase& c = GetParam();
  chart->SetVerticalRange(c.minimum, c.maximum);
  EXPECT_EQ(chart->VerticalMinimum(), c.accepted ? c.minimum : -kRange);
  EXPECT_EQ(chart->VerticalMaximum(), c.accepted ? c.maximum : kRange);
}

INSTANTIATE_TEST_SUITE_P(Ranges, VerticalRange,
                         testing::Values(RangeCase{"unsigned_samples", 0, 65536, true},
                                         RangeCase{"tiny", 0, 1e-300, true}, RangeCase{"empty", 1, 1, false},
                                         RangeCase{"reversed", 2, 1, false},
                                         RangeCase{"minimum_not_a_number", kNaN, 1, false},
                                         RangeCase{"maximum_infinite", 0, kInf, false},
                                         RangeCase{"width_overflows", -1e308, 1e308, false}),
                         [](const testing::TestParamInfo<RangeCase>& p) { return p.param.name; });

TEST_F(ChartTest, VerticalRangeMovesTheTraces) {
  chart->SetVerticalRange(0, 65536);
  Traces traces;
  traces[0].assign(64, 0.0);
  Load(*chart, traces);
  EXPECT_EQ(QColor(Pixels(*chart).pixel(Plot().center().x(), Bottom())), SeriesColor(0));
}

TEST_F(ChartTest, PenWidthsAreClamped) {
  EXPECT_EQ(chart->AddSeries("thin", clRed, 0).PenWidth(), 1);
  EXPECT_EQ(chart->AddSeries("negative", clRed, -7).PenWidth(), 1);
  EXPECT_EQ(chart->AddSeries("huge", clRed, 1000).PenWidth(), TChart::kMaxPenWidth);
}

struct HostileCase {
  const char* name;
  QSize size;
  QMargins margins;
  double value;
  int points;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class HostileInput : public ChartTest, public testing::WithParamInterface<HostileCase> {};

// Whatever the size, margins and values, rendering finishes, draws nothing
// outside the control, and (under the sanitizers) touches no memory it
// should not.
TEST_P(HostileInput, RendersSafely) {
  const HostileCase& c = GetParam();
  chart->resize(c.size);
  chart->SetMargins(c.margins.left(), c.margins.top(), c.margins.right(), c.margins.bottom());
  chart->AddSeries("wide", clRed, TChart::kMaxPenWidth).AddXY(0, c.value);
  Traces traces;
  for (int x = 0; x < c.points; ++x) {
    for (const int s : {0, kMixSeries}) traces[static_cast<std::size_t>(s)].push_back(x % 3 ? c.value : -c.value);
  }
  Load(*chart, traces);
  const QImage image = Pixels(*chart);
  EXPECT_EQ(image.size(), c.size.expandedTo(QSize(0, 0)));
  EXPECT_GE(chart->PlotRect().width(), 0);
  EXPECT_GE(chart->PlotRect().height(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileInput,
    testing::Values(HostileCase{"no_size", QSize(0, 0), QMargins(4, 4, 4, 4), 0, 64},
                    HostileCase{"one_pixel", QSize(1, 1), QMargins(4, 4, 4, 4), 0, 64},
                    HostileCase{"smaller_than_the_legend", QSize(40, 30), QMargins(4, 4, 4, 4), 1000, 64},
                    HostileCase{"margins_larger_than_the_chart", QSize(809, 209), QMargins(500, 150, 500, 150), 0, 64},
                    HostileCase{"huge_margins", QSize(809, 209), QMargins(INT_MAX, INT_MAX, INT_MAX, INT_MAX), 0, 64},
                    HostileCase{"values_far_outside", QSize(809, 209), QMargins(4, 4, 4, 4), 1e300, 32768},
                    HostileCase{"largest_double", QSize(809, 209), QMargins(4, 4, 4, 4),
                                std::numeric_limits<double>::max(), 1000},
                    HostileCase{"single_point", QSize(809, 209), QMargins(4, 4, 4, 4), 5, 1}),
    [](const testing::TestParamInfo<HostileCase>& p) { return p.param.name; });

// --- Input --------------------------------------------------------------

// Clicks, double clicks, the wheel and keys change nothing; the chart takes
// the focus through Tab only.
TEST_F(ChartTest, TakesTheFocusByTabAndIgnoresEverythingElse) {
  QWidget window;
  auto* before = new QLineEdit(&window);
  chart->setParent(&window);
  const auto giveBack = qScopeGuard([&] { chart->setParent(nullptr); });  // the fixture owns the chart
  chart->move(0, 30);
  window.resize(820, 260);
  Load(*chart, StartupTones(1024));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  before->setFocus();
  Settle();
  EXPECT_EQ(chart->focusPolicy(), Qt::TabFocus);
  const QImage picture = Pixels(*chart);
  const int renders = chart->PaintCount();

  for (const QPoint at : {Plot().center(), chart->Legend().Box().center()}) {
    QTest::mouseClick(chart.get(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseClick(chart.get(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseDClick(chart.get(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mousePress(chart.get(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(chart.get(), at + QPoint(-60, 20));  // a drag: no zoom, no panning
    QTest::mouseRelease(chart.get(), Qt::LeftButton, Qt::NoModifier, at + QPoint(-60, 20));
    QWheelEvent wheel(at, chart->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart.get(), &wheel);
  }
  QTest::mouseMove(chart.get(), Plot().center());
  Settle();
  EXPECT_FALSE(chart->hasFocus());

  QTest::keyClick(before, Qt::Key_Tab);
  ASSERT_TRUE(chart->hasFocus());
  for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Plus, Qt::Key_Minus,
                            Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Space, Qt::Key_Return}) {
    QTest::keyClick(chart.get(), key);
  }
  Settle();
  EXPECT_EQ(chart->PaintCount(), renders);
  EXPECT_EQ(Pixels(*chart), picture);
}

TEST(ChartDeathTest, SeriesOutsideTheListEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto chart = MakeWindowChart();
  EXPECT_DEATH(chart->Series(kSeriesCount), "outside 0 .. 8");
  EXPECT_DEATH(chart->Series(-1), "outside 0 .. 8");
}

}  // namespace
