// Rounding to the nearest integer with ties to even, the floating-point
// unit's default mode: the one rule by which the level slider and the chart
// put values on pixels, and whose shift the tone kernels use, in vector form,
// to reduce a phase. Standard library only.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

// Adding 1.5 * 2^52 to a double of magnitude up to 2^51 leaves no bits below
// the unit, so the sum is rounded to an integer by the current rounding mode,
// which the program never changes from round-to-nearest-even; subtracting it
// again gives that integer exactly. The sum's last bit is the integer's
// parity.
inline constexpr double kRoundingShift = 0x1.8p+52;
// The largest magnitude for which the shift is exact.
inline constexpr double kRoundingShiftLimit = 0x1p+51;

// The integer nearest to `value`, ties to even, for |value| <= 2^51
// (kRoundingShiftLimit) only, unchecked: for loops whose values are bounded
// already. Much cheaper than a call to nearbyint where SSE4.1 is not in the
// instruction-set baseline.
inline double RoundHalfEvenUnchecked(double value) { return (value + kRoundingShift) - kRoundingShift; }

// The integer nearest to any `value`, ties to even, as nearbyint gives it
// except that a zero result is always +0: values beyond 2^51, infinities and
// not-a-number take nearbyint.
inline double RoundHalfEven(double value) {
  if (!(std::fabs(value) <= kRoundingShiftLimit)) return std::nearbyint(value);
  return RoundHalfEvenUnchecked(value);
}

// The int nearest to `value`, ties to even; values beyond the int range give
// its limits and not-a-number gives 0, where a plain conversion would be
// undefined.
inline int RoundToInt(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(RoundHalfEvenUnchecked(std::clamp(value, double{INT_MIN}, double{INT_MAX})));
}
