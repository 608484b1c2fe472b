// The real message boxes and beep, and the switch to a replacement.
#include "Alerts.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class ToolkitAlerts final : public AlertSink {
 public:
  void ShowMessage(QWidget* owner, const QString& text, const QString& caption, AlertIcon icon) override {
    const auto boxIcon = icon == AlertIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
  }
  void Beep() override { QApplication::beep(); }
};

ToolkitAlerts toolkitAlerts;
AlertSink* current = &toolkitAlerts;

}  // namespace

AlertSink& Alerts() { return *current; }

void SetAlertSink(AlertSink* sink) { current = sink != nullptr ? sink : &toolkitAlerts; }
