// Showcase.cpp: the showcase application. For now a bare main form that is created, shown and
// closed by itself, reporting each step on standard output; it grows with every component.
#include <cstdio>

#include "examples/showcase/ShowcaseDialogs.h"
#include "examples/showcase/ShowcaseHook.h"
#include "examples/showcase/ShowcaseSettings.h"
#include "host/os/OsSeam.h"

namespace kyt {
namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseAfterMs = 300;

void Report(const char* what) {
  std::printf("showcase: %s\n", what);
  std::fflush(stdout);
}

LRESULT CALLBACK MainFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam == kCloseTimer) {
        os::user32.KillTimer(window, kCloseTimer);
        os::user32.PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_DESTROY:
      Report("main form closed");
      os::user32.PostQuitMessage(0);
      return 0;
  }
  return os::user32.DefWindowProcA(window, msg, wParam, lParam);
}

int Run() {
  const HINSTANCE instance = os::kernel32.GetModuleHandleA(nullptr);
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &MainFormProc;
  cls.hInstance = instance;
  cls.hCursor = os::user32.LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = "TShowcaseMainForm";
  if (!os::user32.RegisterClassExA(&cls)) return 1;

  HWND form = os::user32.CreateWindowExA(0, cls.lpszClassName, "Showcase", WS_OVERLAPPEDWINDOW,
                                         120, 120, 640, 480, nullptr, nullptr, instance, nullptr);
  if (!form) {
    Report("main form could not be created (is there a display?)");
    return 1;
  }
  Report("main form created");
  os::user32.ShowWindow(form, SW_SHOW);
  os::user32.UpdateWindow(form);
  Report("main form shown");
  if (!RunShowcaseFormSaver()) Report("the settings form could not be shown");
  if (!RunShowcaseFormHook()) Report("the hooked form could not be shown");
  TComponent mainFormComponents(nullptr);  // owns the components placed on the main form
  if (!RunShowcaseDialogs(&mainFormComponents)) Report("a message dialog was not answered");

  // Unattended: the form closes itself shortly after it is shown.
  os::user32.SetTimer(form, kCloseTimer, kCloseAfterMs, nullptr);
  MSG msg;
  while (os::user32.GetMessageA(&msg, nullptr, 0, 0) > 0) {
    os::user32.TranslateMessage(&msg);
    os::user32.DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Run(); }
