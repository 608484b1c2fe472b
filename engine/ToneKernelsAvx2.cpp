// The AVX2 version of the kernels. This file alone is compiled for AVX2 and
// FMA; it is only called once the processor has been found to have both, and
// defines nothing that other code could link to by accident.
#include <immintrin.h>

#include "ToneKernelTemplates.h"

namespace {

struct Avx2Isa {
  using V = __m256d;
  static constexpr std::size_t kLanes = 4;

  SINEFOLD_KERNEL_INLINE static V Load(const double* p) { return _mm256_loadu_pd(p); }
  SINEFOLD_KERNEL_INLINE static void Store(double* p, V a) { _mm256_storeu_pd(p, a); }
  SINEFOLD_KERNEL_INLINE static V Set(double x) { return _mm256_set1_pd(x); }
  SINEFOLD_KERNEL_INLINE static V Add(V a, V b) { return _mm256_add_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V MulAdd(V a, V b, V c) { return _mm256_fmadd_pd(a, b, c); }
  SINEFOLD_KERNEL_INLINE static V ProductError(V a, V b, V product) { return _mm256_fmsub_pd(a, b, product); }
  SINEFOLD_KERNEL_INLINE static V LowBitToSign(V x) {
    return _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(x), 63));
  }
  SINEFOLD_KERNEL_INLINE static V Abs(V x) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x); }
  SINEFOLD_KERNEL_INLINE static V Min(V a, V b) { return _mm256_min_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Max(V a, V b) { return _mm256_max_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Less(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  SINEFOLD_KERNEL_INLINE static V Greater(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
  SINEFOLD_KERNEL_INLINE static V Equal(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
  SINEFOLD_KERNEL_INLINE static V And(V a, V b) { return _mm256_and_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Or(V a, V b) { return _mm256_or_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Xor(V a, V b) { return _mm256_xor_pd(a, b); }
  SINEFOLD_KERNEL_INLINE static V Select(V mask, V a, V b) { return _mm256_blendv_pd(b, a, mask); }
  SINEFOLD_KERNEL_INLINE static int SignMask(V mask) { return _mm256_movemask_pd(mask); }
  SINEFOLD_KERNEL_INLINE static void StoreTruncated(int32_t* out, V x) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_cvttpd_epi32(x));
  }
};

}  // namespace

namespace tone::kernels {

uint64_t SamplesAvx2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                     int32_t* sample) {
  return detail::Samples<detail::Interleaved<Avx2Isa, 4>>(phase, amplitude, argumentGap, count, sample);
}

uint64_t PreviewValuesAvx2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                           double* value) {
  return detail::PreviewValues<detail::Interleaved<Avx2Isa, 4>>(phase, amplitude, argumentGap, count, value);
}

}  // namespace tone::kernels
