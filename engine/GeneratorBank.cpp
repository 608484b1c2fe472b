// The generator bank and the stream fill routine.
#include "GeneratorBank.h"

#include "ToneFormula.h"

GeneratorArray GeneratorBank;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

void StoreLittleEndian(unsigned char* out, int16_t value) {
  const auto bits = static_cast<uint16_t>(value);
  out[0] = static_cast<unsigned char>(bits & 0xFFu);
  out[1] = static_cast<unsigned char>(bits >> 8);
}

}  // namespace

uint32_t FillGeneratorStream(GeneratorState& generator, void* buffer, uint32_t length) {
  auto* out = static_cast<unsigned char*>(buffer);
  const uint32_t values = length / 2;
  for (uint32_t i = 0; i < values; ++i) {
    // All three fields are read for every value: a change made by the window
    // thread takes effect at the very next value, also within a buffer.
    const double phase = generator.Phase.load(kRelaxed);
    const double frequency = generator.Frequency.load(kRelaxed);
    const double amplitude = generator.Amplitude.load(kRelaxed);
    StoreLittleEndian(out + 2 * std::size_t{i}, tone::TruncateToSample(tone::ToneValue(phase, amplitude)));
    generator.Phase.store(tone::NextPhase(phase, frequency), kRelaxed);
  }
  return length;
}
