// What an idle application costs: the CPU it uses over ten seconds with a 200 ms timer running
// through Run, and ProcessMessages on an empty queue against a plain PeekMessage loop.
#include <cstdio>
#include <cstdlib>

#include "bench/BenchSupport.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"

namespace kyt {
namespace {

// User plus kernel time of this process, in milliseconds.
double ProcessCpuMs() {
  FILETIME created{}, exited{}, kernel{}, user{};
  os::kernel32.GetProcessTimes(os::kernel32.GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

struct IdleRun {
  int Ticks = 0;
  void Tick(TObject*) { ++Ticks; }
  void Stop(TObject*) { Application->Terminate(); }
};

int Main(int seconds) {
  // 1. An idle application with a 200 ms timer, for the given time.
  IdleRun run;
  TComponent owner(nullptr);
  auto* ticker = new TTimer(&owner);
  ticker->SetInterval(200);
  ticker->SetOnTimer(TNotifyEvent::Bind<&IdleRun::Tick>(&run));
  auto* stopper = new TTimer(&owner);
  stopper->SetInterval(static_cast<uint32_t>(seconds) * 1000u);
  stopper->SetOnTimer(TNotifyEvent::Bind<&IdleRun::Stop>(&run));
  const double cpuBefore = ProcessCpuMs();
  const double wallMs = bench::TimeMs([] { Application->Run(); });
  const double cpuMs = ProcessCpuMs() - cpuBefore;
  const double percent = bench::Ratio(cpuMs, wallMs) * 100.0;
  std::printf("idle application, 200 ms timer: %d ticks in %.1f s, CPU %.1f ms = %.3f %% of one core "
              "(target under 1 %%): %s\n",
              run.Ticks, wallMs / 1000.0, cpuMs, percent, percent < 1.0 ? "ok" : "OVER");
  ticker->SetEnabled(false);
  stopper->SetEnabled(false);

  // 2. ProcessMessages on an empty queue against a plain PeekMessage loop doing the same.
  constexpr int kCalls = 20000;
  Application->ProcessMessages();
  const bench::TRatioStats stats = bench::PairRatios(
      bench::kMinPairs,
      [] {
        for (int i = 0; i < kCalls; ++i) Application->ProcessMessages();
      },
      [] {
        MSG msg;
        for (int i = 0; i < kCalls; ++i)
          while (os::user32.PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            os::user32.TranslateMessage(&msg);
            os::user32.DispatchMessageA(&msg);
          }
      });
  std::printf("ProcessMessages on an empty queue: %.0f ns per call, plain PeekMessage loop %.0f ns (medians)\n",
              stats.OursMs * 1e6 / kCalls, stats.PlainMs * 1e6 / kCalls);
  bench::Report("bench_idle", "ProcessMessages on an empty queue against a PeekMessage loop", stats,
                bench::kBookkeeping);
  return percent < 1.0 ? 0 : 1;
}

}  // namespace
}  // namespace kyt

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  return kyt::Main(seconds > 0 ? seconds : 10);
}
