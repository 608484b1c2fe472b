// An output on one of the system's devices through SDL's audio subsystem.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "Mixer.h"
#include "Output.h"

namespace bass {

class SdlOutput final : public Output {
 public:
  // Opens `deviceName` (null: the system's default output) for 16-bit stereo
  // at `rate` and starts it; null when the device cannot be opened.
  static std::unique_ptr<SdlOutput> Open(const char* deviceName, uint32_t rate, Mixer& mixer);
  ~SdlOutput() override;
  SdlOutput(const SdlOutput&) = delete;
  SdlOutput& operator=(const SdlOutput&) = delete;

  uint32_t BufferFrames() const override { return bufferFrames_; }

 private:
  SdlOutput(SDL_AudioDeviceID device, uint32_t bufferFrames) : device_(device), bufferFrames_(bufferFrames) {}

  SDL_AudioDeviceID device_;
  uint32_t bufferFrames_;
};

// Brings SDL's audio subsystem up once per process; false when it has no
// working driver.
bool EnsureSdlAudio();

}  // namespace bass
