// KYTTTopMost: the owner form's place in the top-most window layer.
#include "forms/KYTTTopMost.h"

#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTTopMost::StaticClass());
  return true;
}();
}  // namespace

TKYTTopMost::TKYTTopMost(TComponent* AOwner) : inherited(AOwner) {}

TKYTTopMost::~TKYTTopMost() {
  FActive = false;
  if (ComponentState().Contains(csDesigning)) return;
  auto* form = dynamic_cast<TForm*>(Owner());
  if (form && form->HandleAllocated()) ApplyLayer(false);
}

void TKYTTopMost::Loaded() {
  inherited::Loaded();
  SetActive(FActive);
}

void TKYTTopMost::SetActive(bool value) {
  FActive = value;
  if (ComponentState().Contains(csDesigning)) return;
  ApplyLayer(value);
}

void TKYTTopMost::ApplyLayer(bool topMost) {
  auto* form = dynamic_cast<TForm*>(Owner());
  if (!form) return;
  os::user32.SetWindowPos(form->Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace kyt
