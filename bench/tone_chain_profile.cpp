// A measurement aid, not a benchmark: pulls tone values through the element chain or through the
// direct loop, in the program's floating-point mode, so that their instruction counts can be compared
// under valgrind --tool=callgrind --toggle-collect='*PullValues*':
//   tone_chain_profile chain|direct [values]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/direct_tone.h"
#include "tests/runtime/program_fpu_mode.h"
#include "tests/runtime/tone_chain.h"

namespace {

struct TChainSource {
  TToneChain Chain{10000};
  int32_t Next() { return Chain.NextInteger(); }
};

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
  const uint16_t savedControl = program_fpu::ControlWord();
  asm volatile("fnclex");
  program_fpu::SetControlWord(program_fpu::kControlWord);
  StartEvents();
  TChainSource chainSource;
  TDirectTone direct;
  const int32_t checksum = chain ? PullValues(chainSource, values) : PullValues(direct, values);
  StopEvents();
  program_fpu::SetControlWord(savedControl);
  std::printf("%s: %ld values, checksum %d\n", argv[1], values, checksum);
  return 0;
}
