// KYTTSystemKeys: reads and switches the Caps Lock, Num Lock and Scroll Lock states of the
// calling thread's keyboard-state table. The states are read once, at construction.
#ifndef KYT_SYSTEM_KYTTSYSTEMKEYS_H
#define KYT_SYSTEM_KYTTSYSTEMKEYS_H

#include "framework/KYTSystem.h"

namespace kyt {

class TKYTSystemKeys : public TKYTSystemsComponent {
  KYT_CLASS(TKYTSystemKeys, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTSystemKeys>& p) {
    // Whether Caps Lock is on; setting it switches the key.
    p.Property("CapsLock", &TKYTSystemKeys::CapsLock, &TKYTSystemKeys::SetCapsLock).Stored(TStored::Never);
    // Whether Num Lock is on; setting it switches the key.
    p.Property("NumLock", &TKYTSystemKeys::NumLock, &TKYTSystemKeys::SetNumLock).Stored(TStored::Never);
    // Whether Scroll Lock is on; setting it switches the key.
    p.Property("ScrollLock", &TKYTSystemKeys::ScrollLock, &TKYTSystemKeys::SetScrollLock).Stored(TStored::Never);
  }

  // Reads the three lock states (each on by its toggle bit). A failed read leaves them off.
  explicit TKYTSystemKeys(TComponent* AOwner);

  // Properties
  // The value last read or set; reading does not ask the platform again, and none is stored
  // with the form, so loading a form never switches a lock. Setting one rewrites the whole
  // table (also when the value is unchanged) with the key's toggle bit as given and its
  // held-down bit clear; when the table cannot be read nothing is written, but the property
  // still takes the value.
  bool CapsLock() const { return FCapsLock; }
  void SetCapsLock(bool value);
  bool NumLock() const { return FNumLock; }
  void SetNumLock(bool value);
  bool ScrollLock() const { return FScrollLock; }
  void SetScrollLock(bool value);

 private:
  static void WriteLock(int virtualKey, bool on);

  bool FCapsLock = false;
  bool FNumLock = false;
  bool FScrollLock = false;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTSYSTEMKEYS_H
