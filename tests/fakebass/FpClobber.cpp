// A module whose start-up code changes the floating-point rounding mode, to
// show that loading the audio library leaves the loader's arithmetic alone.
#include <cfenv>

__attribute__((constructor)) static void ClobberRounding() { std::fesetround(FE_UPWARD); }
