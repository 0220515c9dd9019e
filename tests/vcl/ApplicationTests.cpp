// Tests of the application object: its window, the message loop and its events, minimising,
// activation, hints, help and exception handling.
#include "host/vcl/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cctype>
#include <cwchar>
#include <vector>

#include "host/os/OsSeam.h"
#include "host/vcl/StdCtrls.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using vcltest::ClassOf;
using vcltest::PumpApp;
using vcltest::TextOf;

// Event receiver recording what the application raised.
struct Recorder {
  std::vector<std::string> Log;
  void Activate(TObject*) { Log.push_back("activate"); }
  void Deactivate(TObject*) { Log.push_back("deactivate"); }
  void Minimized(TObject* sender) { Log.push_back(sender == Application ? "minimize" : "minimize?"); }
  void Restored(TObject* sender) { Log.push_back(sender == Application ? "restore" : "restore?"); }
  void Hint(TObject*) { Log.push_back("hint:" + Application->Hint()); }
  void ShowHint(std::string& text, bool& canShow, THintInfo& info) {
    Log.push_back("showhint:" + text);
    ShownFor = info.HintControl;
    if (text == "refuse") canShow = false;
    text = "[" + text + "]";
  }
  void Help(uint16_t command, int32_t data, bool& callHelp) {
    Log.push_back("help:" + std::to_string(command) + ":" + std::to_string(data));
    callHelp = false;
  }
  int IdleCalls = 0;
  void Idle(TObject*, bool& done) {
    ++IdleCalls;
    done = false;  // ask to be called again instead of waiting
  }
  std::vector<UINT> Messages;
  UINT Swallow = 0;
  void Message(MSG& msg, bool& handled) {
    Messages.push_back(msg.message);
    if (msg.message == Swallow) handled = true;
  }
  TControl* ShownFor = nullptr;
};

TEST(Application, WindowIsOfClassTApplicationTitledWithTheTitle) {
  HWND window = Application->Handle();
  ASSERT_TRUE(::IsWindow(window));
  EXPECT_EQ(ClassOf(window), "TApplication");
  EXPECT_EQ(TextOf(window), Application->Title());
  EXPECT_EQ(::GetWindowThreadProcessId(window, nullptr), ::GetCurrentThreadId());
  EXPECT_EQ(::GetParent(window), nullptr);

  const std::string saved = Application->Title();
  Application->SetTitle("KYT Runtime Test");
  EXPECT_EQ(TextOf(window), "KYT Runtime Test");
  // Other copies of the application find it by class name and title.
  EXPECT_EQ(::FindWindowA("TApplication", "KYT Runtime Test"), window);
  Application->SetTitle(saved);
}

TEST(Application, TitleAndExeNameComeFromTheExecutable) {
  std::string exe = Application->ExeName();
  std::string lower = exe;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  EXPECT_TRUE(lower.size() > 14 && lower.substr(lower.size() - 14) == "\\vcl_tests.exe") << exe;
  EXPECT_EQ(Application->Title(), "vcl_tests");
}

