// ShowcaseMainForm: the showcase's main form, read from its form file: a form saver that keeps
// its geometry between runs, a form hook that counts its messages, the three message dialog
// components, the system components and the timer that closes it. Its published methods report what happens.
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
    m.Method<&TShowcaseMainForm::AlarmTrigger>("AlarmTrigger");
    m.Method<&TShowcaseMainForm::AlarmNewDate>("AlarmNewDate");
    m.Method<&TShowcaseMainForm::DiscsAfterInsert>("DiscsAfterInsert");
    m.Method<&TShowcaseMainForm::DiscsAfterRemove>("DiscsAfterRemove");
    m.Method<&TShowcaseMainForm::ChimeError>("ChimeError");
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
  void AlarmTrigger(TObject* sender);
  void AlarmNewDate(TObject* sender);
  void DiscsAfterInsert(TObject* sender, char drive);
  void DiscsAfterRemove(TObject* sender, char drive);
  void ChimeError(TObject* sender);

  // Disc notices the CD triggers reported.
  int DiscNotices() const { return FDiscNotices; }

 private:
  int FMessages = 0;
  std::map<UINT, int> FCounts;
  int FDiscNotices = 0;
};

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H
