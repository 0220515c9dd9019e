// Tests of the screen-saver component on the system's real settings, which each test puts back.
// The start command is caught on the form before its default handling could start anything.
#include "system/KYTTScreenSaver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/KYTTFormHook.h"
#include "host/core/Exceptions.h"
#include "tests/support/SeamOverride.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

UINT SystemSetting(UINT action) {
  UINT value = 0;
  ::SystemParametersInfoA(action, 0, &value, 0);
  return value;
}

// Consumes the screen-saver command on its form and counts it.
class TScreenSaveCatcher : public TKYTHookComponent {
 public:
  using TKYTHookComponent::TKYTHookComponent;
  int Starts = 0;

 protected:
  void Hooked(TMessage& Message) override {
    if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_SCREENSAVE && Message.LParam == 0) {
      ++Starts;
      return;
    }
    TKYTHookComponent::Hooked(Message);
  }
};

std::vector<std::string>* gCalls = nullptr;
BOOL WINAPI FailingSystemParametersInfoA(UINT action, UINT param, PVOID value, UINT flags) {
  gCalls->push_back(std::to_string(action) + " " + std::to_string(param) + " " + (value ? "buffer" : "null") + " " +
                    std::to_string(flags));
  if (value) *static_cast<UINT*>(value) = 0xCCCCCCCC;  // scribbled, then reported as failed
  return FALSE;
}

class ScreenSaver : public ::testing::Test {
 protected:
  void SetUp() override {
    wasActive = SystemSetting(SPI_GETSCREENSAVEACTIVE);
    wasSeconds = SystemSetting(SPI_GETSCREENSAVETIMEOUT);
    form = new TForm(nullptr);
    catcher = new TScreenSaveCatcher(form);
  }
  void TearDown() override {
    delete form;
    ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, wasActive, nullptr, SPIF_SENDWININICHANGE);
    ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, wasSeconds, nullptr, SPIF_SENDWININICHANGE);
  }

  UINT wasActive = 0, wasSeconds = 0;
  TForm* form = nullptr;
  TScreenSaveCatcher* catcher = nullptr;
};

TEST_F(ScreenSaver, PropertiesAreTheSystemsLiveSettings) {
  // reference example: TKYTScreenSaver
  auto* saver = new TKYTScreenSaver(form);
  saver->SetSeconds(300);
  EXPECT_EQ(saver->Seconds(), 300);
  EXPECT_EQ(SystemSetting(SPI_GETSCREENSAVETIMEOUT), 300u);
  saver->SetActive(false);
  EXPECT_FALSE(saver->Active());
  saver->SetActive(true);
  // end of reference example
  EXPECT_TRUE(saver->Active());
  EXPECT_EQ(SystemSetting(SPI_GETSCREENSAVEACTIVE), 1u);
  ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 420, nullptr, 0);
  EXPECT_EQ(saver->Seconds(), 420) << "every read asks the system";
}

TEST_F(ScreenSaver, ExecuteStartsTheScreenSaverOnlyWhenItIsEnabled) {
  auto* saver = new TKYTScreenSaver(form);
  saver->SetActive(false);
  EXPECT_TRUE(saver->Execute());
  EXPECT_EQ(catcher->Starts, 0);
  saver->SetActive(true);
  EXPECT_TRUE(saver->Execute());
  EXPECT_EQ(catcher->Starts, 1);
}

TEST_F(ScreenSaver, AnOwnerThatIsNoFormIsAnInvalidCastOnlyWhenEnabled) {
  TComponent plain(nullptr);
  TKYTScreenSaver onPlain(&plain);
  TKYTScreenSaver orphan(nullptr);
  onPlain.SetActive(false);
  EXPECT_TRUE(onPlain.Execute());
  EXPECT_TRUE(orphan.Execute());
  onPlain.SetActive(true);
  EXPECT_THROW(onPlain.Execute(), EInvalidCast);
  EXPECT_THROW(orphan.Execute(), EInvalidCast);
  EXPECT_EQ(catcher->Starts, 0);
}

TEST_F(ScreenSaver, AFailedReadAnswersFalseAndZeroAndWritesOnlyAnnounce) {
  std::vector<std::string> calls;
  gCalls = &calls;
  os::ScopedOverride fail(os::user32.SystemParametersInfoA, &FailingSystemParametersInfoA);
  TKYTScreenSaver saver(form);
  EXPECT_FALSE(saver.Active());
  EXPECT_EQ(saver.Seconds(), 0);
  saver.SetActive(true);
  saver.SetSeconds(600);
  EXPECT_TRUE(saver.Execute());  // reads as disabled: nothing is started
  EXPECT_EQ(catcher->Starts, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"16 0 buffer 0", "14 0 buffer 0", "17 1 null 2", "15 600 null 2",
                                             "16 0 buffer 0"}));
  gCalls = nullptr;
}

TEST_F(ScreenSaver, FormFileStoresBothAndLoadingAppliesThem) {
  RegisterClasses({&TSystemTestForm::StaticClass(), &TKYTScreenSaver::StaticClass()});
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 600, nullptr, 0);
  TSystemTestForm root(nullptr);
  root.SetDesigning(true);
  (new TKYTScreenSaver(&root))->SetName("Saver");
  const std::string text = FormText(root);
  EXPECT_NE(text.find("Active = True"), std::string::npos) << text;
  EXPECT_NE(text.find("Seconds = 600"), std::string::npos) << text;

  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
  ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 60, nullptr, 0);
  TSystemTestForm loaded(nullptr);
  ReadFormText(loaded, text);
  EXPECT_EQ(SystemSetting(SPI_GETSCREENSAVEACTIVE), 1u);
  EXPECT_EQ(SystemSetting(SPI_GETSCREENSAVETIMEOUT), 600u);
}

}  // namespace
}  // namespace kyt
