// The tick step in closed form.
#include "TickScale.h"

#include <algorithm>
#include <cstdint>

namespace {

// numerator / denominator rounded to nearest, ties to even; both positive.
uint64_t DivideRoundingToEven(uint64_t numerator, uint64_t denominator) {
  const uint64_t quotient = numerator / denominator;
  const uint64_t twiceRemainder = 2 * (numerator % denominator);
  if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 == 1)) return quotient + 1;
  return quotient;
}

// The smallest g >= 1 for which range / (g * frequency), rounded to nearest
// with ties to even, is at most maxGaps. That rounding stays at or below
// maxGaps exactly when 2 range < (2 maxGaps + 1) g frequency, or when both
// sides are equal and maxGaps is even (the tie goes down to it).
uint64_t SmallestMultiple(uint64_t range, uint64_t frequency, uint64_t maxGaps) {
  // range < 2^32, frequency < 2^31 and maxGaps < 2^30: no product overflows.
  const uint64_t twiceRange = 2 * range;
  const uint64_t perMultiple = (2 * maxGaps + 1) * frequency;
  const uint64_t below = twiceRange / perMultiple;
  const bool tieGoesDown = twiceRange % perMultiple == 0 && maxGaps % 2 == 0;
  return tieGoesDown && below >= 1 ? below : below + 1;
}

}  // namespace

std::vector<int> TickValues(int minValue, int maxValue, int frequency, int length) {
  const int64_t range = int64_t{maxValue} - minValue;
  if (frequency <= 0 || range <= 0 || length <= 0) return {};
  // n gaps leave length / n pixels each; one gap is always enough.
  const uint64_t maxGaps = std::max(length / kMinTickSpacing, 1);
  const uint64_t step = SmallestMultiple(uint64_t(range), uint64_t(frequency), maxGaps) * uint64_t(frequency);
  const uint64_t gaps = DivideRoundingToEven(uint64_t(range), step);
  std::vector<int> values;
  values.reserve(gaps + 1);
  // The marks before the last stay below maxValue: (gaps - 1) step is at most
  // range - step / 2.
  for (uint64_t i = 0; i < gaps; ++i) values.push_back(static_cast<int>(minValue + int64_t(i * step)));
  values.push_back(maxValue);
  return values;
}
