// From a series' points to the pixel polyline the chart strokes: the linear
// scales that put values on integer pixels, and the reduction of the points
// that share a pixel column. No painting here, so it is tested and measured
// on its own.
//
// Pixel rules: a value is placed by a linear scale and rounded to the nearest
// integer, ties to even (Rounding.h).
#pragma once

#include <QPoint>
#include <span>
#include <vector>

#include "Rounding.h"
#include "TChartPoint.h"

// One axis: `minimum` lands on pixel `origin`, `maximum` on `origin` plus
// `span` pixels in `direction` (+1 right or down, -1 up), and every value
// in between on the rounded linear interpolation, computed as
// (value - minimum) * span / (maximum - minimum) so that exact halves stay
// exact and round to even.
//
// Any input gives a defined pixel: a range that is empty, reversed or not a
// number puts every value on `origin`; a range too wide for doubles is
// computed in extended precision; values far outside the range are held
// kFarPixels away from `origin`, far beyond any picture, which keeps the
// direction of a line towards them.
class PixelScale {
 public:
  static constexpr int kFarPixels = 1 << 20;

  PixelScale() = default;
  PixelScale(double minimum, double maximum, int origin, int span, int direction);

  int operator()(double value) const {
    switch (FMode) {
      case Mode::kPowerOfTwo: return ToPixel((value - FMinimum) * FScale);
      case Mode::kDouble: return ToPixel((value - FMinimum) * FSpan / FRange);
      case Mode::kExtended: return MapExtended(value);
      case Mode::kDegenerate: break;
    }
    return FOrigin;
  }

  // Values certain to land on `pixel`: [low, high], kept a little inside the
  // rounding boundaries. Empty (low > high) when the scale cannot say.
  struct Interval {
    double low;
    double high;
  };
  Interval SurelyOn(int pixel) const;

 private:
  enum class Mode {
    kDegenerate,
    kPowerOfTwo,  // the range is a power of two: multiplying by span / range rounds as dividing does
    kDouble,
    kExtended
  };

  // The pixel at `offset` from the origin, held within kFarPixels of it (far
  // inside the unchecked rounding's range); not a number goes to the far
  // positive end rather than into an undefined conversion.
  int ToPixel(double offset) const {
    constexpr double far = kFarPixels;
    if (!(offset <= far)) offset = far;
    if (offset < -far) offset = -far;
    return FOrigin + FDirection * static_cast<int>(RoundHalfEvenUnchecked(offset));
  }
  int MapExtended(double value) const;

  Mode FMode = Mode::kDegenerate;
  double FMinimum = 0.0;
  double FMaximum = 1.0;
  double FRange = 1.0;
  double FSpan = 0.0;
  double FScale = 0.0;  // span / range, exact in kPowerOfTwo
  int FOrigin = 0;
  int FDirection = 1;
};

// Maps every point to its pixel and writes the polyline to `out` (cleared
// first; its storage is kept and grown only when too small, so a caller that
// reuses it allocates once).
//
// Consecutive points that land in one pixel column form a run. A run of up
// to kWholeRun points is written unchanged. A longer run is written as its
// first point, its highest and lowest points and its last point, in their
// original order, leaving out a point on the same pixel as the one written
// before it. Every segment inside a run is vertical, so the run covers
// exactly the column's rows from its lowest to its highest point, and so do
// the four points; the segments between runs are kept as they are. The
// polyline therefore covers the same pixels as the one through every point,
// and stroked with round caps and joins it gives the same shape.
inline constexpr int kWholeRun = 4;
void PreparePolyline(std::span<const TChartPoint> points, const PixelScale& columns, const PixelScale& rows,
                     std::vector<QPoint>& out);
