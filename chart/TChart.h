// The waveform chart: a background, line series drawn over a plot area with
// fixed vertical and automatic horizontal scales, and a legend at the right
// whose entry under the pointer shows its title in red. No axes, no zoom, no
// panning; the mouse wheel, clicks and keys do nothing. It takes the focus
// through the tab order only.
//
// The picture is rendered off-screen, at the screen's resolution, only when
// the data, the settings, the size, that resolution or the hovered legend
// entry changed, and every paint copies it in one block. Repaint requests go through update(), so any number of them before
// the thread returns to its event loop give one render; a caller that changes
// many series at once holds them in BeginUpdate .. EndUpdate, so that the
// change asks the toolkit for one repaint.
//
// Window thread only.
#pragma once

#include <QFont>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QWidget>
#include <memory>
#include <vector>

#include "Colors.h"
#include "LegendLayout.h"
#include "SeriesRenderer.h"
#include "TFastLineSeries.h"

class TChart : public QWidget {
 public:
  explicit TChart(QWidget* parent = nullptr);
  ~TChart() override;

  // Adds a series at the end of the list, which is the order of the legend
  // from top to bottom and of drawing (later series over earlier ones). The
  // pen width is clamped to 1 .. kMaxPenWidth. The reference stays valid as
  // long as the chart.
  TFastLineSeries& AddSeries(const QString& title, ColorNumber color, int penWidth);
  int SeriesCount() const { return static_cast<int>(FSeries.size()); }
  // A series by list position; a position outside 0 .. SeriesCount() - 1 is
  // a programming error and ends the program with a message.
  TFastLineSeries& Series(int index);

  // Background of the whole control.
  void SetColor(ColorNumber color);
  ColorNumber Color() const { return FColor; }
  // Pixels between the control's edges and the chart rectangle; each is
  // clamped to 0 .. kMaxMargin.
  void SetMargins(int left, int top, int right, int bottom);
  QMargins Margins() const { return FMargins; }
  // The values drawn on the bottom and top edge of the plot. A range that is
  // not finite, empty or reversed is refused and the old one kept.
  void SetVerticalRange(double minimum, double maximum);
  double VerticalMinimum() const { return FVerticalMinimum; }
  double VerticalMaximum() const { return FVerticalMaximum; }

  // The plot rectangle R: the chart rectangle less the legend's place. Its
  // left + width is R.Right and top + height is R.Bottom: the last point of
  // a series lands 2 pixels left of R.Right (for the window's pens) and the
  // vertical minimum on row R.Bottom; series are clipped to columns
  // R.Left .. R.Right - 1 and rows R.Top - 1 .. R.Bottom + 1.
  QRect PlotRect() const;
  // Holds back the chart's repaint requests, its series' included: inside
  // BeginUpdate .. EndUpdate a change still marks the picture out of date
  // at once, and the EndUpdate that closes the outermost bracket asks for one
  // repaint if any change came. An unmatched EndUpdate does nothing.
  void BeginUpdate();
  void EndUpdate();

  // How many times the picture has been rendered.
  int PaintCount() const { return FPaintCount; }
  // How many times the chart has asked the toolkit for a repaint. The
  // toolkit merges requests into one paint, so only this shows a change that
  // asks more than once.
  int RepaintRequestCount() const { return FRepaintRequestCount; }
  // The legend entry under the pointer, or -1.
  int HoveredEntry() const { return FHoveredEntry; }
  // Where the legend is drawn at the current size (meaningful while the
  // chart has series).
  LegendLayout Legend() const;

  static constexpr int kMaxPenWidth = 64;
  static constexpr int kMaxMargin = 1 << 16;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  friend class TFastLineSeries;
  // The data changed: the next paint renders afresh.
  void InvalidatePicture() { FPictureStale = true; }
  // The data or the look changed: render afresh when the event loop paints.
  void RequestRepaint();

  QRect ChartRect() const;
  LegendMetrics MeasureLegend() const;
  bool HasLegend() const { return !FSeries.empty(); }
  // At `ratio` device pixels per logical pixel.
  void RenderPicture(double ratio);
  void DrawLegend(QPainter& painter, const LegendLayout& legend) const;
  void SetHoveredEntry(int entry);

  std::vector<std::unique_ptr<TFastLineSeries>> FSeries;
  ColorNumber FColor;
  QMargins FMargins;
  double FVerticalMinimum;
  double FVerticalMaximum;
  QFont FLegendFont;
  int FHoveredEntry = -1;

  QImage FPicture;
  bool FPictureStale = true;
  int FPaintCount = 0;
  int FUpdateCount = 0;
  bool FRepaintHeld = false;
  int FRepaintRequestCount = 0;
  SeriesRenderer FSeriesRenderer;
};
