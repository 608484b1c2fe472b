// Number text parsing and formatting.
#include "NumberSyntax.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kExponentLimit = 500;
constexpr int kSignificantDigits = 15;

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Conversion through the "C" locale, so that the process's own locale (set
// from the environment by the toolkit) cannot change what a text means.
long double ConvertAscii(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  return strtold_l(text.c_str(), nullptr, cLocale);
}

std::u16string Widen(std::string_view ascii, char16_t decimalSeparator) {
  std::u16string out;
  for (char c : ascii) out.push_back(c == '.' ? decimalSeparator : static_cast<char16_t>(c));
  return out;
}

// Digits and decimal exponent of `value` rounded to `digits` significant
// digits: value ~ 0.d1d2d3... * 10^(exponent + 1).
struct Decimal {
  std::string digits;
  int exponent;
};

Decimal RoundToSignificant(long double magnitude, int digits) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, digits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  Decimal decimal{std::string(1, text[0]), std::atoi(std::string(text.substr(e + 1)).c_str())};
  if (e > 2) decimal.digits += text.substr(2, e - 2);
  return decimal;
}

int DecimalExponent(long double magnitude) { return RoundToSignificant(magnitude, kSignificantDigits).exponent; }

std::string Scientific(long double magnitude) {
  Decimal d = RoundToSignificant(magnitude, kSignificantDigits);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  std::string out = d.digits.substr(0, 1);
  if (d.digits.size() > 1) out += "." + d.digits.substr(1);
  return out + "E" + std::to_string(d.exponent);
}

std::string Fixed(long double magnitude, int decimals) {
  const int exponent = DecimalExponent(magnitude);
  const int keep = std::min(kSignificantDigits, exponent + 1 + decimals);
  std::string integerPart = "0";
  std::string fraction(static_cast<std::size_t>(decimals), '0');
  if (keep >= 1) {
    const Decimal d = RoundToSignificant(magnitude, keep);
    // All digits, placed against a decimal point after exponent + 1 of them.
    const int pointAt = d.exponent + 1;
    std::string all = d.digits;
    if (pointAt <= 0) all.insert(0, static_cast<std::size_t>(-pointAt + 1), '0');
    const std::size_t point = static_cast<std::size_t>(std::max(pointAt, 1));
    if (all.size() < point) all.append(point - all.size(), '0');
    integerPart = all.substr(0, point);
    const std::string rest = all.substr(point);
    fraction.replace(0, std::min(rest.size(), fraction.size()), rest.substr(0, fraction.size()));
  } else if (keep == 0 && magnitude >= 0.5L * std::pow(10.0L, -decimals)) {
    fraction.back() = '1';  // the first digit lies just past the decimals and rounds up
  }
  return decimals > 0 ? integerPart + "." + fraction : integerPart;
}

}  // namespace

std::optional<long double> ParseNumber(std::u16string_view text, char16_t decimalSeparator) {
  std::size_t i = 0;
  const auto at = [&](std::size_t k) -> char16_t { return k < text.size() ? text[k] : u'\0'; };
  std::string ascii;
  while (at(i) == u' ') ++i;
  if (at(i) == u'+' || at(i) == u'-') ascii += static_cast<char>(text[i++]);
  std::size_t mantissaDigits = 0;
  bool hasSeparator = false;
  for (; IsAsciiDigit(at(i)); ++i, ++mantissaDigits) ascii += static_cast<char>(text[i]);
  if (i < text.size() && text[i] == decimalSeparator) {
    hasSeparator = true;
    ascii += '.';
    for (++i; IsAsciiDigit(at(i)); ++i, ++mantissaDigits) ascii += static_cast<char>(text[i]);
  }
  if (mantissaDigits == 0 && !hasSeparator) return std::nullopt;
  if (mantissaDigits == 0) ascii += '0';  // a lone separator reads as zero
  if (at(i) == u'E' || at(i) == u'e') {
    ascii += 'e';
    ++i;
    if (at(i) == u'+' || at(i) == u'-') ascii += static_cast<char>(text[i++]);
    if (!IsAsciiDigit(at(i))) return std::nullopt;
    int exponent = 0;
    for (; IsAsciiDigit(at(i)); ++i) {
      if (exponent >= kExponentLimit) return std::nullopt;
      exponent = exponent * 10 + (text[i] - u'0');
    }
    ascii += std::to_string(exponent);
  }
  while (at(i) == u' ') ++i;
  if (i != text.size()) return std::nullopt;
  const long double value = ConvertAscii(ascii);
  if (std::isinf(value)) return std::nullopt;
  return value;
}

std::u16string FormatFixed(long double value, int decimals, char16_t decimalSeparator) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  const long double magnitude = std::fabs(value);
  std::string text;
  if (magnitude != 0 && DecimalExponent(magnitude) >= kSignificantDigits) {
    text = Scientific(magnitude);
  } else {
    text = Fixed(magnitude, decimals);
  }
  const bool roundsToZero = text.find_first_not_of("0.") == std::string::npos;
  if (value < 0 && !roundsToZero) text.insert(0, "-");
  return Widen(text, decimalSeparator);
}
