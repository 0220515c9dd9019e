// Tests of DateTime: day arithmetic, locale formats, text conversions and DOS stamps.
#include "host/rtl/DateTime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/os/OsSeam.h"
#include "tests/rtl/RtlTestSupport.h"

using namespace kyt;

namespace {

TFormatSettings Fixed(const std::string& shortDate, char dateSep, const std::string& longTime) {
  TFormatSettings fs;  // English names and designators
  fs.ShortDateFormat = shortDate;
  fs.DateSeparator = dateSep;
  fs.LongTimeFormat = longTime;
  fs.TimeSeparator = ':';
  fs.LongDateFormat = "dddd, mmmm d, yyyy";
  return fs;
}

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0, int z = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, s, z);
}

SYSTEMTIME g_clock;
void WINAPI FakeLocalTime(LPSYSTEMTIME st) { *st = g_clock; }

}  // namespace

// Arithmetic

TEST(DateTimeEncoding, CountsDaysFrom18991230) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
}

TEST(DateTimeEncoding, DecodeDateInvertsEncodeDateOverTheWholeRange) {
  for (int day = -693593; day <= 2958465; day += 37) {
    int y, m, d;
    DecodeDate(day, y, m, d);
    ASSERT_EQ(EncodeDate(y, m, d), static_cast<double>(day)) << y << "-" << m << "-" << d;
  }
}

TEST(DateTimeEncoding, RefusesDatesAndTimesThatDoNotExist) {
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
  EXPECT_NO_THROW(EncodeDate(2004, 2, 29));
  for (auto [y, m, d] : {std::tuple{2001, 2, 29}, {1900, 2, 29}, {2001, 13, 1}, {2001, 0, 1},
                         {2001, 4, 31}, {0, 1, 1}, {10000, 1, 1}}) {
    try {
      EncodeDate(y, m, d);
      ADD_FAILURE() << y << "-" << m << "-" << d;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
  }
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  TDateTime t = -1;
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, t));
  EXPECT_EQ(t, -1) << "a failed Try leaves the value alone";
}

TEST(DateTimeEncoding, TimeIsTheFractionOfTheDay) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(18, 0, 0, 0), 0.75);
  int h, n, s, z;
  DecodeTime(At(2020, 5, 6, 23, 59, 59, 999), h, n, s, z);
  EXPECT_EQ((std::array{h, n, s, z}), (std::array{23, 59, 59, 999}));
  DecodeTime(At(2020, 5, 6, 7, 8, 9, 10), h, n, s, z);
  EXPECT_EQ((std::array{h, n, s, z}), (std::array{7, 8, 9, 10}));
}

TEST(DateTimeEncoding, DatesBeforeTheEpochCountTheTimeForward) {
  int y, m, d, h, n, s, z;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, z);
  EXPECT_EQ((std::array{y, m, d, h}), (std::array{1899, 12, 29, 6}));
}

TEST(DateTimeEncoding, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 7)), 1);   // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);   // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);
}

TEST(DateTimeClock, NowDateAndTimeReadTheLocalClock) {
  g_clock = SYSTEMTIME{2003, 4, 0, 5, 6, 7, 8, 9};
  kyt::os::ScopedOverride clock(kyt::os::kernel32.GetLocalTime, &FakeLocalTime);
  EXPECT_DOUBLE_EQ(Now(), At(2003, 4, 5, 6, 7, 8, 9));
  EXPECT_EQ(Date(), EncodeDate(2003, 4, 5));
  EXPECT_DOUBLE_EQ(Time(), EncodeTime(6, 7, 8, 9));
}

// Formatting

