// Application title and fonts.
#include "Application.h"

#include <QApplication>
#include <QFont>

#include "ProgramCursors.h"

namespace {

constexpr int kWindowFontPixels = 11;  // 8 points at 96 dpi

}  // namespace

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
