// Tests of the size limits: the min-max record as the hook leaves it at run time, and the
// capture of the form's size in the designer.
#include "forms/KYTTFormSizes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/core/ComponentRef.h"
#include "host/core/FormFile.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/forms/BehaviourTestSupport.h"

namespace kyt {
namespace {

using ftest::Place;

// Lets a test mark the component busy as the host's reader does.
class TStateSizes : public TKYTFormSizes {
 public:
  using TKYTFormSizes::TKYTFormSizes;
  using TKYTFormSizes::SetComponentState;
};

class FormSizes : public ::testing::Test {
 protected:
  void SetUp() override {
    form = NewForm<TBehaviourTestForm>(Application);
    Place(form, 50, 50, 500, 400);
  }
  void TearDown() override { FreeComponent(form); }

  // The record as the form (and any hook on it) leaves it, from a patterned start.
  MINMAXINFO MinMax() {
    MINMAXINFO info;
    memset(&info, 0x5A, sizeof(info));
    ::SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }

  TBehaviourTestForm* form = nullptr;
};

TEST_F(FormSizes, SetLimitsOverrideOnlyTheirFieldsAfterTheForm) {
  const MINMAXINFO plain = MinMax();
  auto* sizes = new TKYTFormSizes(form);
  sizes->SetMinWidth(300);
  MINMAXINFO info = MinMax();
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  info.ptMinTrackSize.x = plain.ptMinTrackSize.x;
  EXPECT_EQ(memcmp(&info, &plain, sizeof(info)), 0);

  // -1 is no limit; a minimum above the maximum goes to the platform as it is.
  sizes->SetMinWidth(-1);
  sizes->SetMaxWidth(200);
  sizes->SetMinHeight(350);
  sizes->SetMaxHeight(250);
  info = MinMax();
  EXPECT_EQ(info.ptMinTrackSize.x, plain.ptMinTrackSize.x);
  EXPECT_EQ(info.ptMaxTrackSize.x, 200);
  EXPECT_EQ(info.ptMinTrackSize.y, 350);
  EXPECT_EQ(info.ptMaxTrackSize.y, 250);
  EXPECT_EQ(memcmp(&info.ptMaxSize, &plain.ptMaxSize, sizeof(POINT) * 2), 0);

  ::SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, 0);  // no record: passed on, not read
}

TEST_F(FormSizes, InTheDesignerTheFormsSizeBecomesTheChosenLimits) {
  form->SetDesigning(true);
  auto* sizes = new TStateSizes(form);
  sizes->SetOptions({MinimumWidth, MaximumHeight});
  const MINMAXINFO plain = MinMax();
  Place(form, 50, 50, 400, 250);
  EXPECT_EQ(sizes->MinWidth(), 400);
  EXPECT_EQ(sizes->MaxHeight(), 250);
  EXPECT_EQ(sizes->MaxWidth(), 0);
  EXPECT_EQ(sizes->MinHeight(), 0);
  MINMAXINFO info = MinMax();  // the designer does not limit the resize
  EXPECT_EQ(memcmp(&info, &plain, sizeof(info)), 0);

  // Someone watching the component (the host's free-notification flag) does not stop it.
  TComponentRef<TStateSizes> watcher(sizes);
  ASSERT_TRUE(sizes->ComponentState().Contains(csFreeNotification));
  Place(form, 50, 50, 420, 260);
  EXPECT_EQ(sizes->MinWidth(), 420);

  // While the form is being read, a resize is not a choice of the developer: nothing is taken,
  // and the limits apply.
  sizes->SetComponentState(csLoading, true);
  Place(form, 50, 50, 480, 300);
  EXPECT_EQ(sizes->MinWidth(), 420);
  EXPECT_EQ(MinMax().ptMinTrackSize.x, 420);
  sizes->SetComponentState(csLoading, false);
}

TEST_F(FormSizes, FormFileStoresEveryLimitAndTheOptions) {
  auto* sizes = new TKYTFormSizes(form);
  sizes->SetName("Sizes1");
  sizes->SetMaxWidth(900);
  sizes->SetOptions({MaximumWidth});
  form->SetName("SizesForm");
  const std::string text = WriteComponentText(*form);
  const std::string block = text.substr(text.find("object Sizes1"));
  for (const char* line : {"MinWidth = 0", "MaxWidth = 900", "MinHeight = 0", "MaxHeight = 0",
                           "Options = [MaximumWidth]"})
    EXPECT_NE(block.find(line), std::string::npos) << line << "\n" << block;
  delete sizes;
  ReadRootText(*form, text, "Sizes.kfm");
  auto* readBack = ObjectCast<TKYTFormSizes>(form->FindComponent("Sizes1"));
  ASSERT_NE(readBack, nullptr);
  EXPECT_EQ(readBack->MaxWidth(), 900);
  EXPECT_EQ(MinMax().ptMaxTrackSize.x, 900);
}

}  // namespace
}  // namespace kyt
