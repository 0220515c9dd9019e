// ConsumerMainForm: the example's main form, read from its form file: a string holder, the
// details of this executable's version record, a form hook counting the form's messages (named by
// the form file only) and the timer that closes the form once the message loop runs.
#ifndef KYT_CONSUMER_CONSUMERMAINFORM_H
#define KYT_CONSUMER_CONSUMERMAINFORM_H

#include "host/vcl/Forms.h"
#include "host/vcl/WinUtils.h"

namespace consumer {

class TConsumerMainForm : public kyt::TForm {
  KYT_CLASS(TConsumerMainForm, kyt::TForm)
 public:
  static void PublishMethods(kyt::TMethodPublisher<TConsumerMainForm>& m) {
    m.Method<&TConsumerMainForm::WatchMessage>("WatchMessage");
    m.Method<&TConsumerMainForm::CloseTimerTimer>("CloseTimerTimer");
  }

  explicit TConsumerMainForm(kyt::TComponent* owner) : kyt::TForm(owner) {}

  // Unattended: the form closes itself once the message loop handles its timer.
  void StartCloseTimer();
  // Prints what each component read or saw; false when one of them did not do its part.
  bool Report() const;

  // Handlers named in the form file.
  void WatchMessage(kyt::TObject* sender, kyt::TMessage& message);
  void CloseTimerTimer(kyt::TObject* sender);

 private:
  int FMessages = 0;
  int FShows = 0;
};

}  // namespace consumer

#endif  // KYT_CONSUMER_CONSUMERMAINFORM_H
