// Components that take over an event slot of the application or of their form, or its window
// procedure, two of a kind on one form: created in either order, shown and hidden, the
// application minimised and restored, freed in either order. The checking heap of the test
// builds makes a call into a freed component fail at once.
#include <gtest/gtest.h>

#include "host/os/Win.h"

#include <dbt.h>

#include <algorithm>
#include <string>

#include "forms/KYTTFormExplode.h"
#include "host/core/ComponentRef.h"
#include "host/vcl/Application.h"
#include "persistence/KYTTFormSaver.h"
#include "tests/forms/BehaviourTestSupport.h"
#include "tests/forms/FormsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/NonAscii.h"

namespace kyt {
namespace {

const std::string kSlotsKey = test::kTestsKey + "\\Forms\\Slots";

// Everything that reaches a slot-taking component through its form or the application.
void Exercise(TForm* form) {
  for (int i = 0; i < 2; ++i) {
    form->Show();
    PumpPending();
    RECT r{100, 100, 300, 260};
    ::SendMessageA(form->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
    MINMAXINFO info{};
    ::SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    ::SendMessageA(form->Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    ::SendMessageA(form->Handle(), WM_DROPFILES, 0, 0);
    ::SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    Application->Minimize();
    Application->Restore();
    form->Hide();
    PumpPending();
  }
}

// The component, or null where a second one of the class is refused (one per process).
TComponent* Create(const char* className, TForm* form) {
  const TClassInfo* cls = FindClass(className);
  if (!cls) {
    ADD_FAILURE() << className << " is not registered";
    return nullptr;
  }
  try {
    TComponent* c = cls->CreateComponent(form);
    if (auto* explode = dynamic_cast<TKYTFormExplode*>(c)) explode->SetNoOfSteps(1);
    if (auto* saver = dynamic_cast<TKYTFormSaver*>(c)) saver->FormStore()->Registry()->SetPath(kSlotsKey);
    if (const TPropInfo* enabled = cls->FindProperty("Enabled"); enabled && className == std::string("TKYTSystemTray"))
      enabled->SetOrd(c, 1);
    if (const TPropInfo* active = cls->FindProperty("Active")) active->SetOrd(c, 1);
    return c;
  } catch (const Exception&) {
    return nullptr;
  }
}

class EventSlots : public ::testing::Test {
 protected:
  void TearDown() override {
    PumpPending();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSlotsKey.c_str());
  }
  TApplicationState state;
};

TEST_F(EventSlots, TwoTakersOnOneFormNeverReachAFreedOne) {
  const char* classes[] = {"TKYTSystemTray", "TKYTApplication", "TKYTOnlyOne", "TKYTFormSaver",
                           "TKYTFormExplode", "TKYTFormAspect", "TKYTFormSizes", "TKYTMouseController",
                           "TKYTDroppedFiles", "TKYTCDTriggers", "TKYTFormHook"};
  for (const char* className : classes) {
    for (bool firstGoesFirst : {true, false}) {
      SCOPED_TRACE(std::string(className) + (firstGoesFirst ? ", first freed first" : ", second freed first"));
      auto* form = new TBehaviourTestForm(Application);
      form->AssignOwnHandlers();
      TComponent* first = Create(className, form);
      TComponent* second = Create(className, form);
      Exercise(form);
      delete (firstGoesFirst ? first : second);
      Exercise(form);
      delete (firstGoesFirst ? second : first);
      form->Log.clear();
      Exercise(form);
      EXPECT_EQ(std::count(form->Log.begin(), form->Log.end(), "FormShow"), 2) << "the form's own handlers are back";
      FreeComponent(form);
    }
  }
}

TEST_F(EventSlots, AnExplodeAndASaverRestoreTheGeometryAtEveryShowInEitherOrder) {
  ::RegSetKeyValueA(HKEY_CURRENT_USER, (kSlotsKey + "\\MySection").c_str(), "TBehaviourTestForm_Width", REG_SZ, "333", 4);
  for (bool saverFirst : {true, false}) {
    SCOPED_TRACE(saverFirst ? "saver created first" : "explode created first");
    auto* form = new TBehaviourTestForm(Application);
    Create(saverFirst ? "TKYTFormSaver" : "TKYTFormExplode", form);
    Create(saverFirst ? "TKYTFormExplode" : "TKYTFormSaver", form);
    for (int show = 0; show < 3; ++show) {
      ftest::Place(form, 10, 10, 200, 150);
      form->Show();
      PumpPending();
      EXPECT_EQ(form->Width(), 333) << "show " << show;
      form->Hide();
      PumpPending();
    }
    FreeComponent(form);
  }
}

}  // namespace
}  // namespace kyt
