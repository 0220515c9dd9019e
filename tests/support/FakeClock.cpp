// FakeClock.cpp: the settable local time behind the OS seam.
#include "tests/support/FakeClock.h"

#include <cstdint>

namespace kyt {

namespace {
SYSTEMTIME gNow{};
int gStepMs = 0;

SYSTEMTIME FromTicks(uint64_t ticks);
uint64_t Ticks(const SYSTEMTIME& st);

void WINAPI FakeGetLocalTime(LPSYSTEMTIME time) {
  *time = gNow;
  if (gStepMs) gNow = FromTicks(Ticks(gNow) + static_cast<uint64_t>(gStepMs) * 10000u);
}

// FILETIME arithmetic keeps the calendar right across day, month and year ends.
uint64_t Ticks(const SYSTEMTIME& st) {
  FILETIME ft{};
  ::SystemTimeToFileTime(&st, &ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
SYSTEMTIME FromTicks(uint64_t ticks) {
  FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME st{};
  ::FileTimeToSystemTime(&ft, &st);
  return st;
}
}  // namespace

TFakeClock::TFakeClock() : FOverride(os::kernel32.GetLocalTime, &FakeGetLocalTime) {
  gStepMs = 0;
  Set(2026, 3, 14, 10, 0, 0);
}

TFakeClock::~TFakeClock() { gStepMs = 0; }

void TFakeClock::StepEveryReading(int ms) { gStepMs = ms; }

void TFakeClock::Set(int year, int month, int day, int hour, int minute, int second, int msec) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  st.wMilliseconds = static_cast<WORD>(msec);
  gNow = FromTicks(Ticks(st));  // fills in the day of the week
}

void TFakeClock::Advance(int ms) { gNow = FromTicks(Ticks(gNow) + static_cast<uint64_t>(ms) * 10000u); }

SYSTEMTIME TFakeClock::Now() const { return gNow; }

}  // namespace kyt
