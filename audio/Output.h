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
  // Whether the device went away under the output (a sound server's sink
  // removed). Called under the library's lock.
  virtual bool DeviceLost() const { return false; }
};

}  // namespace bass
