// Tests of the timer: ticks through the application's loop, stopping, the designing state and
// exceptions from its handler.
#include "host/vcl/ExtCtrls.h"

#include <gtest/gtest.h>

#include "host/vcl/Application.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

struct Ticks {
  int Count = 0;
  int StopAt = 0;
  void Tick(TObject*) {
    if (++Count == StopAt) Application->Terminate();
  }
  void Throw(TObject*) {
    ++Count;
    throw Exception("timer failed");
  }
};

TEST(Timer, TicksThroughRunUntilTheHandlerTerminates) {
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner);
  Ticks ticks;
  ticks.StopAt = 3;
  timer->SetInterval(20);
  timer->SetOnTimer(TNotifyEvent::Bind<&Ticks::Tick>(&ticks));
  EXPECT_TRUE(timer->Active());
  EXPECT_EQ(vcltest::ClassOf(timer->WindowHandle()), "TPUtilWindow");
  Application->Run();
  EXPECT_EQ(ticks.Count, 3);
  EXPECT_TRUE(Application->Terminated());
}

TEST(Timer, NeedsEnabledIntervalAndHandlerToRun) {
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_FALSE(timer->Active());  // no handler yet
  Ticks ticks;
  timer->SetOnTimer(TNotifyEvent::Bind<&Ticks::Tick>(&ticks));
  EXPECT_TRUE(timer->Active());
  timer->SetEnabled(false);
  EXPECT_FALSE(timer->Active());
  timer->SetEnabled(true);
  timer->SetInterval(0);
  EXPECT_FALSE(timer->Active());
  timer->SetInterval(10);
  timer->SetEnabled(false);
  vcltest::PumpAppFor(60);
  EXPECT_EQ(ticks.Count, 0);
}

TEST(Timer, TicksInTheDesigningStateToo) {
  TComponent designed(nullptr);
  designed.SetDesigning(true);
  auto* timer = new TTimer(&designed);
  EXPECT_TRUE(timer->ComponentState().Contains(csDesigning));
  Ticks ticks;
  timer->SetInterval(15);
  timer->SetOnTimer(TNotifyEvent::Bind<&Ticks::Tick>(&ticks));
  EXPECT_TRUE(vcltest::PumpApp([&] { return ticks.Count >= 2; }));
}

TEST(Timer, ExceptionFromOnTimerReachesOnExceptionAndTheTimerGoesOn) {
  vcltest::ExceptionCatcher caught;
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner);
  Ticks ticks;
  timer->SetInterval(15);
  timer->SetOnTimer(TNotifyEvent::Bind<&Ticks::Throw>(&ticks));
  EXPECT_TRUE(vcltest::PumpApp([&] { return ticks.Count >= 2; }));
  EXPECT_GE(caught.Count(), 2);
  EXPECT_EQ(caught.LastMessage(), "timer failed");
  EXPECT_EQ(caught.LastSender(), timer);
}

TEST(Timer, DestroyingTheTimerDestroysItsWindow) {
  auto* timer = new TTimer(nullptr);
  HWND window = timer->WindowHandle();
  EXPECT_TRUE(::IsWindow(window));
  delete timer;
  EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
}  // namespace kyt
