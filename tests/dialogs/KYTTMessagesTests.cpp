// Tests of the message box, text query and selection components, answered on the real dialogs.
#include "dialogs/KYTTMessages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/core/FormFile.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/dialogs/DialogTestUtils.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/NonAscii.h"
#include "tests/support/SeamOverride.h"
#include "tests/support/StartProcess.h"

namespace kyt {
namespace {

// Records which handlers ran, with their senders.
struct AnswerLog {
  std::vector<std::string> Calls;
  std::vector<TObject*> Senders;
  void Record(const char* name, TObject* sender) {
    Calls.emplace_back(name);
    Senders.push_back(sender);
  }
  void Yes(TObject* s) { Record("OnYes", s); }
  void No(TObject* s) { Record("OnNo", s); }
  void Ok(TObject* s) { Record("OnOk", s); }
  void Cancel(TObject* s) { Record("OnCancel", s); }
  void Abort(TObject* s) { Record("OnAbort", s); }
  void Ignore(TObject* s) { Record("OnIgnore", s); }
  void Retry(TObject* s) { Record("OnRetry", s); }
  void All(TObject* s) { Record("OnAll", s); }
};

void AssignEveryHandler(TKYTMsgBox& box, AnswerLog& log) {
  box.SetOnYes(TNotifyEvent::Bind<&AnswerLog::Yes>(&log));
  box.SetOnNo(TNotifyEvent::Bind<&AnswerLog::No>(&log));
  box.SetOnOk(TNotifyEvent::Bind<&AnswerLog::Ok>(&log));
  box.SetOnCancel(TNotifyEvent::Bind<&AnswerLog::Cancel>(&log));
  box.SetOnAbort(TNotifyEvent::Bind<&AnswerLog::Abort>(&log));
  box.SetOnIgnore(TNotifyEvent::Bind<&AnswerLog::Ignore>(&log));
  box.SetOnRetry(TNotifyEvent::Bind<&AnswerLog::Retry>(&log));
  box.SetOnAll(TNotifyEvent::Bind<&AnswerLog::All>(&log));
}

template <class T>
void AssignQueryHandlers(T& query, AnswerLog& log) {
  query.SetOnOk(TNotifyEvent::Bind<&AnswerLog::Ok>(&log));
  query.SetOnCancel(TNotifyEvent::Bind<&AnswerLog::Cancel>(&log));
}

const TPropInfo& Prop(const TClassInfo& cls, const char* name) {
  const TPropInfo* prop = cls.FindProperty(name);
  EXPECT_NE(prop, nullptr) << name;
  return *prop;
}

// ---------------------------------------------------------------------------------------------
// TKYTMsgBox

TEST(MsgBox, StartsWithTheDeclaredValues) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  EXPECT_EQ(box->Caption()->Count(), 0);
  EXPECT_EQ(box->MessageType(), mtInformation);
  EXPECT_EQ(box->Buttons(), (TMsgDlgButtons{mbOK, mbCancel}));
  EXPECT_EQ(box->HelpContext(), 0);
  EXPECT_EQ(box->XPosition(), -1);
  EXPECT_EQ(box->YPosition(), -1);
  EXPECT_EQ(box->Sound(), bNone);
  EXPECT_FALSE(box->OnYes());
  EXPECT_EQ(box->About(), "(About)");
}

TEST(MsgBox, CreatedInTheDesignerHoldsThePlaceholderLine) {
  TComponent owner(nullptr);
  owner.SetDesigning(true);
  auto* box = new TKYTMsgBox(&owner);
  ASSERT_EQ(box->Caption()->Count(), 1);
  EXPECT_EQ(box->Caption()->Strings(0), "Place your message here");
}

TEST(MsgBox, DeclaresItsStreamingDefaults) {
  const TClassInfo& cls = TKYTMsgBox::StaticClass();
  EXPECT_FALSE(Prop(cls, "Caption").HasDefault());
  EXPECT_EQ(Prop(cls, "MessageType").DefaultOrd(), 2);
  EXPECT_EQ(Prop(cls, "Buttons").DefaultOrd(), 12);
  EXPECT_EQ(Prop(cls, "HelpContext").DefaultOrd(), 0);
  EXPECT_EQ(Prop(cls, "XPosition").DefaultOrd(), -1);
  EXPECT_EQ(Prop(cls, "YPosition").DefaultOrd(), -1);
  std::vector<std::string> names;
  for (const TPropInfo* p : cls.Properties()) names.push_back(p->Name());
  const std::vector<std::string> tail{"Caption",   "MessageType", "Buttons",  "HelpContext",
                                      "XPosition", "YPosition",   "OnYes",    "OnNo",
                                      "OnOk",      "OnCancel",    "OnAbort",  "OnIgnore",
                                      "OnRetry",   "OnAll"};
  ASSERT_GE(names.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(names.end() - tail.size(), names.end()), tail);
}

TEST(MsgBox, CaptionSetterCopiesTheLines) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  TStringList lines;
  lines.Add("one");
  lines.Add("two");
  box->SetCaption(&lines);
  lines.Clear();
  ASSERT_EQ(box->Caption()->Count(), 2);
  EXPECT_EQ(box->Caption()->Strings(1), "two");
  EXPECT_NE(box->Caption(), &lines);
}

