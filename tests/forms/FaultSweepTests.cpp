// Fault sweeps of the form components: each fallible platform call of their work (a form file
// holding them read and written, the tray's minimise and restore, a fence, an animation) fails
// once; the failure is reported or leaves the form and the application usable.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "forms/KYTTFormExplode.h"
#include "forms/KYTTMouseController.h"
#include "forms/KYTTSystemTray.h"
#include "tests/forms/FormsTestSupport.h"
#include "tests/support/FaultSweep.h"

namespace kyt {
namespace {

using namespace test;

// One component on a form, as a form file holds it.
std::string FormText(const std::string& component) { return "object SweepForm: TForm\n" + component + "end\n"; }

std::string TopMostNow(TForm& form) {
  return (::GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) ? "top-most\n" : "ordinary\n";
}

struct TFormFileCase {
  const char* Name;
  std::string Component;
  std::string (*Use)(TForm&);
};

class FormFileSweep : public ::testing::TestWithParam<TFormFileCase> {};

TEST_P(FormFileSweep, ReadsAndWritesTheFormOrRaises) {
  // The application's settings a component hands over are put back before every run.
  std::optional<TApplicationState> application;
  TFaultScenario s = FormFileScenario(GetParam().Name, FormText(GetParam().Component), GetParam().Use);
  s.Reset = [&] {
    application.reset();
    application.emplace();
  };
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormFileSweep,
    ::testing::Values(
        TFormFileCase{"Application",
                      "  object App1: TKYTApplication\n    HintPause = 900\n    ApplicationTitle = 'Swept'\n  end\n",
                      [](TForm&) { return Application->Title() + " " + std::to_string(Application->HintPause()) + "\n"; }},
        TFormFileCase{"FormAspect", "  object Aspect1: TKYTFormAspect\n    RatioWidth = 4\n    RatioHeight = 3\n  end\n",
                      nullptr},
        TFormFileCase{"FormSizes", "  object Sizes1: TKYTFormSizes\n    MinWidth = 200\n    MaxWidth = 900\n  end\n",
                      nullptr},
        TFormFileCase{"OnlyOne", "  object OnlyOne1: TKYTOnlyOne\n    Instances = 5\n    OnExceed = aNone\n  end\n",
                      nullptr},
        TFormFileCase{"TopMost", "  object TopMost1: TKYTTopMost\n    Active = True\n  end\n", &TopMostNow}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FormsSweep, SystemTrayHidesInTheTrayAndComesBack) {
  std::optional<TApplicationState> application;
  TFaultScenario s{"SystemTray",
                   [&](const TFaultRun&) {
                     return Caught([&] {
                       TOwned<TForm> form(new TForm(nullptr));
                       auto* tray = new TKYTSystemTray(form.get());
                       tray->SetEnabled(true);
                       std::string seen;
                       TFaultOutcome out = Raises([&] {
                         Application->Minimize();
                         seen = tray->InTray() ? "in the tray, " : "on the task bar, ";
                       });
                       const TFaultOutcome back = Raises([&] { Application->Restore(); });
                       out.Reported = out.Reported || back.Reported;
                       out.Message += back.Message;
                       out.Result = seen + (::IsWindowVisible(Application->Handle()) ? "back" : "gone");
                       return out;
                     });
                   },
                   nullptr, [&] {
                     application.reset();
                     application.emplace();
                     // The application shows its task bar button, as once its main form is shown.
                     ::ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

std::string ClipNow() {
  RECT r{};
  ::GetClipCursor(&r);
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TEST(FormsSweep, MouseControllerFencesAndLetsGo) {
  TFaultScenario s{"MouseController", [&](const TFaultRun& run) {
                     return Caught([&] {
                       TOwned<TForm> form(new TForm(nullptr));
                       auto* mouse = new TKYTMouseController(form.get());
                       mouse->FenceAt(Rect(100, 100, 300, 300));
                       TFaultOutcome out;
                       {
                         TSweepPause pause;
                         out.Result = ClipNow();
                       }
                       form.reset();
                       // The fence has no error to raise or event to fire: a refused one is not
                       // there, and one the platform keeps stays until it lets go.
                       out.Unreportable = run.Failed();
                       if (run.Failed("ClipCursor")) out.AsDocumented = "the platform's fence is the platform's";
                       return out;
                     });
                   },
                   &ClipNow, [] { ::ClipCursor(nullptr); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  ::ClipCursor(nullptr);
}

TEST(FormsSweep, FormExplodeAnimatesShowAndHideOrJustShows) {
  TFaultScenario s{"FormExplode", [&](const TFaultRun&) {
                     return Caught([&] {
                       TOwned<TForm> form(new TForm(nullptr));
                       form->SetBounds(100, 100, 200, 150);
                       auto* explode = new TKYTFormExplode(form.get());
                       explode->SetNoOfSteps(2);
                       form->Show();
                       form->Hide();
                       return ReportedIf(false, form->Visible() ? "shown" : "hidden");
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

}  // namespace
}  // namespace kyt
