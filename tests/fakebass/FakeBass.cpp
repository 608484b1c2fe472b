// The stand-in library's state machine: an output that is initialised or
// not, streams that exist until BASS_Free, and a record of every call.
#include "FakeBass.h"

#include <map>

namespace fakebass {

namespace {

struct State {
  Script script;
  std::vector<std::string> calls;
  std::vector<STREAMPROC*> procs;
  std::vector<float> volumes;
  bool initialised = false;
  int createdSinceInit = 0;
  HSTREAM lastHandle = 0;
  std::map<HSTREAM, int> liveStreams;  // handle -> creation number since init
  int lastError = BASS_OK;
};

State& S() {
  static State state;
  return state;
}

void Record(const std::string& name, long long argument) {
  S().calls.push_back(name + "(" + std::to_string(argument) + ")");
}

BOOL Result(bool ok, int error) {
  S().lastError = ok ? BASS_OK : error;
  return ok ? TRUE : FALSE;
}

}  // namespace

void Reset() {
  const HSTREAM keepCounting = S().lastHandle;  // handles stay unique across tests
  S() = State{};
  S().lastHandle = keepCounting;
}
Script& script() { return S().script; }
const std::vector<std::string>& Calls() { return S().calls; }
void ClearCalls() { S().calls.clear(); }
const std::vector<STREAMPROC*>& CreatedProcs() { return S().procs; }
const std::vector<float>& Volumes() { return S().volumes; }

}  // namespace fakebass

using fakebass::Record;
using fakebass::Result;
using fakebass::S;

extern "C" {

__attribute__((visibility("default"))) DWORD BASS_GetVersion(void) noexcept {
  S().calls.push_back("BASS_GetVersion");
  return S().script.version;
}

__attribute__((visibility("default"))) BOOL BASS_GetDeviceInfo(DWORD device, BASS_DEVICEINFO* info) noexcept {
  Record("BASS_GetDeviceInfo", device);
  static std::vector<std::string> names;
  if (device >= static_cast<DWORD>(S().script.deviceCount)) return Result(false, BASS_ERROR_DEVICE);
  names.resize(static_cast<std::size_t>(S().script.deviceCount));
  names[device] = "Device " + std::to_string(device);
  info->name = names[device].c_str();
  return Result(true, BASS_OK);
}

__attribute__((visibility("default"))) BOOL BASS_Init(int device, DWORD, DWORD, void*, void*) noexcept {
  Record("BASS_Init", device);
  if (S().initialised) return Result(false, BASS_ERROR_ALREADY);
  if (S().script.initError != 0) return Result(false, S().script.initError);
  S().initialised = true;
  S().createdSinceInit = 0;
  return Result(true, BASS_OK);
}

__attribute__((visibility("default"))) BOOL BASS_Free(void) noexcept {
  S().calls.push_back("BASS_Free");
  const bool wasInitialised = S().initialised;
  S().initialised = false;
  S().liveStreams.clear();
  return Result(wasInitialised, BASS_ERROR_INIT);
}

__attribute__((visibility("default"))) HSTREAM BASS_StreamCreate(DWORD, DWORD, DWORD, STREAMPROC* proc,
                                                                 void*) noexcept {
  S().calls.push_back("BASS_StreamCreate");
  S().procs.push_back(proc);
  if (!S().initialised) return Result(false, BASS_ERROR_INIT);
  const int number = ++S().createdSinceInit;
  if (number == S().script.createFailsAt) return Result(false, S().script.createError);
  const HSTREAM handle = ++S().lastHandle;
  S().liveStreams[handle] = number;
  Result(true, BASS_OK);
  return handle;
}

__attribute__((visibility("default"))) BOOL BASS_ChannelPlay(DWORD handle, BOOL) noexcept {
  Record("BASS_ChannelPlay", handle);
  const auto stream = S().liveStreams.find(handle);
  if (stream == S().liveStreams.end()) return Result(false, BASS_ERROR_HANDLE);
  if (stream->second == S().script.playFailsAt) return Result(false, S().script.playError);
  return Result(true, BASS_OK);
}

__attribute__((visibility("default"))) BOOL BASS_ChannelPause(DWORD handle) noexcept {
  Record("BASS_ChannelPause", handle);
  return Result(S().liveStreams.count(handle) != 0, BASS_ERROR_HANDLE);
}

__attribute__((visibility("default"))) BOOL BASS_ChannelStop(DWORD handle) noexcept {
  Record("BASS_ChannelStop", handle);
  return Result(S().liveStreams.count(handle) != 0, BASS_ERROR_HANDLE);
}

__attribute__((visibility("default"))) BOOL BASS_SetVolume(float volume) noexcept {
  S().calls.push_back("BASS_SetVolume(" + std::to_string(volume) + ")");
  S().volumes.push_back(volume);
  return Result(S().initialised, BASS_ERROR_INIT);
}

__attribute__((visibility("default"))) int BASS_ErrorGetCode(void) noexcept {
  S().calls.push_back("BASS_ErrorGetCode");
  return S().lastError;
}

}  // extern "C"
