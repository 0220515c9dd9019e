// DateTime.cpp: date-time arithmetic, locale formats, formatting and scanning.
#include "host/rtl/DateTime.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "host/os/OsSeam.h"

namespace kyt {

using os::kernel32;

namespace {

constexpr int kDaysTo18991230 = 693593;  // day number of 1899-12-30, counting 0001-01-01 as day 0

// Days since 0001-01-01 (day 0) for a valid civil date.
int64_t DaysFromCivil(int y, int m, int d) {
  static const int before[2][13] = {{0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
                                    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
  int64_t yy = y - 1;
  return yy * 365 + yy / 4 - yy / 100 + yy / 400 + before[IsLeapYear(y) ? 1 : 0][m] + d - 1;
}

// The day part and the millisecond of the day, rounded to the millisecond as the family does.
void Split(TDateTime dt, int64_t& day, int& msOfDay) {
  int64_t total = std::llround(dt * MSecsPerDay);
  day = total / MSecsPerDay;
  msOfDay = static_cast<int>(std::llabs(total % MSecsPerDay));
}

std::optional<std::string> LocaleString(LCID locale, LCTYPE type) {
  int n = kernel32.GetLocaleInfoA(locale, type, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::string buf(static_cast<size_t>(n), '\0');
  n = kernel32.GetLocaleInfoA(locale, type, buf.data(), n);
  if (n <= 0) return std::nullopt;
  buf.resize(static_cast<size_t>(n) - 1);
  return buf;
}

// The first separator character of a Windows picture (outside quotes), or fallback.
char SeparatorOf(const std::string& picture, char fallback) {
  bool quoted = false;
  for (char c : picture) {
    if (c == '\'') quoted = !quoted;
    else if (!quoted && !std::isalpha(static_cast<unsigned char>(c)) && c != ' ') return c;
  }
  return fallback;
}

// Turns a Windows date picture (M for month, g for era, the separator literal) into this
// runtime's format ('m', '/').
std::string FromWindowsDate(const std::string& picture, char separator) {
  std::string out;
  bool quoted = false;
  for (char c : picture) {
    if (c == '\'') {
      quoted = !quoted;
      out += c;
    } else if (quoted) {
      out += c;
    } else if (c == 'M') {
      out += 'm';
    } else if (c == 'g') {
      // era: not shown
    } else if (c == separator) {
      out += '/';
    } else {
      out += c;
    }
  }
  // Leave no blank where an era was dropped.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(out.begin());
  return out;
}

// Turns a Windows time picture (H/h hours, m minutes, t/tt designator, the separator literal)
// into this runtime's format (h, n, AMPM, ':').
std::string FromWindowsTime(const std::string& picture, char separator) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (c == '\'') {
      quoted = !quoted;
      out += c;
    } else if (quoted) {
      out += c;
    } else if (c == 'H' || c == 'h') {
      out += 'h';
    } else if (c == 'm') {
      out += 'n';
    } else if (c == 't') {
      while (i + 1 < picture.size() && picture[i + 1] == 't') ++i;
      out += "AMPM";
    } else if (c == separator) {
      out += ':';
    } else {
      out += c;
    }
  }
  return out;
}

// A view, not a string: the formatter asks this three times for every character of a format.
bool StartsWithNoCase(const std::string& s, size_t pos, std::string_view word) {
  if (word.empty() || pos + word.size() > s.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[pos + i])) !=
        std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  return true;
}

// True when the format shows a 12-hour clock (it holds am/pm, a/p or ampm outside quotes).
bool Uses12Hour(const std::string& f) {
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if ((c == 'a' || c == 'A') &&
               (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
                StartsWithNoCase(f, i, "ampm"))) {
      return true;
    }
  }
  return false;
}

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

void Format(std::string& out, const std::string& f, TDateTime dt, const TFormatSettings& fs,
            int depth) {
  if (depth > 2) return;  // a format naming itself through 'c' or 'ddddd' ends here
  int year, month, day, hour, min, sec, msec;
  DecodeDate(dt, year, month, day);
  DecodeTime(dt, hour, min, sec, msec);
  const bool twelve = Uses12Hour(f);
  bool afterHour = false;
  size_t i = 0;
  auto run = [&](char letter) {
    size_t n = 0;
    while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == letter) ++n;
    i += n;
    return static_cast<int>(n);
  };
  while (i < f.size()) {
    char c = f[i];
    char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"' || c == '\'') {
      size_t end = f.find(c, i + 1);
      if (end == std::string::npos) end = f.size();
      out.append(f, i + 1, end - i - 1);
      i = end < f.size() ? end + 1 : end;
      continue;
    }
    if (lc == 'a') {  // an am/pm word, or a plain letter
      if (StartsWithNoCase(f, i, "am/pm")) {
        out += f.substr(i + (hour >= 12 ? 3 : 0), 2);
        i += 5;
        continue;
      }
      if (StartsWithNoCase(f, i, "a/p")) {
        out += f[i + (hour >= 12 ? 2 : 0)];
        i += 3;
        continue;
      }
      if (StartsWithNoCase(f, i, "ampm")) {
        out += hour >= 12 ? fs.TimePMString : fs.TimeAMString;
        i += 4;
        continue;
      }
    }
    switch (lc) {
      case 'c': {
        run('c');
        Format(out, fs.ShortDateFormat, dt, fs, depth + 1);
        int64_t d;
        int ms;
        Split(dt, d, ms);
        if (ms != 0) {
          out += ' ';
          Format(out, fs.LongTimeFormat, dt, fs, depth + 1);
        }
        afterHour = false;
        break;
      }
      case 'd': {
        int n = run('d');
        if (n == 1) out += std::to_string(day);
        else if (n == 2) out += Pad(day, 2);
        else if (n == 3) out += fs.ShortDayNames[static_cast<size_t>(DayOfWeek(dt) - 1)];
        else if (n == 4) out += fs.LongDayNames[static_cast<size_t>(DayOfWeek(dt) - 1)];
        else if (n == 5) Format(out, fs.ShortDateFormat, dt, fs, depth + 1);
        else Format(out, fs.LongDateFormat, dt, fs, depth + 1);
        afterHour = false;
        break;
      }
      case 'm': {
        int n = run('m');
        if (afterHour && n <= 2) {
          out += n == 1 ? std::to_string(min) : Pad(min, 2);
        } else if (n == 1) {
          out += std::to_string(month);
        } else if (n == 2) {
          out += Pad(month, 2);
        } else if (n == 3) {
          out += fs.ShortMonthNames[static_cast<size_t>(month - 1)];
        } else {
          out += fs.LongMonthNames[static_cast<size_t>(month - 1)];
        }
        afterHour = false;
        break;
      }
      case 'y': {
        int n = run('y');
        out += n <= 2 ? Pad(year % 100, 2) : Pad(year, 4);
        afterHour = false;
        break;
      }
      case 'h': {
        int n = run('h');
        int h = hour;
        if (twelve) {
          h = hour % 12;
          if (h == 0) h = 12;
        }
        out += n == 1 ? std::to_string(h) : Pad(h, 2);
        afterHour = true;
        break;
      }
      case 'n': {
        int n = run('n');
        out += n == 1 ? std::to_string(min) : Pad(min, 2);
        afterHour = false;
        break;
      }
      case 's': {
        int n = run('s');
        out += n == 1 ? std::to_string(sec) : Pad(sec, 2);
        afterHour = false;
        break;
      }
      case 'z': {
        int n = run('z');
        out += n < 3 ? std::to_string(msec) : Pad(msec, 3);
        afterHour = false;
        break;
      }
      case 't': {
        int n = run('t');
        Format(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs, depth + 1);
        afterHour = false;
        break;
      }
      case '/':
        out += fs.DateSeparator;
        ++i;
        break;
      case ':':
        out += fs.TimeSeparator;
        ++i;
        break;
      default:
        out += c;
        ++i;
        break;
    }
  }
}

