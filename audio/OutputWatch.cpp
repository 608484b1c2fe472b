// Replacing a lost output, and the output watch's thread and its pace.
#include "OutputWatch.h"

#include <algorithm>
#include <new>
#include <utility>

namespace bass {

bool ReplaceLostOutput(std::unique_ptr<Output>& output, const std::function<std::unique_ptr<Output>()>& reopen,
                       const std::function<void(std::unique_ptr<Output>)>& retire) {
  if (!output || !output->DeviceLost()) return true;
  output->Stop();
  std::unique_ptr<Output> replacement;
  try {
    replacement = reopen();
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!replacement) return false;
  retire(std::exchange(output, std::move(replacement)));
  return true;
}

std::chrono::milliseconds NextWatchWait(std::chrono::milliseconds lastWait, bool playing) {
  if (playing) return kWatchInterval;
  return std::clamp(lastWait * 2, kWatchInterval, kLongestRetryWait);
}

OutputWatch::OutputWatch(Check check, Wait wait)
    : check_(std::move(check)), wait_(std::move(wait)), thread_([this](std::stop_token stop) { Run(stop); }) {}

void OutputWatch::Run(std::stop_token stop) {
  for (auto wait = kWatchInterval;;) {
    const bool waited = wait_ ? wait_(wait, stop) : WaitUnlessStopped(wait, stop);
    if (!waited || stop.stop_requested()) return;
    wait = NextWatchWait(wait, check_(stop));
  }
}

bool OutputWatch::WaitUnlessStopped(std::chrono::milliseconds wait, std::stop_token stop) {
  std::unique_lock lock(waitLock_);
  // Nothing but a stop request ends the wait early; a spurious wake-up waits
  // on for the rest.
  wake_.wait_for(lock, stop, wait, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace bass
