// ShowcaseMainForm: the showcase's main form, read from its form file: a form saver that keeps
// its geometry between runs, a form hook that counts its messages, the three message dialog
// components, the form-behaviour components (explode animation, aspect ratio, size limits,
// top-most, mouse fence) and the timer that closes it. Its published methods report what happens.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H

#include <map>
#include <string>

#include "host/vcl/Forms.h"
#include "host/vcl/WinUtils.h"

namespace kyt {

class TShowcaseMainForm : public TForm {
  KYT_CLASS(TShowcaseMainForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TShowcaseMainForm>& m) {
    m.Method<&TShowcaseMainForm::MainFormClose>("MainFormClose");
    m.Method<&TShowcaseMainForm::SaverStore>("SaverStore");
    m.Method<&TShowcaseMainForm::SaverRestore>("SaverRestore");
    m.Method<&TShowcaseMainForm::MessageHookMessage>("MessageHookMessage");
    m.Method<&TShowcaseMainForm::DialogOk>("DialogOk");
    m.Method<&TShowcaseMainForm::DialogCancel>("DialogCancel");
    m.Method<&TShowcaseMainForm::CloseTimerTimer>("CloseTimerTimer");
    m.Method<&TShowcaseMainForm::ExplodeGetPoints>("ExplodeGetPoints");
  }

  explicit TShowcaseMainForm(TComponent* owner) : TForm(owner) {}

  // Unattended: the form closes itself shortly after this.
  void StartCloseTimer();
  // Prints what the form hook counted.
  void ReportMessages() const;

  // Handlers named in the form file.
  void MainFormClose(TObject* sender, TCloseAction& action);
  void SaverStore(TObject* sender);
  void SaverRestore(TObject* sender);
  void MessageHookMessage(TObject* sender, TMessage& message);
  void DialogOk(TObject* sender);
  void DialogCancel(TObject* sender);
  void CloseTimerTimer(TObject* sender);
  void ExplodeGetPoints(TObject* sender, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);

  // How many rectangles the explode animation asked for.
  int ExplodeRectangles() const { return FExplodeRectangles; }

 private:
  int FMessages = 0;
  int FExplodeRectangles = 0;
  std::map<UINT, int> FCounts;
};

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H
