// The collected form of the preview computation, and the values of a block
// of steps.
#include "PreviewTraces.h"

#include <bit>

void preview_detail::BlockValues(const Block& phase, const Block& amplitude, std::size_t count, Block& value,
                                 const tone::kernels::KernelSet& kernels) {
  Block gap{};
  for (std::size_t i = 0; i < count; ++i) gap[i] = tone::ArgumentGap(phase[i]);
  for (uint64_t exact = kernels.previewValues(phase.data(), amplitude.data(), gap.data(), count, value.data());
       exact != 0; exact &= exact - 1) {
    const auto i = static_cast<std::size_t>(std::countr_zero(exact));
    value[i] = tone::ToneValue(phase[i], amplitude[i]);
  }
}

PreviewTraces ComputePreviewTraces(GeneratorArray& bank, int32_t n) {
  PreviewTraces traces;
  if (n > 0) {
    for (auto& trace : traces) trace.reserve(static_cast<std::size_t>(n));
  }
  ComputePreviewTraces(bank, n, [&traces](std::size_t trace, PreviewPoint point) { traces[trace].push_back(point); });
  return traces;
}
