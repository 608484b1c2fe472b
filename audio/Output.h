// An open output that pulls the mix from the mixer on an audio thread of its
// own. Stop ends the rendering at once; destroying the output also releases
// the device, which may take as long as the device's buffers last.
#pragma once

#include <cstdint>

namespace bass {

class Output {
 public:
  // Stops the output if Stop has not.
  virtual ~Output() = default;
  // Control thread: once this returns, the mixer is not rendered any more.
  // Returns as soon as a render under way has ended, whatever the rate.
  virtual void Stop() = 0;
  // Frames the device asks for per callback.
  virtual uint32_t BufferFrames() const = 0;
};

// The device buffer the library asks for: 21.3 ms at 48000 Hz, which the
// sound server reports as about 15 ms of latency. Measured on a PulseAudio
// null sink with a recording of the output compared frame by frame with the
// tones' exact period (docs/decisions.md): 256 frames gapped several times a
// minute idle and about twenty times under load; 512 and 1024 frames did not
// gap on a quiet machine, but 512 still gapped beside a running build and
// its wake-ups cost more CPU than the eight tones themselves.
inline constexpr uint32_t kRequestedBufferFrames = 1024;

}  // namespace bass
