// Device enumeration.
#include "DeviceList.h"

#include <SDL.h>

#include "SdlOutput.h"

namespace bass {

void DeviceList::Refresh() {
  names_ = {"No sound", "Default"};
  if (!EnsureSdlAudio()) return;
  const int count = SDL_GetNumAudioDevices(0);
  for (int index = 0; index < count; ++index) {
    const char* name = SDL_GetAudioDeviceName(index, 0);
    if (name != nullptr) names_.emplace_back(name);
  }
}

void DeviceList::EnsureListed() {
  if (names_.empty()) Refresh();
}

}  // namespace bass