TEST(MsgBox, MinusOneOnEitherPositionResetsBoth) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  box->SetXPosition(100);
  box->SetYPosition(50);
  box->SetXPosition(-1);
  EXPECT_EQ(box->YPosition(), -1);
  box->SetXPosition(100);
  box->SetYPosition(50);
  box->SetYPosition(-1);
  EXPECT_EQ(box->XPosition(), -1);
  box->SetYPosition(50);
  EXPECT_EQ(box->XPosition(), -1);  // other values leave the partner alone
  EXPECT_EQ(box->YPosition(), 50);
}

struct AnswerCase {
  TMsgDlgBtn Button;
  const char* Caption;
  const char* Handler;  // nullptr: no event for that result
};

class MsgBoxAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(MsgBoxAnswer, RunsOnlyTheHandlerOfTheAnswer) {
  const AnswerCase& c = GetParam();
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  box->Caption()->Add("Answer me");
  box->SetButtons(TMsgDlgButtons{c.Button});
  AnswerLog log;
  AssignEveryHandler(*box, log);
  DialogAnswerer answer(Press(c.Caption).Title("Information"));
  EXPECT_TRUE(box->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  if (c.Handler) {
    EXPECT_EQ(log.Calls, std::vector<std::string>{c.Handler});
    EXPECT_EQ(log.Senders, std::vector<TObject*>{box});
  } else {
    EXPECT_TRUE(log.Calls.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryButton, MsgBoxAnswer,
    ::testing::Values(AnswerCase{mbYes, "&Yes", "OnYes"}, AnswerCase{mbNo, "&No", "OnNo"},
                      AnswerCase{mbOK, "OK", "OnOk"}, AnswerCase{mbCancel, "Cancel", "OnCancel"},
                      AnswerCase{mbAbort, "&Abort", "OnAbort"},
                      AnswerCase{mbRetry, "&Retry", "OnRetry"},
                      AnswerCase{mbIgnore, "&Ignore", "OnIgnore"},
                      AnswerCase{mbAll, "&All", "OnAll"},
                      AnswerCase{mbNoToAll, "N&o to All", nullptr},
                      AnswerCase{mbYesToAll, "Yes to &All", nullptr}));

TEST(MsgBox, YesOfYesNoRunsOnYesOnly) {
  TComponent owner(nullptr);
  // reference example: TKYTMsgBox
  auto* box = new TKYTMsgBox(&owner);
  box->SetMessageType(mtConfirmation);
  box->SetButtons(TMsgDlgButtons{mbYes, mbNo});
  AnswerLog log;
  AssignEveryHandler(*box, log);
  DialogAnswerer answer(Press("Yes"));
  EXPECT_TRUE(box->Execute());
  // end of reference example
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenTitle(), "Confirmation");
  EXPECT_EQ(answer.SeenButtons(), (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_EQ(log.Calls, std::vector<std::string>{"OnYes"});
}

TEST(MsgBox, UnassignedHandlerIsSkipped) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  DialogAnswerer answer(Press("Cancel"));
  EXPECT_TRUE(box->Execute());
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
}

TEST(MsgBox, ShowsTheLinesEachEndedByACarriageReturn) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  box->Caption()->Add("A");
  box->Caption()->Add(test::kCyrillic + " " + test::kCjk + " " + test::kAstral);  // shown whole
  DialogAnswerer answer(Press("OK"));
  box->Execute();
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_TRUE(HasText(answer.SeenTexts(), "A\r" + test::kCyrillic + " " + test::kCjk + " " + test::kAstral + "\r"))
      << answer.SeenText();
}

TEST(MsgBox, EmptyCaptionShowsAnEmptyText) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  DialogAnswerer answer(Press("OK"));
  box->Execute();
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_TRUE(HasText(answer.SeenTexts(), "")) << answer.SeenText();
  EXPECT_FALSE(HasText(answer.SeenTexts(), "\r"));
}

TEST(MsgBox, XPositionAloneStillCentres) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  box->SetXPosition(100);
  DialogAnswerer answer(Press("OK"));
  box->Execute();
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  ExpectCentredHorizontally(answer.SeenRect());
  ExpectCentredVertically(answer.SeenRect());
}

