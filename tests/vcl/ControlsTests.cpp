// Tests of the control hierarchy: parenting apart from ownership, windows made on first use and
// remade with their state, the replaceable window method and inherited fonts.
#include "host/vcl/Controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using vcltest::RectInParent;
using vcltest::TextOf;

TEST(Control, ParentListsChildrenInInsertionOrderApartFromTheOwner) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  auto* a = new TEdit(&form);
  auto* b = new TLabel(&form);
  EXPECT_EQ(form.ControlCount(), 0);  // owned, not yet parented
  panel->SetParent(&form);
  b->SetParent(panel);
  a->SetParent(panel);
  EXPECT_EQ(form.ControlCount(), 1);
  ASSERT_EQ(panel->ControlCount(), 2);
  EXPECT_EQ(panel->Controls(0), b);
  EXPECT_EQ(panel->Controls(1), a);
  EXPECT_EQ(a->Owner(), &form);
  EXPECT_EQ(a->Parent(), panel);
  EXPECT_EQ(a->GetParentForm(), &form);
  EXPECT_THROW(panel->Controls(2), EListError);
  EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);

  b->SetParent(&form);
  EXPECT_EQ(panel->ControlCount(), 1);
  EXPECT_EQ(form.Controls(1), b);
  b->SetParent(nullptr);
  EXPECT_EQ(form.ControlCount(), 1);
  EXPECT_EQ(b->Owner(), &form);
}

TEST(Control, WindowIsCreatedOnFirstUseInsideTheParentWindow) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(12, 14, 100, 22);
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_FALSE(form.HandleAllocated());
  HWND window = edit->Handle();
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_TRUE(form.HandleAllocated());  // the parent's window came first
  EXPECT_EQ(::GetParent(window), form.Handle());
  EXPECT_EQ(TWinControl::FindControl(window), edit);
  RECT r = RectInParent(window);
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 14);
  EXPECT_EQ(r.right - r.left, 100);
  // A control added to a form that has a window gets its own at once.
  auto* late = new TButton(&form);
  late->SetParent(&form);
  EXPECT_TRUE(late->HandleAllocated());
}

TEST(Control, ControlWithoutParentLivesInAHiddenWindowUntilParented) {
  TForm form(nullptr);
  TEdit* edit = new TEdit(&form);
  edit->SetCaption("parked");
  HWND window = edit->Handle();
  EXPECT_NE(::GetParent(window), nullptr);
  EXPECT_FALSE(::IsWindowVisible(::GetParent(window)));
  edit->SetParent(&form);
  EXPECT_EQ(::GetParent(window), form.Handle());
  EXPECT_EQ(edit->Handle(), window);
  EXPECT_EQ(TextOf(window), "parked");
}

TEST(Control, RecreateWndMakesANewWindowWithTheSameStateAndChildren) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetParent(panel);
  edit->SetBounds(5, 6, 90, 21);
  HWND oldPanel = panel->Handle();
  HWND oldEdit = edit->Handle();
  ::SetWindowTextA(oldEdit, "typed by the user");
  panel->RecreateWnd();
  EXPECT_FALSE(::IsWindow(oldPanel));
  EXPECT_FALSE(::IsWindow(oldEdit));
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_NE(edit->Handle(), oldEdit);
  EXPECT_EQ(::GetParent(edit->Handle()), panel->Handle());
  EXPECT_EQ(TextOf(edit->Handle()), "typed by the user");
  EXPECT_EQ(RectInParent(edit->Handle()).left, 5);
  EXPECT_EQ(TWinControl::FindControl(oldEdit), nullptr);
}

TEST(Control, DestroyingAParentDestroysItsChildControls) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* button = new TButton(&form);
  button->SetParent(panel);
  HWND buttonWindow = button->Handle();
  const int owned = form.ComponentCount();
  delete panel;
  EXPECT_EQ(form.ComponentCount(), owned - 2);
  EXPECT_FALSE(::IsWindow(buttonWindow));
  EXPECT_EQ(form.ControlCount(), 0);
}

TEST(Control, ReplacedWindowMethodSeesMessagesAndPassesThemOn) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  std::vector<UINT> seen;
  TWndMethod previous = edit->WindowProc();
  edit->SetWindowProc([&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_APP + 3) {
      m.Result = 33;
      return;  // consumed
    }
    previous(m);
  });
  ::SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("through the hook"));
  EXPECT_EQ(TextOf(edit->Handle()), "through the hook");
  EXPECT_EQ(::SendMessageA(edit->Handle(), WM_APP + 3, 0, 0), 33);
  EXPECT_EQ(edit->Perform(WM_APP + 3), 33);
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_SETTEXT)), seen.end());
  edit->SetWindowProc(previous);
  seen.clear();
  ::SendMessageA(edit->Handle(), WM_APP + 3, 0, 0);
  EXPECT_TRUE(seen.empty());
}

TEST(Control, ChildrenUseTheParentFontUntilGivenTheirOwn) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  form.Font()->SetName("Arial");
  form.Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_TRUE(label->ParentFont());
  EXPECT_EQ(label->Font()->Name(), "Arial");
  EXPECT_TRUE(edit->Font()->Style().Contains(fsBold));
  // The window uses it too.
  HFONT used = reinterpret_cast<HFONT>(::SendMessageA(edit->Handle(), WM_GETFONT, 0, 0));
  LOGFONTA lf{};
  ::GetObjectA(used, sizeof(lf), &lf);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfWeight, FW_BOLD);

  edit->Font()->SetName("Courier New");
  EXPECT_FALSE(edit->ParentFont());
  form.Font()->SetSize(12);
  EXPECT_EQ(label->Font()->Size(), 12);
  EXPECT_NE(edit->Font()->Size(), 12);
  edit->SetParentFont(true);
  EXPECT_EQ(edit->Font()->Name(), "Arial");
}

TEST(Control, VisibleAndEnabledAreTheWindowsStyles) {
  TForm form(nullptr);
  form.Show();
  auto* button = new TButton(&form);
  button->SetParent(&form);
  EXPECT_TRUE(button->Showing());
  EXPECT_TRUE(::IsWindowVisible(button->Handle()));
  button->SetVisible(false);
  EXPECT_FALSE(::IsWindowVisible(button->Handle()));
  EXPECT_FALSE(button->Showing());
  button->SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(button->Handle()));
  button->SetEnabled(true);
  button->SetVisible(true);
  EXPECT_TRUE(::IsWindowVisible(button->Handle()));
  form.Hide();
  EXPECT_FALSE(button->Showing());
}

TEST(Control, HintSplitsIntoShortAndLongParts) {
  EXPECT_EQ(GetShortHint("Open|Opens a file"), "Open");
  EXPECT_EQ(GetLongHint("Open|Opens a file"), "Opens a file");
  EXPECT_EQ(GetShortHint("Plain"), "Plain");
  EXPECT_EQ(GetLongHint("Plain"), "Plain");
  EXPECT_EQ(AcceleratorChar("&Name"), 'N');
  EXPECT_EQ(AcceleratorChar("Save && e&xit"), 'X');
  EXPECT_EQ(AcceleratorChar("none"), 0);
}

}  // namespace
}  // namespace kyt
