// The software mix of all playing streams.
#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace bass {

namespace {

// A handle carries its slot in the low bits and a serial number above them,
// so a handle freed by ReleaseAll is never mistaken for a later stream.
constexpr unsigned kSlotBits = 6;
static_assert((1u << kSlotBits) == kMaxStreams);
constexpr uint32_t kSerialMask = (1u << (32 - kSlotBits)) - 1;

std::size_t SlotOf(HSTREAM handle) { return handle & (kMaxStreams - 1); }

int16_t ClampToSample(float value) { return static_cast<int16_t>(std::lrint(std::clamp(value, -32768.0f, 32767.0f))); }

}  // namespace

HSTREAM Mixer::Create(uint32_t channels, STREAMPROC* proc, void* user) {
  for (std::size_t index = 0; index < slots_.size(); ++index) {
    Slot& slot = slots_[index];
    if (slot.handle.load(std::memory_order_relaxed) != 0) continue;
    serial_ = (serial_ % kSerialMask) + 1;  // 1 .. kSerialMask: never a zero handle
    slot.proc = proc;
    slot.user = user;
    slot.channels = channels;
    const HSTREAM handle = (serial_ << kSlotBits) | static_cast<HSTREAM>(index);
    slot.handle.store(handle, std::memory_order_release);
    return handle;
  }
  return 0;
}

Mixer::Slot* Mixer::Find(HSTREAM handle) {
  if (handle == 0) return nullptr;
  Slot& slot = slots_[SlotOf(handle)];
  return slot.handle.load(std::memory_order_relaxed) == handle ? &slot : nullptr;
}

bool Mixer::SetPlaying(HSTREAM handle, bool playing) {
  Slot* slot = Find(handle);
  if (slot == nullptr) return false;
  slot->playing.store(playing, std::memory_order_release);
  return true;
}

void Mixer::ReleaseAll() {
  for (Slot& slot : slots_) {
    slot.playing.store(false, std::memory_order_relaxed);
    slot.handle.store(0, std::memory_order_relaxed);
    slot.proc = nullptr;
    slot.user = nullptr;
    slot.channels = 0;
  }
}

void Mixer::Render(int16_t* out, uint32_t frames) noexcept {
  while (frames > 0) {
    const uint32_t block = std::min(frames, kBufferFrames);
    RenderBlock(out, block);
    out += std::size_t{block} * kOutputChannels;
    frames -= block;
  }
}

void Mixer::RenderBlock(int16_t* out, uint32_t frames) noexcept {
  const std::size_t values = std::size_t{frames} * kOutputChannels;
  std::fill_n(mixBlock_.begin(), values, 0.0f);
  for (Slot& slot : slots_) {
    if (slot.playing.load(std::memory_order_acquire)) AddStream(slot, frames);
  }
  const float volume = volume_.load(std::memory_order_relaxed);
  for (std::size_t i = 0; i < values; ++i) out[i] = ClampToSample(mixBlock_[i] * volume);
}

void Mixer::AddStream(Slot& slot, uint32_t frames) noexcept {
  const uint32_t values = frames * slot.channels;
  const uint32_t bytes = values * sizeof(int16_t);
  const HSTREAM handle = slot.handle.load(std::memory_order_relaxed);
  // A routine that writes less than asked for leaves silence in the rest.
  const uint32_t written = std::min(slot.proc(handle, streamBlock_.data(), bytes, slot.user), bytes);
  std::fill(streamBlock_.begin() + written / sizeof(int16_t), streamBlock_.begin() + values, int16_t{0});
  // The routines write little-endian samples, which is this machine's order.
  if (slot.channels == kOutputChannels) {
    for (uint32_t i = 0; i < values; ++i) mixBlock_[i] += streamBlock_[i];
  } else {
    for (uint32_t frame = 0; frame < frames; ++frame) {
      mixBlock_[2 * frame] += streamBlock_[frame];
      mixBlock_[2 * frame + 1] += streamBlock_[frame];
    }
  }
}

}  // namespace bass
