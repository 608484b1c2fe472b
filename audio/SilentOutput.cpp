// The clock-paced output behind device 0.
#include "SilentOutput.h"

#include <chrono>

namespace bass {

namespace {

using Clock = std::chrono::steady_clock;

// A thread held up for longer than this (a debugger, a loaded machine) starts
// a fresh schedule instead of rendering the missed time in one burst.
constexpr auto kMaxLag = std::chrono::milliseconds(100);

}  // namespace

SilentOutput::SilentOutput(Mixer& mixer, uint32_t rate)
    : mixer_(mixer), rate_(rate), buffer_(std::size_t{kRequestedBufferFrames} * kOutputChannels) {
  thread_ = std::thread([this] { Run(); });
}

SilentOutput::~SilentOutput() {
  stopping_.store(true, std::memory_order_release);
  thread_.join();
}

void SilentOutput::Run() {
  Clock::time_point start = Clock::now();
  uint64_t framesDone = 0;
  while (!stopping_.load(std::memory_order_acquire)) {
    mixer_.Render(buffer_.data(), kRequestedBufferFrames);
    framesDone += kRequestedBufferFrames;
    const auto due = start + std::chrono::nanoseconds(framesDone * 1'000'000'000ull / rate_);
    if (Clock::now() - due > kMaxLag) {
      start = Clock::now();
      framesDone = 0;
      continue;
    }
    std::this_thread::sleep_until(due);
  }
}

}  // namespace bass
