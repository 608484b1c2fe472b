// The renderer's second thread: one worker for the chart's life, and renders
// whose shares fail (as when memory runs out) ending cleanly, with the same
// picture drawn by one thread, or with the plot left empty, and the next
// render whole again.
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <thread>

#include "ChartTestSupport.h"
#include "SeriesRenderer.h"

namespace {

using namespace chart_test;
using Share = SeriesRenderer::Share;
using Stage = SeriesRenderer::Stage;

constexpr int kSteps = 4096;
constexpr int kGenerous = 5000;  // ms for a thread to be gone after its join
constexpr std::size_t kShares = 3, kStages = 2;

bool TwoCores() { return std::thread::hardware_concurrency() >= 2; }

// The ids of this process's threads that are not in `known`. Threads
// joined just before may still be listed for a moment, so a test looks only
// at the threads that came after its start.
std::set<std::string> ThreadsBesides(const std::set<std::string>& known) {
  std::set<std::string> ids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    const std::string id = entry.path().filename().string();
    if (known.count(id) == 0) ids.insert(id);
  }
  return ids;
}

// Which call of each share and stage throws (1 for the first, 0 for none).
// Written only while no chart renders: the worker reads it after the
// render's handover, which orders the two.
struct FaultPlan {
  int failAt[kShares][kStages] = {};
  FaultPlan& Fail(Share share, Stage stage, int call) {
    failAt[static_cast<std::size_t>(share)][static_cast<std::size_t>(stage)] = call;
    return *this;
  }
};
FaultPlan gPlan;
std::atomic<int> gCalls[kShares][kStages];

void FailAsPlanned(Share share, Stage stage) {
  const auto s = static_cast<std::size_t>(share), t = static_cast<std::size_t>(stage);
  if (++gCalls[s][t] == gPlan.failAt[s][t]) throw std::bad_alloc();
}

int Calls(Share share, Stage stage) {
  return gCalls[static_cast<std::size_t>(share)][static_cast<std::size_t>(stage)].load();
}

// Ends the test program when a render does not return in time: a share left
// waiting for one that failed would otherwise hold the whole suite until its
// timeout, without saying why.
class Watchdog {
 public:
  Watchdog()
      : FThread([this] {
          std::unique_lock<std::mutex> lock(FLock);
          if (FReturned.wait_for(lock, kRenderLimit, [this] { return FDone; })) return;
          std::fputs("A render did not return: one share waits for another that failed.\n", stderr);
          std::_Exit(EXIT_FAILURE);
        }) {}
  ~Watchdog() {
    {
      const std::lock_guard<std::mutex> lock(FLock);
      FDone = true;
    }
    FReturned.notify_all();
    FThread.join();
  }

 private:
  static constexpr std::chrono::seconds kRenderLimit{60};  // renders take milliseconds
  std::mutex FLock;
  std::condition_variable FReturned;
  bool FDone = false;
  std::thread FThread;  // last: starts once the rest is ready
};

class RenderFailure : public testing::Test {
 protected:
  void SetUp() override {
    if (!TwoCores()) GTEST_SKIP() << "the plot is drawn in halves only with a second core";
    chart = MakeWindowChart();
    traces = StartupTones(kSteps);
    expected = RenderWith(FaultPlan{});
    SeriesRenderer::SetFaultHook(FailAsPlanned);
  }
  void TearDown() override { SeriesRenderer::SetFaultHook(nullptr); }

  // Loads the same points again and renders once, with `plan`.
  QImage RenderWith(const FaultPlan& plan) {
    gPlan = plan;
    for (auto& share : gCalls) {
      for (auto& calls : share) calls = 0;
    }
    Load(*chart, traces);
    const int before = chart->PaintCount();
    const Watchdog watchdog;
    QImage picture = Pixels(*chart);
    EXPECT_EQ(chart->PaintCount(), before + 1);
    return picture;
  }

