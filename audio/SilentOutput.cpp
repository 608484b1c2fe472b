// The clock-paced output behind device 0.
#include "SilentOutput.h"

namespace bass {

namespace {

// A thread held up for longer than this (a debugger, a loaded machine) starts
// a fresh schedule instead of rendering the missed time in one burst.
constexpr auto kMaxLag = std::chrono::milliseconds(100);

constexpr uint64_t kNanosecondsPerSecond = 1'000'000'000;

}  // namespace

PacingClock::time_point FrameDeadline(PacingClock::time_point start, uint64_t frames, uint32_t rate) {
  using std::chrono::nanoseconds;
  constexpr PacingClock::time_point kLast = PacingClock::time_point::max();
  if (rate == 0) return kLast;
  // How far the clock can still go from `start`; a start before the epoch
  // leaves at least the clock's whole positive range.
  const nanoseconds room = start.time_since_epoch().count() < 0 ? nanoseconds::max() : kLast - start;
  const uint64_t seconds = frames / rate;
  if (seconds > static_cast<uint64_t>(room.count()) / kNanosecondsPerSecond) return kLast;
  const nanoseconds wholeSeconds(static_cast<int64_t>(seconds * kNanosecondsPerSecond));
  // The remainder is below the rate, so this product stays below 2^62.
  const nanoseconds fraction(static_cast<int64_t>(frames % rate * kNanosecondsPerSecond / rate));
  if (fraction > room - wholeSeconds) return kLast;
  return start + wholeSeconds + fraction;
}

SilentOutput::SilentOutput(Mixer& mixer, uint32_t rate)
    : mixer_(mixer), rate_(rate), buffer_(std::size_t{kBufferFrames} * kOutputChannels) {
  thread_ = std::thread([this] { Run(); });
}

SilentOutput::~SilentOutput() { Stop(); }

void SilentOutput::Stop() {
  {
    std::lock_guard guard(stopLock_);
    stopping_ = true;
  }
  stopRequested_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void SilentOutput::Run() {
  PacingClock::time_point start = PacingClock::now();
  uint64_t framesDone = 0;
  std::unique_lock lock(stopLock_);
  while (!stopping_) {
    lock.unlock();
    mixer_.Render(buffer_.data(), kBufferFrames);
    framesDone += kBufferFrames;
    PacingClock::time_point due = FrameDeadline(start, framesDone, rate_);
    if (PacingClock::now() - due > kMaxLag) {
      start = PacingClock::now();
      framesDone = 0;
      due = start;
    }
    lock.lock();
    stopRequested_.wait_until(lock, due, [this] { return stopping_; });
  }
}

}  // namespace bass
