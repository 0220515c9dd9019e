// Tests of the standard controls on their system classes: label sizing and accelerators, edit
// text, the combo and list boxes' items in step with the controls, buttons, bitmap-button kinds, and a
// selection dialog built control by control and answered like a user would.
#include "host/vcl/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/vcl/Application.h"
#include "host/vcl/Buttons.h"
#include "host/vcl/ExtCtrls.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using vcltest::ClassOf;
using vcltest::PumpApp;
using vcltest::RectInParent;
using vcltest::TextOf;

SIZE TextExtent(const std::string& text, const TFont& font) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font.Handle());
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return SIZE{r.right, r.bottom};
}

struct Clicks {
  int Count = 0;
  void Click(TObject*) { ++Count; }
};

TEST(Label, IsAStaticSizedToItsCaption) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("A prompt for the user");
  EXPECT_EQ(ClassOf(label->Handle()), "Static");
  EXPECT_EQ(TextOf(label->Handle()), "A prompt for the user");
  const SIZE normal = TextExtent("A prompt for the user", *label->Font());
  EXPECT_EQ(label->Width(), normal.cx);
  EXPECT_EQ(label->Height(), normal.cy);
  EXPECT_EQ(RectInParent(label->Handle()).right - RectInParent(label->Handle()).left, normal.cx);

  form.Font()->SetStyle(TFontStyles{fsBold});  // the label's font follows and it grows
  EXPECT_EQ(label->Width(), TextExtent("A prompt for the user", *label->Font()).cx);
  EXPECT_GE(label->Width(), normal.cx);
  label->SetAutoSize(false);
  label->SetCaption("Short");
  EXPECT_GE(label->Width(), normal.cx);
}

TEST(Label, AcceleratorFocusesTheFocusControl) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("&Name:");
  auto* other = new TEdit(&form);
  other->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetTop(40);
  label->SetFocusControl(edit);
  EXPECT_EQ(label->Accelerator(), 'N');
  form.Show();
  ::SetForegroundWindow(form.Handle());
  other->SetFocus();
  ASSERT_EQ(::GetFocus(), other->Handle());
  ::PostMessageA(other->Handle(), WM_SYSCHAR, 'n', 1 << 29);
  EXPECT_TRUE(PumpApp([&] { return ::GetFocus() == edit->Handle(); }));
  delete edit;
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST(Edit, TextIsTheWindowTextAndSurvivesItsWindow) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetCaption("first");
  EXPECT_EQ(ClassOf(edit->Handle()), "Edit");
  EXPECT_EQ(TextOf(edit->Handle()), "first");
  ::SetWindowTextA(edit->Handle(), "typed");
  EXPECT_EQ(edit->Text(), "typed");
  edit->SetMaxLength(5);
  EXPECT_EQ(::SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 5);
  edit->SelectAll();
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 5);
  edit->DestroyHandle();
  EXPECT_EQ(edit->Text(), "typed");
  EXPECT_EQ(TextOf(edit->Handle()), "typed");
}

