// Tests of the control hierarchy: parenting apart from ownership, windows made on first use and
// remade with their state, the replaceable window method and inherited fonts.
#include "host/vcl/Controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
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

// A child that records what its parent reflects to it.
class TReflectedChild : public TPanel {
 public:
  explicit TReflectedChild(TComponent* owner) : TPanel(owner) {}
  std::vector<std::string> Seen;

 protected:
  bool NotifyReflected(NMHDR& header, LRESULT& result) override {
    Seen.push_back("notify " + std::to_string(header.code));
    result = 77;
    return true;
  }
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    Seen.push_back("draw " + std::to_string(item.itemID));
    return true;
  }
  bool MeasureItem(MEASUREITEMSTRUCT& item) override {
    Seen.push_back("measure " + std::to_string(item.itemID));
    item.itemHeight = 31;
    return true;
  }
};

// Notifications, draw and measure requests go to the child that sent them, as commands do; a
// null record or a menu's request is the parent's own.
TEST(WinControl, ReflectsNotificationsAndOwnerDrawRequestsToTheirControl) {
  TForm form(nullptr);
  auto* child = new TReflectedChild(&form);
  child->SetParent(&form);
  HWND window = child->Handle();
  const UINT id = static_cast<UINT>(::GetDlgCtrlID(window));
  ASSERT_NE(id, 0u);
  NMHDR header{window, id, 4242};
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_BUTTON;
  draw.CtlID = id;
  draw.itemID = 5;
  draw.hwndItem = window;
  DRAWITEMSTRUCT menuDraw = draw;
  menuDraw.CtlType = ODT_MENU;
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = id;
  measure.itemID = 6;
  struct Case {
    UINT Msg;
    void* Record;
    const char* Seen;  // null: not reflected
    LRESULT Result;
  };
  const Case cases[] = {
      {WM_NOTIFY, &header, "notify 4242", 77},
      {WM_NOTIFY, nullptr, nullptr, 0},
      {WM_DRAWITEM, &draw, "draw 5", TRUE},
      {WM_DRAWITEM, &menuDraw, nullptr, 0},
      {WM_DRAWITEM, nullptr, nullptr, 0},
      {WM_MEASUREITEM, &measure, "measure 6", TRUE},
      {WM_MEASUREITEM, nullptr, nullptr, 0},
  };
  for (const Case& c : cases) {
    child->Seen.clear();
    const LRESULT result = ::SendMessageA(form.Handle(), c.Msg, c.Msg == WM_NOTIFY ? id : 0,
                                          reinterpret_cast<LPARAM>(c.Record));
    if (c.Seen) {
      EXPECT_EQ(child->Seen, std::vector<std::string>{c.Seen});
      EXPECT_EQ(result, c.Result) << c.Seen;
    } else {
      EXPECT_TRUE(child->Seen.empty()) << c.Msg;
    }
  }
  EXPECT_EQ(measure.itemHeight, 31u);
}

