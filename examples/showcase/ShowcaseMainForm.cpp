// ShowcaseMainForm: the handlers of the showcase's main form, each reporting on standard output.
#include "examples/showcase/ShowcaseMainForm.h"

#include <cstdio>

#include "dialogs/KYTTMessages.h"
#include "framework/KYTTFormHook.h"
#include "host/vcl/ExtCtrls.h"
#include "persistence/KYTTFormSaver.h"

namespace kyt {

namespace {

void Report(const std::string& what) {
  std::printf("showcase: %s\n", what.c_str());
  std::fflush(stdout);
}

std::string BoundsOf(const TControl& control) {
  return std::to_string(control.Left()) + "," + std::to_string(control.Top()) + ", " +
         std::to_string(control.Width()) + "x" + std::to_string(control.Height());
}

}  // namespace

void TShowcaseMainForm::StartCloseTimer() {
  ObjectCast<TTimer>(FindComponent("CloseTimer"))->SetEnabled(true);
}

void TShowcaseMainForm::ReportMessages() const {
  const auto count = [&](UINT msg) {
    auto it = FCounts.find(msg);
    return it == FCounts.end() ? 0 : it->second;
  };
  std::printf("showcase: form hook saw %d messages of %s (WM_MOVE %d, WM_SIZE %d, WM_SHOWWINDOW %d, "
              "WM_WINDOWPOSCHANGED %d, WM_ACTIVATE %d, WM_PAINT %d)\n",
              FMessages, Name().c_str(), count(WM_MOVE), count(WM_SIZE), count(WM_SHOWWINDOW),
              count(WM_WINDOWPOSCHANGED), count(WM_ACTIVATE), count(WM_PAINT));
  std::fflush(stdout);
}

void TShowcaseMainForm::MainFormClose(TObject*, TCloseAction&) { Report("main form closed"); }

void TShowcaseMainForm::SaverStore(TObject*) {
  Report("form saver stores every form; the main form at " + BoundsOf(*this) +
         " under HKCU\\Software\\KYT\\Showcase");
}

void TShowcaseMainForm::SaverRestore(TObject*) {
  auto* saver = ObjectCast<TKYTFormSaver>(FindComponent("Saver"));
  const bool stored = saver->ReadInt("TShowcaseMainForm_Left", -1) != -1;
  Report("form saver restored the main form at " + BoundsOf(*this) +
         (stored ? " (where the last run left it)" : " (nothing stored yet: its designed bounds)"));
}

void TShowcaseMainForm::MessageHookMessage(TObject*, TMessage& message) {
  ++FMessages;
  ++FCounts[message.Msg];
}

void TShowcaseMainForm::DialogOk(TObject* sender) {
  auto* component = static_cast<TComponent*>(sender);
  std::string text = component->Name() + ": OnOk";
  if (auto* query = dynamic_cast<TKYTMsgDlg*>(component)) text += ", Return = '" + query->Return() + "'";
  if (auto* select = dynamic_cast<TKYTMsgSelect*>(component)) text += ", Return = '" + select->Return() + "'";
  Report(text);
}

void TShowcaseMainForm::DialogCancel(TObject* sender) {
  Report(static_cast<TComponent*>(sender)->Name() + ": OnCancel");
}

void TShowcaseMainForm::ExplodeGetPoints(TObject*, int32_t& left, int32_t& top, int32_t& right,
                                         int32_t& bottom) {
  // Called twice per show: once before the outlines grow, once before they are erased.
  if (++FExplodeRectangles % 2 == 1)
    Report("explode animation: the main form grows on the screen from (" + std::to_string(left) + ", " +
           std::to_string(top) + ", " + std::to_string(right) + ", " + std::to_string(bottom) + ")");
}

void TShowcaseMainForm::CloseTimerTimer(TObject* sender) {
  static_cast<TTimer*>(sender)->SetEnabled(false);
  Close();
}

}  // namespace kyt
