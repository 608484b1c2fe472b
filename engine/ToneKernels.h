// The vectorised arithmetic behind the fill routine and the preview, in one
// version per instruction set, and the choice of the version this processor
// runs.
//
// A kernel computes many tone values at once in double precision, knows how
// far each can be from the exact formula of ToneFormula.h, and hands every
// value it cannot vouch for back to its caller, which computes that one with
// the exact formula. What the callers produce is therefore defined by
// ToneFormula.h alone; docs/decisions.md ("Tone engine") gives the bounds.
//
// Kernels are real-time safe: no allocation, no lock, no call into a library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tone::kernels {

// Values per call of a kernel; a set bit of its result stands for one.
inline constexpr std::size_t kBlock = 64;

struct KernelSet {
  const char* name;

  // Both kernels compute values i below count (at most kBlock) from arrays
  // of kBlock entries whatever the count (entries past it are read and
  // ignored), and return the values left to the exact formula: where bit i
  // is set, the kernel's result i is meaningless. argumentGap[i] is
  // ArgumentGap(phase[i]) of ToneFormula.h.

  // The 16-bit samples TruncateToSample(ToneValue(phase[i], amplitude[i]))
  // as int32 values.
  uint64_t (*samples)(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                      int32_t* sample);

  // ToneValue(phase[i], amplitude[i]), each within one unit in the last
  // place.
  uint64_t (*previewValues)(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                            double* value);
};

// SSE2, which every x86-64 processor has.
const KernelSet& Portable();
// AVX2 with FMA; null where the processor or the system lacks them.
const KernelSet* Avx2();
// The fastest version this processor runs. The preview kernels of both
// versions give identical values, so the choice never shows in the preview.
const KernelSet& Active();

// The versions' entry points, for the tables above.
uint64_t SamplesSse2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                     int32_t* sample);
uint64_t PreviewValuesSse2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                           double* value);
uint64_t SamplesAvx2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                     int32_t* sample);
uint64_t PreviewValuesAvx2(const double* phase, const double* amplitude, const double* argumentGap, std::size_t count,
                           double* value);

}  // namespace tone::kernels
