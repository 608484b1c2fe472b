// Checks a recording of the program's output: raw 48000 Hz stereo s16le.
//
//   tone_check RECORDING.raw [present=F,F,...] [absent=F,F,...] [level=A] [startup=V] [silent]
//
// Each present frequency must stand out on both channels; with level=A each
// must also have amplitude A within 0.5 dB and its spectral peak within
// 0.1 Hz of the frequency asked for (in a setting that does not clip).
// startup=V asks for the eight start-up tones, each at the level the
// start-up mix has at master volume V, clipping included. Each absent one,
// and the point halfway between two neighbouring present tones (where mixing
// tones that are multiples of a common base puts nothing, clipped or not),
// must hold next to nothing. "silent" asks for nothing but zeros in the whole
// recording after its start. Without arguments the eight start-up tones
// must be present.
//
// Tones are judged in half-second stretches, and one stretch that meets
// everything is enough: a dropout of the output smears every tone over the
// spectrum, and dropouts are the gap detector's to judge, not this check's.
// Silence is not judged that way: a stretch of silence in a recording that
// is loud elsewhere is a fault of its own. Prints what it measured in the
// best stretch; exits 0 when the recording met everything.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ToneMeasure.h"

namespace {

using tones::AmplitudeAt;
using tones::kWindowFrames;

constexpr std::size_t kSkipFrames = 9600;  // 0.2 s: the recorder's start
constexpr std::size_t kWindowStep = 4800;
constexpr double kMinToneAmplitude = 1000.0;  // a quiet tone is still 3277 (16384 at 20 % volume)
constexpr double kMaxAbsentAmplitude = 30.0;  // -40 dB below that
constexpr int kMaxSilentSample = 0;
constexpr double kLevelToleranceDb = 0.5;
constexpr double kFrequencyTolerance = 0.1;  // Hz
constexpr double kPeakSearchSpan = 1.5;      // Hz either side: inside the main lobe of a 2 Hz bin

using Block = std::vector<double>;

std::vector<double> Frequencies(const std::string& list) {
  std::vector<double> frequencies;
  std::stringstream in(list);
  for (std::string item; std::getline(in, item, ',');) frequencies.push_back(std::strtod(item.c_str(), nullptr));
  return frequencies;
}

struct Expectations {
  std::vector<double> present;
  std::vector<double> levels;  // one per present tone; empty: any amplitude above the presence threshold
  std::vector<double> absent;
  bool silent = false;
};

void ExpectStartUpTones(Expectations& e, double masterVolume) {
  const auto frequencies = tones::StartUpFrequencies();
  const auto levels = tones::StartUpLevels(masterVolume);
  e.present.assign(frequencies.begin(), frequencies.end());
  e.levels.assign(levels.begin(), levels.end());
}

Expectations Parse(int argc, char** argv) {
  Expectations e;
  double level = 0.0;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("present=", 0) == 0) e.present = Frequencies(arg.substr(8));
    if (arg.rfind("absent=", 0) == 0) e.absent = Frequencies(arg.substr(7));
    if (arg.rfind("level=", 0) == 0) level = std::strtod(arg.c_str() + 6, nullptr);
    if (arg.rfind("startup=", 0) == 0) ExpectStartUpTones(e, std::strtod(arg.c_str() + 8, nullptr));
    if (arg == "silent") e.silent = true;
  }
  if (argc == 2) {
    const auto frequencies = tones::StartUpFrequencies();
    e.present.assign(frequencies.begin(), frequencies.end());
  }
  if (level > 0.0) e.levels.assign(e.present.size(), level);
  std::vector<double> sorted = e.present;
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 1; i < sorted.size(); ++i) e.absent.push_back((sorted[i - 1] + sorted[i]) / 2);
  return e;
}

// What one stretch of one channel showed: a line per measurement, and how
// many measurements failed.
struct Verdict {
  std::string report;
  int failures = 0;
  void Add(const char* channel, const std::string& what, bool ok) {
    report += std::string(channel) + ": " + what + "\n";
    failures += ok ? 0 : 1;
  }
};

