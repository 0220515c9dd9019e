// KYTTFormHook: window-procedure replacement on the owner window and the form hook.
#include "framework/KYTTFormHook.h"

#include <algorithm>
#include <vector>

#include "host/core/ComponentRef.h"
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
// Form files create the form hook by name, so the unit makes it known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTFormHook::StaticClass());
  return true;
}();

// Every hook that is installed, so that one leaving out of order can hand its place in the chain
// to the hook installed above it. Never destroyed: hooks may outlive static destruction.
std::vector<TKYTHookComponent*>& InstalledHooks() {
  static auto* hooks = new std::vector<TKYTHookComponent*>();
  return *hooks;
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
  InstalledHooks().reserve(InstalledHooks().size() + 1);  // the push below cannot throw
  FOwnerHandle = FOwnerControl->Handle();
  FOldWndProc = reinterpret_cast<WNDPROC>(os::user32.GetWindowLongPtrA(FOwnerHandle, GWLP_WNDPROC));
  FHookProc = MakeObjectInstance([this](TMessage& message) { HookProcTarget(message); });
  os::user32.SetWindowLongPtrA(FOwnerHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHookProc));
  InstalledHooks().push_back(this);
}

void TKYTHookComponent::UnhookWin() {
  if (!FHookProc) return;  // nothing of ours is installed
  auto& hooks = InstalledHooks();
  hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
  // A hook installed later on the same window calls ours: it takes our predecessor instead, so
  // the chain stays whole when hooks leave out of order (a component removed in the designer).
  // Otherwise the procedure found when hooking goes back, even onto a window that is gone.
  TKYTHookComponent* above = nullptr;
  for (TKYTHookComponent* hook : hooks)
    if (hook->FOwnerHandle == FOwnerHandle && hook->FOldWndProc == FHookProc) above = hook;
  if (above) above->FOldWndProc = FOldWndProc;
  else os::user32.SetWindowLongPtrA(FOwnerHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
  FreeObjectInstance(FHookProc);
  FHookProc = nullptr;
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

// The hook handles a message of its owner's window as much as the window procedure does: a
// Release made inside waits until the hook is done with the message.
void TKYTHookComponent::HookProcTarget(TMessage& message) {
  const TWinControl::TMessageScope scope(FOwnerControl);
  Hooked(message);
}

void TKYTFormHook::Hooked(TMessage& Message) {
  if (!FOnMessage) return inherited::Hooked(Message);
  // The handler may free this hook: the message still goes on, through the procedure taken
  // beforehand, unless the window went too.
  const WNDPROC next = FOldWndProc;
  const HWND window = FOwnerHandle;
  const TComponentRef<TKYTFormHook> self(this);
  FOnMessage(this, Message);
  if (self) return inherited::Hooked(Message);
  if (os::user32.IsWindow(window))
    Message.Result = os::user32.CallWindowProcA(next, window, Message.Msg, Message.WParam, Message.LParam);
}

}  // namespace kyt