// Scanning, in the manner of the family's runtime.
struct Scanner {
  const std::string& s;
  size_t pos = 0;

  void Blanks() {
    while (pos < s.size() && s[pos] == ' ') ++pos;
  }
  bool Char(char c) {
    Blanks();
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  // Digits as a number; digits receives their count (for two-digit years).
  bool Number(int& value, int& digits) {
    Blanks();
    size_t start = pos;
    int64_t v = 0;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) && pos - start < 9)
      v = v * 10 + (s[pos++] - '0');
    digits = static_cast<int>(pos - start);
    if (digits == 0 || (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))))
      return false;
    value = static_cast<int>(v);
    return true;
  }
  bool AtEnd() {
    Blanks();
    return pos >= s.size();
  }
};

// A year written with two digits, within the settings' window before the current year.
int FullYear(int twoDigits, int currentYear, const TFormatSettings& fs) {
  const int base = currentYear - fs.TwoDigitYearCenturyWindow;
  int y = twoDigits + base / 100 * 100;
  if (fs.TwoDigitYearCenturyWindow > 0 && y < base) y += 100;
  return y;
}

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(const std::string& format) {
  for (char c : format) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
      case 'd': return DateOrder::DMY;
      case 'm': return DateOrder::MDY;
      case 'y': return DateOrder::YMD;
      default: break;
    }
  }
  return DateOrder::MDY;
}

