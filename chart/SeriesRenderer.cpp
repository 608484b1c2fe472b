// Mapping, reduction and stroking of the chart's series.
#include "SeriesRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <cstring>
#include <latch>
#include <limits>
#include <system_error>
#include <thread>
#include <utility>

#include "ChartPoints.h"
#include "PolylineStrips.h"

namespace {

// How far a pen of this width keeps its trace's ends inside the plot: half
// its width, rounded up for even widths, at least one pixel.
int EndInset(int penWidth) { return penWidth - (penWidth - 2) / 2; }

// Columns beside a point that its stroke can touch: points sit at column
// centres, so half the pen, rounded down.
int StrokeReach(int penWidth) { return penWidth / 2; }

// Rows a wide stroke may reach beyond the series clip and still matter.
int BandMargin(int penWidth) { return penWidth + 2; }

bool AllWithinRows(std::span<const QPoint> points, int top, int bottom) {
  return std::all_of(points.begin(), points.end(), [&](QPoint p) { return p.y() >= top && p.y() <= bottom; });
}

// The stretch of the segment from `from` to `to` that lies within rows
// top .. bottom, as parameters enter .. leave of 0 .. 1; empty when
// enter > leave.
std::pair<double, double> StretchWithinRows(QPointF from, QPointF to, int top, int bottom) {
  const double dy = to.y() - from.y();
  if (dy == 0.0) return from.y() >= top && from.y() <= bottom ? std::pair{0.0, 1.0} : std::pair{1.0, 0.0};
  const double atTop = (top - from.y()) / dy, atBottom = (bottom - from.y()) / dy;
  return {std::max(0.0, std::min(atTop, atBottom)), std::min(1.0, std::max(atTop, atBottom))};
}

// The parts of the polyline within rows top .. bottom, as subpaths of one
// path. Qt fills a wide stroke scanline by scanline along its whole length,
// clip or not, so a line to a point far off the plot would take seconds.
// Cut at rows that no stroke reaching the clip comes near, and filled as one
// outline like the polyline, the parts give the clip the same pixels.
QPainterPath PartsWithinRows(std::span<const QPoint> points, int top, int bottom) {
  QPainterPath path;
  bool open = false;  // the last segment ended inside: the next one continues its subpath
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const QPointF from = points[i], to = points[i + 1];
    const auto [enter, leave] = StretchWithinRows(from, to, top, bottom);
    if (enter > leave) {
      open = false;
      continue;
    }
    if (!open || enter > 0.0) path.moveTo(enter == 0.0 ? from : from + (to - from) * enter);
    path.lineTo(leave == 1.0 ? to : from + (to - from) * leave);
    open = leave == 1.0;
  }
  return path;
}

// Below this many plot columns one thread draws everything.
constexpr int kMinColumnsToSplit = 64;

bool SecondCoreAvailable() {
  static const bool available = std::thread::hardware_concurrency() >= 2;
  return available;
}

}  // namespace

void SeriesRenderer::Draw(QImage& picture, const QRect& plot, SeriesList series, double verticalMinimum,
                          double verticalMaximum) {
  FPolylines.resize(series.size());
  if (plot.isEmpty()) return;
  double first = std::numeric_limits<double>::infinity();
  double last = -first;
  int inset = 0;
  for (const auto& line : series) {
    inset = std::max(inset, EndInset(line->PenWidth()));
    if (line->Points().empty()) continue;
    first = std::min(first, line->Points().front().X);
    last = std::max(last, line->Points().back().X);
  }
  if (first > last) return;  // no points at all
  const PixelScale columns(first, last, plot.left() + inset, plot.width() - 2 * inset, +1);
  const PixelScale rows(verticalMinimum, verticalMaximum, plot.top() + plot.height(), plot.height(), -1);
  const QRect clip = QRect(plot.left(), plot.top() - 1, plot.width(), plot.height() + 3).intersected(picture.rect());
  if (clip.isEmpty()) return;

  if (clip.width() >= kMinColumnsToSplit && SecondCoreAvailable() &&
      DrawInTwoHalves(picture, clip, series, columns, rows)) {
    return;
  }
  Prepare(series, 0, 1, columns, rows);
  DrawColumns(picture, clip, clip.left(), clip.left() + clip.width(), series);
}

