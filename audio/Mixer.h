// The stream slots of the audio library and the mix that feeds the output.
//
// Thread rules: Create, SetPlaying, ReleaseAll and SetVolume run on the
// control thread under the library's lock; Render runs on the audio thread
// and takes no lock. A slot's routine, user value and channel count are
// written before its handle and playing flag are published (release) and are
// read only after the playing flag was seen (acquire). ReleaseAll may only run
// while nothing renders, which the output guarantees by stopping first.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "bass.h"

namespace bass {

inline constexpr std::size_t kMaxStreams = 64;
inline constexpr uint32_t kOutputChannels = 2;

// Render takes no lock, so what it shares with the control thread must be
// real atomic instructions, never the library's lock-based fallback.
static_assert(std::atomic<HSTREAM>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
                  std::atomic<float>::is_always_lock_free,
              "the stream slots and the volume are shared with the audio thread");

class Mixer {
 public:
  // Takes a free slot for a paused stream; 0 when every slot is taken.
  HSTREAM Create(uint32_t channels, STREAMPROC* proc, void* user);
  // Starts or halts a stream; false for a handle that is not a live stream.
  bool SetPlaying(HSTREAM handle, bool playing);
  // Forgets every stream; their handles become unknown.
  void ReleaseAll();
  void SetVolume(float volume) { volume_.store(volume, std::memory_order_relaxed); }

  // Audio thread: mixes `frames` stereo frames of every playing stream into
  // `out`, applies the volume and clamps to full scale. Real-time safe.
  void Render(int16_t* out, uint32_t frames) noexcept;

 private:
  // As long as the device buffer the library asks for, so that a device
  // callback calls every fill routine once.
  static constexpr uint32_t kBlockFrames = 1024;

  struct Slot {
    std::atomic<HSTREAM> handle{0};
    std::atomic<bool> playing{false};
    STREAMPROC* proc = nullptr;
    void* user = nullptr;
    uint32_t channels = 0;
  };

  Slot* Find(HSTREAM handle);
  void RenderBlock(int16_t* out, uint32_t frames) noexcept;
  void AddStream(Slot& slot, uint32_t frames) noexcept;

  std::array<Slot, kMaxStreams> slots_;
  std::atomic<float> volume_{1.0f};
  uint32_t serial_ = 0;
  // Audio thread only.
  std::array<int16_t, kBlockFrames * kOutputChannels> streamBlock_{};
  std::array<float, kBlockFrames * kOutputChannels> mixBlock_{};
};

}  // namespace bass
