// Tests of the runtime's standard dialogs, answered on the real windows they show.
#include "host/vcl/Dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/TypeInfo.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Forms.h"
#include "tests/dialogs/DialogTestUtils.h"
#include "tests/support/DialogAnswerer.h"

namespace kyt {
namespace {

static_assert(mtWarning == 0 && mtError == 1 && mtInformation == 2 && mtConfirmation == 3 &&
              mtCustom == 4);
static_assert(mbYes == 0 && mbNo == 1 && mbOK == 2 && mbCancel == 3 && mbAbort == 4 &&
              mbRetry == 5 && mbIgnore == 6 && mbAll == 7 && mbNoToAll == 8 &&
              mbYesToAll == 9 && mbHelp == 10);
static_assert(TMsgDlgButtons{mbOK, mbCancel}.Bits() == 12);

TEST(MsgDlgTypes, StreamAsNamedMembersAndSets) {
  EXPECT_EQ(EnumInfo<TMsgDlgType>().Name, "TMsgDlgType");
  EXPECT_EQ(GetEnumName(EnumInfo<TMsgDlgType>(), mtConfirmation), "mtConfirmation");
  EXPECT_EQ(SetToString(EnumInfo<TMsgDlgBtn>(), TMsgDlgButtons{mbOK, mbCancel}.Bits()),
            "[mbOK, mbCancel]");
  EXPECT_EQ(StringToSet(EnumInfo<TMsgDlgBtn>(), "[mbYesToAll, mbHelp]"),
            (TMsgDlgButtons{mbYesToAll, mbHelp}.Bits()));
}

struct ButtonCase {
  TMsgDlgBtn Button;
  const char* Caption;
  int Result;
};

class MessageDlgButton : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(MessageDlgButton, ReturnsTheModalResultOfThePressedButton) {
  const ButtonCase& c = GetParam();
  DialogAnswerer answer(Press(c.Caption).Title("Confirmation"));
  const int result = MessageDlg("Choose", mtConfirmation, TMsgDlgButtons{c.Button}, 0);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(result, c.Result);
  ASSERT_EQ(answer.SeenButtons().size(), 1u);
  EXPECT_EQ(answer.SeenButtons()[0], c.Caption);
}

INSTANTIATE_TEST_SUITE_P(
    EveryClosingButton, MessageDlgButton,
    ::testing::Values(ButtonCase{mbYes, "&Yes", mrYes}, ButtonCase{mbNo, "&No", mrNo},
                      ButtonCase{mbOK, "OK", mrOk}, ButtonCase{mbCancel, "Cancel", mrCancel},
                      ButtonCase{mbAbort, "&Abort", mrAbort},
                      ButtonCase{mbRetry, "&Retry", mrRetry},
                      ButtonCase{mbIgnore, "&Ignore", mrIgnore}, ButtonCase{mbAll, "&All", mrAll},
                      ButtonCase{mbNoToAll, "N&o to All", mrNoToAll},
                      ButtonCase{mbYesToAll, "Yes to &All", mrYesToAll}));

TEST(MessageDlg, ShowsEveryButtonInOrdinalOrder) {
  TMsgDlgButtons all;
  for (int b = mbYes; b <= mbHelp; ++b) all.Include(static_cast<TMsgDlgBtn>(b));
  DialogAnswerer answer(Press("No to All"));
  EXPECT_EQ(MessageDlg("All of them", mtWarning, all, 0), mrNoToAll);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  const std::vector<std::string> expected{"&Yes",   "&No",        "OK",          "Cancel",
                                          "&Abort", "&Retry",     "&Ignore",     "&All",
                                          "N&o to All", "Yes to &All", "&Help"};
  EXPECT_EQ(answer.SeenButtons(), expected);
}

TEST(MessageDlg, TitlesFollowTheMessageType) {
  const struct {
    TMsgDlgType Type;
    std::string Title;
  } cases[] = {{mtWarning, "Warning"},
               {mtError, "Error"},
               {mtInformation, "Information"},
               {mtConfirmation, "Confirmation"},
               {mtCustom, Application->Title()}};
  for (const auto& c : cases) {
    DialogAnswerer answer(Press("OK"));
    EXPECT_EQ(MessageDlg("Titled", c.Type, TMsgDlgButtons{mbOK}, 0), mrOk);
    ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_EQ(answer.SeenTitle(), c.Title);
  }
}

TEST(MessageDlg, ShowsTheTextWithItsLineBreaksAndGrowsWithIt) {
  DialogAnswerer one(Press("OK"));
  MessageDlg("One line", mtInformation, TMsgDlgButtons{mbOK}, 0);
  ASSERT_TRUE(one.Answered()) << one.FailureReason();
  DialogAnswerer three(Press("OK"));
  MessageDlg("First\rSecond\r\nThird", mtInformation, TMsgDlgButtons{mbOK}, 0);
  ASSERT_TRUE(three.Answered()) << three.FailureReason();

  EXPECT_TRUE(HasText(three.SeenTexts(), "First\rSecond\r\nThird")) << three.SeenText();
  const RECT small = one.SeenClientRect();
  const RECT tall = three.SeenClientRect();
  EXPECT_GT(tall.bottom - tall.top, small.bottom - small.top);

  DialogAnswerer wide(Press("OK"));
  MessageDlg(std::string(120, 'W'), mtInformation, TMsgDlgButtons{mbOK}, 0);
  ASSERT_TRUE(wide.Answered()) << wide.FailureReason();
  EXPECT_GT(wide.SeenClientRect().right, small.right);
}

TEST(MessageDlg, IsCentredOnTheScreen) {
  DialogAnswerer answer(Press("OK"));
  MessageDlg("Centred", mtInformation, TMsgDlgButtons{mbOK}, 0);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  ExpectCentredHorizontally(answer.SeenRect());
  ExpectCentredVertically(answer.SeenRect());
}

TEST(MessageDlgPos, PutsTheTopLeftCornerAtThePosition) {
  DialogAnswerer answer(Press("OK"));
  MessageDlgPos("Placed", mtInformation, TMsgDlgButtons{mbOK}, 0, 100, 50);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenRect().left, 100);
  EXPECT_EQ(answer.SeenRect().top, 50);
}

TEST(MessageDlgPos, CentresAlongAnAxisGivenAsMinusOne) {
  DialogAnswerer byX(Press("OK"));
  MessageDlgPos("x centred", mtInformation, TMsgDlgButtons{mbOK}, 0, -1, 50);
  ASSERT_TRUE(byX.Answered()) << byX.FailureReason();
  ExpectCentredHorizontally(byX.SeenRect());
  EXPECT_EQ(byX.SeenRect().top, 50);

  DialogAnswerer byY(Press("OK"));
  MessageDlgPos("y centred", mtInformation, TMsgDlgButtons{mbOK}, 0, 100, -1);
  ASSERT_TRUE(byY.Answered()) << byY.FailureReason();
  EXPECT_EQ(byY.SeenRect().left, 100);
  ExpectCentredVertically(byY.SeenRect());
}

TEST(MessageDlg, FormIsDestroyedAfterTheAnswer) {
  DialogAnswerer answer(Press("Cancel"));
  EXPECT_EQ(MessageDlg("Gone", mtError, TMsgDlgButtons{mbOK, mbCancel}, 0), mrCancel);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_FALSE(::IsWindow(answer.SeenWindow()));
  EXPECT_EQ(CountTopLevelOfClass(answer.SeenClassName()), 0);
}

TEST(MessageDlg, CloseBoxGivesCancel) {
  DialogAnswerer answer(SendClose().Title("Warning"));
  EXPECT_EQ(MessageDlg("Closed", mtWarning, TMsgDlgButtons{mbYes, mbNo}, 0), mrCancel);
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
}

TEST(MessageDlg, DefaultAndEscapeButtonsFollowTheSet) {
  const struct {
    TMsgDlgButtons Buttons;
    std::string Default, Cancel;
  } cases[] = {{TMsgDlgButtons{mbOK, mbCancel}, "OK", "Cancel"},
               {TMsgDlgButtons{mbYes, mbNo, mbCancel}, "&Yes", "Cancel"},
               {TMsgDlgButtons{mbYes, mbNo}, "&Yes", "&No"},
               {TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}, "&Abort", ""}};
  for (const auto& c : cases) {
    std::string defaultCaption, cancelCaption, focused;
    bool defaultStyle = false;
    DialogAnswerer answer(Press(c.Default).OnFound([&](HWND dialog) {
      auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(dialog));
      if (!form) return;
      if (TWinControl* b = form->DefaultButton()) defaultCaption = b->Caption();
      if (TWinControl* b = form->CancelButton()) cancelCaption = b->Caption();
      focused = WindowText(::GetFocus());
      HWND button = FindButton(dialog, c.Default);
      defaultStyle = button && (::GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    }));
    MessageDlg("Defaults", mtConfirmation, c.Buttons, 0);
    ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_EQ(defaultCaption, c.Default);
    EXPECT_EQ(cancelCaption, c.Cancel);
    EXPECT_EQ(focused, c.Default);
    EXPECT_TRUE(defaultStyle) << c.Default;
  }
}

