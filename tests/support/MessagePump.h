// MessagePump.h: runs the calling thread's message loop in tests, for a bounded time or until a
// condition holds, so that timers, posted messages and window procedures get their turn.
#ifndef KYT_TESTS_SUPPORT_MESSAGEPUMP_H
#define KYT_TESTS_SUPPORT_MESSAGEPUMP_H

#include <functional>

namespace kyt {

// Pumps until done() returns true (checked before each wait) or timeoutMs passes; returns the
// last value of done(). A WM_QUIT met on the way is remembered (see TakeQuitMessage), not lost.
bool PumpUntil(std::function<bool()> done, int timeoutMs = 5000);

// Pumps for ms milliseconds.
void PumpFor(int ms);

// Handles every message already queued, without waiting.
void PumpPending();

// True when a WM_QUIT was pumped since the last call; its exit code goes to *exitCode if given.
bool TakeQuitMessage(int* exitCode = nullptr);

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_MESSAGEPUMP_H