struct InputLog {
  std::vector<std::string> Lines;
  uint16_t ZeroKey = 0;
  bool HandleContext = false;
  static std::string Shift(TShiftState s) {
    std::string out;
    for (auto [flag, name] : {std::pair{ssShift, "S"}, {ssCtrl, "C"}, {ssLeft, "L"}, {ssRight, "R"}, {ssDouble, "D"}})
      if (s.Contains(flag)) out += name;
    return out;
  }
  void Down(TObject*, TMouseButton b, TShiftState s, int32_t x, int32_t y) {
    Lines.push_back("down " + std::to_string(b) + " " + Shift(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void Move(TObject*, TShiftState s, int32_t x, int32_t y) {
    Lines.push_back("move " + Shift(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void Up(TObject*, TMouseButton b, TShiftState s, int32_t x, int32_t y) {
    Lines.push_back("up " + std::to_string(b) + " " + Shift(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void Key(TObject* sender, uint16_t& key, TShiftState) {
    Lines.push_back((dynamic_cast<TForm*>(sender) ? "form key " : "key ") + std::to_string(key));
    if (key == ZeroKey) key = 0;
  }
  void Context(TObject*, POINT p, bool& handled) {
    Lines.push_back("context " + std::to_string(p.x) + "," + std::to_string(p.y));
    handled = HandleContext;
  }
  void Attach(TControl& c) {
    c.SetOnMouseDown(TMouseEvent::Bind<&InputLog::Down>(this));
    c.SetOnMouseMove(TMouseMoveEvent::Bind<&InputLog::Move>(this));
    c.SetOnMouseUp(TMouseEvent::Bind<&InputLog::Up>(this));
    c.SetOnKeyDown(TKeyEvent::Bind<&InputLog::Key>(this));
    c.SetOnContextPopup(TContextPopupEvent::Bind<&InputLog::Context>(this));
  }
};

// Each mouse message raises its event with the button, the shift state it carries and signed
// client coordinates.
TEST(WinControl, MouseMessagesRaiseTheMouseEvents) {
  struct Case {
    UINT Msg;
    WPARAM Keys;
    int X, Y;
    const char* Line;
  };
  const Case cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, 3, 4, "down 0 L 3,4"},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 5, 6, "down 1 SR 5,6"},
      {WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL, 1, 2, "down 0 CLD 1,2"},
      {WM_MBUTTONUP, 0, 7, 8, "up 2  7,8"},
      {WM_LBUTTONUP, 0, -3, -4, "up 0  -3,-4"},
      {WM_MOUSEMOVE, MK_LBUTTON, 9, 10, "move L 9,10"},
  };
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  InputLog log;
  log.Attach(*panel);
  for (const Case& c : cases) {
    log.Lines.clear();
    ::SendMessageA(panel->Handle(), c.Msg, c.Keys, MAKELPARAM(static_cast<WORD>(c.X), static_cast<WORD>(c.Y)));
    EXPECT_EQ(log.Lines, std::vector<std::string>{c.Line});
  }
}

// A key the handler zeroes never reaches the control: Delete then leaves the text as it was.
// With KeyPreview the form's handler runs first.
TEST(WinControl, KeyDownRunsBeforeTheControlAndAZeroedKeyStaysAway) {
  struct Case {
    bool Preview;
    uint16_t Zeroed;
    const char* Text;
    std::vector<std::string> Lines;
  };
  const Case cases[] = {
      {false, 0, "bc", {"key 46"}},
      {false, VK_DELETE, "abc", {"key 46"}},
      {true, 0, "bc", {"form key 46", "key 46"}},
      {true, VK_DELETE, "abc", {"form key 46"}},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    form.SetKeyPreview(c.Preview);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetCaption("abc");
    InputLog log;
    log.ZeroKey = c.Zeroed;
    log.Attach(*edit);
    log.Attach(form);
    ::SendMessageA(edit->Handle(), EM_SETSEL, 0, 0);
    ::SendMessageA(edit->Handle(), WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(TextOf(edit->Handle()), c.Text);
    EXPECT_EQ(log.Lines, c.Lines);
  }
}

// The context request names the point in the control's client coordinates ((-1, -1) from the
// keyboard); a handled one is not passed up to the parent.
TEST(WinControl, ContextPopupGivesClientCoordinatesAndCanBeHandled) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 20, 100, 50);
  form.Show();
  InputLog inner, outer;
  inner.Attach(*panel);
  outer.Attach(form);
  const POINT origin = panel->ClientOrigin();
  for (bool handled : {false, true}) {
    inner.Lines.clear();
    outer.Lines.clear();
    inner.HandleContext = handled;
    ::SendMessageA(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()),
                   MAKELPARAM(origin.x + 4, origin.y + 5));
    ::SendMessageA(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(inner.Lines, (std::vector<std::string>{"context 4,5", "context -1,-1"}));
    // The form's default handling passes an unhandled request up; the form does not ask again.
    EXPECT_TRUE(outer.Lines.empty());
  }
}

}  // namespace
}  // namespace kyt
