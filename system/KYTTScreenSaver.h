// KYTTScreenSaver: the system's screen-saver settings (enabled, idle time-out) as two live
// properties, and starting the screen saver on demand.
#ifndef KYT_SYSTEM_KYTTSCREENSAVER_H
#define KYT_SYSTEM_KYTTSCREENSAVER_H

#include <cstdint>

#include "framework/KYTSystem.h"

namespace kyt {

class TKYTScreenSaver : public TKYTExecuteComponent {
  KYT_CLASS(TKYTScreenSaver, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTScreenSaver>& p) {
    // Whether the system's screen saver is switched on; setting it switches it at once.
    p.Property("Active", &TKYTScreenSaver::Active, &TKYTScreenSaver::SetActive).Stored(TStored::Always);
    // How many idle seconds pass before the screen saver starts; setting it changes the system's
    // setting.
    p.Property("Seconds", &TKYTScreenSaver::Seconds, &TKYTScreenSaver::SetSeconds).Stored(TStored::Always);
  }

  using TKYTExecuteComponent::TKYTExecuteComponent;

  // Properties
  // Live: every read asks the system (a failed read answers false or 0), every assignment
  // tells it, in the designer too and when a form is loaded. Assignments are announced to
  // running applications but not written to the user's profile.
  bool Active() const;
  void SetActive(bool value);
  int32_t Seconds() const;
  void SetSeconds(int32_t value);

  // Methods
  // When the screen saver is enabled, sends the owner form WM_SYSCOMMAND SC_SCREENSAVE, whose
  // default handling starts it; an owner that is missing or not a form raises EInvalidCast
  // then. Returns true also when nothing was started. The designer's execute test starts it on
  // the developer's machine.
  bool Execute() override;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTSCREENSAVER_H
