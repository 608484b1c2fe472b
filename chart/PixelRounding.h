// The chart's one rounding rule for pixel positions: to the nearest integer,
// ties to even.
#pragma once

// Adding and subtracting 1.5 * 2^52 leaves no bits below the unit, so the sum
// is rounded by the current rounding mode, which the program never changes
// from round-to-nearest-even. Valid for |value| <= 2^51; callers keep their
// values far inside that. Much cheaper than a call to nearbyint where SSE4.1
// is not in the instruction-set baseline.
inline double RoundHalfEven(double value) {
  constexpr double kRoundingShift = 6755399441055744.0;
  return (value + kRoundingShift) - kRoundingShift;
}
