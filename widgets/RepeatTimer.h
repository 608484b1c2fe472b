// The timer behind a held arrow's repeats, with one pending shot at a time:
// the interface the arrow asks, and the Qt timer it uses unless a test puts
// in one it fires by hand (so that no test waits on the clock).
#pragma once

#include <QTimer>
#include <functional>

class RepeatTimer {
 public:
  virtual ~RepeatTimer() = default;
  // OnFire runs once, `intervalMs` from now, in place of any pending shot.
  virtual void Start(int intervalMs) = 0;
  // Drops the pending shot, if any.
  virtual void Stop() = 0;

  std::function<void()> OnFire;
};

class QtRepeatTimer final : public RepeatTimer {
 public:
  QtRepeatTimer();
  void Start(int intervalMs) override;
  void Stop() override;

 private:
  QTimer FTimer;
};