bool ScanDate(Scanner& sc, TDateTime& date, const TFormatSettings& fs) {
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!sc.Number(n1, l1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2)) return false;
  bool three = false;
  if (sc.Char(fs.DateSeparator)) {
    if (!sc.Number(n3, l3)) return false;
    three = true;
  }
  SYSTEMTIME now;
  kernel32.GetLocalTime(&now);
  int y, m, d, yearDigits;
  DateOrder order = OrderOf(fs.ShortDateFormat);
  if (!three) {
    y = now.wYear;
    yearDigits = 4;
    if (order == DateOrder::DMY) {
      d = n1;
      m = n2;
    } else {  // MDY, and YMD without its year
      m = n1;
      d = n2;
    }
  } else if (order == DateOrder::MDY) {
    m = n1, d = n2, y = n3, yearDigits = l3;
  } else if (order == DateOrder::DMY) {
    d = n1, m = n2, y = n3, yearDigits = l3;
  } else {
    y = n1, m = n2, d = n3, yearDigits = l1;
  }
  if (yearDigits <= 2) y = FullYear(y, now.wYear, fs);
  (void)l2;
  return TryEncodeDate(y, m, d, date);
}

// Matches an AM or PM designator at the scanner's position: 0 AM, 1 PM, -1 none.
int ScanDesignator(Scanner& sc, const TFormatSettings& fs) {
  sc.Blanks();
  const std::string* words[4] = {&fs.TimeAMString, &fs.TimePMString, nullptr, nullptr};
  static const std::string am = "AM", pm = "PM";
  words[2] = &am;
  words[3] = &pm;
  for (int k = 0; k < 4; ++k) {
    if (StartsWithNoCase(sc.s, sc.pos, *words[k])) {
      sc.pos += words[k]->size();
      return k % 2;
    }
  }
  return -1;
}

bool ScanTime(Scanner& sc, TDateTime& time, const TFormatSettings& fs) {
  int designator = ScanDesignator(sc, fs);
  int hour, min = 0, sec = 0, msec = 0, digits;
  if (!sc.Number(hour, digits)) return false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(min, digits)) return false;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(sec, digits)) return false;
      if (sc.Char('.')) {
        if (!sc.Number(msec, digits)) return false;
      }
    }
  }
  if (designator < 0) designator = ScanDesignator(sc, fs);
  if (designator >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (designator == 0 && hour == 12) hour = 0;
    else if (designator == 1 && hour < 12) hour += 12;
  }
  return TryEncodeTime(hour, min, sec, msec, time);
}