TEST(MsgBox, YPositionPlacesTheDialog) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  box->SetXPosition(120);
  box->SetYPosition(60);
  DialogAnswerer placed(Press("OK"));
  box->Execute();
  ASSERT_TRUE(placed.Answered()) << placed.FailureReason();
  EXPECT_EQ(placed.SeenRect().left, 120);
  EXPECT_EQ(placed.SeenRect().top, 60);

  // YPosition alone: the positioned call with x -1, centred along x only.
  box->SetXPosition(-1);
  box->SetYPosition(50);
  DialogAnswerer xCentred(Press("OK"));
  box->Execute();
  ASSERT_TRUE(xCentred.Answered()) << xCentred.FailureReason();
  EXPECT_EQ(xCentred.SeenRect().top, 50);
  ExpectCentredHorizontally(xCentred.SeenRect());
}

// The fake beep notes its argument and whether a dialog of this process was showing by then.
struct BeepRecord {
  std::vector<UINT> Types;
  bool DialogWasShowing = false;
};
BeepRecord* gBeeps = nullptr;

BOOL WINAPI FakeBeep(UINT type) {
  if (gBeeps) {
    gBeeps->Types.push_back(type);
    for (HWND w : ProcessTopLevelWindows(true))
      if (FindChild(w, "Button")) gBeeps->DialogWasShowing = true;
  }
  return TRUE;
}

class DialogSound : public ::testing::Test {
 protected:
  void SetUp() override { gBeeps = &beeps; }
  void TearDown() override { gBeeps = nullptr; }
  BeepRecord beeps;
  os::ScopedOverride<decltype(os::user32.MessageBeep)> fake{os::user32.MessageBeep, &FakeBeep};
};

TEST_F(DialogSound, EveryComponentBeepsBeforeItsDialog) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  auto* query = new TKYTMsgDlg(&owner);
  auto* select = new TKYTMsgSelect(&owner);
  box->SetSound(bExclamation);
  query->SetSound(bQuestion);
  select->SetSound(bCriticalStop);
  {
    DialogAnswerer answer(Press("OK"));
    box->Execute();
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  }
  {
    DialogAnswerer answer(Press("OK"));
    query->Execute();
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  }
  {
    DialogAnswerer answer(Press("OK"));
    select->Execute();
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  }
  EXPECT_EQ(beeps.Types, (std::vector<UINT>{0x30, 0x20, 0x10}));
  EXPECT_FALSE(beeps.DialogWasShowing);
}

TEST_F(DialogSound, SilentByDefault) {
  TComponent owner(nullptr);
  auto* box = new TKYTMsgBox(&owner);
  DialogAnswerer answer(Press("OK"));
  box->Execute();
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_TRUE(beeps.Types.empty());
}

// ---------------------------------------------------------------------------------------------
// TKYTMsgDlg

TEST(MsgDlg, StartsWithItsTextsAtRunTimeAndInTheDesigner) {
  TComponent owner(nullptr);
  for (bool designing : {false, true}) {
    owner.SetDesigning(designing);
    auto* query = new TKYTMsgDlg(&owner);
    EXPECT_EQ(query->Header(), "Heading");
    EXPECT_EQ(query->Question(), "Question");
    EXPECT_EQ(query->Return(), "Default Return");
    EXPECT_FALSE(query->OnOk());
    EXPECT_EQ(query->Sound(), bNone);
  }
  for (const char* name : {"Header", "Question", "Return"})
    EXPECT_FALSE(Prop(TKYTMsgDlg::StaticClass(), name).HasDefault()) << name;
}

