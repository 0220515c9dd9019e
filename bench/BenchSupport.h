// BenchSupport: timing helpers shared by the benchmarks (steady clock, interleaved pairs and the
// spread of their ratios).
#ifndef KYT_BENCH_BENCHSUPPORT_H
#define KYT_BENCH_BENCHSUPPORT_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <vector>

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

// The ratios of interleaved pairs (ours, plain, ours, plain, ...): their median and the 10th and
// 90th percentiles, and the median time of each side. A machine that slows down for a while
// spoils a few pairs, not the verdict.
struct TRatioStats {
  double Median = 0, P10 = 0, P90 = 0;
  double OursMs = 0, PlainMs = 0;
};
inline constexpr int kMinPairs = 15;

// The p-quantile (0..1) of values, interpolated between neighbours; values is sorted in place.
inline double Quantile(std::vector<double>& values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double pos = p * static_cast<double>(values.size() - 1);
  const size_t low = static_cast<size_t>(pos);
  const size_t high = std::min(low + 1, values.size() - 1);
  return values[low] + (values[high] - values[low]) * (pos - static_cast<double>(low));
}

// Statistics of the pairs of times given (ours[i] with plain[i]).
inline TRatioStats StatsOf(const std::vector<double>& ours, const std::vector<double>& plain) {
  std::vector<double> ratios, a = ours, b = plain;
  for (size_t i = 0; i < ours.size() && i < plain.size(); ++i) ratios.push_back(Ratio(ours[i], plain[i]));
  TRatioStats stats;
  stats.P10 = Quantile(ratios, 0.1);
  stats.Median = Quantile(ratios, 0.5);
  stats.P90 = Quantile(ratios, 0.9);
  stats.OursMs = Quantile(a, 0.5);
  stats.PlainMs = Quantile(b, 0.5);
  return stats;
}

// Times pairs (at least kMinPairs) of ours() then plain(), after one untimed warm-up of each.
template <class Ours, class Plain>
TRatioStats PairRatios(int pairs, Ours&& ours, Plain&& plain) {
  pairs = std::max(pairs, kMinPairs);
  ours();
  plain();
  std::vector<double> a, b;
  for (int i = 0; i < pairs; ++i) {
    a.push_back(TimeMs(ours));
    b.push_back(TimeMs(plain));
  }
  return StatsOf(a, b);
}

// Targets of a ratio: the component adds only bookkeeping to the platform calls, or it does more
// work than they do by design.
inline constexpr double kBookkeeping = 1.1;
inline constexpr double kMoreWork = 1.5;

// Platform calls per operation of each side, counted through the OS seam; negative when not
// counted.
struct TCalls {
  double Ours = -1, Plain = -1;
};

// The one line per ratio that scripts/bench collects into its table:
//   ratio <bench> | <what it compares> | <median> | <p10>-<p90> | <calls ours>/<calls plain> | <target> | ok or OVER
// A target counts as missed only where the 10th percentile is above it: then at least nine pairs
// in ten were slower than it allows. Returns whether the target is met.
inline bool Report(const char* bench, const char* compares, const TRatioStats& stats, double target,
                   TCalls calls = {}) {
  const bool ok = stats.P10 <= target;
  char callText[64] = "-";
  if (calls.Ours >= 0 && calls.Plain >= 0) std::snprintf(callText, sizeof callText, "%.4g/%.4g", calls.Ours, calls.Plain);
  std::printf("ratio %s | %s | %.2f | %.2f-%.2f | %s | %.1f | %s\n", bench, compares, stats.Median, stats.P10,
              stats.P90, callText, target, ok ? "ok" : "OVER");
  return ok;
}

// A single ratio of best times, for a benchmark not yet timed in pairs: printed without spread.
inline bool Report(const char* bench, const char* compares, double ratio, double target) {
  const bool ok = ratio <= target;
  std::printf("ratio %s | %s | %.2f | - | - | %.1f | %s\n", bench, compares, ratio, target, ok ? "ok" : "OVER");
  return ok;
}

}  // namespace kyt::bench

#endif
