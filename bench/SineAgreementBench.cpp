// How closely the fast sine's tone values follow sinl's over 10^8 values of
// the kind the streams compute: the 16-bit samples must be identical and the
// values within one unit in the last place. Reported as counters; the time is
// that of both computations together.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>

#include "ToneFormula.h"

namespace {

constexpr int kRuns = 100;
constexpr int kValuesPerRun = 1'000'000;

void BM_SineAgreementWithSinl(benchmark::State& state) {
  int64_t sampleMismatches = 0, offByOneUlp = 0, beyondOneUlp = 0;
  for (auto _ : state) {
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> frequency(-24000.0, 24000.0);
    std::uniform_int_distribution<int> amplitude(0, 32767);
    std::uniform_real_distribution<double> farPhase(0.0, 3.3e8);
    for (int run = 0; run < kRuns; ++run) {
      const double f = std::round(frequency(random) * 1000.0) / 1000.0;  // what the spin box holds
      const double a = amplitude(random);
      double phase = run % 2 == 0 ? 0.0 : farPhase(random);
      for (int i = 0; i < kValuesPerRun; ++i) {
        const double fast = tone::ToneValue(phase, a);
        const double reference = static_cast<double>(sinl(tone::kPi * static_cast<long double>(phase)) * a);
        if (tone::TruncateToSample(fast) != tone::TruncateToSample(reference)) ++sampleMismatches;
        if (fast != reference) {
          int64_t x, y;
          std::memcpy(&x, &fast, sizeof x);
          std::memcpy(&y, &reference, sizeof y);
          (std::llabs(x - y) == 1 ? offByOneUlp : beyondOneUlp)++;
        }
        phase = tone::NextPhase(phase, f);
      }
    }
  }
  state.counters["values"] = double(kRuns) * kValuesPerRun;
  state.counters["sample_mismatches"] = double(sampleMismatches);
  state.counters["values_1ulp_apart"] = double(offByOneUlp);
  state.counters["values_further_apart"] = double(beyondOneUlp);
}
BENCHMARK(BM_SineAgreementWithSinl)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
