// The preview cache against the plain computation: the same points in the
// same order and the same phases left behind, over sequences of requests that
// grow, shrink and change the inputs; and no recomputation when nothing
// changed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "PreviewCache.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

struct Point {
  std::size_t trace;
  double x;
  double y;
  bool operator==(const Point&) const = default;
};

using Points = std::vector<Point>;
using Phases = std::array<double, kGeneratorCount>;

Phases PhasesOf(const GeneratorArray& bank) {
  Phases phases{};
  for (std::size_t k = 0; k < kGeneratorCount; ++k) phases[k] = bank[k].Phase.load(kRelaxed);
  return phases;
}

void ScrambleAndSet(GeneratorArray& bank, double frequencyBase, double amplitude) {
  for (std::size_t k = 0; k < kGeneratorCount; ++k) {
    bank[k].Phase.store(0.4321 * static_cast<double>(k), kRelaxed);  // as the audio leaves it
    bank[k].Frequency.store(frequencyBase * static_cast<double>(k + 1), kRelaxed);
    bank[k].Amplitude.store(amplitude, kRelaxed);
  }
}

// A change between two requests, applied to the bank before the request.
struct Request {
  const char* name;
  int32_t n;
  double frequencyBase;  // generator k plays frequencyBase * k
  double amplitude;
};

class PreviewCacheSequence : public testing::TestWithParam<std::vector<Request>> {};

TEST_P(PreviewCacheSequence, GivesWhatThePlainComputationGives) {
  PreviewCache cache;
  GeneratorArray cached;
  GeneratorArray plain;
  for (const Request& request : GetParam()) {
    ScrambleAndSet(cached, request.frequencyBase, request.amplitude);
    ScrambleAndSet(plain, request.frequencyBase, request.amplitude);
    Points fromCache, expected;
    cache.Compute(cached, request.n, [&](std::size_t t, PreviewPoint p) { fromCache.push_back({t, p.x, p.y}); });
    ComputePreviewTraces(plain, request.n, [&](std::size_t t, PreviewPoint p) { expected.push_back({t, p.x, p.y}); });
    ASSERT_EQ(fromCache.size(), expected.size()) << request.name;
    EXPECT_TRUE(fromCache == expected) << request.name;
    // Bit for bit, so that a -0.0 left for +0.0 would show.
    const Phases left = PhasesOf(cached), want = PhasesOf(plain);
    EXPECT_EQ(std::memcmp(left.data(), want.data(), sizeof left), 0) << request.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Requests, PreviewCacheSequence,
                         testing::Values(std::vector<Request>{{"start", 1024, 110.0, 16384.0},
                                                              {"drag right", 1025, 110.0, 16384.0},
                                                              {"drag further", 4000, 110.0, 16384.0},
                                                              {"drag back", 64, 110.0, 16384.0},
                                                              {"same again", 64, 110.0, 16384.0},
                                                              {"level changed", 64, 110.0, 100.0},
                                                              {"frequency changed, longer", 32768, 97.25, 100.0}},
                                         std::vector<Request>{{"nothing", 0, 440.0, 32767.0},
                                                              {"negative", -5, 440.0, 32767.0},
                                                              {"one step", 1, 440.0, 32767.0},
                                                              {"none again", 0, 440.0, 32767.0}},
                                         std::vector<Request>{{"negative frequencies", 300, -12000.0, 32767.0},
                                                              {"zero", 300, 0.0, 32767.0},
                                                              {"negative zero", 300, -0.0, 32767.0}}),
                         [](const auto& param) { return "sequence" + std::to_string(param.index); });

TEST(PreviewCache, RequestWithUnchangedInputsComputesNothing) {
  PreviewCache cache;
  GeneratorArray bank;
  ScrambleAndSet(bank, 110.0, 16384.0);
  const auto ignore = [](std::size_t, PreviewPoint) {};
  cache.Compute(bank, 2048, ignore);
  EXPECT_EQ(cache.CachedSteps(), 2048);
  cache.Compute(bank, 100, ignore);  // a prefix
  EXPECT_EQ(cache.CachedSteps(), 2048);
  bank[6].Amplitude.store(1.0, kRelaxed);
  cache.Compute(bank, 100, ignore);  // new inputs: only what is asked for
  EXPECT_EQ(cache.CachedSteps(), 100);
}

TEST(PreviewCache, NanInputsAreRecognisedAsUnchanged) {
  PreviewCache cache;
  GeneratorArray bank;
  ScrambleAndSet(bank, std::numeric_limits<double>::quiet_NaN(), 16384.0);
  cache.Compute(bank, 10, [](std::size_t, PreviewPoint) {});
  cache.Compute(bank, 5, [](std::size_t, PreviewPoint) {});
  EXPECT_EQ(cache.CachedSteps(), 10);
  EXPECT_TRUE(std::isnan(bank[0].Phase.load()));
}

TEST(PreviewCache, RequestsBeyondTheLimitAreComputedWithoutBeingKept) {
  PreviewCache cache;
  GeneratorArray bank;
  ScrambleAndSet(bank, 1.0, 1.0);
  int64_t points = 0;
  cache.Compute(bank, PreviewCache::kMaxCachedSteps + 1, [&](std::size_t, PreviewPoint) { ++points; });
  EXPECT_EQ(points, int64_t{PreviewCache::kMaxCachedSteps + 1} * int64_t{kPreviewTraceCount});
  EXPECT_EQ(cache.CachedSteps(), 0);
  EXPECT_NE(bank[0].Phase.load(), 0.0);
}

}  // namespace
