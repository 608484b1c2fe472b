// Stands in for the message boxes and the beep: keeps what would have been
// shown and returns at once, or fails one box on request.
#pragma once

#include <QString>
#include <new>
#include <vector>

#include "Alerts.h"

struct ShownAlert {
  QWidget* owner;
  QString text;
  QString caption;
  AlertIcon icon;
};

class AlertRecorder final : public AlertSink {
 public:
  AlertRecorder() { SetAlertSink(this); }
  ~AlertRecorder() override { SetAlertSink(nullptr); }
  AlertRecorder(const AlertRecorder&) = delete;
  AlertRecorder& operator=(const AlertRecorder&) = delete;

  void ShowMessage(QWidget* owner, const QString& text, const QString& caption, AlertIcon icon) override {
    if (failNextBox) {
      failNextBox = false;
      throw std::bad_alloc();  // as a box that cannot be built for want of memory
    }
    shown.push_back({owner, text, caption, icon});
  }
  void Beep() override { ++beeps; }

  std::vector<QString> Texts() const {
    std::vector<QString> texts;
    for (const ShownAlert& alert : shown) texts.push_back(alert.text);
    return texts;
  }

  std::vector<ShownAlert> shown;
  int beeps = 0;
  // The next box fails to open: ShowMessage throws std::bad_alloc and keeps
  // nothing. The boxes after it open again.
  bool failNextBox = false;
};
