// Fuzzes the spin box's number text against references of its own: the
// syntax as a regular expression, the exponent limit read from the exponent's
// digits as a whole, and every value converted exactly by MPFR and rounded
// once to a long double. The text written for a value read is checked the
// same way: MPFR's correctly rounded decimal digits, placed by the rules of
// three decimals, at most 15 significant digits and scientific notation from
// 10^15 on. No crash, and every verdict, value and text must agree.
#include <mpfr.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
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

constexpr int kDecimals = 3;  // what the window writes
constexpr int kSignificantDigits = 15;
constexpr long kExponentLimit = 500;  // no exponent digit may follow once this is reached

// An MPFR number that clears itself.
class Real {
 public:
  explicit Real(mpfr_prec_t precision) { mpfr_init2(value_, precision); }
  ~Real() { mpfr_clear(value_); }
  Real(const Real&) = delete;
  Real& operator=(const Real&) = delete;
  mpfr_ptr get() { return value_; }

 private:
  mpfr_t value_;
};

// MPFR's exponent range made that of a long double (MPFR counts exponents for
// significands in [0.5, 1), as <cfloat> does), down to the smallest
// subnormal, so that a result rounds exactly as the hardware type would.
void UseLongDoubleRange() {
  mpfr_set_emin(LDBL_MIN_EXP - LDBL_MANT_DIG + 1);
  mpfr_set_emax(LDBL_MAX_EXP);
}

// The decimal integer `digits` times 10^`scale`, rounded once to the nearest
// long double; nothing when that is beyond the long double range.
std::optional<long double> ExactDecimal(bool negative, const std::string& digits, long scale) {
  const std::string text =
      (negative ? "-" : "") + (digits.empty() ? std::string("0") : digits) + "e" + std::to_string(scale);
  Real value(LDBL_MANT_DIG);
  char* end = nullptr;
  int ternary = mpfr_strtofr(value.get(), text.c_str(), &end, 10, MPFR_RNDN);
  if (*end != '\0') std::abort();  // the reference built a text MPFR cannot read
  ternary = mpfr_subnormalize(value.get(), ternary, MPFR_RNDN);
  if (mpfr_inf_p(value.get())) return std::nullopt;
  return mpfr_get_ld(value.get(), MPFR_RNDN);  // exact: the value already is a long double
}

// The exponent's value, or nothing when a digit follows once the digits read
// make 500 or more. The digits read so far only grow, so that happens exactly
// when all digits but the last make 500 or more.
std::optional<long> ExponentValue(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  const std::string significant = digits.substr(first);
  const std::string allButLast = significant.substr(0, significant.size() - 1);
  if (allButLast.size() > 3 || (allButLast.size() == 3 && std::stol(allButLast) >= kExponentLimit)) {
    return std::nullopt;
  }
  return std::stol(significant);
}

std::optional<long double> Reference(const std::u16string& text, char16_t separator) {
  std::string ascii;
  for (char16_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
  static const std::regex point("^ *([+-]?)([0-9]*)(\\.([0-9]*))?([eE]([+-]?)([0-9]+))? *$");
  static const std::regex comma("^ *([+-]?)([0-9]*)(,([0-9]*))?([eE]([+-]?)([0-9]+))? *$");
  std::smatch m;
  if (!std::regex_match(ascii, m, separator == u'.' ? point : comma)) return std::nullopt;
  const std::string integer = m[2].str(), fraction = m[4].str();
  if (integer.empty() && !m[3].matched) return std::nullopt;
  const std::optional<long> exponent = ExponentValue(m[7].str());
  if (!exponent) return std::nullopt;
  const long scale = (m[6].str() == "-" ? -*exponent : *exponent) - static_cast<long>(fraction.size());
  return ExactDecimal(m[1].str() == "-", integer + fraction, scale);
}

// MPFR's formatted output of the long double `value`, correctly rounded.
std::string Print(const char* format, long double value) {
  Real exact(LDBL_MANT_DIG);
  mpfr_set_ld(exact.get(), value, MPFR_RNDN);
  char* text = nullptr;
  if (mpfr_asprintf(&text, format, exact.get()) < 0) std::abort();
  std::string result(text);
  mpfr_free_str(text);
  return result;
}

// What FormatFixed must write for `value` with three decimals.
std::u16string ExpectedText(long double value, char16_t separator) {
  const long double magnitude = std::fabs(value);
  // The value rounded to 15 significant digits decides the form.
  const std::string scientific = Print("%.14Re", magnitude);  // d.dddddddddddddde+x
  const std::string digits = scientific.substr(0, 1) + scientific.substr(2, kSignificantDigits - 1);
  const int exponent = std::stoi(scientific.substr(scientific.find('e') + 1));
  std::string text;
  if (exponent >= kSignificantDigits) {
    const std::string kept = digits.substr(0, digits.find_last_not_of('0') + 1);
    text = kept.substr(0, 1) + (kept.size() > 1 ? "." + kept.substr(1) : "") + "E" + std::to_string(exponent);
  } else if (exponent + 1 + kDecimals > kSignificantDigits) {
    // Fifteen digits end before the third decimal; zeros fill the rest.
    const auto point = static_cast<std::size_t>(exponent + 1);
    std::string fraction = digits.substr(point);
    fraction.resize(kDecimals, '0');
    text = digits.substr(0, point) + "." + fraction;
  } else {
    text = Print("%.3Rf", magnitude);
  }
  if (value < 0 && text.find_first_not_of("0.") != std::string::npos) text.insert(0, "-");
  std::u16string wide;
  for (char c : text) wide += c == '.' ? separator : static_cast<char16_t>(c);
  return wide;
}

bool SameValue(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

void Fail(const char* what, const std::u16string& text) {
  std::fprintf(stderr, "%s for \"", what);
  for (char16_t c : text) {
    if (c < 0x80) {
      std::fputc(c, stderr);
    } else {
      std::fprintf(stderr, "\\u%04X", static_cast<unsigned>(c));
    }
  }
  std::fprintf(stderr, "\"\n");
  std::abort();
}

// Parsing `text` agrees with the reference; returns the value read.
std::optional<long double> CheckParse(const std::u16string& text, char16_t separator) {
  const std::optional<long double> parsed = ParseNumber(text, separator);
  const std::optional<long double> expected = Reference(text, separator);
  if (parsed.has_value() != expected.has_value()) Fail("verdicts differ", text);
  if (parsed && !SameValue(*parsed, *expected)) Fail("values differ", text);
  return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  UseLongDoubleRange();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char16_t separator = (data[0] & 1) != 0 ? u',' : u'.';
  std::u16string text;
  for (std::size_t i = 1; i < size; ++i) {
    text += (data[i] & 0x80) != 0 ? kAlphabet[data[i] % (sizeof kAlphabet / sizeof kAlphabet[0])]
                                  : static_cast<char16_t>(data[i]);
  }
  const std::optional<long double> value = CheckParse(text, separator);
  if (value) {
    const std::u16string written = FormatFixed(*value, kDecimals, separator);
    if (written != ExpectedText(*value, separator)) Fail("the text written differs", text);
    CheckParse(written, separator);  // and reads back as what it says
  }
  return 0;
}
