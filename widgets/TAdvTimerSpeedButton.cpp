// Arrow button with its repeat timer.
#include "TAdvTimerSpeedButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "Colors.h"
#include "DevicePixels.h"
#include "TVrBevel.h"

TAdvTimerSpeedButton::TAdvTimerSpeedButton(ArrowDirection direction, QWidget* parent)
    : QWidget(parent), FDirection(direction) {
  setFocusPolicy(Qt::NoFocus);
  SetRepeatTimer(std::make_unique<QtRepeatTimer>());
}

void TAdvTimerSpeedButton::SetRepeatTimer(std::unique_ptr<RepeatTimer> timer) {
  if (timer == nullptr) return;
  if (FRepeatTimer != nullptr) FRepeatTimer->Stop();
  FRepeatTimer = std::move(timer);
  FRepeatTimer->OnFire = [this] { Repeat(); };
}

void TAdvTimerSpeedButton::Click() {
  if (OnClick) OnClick(this);
}

void TAdvTimerSpeedButton::Repeat() {
  FRepeatTimer->Start(kRepeatMs);
  if (FPressed && FPointerOver) Click();  // dragging off pauses the repeats
}

void TAdvTimerSpeedButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (OnPress) OnPress(this);
  FPressed = true;
  FPointerOver = true;
  FRepeatTimer->Start(kFirstRepeatMs);
  repaint();
}

void TAdvTimerSpeedButton::mouseMoveEvent(QMouseEvent* event) {
  if (!FPressed) return;
  const bool over = rect().contains(event->position().toPoint());
  if (over == FPointerOver) return;
  FPointerOver = over;
  repaint();
}

void TAdvTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !FPressed) return;
  FRepeatTimer->Stop();
  FPressed = false;
  repaint();
  if (rect().contains(event->position().toPoint())) Click();
}

const QImage& TAdvTimerSpeedButton::Picture(double ratio) {
  if (FPicture.isNull() || FPicture.devicePixelRatio() != ratio) FPicture = ArrowPicture(FDirection, ratio);
  return FPicture;
}

void TAdvTimerSpeedButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect face = rect();
  const bool sunken = FPressed && FPointerOver;
  DrawFrame(painter, face, 1, ToQColor(sunken ? clBtnShadow : clBtnHighlight),
            ToQColor(sunken ? clBtnHighlight : clBtnShadow));
  painter.fillRect(face, ToQColor(clBtnFace));
  // Centred and pressed in on device pixels, so that the arrow's pixels are
  // the screen's.
  const double ratio = PaintRatio(*this);
  const QImage& arrow = Picture(ratio);
  const int offset = sunken ? ToDevice(1, ratio) : 0;
  const QPoint at((ToDevice(width(), ratio) - arrow.width()) / 2 + offset,
                  (ToDevice(height(), ratio) - arrow.height()) / 2 + offset);
  painter.drawImage(QPointF(at) / ratio, arrow);
}