std::string Measured(double frequency, double amplitude, const char* verdict) {
  char line[64];
  std::snprintf(line, sizeof line, "%7.1f Hz %8.1f %s", frequency, amplitude, verdict);
  return line;
}

std::string PeakAndLevel(double peak, bool frequencyOk, double errorDb, double level, bool levelOk) {
  char line[96];
  std::snprintf(line, sizeof line, "  peak at %.3f Hz%s, %+.3f dB from %.1f%s", peak, frequencyOk ? "" : " WRONG",
                errorDb, level, levelOk ? "" : " WRONG");
  return line;
}

void CheckChannel(const char* name, const Block& block, const Expectations& e, Verdict& verdict) {
  for (std::size_t i = 0; i < e.present.size(); ++i) {
    const double f = e.present[i];
    const double amplitude = AmplitudeAt(block, f);
    const bool present = amplitude >= kMinToneAmplitude;
    verdict.Add(name, Measured(f, amplitude, present ? "present" : "MISSING"), present);
    if (e.levels.empty() || !present) continue;
    const double peak = tones::PeakFrequency(block, f, kPeakSearchSpan);
    const double errorDb = 20.0 * std::log10(AmplitudeAt(block, peak) / e.levels[i]);
    const bool levelOk = std::fabs(errorDb) <= kLevelToleranceDb;
    const bool frequencyOk = std::fabs(peak - f) <= kFrequencyTolerance;
    verdict.Add(name, PeakAndLevel(peak, frequencyOk, errorDb, e.levels[i], levelOk), levelOk && frequencyOk);
  }
  for (double f : e.absent) {
    const double amplitude = AmplitudeAt(block, f);
    const bool absent = amplitude <= kMaxAbsentAmplitude;
    verdict.Add(name, Measured(f, amplitude, absent ? "absent" : "PRESENT"), absent);
  }
}

// Silence over the whole recording after its start, both channels.
Verdict CheckSilence(const Block& left, const Block& right) {
  double peak = 0.0;
  for (const Block* channel : {&left, &right}) {
    for (std::size_t i = kSkipFrames; i < channel->size(); ++i) peak = std::max(peak, std::fabs((*channel)[i]));
  }
  Verdict verdict;
  const bool quiet = peak <= kMaxSilentSample;
  verdict.Add("both ", "peak " + std::to_string(int(peak)) + (quiet ? " silent" : " NOT SILENT"), quiet);
  return verdict;
}

// The stretch that met most of the expectations.
Verdict CheckTones(const Block& left, const Block& right, const Expectations& expectations) {
  Verdict best;
  best.failures = -1;
  for (std::size_t start = kSkipFrames; start + kWindowFrames <= left.size(); start += kWindowStep) {
    const auto stretch = [start](const Block& channel) {
      return Block(channel.begin() + static_cast<std::ptrdiff_t>(start),
                   channel.begin() + static_cast<std::ptrdiff_t>(start + kWindowFrames));
    };
    Verdict verdict;
    verdict.report = "stretch from " + std::to_string(start) + " frames\n";
    CheckChannel("left ", stretch(left), expectations, verdict);
    CheckChannel("right", stretch(right), expectations, verdict);
    if (best.failures < 0 || verdict.failures < best.failures) best = verdict;
    if (best.failures == 0) break;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s RECORDING.raw [present=F,...] [absent=F,...] [level=A] [startup=V] [silent]\n",
                 argv[0]);
    return 2;
  }
  const Expectations expectations = Parse(argc, argv);
  std::ifstream in(argv[1], std::ios::binary);
  Block left, right;
  int16_t frame[2];
  while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) {
    left.push_back(frame[0]);
    right.push_back(frame[1]);
  }
  if (left.size() < kSkipFrames + kWindowFrames) {
    std::fprintf(stderr, "recording too short: %zu frames\n", left.size());
    return 1;
  }
  Verdict verdict = expectations.silent ? CheckSilence(left, right) : Verdict{};
  if (!expectations.present.empty() || !expectations.absent.empty()) {
    const Verdict tones = CheckTones(left, right, expectations);
    verdict.report += tones.report;
    verdict.failures += tones.failures;
  }
  std::fputs(verdict.report.c_str(), stdout);
  return verdict.failures == 0 ? 0 : 1;
}
