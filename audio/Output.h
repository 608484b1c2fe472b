// An open output that pulls the mix from the mixer on an audio thread of its
// own. Destroying it stops that thread: once the destructor returns, the
// mixer is not rendered any more.
#pragma once

#include <cstdint>

namespace bass {

class Output {
 public:
  virtual ~Output() = default;
  // Frames the device asks for per callback.
  virtual uint32_t BufferFrames() const = 0;
};

// The device buffer the library asks for: 5.3 ms at 48000 Hz.
inline constexpr uint32_t kRequestedBufferFrames = 256;

}  // namespace bass
