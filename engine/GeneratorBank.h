// The eight generators' shared state and the fill routines of their audio
// streams.
//
// Thread rules: the window thread writes Frequency, Amplitude and Phase
// resets; each stream's fill routine runs on the audio library's thread and
// reads all three fields of its own generator afresh for every value and
// writes its Phase back. Every access is one relaxed atomic load or store of a
// whole double: no lock, no ordering between fields, last store wins. The
// phase step is a load and a store, never a read-modify-write, so a reset that
// lands between the two is overwritten; that is accepted.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace tone::kernels {
struct KernelSet;
}

inline constexpr int kGeneratorCount = 8;

// The audio thread may not lock, so the fields below must be real atomic
// instructions, never the library's fallback that hides a lock behind them.
static_assert(std::atomic<double>::is_always_lock_free, "the generator state is shared with the audio thread");

struct GeneratorState {
  std::atomic<double> Phase{0.0};      // half-cycles: the waveform is sin(pi * Phase)
  std::atomic<double> Frequency{0.0};  // Hz, any value; nothing here checks it
  std::atomic<double> Amplitude{0.0};  // 16-bit sample units, 0 to 32767
};

using GeneratorArray = std::array<GeneratorState, kGeneratorCount>;

// The one conversion of a frequency read from text (extended precision) to
// the double a GeneratorState keeps, for every path that stores one. Rounds to
// nearest; a value that would round to an infinity (a magnitude of at least
// the largest double plus half a unit in its last place, infinities
// included) cannot be stored and gives nothing. A NaN stays a NaN.
std::optional<double> StorableFrequency(long double value);
// What the user is shown for a frequency StorableFrequency refuses: the
// runtime's message for a floating-point overflow.
inline constexpr const char* kFrequencyOverflowMessage = "Floating point overflow";

// Generator k (1 to 8) is GeneratorBank[k - 1]. Static storage: it outlives
// the window, so a fill routine still running during shutdown never reaches
// freed memory.
extern GeneratorArray GeneratorBank;

// Fills `length` bytes of `buffer` with interleaved 16-bit little-endian
// values of `generator` (an odd last byte stays as it is) and returns
// `length`. Every value is TruncateToSample(ToneValue(...)) of ToneFormula.h,
// bit for bit. Real-time safe: no allocation, no lock, no call but the sine.
uint32_t FillGeneratorStream(GeneratorState& generator, void* buffer, uint32_t length);
// The same with a chosen version of the vectorised arithmetic (tests and
// measurements run each one the processor has).
uint32_t FillGeneratorStream(GeneratorState& generator, void* buffer, uint32_t length,
                             const tone::kernels::KernelSet& kernels);

// The fill routine of generator K's stream, with the audio library's stream
// callback contract: handle and user value are ignored, the whole buffer is
// filled and its length returned.
template <int K>
uint32_t GeneratorStreamProc(uint32_t /*handle*/, void* buffer, uint32_t length, void* /*user*/) {
  static_assert(K >= 1 && K <= kGeneratorCount, "generators are numbered 1 to 8");
  return FillGeneratorStream(GeneratorBank[K - 1], buffer, length);
}

using GeneratorStreamProcType = uint32_t(uint32_t, void*, uint32_t, void*);

namespace generator_detail {
template <std::size_t... I>
constexpr std::array<GeneratorStreamProcType*, kGeneratorCount> StreamProcs(std::index_sequence<I...>) {
  return {&GeneratorStreamProc<int(I) + 1>...};
}
}  // namespace generator_detail

// GeneratorStreamProcs[k - 1] is GeneratorStreamProc<k>, for code that walks
// the generators in a loop.
inline constexpr auto GeneratorStreamProcs = generator_detail::StreamProcs(std::make_index_sequence<kGeneratorCount>{});
