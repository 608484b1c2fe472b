// The level slider's geometry, painting and input.
#include "TVrTrackBar.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <climits>

#include "DevicePixels.h"
#include "ProgramCursors.h"
#include "Rounding.h"
#include "TickScale.h"
#include "WidgetAccessibility.h"

namespace {

constexpr int kWheelNotch = 120;
constexpr int kLongTick = 4;
constexpr int kShortTick = 3;
constexpr int kMaxThumbStates = 4;
constexpr QSize kNewSize(45, 175);

int ClampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

int ClampWidth(int width) { return std::clamp(width, 0, TVrTrackBar::kMaxExtent); }
int ClampOffset(int offset) { return std::clamp(offset, -TVrTrackBar::kMaxExtent, TVrTrackBar::kMaxExtent); }

bool IsEnumerator(TVrOrientation o) { return o == TVrOrientation::voVertical || o == TVrOrientation::voHorizontal; }
bool IsEnumerator(TVrProgressStyle s) {
  return s == TVrProgressStyle::psBottomLeft || s == TVrProgressStyle::psTopRight;
}
bool IsEnumerator(TVrTickMarks m) {
  return m == TVrTickMarks::tmNone || m == TVrTickMarks::tmBoth || m == TVrTickMarks::tmBottomRight ||
         m == TVrTickMarks::tmTopLeft;
}

// Every pixel of `color` becomes transparent.
void ClearColor(QImage& image, QRgb color) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::replace(line, line + image.width(), color, qRgba(0, 0, 0, 0));
  }
}

// The thumb picture's frame: a black ring and a one-pixel bevel inside it.
constexpr int kThumbFrameDepth = 2;

// Which source pixel device pixel `device` of an enlargement shows, when the
// first and last `edge` source pixels become `line` device pixels each and
// the rest stretches over what is left: the thumb's frame lines keep one
// thickness at any ratio. Too small to hold the edges, it samples evenly.
int SourcePixel(int device, int deviceLength, int sourceLength, int edge, int line) {
  const int edgeLength = edge * line;
  if (sourceLength <= 2 * edge || deviceLength <= 2 * edgeLength) {
    return static_cast<int>(static_cast<long long>(device) * sourceLength / std::max(deviceLength, 1));
  }
  if (device < edgeLength) return device / line;
  const int fromEnd = deviceLength - 1 - device;
  if (fromEnd < edgeLength) return sourceLength - 1 - fromEnd / line;
  const long long stretched = static_cast<long long>(device - edgeLength) * (sourceLength - 2 * edge);
  return edge + static_cast<int>(stretched / (deviceLength - 2 * edgeLength));
}

// `source` enlarged (or reduced) to `size`, its frame kept `line` pixels per
// source pixel.
QImage KeepingFrame(const QImage& source, QSize size, int line) {
  QImage result(size, source.format());
  for (int y = 0; y < size.height(); ++y) {
    const int sy = SourcePixel(y, size.height(), source.height(), kThumbFrameDepth, line);
    for (int x = 0; x < size.width(); ++x) {
      result.setPixel(x, y, source.pixel(SourcePixel(x, size.width(), source.width(), kThumbFrameDepth, line), sy));
    }
  }
  return result;
}

TVrBevel GutterFrame() {
  TVrBevel bevel;
  TVrBevel::Side inner = bevel.Inner();
  inner.Style = TVrBevelStyle::bsNone;
  inner.Space = 0;
  TVrBevel::Side outer = bevel.Outer();
  outer.Style = TVrBevelStyle::bsLowered;
  outer.Outline = TVrBevelOutlineStyle::osNone;
  bevel.SetInner(inner);
  bevel.SetOuter(outer);
  return bevel;
}

}  // namespace

TVrTrackBar::TVrTrackBar(QWidget* parent) : TVrCustomImageControl(parent) {
  AttachAccessibility(*this);
  resize(kNewSize);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  // A windowed control: on X11 its own window is what the pointer is
  // confined to during a drag.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) setAttribute(Qt::WA_NativeWindow);
  FGutterBevel.Assign(GutterFrame());
  FGutterBevel.OnChange = [this] { Redraw(); };
  LoadThumbImage();
}

