// Judges a recording of the program's start-up tones (raw 48000 Hz stereo
// s16le) recorded for SECONDS: one line per gap and per fault of length or
// levels, then the count of gaps. Exits 0 when there is neither.
// With --reference the recording was made with the reference playing beside
// the program (see ReferenceTone.h): gaps the reference shared are listed as
// the server's and do not count. --write-reference writes SECONDS of the
// reference, in the same format, for a player.
//
//   gap_check RECORDING.raw SECONDS [--reference]
//   gap_check --write-reference FILE.raw SECONDS
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RecordingCheck.h"
#include "ReferenceTone.h"
#include "ToneMeasure.h"

namespace {

std::vector<int16_t> ReadSamples(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
  std::copy_n(bytes.data(), samples.size() * sizeof(int16_t), reinterpret_cast<char*>(samples.data()));
  return samples;
}

int WriteReference(const char* path, double seconds) {
  const std::vector<int16_t> samples = gaps::ReferenceSignal(static_cast<std::size_t>(seconds * tones::kRate));
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(int16_t)));
  if (out.flush()) return 0;
  std::fprintf(stderr, "could not write %s\n", path);
  return 1;
}

void PrintGap(const gaps::Gap& gap, const char* whose) {
  std::printf("gap at %.4f s (frames %zu .. %zu depart)%s\n", double(gap.firstFrame) / tones::kRate, gap.firstFrame,
              gap.lastFrame, whose);
}

int Judge(const char* path, double seconds, bool withReference) {
  const std::vector<int16_t> samples = ReadSamples(path);
  const gaps::Verdict verdict =
      withReference ? gaps::JudgeRecordingWithReference(samples, seconds) : gaps::JudgeRecording(samples, seconds);
  for (const std::string& fault : verdict.faults) std::printf("%s\n", fault.c_str());
  for (const gaps::Gap& gap : verdict.gaps) PrintGap(gap, "");
  for (const gaps::Gap& gap : verdict.serverGaps) PrintGap(gap, ", the reference's too: the server's");
  // The reference's losses that the program did not share: a loss of the
  // server's that reached one stream only, listed so that a gap of the
  // program's beside one can be read against it.
  for (const gaps::Gap& gap : verdict.referenceGaps) {
    if (!gaps::OverlapsAny(gap, verdict.serverGaps)) PrintGap(gap, ", the reference's alone");
  }
  std::printf("%zu gaps in %.1f s", verdict.gaps.size(), verdict.judgedSeconds);
  if (withReference) {
    std::printf(" (and %zu the server's; the reference had %zu)", verdict.serverGaps.size(),
                verdict.referenceGaps.size());
  }
  std::printf("\n");
  return verdict.Passed() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--write-reference") == 0) {
    return WriteReference(argv[2], std::strtod(argv[3], nullptr));
  }
  const bool withReference = argc == 4 && std::strcmp(argv[3], "--reference") == 0;
  if (argc != 3 && !withReference) {
    std::fprintf(stderr, "usage: %s RECORDING.raw SECONDS [--reference]\n       %s --write-reference FILE.raw SECONDS\n",
                 argv[0], argv[0]);
    return 2;
  }
  return Judge(argv[1], std::strtod(argv[2], nullptr), withReference);
}
