// Fault sweeps of the dialog components: each fallible platform call of showing and answering
// the dialog fails once; Execute then raises with a message or still brings the answer.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs/KYTTMessages.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/FaultSweep.h"
#include "tests/support/NonAscii.h"

namespace kyt {
namespace {

using namespace test;

// What the answer events of a dialog component said.
struct TAnswers {
  std::string Text;
  void Yes(TObject*) { Text += "yes "; }
  void No(TObject*) { Text += "no "; }
  void Ok(TObject*) { Text += "ok "; }
  void Cancel(TObject*) { Text += "cancel "; }
};

struct TDialogCase {
  const char* Name;
  std::function<TKYTExecuteComponent*(TAnswers& log)> Make;
  const char* Button;
};

class DialogSweep : public ::testing::TestWithParam<TDialogCase> {};

TEST_P(DialogSweep, ExecuteRaisesOrBringsTheAnswer) {
  TAnswers log;
  TFaultScenario s{GetParam().Name, [&](const TFaultRun&) {
                     log.Text.clear();
                     TOwned<TKYTExecuteComponent> dialog(GetParam().Make(log));
                     DialogAnswerer answer(Press(GetParam().Button).Type(kCyrillic).Timeout(3000));
                     TFaultOutcome out = Raises([&] { dialog->Execute(); });
                     out.Result = log.Text;
                     if (auto* q = dynamic_cast<TKYTMsgDlg*>(dialog.get())) out.Result += q->Return();
                     if (auto* q = dynamic_cast<TKYTMsgSelect*>(dialog.get())) out.Result += q->Return();
                     return out;
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogSweep,
    ::testing::Values(
        TDialogCase{"MsgBox",
                    [](TAnswers& log) -> TKYTExecuteComponent* {
                      auto* box = new TKYTMsgBox(nullptr);
                      box->Caption()->Add(kLatin);
                      box->SetButtons({mbYes, mbNo});
                      box->SetOnYes(TNotifyEvent::Bind<&TAnswers::Yes>(&log));
                      box->SetOnNo(TNotifyEvent::Bind<&TAnswers::No>(&log));
                      return box;
                    },
                    "Yes"},
        TDialogCase{"MsgDlg",
                    [](TAnswers& log) -> TKYTExecuteComponent* {
                      auto* query = new TKYTMsgDlg(nullptr);
                      query->SetQuestion(kCjk);
                      query->SetOnOk(TNotifyEvent::Bind<&TAnswers::Ok>(&log));
                      query->SetOnCancel(TNotifyEvent::Bind<&TAnswers::Cancel>(&log));
                      return query;
                    },
                    "OK"},
        TDialogCase{"MsgSelect",
                    [](TAnswers& log) -> TKYTExecuteComponent* {
                      auto* select = new TKYTMsgSelect(nullptr);
                      select->Items()->Add(kLatin);
                      select->SetQuestion(kCjk);
                      select->SetOnOk(TNotifyEvent::Bind<&TAnswers::Ok>(&log));
                      select->SetOnCancel(TNotifyEvent::Bind<&TAnswers::Cancel>(&log));
                      return select;
                    },
                    "OK"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace kyt
