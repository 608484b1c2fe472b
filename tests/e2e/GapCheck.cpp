// Judges a recording of the program's start-up tones (raw 48000 Hz stereo
// s16le) recorded for SECONDS: one line per gap and per fault of length or
// levels, then the count of gaps. Exits 0 when there is neither.
//
//   gap_check RECORDING.raw SECONDS
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RecordingCheck.h"
#include "ToneMeasure.h"

namespace {

std::vector<int16_t> ReadSamples(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
  std::copy_n(bytes.data(), samples.size() * sizeof(int16_t), reinterpret_cast<char*>(samples.data()));
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s RECORDING.raw SECONDS\n", argv[0]);
    return 2;
  }
  const std::vector<int16_t> samples = ReadSamples(argv[1]);
  const gaps::Verdict verdict = gaps::JudgeRecording(samples, std::strtod(argv[2], nullptr));
  for (const std::string& fault : verdict.faults) std::printf("%s\n", fault.c_str());
  for (const gaps::Gap& gap : verdict.gaps) {
    std::printf("gap at %.4f s (frames %zu .. %zu depart)\n", double(gap.firstFrame) / tones::kRate, gap.firstFrame,
                gap.lastFrame);
  }
  std::printf("%zu gaps in %.1f s\n", verdict.gaps.size(), verdict.judgedSeconds);
  return verdict.Passed() ? 0 : 1;
}