TEST(MessageDlg, EmptyButtonSetStillGetsAnOkButton) {
  DialogAnswerer answer(Press("OK"));
  EXPECT_EQ(MessageDlg("No buttons", mtInformation, TMsgDlgButtons{}, 0), mrOk);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenButtons(), std::vector<std::string>{"OK"});
}

// Records the help requests the application passes on to OnHelp.
struct HelpLog {
  std::vector<std::pair<uint16_t, int64_t>> Calls;
  bool Help(uint16_t command, int64_t data, bool& callHelp) {
    Calls.emplace_back(command, data);
    callHelp = false;
    return true;
  }
};

TEST(MessageDlg, HelpButtonAsksForHelpAndKeepsTheDialogOpen) {
  HelpLog log;
  const auto previous = Application->OnHelp();
  Application->SetOnHelp(THelpEvent::Bind<&HelpLog::Help>(&log));
  bool stillOpen = false;
  DialogAnswerer answer(Press("OK").OnFound([&](HWND dialog) {
    if (HWND help = FindButton(dialog, "&Help")) ::SendMessageA(help, BM_CLICK, 0, 0);
    stillOpen = ::IsWindow(dialog) && ::IsWindowVisible(dialog);
  }));
  const int result = MessageDlg("Helpful", mtInformation, TMsgDlgButtons{mbOK, mbHelp}, 4711);
  Application->SetOnHelp(previous);
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(log.Calls.size(), 1u);
  EXPECT_EQ(log.Calls[0].first, HELP_CONTEXT);
  EXPECT_EQ(log.Calls[0].second, 4711);
}

