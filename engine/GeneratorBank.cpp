// The generator bank and the stream fill routine.
#include "GeneratorBank.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "ToneFormula.h"
#include "ToneKernels.h"

GeneratorArray GeneratorBank;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr std::size_t kBlock = tone::kernels::kBlock;

// The smallest magnitude that rounds to infinity as a double: the largest
// double plus half a unit in its last place (the tie goes to the even
// neighbour, which is the infinity). Exact in extended precision.
constexpr long double kDoubleOverflowThreshold = 0x1.fffffffffffff8p+1023L;

void StoreLittleEndian(unsigned char* out, int32_t value) {
  const auto bits = static_cast<uint16_t>(value);
  out[0] = static_cast<unsigned char>(bits & 0xFFu);
  out[1] = static_cast<unsigned char>(bits >> 8);
}

}  // namespace

std::optional<double> StorableFrequency(long double value) {
  if (std::fabs(value) >= kDoubleOverflowThreshold) return std::nullopt;
  return static_cast<double>(value);
}

uint32_t FillGeneratorStream(GeneratorState& generator, void* buffer, uint32_t length) {
  return FillGeneratorStream(generator, buffer, length, tone::kernels::Active());
}

// The fields are read and the phase stepped value by value, exactly as a
// loop computing one value at a time would; only the sines of a block are
// computed together once its phases and levels are known. Nobody can read the
// buffer before the routine returns, so the later computation of a value
// cannot be told apart from the earlier one.
uint32_t FillGeneratorStream(GeneratorState& generator, void* buffer, uint32_t length,
                             const tone::kernels::KernelSet& kernels) {
  auto* out = static_cast<unsigned char*>(buffer);
  const uint32_t values = length / 2;
  tone::PhaseStepper stepper;
  // Entries past a short last block are left from the block before (or zero)
  // and ignored.
  std::array<double, kBlock> phases{};
  std::array<double, kBlock> amplitudes{};
  std::array<double, kBlock> gaps{};
  std::array<int32_t, kBlock> samples;
  // The phase this routine stored last. Its value read back is the same
  // bits unless another thread stored since, so the stepping goes on from
  // the register and takes the value read only when it differs: the next
  // step then need not wait for its own store to come back from memory.
  double stepped = generator.Phase.load(kRelaxed);
  for (uint32_t first = 0; first < values; first += kBlock) {
    const auto count = static_cast<uint32_t>(std::min<std::size_t>(kBlock, values - first));
    for (uint32_t i = 0; i < count; ++i) {
      // All three fields are read for every value: a change made by the
      // window thread takes effect at the very next value, also within a
      // buffer.
      double phase = stepped;
      const double stored = generator.Phase.load(kRelaxed);
      if (std::bit_cast<uint64_t>(stored) != std::bit_cast<uint64_t>(stepped)) [[unlikely]] phase = stored;
      phases[i] = phase;
      gaps[i] = tone::ArgumentGap(phase);
      amplitudes[i] = generator.Amplitude.load(kRelaxed);
      stepped = stepper.Next(phase, generator.Frequency.load(kRelaxed));
      generator.Phase.store(stepped, kRelaxed);
    }
    for (uint64_t exact = kernels.samples(phases.data(), amplitudes.data(), gaps.data(), count, samples.data());
         exact != 0; exact &= exact - 1) {
      const auto i = static_cast<std::size_t>(std::countr_zero(exact));
      samples[i] = tone::TruncateToSample(tone::ToneValue(phases[i], amplitudes[i]));
    }
    for (uint32_t i = 0; i < count; ++i) StoreLittleEndian(out + 2 * (std::size_t{first} + i), samples[i]);
  }
  return length;
}
