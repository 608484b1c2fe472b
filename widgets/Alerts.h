// Message boxes and the system beep, reached through one seam so that tests
// can see every box (its owner, text, caption and icon) without a person to
// dismiss it.
#pragma once

#include <QString>

class QWidget;

enum class AlertIcon { None, Critical };

class AlertSink {
 public:
  virtual ~AlertSink() = default;
  // A modal box with an OK button; returns once it is dismissed. An empty
  // caption shows the application title.
  virtual void ShowMessage(QWidget* owner, const QString& text, const QString& caption, AlertIcon icon) = 0;
  virtual void Beep() = 0;
};

// The sink in use: the real boxes unless a test installed its own.
AlertSink& Alerts();
// Installs `sink` for the whole process; nullptr puts the real boxes back.
void SetAlertSink(AlertSink* sink);

// For a program that is ending: closes every real box that is open, as if
// dismissed, and from then on shows no box and sounds no beep, whichever sink
// is installed. Window thread only.
void StopAlerts();