// Reading by the format that wrote the text: every token the formatter writes is read back the
// same way (a separator at the end, month and day names, quoted words), so that whatever a
// locale's formats make of a date reads again. The free-form scanners above remain the fallback
// for text typed by hand.
struct TFields {
  int Year = -1, YearDigits = 4, Month = -1, Day = -1;
  int Hour = 0, Min = 0, Sec = 0, Msec = 0, Designator = -1;
};

class TFormatReader {
 public:
  TFormatReader(const std::string& text, const TFormatSettings& fs) : FText(text), FSettings(fs) {}

  bool Read(const std::string& f, int depth = 0) {
    if (depth > 2) return true;
    const bool twelve = Uses12Hour(f);
    bool afterHour = false;
    size_t i = 0;
    auto run = [&](char letter) {
      size_t n = 0;
      while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == letter) ++n;
      i += n;
      return static_cast<int>(n);
    };
    while (i < f.size()) {
      const char c = f[i];
      const char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (c == '"' || c == '\'') {
        size_t end = f.find(c, i + 1);
        if (end == std::string::npos) end = f.size();
        if (!Literal(std::string_view(f).substr(i + 1, end - i - 1))) return false;
        i = end < f.size() ? end + 1 : end;
        continue;
      }
      if (lc == 'a') {
        if (StartsWithNoCase(f, i, "am/pm")) {
          if (!Designator({f.substr(i, 2), f.substr(i + 3, 2)})) return false;
          i += 5;
          continue;
        }
        if (StartsWithNoCase(f, i, "a/p")) {
          if (!Designator({f.substr(i, 1), f.substr(i + 2, 1)})) return false;
          i += 3;
          continue;
        }
        if (StartsWithNoCase(f, i, "ampm")) {
          if (!Designator({FSettings.TimeAMString, FSettings.TimePMString})) return false;
          i += 4;
          continue;
        }
      }
      bool ok = true;
      switch (lc) {
        case 'c':
          run('c');
          ok = Read(FSettings.ShortDateFormat, depth + 1);
          if (ok && !AtEnd()) ok = Read(FSettings.LongTimeFormat, depth + 1);
          afterHour = false;
          break;
        case 'd': {
          const int n = run('d');
          if (n <= 2) ok = Number(2, FFields.Day);
          else if (n == 3) ok = Name(FSettings.ShortDayNames.data(), 7) >= 0;
          else if (n == 4) ok = Name(FSettings.LongDayNames.data(), 7) >= 0;
          else ok = Read(n == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat, depth + 1);
          afterHour = false;
          break;
        }
        case 'm': {
          const int n = run('m');
          if (afterHour && n <= 2) ok = Number(2, FFields.Min);
          else if (n <= 2) ok = Number(2, FFields.Month);
          else ok = (FFields.Month = 1 + Name((n == 3 ? FSettings.ShortMonthNames : FSettings.LongMonthNames).data(), 12)) > 0;
          afterHour = false;
          break;
        }
        case 'y': {
          const int n = run('y');
          const size_t start = Position();
          ok = Number(n <= 2 ? 2 : 4, FFields.Year);
          FFields.YearDigits = static_cast<int>(FPos - start);
          afterHour = false;
          break;
        }
        case 'h':
          run('h');
          ok = Number(2, FFields.Hour);
          FTwelveHour = twelve;
          afterHour = true;
          break;
        case 'n':
          run('n');
          ok = Number(2, FFields.Min);
          afterHour = false;
          break;
        case 's':
          run('s');
          ok = Number(2, FFields.Sec);
          afterHour = false;
          break;
        case 'z':
          run('z');
          ok = Number(3, FFields.Msec);
          afterHour = false;
          break;
        case 't': {
          const int n = run('t');
          ok = Read(n == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
          afterHour = false;
          break;
        }
        case '/':
          ok = Literal(std::string_view(&FSettings.DateSeparator, 1));
          ++i;
          break;
        case ':':
          ok = Literal(std::string_view(&FSettings.TimeSeparator, 1));
          ++i;
          break;
        default:
          ok = Literal(std::string_view(&f[i], 1));
          ++i;
          break;
      }
      if (!ok) return false;
    }
    return true;
  }

