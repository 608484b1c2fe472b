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

// The device buffer the outputs ask for, and the mixer's block, so that a
// device callback calls every fill routine once. 21.3 ms at 48000 Hz, which
// the sound server reports as about 15 ms of latency. Measured on a
// PulseAudio null sink with a recording of the output compared frame by frame
// with the tones' exact period (docs/decisions.md): 256 frames gapped several
// times a minute idle and about twenty times under load; 512 and 1024 frames
// did not gap on a quiet machine, but 512 still gapped beside a running build
// and its wake-ups cost more CPU than the eight tones themselves.
inline constexpr uint32_t kBufferFrames = 1024;

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
  // The master volume, 1.0 until set. ReleaseAll keeps it: it belongs to
  // the library, and the next output plays at it.
  void SetVolume(float volume) { volume_.store(volume, std::memory_order_relaxed); }

  // Audio thread: mixes `frames` stereo frames of every playing stream into
  // `out`, applies the volume and clamps to full scale, a block of
  // kBufferFrames at a time. Real-time safe.
  void Render(int16_t* out, uint32_t frames) noexcept;

 private:
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
  std::array<int16_t, kBufferFrames * kOutputChannels> streamBlock_{};
  std::array<float, kBufferFrames * kOutputChannels> mixBlock_{};
};

}  // namespace bass