TEST(DateTimeFormat, FormatsWithTheGivenSettings) {
  TFormatSettings fs = Fixed("dd/mm/yyyy", '-', "hh:nn:ss");
  TDateTime v = At(2001, 2, 3, 4, 5, 6);
  EXPECT_EQ(DateToStr(v, fs), "03-02-2001");
  EXPECT_EQ(TimeToStr(v, fs), "04:05:06");
  EXPECT_EQ(DateTimeToStr(v, fs), "03-02-2001 04:05:06");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2001, 2, 3), fs), "03-02-2001") << "midnight shows no time";
  EXPECT_EQ(FormatDateTime("d/m/yy", v, fs), "3-2-01");
  EXPECT_EQ(FormatDateTime("dddd, mmmm d", v, fs), "Saturday, February 3");
  EXPECT_EQ(FormatDateTime("ddd mmm", v, fs), "Sat Feb");
  EXPECT_EQ(FormatDateTime("h:mm", v, fs), "4:05") << "m right after an hour is minutes";
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", At(2001, 2, 3, 4, 5, 6, 7), fs), "04:05:06.007");
  EXPECT_EQ(FormatDateTime("'day' d \"of\" m", v, fs), "day 3 of 2");
  EXPECT_EQ(FormatDateTime("ddddd", v, fs), "03-02-2001");
}

TEST(DateTimeFormat, TwelveHourClockWithDesignators) {
  TFormatSettings fs = Fixed("m/d/yyyy", '/', "h:nn:ss AMPM");
  EXPECT_EQ(TimeToStr(EncodeTime(15, 4, 5, 0), fs), "3:04:05 PM");
  EXPECT_EQ(TimeToStr(EncodeTime(0, 30, 0, 0), fs), "12:30:00 AM");
  EXPECT_EQ(TimeToStr(EncodeTime(12, 0, 0, 0), fs), "12:00:00 PM");
  EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(13, 0, 0, 0), fs), "1 pm");
  EXPECT_EQ(FormatDateTime("h A/P", EncodeTime(1, 0, 0, 0), fs), "1 A");
  EXPECT_EQ(FormatDateTime("hh", EncodeTime(13, 0, 0, 0), fs), "13") << "24 hours without designator";
}

// Scanning

TEST(DateTimeScan, StrToDateReadsNumbersInTheFormatsOrder) {
  EXPECT_EQ(StrToDate("2/3/2001", Fixed("m/d/yyyy", '/', "")), EncodeDate(2001, 2, 3));
  EXPECT_EQ(StrToDate("3.2.2001", Fixed("dd/mm/yyyy", '.', "")), EncodeDate(2001, 2, 3));
  EXPECT_EQ(StrToDate("2001-02-03", Fixed("yyyy/mm/dd", '-', "")), EncodeDate(2001, 2, 3));
  EXPECT_EQ(StrToDate(" 2/3/2001 ", Fixed("m/d/yyyy", '/', "")), EncodeDate(2001, 2, 3));
}

TEST(DateTimeScan, AMissingYearIsTheCurrentOneAndTwoDigitsUseTheWindow) {
  g_clock = SYSTEMTIME{2024, 6, 0, 1, 0, 0, 0, 0};
  kyt::os::ScopedOverride clock(kyt::os::kernel32.GetLocalTime, &FakeLocalTime);
  TFormatSettings fs = Fixed("m/d/yyyy", '/', "");
  EXPECT_EQ(StrToDate("2/3", fs), EncodeDate(2024, 2, 3));
  EXPECT_EQ(StrToDate("2/3/01", fs), EncodeDate(2001, 2, 3));
  EXPECT_EQ(StrToDate("2/3/74", fs), EncodeDate(1974, 2, 3)) << "50 years before 2024 is the window's start";
  EXPECT_EQ(StrToDate("2/3/73", fs), EncodeDate(2073, 2, 3));
  EXPECT_EQ(StrToDate("2/3/75", fs), EncodeDate(1975, 2, 3));
  EXPECT_EQ(StrToDate("2/3/0075", fs), EncodeDate(75, 2, 3)) << "four digits are taken as given";
  fs.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(StrToDate("2/3/99", fs), EncodeDate(2099, 2, 3));
}

TEST(DateTimeScan, TextThatIsNoDateRaisesConvertError) {
  TFormatSettings fs = Fixed("m/d/yyyy", '/', "h:nn:ss AMPM");
  for (const char* bad : {"", "abc", "13/1/2001", "2/30/2001", "2/3/2001x", "2-3-2001", "2//3",
                          "2/3/", "99999999999/1/1"}) {
    try {
      StrToDate(bad, fs);
      ADD_FAILURE() << "'" << bad << "' converted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid date");
    }
  }
}

