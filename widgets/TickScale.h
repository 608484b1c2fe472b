// The slider's scale: which values carry a tick mark. Standard library only,
// so that it is tested against every small case without a widget.
#pragma once

#include <vector>

// Marks never stand closer than this many pixels, unless one gap spans the
// whole track.
inline constexpr int kMinTickSpacing = 4;

// The values of the tick marks of a track `length` pixels long showing
// `minValue` .. `maxValue`: minValue, minValue + step, minValue + 2 step, ...,
// with maxValue in place of the last one. The number of gaps is the range
// divided by the step, rounded to nearest with ties to even, and the step is
// the smallest multiple of `frequency` for which `length` divided (truncating)
// by that number of gaps is at least kMinTickSpacing, or for which there is at
// most one gap. Empty when `frequency`, the range or `length` is not positive.
// Costs one division whatever the range, and its result has at most
// length / kMinTickSpacing + 1 values.
std::vector<int> TickValues(int minValue, int maxValue, int frequency, int length);
