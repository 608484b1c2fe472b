// Cuts the drawing of a long polyline into vertical strips of pixel columns.
//
// Qt fills a wide anti-aliased stroke as one outline, and on a long, densely
// folded polyline that outline makes the fill many times slower than the sum
// of its parts. Drawn strip by strip, each with a clip to its own columns and
// only the part of the polyline that can reach them, every pixel is filled
// once, from the same segments and joins as in one call: the fill of a pixel
// depends only on the outline near it. So the picture is the same, at a
// fraction of the cost.
#pragma once

#include <QPoint>
#include <cstddef>
#include <span>

struct PolylineStrip {
  int firstColumn;  // the strip's columns: firstColumn .. firstColumn + width - 1
  int width;
  // The points first .. last: every segment that reaches the strip, and one
  // more at each end.
  std::size_t first;
  std::size_t last;
};

// Walks the strips of `stripWidth` columns from `firstColumn` up to
// `endColumn` (exclusive) over a polyline whose columns never decrease.
// `reach` is how many columns a stroke extends beyond its points.
class PolylineStrips {
 public:
  PolylineStrips(std::span<const QPoint> polyline, int firstColumn, int endColumn, int stripWidth, int reach);

  // The next strip with at least one segment, or false when there is none.
  bool Next(PolylineStrip& strip);

 private:
  std::span<const QPoint> FPolyline;
  int FNextColumn;
  int FEndColumn;
  int FStripWidth;
  int FReach;
  std::size_t FFirst = 0;
  std::size_t FLast = 0;
};
