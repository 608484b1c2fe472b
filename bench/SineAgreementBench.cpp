// How closely the preview's values follow the exact formula over 10^8 values
// of the kind the preview computes (eight generators from phase zero over
// the longest preview, random frequencies and levels): every value must be
// within one unit in the last place, and most are identical. Reported as
// counters; the time is that of both computations together.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <random>

#include "PreviewTraces.h"
#include "ToneFormula.h"

namespace {

constexpr int kRuns = 382;
constexpr int kSteps = 32768;  // 8 x 32768 x 382 = 1.0e8 values

void BM_PreviewAgreementWithSinl(benchmark::State& state) {
  int64_t values = 0, identical = 0, oneUlpApart = 0, furtherApart = 0;
  for (auto _ : state) {
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> frequency(-24000.0, 24000.0);
    std::uniform_int_distribution<int> level(0, 32767);
    for (int run = 0; run < kRuns; ++run) {
      std::array<double, kGeneratorCount> frequencies{}, phases{};
      preview_detail::Block blockPhases{}, amplitudes{}, computed{};
      for (std::size_t k = 0; k < kGeneratorCount; ++k) {
        frequencies[k] = std::round(frequency(random) * 1000.0) / 1000.0;  // what the spin box holds
        const double a = level(random);
        for (std::size_t i = k; i < amplitudes.size(); i += kGeneratorCount) amplitudes[i] = a;
      }
      for (int step = 0; step < kSteps; step += static_cast<int>(preview_detail::kBlockSteps)) {
        for (std::size_t i = 0; i < blockPhases.size(); ++i) {
          const std::size_t k = i % kGeneratorCount;
          blockPhases[i] = phases[k];
          phases[k] = tone::NextPhase(phases[k], frequencies[k]);
        }
        preview_detail::BlockValues(blockPhases, amplitudes, blockPhases.size(), computed);
        for (std::size_t i = 0; i < computed.size(); ++i) {
          const double exact = tone::ToneValue(blockPhases[i], amplitudes[i]);
          ++values;
          if (computed[i] == exact) {
            ++identical;
          } else {
            const auto distance = std::bit_cast<int64_t>(computed[i]) - std::bit_cast<int64_t>(exact);
            (distance == 1 || distance == -1 ? oneUlpApart : furtherApart)++;
          }
        }
      }
    }
  }
  state.counters["values"] = double(values);
  state.counters["identical"] = double(identical);
  state.counters["values_1ulp_apart"] = double(oneUlpApart);
  state.counters["values_further_apart"] = double(furtherApart);
}
BENCHMARK(BM_PreviewAgreementWithSinl)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
