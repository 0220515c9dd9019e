// Fault sweep of the form hook: a form holding it is read and written with every fallible
// platform call of that failing once; the read then raises or the hook is in place.
#include <gtest/gtest.h>

#include "framework/KYTTFormHook.h"
#include "tests/support/FaultSweep.h"

namespace kyt {
namespace {

using namespace test;

TEST(FrameworkSweep, FormHookHooksTheFormItIsReadOnOrRaises) {
  const std::string text = "object SweepForm: TForm\n  object FormHook1: TKYTFormHook\n  end\nend\n";
  // The hook answers through the form's window: a message must still reach the form.
  EXPECT_SWEEP_CLEAN(Sweep(FormFileScenario("FormHook", text, [](TForm& form) {
    return std::to_string(::SendMessageA(form.Handle(), WM_GETTEXTLENGTH, 0, 0)) + "\n";
  })));
}

}  // namespace
}  // namespace kyt
