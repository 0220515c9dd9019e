// KYTTTimeTrigger: the polled alarm clock.
#include "system/KYTTTimeTrigger.h"

#include "host/core/ComponentRef.h"
#include "host/rtl/DateTime.h"
#include "host/os/OsSeam.h"
#include "host/vcl/ExtCtrls.h"

namespace kyt {

namespace {
constexpr uint32_t kTickMs = 200;

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTTimeTrigger::StaticClass());
  return true;
}();
}  // namespace

TKYTTimeTrigger::TKYTTimeTrigger(TComponent* AOwner) : inherited(AOwner) {
  FTimer = new TTimer(this);
  FTimer->SetInterval(kTickMs);
  FTimer->SetEnabled(true);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TKYTTimeTrigger::TimerCheckForTrigger>(this));
  ReadClock();
  FPreviousTime = FCurrentTime;
  FPreviousDate = FCurrentDate;
}

TKYTTimeTrigger::~TKYTTimeTrigger() {
  delete FTimer;
  FTimer = nullptr;
}

void TKYTTimeTrigger::SetCurrentTime(const std::string&) {
  FPreviousTime = FCurrentTime;
  FCurrentTime = TimeToStr(Time());
}

void TKYTTimeTrigger::SetCurrentDate(const std::string&) {
  FPreviousDate = FCurrentDate;
  FCurrentDate = DateToStr(Date());
}

void TKYTTimeTrigger::SetTriggerDate(const std::string& value) {
  FTriggerDate = value.empty() ? std::string() : DateToStr(StrToDate(value));
}

void TKYTTimeTrigger::SetTriggerTime(const std::string& value) {
  FTriggerTime = value.empty() ? std::string() : TimeToStr(StrToTime(value));
}

bool TKYTTimeTrigger::TriggerDue() const {
  if (FTriggerTime.empty() || FTriggerTime != FCurrentTime) return false;
  return FTriggerDate.empty() || FTriggerDate == FCurrentDate;
}

namespace {
// The settings the two texts are made from. Month and day names are left out: the short date
// rarely shows them, and a changed name shows from the next second on.
bool SameClockFormats(const TFormatSettings& a, const TFormatSettings& b) {
  return a.LongTimeFormat == b.LongTimeFormat && a.ShortDateFormat == b.ShortDateFormat &&
         a.TimeSeparator == b.TimeSeparator && a.DateSeparator == b.DateSeparator &&
         a.TimeAMString == b.TimeAMString && a.TimePMString == b.TimePMString;
}

bool ShowsMilliseconds(const std::string& format) {
  return format.find_first_of("zZ") != std::string::npos;
}
}  // namespace

void TKYTTimeTrigger::ReadClock() {
  SYSTEMTIME now;
  os::kernel32.GetLocalTime(&now);
  const int64_t day = (int64_t{now.wYear} * 13 + now.wMonth) * 32 + now.wDay;
  const int64_t second = ((day * 24 + now.wHour) * 60 + now.wMinute) * 60 + now.wSecond;
  const bool sameFormats = SameClockFormats(FormatSettings, FClockFormats);
  if (second == FClockSecond && sameFormats && !ShowsMilliseconds(FClockFormats.LongTimeFormat))
    return;
  const TDateTime clock = SystemTimeToDateTime(now);
  FCurrentTime = TimeToStr(clock);
  if (day != FClockSecond / 86400 || !sameFormats) FCurrentDate = DateToStr(clock);
  FClockSecond = second;
  if (!sameFormats) FClockFormats = FormatSettings;
}

void TKYTTimeTrigger::TimerCheckForTrigger(TObject*) {
  FPreviousTime = FCurrentTime;
  FPreviousDate = FCurrentDate;
  ReadClock();
  const bool due = FCheckForTrigger && TriggerDue() && FCurrentDate + ' ' + FCurrentTime != FFiredAt;
  if (!due && FCurrentTime == FPreviousTime && FCurrentDate == FPreviousDate) return;
  TComponentRef<TKYTTimeTrigger> self(this);
  if (due) {
    FCheckForTrigger = false;
    FFiredAt = FCurrentDate + ' ' + FCurrentTime;
    FOnTrigger(this);
    if (!self) return;
  }
  if (FCurrentTime != FPreviousTime) {
    FOnNewTime(this);
    if (!self) return;
  }
  if (FCurrentDate != FPreviousDate) FOnNewDate(this);
}

}  // namespace kyt
