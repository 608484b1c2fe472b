// The SSE2 version of the kernels, and the choice between the versions.
#include "ToneKernels.h"

#if defined(__x86_64__)
#include <emmintrin.h>

#include "ToneFormula.h"
#include "ToneKernelTemplates.h"

static_assert(tone::kernels::detail::kPi0 == static_cast<double>(tone::kPi), "the factor of ArgumentGap");

namespace {

struct Sse2Isa {
  using V = __m128d;
  static constexpr std::size_t kLanes = 2;

  SINEFOLD_KERNEL_INLINE static V Load(const double* p) { return _mm_loadu_pd(p); }
  SINEFOLD_KERNEL_INLINE static void Store(double* p, V a) { _mm_storeu_pd(p, a); }
  SINEFOLD_KERNEL_INLINE static V Set(double x) { return _mm_set1_pd(x); }
  SINEFOLD_KERNEL_INLINE static V Add(V a, V b) { return _mm_add_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Sub(V a, V b) { return _mm_sub_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Mul(V a, V b) { return _mm_mul_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V MulAdd(V a, V b, V c) { return _mm_add_pd(_mm_mul_pd(a, b), c); }
  // Dekker's product: both factors split into halves of 26 bits whose
  // products are exact. Valid while nothing overflows or underflows, which
  // the kernels' ranges keep.
  SINEFOLD_KERNEL_INLINE static V ProductError(V a, V b, V product) {
    const V aHigh = SplitHigh(a), aLow = _mm_sub_pd(a, aHigh);
    const V bHigh = SplitHigh(b), bLow = _mm_sub_pd(b, bHigh);
    const V partial = _mm_add_pd(_mm_sub_pd(_mm_mul_pd(aHigh, bHigh), product), _mm_mul_pd(aHigh, bLow));
    return _mm_add_pd(_mm_add_pd(partial, _mm_mul_pd(aLow, bHigh)), _mm_mul_pd(aLow, bLow));
  }
  SINEFOLD_KERNEL_INLINE static V LowBitToSign(V x) {
    return _mm_castsi128_pd(_mm_slli_epi64(_mm_castpd_si128(x), 63));
  }
  SINEFOLD_KERNEL_INLINE static V Abs(V x) { return _mm_andnot_pd(_mm_set1_pd(-0.0), x); }
  SINEFOLD_KERNEL_INLINE static V Min(V a, V b) { return _mm_min_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Max(V a, V b) { return _mm_max_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Less(V a, V b) { return _mm_cmplt_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Greater(V a, V b) { return _mm_cmpgt_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Equal(V a, V b) { return _mm_cmpeq_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V And(V a, V b) { return _mm_and_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Or(V a, V b) { return _mm_or_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Xor(V a, V b) { return _mm_xor_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Select(V mask, V a, V b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
  }
  SINEFOLD_KERNEL_INLINE static int SignMask(V mask) { return _mm_movemask_pd(mask); }
  SINEFOLD_KERNEL_INLINE static void StoreTruncated(int32_t* out, V x) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_cvttpd_epi32(x));
  }

 private:
  SINEFOLD_KERNEL_INLINE static V SplitHigh(V x) {
    const V scaled = _mm_mul_pd(x, _mm_set1_pd(0x1p+27 + 1.0));
    return _mm_sub_pd(scaled, _mm_sub_pd(scaled, x));
  }
};

}  // namespace

namespace tone::kernels {

uint64_t SamplesSse2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                     int32_t* sample) {
  return detail::Samples<detail::Interleaved<Sse2Isa, 4>>(phase, amplitude, argumentGap, count, sample);
}

uint64_t PreviewValuesSse2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                           double* value) {
  return detail::PreviewValues<detail::Interleaved<Sse2Isa, 4>>(phase, amplitude, argumentGap, count, value);
}

namespace {
constexpr KernelSet kSse2{"sse2", &SamplesSse2, &PreviewValuesSse2};
constexpr KernelSet kAvx2{"avx2", &SamplesAvx2, &PreviewValuesAvx2};
}  // namespace

const KernelSet& Portable() { return kSse2; }

// __builtin_cpu_supports reads what the C runtime found at start-up (AVX2
// only where the system also saves the wide registers): a plain load, cheap
// and safe on the audio thread.
const KernelSet* Avx2() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &kAvx2 : nullptr; }

const KernelSet& Active() {
  const KernelSet* avx2 = Avx2();
  return avx2 != nullptr ? *avx2 : kSse2;
}

}  // namespace tone::kernels

#else

// Elsewhere every value goes to the exact formula.
namespace tone::kernels {

namespace {
uint64_t AllExact(std::size_t count) { return count >= kBlock ? ~uint64_t{0} : (uint64_t{1} << count) - 1; }
uint64_t AllExactSamples(const double*, const double*, const double*, std::size_t count, int32_t*) {
  return AllExact(count);
}
uint64_t AllExactPreviewValues(const double*, const double*, const double*, std::size_t count, double*) {
  return AllExact(count);
}
constexpr KernelSet kExact{"exact", &AllExactSamples, &AllExactPreviewValues};
}  // namespace

const KernelSet& Portable() { return kExact; }
const KernelSet* Avx2() { return nullptr; }
const KernelSet& Active() { return kExact; }

}  // namespace tone::kernels

#endif
