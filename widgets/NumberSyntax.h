// The spin box's number text: reading it (our own syntax, independent of the
// process's C locale) and writing a value with a fixed number of decimals.
// Standard library only, so that the parser can be fuzzed on its own.
//
// Accepted, in this order: spaces (U+0020); an optional '+' or '-'; ASCII
// digits; optionally the decimal separator and ASCII digits; optionally 'E' or
// 'e', an optional sign and at least one ASCII digit, where a digit still left
// once the exponent has reached 500 makes the text invalid; spaces; the end.
// At least one digit or the separator must follow the sign. A value beyond the
// extended floating-point range is invalid.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of `text`, or nothing when it does not follow the syntax. A lone
// decimal separator reads as 0.
std::optional<long double> ParseNumber(std::u16string_view text, char16_t decimalSeparator);

// `value` with exactly `decimals` digits after the separator, rounded to at
// most 15 significant digits; a value with more than 15 digits before the
// separator is written in scientific notation ("1.5E16").
std::u16string FormatFixed(long double value, int decimals, char16_t decimalSeparator);
