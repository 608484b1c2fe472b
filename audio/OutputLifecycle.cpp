// The output start-up sequence and its error reporting.
#include "OutputLifecycle.h"

#include <dlfcn.h>

#include <cfenv>
#include <cstdlib>
#include <optional>

#include "ToneFormula.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

std::string Numbered(const char* text, int generator) { return text + std::to_string(generator); }

}  // namespace

void OutputLifecycle::LoadAudioLibrary() {
  if (AudioLibraryModule != nullptr) return;
  // A library's start-up code may change the rounding or precision mode;
  // the window thread's arithmetic must not notice.
  std::fenv_t saved;
  std::fegetenv(&saved);
  AudioLibraryModule = dlopen(FLibraryFileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (AudioLibraryModule == nullptr) dlerror();  // nothing is reported
  std::fesetenv(&saved);
}

void OutputLifecycle::btnGetDevicesListClick(const void* /*Sender*/) {
  ClearDeviceList();
  if (!AudioLibraryLoaded()) return;
  BASS_DEVICEINFO info{};
  for (DWORD device = 0; BASS_GetDeviceInfo(device, &info); ++device) {
    AppendDevice(info.name != nullptr ? info.name : "");
  }
  SelectDevice(kStartDevicePosition);
  cbOutputDevicesChange();
}

void OutputLifecycle::cbOutputDevicesChange(const void* /*Sender*/) {
  OutputDeviceIndex = SelectedDevice();
  btnRestartClick();
}

void OutputLifecycle::btnRestartClick(const void* /*Sender*/) {
  // Only the first two streams are paused and stopped by name; that is the
  // sequence as it has always run, and it loses nothing: BASS_Free stops and
  // releases all eight before anything is created again.
  BASS_ChannelPause(Sine1Stream);
  BASS_ChannelStop(Sine1Stream);
  BASS_ChannelPause(Sine2Stream);
  BASS_ChannelStop(Sine2Stream);
  BASS_Free();
  OutputDeviceIndex = SelectedDevice();
  btnBassInitClick();
  btnCreateStreamClick();
  btnStartStreamClick();
}

void OutputLifecycle::btnBassInitClick(const void* /*Sender*/) {
  if ((BASS_GetVersion() >> 16) != BASS_INTERFACE_VERSION) {
    ShowUnownedError("An incorrect version of BASS.DLL was loaded");
    // Nothing plays yet (the library was just freed), so there is nothing to
    // wind down; a failure must not end with a success code.
    std::_Exit(kWrongVersionExitCode);
  }
  if (!BASS_Init(OutputDeviceIndex, tone::kStreamFrameRate, 0, NativeWindowHandle(), nullptr)) {
    ShowAudioError("Could not initialize BASS");
  }
}

void OutputLifecycle::btnCreateStreamClick(const void* /*Sender*/) {
  for (int k = 1; k <= kGeneratorCount; ++k) {
    HSTREAM& stream = SineStreams[k - 1];
    stream = BASS_StreamCreate(tone::kStreamFrameRate, tone::kStreamChannels, 0, GeneratorStreamProcs[k - 1], nullptr);
    if (stream == 0) {
      ShowAudioError(Numbered("Could not create user stream ", k));
      return;
    }
  }
}

void OutputLifecycle::btnStartStreamClick(const void* /*Sender*/) {
  for (int k = 1; k <= kGeneratorCount; ++k) {
    GeneratorState& generator = GeneratorBank[k - 1];
    generator.Phase.store(0.0, kRelaxed);
    LoadFrequency(generator, GeneratorFrequency(k));
    generator.Amplitude.store(GeneratorLevel(k), kRelaxed);
    if (!BASS_ChannelPlay(SineStreams[k - 1], FALSE)) {
      ShowAudioError(Numbered("Could not start stream playback ", k));
      return;
    }
  }
  for (int k = 1; k <= kGeneratorCount; ++k) EnableGeneratorGroup(k);
}

// The spin box holds text up to the extended range, so a value that no double
// can hold reaches the restart when a refused paste is still in the box. It is
// met as the frequency handler meets it, with the standard error box, and the
// generator keeps the frequency it has; the rest of the sequence goes on.
void OutputLifecycle::LoadFrequency(GeneratorState& generator, long double frequency) {
  if (const std::optional<double> stored = StorableFrequency(frequency)) {
    generator.Frequency.store(*stored, kRelaxed);
  } else {
    ShowUnownedError(kFrequencyOverflowMessage);
  }
}

void OutputLifecycle::ShowAudioError(const std::string& text) {
  const int code = BASS_ErrorGetCode();  // before anything else calls the library
  ShowOwnedMessage(text + "\r\n(error code: " + std::to_string(code) + ")");
}
