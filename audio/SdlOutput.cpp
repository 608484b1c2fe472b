// SDL device outputs.
#include "SdlOutput.h"

namespace bass {

namespace {

void SDLCALL RenderCallback(void* mixer, Uint8* stream, int length) {
  const auto frames = static_cast<uint32_t>(length) / (kOutputChannels * uint32_t{sizeof(int16_t)});
  static_cast<Mixer*>(mixer)->Render(reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace

bool EnsureSdlAudio() {
  static const bool ready = [] {
    // The program handles its own signals; SDL must not take SIGINT or
    // SIGTERM for an event queue nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }();
  return ready;
}

std::unique_ptr<SdlOutput> SdlOutput::Open(const char* deviceName, uint32_t rate, Mixer& mixer) {
  if (!EnsureSdlAudio()) return nullptr;
  SDL_AudioSpec wanted{};
  wanted.freq = static_cast<int>(rate);
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kOutputChannels;
  wanted.samples = kRequestedBufferFrames;
  wanted.callback = RenderCallback;
  wanted.userdata = &mixer;
  SDL_AudioSpec granted{};
  // No allowed changes: SDL converts to whatever the device really runs at,
  // so the mixer always renders 16-bit stereo at the requested rate.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(deviceName, 0, &wanted, &granted, 0);
  if (device == 0) return nullptr;
  SDL_PauseAudioDevice(device, 0);
  return std::unique_ptr<SdlOutput>(new SdlOutput(device, granted.samples));
}

SdlOutput::~SdlOutput() {
  // Waits for the device thread: no callback runs after this.
  SDL_CloseAudioDevice(device_);
}

}  // namespace bass
