// Point storage and update bracket of a chart line.
#include "TFastLineSeries.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "TChart.h"

TFastLineSeries::TFastLineSeries(TChart& chart, QString title, ColorNumber color, int penWidth)
    : FChart(chart), FTitle(std::move(title)), FColor(color), FPenWidth(penWidth) {}

void TFastLineSeries::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FAddedWhileUpdating) {
    FAddedWhileUpdating = false;
    FChart.RequestRepaint();
  }
}

void TFastLineSeries::Clear() {
  FPoints.clear();
  FChart.RequestRepaint();
}

int TFastLineSeries::AddXY(double x, double y, const QString&, ColorNumber) {
  if (!std::isfinite(x) || !std::isfinite(y) || FPoints.size() >= static_cast<std::size_t>(INT_MAX)) return -1;
  auto at = FPoints.end();
  if (!FPoints.empty() && x < FPoints.back().X) {
    at = std::upper_bound(FPoints.begin(), FPoints.end(), x,
                          [](double value, const TChartPoint& point) { return value < point.X; });
  }
  const auto index = at - FPoints.begin();
  FPoints.insert(at, TChartPoint{x, y});
  // The picture is out of date at once, so that a paint for any other reason
  // shows the new point; only the request to paint waits for EndUpdate.
  FChart.InvalidatePicture();
  if (FUpdateCount == 0) {
    FChart.RequestRepaint();
  } else {
    FAddedWhileUpdating = true;
  }
  return static_cast<int>(index);
}

void TFastLineSeries::Reserve(int points) {
  const int wanted = std::clamp(points, 0, kMaxReservedPoints);
  if (static_cast<std::size_t>(wanted) > FPoints.capacity()) FPoints.reserve(static_cast<std::size_t>(wanted));
}
