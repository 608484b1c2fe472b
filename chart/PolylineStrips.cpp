// Strip-by-strip walk over a polyline.
#include "PolylineStrips.h"

#include <algorithm>

PolylineStrips::PolylineStrips(std::span<const QPoint> polyline, int firstColumn, int endColumn, int stripWidth,
                               int reach)
    : FPolyline(polyline),
      FNextColumn(firstColumn),
      FEndColumn(endColumn),
      FStripWidth(std::max(stripWidth, 1)),
      FReach(std::max(reach, 0)) {}

bool PolylineStrips::Next(PolylineStrip& strip) {
  const std::size_t count = FPolyline.size();
  if (count < 2) return false;
  while (FNextColumn < FEndColumn) {
    const int left = FNextColumn;
    const int width = std::min(FStripWidth, FEndColumn - left);
    const int right = left + width - 1;
    FNextColumn += width;
    // The last point far enough left that nothing before it reaches the
    // strip, and the first point far enough right likewise.
    while (FFirst + 1 < count && FPolyline[FFirst + 1].x() <= left - FReach - 1) ++FFirst;
    FLast = std::max(FLast, FFirst);
    while (FLast + 1 < count && FPolyline[FLast].x() < right + FReach + 1) ++FLast;
    if (FLast == FFirst) continue;
    // A strip left of the whole polyline, or right of it, holds nothing.
    if (FPolyline[FFirst].x() > right + FReach || FPolyline[FLast].x() < left - FReach) continue;
    // One more segment at each end: Qt starts a polyline's first and ends
    // its last segment with a cap, which for a one-pixel pen moves where it
    // starts stepping along the line. The segments that reach the strip are
    // then drawn as inside the whole polyline.
    strip = PolylineStrip{left, width, FFirst > 0 ? FFirst - 1 : 0, std::min(FLast + 1, count - 1)};
    return true;
  }
  return false;
}
