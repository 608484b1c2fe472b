// The spin box's arrow pair: the up arrow over the upper half, the down arrow
// under it taking the odd pixel.
#pragma once

#include <QWidget>

#include "NotifyEvent.h"
#include "TAdvTimerSpeedButton.h"

class TAdvSpinButton : public QWidget {
 public:
  explicit TAdvSpinButton(QWidget* parent);

  TAdvTimerSpeedButton& UpButton() { return *FUpButton; }
  TAdvTimerSpeedButton& DownButton() { return *FDownButton; }

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;
  // Either arrow was pressed; the box takes the focus.
  TNotifyEvent OnArrowPress;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  TAdvTimerSpeedButton* FUpButton;
  TAdvTimerSpeedButton* FDownButton;
};
