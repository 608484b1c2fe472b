// Reports the gaps in a recording of the program's start-up tones (raw
// 48000 Hz stereo s16le): one line per gap, then the count. Exits 0 when
// there is none.
//
//   gap_check RECORDING.raw
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "GapDetector.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RECORDING.raw\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
  std::copy_n(bytes.data(), samples.size() * sizeof(int16_t), reinterpret_cast<char*>(samples.data()));
  constexpr double kRate = 48000.0;
  const std::vector<gaps::Gap> found = gaps::FindGaps(samples);
  for (const gaps::Gap& gap : found) {
    std::printf("gap at %.4f s (frames %zu .. %zu depart)\n", double(gap.firstFrame) / kRate, gap.firstFrame,
                gap.lastFrame);
  }
  std::printf("%zu gaps in %.1f s\n", found.size(), double(samples.size() / 2) / kRate);
  return found.empty() ? 0 : 1;
}
