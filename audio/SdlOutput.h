// An output on one of the system's devices through SDL's audio subsystem, and
// the subsystem's start and restart.
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
  // at `rate` and starts it; null when SDL cannot open the device. Throws
  // std::bad_alloc when memory runs out before SDL is asked.
  static std::unique_ptr<SdlOutput> Open(const char* deviceName, uint32_t rate, Mixer& mixer);
  // Closes the device, which waits for SDL's device thread: SDL lets it play
  // out up to two buffers first, however long they last at this rate.
  ~SdlOutput() override;
  SdlOutput(const SdlOutput&) = delete;
  SdlOutput& operator=(const SdlOutput&) = delete;

  // Waits only for a callback under way; later callbacks write silence.
  void Stop() override;
  uint32_t BufferFrames() const override { return bufferFrames_; }
  // SDL stops a device it learns was removed, and this output never pauses
  // its own: a stopped device is a lost one.
  bool DeviceLost() const override;

 private:
  explicit SdlOutput(Mixer& mixer) : mixer_(mixer) {}
  static void SDLCALL Render(void* output, Uint8* stream, int length);

  Mixer& mixer_;
  SDL_AudioDeviceID device_ = 0;
  uint32_t bufferFrames_ = 0;
  // Written under SDL's device lock, which SDL holds around every callback.
  bool stopped_ = false;
};

// SDL's audio subsystem. These, like every SDL audio call but the closing of
// a stopped device, run under the library's lock, never while a device is
// being closed on another thread.

// Brings the subsystem up unless it is; false when it has no working driver.
bool EnsureSdlAudio();

// Takes SDL's audio subsystem down and up again, so that it chooses its
// driver and reads its devices as the system is now: SDL keeps the driver it
// found at start, even one that cannot reach a sound server started since.
// Only while no SDL device is open. False when no driver works.
bool RestartSdlAudio();

// Whether SDL's audio is down or runs on a driver after the first in SDL's
// order, as when the sound server was not reachable as it started. On its
// first driver SDL reaches the server afresh for every device it opens.
bool SdlAudioFellBack();

}  // namespace bass
