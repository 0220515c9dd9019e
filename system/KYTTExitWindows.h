// KYTTExitWindows: ends the session or the machine's run on demand (log off, restart, shut down,
// power off, forced log-off), after an optional confirmation, with the shutdown privilege.
#ifndef KYT_SYSTEM_KYTTEXITWINDOWS_H
#define KYT_SYSTEM_KYTTEXITWINDOWS_H

#include <cstdint>
#include <optional>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/core/TypeInfo.h"

namespace kyt {

// What Execute asks the system to do; KYTExitFlags gives the ExitWindowsEx flags of each (the
// ordinals are not the flags).
enum TKYTExitType : uint8_t { xLogoff, xReboot, xShutDown, xPowerOff, xForce };
KYT_ENUM_INFO(TKYTExitType, "xLogoff", "xReboot", "xShutDown", "xPowerOff", "xForce")

// EWX_LOGOFF, EWX_REBOOT, EWX_SHUTDOWN, EWX_POWEROFF, or EWX_FORCE alone (a log-off that does
// not wait for applications); nothing for a value outside the enumeration (a cast or a damaged
// stored value), which Execute refuses.
std::optional<uint32_t> KYTExitFlags(TKYTExitType exitType);

// Switches the shutdown privilege on, calls ExitWindowsEx(flags, 0) and switches the privilege
// off again; true when the system accepted. On refusal GetLastError gives the refusal's own
// error code (switching the privilege off does not overwrite it).
bool KYTExitWindows(uint32_t flags);

class TKYTExitWindows : public TKYTExecuteComponent {
  KYT_CLASS(TKYTExitWindows, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTExitWindows>& p) {
    // What Execute does: log off, restart, shut down, power off or force a log-off.
    p.Property("ExitType", &TKYTExitWindows::ExitType, &TKYTExitWindows::SetExitType).Default(xLogoff);
    // The question the user must answer with Yes first while Confirm is set.
    p.Property("ConfirmMessage", &TKYTExitWindows::ConfirmMessage, &TKYTExitWindows::SetConfirmMessage)
        .StoredIf([](const TKYTExitWindows& c) { return !c.ConfirmMessage().empty(); });
    // Asks the user ConfirmMessage before ending anything.
    p.Property("Confirm", &TKYTExitWindows::Confirm, &TKYTExitWindows::SetConfirm).Default(true);
    // Fired at the start of every Execute, before the question.
    p.Property("OnExecute", &TKYTExitWindows::OnExecute, &TKYTExitWindows::SetOnExecute);
  }

  explicit TKYTExitWindows(TComponent* AOwner);

  // Properties
  TKYTExitType ExitType() const { return FExitType; }
  void SetExitType(TKYTExitType value) { FExitType = value; }
  // The question asked when Confirm is true; it does not follow ExitType by itself.
  const std::string& ConfirmMessage() const { return FConfirmMessage; }
  void SetConfirmMessage(const std::string& value) { FConfirmMessage = value; }
  bool Confirm() const { return FConfirm; }
  void SetConfirm(bool value) { FConfirm = value; }
  // Public, not published: "Error: <code>" after the system refused the last request; empty
  // until then. A later refusal replaces it.
  const std::string& LastFailure() const { return FLastFailure; }

  // Events
  // Raised at the start of every Execute, before the confirmation.
  const TNotifyEvent& OnExecute() const { return FOnExecute; }
  void SetOnExecute(const TNotifyEvent& value) { FOnExecute = value; }

  // Methods
  // OnExecute, the confirmation (Yes goes on), then the system request. On acceptance the
  // application terminates itself and the result is true; a declined question or a refusal
  // gives false. The designer's execute test carries out the real request too.
  bool Execute() override;

 private:
  TKYTExitType FExitType = xLogoff;
  std::string FConfirmMessage;
  bool FConfirm = true;
  std::string FLastFailure;
  TNotifyEvent FOnExecute;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTEXITWINDOWS_H