  bool AtEnd() {
    Blanks();
    return FPos >= FText.size();
  }

  bool Date(TDateTime& date) const {
    SYSTEMTIME now;
    kernel32.GetLocalTime(&now);
    int year = FFields.Year < 0 ? now.wYear : FFields.Year;
    if (FFields.Year >= 0 && FFields.YearDigits <= 2) year = FullYear(year, now.wYear, FSettings);
    return FFields.Month > 0 && FFields.Day > 0 && TryEncodeDate(year, FFields.Month, FFields.Day, date);
  }

  bool Time(TDateTime& time) const {
    int hour = FFields.Hour;
    if (FTwelveHour || FFields.Designator >= 0) {
      if (FFields.Designator >= 0 && (hour == 0 || hour > 12)) return false;
      if (FFields.Designator == 0 && hour == 12) hour = 0;
      else if (FFields.Designator == 1 && hour < 12) hour += 12;
    }
    return TryEncodeTime(hour, FFields.Min, FFields.Sec, FFields.Msec, time);
  }

 private:
  size_t Position() {
    Blanks();
    return FPos;
  }
  void Blanks() {
    while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
  }
  // Up to width digits: the formatter writes no field wider.
  bool Number(int width, int& value) {
    Blanks();
    const size_t start = FPos;
    int v = 0;
    while (FPos < FText.size() && FPos - start < static_cast<size_t>(width) &&
           std::isdigit(static_cast<unsigned char>(FText[FPos])))
      v = v * 10 + (FText[FPos++] - '0');
    if (FPos == start) return false;
    value = v;
    return true;
  }
  // Text as written; blanks on either side of it may differ.
  bool Literal(std::string_view text) {
    for (char c : text) {
      if (c == ' ') {
        Blanks();
        continue;
      }
      if (FPos < FText.size() && FText[FPos] == ' ' && c != ' ') Blanks();
      if (FPos >= FText.size() || std::tolower(static_cast<unsigned char>(FText[FPos])) !=
                                      std::tolower(static_cast<unsigned char>(c)))
        return false;
      ++FPos;
    }
    return true;
  }
  // The longest of names that the text holds here (case aside): its index, or -1.
  int Name(const std::string* names, int count) {
    Blanks();
    int best = -1;
    for (int k = 0; k < count; ++k) {
      if ((best < 0 || names[k].size() > names[best].size()) && StartsWithNoCase(FText, FPos, names[k])) best = k;
    }
    if (best >= 0) FPos += names[best].size();
    return best;
  }
  bool Designator(const std::array<std::string, 2>& words) {
    Blanks();
    int k = Name(words.data(), 2);
    // A locale without designators writes none: the word it left empty stands there.
    if (k < 0) k = words[0].empty() ? 0 : words[1].empty() ? 1 : -1;
    if (k < 0) return false;
    FFields.Designator = words[0].empty() && words[1].empty() ? -1 : k;
    return true;
  }

  const std::string& FText;
  const TFormatSettings& FSettings;
  size_t FPos = 0;
  TFields FFields;
  bool FTwelveHour = false;
};

bool ReadDate(const std::string& s, const std::string& format, const TFormatSettings& fs, TDateTime& date) {
  TFormatReader reader(s, fs);
  return reader.Read(format) && reader.AtEnd() && reader.Date(date);
}

bool ReadTime(const std::string& s, const std::string& format, const TFormatSettings& fs, TDateTime& time) {
  TFormatReader reader(s, fs);
  return reader.Read(format) && reader.AtEnd() && reader.Time(time);
}

