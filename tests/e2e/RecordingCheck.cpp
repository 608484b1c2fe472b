// Length, levels and gaps of a recording of the start-up output, and its reference.
#include "RecordingCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

#include "ReferenceTone.h"
#include "ToneMeasure.h"

namespace gaps {

namespace {

constexpr std::size_t kChannels = 2;
constexpr std::array<const char*, kChannels> kChannelNames{"left", "right"};

// One half-second stretch of one channel of a recording of `channels`
// interleaved channels.
std::vector<double> ChannelStretch(std::span<const int16_t> samples, std::size_t channels, std::size_t channel,
                                   std::size_t firstFrame) {
  std::vector<double> stretch(tones::kWindowFrames);
  for (std::size_t i = 0; i < stretch.size(); ++i) stretch[i] = samples[(firstFrame + i) * channels + channel];
  return stretch;
}

double Seconds(std::size_t frames) { return double(frames) / tones::kRate; }

// The tones of one stretch that are off their level, as "550 Hz left 0.0
// (-inf dB), ..."; empty when every tone is at its level on both channels.
std::string TonesOffLevel(std::span<const int16_t> samples, std::size_t firstFrame,
                          const std::array<double, tones::kStartUpToneCount>& expected) {
  const auto frequencies = tones::StartUpFrequencies();
  std::string off;
  for (std::size_t channel = 0; channel < kChannels; ++channel) {
    const std::vector<double> stretch = ChannelStretch(samples, kChannels, channel, firstFrame);
    for (std::size_t k = 0; k < frequencies.size(); ++k) {
      const double amplitude = tones::AmplitudeAt(stretch, frequencies[k]);
      const double errorDb = 20.0 * std::log10(amplitude / expected[k]);
      if (std::fabs(errorDb) <= kLevelToleranceDb) continue;  // also false for a tone that is not there at all
      char item[80];
      std::snprintf(item, sizeof item, "%s%.0f Hz %s %.1f (%+.2f dB)", off.empty() ? "" : ", ", frequencies[k],
                    kChannelNames[channel], amplitude, errorDb);
      off += item;
    }
  }
  return off;
}

// One fault line when some half-second stretch after the skipped start is
// off by `off` (which says what is off in the stretch beginning at a frame,
// or nothing): `what`, how many are off and what the first one holds. A
// stretch that overlaps one of `unjudged` is left out.
void JudgeStretches(std::size_t frames, std::span<const Gap> unjudged, const char* what,
                    const std::function<std::string(std::size_t)>& off, Verdict& verdict) {
  std::size_t stretches = 0, offStretches = 0;
  std::string first;
  for (std::size_t start = kSkippedFrames; start + tones::kWindowFrames <= frames; start += tones::kWindowFrames) {
    if (OverlapsAny(Gap{start, start + tones::kWindowFrames - 1}, unjudged)) continue;
    ++stretches;
    const std::string found = off(start);
    if (found.empty()) continue;
    if (offStretches++ == 0) {
      char at[48];
      std::snprintf(at, sizeof at, "; the first, at %.2f s: ", Seconds(start));
      first = at + found;
    }
  }
  if (offStretches == 0) return;
  char line[256];
  std::snprintf(line, sizeof line, "%s in %zu of %zu half-second stretches", what, offStretches, stretches);
  verdict.faults.push_back(line + first);
}

// The start-up tones' levels; a stretch that holds one of the server's gaps
// is not judged: its tones jump in phase there.
void JudgeLevels(std::span<const int16_t> samples, Verdict& verdict) {
  const std::size_t frames = samples.size() / kChannels;
  if (frames < kSkippedFrames + tones::kWindowFrames) {
    verdict.faults.push_back("no whole half-second stretch after the start to measure the tones in");
    return;
  }
  const auto expected = tones::StartUpLevels(tones::kStartUpMasterVolume);
  char what[96];
  std::snprintf(what, sizeof what, "start-up tones off their levels by more than %.1f dB", kLevelToleranceDb);
  JudgeStretches(frames, verdict.serverGaps, what,
                 [&](std::size_t start) { return TonesOffLevel(samples, start, expected); }, verdict);
}

// What is off in the reference's stretch from `firstFrame`: its tone's level,
// or the level of everything in its channel, which only the tone may make
// up; as "1000 Hz 0.0 (-inf dB), channel 0.0 (-inf dB)", or empty.
std::string ReferenceOffLevel(std::span<const int16_t> samples, std::size_t firstFrame) {
  const std::vector<double> stretch = ChannelStretch(samples, kReferencedChannels, kReferenceChannel, firstFrame);
  double power = 0.0;
  for (const double x : stretch) power += x * x;
  // The amplitude of a lone sine with the stretch's power.
  const double channel = std::sqrt(2.0 * power / double(stretch.size()));
  const double tone = tones::AmplitudeAt(stretch, kReferenceFrequency);
  const double toneDb = 20.0 * std::log10(tone / kReferenceAmplitude);
  const double channelDb = 20.0 * std::log10(channel / kReferenceAmplitude);
  if (std::fabs(toneDb) <= kLevelToleranceDb && std::fabs(channelDb) <= kLevelToleranceDb) return {};
  char off[96];
  std::snprintf(off, sizeof off, "%.0f Hz %.1f (%+.2f dB), channel %.1f (%+.2f dB)", kReferenceFrequency, tone, toneDb,
                channel, channelDb);
  return off;
}

// The reference must be in its channel at its level and alone, or its gaps
// tell nothing: without it the server's gaps would count against the
// program, and with the program's sound mixed into it (a server that fills
// the channel from the others) the program's own gaps would pass for the
// server's. Stretches that hold one of its gaps are left out.
void JudgeReference(std::span<const int16_t> samples, std::span<const Gap> referenceGaps, Verdict& verdict) {
  char what[160];
  std::snprintf(what, sizeof what,
                "the reference (%.0f Hz at %.0f) is missing, off its level by more than %.1f dB or not alone in its "
                "channel",
                kReferenceFrequency, kReferenceAmplitude, kLevelToleranceDb);
  JudgeStretches(samples.size() / kReferencedChannels, referenceGaps, what,
                 [&](std::size_t start) { return ReferenceOffLevel(samples, start); }, verdict);
}

void JudgeLength(Verdict& verdict, double expectedSeconds) {
  if (std::fabs(verdict.seconds - expectedSeconds) <= kLengthToleranceSeconds) return;
  char line[96];
  std::snprintf(line, sizeof line, "the recording is %.3f s long, %.3f s asked", verdict.seconds, expectedSeconds);
  verdict.faults.push_back(line);
}

void JudgeGaps(std::span<const int16_t> samples, Verdict& verdict) {
  if (samples.size() <= kSkippedFrames * kChannels) return;
  verdict.gaps = FindGaps(samples.subspan(kSkippedFrames * kChannels));
  for (Gap& gap : verdict.gaps) {
    gap.firstFrame += kSkippedFrames;
    gap.lastFrame += kSkippedFrames;
  }
}

// The program's two channels judged; its gaps that overlap one of
// `reference` are the server's.
Verdict JudgeProgram(std::span<const int16_t> samples, double expectedSeconds, std::span<const Gap> reference) {
  Verdict verdict;
  const std::size_t frames = samples.size() / kChannels;
  verdict.seconds = Seconds(frames);
  verdict.judgedSeconds = frames > kSkippedFrames ? Seconds(frames - kSkippedFrames) : 0.0;
  JudgeLength(verdict, expectedSeconds);
  JudgeGaps(samples, verdict);
  verdict.referenceGaps.assign(reference.begin(), reference.end());
  const auto shared = std::stable_partition(verdict.gaps.begin(), verdict.gaps.end(), [reference](const Gap& gap) {
    return !OverlapsAny(gap, reference);
  });
  verdict.serverGaps.assign(shared, verdict.gaps.end());
  verdict.gaps.erase(shared, verdict.gaps.end());
  JudgeLevels(samples, verdict);
  return verdict;
}

}  // namespace

Verdict JudgeRecording(std::span<const int16_t> samples, double expectedSeconds) {
  return JudgeProgram(samples, expectedSeconds, {});
}

Verdict JudgeRecordingWithReference(std::span<const int16_t> samples, double expectedSeconds) {
  // Judged from the same frame on as the program: the recorder's start
  // holds a moment of silence in every channel.
  std::vector<Gap> referenceGaps = FindReferenceGaps(samples);
  std::erase_if(referenceGaps, [](const Gap& gap) { return gap.lastFrame < kSkippedFrames; });
  Verdict verdict = JudgeProgram(ProgramPart(samples), expectedSeconds, referenceGaps);
  JudgeReference(samples, referenceGaps, verdict);
  return verdict;
}

}  // namespace gaps
