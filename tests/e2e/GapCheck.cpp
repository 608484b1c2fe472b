// Reports the gaps in a recording of the program's start-up tones (raw
// 48000 Hz stereo s16le): one line per gap, then the count. Exits 0 when
// there is none. The first quarter second is left out: the recorder's
// start may hand over what the monitor held before it (silence or a partial
// block), which is the recorder's doing, not the program's.
//
//   gap_check RECORDING.raw
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>
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
  constexpr std::size_t kSkippedValues = 2 * 12000;  // 0.25 s of stereo frames
  const std::span<const int16_t> judged = samples.size() > kSkippedValues
                                              ? std::span<const int16_t>(samples).subspan(kSkippedValues)
                                              : std::span<const int16_t>();
  const std::vector<gaps::Gap> found = gaps::FindGaps(judged);
  for (const gaps::Gap& gap : found) {
    std::printf("gap at %.4f s (frames %zu .. %zu depart)\n", double(gap.firstFrame + kSkippedValues / 2) / kRate,
                gap.firstFrame + kSkippedValues / 2, gap.lastFrame + kSkippedValues / 2);
  }
  std::printf("%zu gaps in %.1f s\n", found.size(), double(judged.size() / 2) / kRate);
  return found.empty() ? 0 : 1;
}