TEST(MsgDlg, ConfirmedReturnsTheEditedText) {
  TComponent owner(nullptr);
  // reference example: TKYTMsgDlg
  auto* query = new TKYTMsgDlg(&owner);
  query->SetHeader("Your name");
  query->SetQuestion("Name:");
  query->SetReturn("Anonymous");
  // end of reference example
  AnswerLog log;
  AssignQueryHandlers(*query, log);
  std::string shownText;
  DialogAnswerer answer(Press("OK").Type("Ada").OnFound([&](HWND dialog) {
    shownText = WindowText(FindChild(dialog, "Edit"));
  }));
  EXPECT_TRUE(query->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenTitle(), "Your name");
  EXPECT_TRUE(HasText(answer.SeenTexts(), "Name:")) << answer.SeenText();
  EXPECT_EQ(shownText, "Anonymous");
  EXPECT_EQ(query->Return(), "Ada");
  EXPECT_EQ(log.Calls, std::vector<std::string>{"OnOk"});
  EXPECT_EQ(log.Senders, std::vector<TObject*>{query});
}

TEST(MsgDlg, CancelledKeepsReturnAndRunsOnCancel) {
  TComponent owner(nullptr);
  auto* query = new TKYTMsgDlg(&owner);
  AnswerLog log;
  AssignQueryHandlers(*query, log);
  DialogAnswerer answer(Press("Cancel").Type("ignored"));
  EXPECT_FALSE(query->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(query->Return(), "Default Return");
  EXPECT_EQ(log.Calls, std::vector<std::string>{"OnCancel"});
}

// ---------------------------------------------------------------------------------------------
// TKYTMsgSelect

// What the selection form showed when it was found.
struct SelectionSeen {
  HWND Form = nullptr;
  std::string FormClass;
  std::vector<std::string> Items;
  int Selected = CB_ERR;
  std::string Text;
  RECT Window{}, Client{}, Label{}, Combo{}, Ok{}, Cancel{};
  std::string OkCaption, CancelCaption;
  LONG ComboStyle = 0;
  UINT TextLimit = 0;
  LOGFONTA Font{};
  bool OkIsDefault = false;
};

std::function<void(HWND)> Inspect(SelectionSeen& seen) {
  return [&seen](HWND form) {
    seen.Form = form;
    seen.FormClass = WindowClass(form);
    ::GetWindowRect(form, &seen.Window);
    ::GetClientRect(form, &seen.Client);
    HWND label = FindChild(form, "Static");
    HWND combo = FindChild(form, "ComboBox");
    HWND ok = FindButton(form, "OK");
    HWND cancel = FindButton(form, "Cancel");
    if (!label || !combo || !ok || !cancel) return;
    seen.Label = ChildRect(label);
    seen.Combo = ChildRect(combo);
    seen.Ok = ChildRect(ok);
    seen.Cancel = ChildRect(cancel);
    seen.OkCaption = WindowText(ok);
    seen.CancelCaption = WindowText(cancel);
    seen.OkIsDefault = (::GetWindowLongA(ok, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    seen.ComboStyle = ::GetWindowLongA(combo, GWL_STYLE);
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char item[256] = {};
      ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      seen.Items.emplace_back(item);
    }
    seen.Selected = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
    seen.Text = WindowText(combo);
    if (HWND edit = ::FindWindowExA(combo, nullptr, "Edit", nullptr))
      seen.TextLimit = static_cast<UINT>(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0));
    if (font) ::GetObjectA(font, sizeof seen.Font, &seen.Font);
  };
}

TKYTMsgSelect* NewSelect(TComponent& owner, std::vector<std::string> items, std::string ret) {
  auto* select = new TKYTMsgSelect(&owner);
  for (const auto& item : items) select->Items()->Add(item);
  select->SetReturn(std::move(ret));
  return select;
}

TEST(MsgSelect, StartsWithTheDeclaredValues) {
  TComponent owner(nullptr);
  auto* select = new TKYTMsgSelect(&owner);
  EXPECT_EQ(select->Header(), "Heading");
  EXPECT_EQ(select->Question(), "Question");
  EXPECT_EQ(select->Return(), "");
  EXPECT_EQ(select->Items()->Count(), 0);
  EXPECT_FALSE(select->Sorted());
  const TClassInfo& cls = TKYTMsgSelect::StaticClass();
  EXPECT_TRUE(Prop(cls, "Sorted").HasDefault());
  EXPECT_EQ(Prop(cls, "Sorted").DefaultOrd(), 0);
  for (const char* name : {"Header", "Question", "Return", "Items"})
    EXPECT_FALSE(Prop(cls, name).HasDefault()) << name;
}

TEST(MsgSelect, OpensWithThePresetItemSelected) {
  TComponent owner(nullptr);
  // reference example: TKYTMsgSelect
  auto* select = NewSelect(owner, {"red", "green", "blue"}, "green");
  select->SetHeader("Colour");
  select->SetQuestion("Pick a colour:");
  AnswerLog log;
  AssignQueryHandlers(*select, log);
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").OnFound(Inspect(seen)));
  EXPECT_TRUE(select->Execute());
  // end of reference example
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenTitle(), "Colour");
  EXPECT_TRUE(HasText(answer.SeenTexts(), "Pick a colour:")) << answer.SeenText();
  EXPECT_EQ(seen.Items, (std::vector<std::string>{"red", "green", "blue"}));
  EXPECT_EQ(seen.Selected, 1);
  EXPECT_EQ(seen.Text, "green");
  EXPECT_EQ(select->Return(), "green");
  EXPECT_EQ(log.Calls, std::vector<std::string>{"OnOk"});
}