template <class T>
void TVrTrackBar::SetAndRedraw(T& field, const T& value) {
  if (field == value) return;
  field = value;
  Redraw();
}

void TVrTrackBar::SetPosition(int value) {
  value = std::min(std::max(value, FMinValue), FMaxValue);
  if (value == FPosition) return;
  FPosition = value;
  Redraw();  // the new thumb is on the screen before anyone hears of it
  // Before OnChange, whose handler may move the slider again: the notices
  // then arrive in the order of the moves.
  NotifyValueChanged(*this, FPosition);
  Change();
}

void TVrTrackBar::Change() {
  if (OnChange) OnChange(this);
}

void TVrTrackBar::SetMinValue(int value) {
  if (value == FMinValue) return;
  FMinValue = value;
  KeepPositionInRange();
}

void TVrTrackBar::SetMaxValue(int value) {
  if (value == FMaxValue) return;
  FMaxValue = value;
  KeepPositionInRange();
}

void TVrTrackBar::KeepPositionInRange() {
  const int clamped = std::min(std::max(FPosition, FMinValue), FMaxValue);
  if (clamped != FPosition) {
    SetPosition(clamped);  // with its redraw and OnChange
  } else {
    Redraw();
  }
}

void TVrTrackBar::SetOrientation(TVrOrientation orientation) {
  if (!IsEnumerator(orientation) || orientation == FOrientation) return;
  FOrientation = orientation;
  if (!Loading()) resize(height(), width());
  LoadThumbImage();
  Redraw();
}

void TVrTrackBar::SetThumbStates(int states) {
  states = std::clamp(states, 1, kMaxThumbStates);
  if (states == FThumbStates) return;
  FThumbStates = states;
  LoadThumbImage();
  Redraw();
}

void TVrTrackBar::SetOptions(TVrTrackBarOptions options) {
  options &= kAllTrackBarOptions;
  if (options == FOptions) return;
  const bool opacityChanged = ((options ^ FOptions) & toThumbOpaque) != 0;
  FOptions = options;
  if (opacityChanged) LoadThumbImage();
  Redraw();
}

void TVrTrackBar::SetStyle(TVrProgressStyle style) {
  if (IsEnumerator(style)) SetAndRedraw(FStyle, style);
}

void TVrTrackBar::SetTickMarks(TVrTickMarks marks) {
  if (IsEnumerator(marks)) SetAndRedraw(FTickMarks, marks);
}

void TVrTrackBar::SetFrequency(int frequency) { SetAndRedraw(FFrequency, std::max(frequency, 1)); }
void TVrTrackBar::SetBorderWidth(int width) { SetAndRedraw(FBorderWidth, ClampWidth(width)); }
void TVrTrackBar::SetGutterWidth(int width) { SetAndRedraw(FGutterWidth, ClampWidth(width)); }
void TVrTrackBar::SetGutterColor(ColorNumber color) { SetAndRedraw(FGutterColor, color); }
void TVrTrackBar::SetTickColor(ColorNumber color) { SetAndRedraw(FTickColor, color); }
void TVrTrackBar::SetScaleOffset(int offset) { SetAndRedraw(FScaleOffset, ClampOffset(offset)); }
void TVrTrackBar::SetFocusColor(ColorNumber color) { SetAndRedraw(FFocusColor, color); }
void TVrTrackBar::SetFocusOffset(int offset) { SetAndRedraw(FFocusOffset, ClampOffset(offset)); }
void TVrTrackBar::SetTabStop(bool tabStop) { setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus); }

