// Draws the chart's series into its off-screen picture: maps and reduces
// every series' points (ChartPoints.h), then strokes them in list order,
// anti-aliased, with round caps and joins, at pixel centres. A picture with
// a device pixel ratio is drawn in its device pixels: the plot's edges go to
// the nearest device pixels, the points are mapped and reduced per device
// column and each pen is as many device pixels wide as it covers, rounded
// (DevicePixels.h).
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
// With a second core the plot is drawn as two halves at once: a worker
// thread, kept for the renderer's life (RenderWorker.h), draws the part of
// every series that reaches the left half into its copy of the picture, the
// calling thread the rest into a copy of its own, and the picture receives
// the two halves. Each pixel comes from the thread that drew every segment
// reaching it, so the picture is the same as from one thread.
//
// Draw never throws. A share that fails (memory running out while mapping
// the points or inside Qt's painting) fails the render cleanly: it still
// arrives where the two shares meet once both have mapped their series, the
// other stops there or finishes its half, the worker is waited for, and one
// thread draws everything again. Since the picture only ever receives
// finished copies, a render that fails even then leaves it as it was
// (without series), and the next render starts afresh.
//
// Window thread only; the worker reads the series while the caller waits,
// so the series must not change meanwhile (nothing else runs on the window
// thread then).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <memory>
#include <span>
#include <vector>

#include "RenderWorker.h"
#include "TFastLineSeries.h"

class PixelScale;

class SeriesRenderer {
 public:
  using SeriesList = std::span<const std::unique_ptr<TFastLineSeries>>;

  // Draws `series` over the plot rectangle `plot` (Qt rectangle in logical
  // pixels; the bottom edge top + height is where `verticalMinimum` lands). The horizontal scale
  // spans the smallest to the largest x of all series, inset at both ends by
  // the widest pen's margin. Strokes are clipped to the plot's columns and to
  // its rows widened by one above and below.
  void Draw(QImage& picture, const QRect& plot, SeriesList series, double verticalMinimum,
            double verticalMaximum) noexcept;

  // Columns per strip for pens wider than one pixel.
  static constexpr int kStripColumns = 8;

  // Who draws: the calling thread's half, the worker's half, or one thread
  // drawing everything.
  enum class Share { kCaller, kWorker, kAlone };
  // Mapping and reducing the points, then stroking them.
  enum class Stage { kMapping, kDrawing };
  // Test seam, process-wide: when set, every share calls it on its own
  // thread before mapping its series and before stroking each series, and
  // an exception it throws fails the share there as running out of memory
  // would. Set it only while no chart renders; null (the default) in the
  // program.
  using FaultHook = void (*)(Share, Stage);
  static void SetFaultHook(FaultHook hook);

 private:
  // Maps and reduces series first, first + step, ...
  // A series' pen width in the picture's pixels.
  int PenPixels(const TFastLineSeries& series) const;
  void Prepare(SeriesList series, std::size_t first, std::size_t step, const PixelScale& columns,
               const PixelScale& rows);
  // Draws, in list order, every segment of every series that reaches the
  // columns firstColumn .. endColumn - 1; strips of wide pens are clipped to
  // those columns, one-pixel pens only to `clip`.
  void DrawColumns(Share share, QImage& target, const QRect& clip, int firstColumn, int endColumn,
                   SeriesList series) const;
  // False when the halves could not be drawn (no second thread, no memory
  // for the copies, a failed share); the picture is unchanged then.
  bool DrawInTwoHalves(QImage& picture, const QRect& clip, SeriesList series, const PixelScale& columns,
                       const PixelScale& rows) noexcept;
  // Everything on the calling thread; when that fails, the picture is
  // unchanged.
  void DrawAlone(QImage& picture, const QRect& clip, SeriesList series, const PixelScale& columns,
                 const PixelScale& rows) noexcept;

  double FRatio = 1.0;                          // of the picture being drawn
  std::vector<std::vector<QPoint>> FPolylines;  // one per series, kept between renders
  QImage FWorkerCopy;                           // the worker's copy of the picture
  QImage FCallerCopy;                           // the calling thread's copy
  RenderWorker FWorker;                         // last: ends before the copies it draws into go
};
