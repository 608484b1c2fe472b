// SDL device outputs.
#include "SdlOutput.h"

#include <pthread.h>
#include <sched.h>

#include <cstdlib>
#include <cstring>

namespace bass {

namespace {

bool sdlAudioUp = false;  // under the library's lock

// SDL's PulseAudio driver (the route on PulseAudio, and on PipeWire through
// pipewire-pulse) asks the server for a target length of one SDL buffer and
// writes a buffer only once a whole one is writable: with the target equal to
// the buffer, it refilled only after the server's queue for the stream had
// run dry, and the sink's own few milliseconds were all the margin left for
// a late wake-up anywhere between the server and the device thread. So SDL's
// buffer is short, and the server's target is set on its own, longer, through
// libpulse's PULSE_LATENCY_MSEC: each refill then comes with the target less
// one short buffer still queued. SDL's PipeWire driver takes the buffer as
// its node's latency. docs/decisions.md has the measurements.
constexpr Uint16 kSdlBufferFrames = 256;
constexpr const char* kServerTargetMsec = "20";

// libpulse reads the target as each stream connects; a value the user set
// wins. Set as the library loads, before any thread of the process can be
// reading the environment.
[[maybe_unused]] const bool serverTargetSet = [] {
  constexpr int kKeepUserValue = 0;
  return setenv("PULSE_LATENCY_MSEC", kServerTargetMsec, kKeepUserValue) == 0;
}();

// SDL starts the device thread inside SDL_OpenAudioDevice, and a new thread
// takes its creator's scheduling. For that moment the opening thread asks
// for a real-time policy at BASS_THREAD_PRIORITY, and gives it up again
// afterwards. Where the system refuses (a user without a real-time limit),
// nothing changes and the device thread runs with normal scheduling.
class RealTimeForNewThreads {
 public:
  RealTimeForNewThreads() {
    if (pthread_getschedparam(pthread_self(), &policy_, &param_) != 0) return;
    sched_param realTime{};
    realTime.sched_priority = BASS_THREAD_PRIORITY;
    raised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime) == 0;
  }
  ~RealTimeForNewThreads() {
    if (raised_) pthread_setschedparam(pthread_self(), policy_, &param_);
  }
  RealTimeForNewThreads(const RealTimeForNewThreads&) = delete;
  RealTimeForNewThreads& operator=(const RealTimeForNewThreads&) = delete;

 private:
  int policy_ = SCHED_OTHER;
  sched_param param_{};
  bool raised_ = false;
};

}  // namespace

bool EnsureSdlAudio() {
  if (!sdlAudioUp) {
    // The program handles its own signals; SDL must not take SIGINT or
    // SIGTERM for an event queue nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL's own request for its device thread stays a nice level. Its
    // real-time request (the hint below, or a policy hint that keeps the
    // real-time policy RealTimeForNewThreads lends) asks the desktop's
    // real-time service for the highest priority the service grants, 20 by
    // default: above PulseAudio's own threads (5) and level with PipeWire's.
    // Set over the environment, so the priority is the one bass.h promises.
    SDL_SetHintWithPriority(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, "0", SDL_HINT_OVERRIDE);
    SDL_SetHintWithPriority(SDL_HINT_THREAD_PRIORITY_POLICY, "other", SDL_HINT_OVERRIDE);
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
  wanted.samples = kSdlBufferFrames;
  wanted.callback = Render;
  wanted.userdata = output.get();
  SDL_AudioSpec granted{};
  // No allowed changes: SDL converts to whatever the device really runs at,
  // so the mixer always renders 16-bit stereo at the requested rate.
  {
    const RealTimeForNewThreads realTime;
    output->device_ = SDL_OpenAudioDevice(deviceName, 0, &wanted, &granted, 0);
  }
  if (output->device_ == 0) return nullptr;
  output->bufferFrames_ = granted.samples;
  SDL_PauseAudioDevice(output->device_, 0);
  return output;
}

bool SdlOutput::DeviceLost() const { return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED; }

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