void SeriesRenderer::Prepare(SeriesList series, std::size_t first, std::size_t step, const PixelScale& columns,
                             const PixelScale& rows) {
  for (std::size_t s = first; s < series.size(); s += step) {
    PreparePolyline(series[s]->Points(), columns, rows, FPolylines[s]);
  }
}

bool SeriesRenderer::DrawInTwoHalves(QImage& picture, const QRect& clip, SeriesList series, const PixelScale& columns,
                                     const PixelScale& rows) {
  if (FLeftPicture.size() != picture.size() || FLeftPicture.format() != picture.format()) {
    FLeftPicture = QImage(picture.size(), picture.format());
  }
  if (FLeftPicture.isNull()) return false;
  std::memcpy(FLeftPicture.bits(), picture.constBits(), static_cast<std::size_t>(picture.sizeInBytes()));
  const int middle = clip.left() + clip.width() / 2;
  std::latch prepared(2);
  std::thread worker;
  try {
    worker = std::thread([&] {
      Prepare(series, 0, 2, columns, rows);
      prepared.arrive_and_wait();
      DrawColumns(FLeftPicture, clip, clip.left(), middle, series);
    });
  } catch (const std::system_error&) {
    return false;  // no thread to be had: the caller draws alone
  }
  Prepare(series, 1, 2, columns, rows);
  prepared.arrive_and_wait();
  DrawColumns(picture, clip, middle, clip.left() + clip.width(), series);
  worker.join();
  const int bytesPerPixel = picture.depth() / 8;
  const std::size_t offset = static_cast<std::size_t>(clip.left()) * bytesPerPixel;
  const std::size_t length = static_cast<std::size_t>(middle - clip.left()) * bytesPerPixel;
  for (int y = clip.top(); y <= clip.bottom(); ++y) {
    std::memcpy(picture.scanLine(y) + offset, FLeftPicture.constScanLine(y) + offset, length);
  }
  return true;
}

void SeriesRenderer::DrawColumns(QImage& target, const QRect& clip, int firstColumn, int endColumn,
                                 SeriesList series) const {
  QPainter painter(&target);
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (std::size_t s = 0; s < series.size(); ++s) {
    const std::vector<QPoint>& polyline = FPolylines[s];
    const int penWidth = series[s]->PenWidth();
    painter.setPen(QPen(ToQColor(series[s]->SeriesColor()), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const bool thin = penWidth <= 1;
    PolylineStrips strips(polyline, firstColumn, endColumn, thin ? endColumn - firstColumn : kStripColumns,
                          StrokeReach(penWidth));
    const int bandTop = clip.top() - BandMargin(penWidth), bandBottom = clip.bottom() + BandMargin(penWidth);
    PolylineStrip strip{};
    while (strips.Next(strip)) {
      painter.setTransform(QTransform());
      painter.setClipRect(thin ? clip : QRect(strip.firstColumn, clip.top(), strip.width, clip.height()));
      // Points at pixel centres: a one-pixel line between integer points
      // covers exactly its own pixels.
      painter.setTransform(QTransform::fromTranslate(0.5, 0.5));
      const std::span<const QPoint> part(polyline.data() + strip.first, strip.last - strip.first + 1);
      // Qt clips one-pixel lines itself, quickly.
      if (thin || AllWithinRows(part, bandTop, bandBottom)) {
        painter.drawPolyline(part.data(), static_cast<int>(part.size()));
      } else {
        painter.drawPath(PartsWithinRows(part, bandTop, bandBottom));
      }
    }
  }
}
