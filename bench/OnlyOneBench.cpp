// The guard's check of running copies against a plain loop of window enumeration, class name and
// title reads doing the same comparison.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/SeamCalls.h"
#include "forms/KYTTOnlyOne.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"

namespace kyt {
namespace {

struct TPlainSearch {
  HWND Own;
  char ClassName[256];
  char Title[256];
  int Count;
  HWND Other;
};

BOOL CALLBACK PlainCountWindow(HWND window, LPARAM data) {
  auto& s = *reinterpret_cast<TPlainSearch*>(data);
  char name[256], title[256];
  if (os::user32.GetClassNameA(window, name, 256) > 0 && std::strcmp(name, s.ClassName) == 0 &&
      os::user32.GetWindowTextA(window, title, 256) > 0 && std::strcmp(title, s.Title) == 0) {
    ++s.Count;
    if (window != s.Own) s.Other = window;
  }
  return TRUE;
}

int PlainCount() {
  TPlainSearch s{};
  s.Own = Application->Handle();
  os::user32.GetWindowTextA(s.Own, s.Title, 256);
  os::user32.GetClassNameA(s.Own, s.ClassName, 256);
  os::user32.EnumWindows(&PlainCountWindow, reinterpret_cast<LPARAM>(&s));
  return s.Count;
}

int Main() {
  Application->SetTitle("KYT guard bench " + std::to_string(os::kernel32.GetCurrentProcessId()));
  // A few windows of other programs' classes, so that the enumeration has something to skip.
  for (int i = 0; i < 20; ++i)
    os::user32.CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  TComponent owner(nullptr);
  auto* guard = new TKYTOnlyOne(&owner);
  guard->SetInstances(255);  // never exceeded: the check counts and returns
  if (TKYTOnlyOne::CountInstances().Count != 1 || PlainCount() != 1) {
    std::printf("bench_onlyone: the counts disagree\n");
    return 1;
  }
  constexpr int kChecks = 300;
  const auto guarded = [&] {
    for (int i = 0; i < kChecks; ++i) guard->CheckPrevInstances();
  };
  const auto plain = [] {
    for (int i = 0; i < kChecks; ++i) PlainCount();
  };
  const bench::TRatioStats stats = bench::PairRatios(bench::kMinPairs, guarded, plain);
  // EnumWindows calls back into this process for each window, so the counts hold only this
  // process's calls: the per-window reads and the enumeration itself.
  const bench::TCalls calls{bench::CallsPerOperation<bench::TWindowCounting>(kChecks, guarded),
                            bench::CallsPerOperation<bench::TWindowCounting>(kChecks, plain)};
  std::printf("single-instance check: %.1f us per check, plain enumeration %.1f us (medians)\n",
              stats.OursMs * 1000.0 / kChecks, stats.PlainMs * 1000.0 / kChecks);
  bench::Report("bench_onlyone", "single-instance check against EnumWindows with the same comparisons", stats,
                bench::kBookkeeping, calls);
  return 0;
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Main(); }
