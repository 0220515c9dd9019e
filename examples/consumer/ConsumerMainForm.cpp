// ConsumerMainForm: the handlers of the example's main form and its report.
#include "ConsumerMainForm.h"

#include <cstdio>
#include <string>

#include "host/vcl/ExtCtrls.h"
#include "strings/KYTTHolders.h"
#include "system/KYTTVersionDetails.h"

namespace consumer {

using kyt::ObjectCast;

void TConsumerMainForm::StartCloseTimer() {
  ObjectCast<kyt::TTimer>(FindComponent("CloseTimer"))->SetEnabled(true);
}

void TConsumerMainForm::WatchMessage(kyt::TObject*, kyt::TMessage& message) {
  ++FMessages;
  if (message.Msg == WM_SHOWWINDOW && message.WParam) ++FShows;
}

void TConsumerMainForm::CloseTimerTimer(kyt::TObject* sender) {
  static_cast<kyt::TTimer*>(sender)->SetEnabled(false);
  Close();
}

bool TConsumerMainForm::Report() const {
  bool ok = true;
  const auto* notes = ObjectCast<kyt::TKYTStringHolder>(FindComponent("Notes"));
  std::printf("consumer: string holder %s holds %d lines, the first '%s'\n", notes->Name().c_str(),
              notes->Items()->Count(), notes->Items()->Count() ? notes->Items()->Strings(0).c_str() : "");
  ok = ok && notes->Items()->Count() == 2 && notes->Items()->Strings(0) == "read from the form file";

  const auto* version = ObjectCast<kyt::TKYTVersionDetails>(FindComponent("Version"));
  std::printf("consumer: version details read '%s' version %s from this executable\n",
              version->FileDescription().c_str(), version->FileVersion().c_str());
  ok = ok && version->FileVersion() == "1.2.3";

  // The hook is named by the form file alone: it runs only if the package linked its class in.
  std::printf("consumer: form hook saw %d messages, %d of them showing the form\n", FMessages, FShows);
  ok = ok && FShows > 0;
  std::fflush(stdout);
  return ok;
}

}  // namespace consumer
