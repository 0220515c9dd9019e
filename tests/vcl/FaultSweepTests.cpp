// Fault sweep of the runtime's form load: a form class reads its form file from its resource,
// its windows are made and it is shown, with every fallible platform call of that failing once.
// The form then raises with a message or comes up whole.
#include <gtest/gtest.h>

#include "host/vcl/Forms.h"
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

}  // namespace
}  // namespace kyt
