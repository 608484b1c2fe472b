// The kernels of ToneKernels.h written once over an instruction set `Isa`,
// for the two files that instantiate them (SSE2 and AVX2).
//
// `Isa` provides a vector type V of kLanes doubles and these operations:
// Load, Store, Set (broadcast), Add, Sub, Mul, MulAdd (a * b + c, fused where
// the processor has it), ProductError (the exact a * b - product), Abs, Min,
// Max, the comparisons Less, Greater, Equal giving lane masks, And, Or, Xor,
// Select(mask, a, b), LowBitToSign (bit 0 of each lane moved to its sign bit,
// the rest cleared), SignMask (one bit per lane) and StoreTruncated (toward
// zero into int32).
//
// Everything here has internal linkage: each instruction set's file compiles
// its own copy, so the linker can never hand code built for AVX2 to a caller
// on a processor without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "Rounding.h"
#include "ToneKernels.h"

namespace tone::kernels::detail {
namespace {

// Pi as three doubles: kPi0 + kPi1 + kPi2 is pi to 159 bits. kPi0 is also
// the long double pi rounded to a double, the factor of ArgumentGap.
inline constexpr double kPi0 = 0x1.921fb54442d18p+1;
inline constexpr double kPi1 = 0x1.1a62633145c07p-53;
inline constexpr double kPi2 = -0x1.f1976b7ed8fbcp-109;

// sin(pi * v) = v * sum over k of kSinePi[k] * v^(2k): the Taylor series of
// the sine of pi * v, coefficient k being (-1)^k pi^(2k+1) / (2k+1)!, rounded
// to a double. Eleven terms leave a truncation error below 1.3e-18 for
// |v| <= 1/2.
inline constexpr double kSinePi[] = {
    0x1.921fb54442d18p+1,  -0x1.4abbce625be53p+2,  0x1.466bc6775aae2p+1,  -0x1.32d2cce62bd86p-1,
    0x1.50783487ee782p-4,  -0x1.e3074fde8871fp-8,  0x1.e8f434d018d63p-12, -0x1.6fadb9f155744p-16,
    0x1.aaec32af93359p-21, -0x1.8a404211f9547p-26, 0x1.2877020d52cf0p-31,
};
// cos(pi * v) = sum over k of kCosinePi[k] * v^(2k), coefficient k being
// (-1)^k pi^(2k) / (2k)!, rounded to a double. Six terms leave a truncation
// error below 4.8e-7 for |v| <= 1/2: it only multiplies the argument
// correction d, |d| <= 2.2047e-19 * |p|.
inline constexpr double kCosinePi[] = {
    1.0,
    -0x1.3bd3cc9be45dep+2,
    0x1.03c1f081b5ac4p+2,
    -0x1.55d3c7e3cbffap+0,
    0x1.e1f506891babbp-3,
    -0x1.a6d1f2a204a8cp-6,
};
// sin(z) = z * sum over k of c_k * z^(2k), c_k = (-1)^k / (2k+1)!: the first
// three to 106 bits as two doubles each (kSineHigh + kSineLow), the rest from
// k = 3 on rounded to a double (kSineTail). Thirteen terms leave a
// truncation error below 2e-23 for |z| <= pi/2 + 2^-30.
inline constexpr double kSineHigh[] = {1.0, -0x1.5555555555555p-3, 0x1.1111111111111p-7};
inline constexpr double kSineLow[] = {0.0, -0x1.5555555555555p-57, 0x1.1111111111111p-63};
inline constexpr double kSineTail[] = {
    -0x1.a01a01a01a01ap-13, 0x1.71de3a556c734p-19, -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33,
    -0x1.ae7f3e733b81fp-41, 0x1.952c77030ad4ap-49, -0x1.2f49b46814157p-57, 0x1.71b8ef6dcf572p-66,
    -0x1.761b41316381ap-75, 0x1.3f3ccdd165fa9p-84,
};

// The sample kernel's error bound, in sample units, for a value with phase p
// and amplitude a: |a| * (kBoundFixed + kBoundPerPhase * |p| +
// kBoundPerPhaseSquared * p^2).
//
// The exact formula takes the sine of x = round64(kPi * p) = pi * p + d, with
// |d| <= |p| * (|kPi - pi| + 2^-64 * kPi) = 2.2047e-19 * |p|. The kernel
// computes d from ArgumentGap (exact) and pi in three doubles, and
// sin(pi * v + d) as S(v) + d * C(v), S and C the sine and cosine
// polynomials. That leaves d^2 / 2 (the Taylor remainder), d times C's error
// (4.8e-7) and the rounding of d (below 1e-31 * |p|): the phase terms. The
// rest does not depend on the phase: S of the exactly reduced phase
// (truncation 1.3e-18, coefficient rounding 2.6e-16, Horner's rule with or
// without fused steps below 5.2e-15, the square 4.4e-16), the last sum and
// the products (4.4e-16), and on the exact side the long double product and
// its rounding to a double (2^-64 + 2^-53) and sinl's own error (the
// library's test bound for this format is 9 units in the last place, 1e-18):
// 6.7e-15 in all. kBoundFixed, kBoundPerPhase and kBoundPerPhaseSquared are
// 3.0, 1.9 and 1.2 times their sums; the bound's own rounding is far inside
// that.
inline constexpr double kBoundFixed = 2.0e-14;
inline constexpr double kBoundPerPhase = 2.0e-25;
inline constexpr double kBoundPerPhaseSquared = 3.0e-38;
// Past this bound the kernel decides nothing (a level far above full scale):
// the nearest integer alone no longer tells the truncation.
inline constexpr double kLargestBound = 0.25;
// The reduction to the nearest integer (kRoundingShift) holds up to 2^51.
inline constexpr double kSamplePhaseLimit = 0x1p+50;

// The preview kernel's range: phases and levels whose partial products and
// their rounding errors stay normal doubles, and phases whose argument
// correction d (|d| <= 2.3e-19 * |p|) keeps the reduced argument within
// pi/2 + 2^-30.
inline constexpr double kPreviewSmallest = 0x1p-400;
inline constexpr double kPreviewLargestPhase = 0x1p+30;
inline constexpr double kPreviewLargestLevel = 0x1p+400;
// d = x - pi * p is known to about 2^-158 * |p|; a d smaller than this share
// of the phase (none has been seen: d is the distance of a 64-bit number from
// pi * p) would no longer be known to full relative precision.
inline constexpr double kPreviewSmallestCorrection = 0x1p-100;

// Every helper is inlined into the kernel whatever its size, and the loops
// over the parts of an interleaved vector are unrolled: a call or a loop per
// vector operation would cost more than the operation.
#define SINEFOLD_KERNEL_INLINE [[gnu::always_inline]] inline
#define SINEFOLD_EACH_PART _Pragma("GCC unroll 16") for (std::size_t k = 0; k < K; ++k)

// K vectors of `Isa` side by side as one vector of K * Isa::kLanes lanes.
// A kernel's chain of dependent operations is far longer than the
// processor's window of instructions in flight, so the independent chains of
// K vectors are interleaved in the code itself.
template <class Isa, std::size_t K>
struct Interleaved {
  struct V {
    typename Isa::V part[K];
  };
  static constexpr std::size_t kLanes = K * Isa::kLanes;

