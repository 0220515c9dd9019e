// The form-behaviour components in the real design tool (kytdesign.exe as a child process):
// placed, inspected and set, and the form's own handlers kept while the explode animation holds
// the form's events.
#include <gtest/gtest.h>

#include <string>

#include "tests/forms/BehaviourTestSupport.h"

namespace kyt {
namespace {

using ftest::ReadText;
using ftest::RunDesignTool;

class FormsInDesignTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(::GetFileAttributesA(ftest::DesignTool().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the design tool is not built: " << ftest::DesignTool();
    folder = ftest::MakeSandbox("forms-design");
    ASSERT_EQ(RunDesignTool("new Unit1.kfm", folder), 0u);
  }
  void TearDown() override { ftest::RemoveSandbox(folder); }

  std::string Run(const std::string& args) {
    std::string output;
    EXPECT_EQ(RunDesignTool(args, folder, &output), 0u) << args << "\n" << output;
    std::string lines;  // the console's line ends as plain new lines
    for (char ch : output)
      if (ch != '\r') lines += ch;
    return lines;
  }
  std::string FormText() { return ReadText(folder + "\\Unit1.kfm"); }

  std::string folder;
};

TEST_F(FormsInDesignTool, EveryComponentIsAddedInspectedAndSet) {
  const struct {
    const char* Class;
    const char* Name;
    const char* Property;
    const char* Value;
    const char* Shown;
  } cases[] = {
      {"TKYTFormExplode", "Explode1", "OnShowType", "wsScreenTopLeft", "OnShowType = wsScreenTopLeft"},
      {"TKYTFormAspect", "Aspect1", "RatioWidth", "16", "RatioWidth = 16"},
      {"TKYTFormSizes", "Sizes1", "Options", "[MinimumWidth,MaximumHeight]",
       "Options = [MinimumWidth, MaximumHeight]"},
      {"TKYTTopMost", "TopMost1", "Active", "False", "Active = False"},
      {"TKYTMouseController", "Mouse1", "Name", "Fence", "Name = Fence"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(std::string("add Unit1.kfm ") + c.Class + " " + c.Name), std::string(c.Name) + "\n");
    const std::string fresh = Run(std::string("inspect Unit1.kfm ") + c.Name);
    EXPECT_NE(fresh.find("About = (KYT System Components)  (read-only)"), std::string::npos) << fresh;
    Run(std::string("set Unit1.kfm ") + c.Name + "." + c.Property + " " + c.Value);
    const std::string name = std::string(c.Property) == "Name" ? c.Value : c.Name;
    const std::string shown = Run("inspect Unit1.kfm " + name);
    EXPECT_NE(shown.find(c.Shown), std::string::npos) << shown;
  }
  const std::string text = FormText();
  for (const char* stored : {"object Explode1: TKYTFormExplode", "OnShowType = wsScreenTopLeft",
                             "RatioWidth = 16", "Options = [MinimumWidth, MaximumHeight]",
                             "Active = False", "object Fence: TKYTMouseController"})
    EXPECT_NE(text.find(stored), std::string::npos) << stored << "\n" << text;
}

TEST_F(FormsInDesignTool, FormKeepsItsOwnHandlersWhileTheExplodeHoldsItsEvents) {
  Run("set Unit1.kfm Form1.OnShow FormShow");
  Run("set Unit1.kfm Form1.OnHide FormHide");
  Run("add Unit1.kfm TKYTFormExplode Explode1");
  std::string text = FormText();
  EXPECT_NE(text.find("  OnShow = FormShow\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  OnHide = FormHide\r\n"), std::string::npos) << text;
  std::string shown = Run("inspect Unit1.kfm Form1");
  EXPECT_NE(shown.find("OnShow = FormShow\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("OnPaint = \n"), std::string::npos) << shown;

  // Set while the component holds the slots: the form's own handler is what changes.
  Run("set Unit1.kfm Form1.OnShow FormShown");
  Run("set Unit1.kfm Form1.OnPaint FormPaint");
  text = FormText();
  EXPECT_NE(text.find("  OnShow = FormShown\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  OnPaint = FormPaint\r\n"), std::string::npos) << text;
  shown = Run("inspect Unit1.kfm Form1");
  EXPECT_NE(shown.find("OnPaint = FormPaint\n"), std::string::npos) << shown;

  // Removing the component leaves the form's own handlers in place.
  Run("remove Unit1.kfm Explode1");
  text = FormText();
  EXPECT_NE(text.find("  OnShow = FormShown\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Explode1"), std::string::npos);
}

}  // namespace
}  // namespace kyt
