// FakeClock.h: replaces the OS seam's GetLocalTime with a clock the test sets and advances, so
// that code reading the local time (Now, Date, Time) sees midnight, a given date or the next
// day on demand. One fake clock at a time.
#ifndef KYT_TESTS_SUPPORT_FAKECLOCK_H
#define KYT_TESTS_SUPPORT_FAKECLOCK_H

#include "host/os/OsSeam.h"

namespace kyt {

class TFakeClock {
 public:
  // Starts at 2026-03-14 10:00:00.000 (a Saturday) and stands still until told.
  TFakeClock();
  ~TFakeClock();
  TFakeClock(const TFakeClock&) = delete;
  TFakeClock& operator=(const TFakeClock&) = delete;

  void Set(int year, int month, int day, int hour, int minute, int second, int msec = 0);
  // Moves the clock forward by ms milliseconds, across midnight and month ends.
  void Advance(int ms);
  // From now on every reading moves the clock forward by ms: code that reads it twice for one
  // figure then sees two different times.
  void StepEveryReading(int ms);
  SYSTEMTIME Now() const;

 private:
  os::ScopedOverride<decltype(os::kernel32.GetLocalTime)> FOverride;
};

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_FAKECLOCK_H
