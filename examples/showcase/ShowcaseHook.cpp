// ShowcaseHook: counts a form's messages through a TKYTFormHook and reports them.
#include "examples/showcase/ShowcaseHook.h"

#include <cstdio>

#include "framework/KYTTFormHook.h"
#include "host/vcl/Forms.h"

namespace kyt {

namespace {

// The form hook of the showcase: counts messages in its OnMessage handler.
class TShowcaseFormHook : public TKYTFormHook {
  KYT_CLASS(TShowcaseFormHook, TKYTFormHook)
 public:
  explicit TShowcaseFormHook(TComponent* owner) : TKYTFormHook(owner) {
    SetOnMessage(TKYTHookMessage::Bind<&TShowcaseFormHook::Count>(this));
  }
  void Report(const TForm& form) const {
    std::printf("showcase: form hook saw %d messages of %s (WM_MOVE %d, WM_SIZE %d, WM_SHOWWINDOW %d, "
                "WM_WINDOWPOSCHANGED %d, WM_ACTIVATE %d, WM_PAINT %d)\n",
                FTotal, form.Name().empty() ? form.ClassName().c_str() : form.Name().c_str(), FMove, FSize, FShow,
                FPosChanged, FActivate, FPaint);
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
      case WM_PAINT: ++FPaint; break;
    }
  }
  int FTotal = 0, FMove = 0, FSize = 0, FShow = 0, FPosChanged = 0, FActivate = 0, FPaint = 0;
};

}  // namespace

void AttachShowcaseFormHook(TForm* form) {
  auto* hook = new TShowcaseFormHook(form);
  hook->SetName("MessageHook");
}

void ReportShowcaseFormHook(TForm* form) {
  if (auto* hook = dynamic_cast<TShowcaseFormHook*>(form->FindComponent("MessageHook"))) hook->Report(*form);
}

}  // namespace kyt