TDateTime Combine(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

}  // namespace

TFormatSettings FormatSettings = TFormatSettings::FromLocale();

TFormatSettings TFormatSettings::FromLocale(LCID locale) {
  TFormatSettings fs;
  std::string dateSep = LocaleString(locale, LOCALE_SDATE).value_or("/");
  std::string timeSep = LocaleString(locale, LOCALE_STIME).value_or(":");
  if (auto pic = LocaleString(locale, LOCALE_SSHORTDATE)) {
    char sep = SeparatorOf(*pic, dateSep.empty() ? '/' : dateSep[0]);
    fs.DateSeparator = sep;
    fs.ShortDateFormat = FromWindowsDate(*pic, sep);
  }
  if (auto pic = LocaleString(locale, LOCALE_SLONGDATE))
    fs.LongDateFormat = FromWindowsDate(*pic, '\0');
  if (auto pic = LocaleString(locale, LOCALE_STIMEFORMAT)) {
    char sep = SeparatorOf(*pic, timeSep.empty() ? ':' : timeSep[0]);
    fs.TimeSeparator = sep;
    fs.LongTimeFormat = FromWindowsTime(*pic, sep);
    constexpr LCTYPE kShortTime = 0x79;  // LOCALE_SSHORTTIME (Windows 7 and later)
    if (auto shortPic = LocaleString(locale, kShortTime))
      fs.ShortTimeFormat = FromWindowsTime(*shortPic, sep);
    else
      fs.ShortTimeFormat = fs.LongTimeFormat.find("AMPM") != std::string::npos ? "h:nn AMPM" : "hh:nn";
  }
  if (auto s = LocaleString(locale, LOCALE_S1159)) fs.TimeAMString = *s;
  if (auto s = LocaleString(locale, LOCALE_S2359)) fs.TimePMString = *s;
  for (int i = 0; i < 12; ++i) {
    if (auto s = LocaleString(locale, LOCALE_SABBREVMONTHNAME1 + i)) fs.ShortMonthNames[i] = *s;
    if (auto s = LocaleString(locale, LOCALE_SMONTHNAME1 + i)) fs.LongMonthNames[i] = *s;
  }
  for (int i = 0; i < 7; ++i) {
    // The locale's day names start with Monday; ours with Sunday.
    LCTYPE offset = static_cast<LCTYPE>((i + 6) % 7);
    if (auto s = LocaleString(locale, LOCALE_SABBREVDAYNAME1 + offset)) fs.ShortDayNames[i] = *s;
    if (auto s = LocaleString(locale, LOCALE_SDAYNAME1 + offset)) fs.LongDayNames[i] = *s;
  }
  return fs;
}

// Encoding

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  date = static_cast<TDateTime>(DaysFromCivil(year, month, day) - kDaysTo18991230);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 ||
      msec >= 1000)
    return false;
  time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  int64_t d;
  int ms;
  Split(date, d, ms);
  int64_t n = d + kDaysTo18991230;  // days since 0001-01-01
  if (n < 0 || n > 3652058) {
    year = month = day = 0;
    return;
  }
  // Civil date from a day count (proleptic Gregorian calendar), counting from 0000-03-01.
  int64_t z = n + 306;
  int64_t era = z / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
  int64_t d;
  int ms;
  Split(time, d, ms);
  hour = ms / 3600000;
  min = ms / 60000 % 60;
  sec = ms / 1000 % 60;
  msec = ms % 1000;
}

int DayOfWeek(TDateTime date) {
  int64_t d;
  int ms;
  Split(date, d, ms);
  // 1899-12-30 was a Saturday.
  int64_t w = (d + 6) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
  return Combine(EncodeDate(st.wYear, st.wMonth, st.wDay),
                 EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds));
}

