// The library's exported functions: argument checks, the last error, the
// lifetime of the output, and bringing a system device's output back on the
// default device when its device goes away. Every control function, and the
// output's watch, holds one lock; the audio thread never takes it. No
// exception leaves this file.
#include <atomic>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

#include "DeviceList.h"
#include "Mixer.h"
#include "OutputWatch.h"
#include "SdlOutput.h"
#include "SilentOutput.h"
#include "bass.h"
#include "bass_internal.h"

namespace {

constexpr DWORD kVersion = (BASS_INTERFACE_VERSION << 16) | 0x0001u;

enum class OutputKind { None, Offline, Device };

struct Library {
  std::mutex lock;
  bass::Mixer mixer;
  bass::DeviceList devices;
  std::unique_ptr<bass::Output> output;
  // Destroys the output BASS_Free stopped; joined before SDL is used again.
  // Declared after `output`, so the library's end waits for it first.
  std::jthread closing;
  // Written under the lock; read without it by BASS_OfflineRender.
  std::atomic<OutputKind> kind{OutputKind::None};
  DWORD rate = 0;
  // Looks after a system device's output; ended by BASS_Free. Last, so the
  // library's end stops it before anything it uses goes.
  std::unique_ptr<bass::OutputWatch> watch;
};

Library& Lib() {
  static Library library;
  return library;
}

thread_local int lastError = BASS_OK;

BOOL Fail(int code) {
  lastError = code;
  return FALSE;
}

BOOL Succeed() {
  lastError = BASS_OK;
  return TRUE;
}

// Runs the body of an exported function, which must not throw: a C caller
// cannot catch. The library throws only std::bad_alloc, and
// std::system_error when a thread cannot start, so whatever escapes becomes
// BASS_ERROR_RESOURCES. Each body leaves the library as it was when it
// throws.
template <class Body>
auto Guarded(Body body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    return static_cast<decltype(body())>(Fail(BASS_ERROR_RESOURCES));
  }
}

// Opens the system device at `device` (already known to exist); null when it
// cannot be opened.
std::unique_ptr<bass::Output> OpenSystemDevice(Library& lib, int device, DWORD freq) {
  const char* name = device == BASS_DEVICE_DEFAULT ? nullptr : lib.devices.Name(static_cast<std::size_t>(device));
  return bass::SdlOutput::Open(name, freq, lib.mixer);
}

// Opens the output at `device` (already known to exist) or gives the error.
int OpenDevice(Library& lib, int device, DWORD freq) {
  if (device == BASS_DEVICE_NOSOUND) {
    lib.output = std::make_unique<bass::SilentOutput>(lib.mixer, freq);
    return BASS_OK;
  }
  lib.output = OpenSystemDevice(lib, device, freq);
  if (!lib.output && bass::SdlAudioFellBack()) {
    // The sound server missing when SDL chose its driver may be up now. On
    // its first driver a restart would change nothing, and SDL 2.26 crashes
    // starting against a PulseAudio server that has no sink at all.
    bass::RestartSdlAudio();
    lib.output = OpenSystemDevice(lib, device, freq);
  }
  return lib.output ? BASS_OK : BASS_ERROR_OPEN;
}

// Checks shared by both ways of initialising.
int CheckInit(const Library& lib, DWORD freq) {
  if (lib.kind != OutputKind::None) return BASS_ERROR_ALREADY;
  if (freq < BASS_FREQ_MIN || freq > BASS_FREQ_MAX) return BASS_ERROR_FREQ;
  return BASS_OK;
}

// Waits until the output BASS_Free handed over is closed, so that nothing
// else uses SDL meanwhile and an exclusive device is free again.
void FinishClosing(Library& lib) {
  if (lib.closing.joinable()) lib.closing.join();
}

// Destroys a stopped output on a thread of its own: closing a device waits
// for SDL's device thread, which plays out up to two buffers first.
void CloseInBackground(Library& lib, std::unique_ptr<bass::Output> output) {
  FinishClosing(lib);
  try {
    lib.closing = std::jthread([](std::unique_ptr<bass::Output> stopped) { stopped.reset(); }, std::move(output));
  } catch (...) {
    // No thread, or no memory for one: the output is closed here instead,
    // with the thread's copy of the arguments or with `output` as this
    // returns. BASS_Free succeeds all the same, only slower.
  }
}

// The watch's check: a system device's output whose device went away (the
// sound server removed it) is replaced by one on the system's default output,
// where the server plays now, with the same rate, mixer and streams. False
// while none can be opened; the watch tries again later.
bool KeepOutputPlaying(Library& lib, const std::stop_token& stop) {
  std::lock_guard guard(lib.lock);
  // BASS_Free requests the stop under the lock as it takes the output away:
  // from then on there is nothing to look after.
  if (stop.stop_requested()) return true;
  FinishClosing(lib);  // SDL is used by one thread at a time
  return bass::ReplaceLostOutput(
      lib.output, [&lib] { return bass::SdlOutput::Open(nullptr, lib.rate, lib.mixer); },
      [&lib](std::unique_ptr<bass::Output> lost) { CloseInBackground(lib, std::move(lost)); });
}

// Starts the watch of the system device BASS_Init just opened. On failure the
// output is closed again and the exception passed on, so the library is left
// as before the call.
void WatchOutput(Library& lib) {
  try {
    lib.watch =
        std::make_unique<bass::OutputWatch>([&lib](std::stop_token stop) { return KeepOutputPlaying(lib, stop); });
  } catch (...) {
    lib.output.reset();
    throw;
  }
}

