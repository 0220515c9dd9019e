// Fault sweep of the runtime's form load: a form class reads its form file from its resource,
// its windows are made and it is shown, with every fallible platform call of that failing once.
// The form then raises with a message or comes up whole. The common dialogs, cancelled by the
// user, are swept too: a failed dialog raises, a cancelled one says so.
#include <gtest/gtest.h>

#include "host/vcl/Dialogs.h"
#include "host/vcl/Forms.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/FaultSweep.h"

namespace kyt {

// Carries its form file as the RCDATA resource TSWEEPFORM of the test executable.
class TSweepForm : public TForm {
  KYT_CLASS(TSweepForm, TForm)
 public:
  explicit TSweepForm(TComponent* owner) : TForm(owner) {}
};

namespace {

using namespace test;

TEST(VclSweep, AFormLoadsFromItsResourceAndShowsOrRaises) {
  RegisterClass(TSweepForm::StaticClass());
  TFaultScenario s{"FormLoad", [&](const TFaultRun& run) {
                     return Caught([&] {
                       TOwned<TSweepForm> form(new TSweepForm(nullptr));
                       form->AfterConstruction();
                       form->Show();
                       TFaultOutcome out = ReportedIf(false, WriteComponentText(*form));
                       // A label that cannot measure its caption on the screen keeps its size.
                       out.Unreportable = run.Failed("GetDC");
                       return out;
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(VclSweep, ACommonDialogIsCancelledOrRaises) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "kyt-dialog-sweep";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (int kind = 0; kind < 3; ++kind) {
    TFaultScenario s{"CommonDialog", [&](const TFaultRun&) {
                       return Caught([&] {
                         TOwned<TForm> form(new TForm(nullptr));
                         TCommonDialog* dialog = nullptr;
                         if (kind == 2) {
                           dialog = new TColorDialog(form.get());
                         } else {
                           auto* file = kind == 0 ? new TOpenDialog(form.get()) : new TSaveDialog(form.get());
                           file->SetInitialDir(folder);
                           dialog = file;
                         }
                         DialogAnswerer answer(Press("Cancel"));
                         const bool accepted = dialog->Execute();
                         return ReportedIf(false, accepted ? "accepted" : "cancelled");
                       });
                     }};
    EXPECT_SWEEP_CLEAN(Sweep(s));
  }
  ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace kyt
