// Layout, off-screen rendering and legend hover of the waveform chart.
#include "TChart.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

#include "DevicePixels.h"

namespace {

constexpr ColorNumber kDefaultColor = 0x404000;
constexpr int kDefaultMargin = 4;
constexpr double kDefaultVerticalMinimum = -32768.0;
constexpr double kDefaultVerticalMaximum = 32768.0;

constexpr int kLegendFontPixels = 11;  // Arial 8 points at 96 dpi
constexpr int kShadowAlpha = 128;      // 50 % black
constexpr ColorNumber kLegendFace = clWhite;
constexpr ColorNumber kLegendFrame = clBlack;
constexpr ColorNumber kTitleColor = clBlack;
constexpr ColorNumber kHoveredTitleColor = clRed;

}  // namespace

TChart::TChart(QWidget* parent)
    : QWidget(parent),
      FColor(kDefaultColor),
      FMargins(kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin),
      FVerticalMinimum(kDefaultVerticalMinimum),
      FVerticalMaximum(kDefaultVerticalMaximum),
      FLegendFont(QStringLiteral("Arial")) {
  FLegendFont.setPixelSize(kLegendFontPixels);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the picture
  setFocusPolicy(Qt::TabFocus);
  setMouseTracking(true);  // the legend follows the pointer without a button held
}

TChart::~TChart() = default;

TFastLineSeries& TChart::AddSeries(const QString& title, ColorNumber color, int penWidth) {
  FSeries.push_back(std::unique_ptr<TFastLineSeries>(
      new TFastLineSeries(*this, title, color, std::clamp(penWidth, 1, kMaxPenWidth))));
  RequestRepaint();
  return *FSeries.back();
}

TFastLineSeries& TChart::Series(int index) {
  if (index < 0 || index >= SeriesCount()) {
    qFatal("TChart::Series: index %d outside 0 .. %d", index, SeriesCount() - 1);
  }
  return *FSeries[static_cast<std::size_t>(index)];
}

void TChart::SetColor(ColorNumber color) {
  if (color == FColor) return;
  FColor = color;
  RequestRepaint();
}

void TChart::SetMargins(int left, int top, int right, int bottom) {
  const QMargins margins(std::clamp(left, 0, kMaxMargin), std::clamp(top, 0, kMaxMargin),
                         std::clamp(right, 0, kMaxMargin), std::clamp(bottom, 0, kMaxMargin));
  if (margins == FMargins) return;
  FMargins = margins;
  RequestRepaint();
}

void TChart::SetVerticalRange(double minimum, double maximum) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(maximum > minimum) || !std::isfinite(maximum - minimum)) {
    return;
  }
  if (minimum == FVerticalMinimum && maximum == FVerticalMaximum) return;
  FVerticalMinimum = minimum;
  FVerticalMaximum = maximum;
  RequestRepaint();
}

void TChart::RequestRepaint() {
  InvalidatePicture();
  if (FUpdateCount > 0) {
    FRepaintHeld = true;
    return;
  }
  ++FRepaintRequestCount;
  update();
}

void TChart::BeginUpdate() {
  if (FUpdateCount < INT_MAX) ++FUpdateCount;  // saturates rather than overflow
}

void TChart::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FRepaintHeld) {
    FRepaintHeld = false;
    RequestRepaint();
  }
}

// --- Layout -----------------------------------------------------------------

QRect TChart::ChartRect() const {
  return QRect(FMargins.left(), FMargins.top(), std::max(width() - FMargins.left() - FMargins.right(), 0),
               std::max(height() - FMargins.top() - FMargins.bottom(), 0));
}

LegendMetrics TChart::MeasureLegend() const {
  const QFontMetrics metrics(FLegendFont);
  LegendMetrics measured;
  measured.itemHeight = metrics.height();
  measured.spaceWidth = metrics.horizontalAdvance(QLatin1Char(' '));
  for (const auto& series : FSeries) {
    measured.widestTitle = std::max(measured.widestTitle, metrics.horizontalAdvance(series->Title()));
  }
  return measured;
}

LegendLayout TChart::Legend() const { return LegendLayout(ChartRect(), SeriesCount(), MeasureLegend()); }

QRect TChart::PlotRect() const { return HasLegend() ? Legend().PlotRect() : ChartRect(); }

// --- Rendering --------------------------------------------------------------

void TChart::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  const double ratio = PaintRatio(*this);
  if (FPictureStale || FPicture.size() != ToDevice(size(), ratio) || FPicture.devicePixelRatio() != ratio) {
    RenderPicture(ratio);
  }
  QPainter(this).drawImage(0, 0, FPicture);
}

void TChart::resizeEvent(QResizeEvent*) { InvalidatePicture(); }

// The series are drawn in the picture's device pixels (SeriesRenderer reads
// its ratio); the legend through a painter that the ratio scales.
void TChart::RenderPicture(double ratio) {
  ++FPaintCount;
  FPictureStale = false;
  const QSize deviceSize = ToDevice(size(), ratio);
  if (FPicture.size() != deviceSize) FPicture = QImage(deviceSize, QImage::Format_RGB32);
  FPicture.setDevicePixelRatio(ratio);
  FPicture.fill(ToQColor(FColor));
  if (!HasLegend()) {
    FSeriesRenderer.Draw(FPicture, ChartRect(), FSeries, FVerticalMinimum, FVerticalMaximum);
    return;
  }
  const LegendLayout legend = Legend();
  FSeriesRenderer.Draw(FPicture, legend.PlotRect(), FSeries, FVerticalMinimum, FVerticalMaximum);
  QPainter painter(&FPicture);
  DrawLegend(painter, legend);
}

void TChart::DrawLegend(QPainter& painter, const LegendLayout& legend) const {
  const QRect box = legend.Box();
  painter.fillRect(legend.Shadow(), QColor(0, 0, 0, kShadowAlpha));
  painter.fillRect(box, ToQColor(kLegendFrame));
  painter.fillRect(box.adjusted(1, 1, -1, -1), ToQColor(kLegendFace));
  painter.setFont(FLegendFont);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  for (int entry = 0; entry < legend.ShownEntries(); ++entry) {
    const TFastLineSeries& series = *FSeries[static_cast<std::size_t>(entry)];
    painter.fillRect(legend.SymbolLine(entry, series.PenWidth()), ToQColor(series.SeriesColor()));
    painter.setPen(ToQColor(entry == FHoveredEntry ? kHoveredTitleColor : kTitleColor));
    const QPoint origin = legend.TitleOrigin(entry);
    const QRect text(origin, QPoint(box.right(), legend.EntryRect(entry).bottom()));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, series.Title());
  }
}

// --- Pointer ----------------------------------------------------------------

void TChart::mouseMoveEvent(QMouseEvent* event) {
  SetHoveredEntry(HasLegend() ? Legend().EntryAt(event->position().toPoint()) : -1);
}

void TChart::leaveEvent(QEvent*) { SetHoveredEntry(-1); }

void TChart::SetHoveredEntry(int entry) {
  if (entry == FHoveredEntry) return;
  FHoveredEntry = entry;
  RequestRepaint();
}
