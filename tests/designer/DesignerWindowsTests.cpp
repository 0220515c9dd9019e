// The designer's windows used as a person uses them: real mouse and key input through SendInput,
// the effect checked in the model, the saved file and the window's pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/vcl/Application.h"
#include "host/vcl/WindowPicture.h"
#include "package/KYTSysReg.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/NonAscii.h"
#include "tools/designer/Designer.h"
#include "tools/kytdesign/Commands.h"

namespace kyt {
namespace {

POINT CentreOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ASSERT_EQ(::SendInput(1, &input, sizeof input), 1u);
}

// The cursor goes to a screen point as a real move (a drag sees it), and the move has arrived.
void MoveTo(POINT p) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = (p.x * 65535 + ::GetSystemMetrics(SM_CXSCREEN) / 2) / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = (p.y * 65535 + ::GetSystemMetrics(SM_CYSCREEN) / 2) / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ASSERT_EQ(::SendInput(1, &input, sizeof input), 1u);
  PumpUntil([&] {
    POINT now{};
    ::GetCursorPos(&now);
    return std::abs(now.x - p.x) <= 1 && std::abs(now.y - p.y) <= 1;  // the scaling may round
  });
  PumpPending();
}

void Click(POINT p, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
  MoveTo(p);
  SendMouse(down);
  SendMouse(up);
}

void Keys(const std::vector<WORD>& keys, bool ctrl = false) {
  std::vector<INPUT> inputs;
  auto key = [&](WORD vk, bool release) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  if (ctrl) key(VK_CONTROL, false);
  for (WORD vk : keys) key(vk, false), key(vk, true);
  if (ctrl) key(VK_CONTROL, true);
  ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

std::string ReadText(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Chooses an item of the next popup menu with the keyboard, from inside the menu's own loop.
class TMenuChooser {
 public:
  explicit TMenuChooser(int downs) : FDowns(downs) {
    Current() = this;
    FTimer = ::SetTimer(nullptr, 0, 20, &TMenuChooser::Tick);
  }
  ~TMenuChooser() {
    ::KillTimer(nullptr, FTimer);
    Current() = nullptr;
  }
  bool Chosen() const { return FChosen; }

 private:
  static TMenuChooser*& Current() {
    static TMenuChooser* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TMenuChooser* self = Current();
    if (!self || self->FChosen) return;
    HWND menu = ::FindWindowA("#32768", nullptr);
    if (!menu || !::IsWindowVisible(menu)) return;
    self->FChosen = true;
    std::vector<WORD> keys(static_cast<size_t>(self->FDowns), VK_DOWN);
    keys.push_back(VK_RETURN);
    Keys(keys);
  }
  int FDowns;
  UINT_PTR FTimer = 0;
  bool FChosen = false;
};

class DesignerWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    Register();
    std::filesystem::create_directories(std::filesystem::u8path(Dir()));
    ::GetCursorPos(&FCursor);
  }
  void TearDown() override {
    ::SetCursorPos(FCursor.x, FCursor.y);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::u8path(Dir()), ignored);
  }
  static std::string Dir() { return test::SandboxPath("designer windows"); }

  TSpeedButton* PaletteButton(TDesigner& d, const std::string& page, const std::string& cls) {
    d.Window().ShowPage(page);
    for (TSpeedButton* b : d.Window().Buttons())
      if (b->Hint() == cls) return b;
    return nullptr;
  }
  POINT FormPoint(TDesigner& d, int32_t x, int32_t y) {
    POINT p{x, y};
    ::ClientToScreen(d.FormView().FormWindow(), &p);
    return p;
  }

  POINT FCursor{};
};

