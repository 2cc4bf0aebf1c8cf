// A measurement aid, not a benchmark: pulls tone values through the element chain or through the
// direct loop, in the program's floating-point mode, so that their instruction counts can be compared
// under valgrind --tool=callgrind --toggle-collect='*PullValues*':
//   tone_chain_profile chain|direct [values]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/tone_sources.h"

namespace {

template <class Source>
[[gnu::noinline]] int32_t PullValues(Source& source, long values) {
  int32_t checksum = 0;
  for (long i = 0; i < values; ++i) checksum += source.Next();
  return checksum;
}

}  // namespace

int main(int argc, char** argv) {
  const bool chain = argc > 1 && std::strcmp(argv[1], "chain") == 0;
  if (argc < 2 || (!chain && std::strcmp(argv[1], "direct") != 0)) {
    std::fprintf(stderr, "usage: tone_chain_profile chain|direct [values]\n");
    return 2;
  }
  const long values = argc > 2 ? std::atol(argv[2]) : 100000;
  int32_t checksum;
  {
    const TProgramMode mode;
    TChainSource chainSource;
    TDirectTone direct;
    checksum = chain ? PullValues(chainSource, values) : PullValues(direct, values);
  }
  std::printf("%s: %ld values, checksum %d\n", argv[1], values, checksum);
  return 0;
}