TEST(DateTimeScan, StrToTimeAcceptsSecondsMillisecondsAndDesignators) {
  TFormatSettings fs = Fixed("m/d/yyyy", '/', "h:nn:ss AMPM");
  EXPECT_DOUBLE_EQ(StrToTime("3:04:05 PM", fs), EncodeTime(15, 4, 5, 0));
  EXPECT_DOUBLE_EQ(StrToTime("3:04:05 pm", fs), EncodeTime(15, 4, 5, 0));
  EXPECT_DOUBLE_EQ(StrToTime("12:00 AM", fs), 0.0);
  EXPECT_DOUBLE_EQ(StrToTime("12:00 PM", fs), 0.5);
  EXPECT_DOUBLE_EQ(StrToTime("10:30", fs), EncodeTime(10, 30, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime("10:30:15.250", fs), EncodeTime(10, 30, 15, 250));
  EXPECT_DOUBLE_EQ(StrToTime("7 AM", fs), EncodeTime(7, 0, 0, 0));
  for (const char* bad : {"13:00 PM", "0:30 AM", "25:00", "10:60", "10:", "x", "10:30 XM"}) {
    try {
      StrToTime(bad, fs);
      ADD_FAILURE() << "'" << bad << "' converted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid time");
    }
  }
}

TEST(DateTimeScan, DateTimeToStrReadsBackWithTheSameSettings) {
  rtltest::ScopedFormatSettings keep;
  for (const TFormatSettings& fs : {FormatSettings, Fixed("dd/mm/yyyy", '.', "hh:nn:ss"),
                                    Fixed("yyyy/mm/dd", '-', "h:nn:ss AMPM")}) {
    FormatSettings = fs;
    for (TDateTime v : {At(2001, 2, 3, 4, 5, 6), At(1999, 12, 31, 23, 59, 58), At(2024, 2, 29, 12),
                        EncodeDate(2010, 10, 10)}) {
      std::string text = DateTimeToStr(v);
      EXPECT_DOUBLE_EQ(StrToDateTime(text), v) << text << " with " << fs.ShortDateFormat;
    }
    EXPECT_THROW(StrToDateTime("no date"), EConvertError);
  }
  try {
    StrToDateTime("2/3/2001 25:00", Fixed("m/d/yyyy", '/', ""));
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'2/3/2001 25:00' is not a valid date and time");
  }
}

// Locale

TEST(DateTimeLocale, SettingsComeFromTheUsersLocale) {
  TFormatSettings fs = TFormatSettings::FromLocale();
  char buf[128];
  ASSERT_GT(::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_S1159, buf, sizeof buf), 0);
  EXPECT_EQ(fs.TimeAMString, buf);
  ASSERT_GT(::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1, buf, sizeof buf), 0);
  EXPECT_EQ(fs.LongMonthNames[0], buf);
  ASSERT_GT(::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME7, buf, sizeof buf), 0);
  EXPECT_EQ(fs.LongDayNames[0], buf) << "day names start with Sunday";
  ASSERT_GT(::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, sizeof buf), 0);
  EXPECT_NE(std::strchr(buf, fs.DateSeparator), nullptr);
  // What the locale's formats print, they read back.
  TDateTime v = At(2001, 2, 3, 16, 5, 6);
  EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(v, fs), fs), v);
}

std::vector<LCID>* gLocales = nullptr;
BOOL CALLBACK CollectLocale(LPSTR id) {
  gLocales->push_back(static_cast<LCID>(std::strtoul(id, nullptr, 16)));
  return TRUE;
}