// The mixer keeps the volume across outputs, so a new one plays at the
// volume last set, even one set while there was no output.
void MarkInitialised(Library& lib, OutputKind kind, DWORD freq) {
  lib.kind = kind;
  lib.rate = freq;
}

}  // namespace

extern "C" {

DWORD BASS_GetVersion(void) noexcept {
  Succeed();
  return kVersion;
}

BOOL BASS_GetDeviceInfo(DWORD device, BASS_DEVICEINFO* info) noexcept {
  if (info == nullptr) return Fail(BASS_ERROR_PARAM);
  return Guarded([&] {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    FinishClosing(lib);
    if (device == 0) {
      // Only a restart of SDL's audio finds a sound server started since, and
      // SDL allows that while none of its devices is open.
      if (!lib.output) bass::RestartSdlAudio();
      lib.devices.Refresh();
    } else {
      lib.devices.EnsureListed();
    }
    if (device >= lib.devices.Count()) return Fail(BASS_ERROR_DEVICE);
    info->name = lib.devices.Name(device);
    return Succeed();
  });
}

BOOL BASS_Init(int device, DWORD freq, DWORD /*flags*/, void* /*window*/, void* /*clsid*/) noexcept {
  return Guarded([&] {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    if (const int error = CheckInit(lib, freq); error != BASS_OK) return Fail(error);
    if (device == -1) device = BASS_DEVICE_DEFAULT;
    if (device < 0) return Fail(BASS_ERROR_DEVICE);
    FinishClosing(lib);
    lib.devices.EnsureListed();
    if (static_cast<std::size_t>(device) >= lib.devices.Count()) return Fail(BASS_ERROR_DEVICE);
    if (const int error = OpenDevice(lib, device, freq); error != BASS_OK) return Fail(error);
    if (device != BASS_DEVICE_NOSOUND) WatchOutput(lib);
    MarkInitialised(lib, OutputKind::Device, freq);
    return Succeed();
  });
}

BOOL BASS_Free(void) noexcept {
  return Guarded([] {
    Library& lib = Lib();
    // Joined after the lock is given back: the watch may be waiting for it.
    std::unique_ptr<bass::OutputWatch> endedWatch;
    std::lock_guard guard(lib.lock);
    if (lib.kind == OutputKind::None) return Fail(BASS_ERROR_INIT);
    if (lib.watch) {
      lib.watch->RequestStop();
      endedWatch = std::move(lib.watch);
    }
    if (lib.output) {
      lib.output->Stop();  // before the slots are released
      CloseInBackground(lib, std::move(lib.output));
    }
    lib.mixer.ReleaseAll();
    lib.kind = OutputKind::None;
    lib.rate = 0;
    return Succeed();
  });
}

HSTREAM BASS_StreamCreate(DWORD freq, DWORD chans, DWORD /*flags*/, STREAMPROC* proc, void* user) noexcept {
  return Guarded([&]() -> HSTREAM {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    if (lib.kind == OutputKind::None) return Fail(BASS_ERROR_INIT);
    if (proc == nullptr) return Fail(BASS_ERROR_PARAM);
    if ((chans != 1 && chans != 2) || freq != lib.rate) return Fail(BASS_ERROR_FORMAT);
    const HSTREAM handle = lib.mixer.Create(chans, proc, user);
    if (handle == 0) return Fail(BASS_ERROR_SLOTS);
    Succeed();
    return handle;
  });
}

static BOOL SetPlaying(DWORD handle, bool playing) noexcept {
  return Guarded([&] {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    if (!lib.mixer.SetPlaying(handle, playing)) return Fail(BASS_ERROR_HANDLE);
    return Succeed();
  });
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL /*restart*/) noexcept { return SetPlaying(handle, true); }
BOOL BASS_ChannelPause(DWORD handle) noexcept { return SetPlaying(handle, false); }
BOOL BASS_ChannelStop(DWORD handle) noexcept { return SetPlaying(handle, false); }

BOOL BASS_SetVolume(float volume) noexcept {
  if (!(volume >= 0.0f && volume <= 1.0f)) return Fail(BASS_ERROR_PARAM);  // NaN fails here too
  return Guarded([&] {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    // Kept without an output too: the next one plays at it, so a change
    // refused while no device could be opened is not lost.
    lib.mixer.SetVolume(volume);
    if (lib.kind == OutputKind::None) return Fail(BASS_ERROR_INIT);
    return Succeed();
  });
}

int BASS_ErrorGetCode(void) noexcept { return lastError; }

BOOL BASS_OfflineInit(DWORD freq) noexcept {
  return Guarded([&] {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    if (const int error = CheckInit(lib, freq); error != BASS_OK) return Fail(error);
    MarkInitialised(lib, OutputKind::Offline, freq);
    return Succeed();
  });
}

BOOL BASS_OfflineRender(int16_t* out, DWORD frames) noexcept {
  // No lock: this stands in for the audio thread. The output kind changes
  // only while nothing renders.
  Library& lib = Lib();
  if (lib.kind != OutputKind::Offline) return Fail(BASS_ERROR_INIT);
  if (out == nullptr) return Fail(BASS_ERROR_PARAM);
  lib.mixer.Render(out, frames);
  return Succeed();
}

DWORD BASS_OutputBufferFrames(void) noexcept {
  return Guarded([]() -> DWORD {
    Library& lib = Lib();
    std::lock_guard guard(lib.lock);
    Succeed();
    return lib.output ? lib.output->BufferFrames() : 0;
  });
}

}  // extern "C"