void TVrTrackBar::LoadThumbImage() {
  QImage picture = QImage(Vertical() ? QStringLiteral(":/VRTB_VERT.xpm") : QStringLiteral(":/VRTB_HORI.xpm"))
                       .convertToFormat(QImage::Format_ARGB32);
  // The transparent colour is the picture's bottom-left pixel.
  if ((FOptions & toThumbOpaque) == 0 && !picture.isNull()) ClearColor(picture, picture.pixel(0, picture.height() - 1));
  FThumbImage = picture;
  FThumbHeight = FThumbImage.height();
  FThumbWidth = FThumbImage.width() / FThumbStates;
  FDeviceThumbRatio = 0.0;
}

const QImage& TVrTrackBar::DeviceThumbImage(double ratio) {
  if (ratio == 1.0) return FThumbImage;
  if (ratio == FDeviceThumbRatio) return FDeviceThumbImage;
  // Each state's picture on its own, so that each keeps its frame.
  const QSize state = ToDevice(QSize(FThumbWidth, FThumbHeight), ratio);
  QImage pictures(state.width() * FThumbStates, state.height(), QImage::Format_ARGB32);
  pictures.fill(Qt::transparent);
  if (!FThumbImage.isNull() && !state.isEmpty()) {
    QPainter painter(&pictures);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int s = 0; s < FThumbStates; ++s) {
      const QImage source = FThumbImage.copy(s * FThumbWidth, 0, FThumbWidth, FThumbHeight);
      painter.drawImage(s * state.width(), 0, KeepingFrame(source, state, DeviceLineWidth(ratio)));
    }
  }
  FDeviceThumbImage = pictures;
  FDeviceThumbRatio = ratio;
  return FDeviceThumbImage;
}

// --- Geometry ---------------------------------------------------------------

int TVrTrackBar::TrackStart() const { return FBorderWidth; }

// A thumb with no room to travel has a track of length 0.
int TVrTrackBar::TrackLength() const { return Extents(1.0).Length(); }

TVrTrackBar::TrackExtents TVrTrackBar::Extents(double ratio) const {
  return {ToDevice(Vertical() ? height() : width(), ratio), ToDevice(FBorderWidth, ratio),
          ToDevice(Vertical() ? FThumbHeight : FThumbWidth, ratio)};
}

bool TVrTrackBar::Reversed() const {
  return Vertical() ? FStyle == TVrProgressStyle::psBottomLeft : FStyle == TVrProgressStyle::psTopRight;
}

double TVrTrackBar::Range() const { return double(FMaxValue) - double(FMinValue); }

QRect TVrTrackBar::GutterRect() const {
  if (Vertical()) return QRect((width() - FGutterWidth) / 2, FBorderWidth, FGutterWidth, height() - 2 * FBorderWidth);
  return QRect(FBorderWidth, (height() - FGutterWidth) / 2, width() - 2 * FBorderWidth, FGutterWidth);
}

QRect TVrTrackBar::ThumbRect() const {
  const int leading = PositionToPixel(FPosition);
  if (Vertical()) return QRect((width() - FThumbWidth) / 2, leading, FThumbWidth, FThumbHeight);
  return QRect(leading, (height() - FThumbHeight) / 2, FThumbWidth, FThumbHeight);
}

int TVrTrackBar::PositionToPixel(int value) const { return LeadingEdge(value, Extents(1.0)); }

int TVrTrackBar::LeadingEdge(int value, const TrackExtents& extents) const {
  const double range = Range();
  const double fraction = range > 0 ? (double(value) - double(FMinValue)) / range : 0.0;
  const long long b = 0LL + RoundToInt(extents.Length() * fraction) + extents.border;
  // The inner rectangle's near and far edges add up to the control's length.
  if (Reversed()) return ClampToInt(0LL + extents.control - b - extents.thumb);
  return ClampToInt(b);
}

int TVrTrackBar::PixelToPosition(int pixel) const {
  const long long along = Vertical() ? 0LL + height() - pixel - FThumbHeight : pixel;
  const int length = TrackLength();
  double value = length > 0 ? RoundHalfEven(double(along - TrackStart()) * Range() / length) : 0.0;
  if ((FOptions & toFixedPoints) != 0) value = RoundHalfEven(value / FFrequency) * FFrequency;
  return static_cast<int>(std::min(std::max(value, 0.0) + FMinValue, double(FMaxValue)));
}

