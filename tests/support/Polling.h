// Waiting, without a message loop, for something another thread brings
// about: poll the condition until it holds or a generous timeout passes. The
// interval only spaces the checks; nothing is concluded from it.
#pragma once

#include <chrono>
#include <thread>

namespace polling {

// Far beyond what an output rendering every few milliseconds needs, even on
// a loaded machine under a sanitizer.
inline constexpr std::chrono::seconds kGenerousTimeout{10};
inline constexpr std::chrono::milliseconds kPollInterval{1};

// True once `condition` holds; false if it still does not at the timeout.
template <class Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds timeout = kGenerousTimeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

}  // namespace polling
