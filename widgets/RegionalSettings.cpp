// Reading the separators from the system locale.
#include "RegionalSettings.h"

#include <QLocale>
#include <optional>

namespace {

// The first character of a format that is not part of a field, such as the
// '/' of "dd/MM/yyyy"; `fallback` when the format has none.
char16_t FirstSeparatorIn(const QString& format, char16_t fallback) {
  for (QChar c : format) {
    if (!c.isLetter() && c != u'\'' && c != u' ') return c.unicode();
  }
  return fallback;
}

char16_t FirstCharOf(const QString& text, char16_t fallback) { return text.isEmpty() ? fallback : text[0].unicode(); }

RegionalSettings FromSystem() {
  const QLocale locale = QLocale::system();
  RegionalSettings settings;
  settings.decimalSeparator = FirstCharOf(locale.decimalPoint(), u'.');
  settings.thousandsSeparator = FirstCharOf(locale.groupSeparator(), u',');
  settings.dateSeparator = FirstSeparatorIn(locale.dateFormat(QLocale::ShortFormat), u'/');
  settings.timeSeparator = FirstSeparatorIn(locale.timeFormat(QLocale::ShortFormat), u':');
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
