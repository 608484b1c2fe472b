// The real message boxes and beep, the switch to a replacement, and the end
// of every box when the program ends.
#include "Alerts.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <vector>

namespace {

class ToolkitAlerts final : public AlertSink {
 public:
  void ShowMessage(QWidget* owner, const QString& text, const QString& caption, AlertIcon icon) override {
    const auto boxIcon = icon == AlertIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, owner);
    openBoxes_.push_back(&box);
    box.exec();
    openBoxes_.erase(std::find(openBoxes_.begin(), openBoxes_.end(), &box));
  }
  void Beep() override { QApplication::beep(); }

  // Each box's own event loop ends once control is back in it; a box opened
  // from within another's loop ends first.
  void CloseOpenBoxes() {
    for (QMessageBox* box : openBoxes_) box->reject();
  }

 private:
  // Boxes whose exec() has not returned, innermost last.
  std::vector<QMessageBox*> openBoxes_;
};

class NoAlerts final : public AlertSink {
 public:
  void ShowMessage(QWidget*, const QString&, const QString&, AlertIcon) override {}
  void Beep() override {}
};

ToolkitAlerts toolkitAlerts;
NoAlerts noAlerts;
AlertSink* current = &toolkitAlerts;
bool stopped = false;

}  // namespace

AlertSink& Alerts() { return stopped ? static_cast<AlertSink&>(noAlerts) : *current; }

void SetAlertSink(AlertSink* sink) { current = sink != nullptr ? sink : &toolkitAlerts; }

void StopAlerts() {
  stopped = true;
  toolkitAlerts.CloseOpenBoxes();
}
