// The collected form of the preview computation.
#include "PreviewTraces.h"

PreviewTraces ComputePreviewTraces(GeneratorArray& bank, int32_t n) {
  PreviewTraces traces;
  if (n > 0) {
    for (auto& trace : traces) trace.reserve(static_cast<std::size_t>(n));
  }
  ComputePreviewTraces(bank, n, [&traces](std::size_t trace, PreviewPoint point) { traces[trace].push_back(point); });
  return traces;
}
