// KYTTTimeTrigger: the polled alarm clock.
#include "system/KYTTTimeTrigger.h"

#include "host/core/ComponentRef.h"
#include "host/rtl/DateTime.h"
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
  FCurrentTime = TimeToStr(Time());
  FCurrentDate = DateToStr(Date());
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

void TKYTTimeTrigger::TimerCheckForTrigger(TObject*) {
  SetCurrentTime(FCurrentTime);
  SetCurrentDate(FCurrentDate);
  TComponentRef<TKYTTimeTrigger> self(this);
  const std::string now = FCurrentDate + ' ' + FCurrentTime;
  if (FCheckForTrigger && TriggerDue() && now != FFiredAt) {
    FCheckForTrigger = false;
    FFiredAt = now;
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
