// Cost of one 16-bit tone value: the element chain that the main window wires (event-from-data and five
// math elements behind the dispatcher) against a hand-written loop doing the same operations in the
// same precision. Both run in the program's floating-point mode, alternately, several rounds each; the
// table gives the fastest round (the least disturbed by other load) and the median.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/tone_sources.h"

namespace {

constexpr double kValuesPerSecond = 88200.0;
constexpr int kValuesPerRound = 5000;
constexpr int kRounds = 300;

template <class Source>
double NanosecondsPerValue(Source& source, int32_t& checksum) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kValuesPerRound; ++i) checksum += source.Next();
  const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / kValuesPerRound;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The targets: the chain at least this many times faster than real time, and at most this much slower than
// the direct loop.
constexpr double kRealTimeTarget = 100.0;
constexpr double kChainOverDirectTarget = 1.5;

// The targets are the i686 program's; the native build's figures are printed for comparison only.
#if defined(__x86_64__)
constexpr bool kTargetBuild = false;
#else
constexpr bool kTargetBuild = true;
#endif

const char* Verdict(bool met) { return !kTargetBuild ? "(i686's target)" : met ? "met" : "NOT met"; }

// Times faster than real time at `nanoseconds` per value.
double RealTime(double nanoseconds) { return 1e9 / (nanoseconds * kValuesPerSecond); }

double Best(const std::vector<double>& rounds) { return *std::min_element(rounds.begin(), rounds.end()); }

}  // namespace

int main() {
  const char* build = kTargetBuild ? "i686" : "x86-64 native";
  int mismatches = 0;
  std::vector<double> chainRounds, directRounds;
  int32_t checksum = 0;
  {
    const TProgramMode mode;
    TChainSource chain;
    TDirectTone direct;
    for (int i = 0; i < 20000; ++i) mismatches += chain.Next() != direct.Next();
    for (int round = 0; round < kRounds; ++round) {
      chainRounds.push_back(NanosecondsPerValue(chain, checksum));
      directRounds.push_back(NanosecondsPerValue(direct, checksum));
    }
  }

  std::printf("One 16-bit tone value (%s, x87 control word 0x1332, %d rounds of %d values)\n", build, kRounds,
              kValuesPerRound);
  std::printf("  ratio = measured / target, from the best rounds\n");
  std::printf("  %-16s %8s %10s %10s %10s %6s\n", "", "best ns", "median ns", "real time", "target", "ratio");
  const double chainBest = Best(chainRounds), directBest = Best(directRounds);
  const double chainRealTime = RealTime(chainBest);
  std::printf("  %-16s %8.1f %10.1f %9.0fx %5s%4.0fx %6.2f  %s\n", "element chain", chainBest, Median(chainRounds),
              chainRealTime, ">= ", kRealTimeTarget, chainRealTime / kRealTimeTarget,
              Verdict(chainRealTime >= kRealTimeTarget));
  std::printf("  %-16s %8.1f %10.1f %9.0fx %10s\n", "direct loop", directBest, Median(directRounds),
              RealTime(directBest), "the floor");
  const double ratio = chainBest / directBest;
  std::printf("  %-16s %8.2f %10.2f %10s %6s%4.1f %6.2f  %s\n", "chain / direct", ratio,
              Median(chainRounds) / Median(directRounds), "", "<= ", kChainOverDirectTarget,
              ratio / kChainOverDirectTarget, Verdict(ratio <= kChainOverDirectTarget));
  std::printf("  values differing between the two in the first 20000: %d (checksum %d)\n", mismatches, checksum);
  return mismatches == 0 ? 0 : 1;
}
