// ShowcaseDialogs: the message dialog components of the showcase, answered by the showcase.
#include "examples/showcase/ShowcaseDialogs.h"

#include <cstdio>
#include <string>

#include "dialogs/KYTTMessages.h"
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

void Report(const std::string& what) {
  std::printf("showcase: %s\n", what.c_str());
  std::fflush(stdout);
}

// Prints which event each dialog component raised.
class TDialogReporter {
 public:
  void BoxOk(TObject* sender) { Report(Name(sender) + ": OnOk"); }
  void BoxCancel(TObject* sender) { Report(Name(sender) + ": OnCancel"); }
  void QueryOk(TObject* sender) {
    Report(Name(sender) + ": OnOk, Return = '" + static_cast<TKYTMsgDlg*>(sender)->Return() + "'");
  }
  void SelectOk(TObject* sender) {
    Report(Name(sender) + ": OnOk, Return = '" + static_cast<TKYTMsgSelect*>(sender)->Return() +
           "'");
  }
  void Cancelled(TObject* sender) { Report(Name(sender) + ": OnCancel"); }

 private:
  static std::string Name(TObject* sender) { return static_cast<TComponent*>(sender)->Name(); }
};

}  // namespace

bool RunShowcaseDialogs(TComponent* owner) {
  static TDialogReporter reporter;
  auto* box = new TKYTMsgBox(owner);
  box->SetName("MsgBox1");
  box->Caption()->Add("The showcase shows a message box.");
  box->Caption()->Add("It is answered with its default button.");
  box->SetMessageType(mtConfirmation);
  box->SetSound(bQuestion);
  box->SetOnOk(TNotifyEvent::Bind<&TDialogReporter::BoxOk>(&reporter));
  box->SetOnCancel(TNotifyEvent::Bind<&TDialogReporter::BoxCancel>(&reporter));

  auto* query = new TKYTMsgDlg(owner);
  query->SetName("MsgDlg1");
  query->SetHeader("Showcase query");
  query->SetQuestion("Your name:");
  query->SetReturn("Showcase user");
  query->SetOnOk(TNotifyEvent::Bind<&TDialogReporter::QueryOk>(&reporter));
  query->SetOnCancel(TNotifyEvent::Bind<&TDialogReporter::Cancelled>(&reporter));

  auto* select = new TKYTMsgSelect(owner);
  select->SetName("MsgSelect1");
  select->SetHeader("Showcase selection");
  select->SetQuestion("Pick a fruit:");
  for (const char* fruit : {"pear", "apple", "plum"}) select->Items()->Add(fruit);
  select->SetSorted(true);
  select->SetReturn("plum");
  select->SetOnOk(TNotifyEvent::Bind<&TDialogReporter::SelectOk>(&reporter));
  select->SetOnCancel(TNotifyEvent::Bind<&TDialogReporter::Cancelled>(&reporter));

  gAnswered = 0;
  const UINT_PTR timer = os::user32.SetTimer(nullptr, 0, kAnswerAfterMs, &AnswerTimer);
  Report(std::string("MsgBox1: Execute returned ") + (box->Execute() ? "true" : "false"));
  Report(std::string("MsgDlg1: Execute returned ") + (query->Execute() ? "true" : "false"));
  Report(std::string("MsgSelect1: Execute returned ") + (select->Execute() ? "true" : "false"));
  os::user32.KillTimer(nullptr, timer);
  return gAnswered == 3;
}

}  // namespace kyt