SYSTEMTIME DateTimeToSystemTime(TDateTime dt) {
  SYSTEMTIME st{};
  int y, m, d, h, n, s, z;
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, z);
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(dt) - 1);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(n);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(z);
  return st;
}

// The clock

TDateTime Now() {
  SYSTEMTIME st;
  kernel32.GetLocalTime(&st);
  return SystemTimeToDateTime(st);
}

TDateTime Date() {
  SYSTEMTIME st;
  kernel32.GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay);
}

TDateTime Time() {
  SYSTEMTIME st;
  kernel32.GetLocalTime(&st);
  return EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

// To text

std::string FormatDateTime(const std::string& format, TDateTime dt,
                           const TFormatSettings& settings) {
  std::string out;
  Format(out, format.empty() ? std::string("c") : format, dt, settings, 0);
  return out;
}

std::string DateToStr(TDateTime dt, const TFormatSettings& settings) {
  return FormatDateTime(settings.ShortDateFormat, dt, settings);
}

std::string TimeToStr(TDateTime dt, const TFormatSettings& settings) {
  return FormatDateTime(settings.LongTimeFormat, dt, settings);
}

std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings) {
  return FormatDateTime("c", dt, settings);
}

// From text

bool TryStrToDate(const std::string& s, TDateTime& value, const TFormatSettings& settings) {
  if (ReadDate(s, settings.ShortDateFormat, settings, value)) return true;
  Scanner sc{s};
  TDateTime d;
  if (!ScanDate(sc, d, settings) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const std::string& s, TDateTime& value, const TFormatSettings& settings) {
  if (ReadTime(s, settings.LongTimeFormat, settings, value) || ReadTime(s, settings.ShortTimeFormat, settings, value))
    return true;
  Scanner sc{s};
  TDateTime t;
  if (!ScanTime(sc, t, settings) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const std::string& s, TDateTime& value, const TFormatSettings& settings) {
  {
    TFormatReader reader(s, settings);
    TDateTime d, t;
    if (reader.Read("c") && reader.AtEnd() && reader.Date(d) && reader.Time(t)) {
      value = Combine(d, t);
      return true;
    }
  }
  Scanner sc{s};
  TDateTime d, t = 0;
  if (!ScanDate(sc, d, settings)) {
    // A time alone is a time on day zero.
    Scanner timeOnly{s};
    if (!ScanTime(timeOnly, t, settings) || !timeOnly.AtEnd()) return false;
    value = t;
    return true;
  }
  if (!sc.AtEnd() && (!ScanTime(sc, t, settings) || !sc.AtEnd())) return false;
  value = Combine(d, t);
  return true;
}

TDateTime StrToDate(const std::string& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDate(s, v, settings)) throw EConvertError("'" + s + "' is not a valid date");
  return v;
}

TDateTime StrToTime(const std::string& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToTime(s, v, settings)) throw EConvertError("'" + s + "' is not a valid time");
  return v;
}

TDateTime StrToDateTime(const std::string& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, settings))
    throw EConvertError("'" + s + "' is not a valid date and time");
  return v;
}

// DOS stamps

int DateTimeToFileDate(TDateTime dt) {
  int y, m, d, h, n, s, z;
  DecodeDate(dt, y, m, d);
  if (y < 1980 || y > 2107) return 0;
  DecodeTime(dt, h, n, s, z);
  DWORD date = static_cast<DWORD>(((y - 1980) << 9) | (m << 5) | d);
  DWORD time = static_cast<DWORD>((h << 11) | (n << 5) | (s >> 1));
  return static_cast<int>((date << 16) | time);
}

TDateTime FileDateToDateTime(int fileDate) {
  DWORD v = static_cast<DWORD>(fileDate);
  WORD date = HIWORD(v), time = LOWORD(v);
  return EncodeDate((date >> 9) + 1980, (date >> 5) & 15, date & 31) +
         EncodeTime(time >> 11, (time >> 5) & 63, (time & 31) << 1, 0);
}

}  // namespace kyt