// A path of more than MAX_PATH characters, or of more bytes than characters: the real call cannot
// give one here, so the seam entry answers as the platform does, cutting the name at the buffer's
// size.
std::wstring gLongModulePath;
DWORD WINAPI LongModuleFileName(HMODULE, LPWSTR buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(gLongModulePath.size());
  if (length < size) {
    std::wmemcpy(buffer, gLongModulePath.c_str(), length + 1);
    return length;
  }
  std::wmemcpy(buffer, gLongModulePath.data(), size);
  ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

TEST(Application, ExeNameIsNeverCutAtMaxPathNorInsideACharacter) {
  const struct {
    std::wstring Folder;
    std::string Expected;  // the folder as text
  } cases[] = {
      {std::wstring(MAX_PATH - 13, L'd'), std::string(MAX_PATH - 13, 'd')},
      {std::wstring(MAX_PATH - 12, L'd'), std::string(MAX_PATH - 12, 'd')},
      {std::wstring(MAX_PATH - 11, L'd'), std::string(MAX_PATH - 11, 'd')},
      {std::wstring(688, L'd'), std::string(688, 'd')},
      // About 290 bytes in 140 characters: within MAX_PATH as the platform counts.
      {std::wstring(125, L'\u65E5'), [] {
         std::string s;
         for (int i = 0; i < 125; ++i) s += "\u65E5";
         return s;
       }()},
  };
  for (const auto& c : cases) {
    gLongModulePath = L"C:\\" + c.Folder + L"\\long.exe";
    os::ScopedOverride fake(os::kernel32.GetModuleFileNameW, &LongModuleFileName);
    EXPECT_EQ(Application->ExeName(), "C:\\" + c.Expected + "\\long.exe") << "length " << gLongModulePath.size();
  }
}

TEST(Application, OwnsTheFormsItCreatesInCreationOrderAndTheFirstIsMain) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  const int before = Application->ComponentCount();
  TForm* first = nullptr;
  Application->CreateForm(first);
  TForm* second = Application->CreateForm<TForm>();
  ASSERT_EQ(Application->ComponentCount(), before + 2);
  EXPECT_EQ(Application->Components(before), first);
  EXPECT_EQ(Application->Components(before + 1), second);
  EXPECT_EQ(first->Owner(), Application);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(Screen->Forms(Screen->FormCount() - 2), first);
  EXPECT_EQ(Screen->Forms(Screen->FormCount() - 1), second);
  // The forms' windows are owned by the application window.
  EXPECT_EQ(::GetWindow(first->Handle(), GW_OWNER), Application->Handle());
  delete first;
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Application->ComponentCount(), before + 1);
  delete second;
  EXPECT_EQ(Application->ComponentCount(), before);
}

TEST(Application, ScreenGivesTheDisplaySize) {
  EXPECT_EQ(Screen->Width(), ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Screen->Height(), ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(Screen->Width(), 0);
  EXPECT_THROW(Screen->Forms(Screen->FormCount()), EListError);
}

TEST(Application, OnMessageSeesQueuedMessagesAndCanKeepThemFromTheWindow) {
  Recorder rec;
  const UINT seenMsg = WM_APP + 40, swallowedMsg = WM_APP + 41;
  rec.Swallow = swallowedMsg;
  std::vector<UINT> reached;
  HWND window = AllocateHWnd([&](TMessage& m) {
    if (m.Msg >= WM_APP) reached.push_back(m.Msg);
  });
  Application->SetOnMessage(TMessageEvent::Bind<&Recorder::Message>(&rec));
  ::PostMessageA(window, seenMsg, 0, 0);
  ::PostMessageA(window, swallowedMsg, 0, 0);
  Application->ProcessMessages();
  Application->SetOnMessage(TMessageEvent());
  DeallocateHWnd(window);
  EXPECT_NE(std::find(rec.Messages.begin(), rec.Messages.end(), seenMsg), rec.Messages.end());
  EXPECT_NE(std::find(rec.Messages.begin(), rec.Messages.end(), swallowedMsg), rec.Messages.end());
  EXPECT_EQ(reached, std::vector<UINT>{seenMsg});
}

TEST(Application, OnIdleRunsWhenTheQueueIsEmpty) {
  Recorder rec;
  Application->ProcessMessages();
  Application->SetOnIdle(TIdleEvent::Bind<&Recorder::Idle>(&rec));
  Application->HandleMessage();  // nothing queued: idle; done=false returns without waiting
  Application->SetOnIdle(TIdleEvent());
  EXPECT_EQ(rec.IdleCalls, 1);
}

TEST(Application, ProcessMessagesHandlesWhatIsQueuedWithoutWaiting) {
  int count = 0;
  HWND window = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_APP + 1) ++count;
  });
  for (int i = 0; i < 3; ++i) ::PostMessageA(window, WM_APP + 1, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(count, 3);
  Application->ProcessMessages();  // empty queue: returns at once
  DeallocateHWnd(window);
}

