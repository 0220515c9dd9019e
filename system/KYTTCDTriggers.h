// KYTTCDTriggers: tells the application when a medium (typically a compact disc) arrives in or
// leaves a drive, from the device-change broadcast that reaches its owner form.
#ifndef KYT_SYSTEM_KYTTCDTRIGGERS_H
#define KYT_SYSTEM_KYTTCDTRIGGERS_H

#include <cstdint>

#include "framework/KYTTFormHook.h"
#include "host/core/Events.h"

namespace kyt {

// Sender and the upper-case letter of the lowest drive the notice names.
using TKYTDeviceChangeEvent = TEvent<TObject*, char>;

// The device-change message as the handler reads it: the event code and the address of the
// broadcast header (any process can send one, so the address may be null or the record short).
struct TKYTWMDeviceChange {
  UINT Msg = 0;
  WPARAM Event = 0;
  LPARAM dbh = 0;
  LRESULT Result = 0;
};

class TKYTCDTriggers : public TKYTHookComponent {
  KYT_CLASS(TKYTCDTriggers, TKYTHookComponent)
 public:
  static void Publish(TPublisher<TKYTCDTriggers>& p) {
    // Fired when a medium arrives in a drive, with the drive's letter.
    p.Property("AfterInsert", &TKYTCDTriggers::AfterInsert, &TKYTCDTriggers::SetAfterInsert);
    // Fired when a medium leaves a drive, with the drive's letter.
    p.Property("AfterRemove", &TKYTCDTriggers::AfterRemove, &TKYTCDTriggers::SetAfterRemove);
  }

  using TKYTHookComponent::TKYTHookComponent;

  // Events
  // A medium arrived in a drive.
  const TKYTDeviceChangeEvent& AfterInsert() const { return FAfterInsert; }
  void SetAfterInsert(const TKYTDeviceChangeEvent& value) { FAfterInsert = value; }
  // A medium was removed from a drive.
  const TKYTDeviceChangeEvent& AfterRemove() const { return FAfterRemove; }
  void SetAfterRemove(const TKYTDeviceChangeEvent& value) { FAfterRemove = value; }

  // Methods
  // The letter of the lowest of drives A to Z set in a unit mask; 0 when the mask names none
  // of them.
  static char GetFirstDriveLetter(uint32_t unitMask);

 protected:
  // WM_DEVICECHANGE is handled here and not passed on (the form's procedure returns 0 for it);
  // every other message goes on to the form.
  void Hooked(TMessage& Message) override;
  // Raises AfterInsert or AfterRemove for a volume notice with the media flag. A null record,
  // or one too short for a volume notice, raises nothing.
  virtual void WMDeviceChange(TKYTWMDeviceChange& Message);

 private:
  TKYTDeviceChangeEvent FAfterInsert, FAfterRemove;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTCDTRIGGERS_H
