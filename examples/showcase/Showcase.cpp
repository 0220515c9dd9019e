// Showcase.cpp: the showcase application. A main form on the runtime's TApplication is created,
// shown and closed by its own timer, reporting each step on standard output; it grows with every
// component.
#include <cstdio>

#include "examples/showcase/ShowcaseDialogs.h"
#include "examples/showcase/ShowcaseHook.h"
#include "examples/showcase/ShowcaseSettings.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"

namespace kyt {
namespace {

constexpr uint32_t kCloseAfterMs = 300;

void Report(const char* what) {
  std::printf("showcase: %s\n", what);
  std::fflush(stdout);
}

// The main form: closes itself through its timer once started, which ends the application.
class TShowcaseMainForm : public TForm {
  KYT_CLASS(TShowcaseMainForm, TForm)
 public:
  explicit TShowcaseMainForm(TComponent* owner) : TForm(owner), FCloseTimer(new TTimer(this)) {
    SetCaption("Showcase");
    SetBounds(120, 120, 640, 480);
    SetOnClose(TCloseEvent::Bind<&TShowcaseMainForm::FormClose>(this));
    FCloseTimer->SetEnabled(false);
    FCloseTimer->SetInterval(kCloseAfterMs);
    FCloseTimer->SetOnTimer(TNotifyEvent::Bind<&TShowcaseMainForm::CloseTimer>(this));
  }
  // Unattended: the form closes itself shortly after this.
  void StartCloseTimer() { FCloseTimer->SetEnabled(true); }

 private:
  void CloseTimer(TObject*) {
    FCloseTimer->SetEnabled(false);
    Close();
  }
  void FormClose(TObject*, TCloseAction&) { Report("main form closed"); }

  TTimer* FCloseTimer;
};

int Run() {
  Application->SetTitle("Showcase");
  TShowcaseMainForm* form = nullptr;
  try {
    Application->CreateForm(form);
    form->HandleNeeded();
  } catch (const Exception& e) {
    Report("main form could not be created (is there a display?)");
    std::printf("showcase: %s\n", e.Message().c_str());
    return 1;
  }
  Report("main form created");
  AttachShowcaseFormHook(form);  // counts the messages the main form receives from here on
  form->Show();
  Report("main form shown");
  if (!RunShowcaseFormSaver()) Report("the settings form could not be shown");
  TComponent mainFormComponents(nullptr);  // owns the components placed on the main form
  if (!RunShowcaseDialogs(&mainFormComponents)) Report("a message dialog was not answered");

  form->StartCloseTimer();
  Application->Run();  // closing the main form terminates the application
  ReportShowcaseFormHook(form);
  return 0;
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Run(); }
