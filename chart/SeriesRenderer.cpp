// Mapping, reduction and stroking of the chart's series.
#include "SeriesRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <latch>
#include <limits>
#include <thread>
#include <utility>

#include "ChartPoints.h"
#include "DevicePixels.h"
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

std::atomic<SeriesRenderer::FaultHook> gFaultHook{nullptr};

void Enter(SeriesRenderer::Share share, SeriesRenderer::Stage stage) {
  if (const SeriesRenderer::FaultHook hook = gFaultHook.load(std::memory_order_acquire)) hook(share, stage);
}

// Gives `copy` the picture's size and format; false when there is no memory
// for it.
bool FitCopy(QImage& copy, const QImage& picture) {
  if (copy.size() != picture.size() || copy.format() != picture.format()) {
    copy = QImage(picture.size(), picture.format());
  }
  return !copy.isNull();
}

// Rows `clip.top() .. clip.bottom()` of the picture into the copy (which has
// its size and format), where the series are drawn.
void CopyRows(const QImage& picture, QImage& copy, const QRect& clip) {
  const auto length = static_cast<std::size_t>(picture.bytesPerLine()) * static_cast<std::size_t>(clip.height());
  std::memcpy(copy.scanLine(clip.top()), picture.constScanLine(clip.top()), length);
}

// Columns firstColumn .. endColumn - 1 of the rows of `clip` from a copy into
// the picture.
void CopyColumns(const QImage& copy, QImage& picture, const QRect& clip, int firstColumn, int endColumn) {
  const int bytesPerPixel = picture.depth() / 8;
  const auto offset = static_cast<std::size_t>(firstColumn) * static_cast<std::size_t>(bytesPerPixel);
  const auto length = static_cast<std::size_t>(endColumn - firstColumn) * static_cast<std::size_t>(bytesPerPixel);
  for (int y = clip.top(); y <= clip.bottom(); ++y) {
    std::memcpy(picture.scanLine(y) + offset, copy.constScanLine(y) + offset, length);
  }
}

}  // namespace

void SeriesRenderer::SetFaultHook(FaultHook hook) { gFaultHook.store(hook, std::memory_order_release); }

int SeriesRenderer::PenPixels(const TFastLineSeries& series) const {
  return FRatio == 1.0 ? series.PenWidth() : std::max(1, RoundToInt(series.PenWidth() * FRatio));
}

void SeriesRenderer::Draw(QImage& picture, const QRect& logicalPlot, SeriesList series, double verticalMinimum,
                          double verticalMaximum) noexcept {
  FRatio = picture.devicePixelRatio();
  const QRect plot = ToDevice(logicalPlot, FRatio);
  if (plot.isEmpty()) return;
  double first = std::numeric_limits<double>::infinity();
  double last = -first;
  int inset = 0;
  for (const auto& line : series) {
    inset = std::max(inset, EndInset(PenPixels(*line)));
    if (line->Points().empty()) continue;
    first = std::min(first, line->Points().front().X);
    last = std::max(last, line->Points().back().X);
  }
  if (first > last) return;  // no points at all
  const PixelScale columns(first, last, plot.left() + inset, plot.width() - 2 * inset, +1);
  const PixelScale rows(verticalMinimum, verticalMaximum, plot.top() + plot.height(), plot.height(), -1);
  const QRect logicalClip(logicalPlot.left(), logicalPlot.top() - 1, logicalPlot.width(), logicalPlot.height() + 3);
  const QRect clip = ToDevice(logicalClip, FRatio).intersected(picture.rect());
  if (clip.isEmpty()) return;
  try {
    FPolylines.resize(series.size());
  } catch (...) {
    return;  // no memory: no series
  }
  if (clip.width() >= kMinColumnsToSplit && SecondCoreAvailable() &&
      DrawInTwoHalves(picture, clip, series, columns, rows)) {
    return;
  }
  DrawAlone(picture, clip, series, columns, rows);
}

void SeriesRenderer::Prepare(SeriesList series, std::size_t first, std::size_t step, const PixelScale& columns,
                             const PixelScale& rows) {
  for (std::size_t s = first; s < series.size(); s += step) {
    PreparePolyline(series[s]->Points(), columns, rows, FPolylines[s]);
  }
}

bool SeriesRenderer::DrawInTwoHalves(QImage& picture, const QRect& clip, SeriesList series, const PixelScale& columns,
                                     const PixelScale& rows) noexcept {
  // bits() makes the picture's data its own before the worker reads it.
  if (picture.bits() == nullptr || !FitCopy(FWorkerCopy, picture) || !FitCopy(FCallerCopy, picture)) return false;
  const int middle = clip.left() + clip.width() / 2;
  const int end = clip.left() + clip.width();
  std::latch mapped(2);  // each share draws every series, so it needs the other's polylines too
  std::atomic<bool> failed{false};
  const auto drawShare = [&](Share share, QImage& copy, std::size_t firstSeries, int firstColumn, int endColumn) {
    bool arrived = false;
    try {
      CopyRows(picture, copy, clip);
      Enter(share, Stage::kMapping);
      Prepare(series, firstSeries, 2, columns, rows);
      arrived = true;
      mapped.arrive_and_wait();
      if (failed.load()) return;
      DrawColumns(share, copy, clip, firstColumn, endColumn, series);
    } catch (...) {
      failed.store(true);
      if (!arrived) mapped.count_down();  // the other share must not wait for this one
    }
  };
  auto workerShare = [&] { drawShare(Share::kWorker, FWorkerCopy, 0, clip.left(), middle); };
  if (!FWorker.Start(workerShare)) return false;
  drawShare(Share::kCaller, FCallerCopy, 1, middle, end);
  const bool workerReturned = FWorker.Wait();
  if (failed.load() || !workerReturned) return false;
  CopyColumns(FWorkerCopy, picture, clip, clip.left(), middle);
  CopyColumns(FCallerCopy, picture, clip, middle, end);
  return true;
}

void SeriesRenderer::DrawAlone(QImage& picture, const QRect& clip, SeriesList series, const PixelScale& columns,
                               const PixelScale& rows) noexcept {
  if (picture.bits() == nullptr || !FitCopy(FCallerCopy, picture)) return;
  try {
    CopyRows(picture, FCallerCopy, clip);
    Enter(Share::kAlone, Stage::kMapping);
    Prepare(series, 0, 1, columns, rows);
    DrawColumns(Share::kAlone, FCallerCopy, clip, clip.left(), clip.left() + clip.width(), series);
  } catch (...) {
    return;  // the picture stays as it was
  }
  CopyColumns(FCallerCopy, picture, clip, clip.left(), clip.left() + clip.width());
}

void SeriesRenderer::DrawColumns(Share share, QImage& target, const QRect& clip, int firstColumn, int endColumn,
                                 SeriesList series) const {
  QPainter painter(&target);
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (std::size_t s = 0; s < series.size(); ++s) {
    Enter(share, Stage::kDrawing);
    const std::vector<QPoint>& polyline = FPolylines[s];
    const int penWidth = PenPixels(*series[s]);
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