  SINEFOLD_KERNEL_INLINE static V Load(const double* p) {
    V result;
    SINEFOLD_EACH_PART result.part[k] = Isa::Load(p + k * Isa::kLanes);
    return result;
  }
  SINEFOLD_KERNEL_INLINE static void Store(double* p, V a) {
    SINEFOLD_EACH_PART Isa::Store(p + k * Isa::kLanes, a.part[k]);
  }
  SINEFOLD_KERNEL_INLINE static void StoreTruncated(int32_t* p, V a) {
    SINEFOLD_EACH_PART Isa::StoreTruncated(p + k * Isa::kLanes, a.part[k]);
  }
  SINEFOLD_KERNEL_INLINE static unsigned SignMask(V a) {
    unsigned mask = 0;
    SINEFOLD_EACH_PART mask |= static_cast<unsigned>(Isa::SignMask(a.part[k])) << (k * Isa::kLanes);
    return mask;
  }
  SINEFOLD_KERNEL_INLINE static V Set(double x) {
    V result;
    SINEFOLD_EACH_PART result.part[k] = Isa::Set(x);
    return result;
  }
#define SINEFOLD_LANEWISE(Name, Parameters, Arguments)       \
  SINEFOLD_KERNEL_INLINE static V Name Parameters {          \
    V result;                                                \
    SINEFOLD_EACH_PART result.part[k] = Isa::Name Arguments; \
    return result;                                           \
  }
  SINEFOLD_LANEWISE(LowBitToSign, (V a), (a.part[k]))
  SINEFOLD_LANEWISE(Abs, (V a), (a.part[k]))
  SINEFOLD_LANEWISE(Add, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Sub, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Mul, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Min, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Max, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Less, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Greater, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Equal, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(And, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Or, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(Xor, (V a, V b), (a.part[k], b.part[k]))
  SINEFOLD_LANEWISE(MulAdd, (V a, V b, V c), (a.part[k], b.part[k], c.part[k]))
  SINEFOLD_LANEWISE(ProductError, (V a, V b, V c), (a.part[k], b.part[k], c.part[k]))
  SINEFOLD_LANEWISE(Select, (V a, V b, V c), (a.part[k], b.part[k], c.part[k]))
#undef SINEFOLD_LANEWISE
};

// A double-double: the unevaluated sum hi + lo, |lo| <= ulp(hi) / 2.
template <class Isa>
struct Wide {
  typename Isa::V hi;
  typename Isa::V lo;
};

template <class Isa, class V = typename Isa::V>
SINEFOLD_KERNEL_INLINE Wide<Isa> TwoSum(V a, V b) {
  const V sum = Isa::Add(a, b);
  const V bPart = Isa::Sub(sum, a);
  const V error = Isa::Add(Isa::Sub(a, Isa::Sub(sum, bPart)), Isa::Sub(b, bPart));
  return {sum, error};
}

// For |a| >= |b|.
template <class Isa, class V = typename Isa::V>
SINEFOLD_KERNEL_INLINE Wide<Isa> FastTwoSum(V a, V b) {
  const V sum = Isa::Add(a, b);
  return {sum, Isa::Sub(b, Isa::Sub(sum, a))};
}

template <class Isa, class V = typename Isa::V>
SINEFOLD_KERNEL_INLINE Wide<Isa> TwoProduct(V a, V b) {
  const V product = Isa::Mul(a, b);
  return {product, Isa::ProductError(a, b, product)};
}

// The product to about 2^-104.
template <class Isa, class V = typename Isa::V>
SINEFOLD_KERNEL_INLINE Wide<Isa> WideProduct(Wide<Isa> a, Wide<Isa> b) {
  const Wide<Isa> product = TwoProduct<Isa>(a.hi, b.hi);
  return FastTwoSum<Isa>(product.hi, Isa::Add(product.lo, Isa::Add(Isa::Mul(a.hi, b.lo), Isa::Mul(a.lo, b.hi))));
}

// The rounding of Rounding.h lane by lane: adding and removing kRoundingShift
// leaves the integer nearest to each lane, ties to even, for |x| <= 2^51, and
// the sum's last bit is that integer's parity, which the phase reduction
// needs as well. Only the constants come from there: a function from a
// header would be compiled here for this file's instruction set, and the
// linker could keep that copy for every caller.

// p = n + v with n the integer nearest to p and v in [-1/2, 1/2], exact for
// |p| <= 2^51: sin(pi * p + d) = (-1)^n * sin(pi * v + d).
template <class Isa>
struct Reduced {
  typename Isa::V v;
  typename Isa::V oddSign;  // the sign bit alone where n is odd, zero elsewhere
};

template <class Isa, class V = typename Isa::V>
SINEFOLD_KERNEL_INLINE Reduced<Isa> ReducePhase(V p) {
  const V shifted = Isa::Add(p, Isa::Set(kRoundingShift));
  const V n = Isa::Sub(shifted, Isa::Set(kRoundingShift));
  return {Isa::Sub(p, n), Isa::LowBitToSign(shifted)};
}

template <class Isa, class V = typename Isa::V>
SINEFOLD_KERNEL_INLINE V RoundToInteger(V x) {
  return Isa::Sub(Isa::Add(x, Isa::Set(kRoundingShift)), Isa::Set(kRoundingShift));
}

// The bits of the first `count` values of a block.
SINEFOLD_KERNEL_INLINE uint64_t FirstValues(std::size_t count) {
  return count >= kBlock ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
}

template <class Isa>
uint64_t Samples(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                 int32_t* sample) {
  using V = typename Isa::V;
  uint64_t decided = 0;
  for (std::size_t i = 0; i < count; i += Isa::kLanes) {
    const V p = Isa::Load(phase + i);
    const V a = Isa::Load(amplitude + i);
    const Reduced<Isa> reduced = ReducePhase<Isa>(p);
    const V w = Isa::Mul(reduced.v, reduced.v);
    constexpr std::size_t sineTerms = std::size(kSinePi);
    V sine = Isa::Set(kSinePi[sineTerms - 1]);
    for (std::size_t k = sineTerms - 1; k-- > 0;) sine = Isa::MulAdd(sine, w, Isa::Set(kSinePi[k]));
    constexpr std::size_t cosineTerms = std::size(kCosinePi);
    V cosine = Isa::Set(kCosinePi[cosineTerms - 1]);
    for (std::size_t k = cosineTerms - 1; k-- > 0;) cosine = Isa::MulAdd(cosine, w, Isa::Set(kCosinePi[k]));
    // d = x - pi * p = gap - (the error of kPi0 * p) - kPi1 * p, to 1e-31 * |p|.
    const V pi0p = Isa::Mul(Isa::Set(kPi0), p);
    const V d = Isa::Sub(Isa::Sub(Isa::Load(argumentGap + i), Isa::ProductError(Isa::Set(kPi0), p, pi0p)),
                         Isa::Mul(Isa::Set(kPi1), p));
    const V sinePlusCorrection = Isa::MulAdd(d, cosine, Isa::Mul(reduced.v, sine));
    const V y = Isa::Mul(sinePlusCorrection, Isa::Xor(a, reduced.oddSign));

    // Truncation changes only at the non-zero integers, so a value farther
    // than the bound from each of them truncates as the exact one does.
    const V absP = Isa::Abs(p);
    const V perUnitLevel =
        Isa::Add(Isa::Set(kBoundFixed),
                 Isa::Mul(absP, Isa::Add(Isa::Set(kBoundPerPhase), Isa::Mul(absP, Isa::Set(kBoundPerPhaseSquared)))));
    const V bound = Isa::Mul(Isa::Abs(a), perUnitLevel);
    const V nearest = RoundToInteger<Isa>(y);
    const V clear = Isa::Or(Isa::Greater(Isa::Abs(Isa::Sub(y, nearest)), bound), Isa::Equal(nearest, Isa::Set(0.0)));
    const V decides = Isa::And(
        clear, Isa::And(Isa::Less(bound, Isa::Set(kLargestBound)), Isa::Less(absP, Isa::Set(kSamplePhaseLimit))));
    // The saturation of TruncateToSample; the comparisons above are false for
    // NaN, so a NaN never reaches the conversion as a decided value.
    Isa::StoreTruncated(sample + i, Isa::Min(Isa::Max(y, Isa::Set(-32768.0)), Isa::Set(32767.0)));
    decided |= static_cast<uint64_t>(Isa::SignMask(decides)) << i;
  }
  return ~decided & FirstValues(count);
}

// The preview values to within one unit in the last place. The exact formula
// rounds the sine of x = round64(kPi * p) and the product with the level,
// each within a few units of the 64-bit significand; this kernel computes
// the same sine of the same x to 2^-58 relative, so that after both
// roundings to a double the two are at most one unit apart:
//   d = x - pi * p exactly enough, from argumentGap = x - kPi0 * p;
//   x = pi * (n + v) + d, and sin(x) = (-1)^n * sin(z), z = pi * v + d,
//   |z| <= pi/2 + 2^-30, as a double-double;
//   sin(z) = z * P(z^2), the Taylor series to 13 terms, the first three in
//   double-double, the rest in double (at most 0.005 of P >= 0.63).
// Only additions, multiplications and exact products are used, so every
// instruction set gives the same bits.
template <class Isa>
uint64_t PreviewValues(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                       double* value) {
  using V = typename Isa::V;
  uint64_t computed = 0;
  for (std::size_t i = 0; i < count; i += Isa::kLanes) {
    const V p = Isa::Load(phase + i);
    const V a = Isa::Load(amplitude + i);
    const Reduced<Isa> reduced = ReducePhase<Isa>(p);

    // d = x - (kPi0 + kPi1 + kPi2) * p = gap - (the error of kPi0 * p) -
    // kPi1 * p - kPi2 * p. What is left after the product's error differs
    // from kPi1 * p by less than 0.2 %, so that difference is exact.
    const Wide<Isa> pi0p = TwoProduct<Isa>(Isa::Set(kPi0), p);
    const Wide<Isa> pi1p = TwoProduct<Isa>(Isa::Set(kPi1), p);
    const Wide<Isa> rest = TwoSum<Isa>(Isa::Load(argumentGap + i), Isa::Sub(Isa::Set(0.0), pi0p.lo));
    const V rounding = Isa::Sub(rest.hi, pi1p.hi);
    const V restLow = Isa::Sub(Isa::Sub(rest.lo, pi1p.lo), Isa::Mul(Isa::Set(kPi2), p));
    const Wide<Isa> d{rounding, restLow};

    const Wide<Isa> piV = TwoProduct<Isa>(Isa::Set(kPi0), reduced.v);
    const V zLow = Isa::Add(Isa::Add(piV.lo, Isa::Mul(Isa::Set(kPi1), reduced.v)), d.hi);
    Wide<Isa> z = FastTwoSum<Isa>(piV.hi, zLow);
    z.lo = Isa::Add(z.lo, d.lo);
    Wide<Isa> w = TwoProduct<Isa>(z.hi, z.hi);
    w.lo = Isa::Add(w.lo, Isa::Mul(Isa::Add(z.hi, z.hi), z.lo));

    constexpr std::size_t tailTerms = std::size(kSineTail);
    V tail = Isa::Set(kSineTail[tailTerms - 1]);
    for (std::size_t k = tailTerms - 1; k-- > 0;) tail = Isa::Add(Isa::Mul(tail, w.hi), Isa::Set(kSineTail[k]));
    Wide<Isa> series = TwoProduct<Isa>(w.hi, tail);
    series.lo = Isa::Add(series.lo, Isa::Mul(w.lo, tail));
    // Each coefficient is larger than what the rest of the series adds to it.
    for (std::size_t k = std::size(kSineHigh); k-- > 0;) {
      if (k + 1 < std::size(kSineHigh)) series = WideProduct<Isa>(w, series);
      const Wide<Isa> sum = FastTwoSum<Isa>(Isa::Set(kSineHigh[k]), series.hi);
      series = FastTwoSum<Isa>(sum.hi, Isa::Add(sum.lo, Isa::Add(series.lo, Isa::Set(kSineLow[k]))));
    }
    const Wide<Isa> sine = WideProduct<Isa>(z, series);

    const V signedA = Isa::Xor(a, reduced.oddSign);
    const Wide<Isa> y = TwoProduct<Isa>(sine.hi, signedA);
    const V rounded = Isa::Add(y.hi, Isa::Add(y.lo, Isa::Mul(sine.lo, signedA)));
    // A zero level keeps the sign of the sine, as the exact product does.
    const V zeroLevel = Isa::Equal(a, Isa::Set(0.0));
    Isa::Store(value + i, Isa::Select(zeroLevel, y.hi, rounded));

    const V absP = Isa::Abs(p);
    const V absA = Isa::Abs(a);
    const V phaseInRange =
        Isa::And(Isa::Greater(absP, Isa::Set(kPreviewSmallest)), Isa::Less(absP, Isa::Set(kPreviewLargestPhase)));
    const V levelInRange = Isa::Or(zeroLevel, Isa::And(Isa::Greater(absA, Isa::Set(kPreviewSmallest)),
                                                       Isa::Less(absA, Isa::Set(kPreviewLargestLevel))));
    const V correctionKnown = Isa::Greater(Isa::Abs(d.hi), Isa::Mul(absP, Isa::Set(kPreviewSmallestCorrection)));
    const V inRange = Isa::And(Isa::And(phaseInRange, levelInRange), correctionKnown);
    computed |= static_cast<uint64_t>(Isa::SignMask(inRange)) << i;
  }
  return ~computed & FirstValues(count);
}

}  // namespace
}  // namespace tone::kernels::detail
