// MessagePump.cpp: PeekMessage/Translate/Dispatch loop with MsgWaitForMultipleObjects waits.
#include "tests/support/MessagePump.h"

#include <algorithm>

#include "host/os/Win.h"

namespace kyt {
namespace {

bool quitSeen = false;
int quitCode = 0;

void DrainQueue() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitSeen = true;
      quitCode = static_cast<int>(msg.wParam);
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace

bool PumpUntil(std::function<bool()> done, int timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0));
  for (;;) {
    DrainQueue();
    if (done && done()) return true;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return done ? done() : false;
    // Wake on input or at least every 10 ms, so conditions set by other processes are seen.
    const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10));
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

void PumpFor(int ms) { PumpUntil(nullptr, ms); }

void PumpPending() { DrainQueue(); }

bool TakeQuitMessage(int* exitCode) {
  const bool seen = quitSeen;
  if (seen && exitCode) *exitCode = quitCode;
  quitSeen = false;
  quitCode = 0;
  return seen;
}

}  // namespace kyt
