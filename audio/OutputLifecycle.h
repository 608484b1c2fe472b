// Bringing the audio output up and down: loading the audio library, listing
// its devices, initialising the chosen one, creating and starting the eight
// generator streams, restarting on a change of device, and the error box for
// every failed library call.
//
// The main window derives from OutputLifecycle and supplies what the sequence
// needs of it (device list, generator controls, group boxes, message boxes)
// through the pure virtual functions below. Everything here runs on the window
// thread. The methods named like button handlers are bound to no control:
// the window calls them itself, and they ignore their sender.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "GeneratorBank.h"
#include "bass.h"

// The file the program loads the audio library from.
inline constexpr const char* kAudioLibraryFileName = "libbass.so";

// The exit code after the version check fails: the program could not run.
inline constexpr int kWrongVersionExitCode = 1;
// Position of the device list selected at start-up (the fourth entry).
inline constexpr int kStartDevicePosition = 3;

class OutputLifecycle {
 public:
  // `libraryFileName` is the module LoadAudioLibrary loads; tests name
  // another one to see what a missing or misbehaving module does.
  explicit OutputLifecycle(std::string libraryFileName = kAudioLibraryFileName)
      : FLibraryFileName(std::move(libraryFileName)) {}
  OutputLifecycle(const OutputLifecycle&) = delete;
  OutputLifecycle& operator=(const OutputLifecycle&) = delete;
  virtual ~OutputLifecycle() = default;

  // Loads the module by file name, once; the window thread's floating-point
  // environment is the same afterwards. Reports nothing.
  void LoadAudioLibrary();
  bool AudioLibraryLoaded() const { return AudioLibraryModule != nullptr; }

  // The device number handed to BASS_Init: the device list's selected
  // position, -1 when none. 0 until the first restart.
  int32_t OutputDeviceIndex = 0;
  // The audio library module, never released.
  void* AudioLibraryModule = nullptr;

  // Fills the device list, selects the fourth entry and restarts.
  void btnGetDevicesListClick(const void* Sender = nullptr);
  // Takes the list's selection as the device and restarts.
  void cbOutputDevicesChange(const void* Sender = nullptr);
  // Stop, free, initialise, create, start; each step runs whatever the
  // previous one gave.
  void btnRestartClick(const void* Sender = nullptr);
  // Version check (ends the program on a mismatch), then initialisation.
  void btnBassInitClick(const void* Sender = nullptr);
  void btnCreateStreamClick(const void* Sender = nullptr);
  // Loads each generator from its controls and starts its stream; enables
  // the generator groups once all eight play. A frequency the bank cannot
  // store is shown in the standard error box and the generator keeps its
  // frequency; its phase and level are loaded and its stream started all
  // the same.
  void btnStartStreamClick(const void* Sender = nullptr);

  // Stream handles of generators 1 to 8. A creation overwrites its handle,
  // 0 included; nothing else clears them.
  std::array<HSTREAM, kGeneratorCount> SineStreams{};
  HSTREAM& Sine1Stream = SineStreams[0];
  HSTREAM& Sine2Stream = SineStreams[1];
  HSTREAM& Sine3Stream = SineStreams[2];
  HSTREAM& Sine4Stream = SineStreams[3];
  HSTREAM& Sine5Stream = SineStreams[4];
  HSTREAM& Sine6Stream = SineStreams[5];
  HSTREAM& Sine7Stream = SineStreams[6];
  HSTREAM& Sine8Stream = SineStreams[7];

 protected:
  // Shows `text` with the library's last error code in the window's box.
  void ShowAudioError(const std::string& text);

  // What the sequence needs of its window. Generators are numbered 1 to 8.
  virtual void ClearDeviceList() = 0;
  virtual void AppendDevice(const std::string& name) = 0;
  // A position past the end leaves no entry selected.
  virtual void SelectDevice(int position) = 0;
  // -1 when no entry is selected.
  virtual int SelectedDevice() const = 0;
  virtual long double GeneratorFrequency(int generator) const = 0;
  virtual int GeneratorLevel(int generator) const = 0;
  virtual void EnableGeneratorGroup(int generator) = 0;
  virtual void* NativeWindowHandle() = 0;
  // A modal box owned by the window, no icon; returns once dismissed.
  virtual void ShowOwnedMessage(const std::string& message) = 0;
  // The standard error box: modal, owned by no window, the critical icon and
  // the application title as caption; returns once dismissed. It is also
  // the box an error escaping a handler is shown in.
  virtual void ShowUnownedError(const std::string& message) = 0;

 private:
  // Stores `frequency` as generator's Frequency, or shows why it cannot.
  void LoadFrequency(GeneratorState& generator, long double frequency);

  std::string FLibraryFileName;
};
