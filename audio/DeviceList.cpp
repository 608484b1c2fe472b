// Device enumeration.
#include "DeviceList.h"

#include <SDL.h>

#include <utility>

#include "SdlOutput.h"

namespace bass {

void DeviceList::Refresh() {
  // Read into a list of its own, so that running out of memory halfway keeps
  // the list read before.
  std::vector<std::string> names{"No sound", "Default"};
  if (EnsureSdlAudio()) {
    const int count = SDL_GetNumAudioDevices(0);
    for (int index = 0; index < count; ++index) {
      const char* name = SDL_GetAudioDeviceName(index, 0);
      if (name != nullptr) names.emplace_back(name);
    }
  }
  names_ = std::move(names);
}

void DeviceList::EnsureListed() {
  if (names_.empty()) Refresh();
}

}  // namespace bass
