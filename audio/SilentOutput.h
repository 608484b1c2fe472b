// The "No sound" output: a thread that renders the mix at real-time speed,
// paced by the clock, and discards it.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "Mixer.h"
#include "Output.h"

namespace bass {

class SilentOutput final : public Output {
 public:
  SilentOutput(Mixer& mixer, uint32_t rate);
  ~SilentOutput() override;
  SilentOutput(const SilentOutput&) = delete;
  SilentOutput& operator=(const SilentOutput&) = delete;

  uint32_t BufferFrames() const override { return kRequestedBufferFrames; }

 private:
  void Run();

  Mixer& mixer_;
  const uint32_t rate_;
  std::vector<int16_t> buffer_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace bass
