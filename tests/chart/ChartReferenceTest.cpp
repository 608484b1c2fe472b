// The chart's picture against slow references that stroke every point of
// every series: the reduction of dense columns must not change what is
// covered.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include "ChartPoints.h"
#include "ChartTestSupport.h"

namespace {

using namespace chart_test;

const QColor kBackgroundColor(0, 64, 64);

QRect SeriesClip(const QRect& plot) { return QRect(plot.left(), plot.top() - 1, plot.width(), plot.height() + 3); }

QPen PenOf(const TFastLineSeries& series) {
  return QPen(ToQColor(series.SeriesColor()), series.PenWidth(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Every point of a series on its pixel, mapped here from the plot rectangle
// with the rules written out: columns 2 inside both ends, rows from the
// bottom edge, halves to even.
std::vector<QPoint> EveryPoint(const TFastLineSeries& series, const QRect& plot) {
  std::vector<QPoint> line;
  const double last = series.Points().back().X;
  for (const TChartPoint& p : series.Points()) {
    const double column = std::nearbyint(p.X * (plot.width() - 4) / last);
    const double row = std::nearbyint((p.Y + kRange) * plot.height() / (2 * kRange));
    line.emplace_back(plot.left() + 2 + static_cast<int>(column), plot.top() + plot.height() - static_cast<int>(row));
  }
  return line;
}

using Stroke = void (*)(QPainter&, const QPen&, const QPoint*, int);

void DrawPolyline(QPainter& painter, const QPen& pen, const QPoint* points, int count) {
  painter.setPen(pen);
  painter.drawPolyline(points, count);
}

// The stroke's outline filled in one piece: what QPainter does itself for
// pens wider than one pixel.
void FillOutline(QPainter& painter, const QPen& pen, const QPoint* points, int count) {
  QPainterPath path(points[0]);
  for (int i = 1; i < count; ++i) path.lineTo(points[i]);
  painter.fillPath(QPainterPathStroker(pen).createStroke(path), pen.color());
}

// The chart's own picture with the series area painted again from the
// background, each series stroked in one call through `polylineOf`.
template <class PolylineOf>
QImage Redrawn(TChart& chart, PolylineOf polylineOf, Stroke stroke) {
  QImage image = Pixels(chart);
  const QRect clip = SeriesClip(chart.PlotRect());
  QPainter painter(&image);
  painter.fillRect(clip, kBackgroundColor);
  painter.setClipRect(clip);
  painter.translate(0.5, 0.5);
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (int s = 0; s < chart.SeriesCount(); ++s) {
    const TFastLineSeries& series = chart.Series(s);
    if (series.Count() < 2) continue;
    const std::vector<QPoint> line = polylineOf(series);
    stroke(painter, PenOf(series), line.data(), static_cast<int>(line.size()));
  }
  return image;
}

QImage EveryPointReference(TChart& chart, Stroke stroke = DrawPolyline) {
  const QRect plot = chart.PlotRect();
  return Redrawn(
      chart, [&](const TFastLineSeries& s) { return EveryPoint(s, plot); }, stroke);
}

// The reduced polyline of each series, stroked in one call per series.
QImage ReducedReference(TChart& chart) {
  const QRect plot = chart.PlotRect();
  double last = 0;
  for (int s = 0; s < chart.SeriesCount(); ++s) {
    if (chart.Series(s).Count() > 0) last = std::max(last, chart.Series(s).Points().back().X);
  }
  const PixelScale columns(0, last, plot.left() + 2, plot.width() - 4, 1);
  const PixelScale rows(-kRange, kRange, plot.top() + plot.height(), plot.height(), -1);
  return Redrawn(
      chart,
      [&](const TFastLineSeries& s) {
        std::vector<QPoint> line;
        PreparePolyline(s.Points(), columns, rows, line);
        return line;
      },
      DrawPolyline);
}

struct Difference {
  int differing = 0;   // pixels that differ at all
  int maxChannel = 0;  // largest difference of one colour channel
  int onlyHere = 0;    // covered (not background) here, background in the reference
  int onlyThere = 0;   // the other way round
};

Difference Compare(const QImage& picture, const QImage& reference) {
  Difference d;
  const QRgb background = kBackgroundColor.rgb();
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb a = picture.pixel(x, y), b = reference.pixel(x, y);
      if (a == b) continue;
      ++d.differing;
      d.maxChannel = std::max(
          {d.maxChannel, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
      d.onlyHere += a != background && b == background;
      d.onlyThere += a == background && b != background;
    }
  }
  return d;
}

// The mix swinging past the scale, to rows beyond the clip: the chart cuts
// such strokes before Qt fills them.
Traces MixBeyondTheScale(int n) {
  Traces traces;
  for (int x = 0; x < n; ++x) traces[kMixSeries].push_back(40000.0 * std::sin(x * 0.05));
  return traces;
}

struct ReferenceCase {
  const char* name;
  Traces (*traces)(int);
  int n;
  // Measured differences to the every-point reference (Qt 6.4, this
  // platform); 0 where the pictures must be identical.
  int differing;
  int maxChannel;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.name; }

class AgainstEveryPoint : public testing::TestWithParam<ReferenceCase> {};

// Up to four points per column the chart draws the very same polyline: the
// picture is identical. Beyond that, the set of covered pixels is identical
// and only anti-aliasing differs: Qt draws a one-pixel pen segment by
// segment and blends each segment's half-covered ends on their own, so a
// pixel where two of the reference's short segments meet gets 75 % of the
// colour while the reduced polyline passes through it in one segment at
// 100 %; the mix's two-pixel pen is filled as an outline in which Qt adds up
// overlapping partial coverage, which differs at the turning points where
// the reference folds back on itself many times. With every trace:
//   start-up tones, N = 32768: 28430 of 169 081 pixels differ, at most 100
//   in one channel; the 12 kHz tone at full level: 2883, at most 47.
TEST_P(AgainstEveryPoint, CoversTheSamePixels) {
  const ReferenceCase& c = GetParam();
  auto chart = MakeWindowChart();
  Load(*chart, c.traces(c.n));
  const Difference d = Compare(Pixels(*chart), EveryPointReference(*chart));
  EXPECT_EQ(d.onlyHere, 0);
  EXPECT_EQ(d.onlyThere, 0);
  EXPECT_LE(d.differing, c.differing);
  EXPECT_LE(d.maxChannel, c.maxChannel);
}

INSTANTIATE_TEST_SUITE_P(Traces, AgainstEveryPoint,
                         testing::Values(ReferenceCase{"startup_64", StartupTones, 64, 0, 0},
                                         ReferenceCase{"startup_1024", StartupTones, 1024, 0, 0},
                                         ReferenceCase{"full_level_12k_64", FullLevelTone, 64, 0, 0},
                                         ReferenceCase{"startup_32768", StartupTones, 32768, 28430, 100},
                                         ReferenceCase{"full_level_12k_32768", FullLevelTone, 32768, 2883, 47}),
                         [](const testing::TestParamInfo<ReferenceCase>& p) { return p.param.name; });

class AgainstReduced : public testing::TestWithParam<ReferenceCase> {};

// Drawing strip by strip and half by half gives exactly the picture of one
// call per series.
TEST_P(AgainstReduced, IsTheReducedPolylineDrawnInOneCall) {
  const ReferenceCase& c = GetParam();
  auto chart = MakeWindowChart();
  Load(*chart, c.traces(c.n));
  const Difference d = Compare(Pixels(*chart), ReducedReference(*chart));
  EXPECT_EQ(d.differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Traces, AgainstReduced,
                         testing::Values(ReferenceCase{"startup_64", StartupTones, 64, 0, 0},
                                         ReferenceCase{"startup_1024", StartupTones, 1024, 0, 0},
                                         ReferenceCase{"startup_32768", StartupTones, 32768, 0, 0},
                                         ReferenceCase{"full_level_12k_32768", FullLevelTone, 32768, 0, 0},
                                         ReferenceCase{"mix_beyond_the_scale_64", MixBeyondTheScale, 64, 0, 0},
                                         ReferenceCase{"mix_beyond_the_scale_4096", MixBeyondTheScale, 4096, 0, 0}),
                         [](const testing::TestParamInfo<ReferenceCase>& p) { return p.param.name; });

// The shape itself: filled as outlines, the reduced and the every-point
// polylines of one-pixel traces give the same pixels, bit for bit.
TEST(SameOutline, OnePixelTracesFillIdentically) {
  using Generator = Traces (*)(int);
  for (const auto& [traces, n] : {std::pair<Generator, int>{StartupTones, 32768}, {FullLevelTone, 8192}}) {
    auto chart = MakeWindowChart();
    Traces oneWide = traces(n);
    oneWide[kMixSeries].clear();
    Load(*chart, oneWide);
    const QRect plot = chart->PlotRect();
    const PixelScale columns(0, n - 1, plot.left() + 2, plot.width() - 4, 1);
    const PixelScale rows(-kRange, kRange, plot.top() + plot.height(), plot.height(), -1);
    const QImage reduced = Redrawn(
        *chart,
        [&](const TFastLineSeries& s) {
          std::vector<QPoint> line;
          PreparePolyline(s.Points(), columns, rows, line);
          return line;
        },
        FillOutline);
    EXPECT_EQ(Compare(reduced, EveryPointReference(*chart, FillOutline)).differing, 0) << n;
  }
}

}  // namespace
