// KYTTTimeTrigger: an alarm clock polled every 200 ms. It keeps the time and date as locale
// text, reports when either changes, and raises OnTrigger once when the clock reaches the
// trigger time, every day or on one date.
#ifndef KYT_SYSTEM_KYTTTIMETRIGGER_H
#define KYT_SYSTEM_KYTTTIMETRIGGER_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/rtl/DateTime.h"
#include "host/core/Events.h"

namespace kyt {

class TTimer;

class TKYTTimeTrigger : public TKYTSystemsComponent {
  KYT_CLASS(TKYTTimeTrigger, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTTimeTrigger>& p) {
    // The time now, as the locale writes it.
    p.Property("CurrentTime", &TKYTTimeTrigger::CurrentTime, &TKYTTimeTrigger::SetCurrentTime);
    // The date now, as the locale writes it.
    p.Property("CurrentDate", &TKYTTimeTrigger::CurrentDate, &TKYTTimeTrigger::SetCurrentDate);
    // The date the alarm goes off on; empty for every day.
    p.Property("TriggerDate", &TKYTTimeTrigger::TriggerDate, &TKYTTimeTrigger::SetTriggerDate);
    // The time the alarm goes off; empty for no alarm.
    p.Property("TriggerTime", &TKYTTimeTrigger::TriggerTime, &TKYTTimeTrigger::SetTriggerTime);
    // Arms the alarm; cleared when the alarm goes off, so it goes off once.
    p.Property("CheckForTrigger", &TKYTTimeTrigger::CheckForTrigger, &TKYTTimeTrigger::SetCheckForTrigger);
    // Fired when the clock reaches TriggerTime (on TriggerDate, when one is set) while armed.
    p.Property("OnTrigger", &TKYTTimeTrigger::OnTrigger, &TKYTTimeTrigger::SetOnTrigger);
    // Fired when the time text changes.
    p.Property("OnNewTime", &TKYTTimeTrigger::OnNewTime, &TKYTTimeTrigger::SetOnNewTime);
    // Fired when the date changes.
    p.Property("OnNewDate", &TKYTTimeTrigger::OnNewDate, &TKYTTimeTrigger::SetOnNewDate);
  }

  // Starts the 200 ms clock at once (in the designer too) and reads the time and date.
  explicit TKYTTimeTrigger(TComponent* AOwner);
  // Stops the clock: no event follows.
  ~TKYTTimeTrigger() override;

  // Properties
  // The clock's text at the last tick. Assigning any text reads the clock again instead, so a
  // loaded form always starts with the present time and date.
  const std::string& CurrentTime() const { return FCurrentTime; }
  void SetCurrentTime(const std::string& value);
  const std::string& CurrentDate() const { return FCurrentDate; }
  void SetCurrentDate(const std::string& value);
  // Empty means every day. Other text is converted (EConvertError when it is no date, and the
  // old value stays) and kept in the locale's short date form.
  const std::string& TriggerDate() const { return FTriggerDate; }
  void SetTriggerDate(const std::string& value);
  // Empty means no trigger. Other text is converted and kept in the locale's long time form,
  // the form CurrentTime has (14:30 becomes 14:30:00).
  const std::string& TriggerTime() const { return FTriggerTime; }
  void SetTriggerTime(const std::string& value);
  // Armed; the tick that finds the trigger due clears it before raising OnTrigger.
  bool CheckForTrigger() const { return FCheckForTrigger; }
  void SetCheckForTrigger(bool value) { FCheckForTrigger = value; }

  // Events
  const TNotifyEvent& OnTrigger() const { return FOnTrigger; }
  void SetOnTrigger(const TNotifyEvent& value) { FOnTrigger = value; }
  const TNotifyEvent& OnNewTime() const { return FOnNewTime; }
  void SetOnNewTime(const TNotifyEvent& value) { FOnNewTime = value; }
  const TNotifyEvent& OnNewDate() const { return FOnNewDate; }
  void SetOnNewDate(const TNotifyEvent& value) { FOnNewDate = value; }

  // Methods
  // One tick of the clock: reads the time and date, raises OnTrigger when due and armed, then
  // OnNewTime and OnNewDate when their texts changed. A handler may free the component; the
  // tick then stops at once.
  void TimerCheckForTrigger(TObject* Sender);
  // The clock that drives the ticks (owned).
  TTimer* Timer() const { return FTimer; }

 private:
  bool TriggerDue() const;
  // Reads the clock once for both texts (read apart, a tick at midnight could pair the new date
  // with the old time), and formats them again only when the second or the formats changed:
  // four ticks in five fall in the second before them.
  void ReadClock();

  TTimer* FTimer = nullptr;
  std::string FCurrentTime, FCurrentDate;
  // The second the texts were formatted for (-1: none yet), and the formats they were made with.
  int64_t FClockSecond = -1;
  TFormatSettings FClockFormats;
  std::string FPreviousTime, FPreviousDate;
  std::string FTriggerDate, FTriggerTime;
  bool FCheckForTrigger = false;
  // The date and time text of the last firing: a handler that re-arms the trigger in its own
  // second is not called again on the next tick of that second.
  std::string FFiredAt;
  TNotifyEvent FOnTrigger, FOnNewTime, FOnNewDate;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTTIMETRIGGER_H