// Whatever a locale's formats make of a date and a time (a separator at the end, month names,
// quoted words), what the formatter wrote reads back to the same text.
TEST(DateTimeLocale, EveryLocaleReadsBackWhatItsFormatsWrite) {
  std::vector<LCID> locales;
  gLocales = &locales;
  ASSERT_TRUE(::EnumSystemLocalesA(&CollectLocale, LCID_SUPPORTED));
  gLocales = nullptr;
  ASSERT_GT(locales.size(), 50u);
  const TDateTime values[] = {At(1999, 12, 31, 23, 59, 58), At(2010, 1, 13, 0, 5, 9), At(2026, 7, 4, 12, 30, 1)};
  int failures = 0;
  for (LCID locale : locales) {
    const TFormatSettings fs = TFormatSettings::FromLocale(locale);
    for (TDateTime v : values) {
      const std::string date = DateToStr(v, fs), time = TimeToStr(v, fs), both = DateTimeToStr(v, fs);
      TDateTime d = 0, t = 0, dt = 0;
      const bool ok = TryStrToDate(date, d, fs) && DateToStr(d, fs) == date && TryStrToTime(time, t, fs) &&
                      TimeToStr(t, fs) == time && TryStrToDateTime(both, dt, fs) && DateTimeToStr(dt, fs) == both;
      if (!ok && ++failures <= 10)
        ADD_FAILURE() << "locale " << std::hex << locale << std::dec << ": '" << both << "' with '"
                      << fs.ShortDateFormat << "' and '" << fs.LongTimeFormat << "'";
    }
  }
  EXPECT_EQ(failures, 0) << "of " << locales.size() << " locales";
}

TEST(DateTimeLocale, WindowsPicturesBecomeTheRuntimesFormats) {
  // A German-style locale, given through the seam.
  kyt::os::ScopedOverride info(
      kyt::os::kernel32.GetLocaleInfoA, [](LCID, LCTYPE type, LPSTR buf, int size) -> int WINAPI {
        const char* text = type == LOCALE_SSHORTDATE    ? "dd.MM.yyyy"
                           : type == LOCALE_SLONGDATE   ? "dddd, d. MMMM yyyy"
                           : type == LOCALE_STIMEFORMAT ? "HH:mm:ss"
                           : type == LOCALE_SDATE       ? "."
                           : type == LOCALE_STIME       ? ":"
                           : type == LOCALE_S1159       ? ""
                           : type == LOCALE_S2359       ? ""
                           : type == 0x79               ? "HH:mm"
                                                        : nullptr;
        if (!text) return 0;
        int need = static_cast<int>(std::strlen(text)) + 1;
        if (size == 0) return need;
        if (size < need) return 0;
        std::memcpy(buf, text, need);
        return need;
      });
  TFormatSettings fs = TFormatSettings::FromLocale();
  EXPECT_EQ(fs.ShortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(fs.DateSeparator, '.');
  EXPECT_EQ(fs.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(fs.ShortTimeFormat, "hh:nn");
  EXPECT_EQ(fs.TimeSeparator, ':');
  EXPECT_EQ(fs.LongMonthNames[0], "January") << "names the locale does not give keep defaults";
  TDateTime v = At(2001, 2, 3, 16, 5, 6);
  EXPECT_EQ(DateTimeToStr(v, fs), "03.02.2001 16:05:06");
  EXPECT_DOUBLE_EQ(StrToDateTime("03.02.2001 16:05:06", fs), v);
  // Changing the separator changes the text, as the format names it with '/'.
  fs.DateSeparator = '-';
  EXPECT_EQ(DateToStr(v, fs), "03-02-2001");
}

// DOS stamps

TEST(DateTimeFileDate, PacksDateHighAndTimeLow) {
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(1980, 1, 1)), 0x00210000);
  int stamp = DateTimeToFileDate(At(2001, 2, 3, 4, 5, 7));
  EXPECT_EQ(stamp >> 16, ((2001 - 1980) << 9) | (2 << 5) | 3);
  EXPECT_EQ(stamp & 0xFFFF, (4 << 11) | (5 << 5) | 3) << "seconds are kept in two-second steps";
  EXPECT_DOUBLE_EQ(FileDateToDateTime(stamp), At(2001, 2, 3, 4, 5, 6));
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0);
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(2108, 1, 1)), 0);
  EXPECT_NE(DateTimeToFileDate(At(2107, 12, 31, 23, 59, 58)), 0);
  EXPECT_THROW(FileDateToDateTime(0), EConvertError) << "month 0 is no date";
  EXPECT_THROW(FileDateToDateTime(0x00210000 | (24 << 11)), EConvertError) << "hour 24";
}