TEST(MsgSelect, SortedListSelectsBySortedPosition) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"pear", "apple", "plum", "fig"}, "pear");
  select->SetSorted(true);
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").OnFound(Inspect(seen)));
  EXPECT_TRUE(select->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(seen.Items, (std::vector<std::string>{"apple", "fig", "pear", "plum"}));
  EXPECT_EQ(seen.Selected, 2);
  EXPECT_NE(seen.ComboStyle & CBS_SORT, 0);
}

TEST(MsgSelect, UnsortedListKeepsTheGivenOrder) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"pear", "apple"}, "apple");
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").OnFound(Inspect(seen)));
  select->Execute();
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(seen.Items, (std::vector<std::string>{"pear", "apple"}));
  EXPECT_EQ(seen.Selected, 1);
  EXPECT_EQ(seen.ComboStyle & CBS_SORT, 0);
}

TEST(MsgSelect, ReturnNotInTheListSelectsNothingButIsShown) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"one", "two"}, "three");
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").OnFound(Inspect(seen)));
  EXPECT_TRUE(select->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(seen.Selected, CB_ERR);
  EXPECT_EQ(seen.Text, "three");
  EXPECT_EQ(select->Return(), "three");
}

TEST(MsgSelect, EmptyListStillReturnsTheTypedText) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {}, "");
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").Type("typed").OnFound(Inspect(seen)));
  EXPECT_TRUE(select->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_TRUE(seen.Items.empty());
  EXPECT_EQ(select->Return(), "typed");
}

TEST(MsgSelect, CancelledKeepsReturnAndRunsOnCancel) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"a", "b"}, "a");
  AnswerLog log;
  AssignQueryHandlers(*select, log);
  DialogAnswerer answer(Press("Cancel").Type("b"));
  EXPECT_FALSE(select->Execute());
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(select->Return(), "a");
  EXPECT_EQ(log.Calls, std::vector<std::string>{"OnCancel"});
}

TEST(MsgSelect, CloseBoxCountsAsCancel) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"a"}, "a");
  DialogAnswerer answer(SendClose().Title("Heading"));
  EXPECT_FALSE(select->Execute());
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(select->Return(), "a");
}

TEST(MsgSelect, FormHasTheFixedLayout) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"x"}, "x");
  select->SetQuestion(std::string(200, 'Q'));  // a long prompt does not widen the form
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").OnFound(Inspect(seen)));
  select->Execute();
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();

  const int clientWidth = Width(seen.Client);
  EXPECT_EQ(Width(seen.Window), 280);
  EXPECT_EQ(seen.Label.left, 10);
  EXPECT_EQ(seen.Label.top, 10);
  EXPECT_EQ(seen.Combo.left, 10);
  EXPECT_EQ(seen.Combo.top, seen.Label.bottom + 5);
  EXPECT_EQ(Width(seen.Combo), clientWidth - 20);
  EXPECT_EQ(seen.Ok.top, seen.Combo.bottom + 10);
  EXPECT_EQ(Width(seen.Ok), 77);
  EXPECT_EQ(Height(seen.Ok), 27);
  EXPECT_EQ(seen.Ok.left, clientWidth / 2 - 82);
  EXPECT_EQ(seen.Cancel.top, seen.Ok.top);
  EXPECT_EQ(Width(seen.Cancel), 77);
  EXPECT_EQ(Height(seen.Cancel), 27);
  EXPECT_EQ(seen.Cancel.left, seen.Ok.left + 87);
  EXPECT_EQ(Height(seen.Client), seen.Ok.bottom + 10);
  EXPECT_EQ(seen.OkCaption, "OK");
  EXPECT_EQ(seen.CancelCaption, "Cancel");
  EXPECT_TRUE(seen.OkIsDefault);
  EXPECT_EQ(seen.TextLimit, 127u);
  EXPECT_STREQ(seen.Font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(seen.Font.lfWeight, FW_BOLD);
  ExpectCentredHorizontally(seen.Window);
  ExpectCentredVertically(seen.Window);
}

