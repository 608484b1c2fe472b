// Legend geometry.
#include "LegendLayout.h"

#include <algorithm>

#include "Rounding.h"

namespace {

constexpr int kTopPercent = 10;       // legend top below the chart top, in % of its height
constexpr int kGapPercent = 3;        // gap between plot and legend, in % of the chart width
constexpr int kRightGap = 1;          // between the shadow and the chart's right edge
constexpr int kSymbolLeft = 6;        // symbol square's left edge inside the box
constexpr int kSymbolTop = 2;         // symbol square's top below the entry top
constexpr int kSymbolShrink = 4;      // symbol square side = item height - this
constexpr int kTitleAfterItem = 7;    // title at box left + item height + this
constexpr int kBoxExtraHeight = 2;    // beyond entries, margins and frame
constexpr int kMaxMeasure = 1 << 16;  // any text measure beyond this is nonsense

int Clamped(int value, int low) { return std::clamp(value, low, kMaxMeasure); }

}  // namespace

LegendLayout::LegendLayout(const QRect& chartRect, int entryCount, const LegendMetrics& metrics) {
  const int itemHeight = Clamped(metrics.itemHeight, 1);
  const int spaceWidth = Clamped(metrics.spaceWidth, 0);
  const int widestTitle = Clamped(metrics.widestTitle, 0);
  const int chartWidth = std::max(chartRect.width(), 0);
  const int chartHeight = std::max(chartRect.height(), 0);
  const int chartRight = chartRect.left() + chartWidth;
  const int chartBottom = chartRect.top() + chartHeight;

  FItemHeight = itemHeight;
  FVerticalMargin = RoundToInt(itemHeight / 10.0);
  // The frame lies inside the box, so the box's edges are where the
  // percentages and gaps put them, with nothing of the frame outside.
  const int top = chartRect.top() + RoundToInt(chartHeight * kTopPercent / 100.0);
  FShownEntries = std::clamp((chartBottom - kFrameWidth - top) / itemHeight, 0, std::max(entryCount, 0));
  const int height = itemHeight * FShownEntries + 2 * FVerticalMargin + kFrameWidth + kBoxExtraHeight;
  const int right = chartRight - kShadowOffset - kRightGap;
  const int width = widestTitle + spaceWidth + itemHeight + kTitleAfterItem;
  FBox = QRect(right - width, top, width, height);

  const int plotRight = FBox.left() - kGapPercent * chartWidth / 100;
  FPlot = QRect(chartRect.left(), chartRect.top(), std::max(plotRight - chartRect.left(), 0), chartHeight);
}

QRect LegendLayout::EntryRect(int entry) const {
  return QRect(FBox.left(), EntryTop(entry), FBox.width(), FItemHeight);
}

QRect LegendLayout::SymbolLine(int entry, int penWidth) const {
  const int side = FItemHeight - kSymbolShrink;
  if (side <= 0) return QRect();
  const int thickness = std::clamp(penWidth, 1, std::max(side / 2, 1));
  const int squareTop = EntryTop(entry) + kSymbolTop;
  return QRect(FBox.left() + kSymbolLeft, squareTop + (side - thickness) / 2, side, thickness);
}

QPoint LegendLayout::TitleOrigin(int entry) const {
  return QPoint(FBox.left() + FItemHeight + kTitleAfterItem, EntryTop(entry));
}

int LegendLayout::EntryAt(QPoint point) const {
  for (int entry = 0; entry < FShownEntries; ++entry) {
    if (EntryRect(entry).contains(point)) return entry;
  }
  return -1;
}
