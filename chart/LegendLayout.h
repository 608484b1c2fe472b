// Where the chart's legend goes and what it leaves for the plot: pure
// geometry from the chart rectangle, the number of entries and three text
// measurements, so that it holds no font and paints nothing.
//
// Rectangles are Qt rectangles (left, top, width, height). A "right edge" or
// "bottom edge" here is left + width or top + height, the first pixel past
// the rectangle.
#pragma once

#include <QPoint>
#include <QRect>

struct LegendMetrics {
  int itemHeight = 1;   // height of a line of legend text
  int spaceWidth = 0;   // width of a blank
  int widestTitle = 0;  // width of the longest title
};

class LegendLayout {
 public:
  // `chartRect` is the area inside the margins, before the legend takes its
  // place at its right. Negative or oversized measurements are clamped.
  LegendLayout(const QRect& chartRect, int entryCount, const LegendMetrics& metrics);

  // The white box, frame included.
  QRect Box() const { return FBox; }
  // The shadow under the box, offset down and to the right.
  QRect Shadow() const { return FBox.translated(kShadowOffset, kShadowOffset); }
  // How many entries fit; entries past this are not shown.
  int ShownEntries() const { return FShownEntries; }
  // The band of entry `entry` across the whole box.
  QRect EntryRect(int entry) const;
  // The symbol of an entry: a line through the middle of a square, as many
  // rows thick as the pen (at most half the square).
  QRect SymbolLine(int entry, int penWidth) const;
  // Top-left corner of an entry's title text.
  QPoint TitleOrigin(int entry) const;
  // The shown entry at `point`, or -1.
  int EntryAt(QPoint point) const;
  // The chart rectangle once the legend and the gap before it are taken off.
  QRect PlotRect() const { return FPlot; }

  static constexpr int kShadowOffset = 3;

 private:
  int EntryTop(int entry) const { return FBox.top() + kFrameWidth + FVerticalMargin + FItemHeight * entry; }

  // The box's frame, drawn along its edges inside it.
  static constexpr int kFrameWidth = 1;

  QRect FBox;
  QRect FPlot;
  int FItemHeight = 1;
  int FVerticalMargin = 0;
  int FShownEntries = 0;
};
