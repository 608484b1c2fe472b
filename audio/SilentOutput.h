// The "No sound" output: a thread that renders the mix at real-time speed,
// paced by the clock, and discards it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "Mixer.h"
#include "Output.h"

namespace bass {

using PacingClock = std::chrono::steady_clock;

// When `frames` frames at `rate` frames per second are due, counted from
// `start`, truncated to the nanosecond. Whole seconds and the remaining
// frames are converted apart, so no count overflows a product, however long
// the output runs. A time beyond what the clock can hold, or a rate of 0,
// gives the clock's last time point.
PacingClock::time_point FrameDeadline(PacingClock::time_point start, uint64_t frames, uint32_t rate);

class SilentOutput final : public Output {
 public:
  // Starts rendering at once. Throws std::system_error when the thread
  // cannot start and std::bad_alloc when memory runs out.
  SilentOutput(Mixer& mixer, uint32_t rate);
  ~SilentOutput() override;
  SilentOutput(const SilentOutput&) = delete;
  SilentOutput& operator=(const SilentOutput&) = delete;

  // Wakes the thread from its pacing wait and joins it: the time it takes
  // does not depend on the rate.
  void Stop() override;
  uint32_t BufferFrames() const override { return kBufferFrames; }

 private:
  void Run();

  Mixer& mixer_;
  const uint32_t rate_;
  std::vector<int16_t> buffer_;
  // The pacing wait is the thread's own, between renders; the render itself
  // never takes this lock.
  std::mutex stopLock_;
  std::condition_variable stopRequested_;
  bool stopping_ = false;  // guarded by stopLock_
  std::thread thread_;
};

}  // namespace bass
