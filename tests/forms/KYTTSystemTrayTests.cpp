// Tests of the tray icon against the real tray: an icon is there exactly when modifying it
// succeeds. The calls the component makes are recorded on the way to the real function.
#include "forms/KYTTSystemTray.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/KYTTApplication.h"
#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "tests/forms/FormsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/NonAscii.h"
#include "tests/support/SeamOverride.h"

namespace kyt {

// A menu that records where it was opened instead of showing itself.
class TRecordingMenu : public TPopupMenu {
  KYT_CLASS(TRecordingMenu, TPopupMenu)
 public:
  explicit TRecordingMenu(TComponent* owner) : TPopupMenu(owner) {}
  void Popup(int x, int y) override { opened.push_back(POINT{x, y}); }
  std::vector<POINT> opened;
};

namespace {

const bool kRegistered = [] {
  RegisterClasses({&TKYTSystemTray::StaticClass(), &TRecordingMenu::StaticClass()});
  return true;
}();

// What one Shell_NotifyIconW call carried.
struct TTrayCall {
  DWORD Message;
  DWORD Size;
  UINT Flags;
  std::string Tip;
};
std::vector<TTrayCall>* gCalls = nullptr;
bool gRefuseAdd = false;

BOOL WINAPI RecordingNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
  if (gCalls) gCalls->push_back(TTrayCall{message, data->cbSize, data->uFlags, TextFromWide(data->szTip)});
  if (gRefuseAdd && message == NIM_ADD) return FALSE;
  return ::Shell_NotifyIconW(message, data);
}

BOOL WINAPI OldPlatformVersion(LPOSVERSIONINFOA info) {
  info->dwMajorVersion = 3;
  info->dwMinorVersion = 51;
  return TRUE;
}

// Whether the icon of window is in the tray: modifying an icon that is not there fails.
bool InTray(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = kTrayRecordSize;
  data.hWnd = window;
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

class SystemTray : public ::testing::Test {
 protected:
  void SetUp() override {
    gCalls = &calls_;
    gRefuseAdd = false;
    Application->SetTitle("Tray tests");
    // The application shows its task bar button, as it does once its main form is shown.
    ::ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
    form_ = std::make_unique<TFormsTestForm>(nullptr);
  }
  void TearDown() override {
    tray_.reset();
    form_.reset();
    gCalls = nullptr;
    gRefuseAdd = false;
  }

  TKYTSystemTray* NewTray() {
    tray_.reset(new TKYTSystemTray(form_.get()));
    return tray_.get();
  }
  static bool AppShown() { return ::IsWindowVisible(Application->Handle()) != FALSE; }
  int CallsOf(DWORD message) const {
    int n = 0;
    for (const TTrayCall& c : calls_) n += c.Message == message;
    return n;
  }

  TApplicationState state_;  // first in, last out: the application is put back after the tray goes
  std::vector<TTrayCall> calls_;
  os::ScopedOverride<decltype(os::shell32.Shell_NotifyIconW)> recording_{os::shell32.Shell_NotifyIconW,
                                                                       &RecordingNotifyIcon};
  std::unique_ptr<TFormsTestForm> form_;
  std::unique_ptr<TKYTSystemTray> tray_;
};

TEST_F(SystemTray, MinimisingMovesTheApplicationIntoTheTrayAndRestoringBringsItBack) {
  TKYTSystemTray* tray = NewTray();
  std::vector<TObject*> senders;
  auto record = TNotifyEvent::FromFunction(
      [](void* list, TObject* sender) { static_cast<std::vector<TObject*>*>(list)->push_back(sender); }, &senders);
  tray->SetOnMinimize(record);
  tray->SetOnRestore(record);
  tray->SetEnabled(true);
  EXPECT_FALSE(InTray(tray->Handle()));

  Application->Minimize();
  EXPECT_TRUE(InTray(tray->Handle()));
  EXPECT_TRUE(tray->InTray());
  EXPECT_FALSE(AppShown()) << "the task bar button stays while the icon is in the tray";
  Application->Restore();
  EXPECT_TRUE(AppShown());
  EXPECT_FALSE(::IsIconic(Application->Handle()));
  EXPECT_FALSE(InTray(tray->Handle()));
  EXPECT_EQ(senders, (std::vector<TObject*>{Application, Application}));
  ASSERT_FALSE(calls_.empty());
  EXPECT_EQ(calls_[0].Size, kTrayRecordSize);
  EXPECT_EQ(calls_[0].Flags & (NIF_MESSAGE | NIF_ICON), static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
}

TEST_F(SystemTray, NormalIconKeepsTheIconWhileShownAndAfterARestore) {
  TKYTSystemTray* tray = NewTray();
  tray->SetNormalIcon(true);
  EXPECT_FALSE(InTray(tray->Handle())) << "not before Enabled";
  tray->SetEnabled(true);
  EXPECT_TRUE(InTray(tray->Handle()));
  Application->Minimize();
  EXPECT_TRUE(InTray(tray->Handle()));
  EXPECT_EQ(CallsOf(NIM_ADD), 1) << "an icon already there is updated, not added again";
  Application->Restore();
  EXPECT_TRUE(InTray(tray->Handle()));
  tray->SetNormalIcon(false);
  EXPECT_FALSE(InTray(tray->Handle())) << "NormalIcon off while shown removes the icon";
}

TEST_F(SystemTray, WhileMinimisedEnablingAddsAndNormalIconOffKeepsTheIcon) {
  TKYTSystemTray* tray = NewTray();
  Application->Minimize();
  EXPECT_TRUE(::IsIconic(Application->Handle()));
  EXPECT_TRUE(AppShown()) << "a disabled tray leaves the task bar button alone";
  tray->SetEnabled(true);
  EXPECT_TRUE(InTray(tray->Handle()));
  tray->SetNormalIcon(true);
  tray->SetNormalIcon(false);
  EXPECT_TRUE(InTray(tray->Handle()));
  tray->SetEnabled(false);
  EXPECT_FALSE(InTray(tray->Handle()));
  tray->EmptyTray();  // a second removal fails quietly
  EXPECT_FALSE(tray->InTray());
  EXPECT_EQ(CallsOf(NIM_DELETE), 2);
}

TEST_F(SystemTray, TheTipStartsAsTheTitleHoldsAtMost63CharactersAndAnEmptyHintRemovesIt) {
  TKYTSystemTray* tray = NewTray();
  tray->SetNormalIcon(true);
  tray->SetEnabled(true);
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].Tip, "Tray tests");
  EXPECT_TRUE(calls_[0].Flags & NIF_TIP);

  const std::string eighty(80, 'x');
  tray->SetHint(eighty);
  ASSERT_EQ(calls_.size(), 2u);
  EXPECT_EQ(calls_[1].Message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(calls_[1].Tip, std::string(63, 'x'));
  tray->SetHint(eighty);
  EXPECT_EQ(calls_.size(), 2u) << "an unchanged hint sends nothing";

  tray->SetHint("");
  ASSERT_EQ(calls_.size(), 3u);
  EXPECT_TRUE(calls_[2].Flags & NIF_TIP) << "the tip flag must go with the empty tip to remove it";
  EXPECT_EQ(calls_[2].Tip, "");
}

// Characters, not bytes: 63 of any script reach the shell whole, and a character outside the
// Basic Multilingual Plane that would straddle the end is left out rather than cut in half.
TEST_F(SystemTray, TheTipHolds63CharactersOfAnyScriptNeverCutInsideOne) {
  TKYTSystemTray* tray = NewTray();
  tray->SetNormalIcon(true);
  tray->SetEnabled(true);
  std::string cjk63, cyrillic;
  for (int i = 0; i < 63; ++i) cjk63 += "日";
  for (int i = 0; i < 70; ++i) cyrillic += "Ж";
  const struct {
    std::string Hint, Tip;
  } cases[] = {
      {cjk63 + "本", cjk63},
      {cyrillic, cyrillic.substr(0, 63 * 2)},
      {std::string(62, 'x') + test::kAstral, std::string(62, 'x')},
      {test::kLatin + test::kAstral, test::kLatin + test::kAstral},
      // Stray bytes each become one U+FFFD: 63 of them, never the 189 their re-encoding takes.
      // (0xFF is no byte of UTF-8 anywhere; a lead byte such as 0xE9 that ends the cut text is
      // dropped by Wine's conversion rather than replaced.)
      {std::string(200, '\xFF'), test::Repeat("\xEF\xBF\xBD", 63)},
  };
  for (const auto& c : cases) {
    calls_.clear();
    tray->SetHint(c.Hint);
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].Tip, c.Tip);
  }
}