// Each edit of the lines lands in the window text, and the window text is what Lines reads.
TEST(Memo, LinesAreTheWindowText) {
  struct Case {
    const char* Name;
    void (*Change)(TStrings&);
    const char* Window;
    int Count;
  };
  const Case cases[] = {
      {"add", [](TStrings& l) { l.Add("c"); }, "a\r\nb\r\nc", 3},
      {"insert first", [](TStrings& l) { l.Insert(0, "z"); }, "z\r\na\r\nb", 3},
      {"insert an empty line", [](TStrings& l) { l.Insert(1, ""); }, "a\r\n\r\nb", 3},
      {"put", [](TStrings& l) { l.Put(1, "B"); }, "a\r\nB", 2},
      {"delete", [](TStrings& l) { l.Delete(0); }, "b", 1},
      {"text with bare breaks", [](TStrings& l) { l.SetText("x\ny\rz\n"); }, "x\r\ny\r\nz", 3},
      {"a line holding a break", [](TStrings& l) { l.Add("c\nd"); }, "a\r\nb\r\nc\r\nd", 4},
      {"clear", [](TStrings& l) { l.Clear(); }, "", 0},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    memo->Lines()->SetText("a\r\nb\r\n");
    c.Change(*memo->Lines());
    EXPECT_EQ(TextOf(memo->Handle()), c.Window) << c.Name;
    EXPECT_EQ(memo->Lines()->Count(), c.Count) << c.Name;
  }
  TForm form(nullptr);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  EXPECT_EQ(ClassOf(memo->Handle()), "Edit");
  EXPECT_NE(::GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_MULTILINE, 0);
  ::SetWindowTextA(memo->Handle(), "typed\r\nby hand");
  EXPECT_EQ(memo->Lines()->Strings(1), "by hand");
  EXPECT_THROW(memo->Lines()->Strings(2), EListError);
  // A style change makes a new window; the text goes along.
  memo->SetScrollBars(ssVertical);
  EXPECT_NE(::GetWindowLongA(memo->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(TextOf(memo->Handle()), "typed\r\nby hand");
}

// A click steps the state as the user sees it, and every change runs OnClick once.
TEST(CheckBox, AClickStepsTheStateAndRunsOnClick) {
  struct Case {
    bool AllowGrayed;
    TCheckBoxState Start;
    int ClicksGiven;
    TCheckBoxState End;
  };
  const Case cases[] = {
      {false, cbUnchecked, 1, cbChecked},
      {false, cbUnchecked, 2, cbUnchecked},
      {true, cbUnchecked, 2, cbGrayed},
      {true, cbUnchecked, 3, cbUnchecked},
      {false, cbGrayed, 1, cbUnchecked},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    auto* box = new TCheckBox(&form);
    box->SetParent(&form);
    box->SetCaption("Keep");
    box->SetAllowGrayed(c.AllowGrayed);
    box->SetState(c.Start);
    Clicks clicks;
    box->SetOnClick(TNotifyEvent::Bind<&Clicks::Click>(&clicks));
    form.Show();
    for (int i = 0; i < c.ClicksGiven; ++i) ::SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->State(), c.End) << c.ClicksGiven;
    EXPECT_EQ(::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.End)) << c.ClicksGiven;
    EXPECT_EQ(clicks.Count, c.ClicksGiven);
    EXPECT_EQ(box->Checked(), c.End == cbChecked);
  }
  // Set before the window exists, the state is in the new window.
  TForm form(nullptr);
  auto* box = new TCheckBox(&form);
  box->SetChecked(true);
  box->SetParent(&form);
  EXPECT_EQ(ClassOf(box->Handle()), "Button");
  EXPECT_EQ(::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(TextOf(box->Handle()), "");
}

TEST(ComboBox, ItemsAreTheControlsItems) {
  TForm form(nullptr);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  EXPECT_EQ(combo->Style(), csDropDown);
  HWND window = combo->Handle();
  EXPECT_EQ(ClassOf(window), "ComboBox");
  EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & 3, CBS_DROPDOWN);
  combo->Items()->Add("one");
  combo->Items()->Add("two");
  combo->Items()->Insert(0, "zero");
  EXPECT_EQ(::SendMessageA(window, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->Items()->Strings(0), "zero");
  EXPECT_EQ(combo->Items()->IndexOf("TWO"), 2);  // the control's own case-insensitive search
  EXPECT_EQ(combo->Items()->IndexOf("three"), -1);
  EXPECT_THROW(combo->Items()->Strings(3), EListError);
  combo->SetItemIndex(1);
  EXPECT_EQ(::SendMessageA(window, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(combo->Text(), "one");
  combo->Items()->Delete(0);
  EXPECT_EQ(combo->Items()->Count(), 2);
}

TEST(ComboBox, SortedBoxSortsAsTheControlDoesAndKeepsItemsWhenRemade) {
  TForm form(nullptr);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  for (const char* s : {"pear", "Apple", "fig"}) combo->Items()->Add(s);
  combo->SetSorted(true);  // remakes the window: the items come back sorted
  EXPECT_TRUE(::GetWindowLongA(combo->Handle(), GWL_STYLE) & CBS_SORT);
  ASSERT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->Items()->Strings(0), "Apple");
  EXPECT_EQ(combo->Items()->Strings(1), "fig");
  EXPECT_EQ(combo->Items()->Strings(2), "pear");
  EXPECT_EQ(combo->Items()->Add("banana"), 1);
}

TEST(ComboBox, ClearingItemsKeepsTheEditTextAndMaxLengthLimitsTyping) {
  TForm form(nullptr);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  combo->SetMaxLength(127);
  combo->SetCaption("kept text");
  combo->Items()->Add("x");
  combo->Items()->Clear();
  EXPECT_EQ(combo->Items()->Count(), 0);
  EXPECT_EQ(combo->Text(), "kept text");
  HWND edit = ::FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr);
  ASSERT_TRUE(edit);
  EXPECT_EQ(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 127);
  combo->SelectAll();
  DWORD start = 1, end = 0;
  ::SendMessageA(combo->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 9u);
}

TEST(ListBox, ItemsAreTheControlsLinesAndSurviveAWindowRemadeSorted) {
  TForm form(nullptr);
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  HWND window = list->Handle();
  EXPECT_EQ(ClassOf(window), "ListBox");
  EXPECT_TRUE(::GetWindowLongA(window, GWL_STYLE) & LBS_NOTIFY);
  for (const char* s : {"pear", "Apple", "fig"}) list->Items()->Add(s);
  list->Items()->Insert(0, "kiwi");
  EXPECT_EQ(::SendMessageA(window, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(list->Items()->IndexOf("APPLE"), 2);
  EXPECT_EQ(list->Items()->IndexOf("plum"), -1);
  EXPECT_THROW(list->Items()->Strings(4), EListError);
  EXPECT_THROW(list->Items()->Delete(-1), EListError);
  EXPECT_THROW(list->Items()->Insert(5, "x"), EListError);
  list->Items()->Put(1, "Pear");  // a line replaced in place
  EXPECT_EQ(list->Items()->CommaText(), "kiwi,Pear,Apple,fig");
  TObject marker;
  list->Items()->PutObject(3, &marker);
  list->SetItemIndex(3);
  EXPECT_EQ(::SendMessageA(window, LB_GETCURSEL, 0, 0), 3);

  list->DestroyHandle();  // the lines, their objects and the selection wait in the object
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_EQ(list->Items()->Strings(3), "fig");
  EXPECT_EQ(list->Items()->Objects(3), &marker);
  EXPECT_EQ(list->ItemIndex(), 3);
  list->SetSorted(true);
  EXPECT_TRUE(::GetWindowLongA(list->Handle(), GWL_STYLE) & LBS_SORT);
  EXPECT_EQ(list->Items()->CommaText(), "Apple,fig,kiwi,Pear");
  EXPECT_EQ(list->Items()->Objects(list->Items()->IndexOf("fig")), &marker);
  EXPECT_EQ(list->Items()->Add("banana"), 1);
  list->Clear();
  EXPECT_EQ(list->Items()->Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST(ListBox, AClickOnALineSelectsItAndRunsOnClickAndTheHeightIsKept) {
  TForm form(nullptr);
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  list->SetBounds(8, 8, 200, 101);  // not a whole number of lines
  for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
  Clicks clicks;
  list->SetOnClick(TNotifyEvent::Bind<&Clicks::Click>(&clicks));
  form.Show();
  EXPECT_EQ(RectInParent(list->Handle()).bottom - RectInParent(list->Handle()).top, 101);
  const int32_t lineHeight = list->ItemHeight();
  ASSERT_GT(lineHeight, 0);
  RECT line{};
  ::SendMessageA(list->Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&line));
  EXPECT_EQ(line.bottom - line.top, lineHeight);
  const LPARAM at = MAKELPARAM(line.left + 4, line.top + lineHeight / 2);
  ::SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(PumpApp([&] { return clicks.Count == 1; }));
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetItemIndex(2);  // a selection by the program is no click
  EXPECT_EQ(clicks.Count, 1);
  EXPECT_EQ(list->TopIndex(), 0);
}

TEST(Button, ClickFromTheSystemButtonRunsOnClickAndSetsTheFormsModalResult) {
  TForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetCaption("&Go");
  button->SetModalResult(mrRetry);
  Clicks clicks;
  button->SetOnClick(TNotifyEvent::Bind<&Clicks::Click>(&clicks));
  form.Show();
  EXPECT_EQ(ClassOf(button->Handle()), "Button");
  ::SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks.Count, 1);
  EXPECT_EQ(form.ModalResult(), mrRetry);
}

TEST(Button, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* ok = new TButton(&form);
  ok->SetParent(&form);
  ok->SetTop(40);
  ok->SetDefault(true);
  auto* cancel = new TButton(&form);
  cancel->SetParent(&form);
  cancel->SetTop(80);
  cancel->SetCancel(true);
  Clicks okClicks, cancelClicks;
  ok->SetOnClick(TNotifyEvent::Bind<&Clicks::Click>(&okClicks));
  cancel->SetOnClick(TNotifyEvent::Bind<&Clicks::Click>(&cancelClicks));
  EXPECT_TRUE(::GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
  form.Show();
  ::SetForegroundWindow(form.Handle());
  edit->SetFocus();
  ::PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(PumpApp([&] { return okClicks.Count == 1; }));
  ::PostMessageA(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(PumpApp([&] { return cancelClicks.Count == 1; }));
  // Tab moves the focus to the next control.
  edit->SetFocus();
  ::PostMessageA(edit->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(PumpApp([&] { return ::GetFocus() == ok->Handle(); }));
}

TEST(BitBtn, KindGivesCaptionRoleAndModalResult) {
  TForm form(nullptr);
  auto* b = new TBitBtn(&form);
  b->SetParent(&form);
  struct Expect {
    TBitBtnKind Kind;
    const char* Caption;
    int Result;
    bool Default;
    bool Cancel;
  };
  const Expect table[] = {
      {bkOK, "OK", mrOk, true, false},          {bkCancel, "Cancel", mrCancel, false, true},
      {bkYes, "&Yes", mrYes, true, false},      {bkNo, "&No", mrNo, false, true},
      {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
      {bkHelp, "&Help", mrNone, false, false},  {bkClose, "&Close", mrNone, false, false},
  };
  for (const Expect& e : table) {
    b->SetKind(e.Kind);
    EXPECT_EQ(b->Caption(), e.Caption);
    EXPECT_EQ(TextOf(b->Handle()), e.Caption);
    EXPECT_EQ(b->ModalResult(), e.Result) << e.Caption;
    EXPECT_EQ(b->Default(), e.Default) << e.Caption;
    EXPECT_EQ(b->Cancel(), e.Cancel) << e.Caption;
  }
  b->SetMargin(-1);
  EXPECT_EQ(b->Margin(), -1);
  b->SetKind(bkCustom);
  EXPECT_EQ(b->Caption(), "&Close");  // custom keeps what it had
}

// The selection dialog a component builds: the geometry follows the controls' real sizes.
struct SelectionDialog {
  std::unique_ptr<TForm> Form{new TForm(Application)};
  TLabel* Label;
  TComboBox* Combo;
  TBitBtn* Ok;
  TBitBtn* Cancel;

  SelectionDialog(const std::string& value, const std::vector<std::string>& items, bool sorted) {
    TForm& f = *Form;
    f.SetBorderStyle(bsDialog);
    f.SetCtl3D(true);
    f.SetWidth(280);
    f.SetHeight(160);
    f.SetCaption("Choose one");
    f.Font()->SetName("MS Sans Serif");
    f.Font()->SetSize(8);
    f.Font()->SetStyle(TFontStyles{fsBold});
    f.SetPosition(poScreenCenter);
    Label = new TLabel(&f);
    Label->SetParent(&f);
    Label->SetAutoSize(true);
    Label->SetLeft(10);
    Label->SetTop(10);
    Label->SetCaption("Pick a fruit");
    Combo = new TComboBox(&f);
    Combo->SetParent(&f);
    Combo->SetSorted(sorted);
    Combo->SetLeft(10);
    Combo->SetTop(Label->Top() + Label->Height() + 5);
    Combo->SetWidth(f.ClientWidth() - 20);
    Combo->SetMaxLength(127);
    Combo->SelectAll();
    Combo->SetText(value);
    Combo->Items()->Clear();
    for (const auto& s : items) Combo->Items()->Add(s);
    if (int i = Combo->Items()->IndexOf(Combo->Text()); i >= 0) Combo->SetItemIndex(i);
    Label->SetFocusControl(Combo);
    Ok = new TBitBtn(&f);
    Ok->SetParent(&f);
    Ok->SetKind(bkOK);
    Ok->SetMargin(-1);
    Ok->SetTop(Combo->Top() + Combo->Height() + 10);
    Ok->SetWidth(77);
    Ok->SetHeight(27);
    Ok->SetLeft(f.ClientWidth() / 2 - (2 * Ok->Width() + 10) / 2);
    Cancel = new TBitBtn(&f);
    Cancel->SetParent(&f);
    Cancel->SetKind(bkCancel);
    Cancel->SetMargin(-1);
    Cancel->SetTop(Ok->Top());
    Cancel->SetWidth(77);
    Cancel->SetHeight(27);
    Cancel->SetLeft(Ok->Left() + Ok->Width() + 10);
    f.SetClientHeight(Ok->Top() + Ok->Height() + 10);
  }
};

TEST(SelectionDialog, BuiltControlByControlItHasTheGeometryOfItsControls) {
  SelectionDialog d("fig", {"pear", "fig", "apple"}, true);
  TForm& f = *d.Form;
  RECT client{};
  ::GetClientRect(f.Handle(), &client);
  EXPECT_EQ(f.Width(), 280);
  EXPECT_EQ(client.right, f.ClientWidth());
  EXPECT_EQ(client.bottom, d.Ok->Top() + 27 + 10);
  RECT combo = RectInParent(d.Combo->Handle());
  EXPECT_EQ(combo.left, 10);
  EXPECT_EQ(combo.top, d.Label->Top() + d.Label->Height() + 5);
  EXPECT_EQ(combo.right - combo.left, client.right - 20);
  RECT ok = RectInParent(d.Ok->Handle());
  EXPECT_EQ(ok.top, combo.bottom + 10);
  EXPECT_EQ(ok.left, client.right / 2 - 82);
  EXPECT_EQ(ok.right - ok.left, 77);
  RECT cancel = RectInParent(d.Cancel->Handle());
  EXPECT_EQ(cancel.left, ok.right + 10);
  EXPECT_EQ(cancel.top, ok.top);
  // Sorted: the selected index is the sorted position of the value.
  EXPECT_EQ(d.Combo->ItemIndex(), 1);
  EXPECT_EQ(d.Combo->Items()->Strings(0), "apple");
  EXPECT_EQ(d.Combo->Text(), "fig");
}

TEST(SelectionDialog, OkReturnsTheTypedTextAndCancelReturnsCancel) {
  {
    SelectionDialog d("", {}, false);
    DialogAnswerer answer(Press("OK").Type("typed value").Title("Choose one"));
    EXPECT_EQ(d.Form->ShowModal(), mrOk);
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_EQ(d.Combo->Text(), "typed value");
    RECT r = answer.SeenRect();
    EXPECT_EQ(r.left, (Screen->Width() - 280) / 2);  // poScreenCenter
  }
  {
    SelectionDialog d("kept", {"a"}, false);
    DialogAnswerer answer(Press("Cancel").Title("Choose one"));
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
  }
}

}  // namespace
}  // namespace kyt
