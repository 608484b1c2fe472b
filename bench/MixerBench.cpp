// The audio library: one second of the eight generator streams mixed, the
// buffer a real device grants, and how long BASS_Free keeps its caller while
// the device plays.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "GeneratorBank.h"
#include "Polling.h"
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

DWORD CountingProc(HSTREAM, void* buffer, DWORD length, void* user) {
  std::fill_n(static_cast<char*>(buffer), length, 0);
  static_cast<std::atomic<int>*>(user)->fetch_add(1);
  return length;
}

// BASS_Free on the default device while the eight generators play (and a
// stream that counts the output's passes), at the lowest and the highest
// rate. Closing the device plays out up to two of SDL's buffers (64 ms at
// 8000 Hz); the caller, the window when the user picks another device, must
// not wait for that. Target: under 50 ms, the worst included.
void BM_FreeWhilePlaying(benchmark::State& state) {
  const auto rate = static_cast<DWORD>(state.range(0));
  double worstMs = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    std::atomic<int> calls{0};
    if (!BASS_Init(-1, rate, 0, nullptr, nullptr)) {
      state.SkipWithError("no default device (is a sound server running?)");
      return;
    }
    PlayEightGenerators();
    BASS_ChannelPlay(BASS_StreamCreate(rate, 2, 0, CountingProc, &calls), FALSE);
    if (!polling::PollUntil([&] { return calls.load() >= 3; })) {
      BASS_Free();
      state.SkipWithError("the output does not play");
      return;
    }
    const auto before = std::chrono::steady_clock::now();
    BASS_Free();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - before;
    worstMs = std::max(worstMs, took.count());
    state.SetIterationTime(took.count() / 1000.0);
    state.ResumeTiming();
  }
  state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_FreeWhilePlaying)
    ->Arg(BASS_FREQ_MIN)
    ->Arg(BASS_FREQ_MAX)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