TEST_F(SystemTray, ARefusedAddRaisesAndLeavesTheApplicationOnTheTaskBar) {
  TKYTSystemTray* tray = NewTray();
  tray->SetEnabled(true);
  gRefuseAdd = true;
  try {
    Application->Minimize();
    FAIL() << "a refused add raised nothing";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Cannot create shell notification Icon");
  }
  EXPECT_FALSE(tray->InTray());
  EXPECT_TRUE(AppShown()) << "hidden without an icon, the application could not be reached";
  gRefuseAdd = false;
  tray->SetEnabled(true);  // the next add tries again
  EXPECT_TRUE(InTray(tray->Handle()));
}

TEST_F(SystemTray, MouseNotificationsRaiseTheClickEvents) {
  TKYTSystemTray* tray = NewTray();
  std::vector<std::string> log;
  tray->SetOnClick(TNotifyEvent::FromFunction(
      [](void* l, TObject*) { static_cast<std::vector<std::string>*>(l)->push_back("click"); }, &log));
  tray->SetOnDblClick(TNotifyEvent::FromFunction(
      [](void* l, TObject*) { static_cast<std::vector<std::string>*>(l)->push_back("double"); }, &log));
  for (LPARAM event : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_MOUSEMOVE})
    ::SendMessageA(tray->Handle(), kTrayCallbackMessage, 0, event);
  EXPECT_EQ(log, (std::vector<std::string>{"click", "double", "click"}));
  // Other messages get the default handling of a plain window.
  EXPECT_EQ(::SendMessageA(tray->Handle(), WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(SystemTray, ARightClickOpensTheMenuOnlyFromTheTrayOrWithNormalIcon) {
  TKYTSystemTray* tray = NewTray();
  auto* menu = new TRecordingMenu(form_.get());
  tray->SetPopupMenu(menu);
  struct TRightClicks {
    std::vector<POINT> at;
    void RightClick(TObject*, TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
      EXPECT_EQ(button, mbRight);
      EXPECT_TRUE(shift.Empty());
      at.push_back(POINT{x, y});
    }
  } clicks;
  tray->SetOnRightClick(TMouseEvent::Bind<&TRightClicks::RightClick>(&clicks));
  tray->SetEnabled(true);
  POINT cursor{};
  ::GetCursorPos(&cursor);

  ::SendMessageA(tray->Handle(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
  EXPECT_TRUE(menu->opened.empty()) << "shown application, NormalIcon false: no menu";
  ASSERT_EQ(clicks.at.size(), 1u);
  EXPECT_EQ(clicks.at[0].x, cursor.x);
  EXPECT_EQ(clicks.at[0].y, cursor.y);

  Application->Minimize();
  ::SendMessageA(tray->Handle(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
  ASSERT_EQ(menu->opened.size(), 1u);
  EXPECT_EQ(menu->opened[0].x, cursor.x);
  EXPECT_EQ(clicks.at.size(), 2u);

  delete menu;
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  ::SendMessageA(tray->Handle(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
  EXPECT_EQ(clicks.at.size(), 3u);
}

TEST_F(SystemTray, DestructionRemovesTheIconAndClearsOnlyItsOwnApplicationEvents) {
  TForeignHandlers foreign;
  const auto found = TNotifyEvent::Bind<&TForeignHandlers::Notify>(&foreign);
  Application->SetOnMinimize(found);
  Application->SetOnRestore(found);
  TKYTSystemTray* tray = NewTray();
  tray->SetEnabled(true);
  Application->Minimize();
  EXPECT_EQ(foreign.calls, 0) << "the handler found in the slot was replaced";
  HWND window = tray->Handle();
  ASSERT_TRUE(InTray(window));
  ASSERT_FALSE(AppShown());
  TForeignHandlers later;
  const auto setLater = TNotifyEvent::Bind<&TForeignHandlers::Notify>(&later);
  Application->SetOnRestore(setLater);

  tray_.reset();
  EXPECT_FALSE(InTray(window));
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_FALSE(Application->OnMinimize());
  EXPECT_EQ(Application->OnRestore(), setLater) << "a handler set later by code stays";
  EXPECT_TRUE(AppShown()) << "an application left in the tray gets its task bar button back";
}

TEST_F(SystemTray, SwitchedOffWhileInTheTrayTheApplicationComesBack) {
  TKYTSystemTray* tray = NewTray();
  tray->SetEnabled(true);
  Application->Minimize();
  ASSERT_FALSE(AppShown());
  tray->SetEnabled(false);
  EXPECT_FALSE(InTray(tray->Handle()));
  EXPECT_TRUE(AppShown()) << "neither icon nor task bar button";
  EXPECT_TRUE(::IsIconic(Application->Handle()));
}

TEST_F(SystemTray, InTheDesignerItNeverTouchesTheTrayNorTheApplication) {
  form_->SetDesigning(true);
  TForeignHandlers foreign;
  const auto found = TNotifyEvent::Bind<&TForeignHandlers::Notify>(&foreign);
  Application->SetOnMinimize(found);
  TKYTSystemTray* tray = NewTray();
  tray->SetEnabled(true);
  tray->SetNormalIcon(true);
  tray->SetHint("designed");
  EXPECT_EQ(tray->Handle(), nullptr);
  EXPECT_EQ(Application->OnMinimize(), found);
  tray_.reset();
  EXPECT_TRUE(calls_.empty());
}

TEST_F(SystemTray, WithoutATrayNothingIsAddedAndTheApplicationStaysOnTheTaskBar) {
  os::ScopedOverride version(os::kernel32.GetVersionExA, &OldPlatformVersion);
  TKYTSystemTray* tray = NewTray();
  tray->SetNormalIcon(true);
  tray->SetEnabled(true);
  Application->Minimize();
  EXPECT_TRUE(calls_.empty());
  EXPECT_TRUE(AppShown());
}

TEST_F(SystemTray, FormFileKeepsItsSettingsAndAStoredNormalIconShowsWhileReading) {
  form_->SetName("FormsTestForm");
  form_->SetDesigning(true);
  auto* menu = new TPopupMenu(form_.get());
  menu->SetName("Menu");
  TKYTSystemTray* tray = NewTray();
  tray_.release();  // the form owns it from here
  tray->SetName("Tray");
  const std::string plain = WriteComponentText(*form_);
  EXPECT_EQ(plain.find("Enabled"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("NormalIcon"), std::string::npos) << plain;
  tray->SetEnabled(true);
  tray->SetNormalIcon(true);
  tray->SetHint("From the form");
  tray->SetPopupMenu(menu);
  tray->SetOnClick(TNotifyEvent::Bind<&TFormsTestForm::TrayClick>(form_.get()));
  const std::string text = WriteComponentText(*form_);
  for (const char* line : {"Enabled = True", "Hint = 'From the form'", "PopupMenu = Menu", "NormalIcon = True",
                           "OnClick = TrayClick"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

  form_ = std::make_unique<TFormsTestForm>(nullptr);
  ReadRootText(*form_, text, "tray.kfm");
  auto* read = ObjectCast<TKYTSystemTray>(form_->FindComponent("Tray"));
  EXPECT_TRUE(InTray(read->Handle()));
  EXPECT_EQ(read->PopupMenu(), form_->FindComponent("Menu"));
  ::SendMessageA(read->Handle(), kTrayCallbackMessage, 0, WM_LBUTTONUP);
  EXPECT_EQ(form_->log, std::vector<std::string>{"TrayClick"});
  HWND window = read->Handle();
  form_.reset();
  EXPECT_FALSE(InTray(window));
}

TEST_F(SystemTray, AnApplicationComponentWithItsOwnMinimizeHandlerWins) {
  const std::string text = R"(object FormsTestForm: TFormsTestForm
  object Tray: TKYTSystemTray
    Enabled = True
  end
  object App: TKYTApplication
    OnMinimize = AppMinimize
  end
end
)";
  ReadRootText(*form_, text, "both.kfm");
  auto* tray = ObjectCast<TKYTSystemTray>(form_->FindComponent("Tray"));
  Application->Minimize();
  EXPECT_EQ(form_->log, std::vector<std::string>{"AppMinimize"});
  EXPECT_FALSE(InTray(tray->Handle()));
  EXPECT_TRUE(AppShown());
}

}  // namespace
}  // namespace kyt
