// KYTTIllegalAbort: raising the marker after the form is loaded and lowering it on an orderly
// destruction.
#include "persistence/KYTTIllegalAbort.h"

#include "host/core/ComponentRef.h"

namespace kyt {

namespace {

constexpr int32_t kMarkerRaised = 1;
constexpr int32_t kMarkerLowered = 0;

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTIllegalAbort::StaticClass());
  return true;
}();

}  // namespace

TKYTIllegalAbort::TKYTIllegalAbort(TComponent* AOwner) : inherited(AOwner) {
  FParamStore = new TKYTDataStore();
  FParamStore->SetErrorInt(kMarkerLowered);
}

TKYTIllegalAbort::~TKYTIllegalAbort() {
  try {
    FParamStore->WriteInt(kKYTIllegalAbortMarker, kMarkerLowered);
  } catch (...) {
    // An exception may not leave a destructor; the marker simply stays raised, and the next
    // start reports an abnormal end, which is the safer mistake.
  }
  delete FParamStore;
  FParamStore = nullptr;
}

void TKYTIllegalAbort::SetParamStore(TKYTDataStore* value) {
  if (value != FParamStore) FParamStore->Assign(value);
}

void TKYTIllegalAbort::Loaded() {
  inherited::Loaded();
  // A missing marker raises the store's OnError, whose handler may free the component too.
  const TComponentRef<TKYTIllegalAbort> self(this);
  const bool raised = FParamStore->ReadInt(kKYTIllegalAbortMarker) == kMarkerRaised;
  if (!self) return;
  if (raised && FOnIllegalAbort) {
    FOnIllegalAbort(this);
    if (!self) return;  // the handler freed the component: its marker stays as it was
  }
  FParamStore->WriteInt(kKYTIllegalAbortMarker, kMarkerRaised);
}

}  // namespace kyt
