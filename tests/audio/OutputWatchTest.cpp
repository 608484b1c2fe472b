// Bringing back a lost output, and the output watch: how its pace follows
// what the check finds, that a stop ends the thread wherever it is, and that
// no check runs after it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "BassTestSupport.h"
#include "OutputWatch.h"

namespace {

using namespace std::chrono_literals;
using bass::kLongestRetryWait;
using bass::kWatchInterval;
using bass::NextWatchWait;
using bass::Output;
using bass::OutputWatch;
using bass::ReplaceLostOutput;
using bass_test::WaitFor;

// An output that writes down what is done to it in a log it shares with
// the test.
class FakeOutput final : public Output {
 public:
  FakeOutput(std::string name, bool lost, std::vector<std::string>& log)
      : name_(std::move(name)), lost_(lost), log_(log) {}
  ~FakeOutput() override { log_.push_back(name_ + " closed"); }
  void Stop() override { log_.push_back(name_ + " stopped"); }
  uint32_t BufferFrames() const override { return 0; }
  bool DeviceLost() const override { return lost_; }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  bool lost_;
  std::vector<std::string>& log_;
};

struct ReplaceCase {
  const char* name;
  bool lost;
  enum { Opens, Fails, RunsOutOfMemory } reopen;
  bool playing;                  // what ReplaceLostOutput returns
  const char* outputAfterwards;  // which output is in place
  std::vector<std::string> log;  // in order; "retired" when handed to be closed
};

TEST(ReplaceLostOutput, StopsTheLostOutputBeforeReopeningAndKeepsItUntilAReplacementOpens) {
  const ReplaceCase cases[] = {
      {"playing", false, ReplaceCase::Opens, true, "old", {}},
      {"lost, reopened", true, ReplaceCase::Opens, true, "new", {"old stopped", "reopen", "old retired", "old closed"}},
      {"lost, nothing to open", true, ReplaceCase::Fails, false, "old", {"old stopped", "reopen"}},
      {"lost, out of memory", true, ReplaceCase::RunsOutOfMemory, false, "old", {"old stopped", "reopen"}},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> log;
    std::unique_ptr<Output> output = std::make_unique<FakeOutput>("old", c.lost, log);
    const bool playing = ReplaceLostOutput(
        output,
        [&]() -> std::unique_ptr<Output> {
          log.push_back("reopen");
          if (c.reopen == ReplaceCase::RunsOutOfMemory) throw std::bad_alloc();
          if (c.reopen == ReplaceCase::Fails) return nullptr;
          return std::make_unique<FakeOutput>("new", false, log);
        },
        [&](std::unique_ptr<Output> lost) { log.push_back(static_cast<FakeOutput&>(*lost).Name() + " retired"); });
    EXPECT_EQ(playing, c.playing);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(static_cast<FakeOutput&>(*output).Name(), c.outputAfterwards);
    EXPECT_EQ(log, c.log);
    output.reset();
  }
}

TEST(NextWatchWait, SteadyWhilePlayingDoublingUpToTheBoundWhileLost) {
  const struct {
    std::chrono::milliseconds last;
    bool playing;
    std::chrono::milliseconds expected;
  } cases[] = {
      {kWatchInterval, true, kWatchInterval}, {kLongestRetryWait, true, kWatchInterval},  // back at once after a reopen
      {kWatchInterval, false, 200ms},         {400ms, false, 800ms},
      {800ms, false, kLongestRetryWait},      {kLongestRetryWait, false, kLongestRetryWait},
      {0ms, false, kWatchInterval},  // never a spin
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextWatchWait(c.last, c.playing).count(), c.expected.count())
        << c.last.count() << " ms, " << (c.playing ? "playing" : "lost");
  }
}

// A wait that returns at once and writes down what it was asked for, until
// `waits` were asked; then it reports a stop.
struct RecordedWaits {
  std::mutex lock;
  std::vector<long> asked;  // milliseconds
  std::size_t waits = 0;

  bool Wait(std::chrono::milliseconds wait) {
    std::lock_guard guard(lock);
    asked.push_back(static_cast<long>(wait.count()));
    return asked.size() < waits;
  }
  std::size_t Count() {
    std::lock_guard guard(lock);
    return asked.size();
  }
};

TEST(OutputWatch, WaitsAsTheChecksFindTheOutputAndEndsOnAStop) {
  // What the checks report in turn: playing, lost five times, back again.
  const std::vector<bool> found{true, false, false, false, false, false, true};
  RecordedWaits waits;
  waits.waits = found.size() + 1;
  std::atomic<std::size_t> checks{0};
  {
    const OutputWatch watch([&](std::stop_token) { return found.at(checks++); },
                            [&](std::chrono::milliseconds wait, std::stop_token) { return waits.Wait(wait); });
    ASSERT_TRUE(WaitFor([&] { return waits.Count() == waits.waits; }));
  }
  EXPECT_EQ(checks.load(), found.size()) << "a check ran after the wait reported the stop";
  EXPECT_EQ(waits.asked, (std::vector<long>{100, 100, 200, 400, 800, 1000, 1000, 100}));
}

TEST(OutputWatch, AStopEndsTheLongestWaitAtOnceAndNoCheckFollows) {
  std::atomic<int> checks{0};
  auto watch = std::make_unique<OutputWatch>([&](std::stop_token) {
    ++checks;
    return false;  // never brought back: the waits grow to the longest
  });
  // 100 + 200 + 400 + 800 ms: the watch now waits kLongestRetryWait.
  ASSERT_TRUE(WaitFor([&] { return checks.load() >= 4; }));
  const auto before = std::chrono::steady_clock::now();
  watch->RequestStop();
  const int checksAtStop = checks.load();
  watch.reset();
  const auto took = std::chrono::steady_clock::now() - before;
  // A watch that sleeps through its wait takes up to the whole second.
  EXPECT_LT(took, kLongestRetryWait / 2);
  EXPECT_LE(checks.load(), checksAtStop + 1);  // at most the one already under way
}

}  // namespace