TEST(MsgSelect, FormIsDestroyedAfterwards) {
  TComponent owner(nullptr);
  auto* select = NewSelect(owner, {"x"}, "x");
  const int formsBefore = Application->ComponentCount();
  SelectionSeen seen;
  DialogAnswerer answer(Press("Cancel").OnFound(Inspect(seen)));
  select->Execute();
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_FALSE(::IsWindow(seen.Form));
  EXPECT_EQ(CountTopLevelOfClass(seen.FormClass), 0);
  EXPECT_EQ(Application->ComponentCount(), formsBefore);
}

TEST(MsgSelect, InputQueryExTakesItsOwnValues) {
  TComponent owner(nullptr);
  auto* select = new TKYTMsgSelect(&owner);
  TStringList choices;
  choices.Add("alpha");
  choices.Add("beta");
  std::string value = "beta";
  SelectionSeen seen;
  DialogAnswerer answer(Press("OK").OnFound(Inspect(seen)));
  EXPECT_TRUE(select->InputQueryEx("Direct", "Choose:", value, &choices));
  ASSERT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_EQ(answer.SeenTitle(), "Direct");
  EXPECT_EQ(seen.Selected, 1);
  EXPECT_EQ(value, "beta");
  EXPECT_EQ(select->Return(), "");  // the component's own values are untouched
}

// A list whose lines cannot be read: building the form fails half-way.
class TBrokenStrings : public TStringList {
 public:
  std::string Get(int) const override { throw Exception("unreadable line"); }
};

TEST(MsgSelect, FailingStepFreesTheFormAndRunsNoEvent) {
  TComponent owner(nullptr);
  auto* select = new TKYTMsgSelect(&owner);
  AnswerLog log;
  AssignQueryHandlers(*select, log);
  TBrokenStrings broken;
  broken.Add("line");
  const int formsBefore = Application->ComponentCount();
  const auto windowsBefore = ProcessTopLevelWindows(false).size();
  std::string value = "v";
  EXPECT_THROW(select->InputQueryEx("Broken", "Prompt", value, &broken), Exception);
  EXPECT_EQ(value, "v");
  EXPECT_EQ(Application->ComponentCount(), formsBefore);
  EXPECT_EQ(ProcessTopLevelWindows(false).size(), windowsBefore);
  EXPECT_TRUE(log.Calls.empty());
}

// ---------------------------------------------------------------------------------------------
// Form files

// A root that publishes the handlers its form file names.
class TMessagesTestRoot : public TComponent {
  KYT_CLASS(TMessagesTestRoot, TComponent)
 public:
  using TComponent::TComponent;
  static void PublishMethods(TMethodPublisher<TMessagesTestRoot>& m) {
    m.Method<&TMessagesTestRoot::BoxYes>("BoxYes");
    m.Method<&TMessagesTestRoot::QueryOk>("QueryOk");
  }
  void BoxYes(TObject*) {}
  void QueryOk(TObject*) {}
};

