// The audio library: one second of the eight generator streams mixed, and
// the buffer a real device grants.
#include <benchmark/benchmark.h>

#include <vector>

#include "GeneratorBank.h"
#include "bass.h"
#include "bass_internal.h"

namespace {

constexpr DWORD kRate = 48000;

void PlayEightGenerators() {
  for (std::size_t k = 0; k < GeneratorBank.size(); ++k) {
    GeneratorBank[k].Frequency = 110.0 * static_cast<double>(k + 1);
    GeneratorBank[k].Amplitude = 16384.0;
  }
  for (auto* proc : GeneratorStreamProcs) BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, proc, nullptr), FALSE);
}

void BM_MixOneSecondOfEightStreams(benchmark::State& state) {
  if (!BASS_OfflineInit(kRate)) {
    state.SkipWithError("offline output could not be initialised");
    return;
  }
  PlayEightGenerators();
  BASS_SetVolume(0.5f);
  constexpr DWORD kBlock = 256;
  std::vector<int16_t> out(2 * kBlock);
  for (auto _ : state) {
    for (DWORD done = 0; done < kRate; done += kBlock) BASS_OfflineRender(out.data(), kBlock);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  BASS_Free();
}
BENCHMARK(BM_MixOneSecondOfEightStreams)->Unit(benchmark::kMillisecond);

// Opening and closing the default device; reports the buffer it granted.
void BM_DefaultDeviceOpenAndClose(benchmark::State& state) {
  DWORD granted = 0;
  for (auto _ : state) {
    if (!BASS_Init(-1, kRate, 0, nullptr, nullptr)) {
      state.SkipWithError("no default device (is a sound server running?)");
      return;
    }
    granted = BASS_OutputBufferFrames();
    BASS_Free();
  }
  state.counters["granted_frames"] = granted;
  state.counters["granted_ms"] = 1000.0 * granted / kRate;
}
BENCHMARK(BM_DefaultDeviceOpenAndClose)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
