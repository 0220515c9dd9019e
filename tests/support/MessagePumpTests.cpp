// MessagePumpTests.cpp: the pump dispatches timers and posted messages and keeps to its time bound.
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include "host/os/Win.h"

namespace kyt {
namespace {

int ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

TEST(MessagePump, PumpUntilDispatchesThreadTimersUntilTheConditionHolds) {
  ticks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &CountTick);
  ASSERT_NE(timer, 0u);
  EXPECT_TRUE(PumpUntil([] { return ticks >= 3; }, 5000));
  ::KillTimer(nullptr, timer);
  EXPECT_GE(ticks, 3);
}

TEST(MessagePump, PumpUntilReportsFalseWhenTheConditionNeverHolds) {
  int checks = 0;
  EXPECT_FALSE(PumpUntil([&] { ++checks; return false; }, 50));
  EXPECT_GT(checks, 1);  // checked again after each wait, not only once
}

int appMessages = 0;
LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP) ++appMessages;
  return ::DefWindowProcA(w, msg, wParam, lParam);
}

TEST(MessagePump, PumpPendingDispatchesPostedMessagesToTheirWindow) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = &CountingProc;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "KytPumpTestWindow";
  ::RegisterClassA(&cls);
  HWND window = ::CreateWindowExA(0, cls.lpszClassName, "pump", 0, 0, 0, 10, 10, nullptr,
                                  nullptr, cls.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  appMessages = 0;
  ::PostMessageA(window, WM_APP, 0, 0);
  ::PostMessageA(window, WM_APP, 0, 0);
  EXPECT_EQ(appMessages, 0);
  PumpPending();
  EXPECT_EQ(appMessages, 2);
  ::DestroyWindow(window);
}

TEST(MessagePump, QuitMessageIsRememberedWithItsExitCode) {
  TakeQuitMessage();
  ::PostQuitMessage(3);
  PumpFor(20);
  int code = 0;
  EXPECT_TRUE(TakeQuitMessage(&code));
  EXPECT_EQ(code, 3);
  EXPECT_FALSE(TakeQuitMessage());
}

}  // namespace
}  // namespace kyt