TEST(MessagesFormFile, RoundTripsEveryComponentAndLeavesDefaultsOut) {
  RegisterClasses({&TMessagesTestRoot::StaticClass(), &TKYTMsgBox::StaticClass(),
                   &TKYTMsgDlg::StaticClass(), &TKYTMsgSelect::StaticClass()});
  TMessagesTestRoot root(nullptr);
  root.SetName("MessagesForm");
  auto* plainBox = new TKYTMsgBox(&root);
  plainBox->SetName("PlainBox");
  auto* box = new TKYTMsgBox(&root);
  box->SetName("MsgBox1");
  box->Caption()->Add("first line");
  box->Caption()->Add("it's second");
  box->SetMessageType(mtWarning);
  box->SetButtons(TMsgDlgButtons{mbYes, mbNo, mbHelp});
  box->SetHelpContext(17);
  box->SetXPosition(100);
  box->SetYPosition(50);
  box->SetSound(bExclamation);
  box->SetOnYes(TNotifyEvent::Bind<&TMessagesTestRoot::BoxYes>(&root));
  auto* query = new TKYTMsgDlg(&root);
  query->SetName("MsgDlg1");
  query->SetReturn("");
  query->SetOnOk(TNotifyEvent::Bind<&TMessagesTestRoot::QueryOk>(&root));
  auto* select = new TKYTMsgSelect(&root);
  select->SetName("MsgSelect1");
  select->Items()->Add("one");
  select->Items()->Add("two");
  select->SetSorted(true);
  select->SetReturn("two");

  const std::string text = WriteComponentText(root);
  const auto block = [&](const std::string& name) {
    const auto start = text.find("object " + name + ":");
    EXPECT_NE(start, std::string::npos) << name << " in\n" << text;
    return text.substr(start, text.find("end", start) - start);
  };
  const std::string plain = block("PlainBox");
  for (const char* absent : {"Caption", "MessageType", "Buttons", "HelpContext", "XPosition",
                             "YPosition", "Sound", "About", "DesignExecute"})
    EXPECT_EQ(plain.find(absent), std::string::npos) << absent << " in\n" << plain;
  const std::string full = block("MsgBox1");
  EXPECT_NE(full.find("Buttons = [mbYes, mbNo, mbHelp]"), std::string::npos) << full;
  EXPECT_NE(full.find("MessageType = mtWarning"), std::string::npos) << full;
  EXPECT_NE(full.find("OnYes = BoxYes"), std::string::npos) << full;
  const std::string dlg = block("MsgDlg1");
  for (const char* always : {"Header = 'Heading'", "Question = 'Question'", "Return = ''"})
    EXPECT_NE(dlg.find(always), std::string::npos) << always << " in\n" << dlg;
  EXPECT_NE(block("MsgSelect1").find("Sorted = True"), std::string::npos);

  TMessagesTestRoot copy(nullptr);
  ReadRootText(copy, text, "messages.kfm");
  auto* box2 = ObjectCast<TKYTMsgBox>(copy.FindComponent("MsgBox1"));
  ASSERT_NE(box2, nullptr);
  ASSERT_EQ(box2->Caption()->Count(), 2);
  EXPECT_EQ(box2->Caption()->Strings(1), "it's second");
  EXPECT_EQ(box2->MessageType(), mtWarning);
  EXPECT_EQ(box2->Buttons(), (TMsgDlgButtons{mbYes, mbNo, mbHelp}));
  EXPECT_EQ(box2->HelpContext(), 17);
  EXPECT_EQ(box2->XPosition(), 100);
  EXPECT_EQ(box2->YPosition(), 50);
  EXPECT_EQ(box2->Sound(), bExclamation);
  EXPECT_EQ(box2->OnYes(), TNotifyEvent::Bind<&TMessagesTestRoot::BoxYes>(&copy));
  auto* plain2 = ObjectCast<TKYTMsgBox>(copy.FindComponent("PlainBox"));
  ASSERT_NE(plain2, nullptr);
  EXPECT_EQ(plain2->Buttons(), (TMsgDlgButtons{mbOK, mbCancel}));
  EXPECT_EQ(plain2->XPosition(), -1);
  auto* query2 = ObjectCast<TKYTMsgDlg>(copy.FindComponent("MsgDlg1"));
  ASSERT_NE(query2, nullptr);
  EXPECT_EQ(query2->Return(), "");
  EXPECT_EQ(query2->Header(), "Heading");
  EXPECT_TRUE(query2->OnOk());
  auto* select2 = ObjectCast<TKYTMsgSelect>(copy.FindComponent("MsgSelect1"));
  ASSERT_NE(select2, nullptr);
  EXPECT_TRUE(select2->Sorted());
  EXPECT_EQ(select2->Return(), "two");
  ASSERT_EQ(select2->Items()->Count(), 2);
  EXPECT_EQ(select2->Items()->Strings(0), "one");
  EXPECT_EQ(WriteComponentText(copy), text);
}