TEST(InputQuery, ConfirmedReturnsTheTypedText) {
  std::string editText;
  DialogAnswerer answer(Press("OK").Type("typed text").OnFound([&](HWND dialog) {
    editText = WindowText(FindChild(dialog, "Edit"));
  }));
  std::string value = "before";
  EXPECT_TRUE(InputQuery("Query title", "Your name:", value));
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(value, "typed text");
  EXPECT_EQ(editText, "before");
  EXPECT_EQ(answer.SeenTitle(), "Query title");
  EXPECT_TRUE(HasText(answer.SeenTexts(), "Your name:")) << answer.SeenText();
  EXPECT_FALSE(::IsWindow(answer.SeenWindow()));
}

TEST(InputQuery, CancelledKeepsTheValue) {
  DialogAnswerer answer(Press("Cancel").Type("thrown away"));
  std::string value = "kept";
  EXPECT_FALSE(InputQuery("Query title", "Prompt", value));
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(value, "kept");
}

TEST(ShowMessage, ShowsTheTextUnderTheApplicationTitle) {
  DialogAnswerer answer(Press("OK"));
  ShowMessage("Plain news");
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenTitle(), Application->Title());
  EXPECT_TRUE(HasText(answer.SeenTexts(), "Plain news")) << answer.SeenText();
  EXPECT_EQ(answer.SeenButtons(), std::vector<std::string>{"OK"});
}

}  // namespace
}  // namespace kyt
