// ShowcaseDialogs: the main form's message dialog components, executed and answered by the
// showcase itself.
#include "examples/showcase/ShowcaseDialogs.h"

#include <cstdio>
#include <string>

#include "dialogs/KYTTMessages.h"
#include "examples/showcase/ShowcaseBoard.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"

namespace kyt {
namespace {

constexpr UINT kAnswerAfterMs = 150;

int gAnswered = 0;

// A thread timer keeps firing inside modal loops: it presses the default button of the modal
// form of this thread that is showing.
BOOL CALLBACK PressDefault(HWND window, LPARAM) {
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(window));
  if (!form || !form->Modal() || !os::user32.IsWindowVisible(window)) return TRUE;
  try {
    if (TWinControl* button = form->DefaultButton()) {
      ++gAnswered;
      os::user32.SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    }
  } catch (...) {
    // Nothing may unwind through the system's enumeration.
    if (Application) Application->HandleException(form);
  }
  return FALSE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
  os::user32.EnumThreadWindows(os::kernel32.GetCurrentThreadId(), &PressDefault, 0);
}

// The answering timer for as long as the dialogs run, on every path.
class TAnswerTimer {
 public:
  TAnswerTimer() : FTimer(os::user32.SetTimer(nullptr, 0, kAnswerAfterMs, &AnswerTimer)) {}
  ~TAnswerTimer() { os::user32.KillTimer(nullptr, FTimer); }
  TAnswerTimer(const TAnswerTimer&) = delete;
  TAnswerTimer& operator=(const TAnswerTimer&) = delete;

 private:
  UINT_PTR FTimer;
};

template <class T>
void ExecuteAndReport(TComponent* form, const char* name) {
  auto* dialog = ObjectCast<T>(form->FindComponent(name));
  Report(*dialog, std::string(name) + ": Execute returned " + (dialog->Execute() ? "true" : "false"));
}

}  // namespace

bool RunShowcaseDialogs(TComponent* form) {
  gAnswered = 0;
  TAnswerTimer answering;
  ExecuteAndReport<TKYTMsgBox>(form, "MsgBox1");
  ExecuteAndReport<TKYTMsgDlg>(form, "MsgDlg1");
  ExecuteAndReport<TKYTMsgSelect>(form, "MsgSelect1");
  return gAnswered == 3;
}

}  // namespace kyt
