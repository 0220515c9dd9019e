// KYTTApplication: copying the application's settings in, handing them and the handlers back out
// in Loaded, and taking the handlers out again when their form goes.
#include "forms/KYTTApplication.h"
#include "host/rtl/WideText.h"

namespace kyt {

namespace {

int gLiveApplications = 0;

[[noreturn]] void RefuseSecondApplication() {
  // A short string of the family: at most 255 characters.
  std::string message = "You can have one and ONLY ONE\r\n" + TKYTApplication::StaticClass().Name() +
                        " Component\r\n in a project and it must be on the Mainform";
  message = CutToWideLength(message, 255);
  throw KYTTApplication::EKYTDuplicateError(message);
}

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTApplication::StaticClass());
  return true;
}();

// Empties slot when it still holds handed; a handler set there later by code stays.
template <class Event, class Getter, class Setter>
void ClearIfStill(const Event& handed, Getter get, Setter set) {
  if (handed && (Application->*get)() == handed) (Application->*set)(Event());
}

}  // namespace

TKYTApplication::TKYTApplication(TComponent* AOwner)
    : TKYTProcessSlot(gLiveApplications, &RefuseSecondApplication),
      TKYTSystemsComponent(AOwner),
      FHintColor(ColorOf(0x0080FFFFu)) {
  FApplicationIcon = new TIcon();
  if (!Application) return;
  if (!Application->Icon()->Empty()) FApplicationIcon->Assign(Application->Icon());
  FShowHint = Application->ShowHint();
  FApplicationTitle = Application->Title();
  FHintPause = Application->HintPause();
  FHintColor = Application->HintColor();
}

TKYTApplication::~TKYTApplication() {
  if (FOwnerGoing || ComponentState().Contains(csReading)) TakeHandlersBack();
  delete FApplicationIcon;
}

void TKYTApplication::BeforeDestruction() {
  // The owner frees its components while it is marked as going; a component freed on its own
  // finds its owner whole.
  FOwnerGoing = Owner() && Owner()->ComponentState().Contains(csDestroying);
  inherited::BeforeDestruction();
}

void TKYTApplication::SetApplicationIcon(TIcon* value) {
  if (value != FApplicationIcon) FApplicationIcon->Assign(value);
}

void TKYTApplication::Loaded() {
  inherited::Loaded();
  if (!Application) return;
  Application->SetIcon(FApplicationIcon);
  Application->SetShowHint(FShowHint);
  Application->SetTitle(FApplicationTitle);
  Application->SetHintPause(FHintPause);
  Application->SetHintColor(FHintColor);
  if (ComponentState().Contains(csDesigning)) return;

  const THandlers& e = FEvents;
  if (e.OnHint) Application->SetOnHint(e.OnHint);
  if (e.OnShowHint) Application->SetOnShowHint(e.OnShowHint);
  if (e.OnActivate) Application->SetOnActivate(e.OnActivate);
  if (e.OnDeactivate) Application->SetOnDeactivate(e.OnDeactivate);
  if (e.OnException) Application->SetOnException(e.OnException);
  if (e.OnMessage) Application->SetOnMessage(e.OnMessage);
  if (e.OnHelp) Application->SetOnHelp(e.OnHelp);
  if (e.OnIdle) Application->SetOnIdle(e.OnIdle);
  if (e.OnRestore) Application->SetOnRestore(e.OnRestore);
  if (e.OnMinimize) Application->SetOnMinimize(e.OnMinimize);
  FHanded = e;
}

void TKYTApplication::TakeHandlersBack() {
  if (!Application) return;
  const THandlers& h = FHanded;
  ClearIfStill(h.OnHint, &TApplication::OnHint, &TApplication::SetOnHint);
  ClearIfStill(h.OnShowHint, &TApplication::OnShowHint, &TApplication::SetOnShowHint);
  ClearIfStill(h.OnActivate, &TApplication::OnActivate, &TApplication::SetOnActivate);
  ClearIfStill(h.OnDeactivate, &TApplication::OnDeactivate, &TApplication::SetOnDeactivate);
  ClearIfStill(h.OnException, &TApplication::OnException, &TApplication::SetOnException);
  ClearIfStill(h.OnMessage, &TApplication::OnMessage, &TApplication::SetOnMessage);
  ClearIfStill(h.OnHelp, &TApplication::OnHelp, &TApplication::SetOnHelp);
  ClearIfStill(h.OnIdle, &TApplication::OnIdle, &TApplication::SetOnIdle);
  ClearIfStill(h.OnRestore, &TApplication::OnRestore, &TApplication::SetOnRestore);
  ClearIfStill(h.OnMinimize, &TApplication::OnMinimize, &TApplication::SetOnMinimize);
  FHanded = THandlers();
}

}  // namespace kyt
