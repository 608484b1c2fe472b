// SDL device outputs.
#include "SdlOutput.h"

#include <cstring>

namespace bass {

namespace {

bool sdlAudioUp = false;  // control thread only

}  // namespace

bool EnsureSdlAudio() {
  if (!sdlAudioUp) {
    // The program handles its own signals; SDL must not take SIGINT or
    // SIGTERM for an event queue nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdlAudioUp = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  return sdlAudioUp;
}

bool RestartSdlAudio() {
  if (sdlAudioUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  sdlAudioUp = false;
  return EnsureSdlAudio();
}

bool SdlAudioFellBack() {
  if (!sdlAudioUp) return true;
  const char* current = SDL_GetCurrentAudioDriver();
  const char* first = SDL_GetAudioDriver(0);
  return current == nullptr || first == nullptr || std::strcmp(current, first) != 0;
}

void SDLCALL SdlOutput::Render(void* output, Uint8* stream, int length) {
  auto& self = *static_cast<SdlOutput*>(output);
  if (self.stopped_) {
    std::memset(stream, 0, static_cast<std::size_t>(length));
    return;
  }
  const auto frames = static_cast<uint32_t>(length) / (kOutputChannels * uint32_t{sizeof(int16_t)});
  self.mixer_.Render(reinterpret_cast<int16_t*>(stream), frames);
}

std::unique_ptr<SdlOutput> SdlOutput::Open(const char* deviceName, uint32_t rate, Mixer& mixer) {
  if (!EnsureSdlAudio()) return nullptr;
  std::unique_ptr<SdlOutput> output(new SdlOutput(mixer));
  SDL_AudioSpec wanted{};
  wanted.freq = static_cast<int>(rate);
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kOutputChannels;
  wanted.samples = kRequestedBufferFrames;
  wanted.callback = Render;
  wanted.userdata = output.get();
  SDL_AudioSpec granted{};
  // No allowed changes: SDL converts to whatever the device really runs at,
  // so the mixer always renders 16-bit stereo at the requested rate.
  output->device_ = SDL_OpenAudioDevice(deviceName, 0, &wanted, &granted, 0);
  if (output->device_ == 0) return nullptr;
  output->bufferFrames_ = granted.samples;
  SDL_PauseAudioDevice(output->device_, 0);
  return output;
}

void SdlOutput::Stop() {
  SDL_LockAudioDevice(device_);
  stopped_ = true;
  SDL_UnlockAudioDevice(device_);
}

SdlOutput::~SdlOutput() {
  if (device_ == 0) return;
  Stop();
  SDL_CloseAudioDevice(device_);
}

}  // namespace bass