TEST(Application, TerminateEndsRunAndRunStartsAfresh) {
  Application->Terminate();
  Application->Run();  // the queued quit ends it at once
  EXPECT_TRUE(Application->Terminated());
  const int count = Application->TerminateCount();
  Application->Terminate();
  Application->Run();
  EXPECT_EQ(Application->TerminateCount(), count + 1);
}

TEST(Application, MinimizeAndRestoreMoveTheApplicationAndRaiseTheirEvents) {
  Recorder rec;
  TForm* main = Application->CreateForm<TForm>();
  main->Show();
  Application->SetOnMinimize(TNotifyEvent::Bind<&Recorder::Minimized>(&rec));
  Application->SetOnRestore(TNotifyEvent::Bind<&Recorder::Restored>(&rec));

  Application->Minimize();
  EXPECT_TRUE(Application->Minimized());
  EXPECT_TRUE(::IsIconic(Application->Handle()));
  EXPECT_FALSE(::IsWindowVisible(main->Handle()));
  EXPECT_EQ(main->WindowState(), wsMinimized);
  Application->Minimize();  // already minimised: nothing more

  Application->Restore();
  EXPECT_FALSE(Application->Minimized());
  EXPECT_FALSE(::IsIconic(Application->Handle()));
  EXPECT_TRUE(::IsWindowVisible(main->Handle()));
  EXPECT_EQ(main->WindowState(), wsNormal);
  EXPECT_EQ(rec.Log, (std::vector<std::string>{"minimize", "restore"}));

  // The main form's minimise command minimises the application; the application window's
  // restore command (its task bar button) restores it.
  ::SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(Application->Minimized());
  ::SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(Application->Minimized());
  EXPECT_EQ(rec.Log, (std::vector<std::string>{"minimize", "restore", "minimize", "restore"}));

  Application->SetOnMinimize(TNotifyEvent());
  Application->SetOnRestore(TNotifyEvent());
  delete main;
  ::ShowWindow(Application->Handle(), SW_HIDE);
}

TEST(Application, ActivationOfTheApplicationRaisesOnActivateAndOnDeactivate) {
  Recorder rec;
  Application->SetOnActivate(TNotifyEvent::Bind<&Recorder::Activate>(&rec));
  Application->SetOnDeactivate(TNotifyEvent::Bind<&Recorder::Deactivate>(&rec));
  const bool wasActive = Application->Active();
  ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);  // no change, no event
  ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  Application->SetOnActivate(TNotifyEvent());
  Application->SetOnDeactivate(TNotifyEvent());
  std::vector<std::string> expected{"activate", "deactivate"};
  if (wasActive) expected.insert(expected.begin(), "deactivate");
  EXPECT_EQ(rec.Log, expected);
  EXPECT_FALSE(Application->Active());
}

