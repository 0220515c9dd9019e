// BenchSupport: timing helpers shared by the benchmarks (steady clock, best of N repetitions).
#ifndef KYT_BENCH_BENCHSUPPORT_H
#define KYT_BENCH_BENCHSUPPORT_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

namespace kyt::bench {

// Milliseconds of one call of fn.
template <class Fn>
double TimeMs(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  fn();
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(stop - start).count();
}

// Best (lowest) time of repetitions calls of fn, in milliseconds.
template <class Fn>
double BestOfMs(int repetitions, Fn&& fn) {
  double best = std::numeric_limits<double>::max();
  for (int i = 0; i < repetitions; ++i) best = std::min(best, TimeMs(fn));
  return best;
}

// Best time of make(); each result is handed to discard() outside the timed part.
template <class Make, class Discard>
double BestOfMs(int repetitions, Make&& make, Discard&& discard) {
  double best = std::numeric_limits<double>::max();
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    auto result = make();
    const auto stop = std::chrono::steady_clock::now();
    discard(result);
    best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
  }
  return best;
}

// Best times of ours and of plain, run in turns, so that a machine that slows down part-way
// (a disk writing back, another process) slows both sides alike.
struct TPairMs {
  double Ours = std::numeric_limits<double>::max();
  double Plain = std::numeric_limits<double>::max();
};
template <class Ours, class Plain>
TPairMs BestOfPairMs(int rounds, Ours&& ours, Plain&& plain) {
  TPairMs best;
  for (int i = 0; i < rounds; ++i) {
    best.Ours = std::min(best.Ours, TimeMs(ours));
    best.Plain = std::min(best.Plain, TimeMs(plain));
  }
  return best;
}

// a / b, guarded against a zero divisor.
inline double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

// Targets of a ratio: the component adds only bookkeeping to the platform calls, or it does more
// work than they do by design.
inline constexpr double kBookkeeping = 1.1;
inline constexpr double kMoreWork = 1.5;

// The one line per ratio that scripts/bench collects into its table:
//   ratio <bench> | <what it compares> | <ratio> | <target> | ok or OVER
// Returns whether the ratio is within its target.
inline bool Report(const char* bench, const char* compares, double ratio, double target) {
  const bool ok = ratio <= target;
  std::printf("ratio %s | %s | %.2f | %.1f | %s\n", bench, compares, ratio, target, ok ? "ok" : "OVER");
  return ok;
}

}  // namespace kyt::bench

#endif
