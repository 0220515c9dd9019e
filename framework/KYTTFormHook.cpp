// KYTTFormHook: window-procedure replacement on the owner window and the form hook.
#include "framework/KYTTFormHook.h"

#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"

namespace kyt {

namespace {
// Checked before the component joins its owner, so a refused owner leaves nothing behind.
TComponent* RequireWindowedOwner(TComponent* owner) {
  if (!owner) throw EInvalidCast("Invalid class typecast: a hook component needs an owner that is a TWinControl");
  ObjectCast<TWinControl>(owner);
  return owner;
}
}  // namespace

TKYTHookComponent::TKYTHookComponent(TComponent* owner)
    : TKYTSystemsComponent(RequireWindowedOwner(owner)), FOwnerControl(ObjectCast<TWinControl>(owner)) {
  FOwnerHandle = FOwnerControl->Handle();
  HookWin();
}

TKYTHookComponent::~TKYTHookComponent() { UnhookWin(); }

void TKYTHookComponent::HookWin() {
  if (FHookProc) UnhookWin();
  FOwnerHandle = FOwnerControl->Handle();
  FOldWndProc = reinterpret_cast<WNDPROC>(os::user32.GetWindowLongPtrA(FOwnerHandle, GWLP_WNDPROC));
  FHookProc = MakeObjectInstance([this](TMessage& message) { HookProcTarget(message); });
  os::user32.SetWindowLongPtrA(FOwnerHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHookProc));
}

void TKYTHookComponent::UnhookWin() {
  os::user32.SetWindowLongPtrA(FOwnerHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
  if (FHookProc) {
    FreeObjectInstance(FHookProc);
    FHookProc = nullptr;
  }
}

void TKYTHookComponent::Loaded() {
  inherited::Loaded();
  if (FOwnerControl->Handle() != FOwnerHandle) {
    UnhookWin();
    HookWin();
  }
}

void TKYTHookComponent::Hooked(TMessage& Message) {
  Message.Result = os::user32.CallWindowProcA(FOldWndProc, FOwnerHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TKYTHookComponent::HookProcTarget(TMessage& message) { Hooked(message); }

void TKYTFormHook::Hooked(TMessage& Message) {
  FOnMessage(this, Message);
  inherited::Hooked(Message);
}

}  // namespace kyt
