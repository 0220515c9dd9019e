// A tray tip update through the component against the plain Shell_NotifyIconW call that sends
// the same record.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/SeamCalls.h"
#include "forms/KYTTSystemTray.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"

namespace kyt {
namespace {

int Main() {
  TComponent owner(nullptr);
  auto* tray = new TKYTSystemTray(&owner);
  tray->SetNormalIcon(true);
  tray->SetEnabled(true);
  if (!tray->InTray()) {
    std::printf("bench_systemtray: the icon could not be added\n");
    return 1;
  }
  // The plain side: an icon of its own window, with the same record.
  HWND window = os::user32.CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                           nullptr);
  NOTIFYICONDATAW data{};
  data.cbSize = kTrayRecordSize;
  data.hWnd = window;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = Application->Icon()->Handle();
  if (!os::shell32.Shell_NotifyIconW(NIM_ADD, &data)) {
    std::printf("bench_systemtray: the plain icon could not be added\n");
    return 1;
  }
  const std::string tips[2] = {"First tip of the bench", "Second tip of the bench"};
  constexpr int kUpdates = 500;
  const auto componentSide = [&] {
    for (int i = 0; i < kUpdates; ++i) tray->SetHint(tips[i & 1]);
  };
  const auto plainSide = [&] {
    for (int i = 0; i < kUpdates; ++i) {
      const std::string& tip = tips[i & 1];
      os::kernel32.MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, data.szTip, 64);
      os::shell32.Shell_NotifyIconW(NIM_MODIFY, &data);
    }
  };
  const bench::TRatioStats stats = bench::PairRatios(bench::kMinPairs, componentSide, plainSide);
  using TTrayCounting = bench::TSeamCounting<bench::TCountedEntry<os::shell32, &os::Shell32Table::Shell_NotifyIconW>,
                                             bench::TCountedEntry<os::kernel32, &os::Kernel32Table::MultiByteToWideChar>>;
  const bench::TCalls calls{bench::CallsPerOperation<TTrayCounting>(kUpdates, componentSide),
                            bench::CallsPerOperation<TTrayCounting>(kUpdates, plainSide)};
  os::shell32.Shell_NotifyIconW(NIM_DELETE, &data);
  os::user32.DestroyWindow(window);
  std::printf("tray tip update: %.1f us per update, plain Shell_NotifyIconW %.1f us (medians)\n",
              stats.OursMs * 1000.0 / kUpdates, stats.PlainMs * 1000.0 / kUpdates);
  bench::Report("bench_systemtray", "tip update against Shell_NotifyIconW with the same record", stats,
                bench::kBookkeeping, calls);
  return 0;
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Main(); }
