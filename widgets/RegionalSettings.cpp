// Reading the separators from the system locale.
#include "RegionalSettings.h"

#include <QLocale>
#include <optional>

namespace {

char16_t FirstCharOf(const QString& text, char16_t fallback) { return text.isEmpty() ? fallback : text[0].unicode(); }

RegionalSettings FromSystem() {
  const QLocale locale = QLocale::system();
  RegionalSettings settings;
  settings.decimalSeparator = FirstCharOf(locale.decimalPoint(), u'.');
  settings.thousandsSeparator = FirstCharOf(locale.groupSeparator(), u',');
  return settings;
}

std::optional<RegionalSettings>& Current() {
  static std::optional<RegionalSettings> current;
  return current;
}

}  // namespace

const RegionalSettings& Regional() {
  if (!Current()) Current() = FromSystem();
  return *Current();
}

void SetRegional(const RegionalSettings& settings) { Current() = settings; }
