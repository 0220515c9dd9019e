// DateTime: the run-time library's date-time value, its conversions to and from text in the
// user's locale formats, and packed DOS file stamps.
// A TDateTime counts days since 1899-12-30; the fraction is the time of day (for dates before
// that day the fraction still counts forward from midnight, as the family's runtime does).
#ifndef KYT_HOST_RTL_DATETIME_H
#define KYT_HOST_RTL_DATETIME_H

#include <array>
#include <cstdint>
#include <string>

#include "host/core/Exceptions.h"
#include "host/os/Win.h"

namespace kyt {

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;

// Formats of the family's runtime. Format letters (case-insensitive): d dd ddd dddd ddddd dddddd,
// m mm mmm mmmm (minutes right after an hour), yy yyyy, h hh, n nn, s ss, z zzz, t tt, c,
// am/pm a/p ampm (12-hour clock), '/' for DateSeparator, ':' for TimeSeparator, quoted literals.
struct TFormatSettings {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "m/d/yyyy";
  std::string LongDateFormat = "dddd, mmmm d, yyyy";
  std::string ShortTimeFormat = "h:nn AMPM";
  std::string LongTimeFormat = "h:nn:ss AMPM";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
  std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};  // [0] = Sunday
  // Two-digit years fall within this many years before the current year (0: current century).
  int TwoDigitYearCenturyWindow = 50;

  // The formats of a locale, read with GetLocaleInfoA; fields the locale does not give keep the
  // defaults above.
  static TFormatSettings FromLocale(LCID locale = LOCALE_USER_DEFAULT);
};

// The settings every conversion without an explicit settings argument uses; filled from the
// user's locale at start-up. Tests may change it (and put it back).
extern TFormatSettings FormatSettings;

// Encoding. Invalid parts raise EConvertError ("Invalid argument to date encode" / "... time
// encode"); the Try forms report by result.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime date);  // 1 = Sunday ... 7 = Saturday
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
SYSTEMTIME DateTimeToSystemTime(TDateTime dt);

// The clock (local time).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// To text.
std::string FormatDateTime(const std::string& format, TDateTime dt,
                           const TFormatSettings& settings = FormatSettings);
std::string DateToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings);
std::string TimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings);
// Date and long time; the time is left out at midnight exactly.
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings);

// From text: numbers separated by DateSeparator in the order of ShortDateFormat (the year may be
// left out, or given with two digits), and hour[:min[:sec[.msec]]] with an optional AM/PM
// designator. Text that does not convert raises EConvertError "'<s>' is not a valid date"
// (time, date and time); the Try forms report by result.
TDateTime StrToDate(const std::string& s, const TFormatSettings& settings = FormatSettings);
TDateTime StrToTime(const std::string& s, const TFormatSettings& settings = FormatSettings);
TDateTime StrToDateTime(const std::string& s, const TFormatSettings& settings = FormatSettings);
bool TryStrToDate(const std::string& s, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings);
bool TryStrToTime(const std::string& s, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings);
bool TryStrToDateTime(const std::string& s, TDateTime& value,
                      const TFormatSettings& settings = FormatSettings);

// Packed DOS stamps: date in the high word (years since 1980, month, day), time in the low word
// (hours, minutes, seconds / 2). DateTimeToFileDate gives 0 outside 1980..2107;
// FileDateToDateTime raises EConvertError for a stamp that holds no valid date or time.
int DateTimeToFileDate(TDateTime dt);
TDateTime FileDateToDateTime(int fileDate);

}  // namespace kyt

#endif  // KYT_HOST_RTL_DATETIME_H
