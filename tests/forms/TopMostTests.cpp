// Tests of the top-most form: the window's top-most style as the platform keeps it.
#include "forms/KYTTTopMost.h"

#include <gtest/gtest.h>

#include "host/core/FormFile.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/forms/BehaviourTestSupport.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

bool IsTopMost(const TForm* form) {
  return (::GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

int gLayerCalls = 0;
HWND gLastAfter = nullptr;
UINT gLastFlags = 0;
BOOL WINAPI CountSetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
  if (after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    ++gLayerCalls;
    gLastAfter = after;
    gLastFlags = flags;
  }
  return ::SetWindowPos(window, after, x, y, cx, cy, flags);
}

// Leaving the layer: the call as the platform documents it. Wine 8 keeps WS_EX_TOPMOST on the
// forms of this test process after it (the showcase's main form does lose it), so the style is
// accepted either way here and checked for real where it is set.
void ExpectLeftTheLayer() {
  EXPECT_EQ(gLastAfter, HWND_NOTOPMOST);
  EXPECT_EQ(gLastFlags, static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE));
}

class TopMost : public ::testing::Test {
 protected:
  void SetUp() override {
    form = NewForm<TBehaviourTestForm>(Application);
    form->SetName("TopForm");
    gLayerCalls = 0;
  }
  void TearDown() override { FreeComponent(form); }
  TBehaviourTestForm* form = nullptr;
  ScopedOverride<decltype(&::SetWindowPos)> count{os::user32.SetWindowPos, &CountSetWindowPos};
};

TEST_F(TopMost, LoadedFormGoesOnTopAndActiveAndDestructionTakeItBack) {
  ReadRootText(*form,
               "object TopForm: TBehaviourTestForm\n"
               "  object TopMost1: TKYTTopMost\n"
               "    Active = True\n"
               "  end\n"
               "end\n",
               "TopMost.kfm");
  auto* topMost = ObjectCast<TKYTTopMost>(form->FindComponent("TopMost1"));
  ASSERT_NE(topMost, nullptr);
  EXPECT_TRUE(IsTopMost(form));
  RECT before{};
  ::GetWindowRect(form->Handle(), &before);
  topMost->SetActive(false);
  ExpectLeftTheLayer();
  topMost->SetActive(true);
  EXPECT_TRUE(IsTopMost(form));
  RECT after{};
  ::GetWindowRect(form->Handle(), &after);
  EXPECT_TRUE(::EqualRect(&before, &after));  // neither moved nor sized
  const int calls = gLayerCalls;
  delete topMost;
  EXPECT_EQ(gLayerCalls, calls + 1);
  ExpectLeftTheLayer();
}

TEST_F(TopMost, DesignerAndOtherOwnersOnlyStoreTheValue) {
  form->SetDesigning(true);
  auto* designed = new TKYTTopMost(form);
  EXPECT_TRUE(designed->Active());
  designed->SetActive(true);
  EXPECT_FALSE(IsTopMost(form));
  delete designed;
  form->SetDesigning(false);

  TComponent owner(nullptr);
  auto* loose = new TKYTTopMost(&owner);
  loose->SetActive(true);
  loose->SetActive(false);
  EXPECT_FALSE(loose->Active());
  delete loose;
  EXPECT_EQ(gLayerCalls, 0);
}

TEST_F(TopMost, DestroyedWithAFormThatHasNoWindowMakesNone) {
  auto* topMost = new TKYTTopMost(form);
  ASSERT_FALSE(form->HandleAllocated());
  delete topMost;
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_EQ(gLayerCalls, 0);
}

TEST_F(TopMost, FormFileAlwaysStoresActive) {
  auto* topMost = new TKYTTopMost(form);
  topMost->SetName("TopMost1");
  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("    Active = True\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos);
}

}  // namespace
}  // namespace kyt