TEST(MessagesFormFile, ClearedCaptionIsNotStoredAndDesignerShowsThePlaceholderAgain) {
  RegisterClasses({&TMessagesTestRoot::StaticClass(), &TKYTMsgBox::StaticClass()});
  TMessagesTestRoot root(nullptr);
  root.SetDesigning(true);
  auto* box = new TKYTMsgBox(&root);
  box->SetName("MsgBox1");
  box->Caption()->Clear();
  const std::string text = WriteComponentText(root);
  EXPECT_EQ(text.find("Caption"), std::string::npos) << text;

  TMessagesTestRoot runtime(nullptr);
  ReadRootText(runtime, text, "cleared.kfm");
  auto* atRunTime = ObjectCast<TKYTMsgBox>(runtime.FindComponent("MsgBox1"));
  ASSERT_NE(atRunTime, nullptr);
  EXPECT_EQ(atRunTime->Caption()->Count(), 0);

  TMessagesTestRoot designer(nullptr);
  designer.SetDesigning(true);
  ReadRootText(designer, text, "cleared.kfm");
  auto* inDesigner = ObjectCast<TKYTMsgBox>(designer.FindComponent("MsgBox1"));
  ASSERT_NE(inDesigner, nullptr);
  ASSERT_EQ(inDesigner->Caption()->Count(), 1);
  EXPECT_EQ(inDesigner->Caption()->Strings(0), "Place your message here");
}

// ---------------------------------------------------------------------------------------------
// The design tool's execute test

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

// Runs kytdesign with args in folder; waits for it and returns its exit code.
DWORD RunTool(const std::string& tool, const std::string& args, const std::string& folder,
              PROCESS_INFORMATION* running = nullptr) {
  std::string line = "\"" + tool + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (const DWORD error = StartProcess(line, folder, si, pi, false)) {
    ADD_FAILURE() << "cannot start " << tool << " (error " << error << ")";
    return 0xFFFFFFFF;
  }
  ::CloseHandle(pi.hThread);
  if (running) {
    *running = pi;
    return STILL_ACTIVE;
  }
  DWORD code = 0xFFFFFFFF;
  if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &code);
  else ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hProcess);
  return code;
}

// The visible top-level window of process pid that has a button captioned caption.
TEST(MsgBoxInDesignTool, ExecuteTestShowsTheDialogWithThePlaceholderLine) {
  const std::string tool = ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe";
  ASSERT_NE(::GetFileAttributesA(tool.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the design tool is not built: " << tool;
  const std::string folder = ModuleFolder() + "\\dialogs-tmp";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  ::DeleteFileA((folder + "\\Unit1.kfm").c_str());
  ASSERT_EQ(RunTool(tool, "new Unit1.kfm", folder), 0u);
  ASSERT_EQ(RunTool(tool, "add Unit1.kfm TKYTMsgBox MsgBox1", folder), 0u);
  ASSERT_EQ(RunTool(tool, "set Unit1.kfm MsgBox1.YPosition 40", folder), 0u);

  PROCESS_INFORMATION pi{};
  RunTool(tool, "test Unit1.kfm MsgBox1", folder, &pi);
  // A dialog helper works only in its own process: this one looks for the child's window.
  HWND found = nullptr;
  for (int i = 0; i < 500 && !found; ++i) {
    if (::WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
    for (HWND top : TopLevelWindowsOf(pi.dwProcessId, true))
      if (FindButton(top, "OK")) found = top;
  }
  std::string title, text;
  RECT rect{};
  if (found) {
    title = WindowText(found);
    text = WindowText(FindChild(found, "Static", 1));  // after the icon
    ::GetWindowRect(found, &rect);
    ::SendMessageA(FindButton(found, "OK"), BM_CLICK, 0, 0);
  }
  DWORD code = 0xFFFFFFFF;
  if (::WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(pi.hProcess, &code);
  } else {
    ::TerminateProcess(pi.hProcess, 1);
  }
  ::CloseHandle(pi.hProcess);
  ::DeleteFileA((folder + "\\Unit1.kfm").c_str());
  ::RemoveDirectoryA(folder.c_str());

  ASSERT_NE(found, nullptr) << "no dialog of the design tool appeared";
  EXPECT_EQ(title, "Information");
  EXPECT_EQ(text, "Place your message here\r");
  EXPECT_EQ(rect.top, 40);
  ExpectCentredHorizontally(rect);
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace kyt
