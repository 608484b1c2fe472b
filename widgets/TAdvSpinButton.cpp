// Arrow pair layout and wiring.
#include "TAdvSpinButton.h"

TAdvSpinButton::TAdvSpinButton(QWidget* parent)
    : QWidget(parent),
      FUpButton(new TAdvTimerSpeedButton(ArrowDirection::kUp, this)),
      FDownButton(new TAdvTimerSpeedButton(ArrowDirection::kDown, this)) {
  setFocusPolicy(Qt::NoFocus);
  FUpButton->OnClick = [this](QObject*) {
    if (OnUpClick) OnUpClick(this);
  };
  FDownButton->OnClick = [this](QObject*) {
    if (OnDownClick) OnDownClick(this);
  };
  for (TAdvTimerSpeedButton* arrow : {FUpButton, FDownButton}) {
    arrow->OnPress = [this](QObject*) {
      if (OnArrowPress) OnArrowPress(this);
    };
  }
}

void TAdvSpinButton::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  FUpButton->setGeometry(0, 0, width(), upper);
  FDownButton->setGeometry(0, upper, width(), height() - upper);
}
