// ShowcaseHook: counts a form's messages through a TKYTFormHook and reports them.
#include "examples/showcase/ShowcaseHook.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "framework/KYTTFormHook.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"

namespace kyt {

namespace {

// The form hook of the showcase: counts messages in OnMessage, reports in its destructor.
class TShowcaseFormHook : public TKYTFormHook {
  KYT_CLASS(TShowcaseFormHook, TKYTFormHook)
 public:
  explicit TShowcaseFormHook(TComponent* owner) : TKYTFormHook(owner), FForm(owner->Name()) {
    SetOnMessage(TKYTHookMessage::Bind<&TShowcaseFormHook::Count>(this));
  }
  ~TShowcaseFormHook() override {
    std::printf("showcase: form hook saw %d messages of %s (WM_MOVE %d, WM_SIZE %d, WM_SHOWWINDOW %d, "
                "WM_WINDOWPOSCHANGED %d, WM_ACTIVATE %d, WM_GETMINMAXINFO %d)\n",
                FTotal, FForm.c_str(), FMove, FSize, FShow, FPosChanged, FActivate, FMinMax);
    std::fflush(stdout);
  }

 private:
  void Count(TObject*, TMessage& message) {
    ++FTotal;
    switch (message.Msg) {
      case WM_MOVE: ++FMove; break;
      case WM_SIZE: ++FSize; break;
      case WM_SHOWWINDOW: ++FShow; break;
      case WM_WINDOWPOSCHANGED: ++FPosChanged; break;
      case WM_ACTIVATE: ++FActivate; break;
      case WM_GETMINMAXINFO: ++FMinMax; break;
    }
  }
  int FTotal = 0, FMove = 0, FSize = 0, FShow = 0, FPosChanged = 0, FActivate = 0, FMinMax = 0;
  std::string FForm;
};

class TShowcaseHookedForm : public TForm {
  KYT_CLASS(TShowcaseHookedForm, TForm)
 public:
  explicit TShowcaseHookedForm(TComponent* owner) : TForm(owner) {}
};

}  // namespace

void AttachShowcaseFormHook(TForm* form) {
  auto* hook = new TShowcaseFormHook(form);
  hook->SetName("MessageHook");
}

bool RunShowcaseFormHook() {
  try {
    std::unique_ptr<TShowcaseHookedForm> form(new TShowcaseHookedForm(Application));
    form->SetName("HookedForm");
    form->SetCaption("Showcase form hook");
    AttachShowcaseFormHook(form.get());
    form->Show();
    static_cast<TControl*>(form.get())->SetBounds(180, 150, 360, 240);
    static_cast<TControl*>(form.get())->SetBounds(200, 170, 400, 260);
    Application->ProcessMessages();
    form->Close();
    Application->ProcessMessages();
    return true;  // the hook reports when the form frees it
  } catch (const std::exception& e) {
    std::printf("showcase: form hook failed: %s\n", e.what());
    return false;
  }
}

}  // namespace kyt
