// One arrow of the spin box: steps once when the left button is released
// over it, and while it is held steps again 400 ms after the press and then
// every 100 ms, as long as the pointer is over it.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "ArrowPicture.h"
#include "NotifyEvent.h"
#include "RepeatTimer.h"

class TAdvTimerSpeedButton : public QWidget {
 public:
  TAdvTimerSpeedButton(ArrowDirection direction, QWidget* parent);

  // Replaces the repeat timer (tests drive theirs by hand); the button owns
  // it. A pending shot of the old one is dropped; null is ignored.
  void SetRepeatTimer(std::unique_ptr<RepeatTimer> timer);

  TNotifyEvent OnClick;
  // A left press, before the repeat starts.
  TNotifyEvent OnPress;

  static constexpr int kFirstRepeatMs = 400;
  static constexpr int kRepeatMs = 100;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Repeat();
  void Click();

  // The arrow at the ratio of the last paint.
  const QImage& Picture(double ratio);

  ArrowDirection FDirection;
  QImage FPicture;
  std::unique_ptr<RepeatTimer> FRepeatTimer;
  bool FPressed = false;
  bool FPointerOver = false;
};
