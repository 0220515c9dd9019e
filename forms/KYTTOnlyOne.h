// KYTTOnlyOne: limits how many copies of an application run at once. Copies are recognised by
// their application windows: equal window class name and equal title.
#ifndef KYT_FORMS_KYTTONLYONE_H
#define KYT_FORMS_KYTTONLYONE_H

#include <cstdint>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/core/Exceptions.h"
#include "host/os/Win.h"

namespace kyt {

namespace KYTTOnlyOne {
// Raised by the constructor of a second TKYTOnlyOne in the process.
class EKYTDuplicateError : public Exception { using Exception::Exception; };
}  // namespace KYTTOnlyOne

// What to do when more copies than allowed are running.
enum TKYTAction : uint8_t { aRestoreAndExit, aRestore, aExit, aNone };
KYT_ENUM_INFO(TKYTAction, "aRestoreAndExit", "aRestore", "aExit", "aNone")

// Sender is the component; NoOfInstances the copies found, this one included.
using TKYTOnExceeded = TEvent<TObject*, int32_t>;

// What one count of the running copies found.
struct TKYTInstanceCount {
  int32_t Count = 0;     // windows matching this application's window, its own included
  HWND Other = nullptr;  // the last matching window of another copy met, or null
};

class TKYTOnlyOne : private TKYTProcessSlot, public TKYTSystemsComponent {
  KYT_CLASS(TKYTOnlyOne, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTOnlyOne>& p) {
    // How many copies of the application may run at once, this one included.
    p.Property("Instances", &TKYTOnlyOne::Instances, &TKYTOnlyOne::SetInstances).Default(1);
    // What happens when more copies run: bring the first one back and end this one, only one of the
    // two, or nothing.
    p.Property("OnExceed", &TKYTOnlyOne::OnExceed, &TKYTOnlyOne::SetOnExceed).Default(aRestoreAndExit);
    // Fired first when too many copies run, with their number; the handler may still change
    // OnExceed.
    p.Property("OnExceeded", &TKYTOnlyOne::OnExceeded, &TKYTOnlyOne::SetOnExceeded);
  }

  // A second one in the process raises KYTTOnlyOne::EKYTDuplicateError before it joins its owner.
  explicit TKYTOnlyOne(TComponent* AOwner);
  ~TKYTOnlyOne() override;

  // Properties
  // Most copies allowed at once, this one included.
  uint8_t Instances() const { return FInstances; }
  void SetInstances(uint8_t value) { FInstances = value; }
  TKYTAction OnExceed() const { return FOnExceed; }
  void SetOnExceed(TKYTAction value) { FOnExceed = value; }

  // Events
  // Called first when the limit is exceeded; it may still change OnExceed.
  const TKYTOnExceeded& OnExceeded() const { return FOnExceeded; }
  void SetOnExceeded(const TKYTOnExceeded& value) { FOnExceeded = value; }

  // Methods
  // Counts the running copies and, above Instances, reports and acts as OnExceed says. Ending
  // this copy goes through Halt(0): the call then does not return.
  void CheckPrevInstances();
  // The count alone: top-level windows whose class name and title equal those of this
  // application's window (neither empty).
  static TKYTInstanceCount CountInstances();

 protected:
  // Checks at once when read from a form at run time; never in the designing state.
  void Loaded() override;

 private:
  // Brings the other copy's window to the top, restored when minimised, else to the foreground.
  static void BringBack(HWND other);

  uint8_t FInstances = 1;
  TKYTAction FOnExceed = aRestoreAndExit;
  TKYTOnExceeded FOnExceeded;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTONLYONE_H
