// Fuzzes the spin box's number parser: no crash, and its verdict and value
// agree with a plain reference built on a regular expression.
#include <locale.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

#include "NumberSyntax.h"

namespace {

// Characters the fuzzer combines: everything the syntax knows, and a few it
// must refuse (tab, letters, non-ASCII digits, the superscript two).
constexpr char16_t kAlphabet[] = {u'0', u'1', u'5', u'9',  u' ',      u'+',      u'-',      u'.',      u',',
                                  u'e', u'E', u'a', u'\t', u'\u00B2', u'\u0663', u'\u00A0', u'\uFF11', u'7'};

std::optional<long double> Reference(const std::u16string& text, char16_t separator) {
  std::string ascii;
  for (char16_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
  const std::string sep = separator == u'.' ? "\\." : ",";
  static const std::regex point("^ *([+-]?)([0-9]*)(\\.([0-9]*))?([eE]([+-]?)([0-9]+))? *$");
  static const std::regex comma("^ *([+-]?)([0-9]*)(,([0-9]*))?([eE]([+-]?)([0-9]+))? *$");
  std::smatch m;
  if (!std::regex_match(ascii, m, separator == u'.' ? point : comma)) return std::nullopt;
  if (m[2].length() == 0 && !m[3].matched) return std::nullopt;
  int exponent = 0;
  for (char digit : m[7].str()) {
    if (exponent >= 500) return std::nullopt;
    exponent = exponent * 10 + (digit - '0');
  }
  const std::string number =
      m[1].str() + (m[2].length() ? m[2].str() : "0") + "." + m[4].str() + "0e" + m[6].str() + std::to_string(exponent);
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  const long double value = strtold_l(number.c_str(), nullptr, cLocale);
  if (std::isinf(value)) return std::nullopt;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char16_t separator = (data[0] & 1) != 0 ? u',' : u'.';
  std::u16string text;
  for (std::size_t i = 1; i < size; ++i) {
    text += (data[i] & 0x80) != 0 ? kAlphabet[data[i] % (sizeof kAlphabet / sizeof kAlphabet[0])]
                                  : static_cast<char16_t>(data[i]);
  }
  const std::optional<long double> parsed = ParseNumber(text, separator);
  const std::optional<long double> expected = Reference(text, separator);
  if (parsed.has_value() != expected.has_value()) std::abort();
  if (parsed && !(*parsed == *expected || (*parsed != *parsed && *expected != *expected))) std::abort();
  if (parsed) {
    // Formatting any value read must not crash and must read back.
    const std::u16string written = FormatFixed(*parsed, 3, separator);
    if (!ParseNumber(written, separator)) std::abort();
  }
  return 0;
}
