// Arrow button with its repeat timer.
#include "TAdvTimerSpeedButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "Colors.h"
#include "TVrBevel.h"

TAdvTimerSpeedButton::TAdvTimerSpeedButton(const QString& picture, QWidget* parent)
    : QWidget(parent), FPicture(picture) {
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

void TAdvTimerSpeedButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect face = rect();
  const bool sunken = FPressed && FPointerOver;
  DrawFrame(painter, face, 1, ToQColor(sunken ? clBtnShadow : clBtnHighlight),
            ToQColor(sunken ? clBtnHighlight : clBtnShadow));
  painter.fillRect(face, ToQColor(clBtnFace));
  const QPoint offset = sunken ? QPoint(1, 1) : QPoint(0, 0);
  painter.drawImage(QPoint((width() - FPicture.width()) / 2, (height() - FPicture.height()) / 2) + offset, FPicture);
}
