// The repeat timer on Qt's event loop.
#include "RepeatTimer.h"

QtRepeatTimer::QtRepeatTimer() {
  FTimer.setSingleShot(true);
  QObject::connect(&FTimer, &QTimer::timeout, &FTimer, [this] {
    if (OnFire) OnFire();
  });
}

void QtRepeatTimer::Start(int intervalMs) { FTimer.start(intervalMs); }

void QtRepeatTimer::Stop() { FTimer.stop(); }
