// What the system triggers cost: the time trigger's tick against the plain clock read and
// formatting calls, an idle application with a time trigger against one with a bare 200 ms
// timer, and the CD triggers' hook on ordinary form messages against a plain subclassed
// window procedure.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchSupport.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "system/KYTTCDTriggers.h"
#include "system/KYTTTimeTrigger.h"

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

struct TStopper {
  void Stop(TObject*) { Application->Terminate(); }
  void Tick(TObject*) { ++Ticks; }
  int Ticks = 0;
};

// CPU milliseconds of an idle application running for the given seconds.
double IdleCpuMs(int seconds) {
  TStopper stop;
  TComponent owner(nullptr);
  auto* stopper = new TTimer(&owner);
  stopper->SetInterval(static_cast<uint32_t>(seconds) * 1000u);
  stopper->SetOnTimer(TNotifyEvent::Bind<&TStopper::Stop>(&stop));
  const double before = ProcessCpuMs();
  Application->Run();
  return ProcessCpuMs() - before;
}

// The clock as a timer with a given step sees it: the real reading (its cost stays in), with the
// seconds and milliseconds counted on by the step at each read.
decltype(os::kernel32.GetLocalTime) gRealGetLocalTime = nullptr;
int gClockStepMs = 200;
int64_t gClockReads = 0;
void WINAPI PacedGetLocalTime(LPSYSTEMTIME time) {
  gRealGetLocalTime(time);
  const int64_t ms = gClockReads++ * gClockStepMs;
  time->wMilliseconds = static_cast<WORD>(ms % 1000);
  time->wSecond = static_cast<WORD>(ms / 1000 % 60);
  time->wMinute = static_cast<WORD>(ms / 60000 % 60);
}

LRESULT CALLBACK PlainSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC gPrevious = nullptr;
LRESULT CALLBACK PlainSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DEVICECHANGE) return 0;
  return os::user32.CallWindowProcA(gPrevious, window, msg, wParam, lParam);
}

int Main(int seconds) {
  int failures = 0;

  // 1. One tick of the trigger against reading the clock and formatting time and date, with the
  // clock moving as a 200 ms timer sees it (the second changes every fifth tick), then with a new
  // second at every tick (the most a tick can cost).
  constexpr int kTicks = 20000;
  TComponent owner(nullptr);
  auto* trigger = new TKYTTimeTrigger(&owner);
  trigger->SetTriggerTime("12:00:00");
  auto tickAgainstPlain = [&](int stepMs, double& tickNs, double& plainNs) {
    gClockStepMs = stepMs;
    os::ScopedOverride<decltype(os::kernel32.GetLocalTime)> paced(os::kernel32.GetLocalTime, &PacedGetLocalTime);
    gRealGetLocalTime = paced.Previous();
    const double tickMs = bench::BestOfMs(3, [&] {
      for (int i = 0; i < kTicks; ++i) trigger->TimerCheckForTrigger(nullptr);
    });
    const double plainMs = bench::BestOfMs(3, [&] {
      char time[64], date[64];
      for (int i = 0; i < kTicks; ++i) {
        SYSTEMTIME now;
        os::kernel32.GetLocalTime(&now);
        os::kernel32.GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof time);
        os::kernel32.GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
      }
    });
    tickNs = tickMs * 1e6 / kTicks;
    plainNs = plainMs * 1e6 / kTicks;
  };
  double tickNs = 0, plainNs = 0, newSecondNs = 0, newSecondPlainNs = 0;
  tickAgainstPlain(200, tickNs, plainNs);
  tickAgainstPlain(1000, newSecondNs, newSecondPlainNs);
  const double tickRatio = bench::Ratio(tickNs, plainNs);
  std::printf("time trigger tick: %.0f ns, plain GetLocalTime + GetTimeFormatA + GetDateFormatA %.0f ns; "
              "in a new second %.0f ns against %.0f ns\n",
              tickNs, plainNs, newSecondNs, newSecondPlainNs);
  bench::Report("bench_system", "time trigger tick against GetLocalTime and the two formatting calls", tickRatio,
                bench::kMoreWork);
  bench::Report("bench_system", "time trigger tick in a new second, the same",
                bench::Ratio(newSecondNs, newSecondPlainNs), bench::kMoreWork);
  delete trigger;

  // 2. An idle application with a time trigger against one with a bare 200 ms timer.
  TStopper bare;
  auto* ticker = new TTimer(&owner);
  ticker->SetInterval(200);
  ticker->SetOnTimer(TNotifyEvent::Bind<&TStopper::Tick>(&bare));
  const double bareCpu = IdleCpuMs(seconds);
  delete ticker;
  trigger = new TKYTTimeTrigger(&owner);
  const double triggerCpu = IdleCpuMs(seconds);
  delete trigger;
  const double percent = triggerCpu / (seconds * 1000.0) * 100.0;
  // CPU times this small are counted in scheduler ticks: a floor of one tick (15.6 ms) keeps
  // the ratio from dividing by nothing.
  const double idleRatio = bench::Ratio(triggerCpu, std::max(bareCpu, 15.625));
  std::printf("idle %d s: with a time trigger CPU %.1f ms = %.3f %% of one core (target under 1 %%): %s, bare "
              "200 ms timer %.1f ms (%d ticks)\n",
              seconds, triggerCpu, percent, percent < 1.0 ? "ok" : "OVER", bareCpu, bare.Ticks);
  failures += !(percent < 1.0);
  bench::Report("bench_system", "idle application with a time trigger against a bare 200 ms timer, CPU", idleRatio,
                bench::kMoreWork);

  // 3. Ordinary messages through the CD triggers' hook against a plain subclassed procedure.
  constexpr int kMessages = 50000;
  auto* hooked = new TForm(nullptr);
  new TKYTCDTriggers(hooked);
  auto* plain = new TForm(nullptr);
  gPrevious = reinterpret_cast<WNDPROC>(
      os::user32.SetWindowLongPtrA(plain->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlainSubclass)));
  auto send = [](HWND window) {
    for (int i = 0; i < kMessages; ++i) os::user32.SendMessageA(window, WM_USER + 1, i, 0);
  };
  const bench::TRatioStats hook = bench::PairRatios(
      bench::kMinPairs, [&] { send(hooked->Handle()); }, [&] { send(plain->Handle()); });
  std::printf("CD triggers hook: %.0f ns per form message, plain subclassed procedure %.0f ns (medians)\n",
              hook.OursMs * 1e6 / kMessages, hook.PlainMs * 1e6 / kMessages);
  bench::Report("bench_system", "CD triggers hook on a form message against a plain subclassed procedure", hook,
                bench::kBookkeeping);
  os::user32.SetWindowLongPtrA(plain->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gPrevious));
  delete plain;
  delete hooked;
  return failures ? 1 : 0;
}

}  // namespace
}  // namespace kyt

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  return kyt::Main(seconds > 0 ? seconds : 5);
}
