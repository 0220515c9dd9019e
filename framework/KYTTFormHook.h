// KYTTFormHook: the window-message hook base (TKYTHookComponent), which replaces its owner
// window's procedure with one that calls the virtual Hooked for every message, and the form
// hook (TKYTFormHook), which hands every message to an event.
#ifndef KYT_FRAMEWORK_KYTTFORMHOOK_H
#define KYT_FRAMEWORK_KYTTFORMHOOK_H

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/os/Win.h"
#include "host/vcl/Controls.h"
#include "host/vcl/WinUtils.h"

namespace kyt {

// Base of every component that watches its owner form's messages. Hooked from the end of its
// construction until its destructor runs; Loaded hooks again when streaming recreated the
// owner's window. Several hooks on one window chain: the latest sees each message first.
class TKYTHookComponent : public TKYTSystemsComponent {
  KYT_CLASS(TKYTHookComponent, TKYTSystemsComponent)
 public:
  // Hooks the owner's window at once (creating it if needed), in the designer too. An owner
  // that is missing or not a windowed control raises EInvalidCast before anything is created.
  explicit TKYTHookComponent(TComponent* owner);
  // Unhooks, then destroys as a component.
  ~TKYTHookComponent() override;

  // Methods
  // Installs the hook on the owner's current window. Not an error while hooked: the old hook
  // is removed first, so one component never sits twice in a chain.
  void HookWin();
  // Puts back the procedure found when hooking (failures, such as a destroyed window, are
  // ignored) and releases the hook procedure. When another hook component was installed on the
  // window later, that one is handed the procedure instead, so the chain stays whole. Not an
  // error when not hooked: nothing happens.
  void UnhookWin();

 protected:
  // Re-hooks when the owner's window handle changed while the form was streamed.
  void Loaded() override;
  // Called for every message of the owner's window while hooked. The base passes the record's
  // current Msg, WParam and LParam to the previous procedure and stores its result in Result.
  // Overrides call the inherited Hooked for every message they do not consume.
  virtual void Hooked(TMessage& Message);

  TWinControl* FOwnerControl = nullptr;  // the owner as a windowed control (not owned)
  HWND FOwnerHandle = nullptr;           // the owner's window when last hooked
  WNDPROC FOldWndProc = nullptr;         // the procedure this hook replaced
  WNDPROC FHookProc = nullptr;           // this hook's procedure (an object instance); null when unhooked

 private:
  // The thunk's target: a virtual call, so the most-derived Hooked runs once construction is
  // complete (messages arriving while a subclass is still being constructed pass straight on).
  void HookProcTarget(TMessage& message);
};

// Event type of TKYTFormHook::OnMessage; the handler may change the record.
using TKYTHookMessage = TEvent<TObject*, TMessage&>;

// The plain form of the hook: every message goes to OnMessage, then on to the form. The handler
// can change Msg, WParam and LParam before the form sees them; the form's result always
// replaces any Result it sets.
class TKYTFormHook : public TKYTHookComponent {
  KYT_CLASS(TKYTFormHook, TKYTHookComponent)
 public:
  static void Publish(TPublisher<TKYTFormHook>& p) {
    // Fired for every message of the owner form before the form handles it; the handler may change
    // Msg, WParam and LParam.
    p.Property("OnMessage", &TKYTFormHook::OnMessage, &TKYTFormHook::SetOnMessage);
  }

  using TKYTHookComponent::TKYTHookComponent;

  // Events
  const TKYTHookMessage& OnMessage() const { return FOnMessage; }
  void SetOnMessage(const TKYTHookMessage& value) { FOnMessage = value; }

 protected:
  void Hooked(TMessage& Message) override;

 private:
  TKYTHookMessage FOnMessage;
};

}  // namespace kyt

#endif  // KYT_FRAMEWORK_KYTTFORMHOOK_H