TEST(Application, HandleExceptionCallsOnExceptionWithTheSender) {
  vcltest::ExceptionCatcher caught;
  TForm sender(nullptr);
  try {
    throw EConvertError("bad value");
  } catch (...) {
    Application->HandleException(&sender);
  }
  try {
    throw std::runtime_error("plain C++ error");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  EXPECT_EQ(caught.Count(), 2);
  EXPECT_EQ(caught.LastMessage(), "plain C++ error");
  EXPECT_EQ(caught.LastSender(), nullptr);
}

TEST(Application, HandleExceptionWithoutAHandlerShowsTheMessage) {
  ASSERT_FALSE(Application->OnException());
  DialogAnswerer answer(Press("OK").Title(Application->Title()));
  try {
    throw Exception("Something failed");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_NE(answer.SeenText().find("Something failed."), std::string::npos) << answer.SeenText();
}

TEST(Application, MessageBoxReturnsTheButtonPressed) {
  DialogAnswerer answer(Press("No").Title("Question"));
  const int result = Application->MessageBox("Go on?", "Question", MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(result, IDNO);
  EXPECT_TRUE(answer.Answered());
  EXPECT_NE(answer.SeenText().find("Go on?"), std::string::npos);
}

TEST(Application, RunCatchesExceptionsOfItsOwnLoop) {
  vcltest::ExceptionCatcher caught;
  struct Thrower {
    void Message(MSG& msg, bool&) {
      if (msg.message == WM_APP + 50) throw Exception("from OnMessage");
    }
  } thrower;
  Application->SetOnMessage(TMessageEvent::Bind<&Thrower::Message>(&thrower));
  HWND window = AllocateHWnd([](TMessage&) {});
  ::PostMessageA(window, WM_APP + 50, 0, 0);
  Application->Terminate();
  Application->Run();
  Application->SetOnMessage(TMessageEvent());
  DeallocateHWnd(window);
  EXPECT_EQ(caught.Count(), 1);
  EXPECT_EQ(caught.LastMessage(), "from OnMessage");
}

TEST(Application, HelpRequestsGoToOnHelp) {
  Recorder rec;
  EXPECT_FALSE(Application->HelpContext(5));  // nobody takes it
  Application->SetOnHelp(THelpEvent::Bind<&Recorder::Help>(&rec));
  EXPECT_TRUE(Application->HelpContext(1234));
  Application->SetOnHelp(THelpEvent());
  EXPECT_EQ(rec.Log, std::vector<std::string>{"help:" + std::to_string(HELP_CONTEXT) + ":1234"});
}

TEST(Application, MouseOverAControlWithAHintRaisesOnHintThenOnShowHint) {
  Recorder rec;
  TForm form(nullptr);
  form.SetBounds(50, 50, 300, 200);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetHint("Short|The long hint");
  edit->SetShowHint(true);
  auto* refused = new TEdit(&form);
  refused->SetParent(&form);
  refused->SetTop(40);
  refused->SetHint("refuse");
  refused->SetShowHint(true);
  form.Show();
  const int pause = Application->HintPause();
  Application->SetHintPause(20);
  Application->SetOnHint(TNotifyEvent::Bind<&Recorder::Hint>(&rec));
  Application->SetOnShowHint(TShowHintEvent::Bind<&Recorder::ShowHint>(&rec));

  // The real cursor goes where the posted moves say it is: the platform sends moves of its own
  // to the window under it, and the application forgets a control the cursor is not over.
  POINT cursorBefore{};
  ::GetCursorPos(&cursorBefore);
  struct TPutCursorBack {
    POINT At;
    ~TPutCursorBack() { ::SetCursorPos(At.x, At.y); }
  } putBack{cursorBefore};
  const auto moveOver = [](TWinControl* control) {
    POINT at{5, 5};
    ::ClientToScreen(control->Handle(), &at);
    ::SetCursorPos(at.x, at.y);
    ::PostMessageA(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  };
  moveOver(edit);
  EXPECT_TRUE(PumpApp([&] { return rec.ShownFor != nullptr; }));
  ASSERT_GE(rec.Log.size(), 2u);
  EXPECT_EQ(rec.Log[0], "hint:The long hint");
  EXPECT_EQ(rec.Log[1], "showhint:Short");
  EXPECT_EQ(rec.ShownFor, edit);
  ASSERT_TRUE(Application->HintWindow());
  EXPECT_TRUE(::IsWindowVisible(Application->HintWindow()));
  EXPECT_EQ(TextOf(Application->HintWindow()), "[Short]");
  // The hint window paints itself in the hint colour.
  ::UpdateWindow(Application->HintWindow());
  HDC dc = ::GetDC(Application->HintWindow());
  EXPECT_EQ(::GetPixel(dc, 0, 0), ColorToRGB(Application->HintColor()));
  ::ReleaseDC(Application->HintWindow(), dc);

  // A handler that refuses: no hint window.
  rec.ShownFor = nullptr;
  moveOver(refused);
  EXPECT_TRUE(PumpApp([&] { return rec.ShownFor != nullptr; }));
  EXPECT_FALSE(::IsWindowVisible(Application->HintWindow()));

  Application->SetOnHint(TNotifyEvent());
  Application->SetOnShowHint(TShowHintEvent());
  Application->SetHintPause(pause);
  Application->CancelHint();
}

}  // namespace
}  // namespace kyt
