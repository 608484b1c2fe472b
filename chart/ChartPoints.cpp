// Pixel scales and the per-column reduction of a series' polyline.
#include "ChartPoints.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

// The points of one pixel column, summarised while they are read.
struct Run {
  int column = 0;
  std::size_t count = 0;
  std::array<int, kWholeRun> head{};  // rows of the first points, for a short run
  int lastRow = 0;
  int highestRow = 0;  // smallest row number: highest on the screen
  int lowestRow = 0;
  std::size_t highestIndex = 0;  // first occurrences, counted within the run
  std::size_t lowestIndex = 0;

  void Start(int newColumn, int firstRow) {
    column = newColumn;
    count = 1;
    head[0] = lastRow = highestRow = lowestRow = firstRow;
    highestIndex = lowestIndex = 0;
  }

  void Add(int row) {
    if (count < head.size()) head[count] = row;
    if (row < highestRow) {
      highestRow = row;
      highestIndex = count;
    }
    if (row > lowestRow) {
      lowestRow = row;
      lowestIndex = count;
    }
    lastRow = row;
    ++count;
  }
};

void AppendPixel(QPoint pixel, std::vector<QPoint>& out) {
  if (out.empty() || out.back() != pixel) out.push_back(pixel);
}

void AppendRun(const Run& run, std::vector<QPoint>& out) {
  if (run.count <= kWholeRun) {
    for (std::size_t k = 0; k < run.count; ++k) out.emplace_back(run.column, run.head[k]);
    return;
  }
  struct Mark {
    std::size_t index;
    int row;
  };
  std::array<Mark, 4> marks{{{0, run.head[0]},
                             {run.highestIndex, run.highestRow},
                             {run.lowestIndex, run.lowestRow},
                             {run.count - 1, run.lastRow}}};
  if (marks[1].index > marks[2].index) std::swap(marks[1], marks[2]);
  // The neighbouring run lies in another column, so only this run's own
  // points can repeat a pixel.
  for (const Mark& mark : marks) AppendPixel(QPoint(run.column, mark.row), out);
}

}  // namespace

PixelScale::PixelScale(double minimum, double maximum, int origin, int span, int direction)
    : FMinimum(minimum), FMaximum(maximum), FSpan(span), FOrigin(origin), FDirection(direction < 0 ? -1 : 1) {
  const double range = maximum - minimum;
  if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(range > 0.0)) {
    FMode = Mode::kDegenerate;
  } else if (!std::isfinite(range) || !std::isfinite(range * FSpan)) {
    FMode = Mode::kExtended;  // the range or its product with the span would overflow a double
  } else {
    FRange = range;
    FScale = FSpan / range;
    int exponent = 0;
    FMode = std::frexp(range, &exponent) == 0.5 && std::isnormal(FScale) ? Mode::kPowerOfTwo : Mode::kDouble;
  }
}

int PixelScale::MapExtended(double value) const {
  constexpr long double far = kFarPixels;
  long double offset =
      (static_cast<long double>(value) - FMinimum) * FSpan / (static_cast<long double>(FMaximum) - FMinimum);
  if (!(offset <= far)) offset = far;
  if (offset < -far) offset = -far;
  return FOrigin + FDirection * static_cast<int>(std::nearbyintl(offset));
}

PixelScale::Interval PixelScale::SurelyOn(int pixel) const {
  constexpr Interval kUnknown{1.0, 0.0};
  if ((FMode != Mode::kDouble && FMode != Mode::kPowerOfTwo) || !(FSpan > 0.0)) return kUnknown;
  // Offsets within k - 1/2 .. k + 1/2 round to k; a margin far above the
  // error of the arithmetic keeps values near a boundary out.
  const double k = static_cast<double>(pixel - FOrigin) * FDirection;
  if (std::fabs(k) >= kFarPixels) return kUnknown;
  constexpr double kMargin = 1e-6;  // in pixels
  const double perPixel = FRange / FSpan;
  const Interval sure{FMinimum + (k - 0.5 + kMargin) * perPixel, FMinimum + (k + 0.5 - kMargin) * perPixel};
  // Far from zero the bounds themselves are rounded by more than the margin
  // (a scale over 1e15 .. 1e15 + 100): no certain interval then.
  const double boundError = (std::fabs(sure.low) + std::fabs(sure.high)) * 0x1p-50;
  return boundError < kMargin * perPixel ? sure : kUnknown;
}

void PreparePolyline(std::span<const TChartPoint> points, const PixelScale& columns, const PixelScale& rows,
                     std::vector<QPoint>& out) {
  out.clear();
  if (points.empty()) return;
  if (out.capacity() < points.size()) out.reserve(points.size());
  // Most points fall in the same column as the one before.
  Run run;
  run.Start(columns(points[0].X), rows(points[0].Y));
  PixelScale::Interval sure = columns.SurelyOn(run.column);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double x = points[i].X;
    // An x inside the run column's certain interval needs no division.
    const int column = x >= sure.low && x <= sure.high ? run.column : columns(x);
    const int row = rows(points[i].Y);
    if (column == run.column) {
      run.Add(row);
      continue;
    }
    AppendRun(run, out);
    run.Start(column, row);
    sure = columns.SurelyOn(column);
  }
  AppendRun(run, out);
}
