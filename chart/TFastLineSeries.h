// One line of the chart: an ordered list of points drawn as a polyline in
// the series' colour and pen width, with an update counter that holds back
// repaint requests while a caller loads many points.
//
// Window thread only, like the chart that owns it.
#pragma once

#include <QString>
#include <climits>
#include <vector>

#include "Colors.h"
#include "TChartPoint.h"

// "No colour of its own": a point drawn in its series' colour.
inline constexpr ColorNumber clTeeColor = 0x20000000;

class TChart;

class TFastLineSeries {
 public:
  TFastLineSeries(const TFastLineSeries&) = delete;
  TFastLineSeries& operator=(const TFastLineSeries&) = delete;

  // Saturates rather than overflow.
  void BeginUpdate() {
    if (FUpdateCount < INT_MAX) ++FUpdateCount;
  }
  // Closes one BeginUpdate; an unmatched call does nothing. When the counter
  // comes back to 0 after points were added, the chart is asked for a
  // repaint, so a loaded series never stays undrawn.
  void EndUpdate();
  // Removes every point and asks the chart for a repaint, whatever the
  // counter. The storage is kept for the next load.
  void Clear();
  // Adds a point and returns its index. Points are kept in ascending X: a
  // point not below the last one goes to the end, any other after the last
  // point with an X not above its own. A point with a coordinate that is not
  // a finite number is refused (-1, nothing changes), as is a point past
  // INT_MAX points. Asks the chart for a repaint only outside BeginUpdate ..
  // EndUpdate. Points carry no label or colour of their own; those
  // arguments are accepted and not kept.
  int AddXY(double x, double y, const QString& label = QString(), ColorNumber color = clTeeColor);
  // Makes room for `points` points (at most kMaxReservedPoints), so that
  // adding up to that many allocates nothing. Never shrinks.
  void Reserve(int points);

  int Count() const { return static_cast<int>(FPoints.size()); }
  const std::vector<TChartPoint>& Points() const { return FPoints; }
  QString Title() const { return FTitle; }
  ColorNumber SeriesColor() const { return FColor; }
  int PenWidth() const { return FPenWidth; }
  int UpdateCount() const { return FUpdateCount; }

  static constexpr int kMaxReservedPoints = 1 << 22;

 private:
  friend class TChart;  // the only creator
  TFastLineSeries(TChart& chart, QString title, ColorNumber color, int penWidth);

  TChart& FChart;
  std::vector<TChartPoint> FPoints;
  QString FTitle;
  ColorNumber FColor;
  int FPenWidth;
  int FUpdateCount = 0;
  bool FAddedWhileUpdating = false;
};
