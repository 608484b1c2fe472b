// Checks a recording of the program's output: raw 48000 Hz stereo s16le.
//
//   tone_check RECORDING.raw [present=F,F,...] [absent=F,F,...] [level=A] [silent]
//
// Each present frequency must stand out on both channels; with level=A each
// must also have amplitude A within 0.5 dB and its spectral peak within
// 0.1 Hz of the frequency asked for (in a setting that does not clip). Each
// absent one,
// and the point halfway between two neighbouring present tones (where mixing
// tones that are multiples of a common base puts nothing, clipped or not),
// must hold next to nothing. "silent" asks for nothing but zeros. Without
// arguments the eight start-up tones 110, 220, ... 880 Hz must be present.
//
// The recording is judged in half-second stretches, and one stretch that
// meets everything is enough: a dropout of the output smears every tone over
// the spectrum, and dropouts are the gap detector's to judge, not this
// check's. Prints what it measured in the best stretch; exits 0 when one
// stretch met everything.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr std::size_t kSkipFrames = 9600;     // 0.2 s: the recorder's start
constexpr std::size_t kWindowFrames = 24000;  // 0.5 s: 2 Hz bins, tones are 55 Hz or more apart
constexpr std::size_t kWindowStep = 4800;
constexpr double kMinToneAmplitude = 1000.0;  // a quiet tone is still 3277 (16384 at 20 % volume)
constexpr double kMaxAbsentAmplitude = 30.0;  // -40 dB below that
constexpr int kMaxSilentSample = 0;
constexpr double kLevelToleranceDb = 0.5;
constexpr double kFrequencyTolerance = 0.1;  // Hz
constexpr double kPeakSearchSpan = 1.5;      // Hz either side: inside the main lobe of a 2 Hz bin

using Block = std::vector<double>;

// Amplitude of one frequency in a Hann-windowed block (Goertzel).
double AmplitudeAt(const Block& block, double frequency) {
  const double w = 2.0 * std::numbers::pi * frequency / kRate;
  const double coefficient = 2.0 * std::cos(w);
  double s1 = 0.0, s2 = 0.0, windowSum = 0.0;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(block.size() - 1));
    windowSum += hann;
    const double s0 = block[i] * hann + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return 2.0 * std::sqrt(std::max(power, 0.0)) / windowSum;
}

std::vector<double> Frequencies(const std::string& list) {
  std::vector<double> frequencies;
  std::stringstream in(list);
  for (std::string item; std::getline(in, item, ',');) frequencies.push_back(std::strtod(item.c_str(), nullptr));
  return frequencies;
}

// The frequency near `nominal` where the block's spectrum peaks, by golden
// section search: a lone tone's windowed spectrum has one maximum there.
double PeakFrequency(const Block& block, double nominal) {
  const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
  double low = nominal - kPeakSearchSpan, high = nominal + kPeakSearchSpan;
  while (high - low > 0.001) {
    const double a = high - ratio * (high - low);
    const double b = low + ratio * (high - low);
    if (AmplitudeAt(block, a) < AmplitudeAt(block, b)) {
      low = a;
    } else {
      high = b;
    }
  }
  return (low + high) / 2;
}

struct Expectations {
  std::vector<double> present;
  std::vector<double> absent;
  double level = 0.0;  // 0: any amplitude above the presence threshold
  bool silent = false;
};

Expectations Parse(int argc, char** argv) {
  Expectations e;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("present=", 0) == 0) e.present = Frequencies(arg.substr(8));
    if (arg.rfind("absent=", 0) == 0) e.absent = Frequencies(arg.substr(7));
    if (arg.rfind("level=", 0) == 0) e.level = std::strtod(arg.c_str() + 6, nullptr);
    if (arg == "silent") e.silent = true;
  }
  if (argc == 2) {
    for (int k = 1; k <= 8; ++k) e.present.push_back(110.0 * k);
  }
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

void CheckChannel(const char* name, const Block& block, const Expectations& e, Verdict& verdict) {
  if (e.silent) {
    double peak = 0.0;
    for (double v : block) peak = std::max(peak, std::fabs(v));
    const bool quiet = peak <= kMaxSilentSample;
    verdict.Add(name, "peak " + std::to_string(int(peak)) + (quiet ? " silent" : " NOT SILENT"), quiet);
  }
  for (double f : e.present) {
    const double amplitude = AmplitudeAt(block, f);
    const bool present = amplitude >= kMinToneAmplitude;
    verdict.Add(name, Measured(f, amplitude, present ? "present" : "MISSING"), present);
    if (e.level > 0.0 && present) {
      const double peak = PeakFrequency(block, f);
      const double peakAmplitude = AmplitudeAt(block, peak);
      const double errorDb = 20.0 * std::log10(peakAmplitude / e.level);
      const bool levelOk = std::fabs(errorDb) <= kLevelToleranceDb;
      const bool frequencyOk = std::fabs(peak - f) <= kFrequencyTolerance;
      char line[96];
      std::snprintf(line, sizeof line, "  peak at %.3f Hz%s, %+.3f dB from %.1f%s", peak, frequencyOk ? "" : " WRONG",
                    errorDb, e.level, levelOk ? "" : " WRONG");
      verdict.Add(name, line, levelOk && frequencyOk);
    }
  }
  for (double f : e.absent) {
    const double amplitude = AmplitudeAt(block, f);
    const bool absent = amplitude <= kMaxAbsentAmplitude;
    verdict.Add(name, Measured(f, amplitude, absent ? "absent" : "PRESENT"), absent);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s RECORDING.raw [present=F,...] [absent=F,...] [silent]\n", argv[0]);
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
  std::fputs(best.report.c_str(), stdout);
  return best.failures == 0 ? 0 : 1;
}
