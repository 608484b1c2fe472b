// Draws the chart's series into its off-screen picture: maps and reduces
// every series' points (ChartPoints.h), then strokes them in list order,
// anti-aliased, with round caps and joins, at pixel centres.
//
// A pen wider than one pixel is filled as an outline, strip by strip of
// columns, each strip clipped to its columns and given the part of the
// polyline that can reach them; the fill of a pixel depends only on the
// outline near it, so the picture is the one a single call gives
// (PolylineStrips.h). One-pixel pens are drawn segment by segment by Qt and
// are never cut: Qt clips such a line before stepping along it, so a cut
// line would be anti-aliased a little differently. Qt fills a wide stroke
// along its whole length whatever the clip, so lines to points far off the
// plot are first cut to rows near it.
//
// With a second core the plot is drawn as two halves at once: a worker draws
// the part of every series that reaches the left half into a copy of the
// picture, the calling thread the rest into the picture itself, and the
// left half is then copied over. Each pixel comes from the thread that drew
// every segment reaching it, so the picture is the same as from one thread.
//
// Window thread only; the worker lives only while Draw runs and reads the
// series while the caller waits, so the series must not change meanwhile
// (nothing else runs on the window thread then).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <memory>
#include <span>
#include <vector>

#include "TFastLineSeries.h"

class PixelScale;

class SeriesRenderer {
 public:
  using SeriesList = std::span<const std::unique_ptr<TFastLineSeries>>;

  // Draws `series` over the plot rectangle `plot` (Qt rectangle; the bottom
  // edge top + height is where `verticalMinimum` lands). The horizontal scale
  // spans the smallest to the largest x of all series, inset at both ends by
  // the widest pen's margin. Strokes are clipped to the plot's columns and to
  // its rows widened by one above and below.
  void Draw(QImage& picture, const QRect& plot, SeriesList series, double verticalMinimum, double verticalMaximum);

  // Columns per strip for pens wider than one pixel.
  static constexpr int kStripColumns = 8;

 private:
  // Maps and reduces series first, first + step, ...
  void Prepare(SeriesList series, std::size_t first, std::size_t step, const PixelScale& columns,
               const PixelScale& rows);
  // Draws, in list order, every segment of every series that reaches the
  // columns firstColumn .. endColumn - 1; strips of wide pens are clipped to
  // those columns, one-pixel pens only to `clip`.
  void DrawColumns(QImage& target, const QRect& clip, int firstColumn, int endColumn, SeriesList series) const;
  // False when no second thread could be started; nothing is drawn then.
  bool DrawInTwoHalves(QImage& picture, const QRect& clip, SeriesList series, const PixelScale& columns,
                       const PixelScale& rows);

  std::vector<std::vector<QPoint>> FPolylines;  // one per series, kept between renders
  QImage FLeftPicture;                          // the worker's copy of the picture
};
