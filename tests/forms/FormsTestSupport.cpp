// FormsTestSupport: the application-state guard and small helpers.
#include "tests/forms/FormsTestSupport.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TFormsTestForm::StaticClass());
  return true;
}();
}  // namespace

TApplicationState::TApplicationState()
    : FTitle(Application->Title()),
      FShowHint(Application->ShowHint()),
      FHintColor(Application->HintColor()),
      FHintPause(Application->HintPause()),
      FWindowVisible(::IsWindowVisible(Application->Handle()) != FALSE),
      FOnActivate(Application->OnActivate()),
      FOnDeactivate(Application->OnDeactivate()),
      FOnHint(Application->OnHint()),
      FOnMinimize(Application->OnMinimize()),
      FOnRestore(Application->OnRestore()),
      FOnException(Application->OnException()),
      FOnHelp(Application->OnHelp()),
      FOnIdle(Application->OnIdle()),
      FOnMessage(Application->OnMessage()),
      FOnShowHint(Application->OnShowHint()) {
  FIcon.Assign(Application->Icon());
}

TApplicationState::~TApplicationState() {
  // Events first, so that restoring the window calls no handler of the test.
  Application->SetOnActivate(FOnActivate);
  Application->SetOnDeactivate(FOnDeactivate);
  Application->SetOnHint(FOnHint);
  Application->SetOnMinimize(FOnMinimize);
  Application->SetOnRestore(FOnRestore);
  Application->SetOnException(FOnException);
  Application->SetOnHelp(FOnHelp);
  Application->SetOnIdle(FOnIdle);
  Application->SetOnMessage(FOnMessage);
  Application->SetOnShowHint(FOnShowHint);
  if (Application->Minimized()) Application->Restore();
  HWND window = Application->Handle();
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  if (!FWindowVisible && ::IsWindowVisible(window)) ::ShowWindow(window, SW_HIDE);
  if (FWindowVisible && !::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOWNOACTIVATE);
  Application->SetTitle(FTitle);
  Application->SetIcon(&FIcon);
  Application->SetShowHint(FShowHint);
  Application->SetHintColor(FHintColor);
  Application->SetHintPause(FHintPause);
}

std::string UniqueTitle(const std::string& prefix) {
  static int serial = 0;
  return prefix + " " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) + "-" +
         std::to_string(++serial);
}

HICON CopyOfSystemIcon(LPCSTR id) { return ::CopyIcon(::LoadIconA(nullptr, id)); }

}  // namespace kyt