void TVrTrackBar::MoveThumbTo(int pixel) {
  pixel = std::clamp(pixel, TrackStart(), TrackStart() + TrackLength());
  const int value = PixelToPosition(pixel);
  SetPosition(FStyle == TVrProgressStyle::psBottomLeft ? value : ClampToInt(0LL + FMaxValue + FMinValue - value));
}

// --- Painting ---------------------------------------------------------------

// Ticks and thumb are placed at the picture's own pixels, so that at any
// ratio every tick has one thickness and the thumb's edges are sharp; the
// gutter and the focus frame are logical rectangles, scaled.
void TVrTrackBar::PaintImage(QPainter& painter) {
  const QRect gutter = GutterRect();
  if (FTickMarks == TVrTickMarks::tmBoth || FTickMarks == TVrTickMarks::tmTopLeft) {
    DrawTicks(painter, (Vertical() ? gutter.left() : gutter.top()) - FScaleOffset, -kLongTick, -kShortTick);
  }
  if (FTickMarks == TVrTickMarks::tmBoth || FTickMarks == TVrTickMarks::tmBottomRight) {
    const int farEdge = Vertical() ? gutter.left() + gutter.width() : gutter.top() + gutter.height();
    DrawTicks(painter, farEdge + FScaleOffset, kLongTick, kShortTick);
  }
  if (FGutterBevel.Visible()) {
    QRect inside = gutter;
    FGutterBevel.Paint(painter, inside);
    painter.fillRect(inside, ToQColor(FGutterColor));
  }
  if (FFocused && FFocusOffset >= 0) {
    QRect frame = rect().adjusted(FFocusOffset, FFocusOffset, -FFocusOffset, -FFocusOffset);
    DrawRing(painter, frame, 1, ToQColor(FFocusColor));
  }
  DrawThumb(painter, DeviceThumbImage(PictureRatio()));
}

// In device pixels: each tick one line thick, centred on the thumb that
// stands at its value.
void TVrTrackBar::DrawTicks(QPainter& painter, int base, int longTick, int shortTick) const {
  const QColor color = ToQColor(FTickColor);
  const double ratio = PictureRatio();
  const TrackExtents extents = Extents(ratio);
  const int line = DeviceLineWidth(ratio);
  const int centring = (extents.thumb - line + 1) / 2;
  painter.save();
  painter.resetTransform();
  for (const int value : TickValues(FMinValue, FMaxValue, FFrequency, TrackLength())) {
    const int tick = (value == FMinValue || value == FMaxValue) ? longTick : shortTick;
    const int across = LeadingEdge(value, extents) + centring;
    const int from = ToDevice(std::min(base, base + tick), ratio);
    const int extent = ToDevice(std::max(base, base + tick), ratio) - from;
    painter.fillRect(Vertical() ? QRect(from, across, extent, line) : QRect(across, from, line, extent), color);
  }
  painter.restore();
}

// In device pixels, from the pictures at the picture's ratio.
void TVrTrackBar::DrawThumb(QPainter& painter, const QImage& pictures) const {
  int picture = 0;
  const bool ownEnabled = parentWidget() != nullptr ? isEnabledTo(parentWidget()) : isEnabled();
  if (!ownEnabled) picture = 1;
  if (FThumbDown) picture = 2;
  if (FThumbHasMouse && !FThumbDown) picture = 3;
  if (picture > FThumbStates - 1) picture = 0;
  const double ratio = PictureRatio();
  const QSize thumb = ToDevice(QSize(FThumbWidth, FThumbHeight), ratio);
  const int leading = LeadingEdge(FPosition, Extents(ratio));
  const QPoint at = Vertical() ? QPoint((ToDevice(width(), ratio) - thumb.width()) / 2, leading)
                               : QPoint(leading, (ToDevice(height(), ratio) - thumb.height()) / 2);
  painter.save();
  painter.resetTransform();
  painter.drawImage(at, pictures, QRect(QPoint(picture * thumb.width(), 0), thumb));
  painter.restore();
}

