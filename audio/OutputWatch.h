// Bringing back an output whose device went away, and the thread that looks
// after an open output: at a steady pace it asks a check whether the output
// still plays (the check brings it back when its device went away), and
// while the check cannot, it asks again at a slower and slower pace, never
// slower than a bound.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

#include "Output.h"

namespace bass {

// When `output`'s device is lost, stops it (so the mixer never has two
// renderers), opens a replacement with `reopen` and hands the lost one to
// `retire` to be closed. A replacement that cannot be had (null, or memory
// ran out) leaves the stopped lost output in place for the next try. True
// when `output` plays: it was not lost, or it was replaced.
bool ReplaceLostOutput(std::unique_ptr<Output>& output, const std::function<std::unique_ptr<Output>()>& reopen,
                       const std::function<void(std::unique_ptr<Output>)>& retire);

// How often a playing output is checked: a lost device is noticed within
// this, and the wake-ups cost next to nothing.
inline constexpr std::chrono::milliseconds kWatchInterval{100};
// The longest wait between two tries to bring an output back, so that one
// comes back within this once a device can be opened again.
inline constexpr std::chrono::milliseconds kLongestRetryWait{1000};

// The wait before the next check: the steady interval after a check that
// found the output playing, twice the last wait (up to kLongestRetryWait)
// after one that could not bring it back.
std::chrono::milliseconds NextWatchWait(std::chrono::milliseconds lastWait, bool playing);

class OutputWatch {
 public:
  // True when the output plays, as found or as brought back. Called on the
  // watch's thread; `stop` is the watch's stop request.
  using Check = std::function<bool(std::stop_token stop)>;
  // Waits `wait` unless a stop is requested first; false once it is.
  using Wait = std::function<bool(std::chrono::milliseconds wait, std::stop_token stop)>;

  // Starts the thread, which first checks after kWatchInterval. `wait`
  // stands in for the real wait in tests. Throws std::system_error when no
  // thread can be started and std::bad_alloc when memory runs out.
  explicit OutputWatch(Check check, Wait wait = {});
  // Requests the stop and waits for the thread to end.
  ~OutputWatch() = default;
  OutputWatch(const OutputWatch&) = delete;
  OutputWatch& operator=(const OutputWatch&) = delete;

  // Ends any wait at once; no check starts afterwards. A check under way
  // sees the request through its `stop` argument.
  void RequestStop() { thread_.request_stop(); }

 private:
  void Run(std::stop_token stop);
  bool WaitUnlessStopped(std::chrono::milliseconds wait, std::stop_token stop);

  Check check_;
  Wait wait_;
  std::mutex waitLock_;
  std::condition_variable_any wake_;
  std::jthread thread_;  // last: started once everything it uses exists
};

}  // namespace bass