// Place a message box with two clicks, drag it 16 pixels, edit its Caption lines in the dialog,
// run its execute test from the right-click menu, undo three times and redo once: the saved file
// is what the command-line tool writes after the same operations.
TEST_F(DesignerWindows, APersonsSessionSavesWhatTheToolWrites) {
  TDesigner d;
  TDesignerContext& context = d.Context();
  context.OnReport = [](const std::string& message) { ADD_FAILURE() << "reported: " << message; };
  TDesignSession& session = *context.Current();
  ::SetForegroundWindow(d.FormView().FormWindow());
  PumpPending();

  TSpeedButton* button = PaletteButton(d, kKYTPage1, "TKYTMsgBox");
  ASSERT_NE(button, nullptr);
  Click(CentreOf(button->Handle()));
  ASSERT_TRUE(PumpUntil([&] { return context.PendingClass() == "TKYTMsgBox"; }));
  Click(FormPoint(d, 43, 38));
  ASSERT_TRUE(PumpUntil([&] { return session.Form().FindComponent("MsgBox1") != nullptr; }));
  TComponent* box = session.Form().FindComponent("MsgBox1");
  EXPECT_EQ(box->DesignPosition().Left, 40);  // on the grid
  EXPECT_EQ(box->DesignPosition().Top, 40);
  EXPECT_TRUE(context.PendingClass().empty());
  ASSERT_EQ(session.Selection(), std::vector<TComponent*>{box});
  // Its icon shows the palette bitmap: something other than the button face in its middle.
  HWND icon = d.FormView().IconOf(box);
  ASSERT_NE(icon, nullptr);
  const TPixels pixels = CaptureWindow(icon);
  ASSERT_FALSE(pixels.Empty());
  int drawn = 0;
  for (int32_t y = 4; y < pixels.Height - 4; ++y)
    for (int32_t x = 4; x < pixels.Width - 4; ++x) drawn += pixels.At(x, y) != ::GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(drawn, 50);

  // Drag it 16 pixels to the right.
  const POINT from = CentreOf(icon);
  MoveTo(from);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  MoveTo(POINT{from.x + 8, from.y});
  MoveTo(POINT{from.x + 16, from.y});
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return box->DesignPosition().Left == 56; }));
  EXPECT_EQ(box->DesignPosition().Top, 40);

  // Its Caption lines, in the string-list editor opened by the inspector's ellipsis button.
  d.Inspector().BeginEdit("Caption");
  PumpPending();
  {
    DialogAnswerer answer(Press("OK").Type("Hello\r\nfrom the designer"));
    d.Inspector().RunDialog("Caption");
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  }
  EXPECT_NE(session.Text().find("'from the designer'"), std::string::npos) << session.Text();
  EXPECT_EQ(session.UndoCount(), 3u);

  // The execute test from the right-click menu (About, Execute Test, ...): the box it shows is answered.
  {
    DialogAnswerer answer(Press("OK"));
    TMenuChooser chooser(2);
    icon = d.FormView().IconOf(box);
    Click(CentreOf(icon), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return answer.Done(); }, 10000));
    EXPECT_TRUE(chooser.Chosen());
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_NE(answer.SeenText().find("from the designer"), std::string::npos) << answer.SeenText();
  }

  // Ctrl+Z three times, Ctrl+Y once, on the designed form.
  ::SetForegroundWindow(d.FormView().FormWindow());
  ::SetFocus(d.FormView().FormWindow());
  Keys({'Z', 'Z', 'Z'}, true);
  ASSERT_TRUE(PumpUntil([&] { return session.UndoCount() == 0; }));
  Keys({'Y'}, true);
  ASSERT_TRUE(PumpUntil([&] { return session.UndoCount() == 1; }));

  const std::string saved = Dir() + "\\Designed.kfm";
  ASSERT_TRUE(d.Window().SaveFormAs(saved));
  EXPECT_FALSE(session.Modified());

  const std::string tool = Dir() + "\\Tool.kfm";
  std::ostringstream out;
  RunDesignCommand({"new", tool}, out);
  // Where the designer opened its new form.
  RunDesignCommand({"move", tool, "Form1", std::to_string(TDesignerWindow::kFormLeft),
                    std::to_string(TDesignerWindow::kFormTop)}, out);
  RunDesignCommand({"add", tool, "TKYTMsgBox"}, out);
  RunDesignCommand({"move", tool, "MsgBox1", "40", "40"}, out);
  EXPECT_EQ(ReadText(saved), ReadText(tool));
}

