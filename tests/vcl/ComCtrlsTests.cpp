// Tests of the tab control on its system class: a real click on a tab asks, selects and tells;
// the tabs and the selection survive a new window; the common controls are initialised once.
#include "host/vcl/ComCtrls.h"

#include <gtest/gtest.h>

#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using vcltest::ClassOf;
using vcltest::PumpApp;

struct TabLog {
  bool Allow = true;
  int Changing = 0;
  int Changed = 0;
  void OnChanging(TObject*, bool& allow) {
    ++Changing;
    allow = Allow;
  }
  void OnChange(TObject*) { ++Changed; }
};

// Clicks the middle of a tab with the mouse messages the control gets from a person's click.
void ClickTab(HWND tabs, int index) {
  RECT r{};
  ASSERT_TRUE(::SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ::PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageA(tabs, WM_LBUTTONUP, 0, at);
}

TEST(TabControl, AClickOnATabAsksThenSelectsAndTells) {
  struct Case {
    bool Allow;
    int Index;    // TabIndex after the click on tab 2
    int Changed;  // OnChange runs
  };
  for (const Case& c : {Case{true, 2, 1}, Case{false, 0, 0}}) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 400, 300);
    auto* tabs = new TTabControl(&form);
    tabs->SetParent(&form);
    tabs->Tabs()->Add("General");
    tabs->Tabs()->Add("Files");
    tabs->Tabs()->Add("Advanced");
    tabs->SetTabIndex(0);
    TabLog log;
    log.Allow = c.Allow;
    tabs->SetOnChanging(TTabChangingEvent::Bind<&TabLog::OnChanging>(&log));
    tabs->SetOnChange(TNotifyEvent::Bind<&TabLog::OnChange>(&log));
    form.Show();
    EXPECT_EQ(ClassOf(tabs->Handle()), "SysTabControl32");
    ClickTab(tabs->Handle(), 2);
    ASSERT_TRUE(PumpApp([&] { return log.Changing == 1; }));
    PumpApp([&] { return log.Changed == c.Changed && tabs->TabIndex() == c.Index; });
    EXPECT_EQ(tabs->TabIndex(), c.Index);
    EXPECT_EQ(::SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0), c.Index);
    EXPECT_EQ(log.Changed, c.Changed);
  }
}

TEST(TabControl, TabsAndSelectionSurviveANewWindow) {
  TForm form(nullptr);
  auto* tabs = new TTabControl(&form);
  tabs->Tabs()->SetText("one\r\ntwo\r\nthree\r\n");
  tabs->SetTabIndex(1);  // before any window
  tabs->SetParent(&form);
  HWND window = tabs->Handle();
  EXPECT_EQ(::SendMessageA(window, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(::SendMessageA(window, TCM_GETCURSEL, 0, 0), 1);
  tabs->Tabs()->Put(2, "drei");
  tabs->SetMultiLine(true);
  window = tabs->Handle();
  EXPECT_NE(::GetWindowLongA(window, GWL_STYLE) & TCS_MULTILINE, 0);
  EXPECT_EQ(::SendMessageA(window, TCM_GETCURSEL, 0, 0), 1);
  char text[32] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ASSERT_TRUE(::SendMessageA(window, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "drei");
  tabs->Tabs()->Delete(0);
  EXPECT_EQ(::SendMessageA(window, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_THROW(tabs->Tabs()->Strings(2), EListError);
  const RECT inside = tabs->DisplayRect();
  EXPECT_GT(inside.top, 0);  // below the row of tabs
}

int gInitCalls = 0;
BOOL WINAPI CountedInit(const INITCOMMONCONTROLSEX* icc) {
  ++gInitCalls;
  return ::InitCommonControlsEx(icc);
}

TEST(TabControl, CommonControlsAreInitialisedOnce) {
  gInitCalls = 0;
  os::ScopedOverride init(os::comctl32.InitCommonControlsEx, &CountedInit);
  TForm form(nullptr);
  for (int i = 0; i < 3; ++i) {
    auto* tabs = new TTabControl(&form);
    tabs->SetParent(&form);
    tabs->HandleNeeded();
  }
  EXPECT_LE(gInitCalls, 1);
}

}  // namespace
}  // namespace kyt
