// The stream slots of the audio library and the mix that feeds the output.
//
// Thread rules: Create, SetPlaying, ReleaseAll and SetVolume run on the
// control thread under the library's lock; Render runs on the audio thread
// and takes no lock. A slot's routine, user value and channel count are
// written before its handle and its start are published (release) and are
// read only after the stream is seen playing (acquire). ReleaseAll may only
// run while nothing renders, which the output guarantees by stopping first.
//
// Streams created together start together. The output runs while a caller
// creates its streams and starts them one call at a time, so a block could
// fall between two starts and the streams would begin a block apart, out of
// the phase relation the caller set up. A stream that has never played is
// therefore held while any stream created with it has not been started yet;
// the set is then published in one store and begins on one frame. A set that
// is not complete within kGroupStartLimit frames of output plays as it is.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "bass.h"

namespace bass {

inline constexpr std::size_t kMaxStreams = 64;
inline constexpr uint32_t kOutputChannels = 2;

// The most frames one call of the mixer renders, and the block the "No
// sound" output renders at a time (21.3 ms at 48000 Hz), so that such a call
// calls every fill routine once. A device asks for shorter callbacks (see
// SdlOutput.cpp); the mixer renders any count, in blocks of at most this.
inline constexpr uint32_t kBufferFrames = 1024;

// How long started streams wait for the rest of their set: 100 ms at 48000
// Hz, far more than a caller needs between two starts, short enough that a
// set left incomplete still plays at once to the ear.
inline constexpr uint32_t kGroupStartLimit = 4800;

// Render takes no lock, so what it shares with the control thread must be
// real atomic instructions, never the library's lock-based fallback.
static_assert(std::atomic<HSTREAM>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free &&
                  std::atomic<float>::is_always_lock_free,
              "the stream slots and the volume are shared with the audio thread");
// One bit per slot: which streams play is published in a single store.
using SlotMask = uint64_t;
static_assert(kMaxStreams == 8 * sizeof(SlotMask));

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
    STREAMPROC* proc = nullptr;
    void* user = nullptr;
    uint32_t channels = 0;
  };

  Slot* Find(HSTREAM handle);
  void Publish();
  SlotMask StreamsToRender(uint32_t frames) noexcept;
  void RenderBlock(int16_t* out, uint32_t frames) noexcept;
  void AddStream(Slot& slot, uint32_t frames) noexcept;

  std::array<Slot, kMaxStreams> slots_;
  std::atomic<float> volume_{1.0f};
  uint32_t serial_ = 0;
  // Control thread: what callers asked to play, the streams created and
  // never started, and the first starts held until their set is complete.
  SlotMask requested_ = 0;
  SlotMask neverPlayed_ = 0;
  SlotMask held_ = 0;
  // What the renderer sees: the streams that play, and the held ones it may
  // start on its own once they have waited kGroupStartLimit frames.
  std::atomic<SlotMask> playing_{0};
  std::atomic<SlotMask> waiting_{0};
  // Audio thread only.
  uint32_t heldFrames_ = 0;
  std::array<int16_t, kBufferFrames * kOutputChannels> streamBlock_{};
  std::array<float, kBufferFrames * kOutputChannels> mixBlock_{};
};

}  // namespace bass
