// KYTTFileExecute: the shell-execute component.
#include "files/KYTTFileExecute.h"

#include <array>

#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {
// Form files create the component by name, so the unit makes it known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTFileExecute::StaticClass());
  return true;
}();

constexpr std::array<const char*, 11> kVerbs = {
    "", "open", "Print", "explore", "new", "Install", "edit", "find", "Test", "open", "Play"};

// Blocks until process is signalled, dispatching the messages other threads send to this one's
// windows meanwhile: a started program that sends to them (a broadcast, a DDE conversation) would
// otherwise wait for us while we wait for it. Posted messages stay queued.
void WaitAnsweringSentMessages(HANDLE process) {
  for (;;) {
    const DWORD woken = os::user32.MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) return;  // signalled, or the handle cannot be waited on
    MSG msg;
    os::user32.PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
}  // namespace

std::string KYTExeVerb(TKYTExeStyle style) {
  return static_cast<size_t>(style) < kVerbs.size() ? kVerbs[style] : "";
}

uint16_t KYTShowCommand(TWindowState state) {
  switch (state) {
    case wsMinimized:
      return SW_SHOWMINIMIZED;
    case wsMaximized:
      return SW_SHOWMAXIMIZED;
    case wsNormal:
    default:
      return SW_SHOWNORMAL;
  }
}

TKYTFileExecute::TKYTFileExecute(TComponent* AOwner) : TKYTExecuteComponent(AOwner) {}

void TKYTFileExecute::SetExeStyle(TKYTExeStyle value) {
  FExeStyle = value;
  FVerb = KYTExeVerb(value);
}

void TKYTFileExecute::SetWindowstate(TWindowState value) {
  if (value == FWindowstate) return;
  FShowCommand = KYTShowCommand(value);
  FWindowstate = value;
}

bool TKYTFileExecute::Execute() {
  // A zero inside a text would cut it there: the shell would start another file than named.
  for (const std::string* text : {&FFilename, &FExeParameters, &FExePath})
    if (text->find('\0') != std::string::npos) return false;
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = Application->Handle();
  info.lpVerb = FVerb.empty() ? nullptr : FVerb.c_str();
  info.lpFile = FFilename.c_str();
  info.lpParameters = FExeParameters.c_str();
  info.lpDirectory = FExePath.empty() ? nullptr : FExePath.c_str();
  info.nShow = FShowCommand;
  const bool started = os::shell32.ShellExecuteExA(&info) != FALSE;
  os::UniqueHandleObj process(started ? info.hProcess : nullptr);
  if (FWait && process) WaitAnsweringSentMessages(process.get());
  return started;
}

}  // namespace kyt