// --- Input ------------------------------------------------------------------

void TVrTrackBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if ((focusPolicy() & Qt::ClickFocus) != 0) setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  const QRect thumb = ThumbRect();
  if (thumb.contains(point)) {
    FThumbDown = true;
    FHit = Vertical() ? point.y() - thumb.top() : point.x() - thumb.left();
    if ((FOptions & toMouseClip) != 0) {
      FConfinement.Confine(*this);
      FClipOn = true;
    }
    Redraw();
  } else if ((FOptions & toActiveClick) != 0) {
    // The thumb jumps to centre on the press but does not follow the mouse.
    FHit = Vertical() ? point.y() - FThumbHeight / 2 : point.x() - FThumbWidth / 2;
    MoveThumbTo(FHit);
  }
}

void TVrTrackBar::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (FThumbDown) {
    if (FClipOn) FConfinement.KeepInside(event->globalPosition().toPoint());
    MoveThumbTo((Vertical() ? point.y() : point.x()) - FHit);
  } else {
    UpdateHover(point);
  }
}

void TVrTrackBar::mouseReleaseEvent(QMouseEvent*) {
  if (FThumbDown) {
    FThumbDown = false;
    Redraw();
  }
  if (FClipOn) {
    FConfinement.Release();
    FClipOn = false;
  }
}

void TVrTrackBar::UpdateHover(const QPoint& point) {
  const bool over = ThumbRect().contains(point);
  if (over == FThumbHasMouse) return;
  FThumbHasMouse = over;
  if (over && (FOptions & toHandPoint) != 0) {
    setCursor(ProgramCursor(kHandPointCursor));
  } else {
    unsetCursor();
  }
  Redraw();
}

void TVrTrackBar::wheelEvent(QWheelEvent* event) {
  // Notches of 120; a part of one waits for the rest.
  FWheelRemainder += event->angleDelta().y();
  for (; FWheelRemainder >= kWheelNotch; FWheelRemainder -= kWheelNotch)
    SetPosition(ClampToInt(0LL + FPosition + FFrequency));
  for (; FWheelRemainder <= -kWheelNotch; FWheelRemainder += kWheelNotch)
    SetPosition(ClampToInt(0LL + FPosition - FFrequency));
  event->accept();
}

void TVrTrackBar::keyPressEvent(QKeyEvent* event) {
  if ((event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0) {
    TVrCustomImageControl::keyPressEvent(event);
    return;
  }
  const int increase = Vertical() ? Qt::Key_Up : Qt::Key_Right;
  const int decrease = Vertical() ? Qt::Key_Down : Qt::Key_Left;
  const long long step = FStyle == TVrProgressStyle::psTopRight ? -FFrequency : FFrequency;
  if (event->key() == Qt::Key_Home) {
    SetPosition(FMaxValue);
  } else if (event->key() == Qt::Key_End) {
    SetPosition(FMinValue);
  } else if (event->key() == increase) {
    SetPosition(ClampToInt(FPosition + step));
  } else if (event->key() == decrease) {
    SetPosition(ClampToInt(FPosition - step));
  } else {
    TVrCustomImageControl::keyPressEvent(event);
  }
}

void TVrTrackBar::SetFocused(bool focused) {
  if (focused == FFocused) return;
  FFocused = focused;
  Redraw();
}

void TVrTrackBar::focusInEvent(QFocusEvent*) { SetFocused(true); }
void TVrTrackBar::focusOutEvent(QFocusEvent*) { SetFocused(false); }

void TVrTrackBar::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) Redraw();
  TVrCustomImageControl::changeEvent(event);
}

void TVrTrackBar::resizeEvent(QResizeEvent*) { Redraw(); }
