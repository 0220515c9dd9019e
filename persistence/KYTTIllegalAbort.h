// KYTTIllegalAbort: tells the application at start-up that its previous run did not end in
// order, through a marker kept in an embedded data store.
#ifndef KYT_PERSISTENCE_KYTTILLEGALABORT_H
#define KYT_PERSISTENCE_KYTTILLEGALABORT_H

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "persistence/KYTTStoreData.h"

namespace kyt {

// The marker's value name in the active section of ParamStore: 1 while running, 0 after an
// orderly end.
inline constexpr const char* kKYTIllegalAbortMarker = "IllegalAbort";

// Raises the marker when its form has been loaded and lowers it when destroyed in order; a
// marker found raised at load fires OnIllegalAbort. Kept as designed, so do not "fix" them:
// the marker's read at every normal start fires ParamStore.OnError (0 is ErrorInt, the error
// value), two copies of one application with the same store settings share one marker, and
// the designer raises and lowers the marker too.
class TKYTIllegalAbort : public TKYTSystemsComponent {
  KYT_CLASS(TKYTIllegalAbort, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTIllegalAbort>& p) {
    // Where the running marker is kept: the registry key or ini file of the application.
    p.Property("ParamStore", &TKYTIllegalAbort::ParamStore, &TKYTIllegalAbort::SetParamStore);
    // Fired when the form loads if the previous run of the application did not end in order.
    p.Property("OnIllegalAbort", &TKYTIllegalAbort::OnIllegalAbort,
               &TKYTIllegalAbort::SetOnIllegalAbort);
  }

  explicit TKYTIllegalAbort(TComponent* AOwner);
  // Lowers the marker. A store that cannot be written here (a read-only ini file, a key that
  // cannot be created) leaves the marker raised instead of ending the process.
  ~TKYTIllegalAbort() override;

  // Properties
  // Owned, with ErrorInt 0; its setter copies the settings given.
  TKYTDataStore* ParamStore() const { return FParamStore; }
  void SetParamStore(TKYTDataStore* value);

  // Events
  // Fired from Loaded, with Sender = this component, when the marker was found raised.
  TNotifyEvent OnIllegalAbort() const { return FOnIllegalAbort; }
  void SetOnIllegalAbort(TNotifyEvent value) { FOnIllegalAbort = value; }

  // Methods
  // Reads the marker (firing OnIllegalAbort when it is 1), then raises it. Errors of the store
  // and of the handler propagate.
  void Loaded() override;

 private:
  TKYTDataStore* FParamStore = nullptr;
  TNotifyEvent FOnIllegalAbort;
};

}  // namespace kyt

#endif  // KYT_PERSISTENCE_KYTTILLEGALABORT_H