// Selecting with a rubber band and moving with the keys (the grid, Ctrl for a pixel); a value the
// setter refuses in the inspector is reported and the old one stays.
TEST_F(DesignerWindows, BandSelectionKeysAndARefusedValue) {
  TDesigner d;
  TDesignerContext& context = d.Context();
  std::vector<std::string> reports;
  context.OnReport = [&](const std::string& message) { reports.push_back(message); };
  TDesignSession& session = *context.Current();
  TComponent* left = session.Place("TButton", 16, 16);
  TComponent* right = session.Place("TButton", 160, 16);
  context.Select({&session.Form()});
  ::SetForegroundWindow(d.FormView().FormWindow());
  PumpPending();

  // A band from the empty corner over both buttons.
  MoveTo(FormPoint(d, 4, 4));
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  MoveTo(FormPoint(d, 100, 30));
  MoveTo(FormPoint(d, 200, 30));
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return session.Selection().size() == 2; }));
  EXPECT_EQ(d.FormView().Handles().size(), 16u);

  ::SetFocus(d.FormView().FormWindow());
  Keys({VK_RIGHT});
  ASSERT_TRUE(PumpUntil([&] { return static_cast<TControl*>(left)->Left() == 24; }));
  EXPECT_EQ(static_cast<TControl*>(right)->Left(), 168);
  Keys({VK_DOWN}, true);
  ASSERT_TRUE(PumpUntil([&] { return static_cast<TControl*>(left)->Top() == 17; }));

  context.Select({left});
  d.Inspector().BeginEdit("Width");
  ASSERT_NE(d.Inspector().Editor(), nullptr);
  d.Inspector().Editor()->SetCaption("wide");
  d.Inspector().EndEdit(true);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(static_cast<TControl*>(left)->Width(), 75);
  d.Inspector().BeginEdit("Width");
  d.Inspector().Editor()->SetCaption("120");
  Keys({VK_RETURN});
  ASSERT_TRUE(PumpUntil([&] { return static_cast<TControl*>(left)->Width() == 120; }));
  EXPECT_EQ(reports.size(), 1u);

  // The bottom right handle, dragged 24 right and 8 down: the corner lands on the grid.
  ASSERT_EQ(d.FormView().Handles().size(), 8u);
  const POINT corner = CentreOf(d.FormView().Handles()[4]);
  MoveTo(corner);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  MoveTo(POINT{corner.x + 12, corner.y + 4});
  MoveTo(POINT{corner.x + 24, corner.y + 8});
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return static_cast<TControl*>(left)->Width() == 144; }));
  EXPECT_EQ(static_cast<TControl*>(left)->Height(), 31);
  EXPECT_EQ(static_cast<TControl*>(left)->Left(), 24);
  EXPECT_EQ(static_cast<TControl*>(left)->Top(), 17);
}

// Closing a form with changes asks first: Cancel keeps it open and changed, No closes it unsaved.
// An execute test that raises shows its message and the designer goes on.
TEST_F(DesignerWindows, ClosingAsksAboutChangesAndFailuresAreShown) {
  TDesigner d;
  TDesignSession& session = *d.Context().Current();
  session.Place("TButton", 8, 8);
  {
    DialogAnswerer answer(Press("Cancel"));
    EXPECT_FALSE(d.Window().CloseForm());
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_NE(answer.SeenText().find("Save changes to Form1?"), std::string::npos) << answer.SeenText();
  }
  ASSERT_EQ(d.Context().Current(), &session);
  EXPECT_TRUE(session.Modified());
  {
    DialogAnswerer answer(Press("No"));
    EXPECT_TRUE(d.Window().CloseForm());
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  }
  EXPECT_EQ(d.Context().Current(), nullptr);
  EXPECT_TRUE(d.Context().Model().Sessions().empty());
  EXPECT_EQ(d.FormView().FormWindow(), nullptr);

  // A failing command is reported in a message box; nothing else changes.
  d.Window().NewForm();
  TDesignSession& next = *d.Context().Current();
  {
    DialogAnswerer answer(Press("OK"));
    EXPECT_FALSE(d.Context().Try([&] { next.Place("TNoSuchClass", 0, 0); }));
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_NE(answer.SeenText().find("TNoSuchClass is not a component of the palette"), std::string::npos)
        << answer.SeenText();
  }
  EXPECT_EQ(next.Form().ComponentCount(), 0);
  EXPECT_FALSE(next.Modified());
}

}  // namespace
}  // namespace kyt
