// KYTTExitWindows: the privileged session-end request and the component around it.
#include "system/KYTTExitWindows.h"

#include "host/core/ComponentRef.h"
#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/Dialogs.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTExitWindows::StaticClass());
  return true;
}();

// Switches one privilege of the process token on or off; true when the adjustment succeeded.
// A token that cannot be opened is neither used nor closed.
bool SwitchPrivilege(const char* name, bool enable) {
  HANDLE opened = nullptr;
  if (!os::advapi32.OpenProcessToken(os::kernel32.GetCurrentProcess(),
                                     TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened))
    return false;  // whatever the call left in opened is not a handle of ours
  const os::UniqueHandleObj token(opened);
  TOKEN_PRIVILEGES wanted{};
  if (!os::advapi32.LookupPrivilegeValueA(nullptr, name, &wanted.Privileges[0].Luid)) return false;
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  TOKEN_PRIVILEGES previous{};
  DWORD previousLength = 0;
  return os::advapi32.AdjustTokenPrivileges(token.get(), FALSE, &wanted, sizeof previous, &previous,
                                            &previousLength) != FALSE;
}
}  // namespace

std::optional<uint32_t> KYTExitFlags(TKYTExitType exitType) {
  switch (exitType) {
    case xLogoff: return EWX_LOGOFF;
    case xReboot: return EWX_REBOOT;
    case xShutDown: return EWX_SHUTDOWN;
    case xPowerOff: return EWX_POWEROFF;
    case xForce: return EWX_FORCE;
  }
  return std::nullopt;
}

bool KYTExitWindows(uint32_t flags) {
  SwitchPrivilege(SE_SHUTDOWN_NAME, true);
  const bool accepted = os::user32.ExitWindowsEx(flags, 0) != FALSE;
  // Taken at once: the privilege calls below set the last error on every path.
  const DWORD refusal = os::kernel32.GetLastError();
  SwitchPrivilege(SE_SHUTDOWN_NAME, false);
  os::kernel32.SetLastError(refusal);
  return accepted;
}

TKYTExitWindows::TKYTExitWindows(TComponent* AOwner)
    : inherited(AOwner), FConfirmMessage("Are you sure you want to Logoff ?") {}

bool TKYTExitWindows::Execute() {
  // The handler and the question's modal loop may free the component: nothing is asked or
  // requested for a component that is gone.
  TComponentRef<TKYTExitWindows> self(this);
  FOnExecute(this);
  if (!self) return false;
  if (FConfirm) {
    const std::string question = FConfirmMessage;
    if (MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) != mrYes || !self)
      return false;
  }
  const std::optional<uint32_t> flags = KYTExitFlags(FExitType);
  if (!flags) {
    FLastFailure = "Error: " + std::to_string(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (!KYTExitWindows(*flags)) {
    FLastFailure = "Error: " + std::to_string(os::kernel32.GetLastError());
    return false;
  }
  Application->Terminate();
  return true;
}

}  // namespace kyt
