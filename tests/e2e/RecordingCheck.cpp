// Length, levels and gaps of a recording of the start-up output.
#include "RecordingCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "ReferenceTone.h"
#include "ToneMeasure.h"

namespace gaps {

namespace {

constexpr std::size_t kChannels = 2;
constexpr std::array<const char*, kChannels> kChannelNames{"left", "right"};

std::vector<double> ChannelStretch(std::span<const int16_t> samples, std::size_t channel, std::size_t firstFrame) {
  std::vector<double> stretch(tones::kWindowFrames);
  for (std::size_t i = 0; i < stretch.size(); ++i) stretch[i] = samples[(firstFrame + i) * kChannels + channel];
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
    const std::vector<double> stretch = ChannelStretch(samples, channel, firstFrame);
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
// off: how many are, and what the first one holds. A stretch that holds one
// of the server's gaps is not judged: its tones jump in phase there.
void JudgeLevels(std::span<const int16_t> samples, Verdict& verdict) {
  const std::size_t frames = samples.size() / kChannels;
  if (frames < kSkippedFrames + tones::kWindowFrames) {
    verdict.faults.push_back("no whole half-second stretch after the start to measure the tones in");
    return;
  }
  const auto expected = tones::StartUpLevels(tones::kStartUpMasterVolume);
  std::size_t stretches = 0, offStretches = 0;
  std::string first;
  for (std::size_t start = kSkippedFrames; start + tones::kWindowFrames <= frames; start += tones::kWindowFrames) {
    const Gap stretch{start, start + tones::kWindowFrames - 1};
    if (OverlapsAny(stretch, verdict.serverGaps)) continue;
    ++stretches;
    const std::string off = TonesOffLevel(samples, start, expected);
    if (off.empty()) continue;
    if (offStretches++ == 0) {
      char at[48];
      std::snprintf(at, sizeof at, "; the first, at %.2f s: ", Seconds(start));
      first = at + off;
    }
  }
  if (offStretches == 0) return;
  char line[128];
  std::snprintf(line, sizeof line,
                "start-up tones off their levels by more than %.1f dB in %zu of %zu half-second stretches",
                kLevelToleranceDb, offStretches, stretches);
  verdict.faults.push_back(line + first);
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
  verdict.referenceGaps = reference.size();
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
  return JudgeProgram(ProgramPart(samples), expectedSeconds, FindReferenceGaps(samples));
}

}  // namespace gaps
