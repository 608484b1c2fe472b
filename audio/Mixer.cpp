// The software mix of all playing streams.
#include "Mixer.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace bass {

namespace {

// A handle carries its slot in the low bits and a serial number above them,
// so a handle freed by ReleaseAll is never mistaken for a later stream.
constexpr unsigned kSlotBits = 6;
static_assert((1u << kSlotBits) == kMaxStreams);
constexpr uint32_t kSerialMask = (1u << (32 - kSlotBits)) - 1;

std::size_t SlotOf(HSTREAM handle) { return handle & (kMaxStreams - 1); }

SlotMask BitOf(std::size_t slot) { return SlotMask{1} << slot; }

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
    neverPlayed_ |= BitOf(index);
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
  const SlotMask bit = BitOf(SlotOf(handle));
  if (!playing) {
    requested_ &= ~bit;
    held_ &= ~bit;
  } else {
    requested_ |= bit;
    if (neverPlayed_ & bit) {
      neverPlayed_ &= ~bit;
      held_ |= bit;
    }
  }
  if (neverPlayed_ == 0) held_ = 0;  // the set is complete: it starts now
  Publish();
  return true;
}

// The playing streams go out in one store, so a renderer never sees part of
// a set. Playing is stored first: a renderer that sees a stream no longer
// waiting then also sees it playing.
void Mixer::Publish() {
  playing_.store(requested_ & ~held_, std::memory_order_release);
  waiting_.store(held_, std::memory_order_release);
}

void Mixer::ReleaseAll() {
  for (Slot& slot : slots_) {
    slot.handle.store(0, std::memory_order_relaxed);
    slot.proc = nullptr;
    slot.user = nullptr;
    slot.channels = 0;
  }
  requested_ = 0;
  neverPlayed_ = 0;
  held_ = 0;
  Publish();
  heldFrames_ = 0;
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
  for (SlotMask streams = StreamsToRender(frames); streams != 0; streams &= streams - 1) {
    AddStream(slots_[std::countr_zero(streams)], frames);
  }
  const float volume = volume_.load(std::memory_order_relaxed);
  for (std::size_t i = 0; i < values; ++i) out[i] = ClampToSample(mixBlock_[i] * volume);
}

// The streams of this block: those playing, and the held ones as well once
// they have waited kGroupStartLimit frames for the rest of their set.
SlotMask Mixer::StreamsToRender(uint32_t frames) noexcept {
  const SlotMask waiting = waiting_.load(std::memory_order_acquire);
  const SlotMask playing = playing_.load(std::memory_order_acquire);
  if (waiting == 0) {
    heldFrames_ = 0;
    return playing;
  }
  if (heldFrames_ >= kGroupStartLimit) return playing | waiting;
  heldFrames_ += frames;
  return playing;
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