  // The next render without faults is whole, drawn in halves again.
  void ExpectWholeAgain() {
    EXPECT_TRUE(RenderWith(FaultPlan{}) == expected);
    EXPECT_EQ(Calls(Share::kCaller, Stage::kMapping), 1);
    EXPECT_EQ(Calls(Share::kAlone, Stage::kMapping), 0);
  }

  std::unique_ptr<TChart> chart;
  Traces traces;
  QImage expected;
};

struct ShareFault {
  const char* name;
  Share share;
  Stage stage;
  int call;
};

void PrintTo(const ShareFault& fault, std::ostream* os) { *os << fault.name; }

class FailedShare : public RenderFailure, public testing::WithParamInterface<ShareFault> {};

// Before the shares meet, the other share must not wait for the failed one;
// after it, half of the series are already stroked into a copy that the
// picture must not receive. Either way one thread draws it all again.
TEST_P(FailedShare, GivesThePictureDrawnByOneThread) {
  const ShareFault& fault = GetParam();
  EXPECT_TRUE(RenderWith(FaultPlan{}.Fail(fault.share, fault.stage, fault.call)) == expected);
  EXPECT_EQ(Calls(Share::kAlone, Stage::kMapping), 1);
  ExpectWholeAgain();
}

INSTANTIATE_TEST_SUITE_P(Shares, FailedShare,
                         testing::Values(ShareFault{"caller_mapping", Share::kCaller, Stage::kMapping, 1},
                                         ShareFault{"worker_mapping", Share::kWorker, Stage::kMapping, 1},
                                         ShareFault{"caller_first_series", Share::kCaller, Stage::kDrawing, 1},
                                         ShareFault{"worker_first_series", Share::kWorker, Stage::kDrawing, 1},
                                         ShareFault{"caller_last_series", Share::kCaller, Stage::kDrawing, 9},
                                         ShareFault{"worker_fifth_series", Share::kWorker, Stage::kDrawing, 5}),
                         [](const testing::TestParamInfo<ShareFault>& p) { return std::string(p.param.name); });

// When one thread fails too, even after stroking some series, the plot
// keeps its background: the picture of the same chart without points.
TEST_F(RenderFailure, FailingEverywhereLeavesThePlotEmpty) {
  const Traces loaded = traces;
  traces = Traces{};
  const QImage empty = RenderWith(FaultPlan{});
  traces = loaded;
  struct Case {
    const char* name;
    FaultPlan plan;
  };
  const Case cases[] = {
      {"every mapping", FaultPlan{}
                            .Fail(Share::kCaller, Stage::kMapping, 1)
                            .Fail(Share::kWorker, Stage::kMapping, 1)
                            .Fail(Share::kAlone, Stage::kMapping, 1)},
      {"one thread after four series",
       FaultPlan{}.Fail(Share::kWorker, Stage::kDrawing, 3).Fail(Share::kAlone, Stage::kDrawing, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(RenderWith(c.plan) == empty);
    EXPECT_EQ(Calls(Share::kAlone, Stage::kMapping), 1);
    ExpectWholeAgain();
  }
}

// The worker is started by the first render, serves every later one and is
// gone with the chart: no thread is started per render, and none is left.
TEST(RenderWorkerLife, OneWorkerServesEveryRenderAndEndsWithTheChart) {
  if (!TwoCores()) GTEST_SKIP() << "one core: no worker";
  const Traces traces = StartupTones(kSteps);
  {
    auto warmUp = MakeWindowChart();  // whatever threads the toolkit starts for a first render
    Load(*warmUp, traces);
    Pixels(*warmUp);
  }
  const std::set<std::string> before = ThreadsBesides({});
  auto chart = MakeWindowChart();
  Load(*chart, traces);
  Pixels(*chart);
  const std::set<std::string> worker = ThreadsBesides(before);
  EXPECT_EQ(worker.size(), 1u);
  for (int render = 0; render < 3; ++render) {
    Load(*chart, traces);
    Pixels(*chart);
    EXPECT_EQ(ThreadsBesides(before), worker) << "render " << render;
  }
  chart.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ThreadsBesides(before).empty(); }, kGenerous));
}

}  // namespace
