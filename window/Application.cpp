// Application title, fonts, and the standard error box.
#include "Application.h"

#include <QFont>
#include <QTimer>
#include <exception>

#include "Alerts.h"
#include "ProgramCursors.h"

namespace {

constexpr int kWindowFontPixels = 11;  // 8 points at 96 dpi

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportUncaughtError(QString::fromUtf8(error.what()));
    return true;
  }
}

void ConfigureApplication(QApplication& application) {
  QApplication::setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
  // Liberation Sans has the metrics of the Windows sans faces the layout
  // was measured with; without this Qt picks DejaVu Sans.
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(kWindowFontPixels);
  application.setFont(font);
  RegisterProgramCursors();
}

void ShowErrorBox(const QString& message) {
  // An empty caption shows the application title.
  Alerts().ShowMessage(nullptr, message, QString(), AlertIcon::Critical);
}

void ReportUncaughtError(const QString& message) {
  QTimer::singleShot(0, qApp, [message] { ShowErrorBox(message); });
}
