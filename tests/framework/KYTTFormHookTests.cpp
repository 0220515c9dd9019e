// Tests of the window hook base and the form hook on real forms: the window procedure chain,
// what handlers can change, several hooks, unhooking, the re-hook after streaming, owners.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/KYTTFormHook.h"
#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "tests/support/MessagePump.h"

namespace kyt {
namespace {

constexpr UINT kAsk = WM_APP + 11;      // the test form answers it with kAnswer
constexpr UINT kOther = WM_APP + 12;    // the test form answers it with kOtherAnswer
constexpr LRESULT kAnswer = 1234;
constexpr LRESULT kOtherAnswer = 5678;

// Who saw which message, in order.
std::vector<std::string> gLog;

// A form that records the test messages it receives and answers them.
class THookTestForm : public TForm {
  KYT_CLASS(THookTestForm, TForm)
 public:
  explicit THookTestForm(TComponent* owner) : TForm(owner) {}
  std::vector<TMessage> Seen;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == kAsk || message.Msg == kOther) {
      Seen.push_back(message);
      gLog.push_back("form");
      message.Result = message.Msg == kAsk ? kAnswer : kOtherAnswer;
      return;
    }
    inherited::WndProc(message);
  }
};

// Receives OnMessage events for the tests.
struct THandler {
  std::string Tag;
  UINT ChangeTo = 0;
  LRESULT SetResult = 0;
  int Count = 0;
  void Message(TObject*, TMessage& message) {
    if (message.Msg != kAsk && message.Msg != kOther) return;
    ++Count;
    gLog.push_back(Tag);
    if (ChangeTo) message.Msg = ChangeTo;
    if (SetResult) message.Result = SetResult;
  }
  TKYTHookMessage Event() { return TKYTHookMessage::Bind<&THandler::Message>(this); }
};

// A subclass that counts messages in its own Hooked, then passes them on.
class TCountingHook : public TKYTHookComponent {
  KYT_CLASS(TCountingHook, TKYTHookComponent)
 public:
  using TKYTHookComponent::TKYTHookComponent;
  int Count = 0;
  HWND HookedHandle() const { return FOwnerHandle; }
  WNDPROC HookProc() const { return FHookProc; }
  WNDPROC OldWndProc() const { return FOldWndProc; }

 protected:
  void Hooked(TMessage& message) override {
    if (message.Msg == kAsk) ++Count;
    inherited::Hooked(message);
  }
};

// A component that recreates its owner's window when a form file sets Recreate.
class TWindowRecreator : public TComponent {
  KYT_CLASS(TWindowRecreator, TComponent)
 public:
  static void Publish(TPublisher<TWindowRecreator>& p) {
    p.Property("Recreate", &TWindowRecreator::Recreate, &TWindowRecreator::SetRecreate).Default(false);
  }
  using TComponent::TComponent;
  bool Recreate() const { return FRecreate; }
  void SetRecreate(bool value) {
    FRecreate = value;
    if (value) ObjectCast<TWinControl>(Owner())->RecreateWnd();
  }

 private:
  bool FRecreate = false;
};

LONG_PTR WindowProcOf(HWND window) { return os::user32.GetWindowLongPtrA(window, GWLP_WNDPROC); }

class KYTTFormHook : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    form.reset(new THookTestForm(nullptr));
    window = form->Handle();
    ASSERT_NE(window, nullptr);
  }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return os::user32.SendMessageA(window, msg, w, l); }

  std::unique_ptr<THookTestForm> form;
  HWND window = nullptr;
};

TEST_F(KYTTFormHook, HookReplacesTheWindowProcedure) {
  const LONG_PTR before = WindowProcOf(window);
  auto* hook = new TCountingHook(form.get());
  EXPECT_NE(WindowProcOf(window), before);
  EXPECT_EQ(WindowProcOf(window), reinterpret_cast<LONG_PTR>(hook->HookProc()));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(hook->OldWndProc()), before);
  EXPECT_EQ(hook->HookedHandle(), window);
}

TEST_F(KYTTFormHook, WithoutHandlerEveryMessageReachesTheFormUnchanged) {
  const LRESULT textLength = Send(WM_GETTEXTLENGTH);
  new TKYTFormHook(form.get());
  EXPECT_EQ(Send(kAsk, 7, 9), kAnswer);
  ASSERT_EQ(form->Seen.size(), 1u);
  EXPECT_EQ(form->Seen[0].WParam, 7u);
  EXPECT_EQ(form->Seen[0].LParam, 9);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), textLength);
}

TEST_F(KYTTFormHook, WideParametersPassThroughOnThisTarget) {
  new TKYTFormHook(form.get());
  const WPARAM wide = static_cast<WPARAM>(~uintptr_t{0}) - 5;
  const LPARAM pointer = reinterpret_cast<LPARAM>(&gLog);
  Send(kAsk, wide, pointer);
  ASSERT_EQ(form->Seen.size(), 1u);
  EXPECT_EQ(form->Seen[0].WParam, wide);
  EXPECT_EQ(form->Seen[0].LParam, pointer);
}

TEST_F(KYTTFormHook, HandlerSeesEveryMessageAndCanChangeWhatTheFormGets) {
  THandler handler{"hook", kOther};
  // reference example: TKYTFormHook
  auto* hook = new TKYTFormHook(form.get());
  hook->SetOnMessage(handler.Event());
  // end of reference example
  EXPECT_EQ(Send(kAsk), kOtherAnswer);
  EXPECT_EQ(handler.Count, 1);
  ASSERT_EQ(form->Seen.size(), 1u);
  EXPECT_EQ(form->Seen[0].Msg, kOther);
}

TEST_F(KYTTFormHook, ResultSetByTheHandlerIsOverwrittenByTheForm) {
  THandler handler{"hook", 0, 999};
  auto* hook = new TKYTFormHook(form.get());
  hook->SetOnMessage(handler.Event());
  EXPECT_EQ(Send(kAsk), kAnswer);
  EXPECT_EQ(handler.Count, 1);
}

TEST_F(KYTTFormHook, TwoHooksSeeEachMessageLaterOneFirst) {
  THandler first{"first"}, second{"second"};
  (new TKYTFormHook(form.get()))->SetOnMessage(first.Event());
  (new TKYTFormHook(form.get()))->SetOnMessage(second.Event());
  Send(kAsk);
  form->Perform(kOther);  // straight to the form's method: no hook sees it
  EXPECT_EQ(gLog, (std::vector<std::string>{"second", "first", "form", "form"}));
}

TEST_F(KYTTFormHook, PostedMessagesAreHookedToo) {
  THandler handler{"hook"};
  (new TKYTFormHook(form.get()))->SetOnMessage(handler.Event());
  os::user32.PostMessageA(window, kAsk, 0, 0);
  MSG msg;
  while (os::user32.PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) os::user32.DispatchMessageA(&msg);
  EXPECT_EQ(handler.Count, 1);
  EXPECT_EQ(form->Seen.size(), 1u);
}

TEST_F(KYTTFormHook, DestroyingTheHookRestoresThePreviousProcedure) {
  const LONG_PTR original = WindowProcOf(window);
  auto* hook = new TKYTFormHook(form.get());
  ASSERT_NE(WindowProcOf(window), original);
  delete hook;
  EXPECT_EQ(WindowProcOf(window), original);
  EXPECT_EQ(Send(kAsk), kAnswer);
}

TEST_F(KYTTFormHook, ChainUnwindsInReverseOrder) {
  const LONG_PTR original = WindowProcOf(window);
  auto* first = new TCountingHook(form.get());
  const LONG_PTR afterFirst = WindowProcOf(window);
  auto* second = new TCountingHook(form.get());
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(second->OldWndProc()), afterFirst);
  Send(kAsk);
  EXPECT_EQ(first->Count, 1);
  EXPECT_EQ(second->Count, 1);
  delete second;
  EXPECT_EQ(WindowProcOf(window), afterFirst);
  Send(kAsk);
  EXPECT_EQ(first->Count, 2);
  delete first;
  EXPECT_EQ(WindowProcOf(window), original);
}

TEST_F(KYTTFormHook, AHookRemovedOutOfOrderLeavesTheChainWhole) {
  // As when the designer removes a component that is not the last one created.
  const LONG_PTR original = WindowProcOf(window);
  auto* first = new TCountingHook(form.get());
  auto* second = new TCountingHook(form.get());
  auto* third = new TCountingHook(form.get());
  const LONG_PTR top = WindowProcOf(window);
  delete second;
  EXPECT_EQ(WindowProcOf(window), top) << "the latest hook stays installed";
  EXPECT_EQ(Send(kAsk), kAnswer);
  EXPECT_EQ(first->Count, 1);
  EXPECT_EQ(third->Count, 1);
  delete first;
  EXPECT_EQ(Send(kAsk), kAnswer);
  EXPECT_EQ(third->Count, 2);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(third->OldWndProc()), original);
  delete third;
  EXPECT_EQ(WindowProcOf(window), original);
  EXPECT_EQ(Send(kAsk), kAnswer);
}

TEST_F(KYTTFormHook, OwnerFreesHooksLastFirstAndTheWindowKeepsWorking) {
  // Freeing the owner's components (last created first) unwinds the chain correctly.
  const LONG_PTR original = WindowProcOf(window);
  new TKYTFormHook(form.get());
  new TCountingHook(form.get());
  new TKYTFormHook(form.get());
  form->DestroyComponents();
  EXPECT_EQ(WindowProcOf(window), original);
  EXPECT_EQ(Send(kAsk), kAnswer);
}

TEST_F(KYTTFormHook, SubclassHookedRunsAsTheMostDerivedOverride) {
  auto* hook = new TCountingHook(form.get());
  Send(kAsk);
  Send(kAsk);
  EXPECT_EQ(hook->Count, 2);
  EXPECT_EQ(form->Seen.size(), 2u);
}

TEST_F(KYTTFormHook, HookWinWhileHookedMovesTheHookInsteadOfLooping) {
  const LONG_PTR original = WindowProcOf(window);
  auto* hook = new TCountingHook(form.get());
  hook->HookWin();
  EXPECT_EQ(Send(kAsk), kAnswer);
  EXPECT_EQ(hook->Count, 1);
  EXPECT_EQ(form->Seen.size(), 1u);
  hook->UnhookWin();
  EXPECT_EQ(WindowProcOf(window), original);
  EXPECT_EQ(hook->HookProc(), nullptr);
  delete hook;
  EXPECT_EQ(WindowProcOf(window), original);
}

TEST_F(KYTTFormHook, HooksTheDesignedFormToo) {
  form->SetDesigning(true);
  THandler handler{"hook"};
  auto* hook = new TKYTFormHook(form.get());
  EXPECT_TRUE(hook->ComponentState().Contains(csDesigning));
  hook->SetOnMessage(handler.Event());
  Send(kAsk);
  EXPECT_EQ(handler.Count, 1);
}

TEST_F(KYTTFormHook, ReHooksInLoadedWhenStreamingRecreatedTheWindow) {
  RegisterClasses({&THookTestForm::StaticClass(), &TKYTFormHook::StaticClass(), &TCountingHook::StaticClass(),
                   &TWindowRecreator::StaticClass()});
  form->SetName("HookForm");
  ReadRootText(*form,
               "object HookForm: THookTestForm\n"
               "  object Counter: TCountingHook\n"
               "  end\n"
               "  object Recreator: TWindowRecreator\n"
               "    Recreate = True\n"
               "  end\n"
               "end\n",
               "rehook.kfm");
  auto* counter = dynamic_cast<TCountingHook*>(form->FindComponent("Counter"));
  ASSERT_NE(counter, nullptr);
  const HWND recreated = form->Handle();
  ASSERT_NE(recreated, window) << "the form file was meant to recreate the window";
  EXPECT_FALSE(os::user32.IsWindow(window));
  EXPECT_EQ(counter->HookedHandle(), recreated);
  EXPECT_EQ(WindowProcOf(recreated), reinterpret_cast<LONG_PTR>(counter->HookProc()));
  EXPECT_EQ(os::user32.SendMessageA(recreated, kAsk, 0, 0), kAnswer);
  EXPECT_EQ(counter->Count, 1);
}

TEST_F(KYTTFormHook, WindowRecreatedAfterLoadingIsNotHookedAgain) {
  auto* counter = new TCountingHook(form.get());
  form->RecreateWnd();
  const HWND recreated = form->Handle();
  ASSERT_NE(recreated, window);
  os::user32.SendMessageA(recreated, kAsk, 0, 0);
  EXPECT_EQ(counter->Count, 0);
  EXPECT_EQ(counter->HookedHandle(), window);
}

TEST(KYTTFormHookOwner, MissingOwnerIsRefused) {
  EXPECT_THROW(TKYTFormHook hook(nullptr), EInvalidCast);
}

TEST(KYTTFormHookOwner, NonWindowedOwnersAreRefusedAndLeftUnchanged) {
  TComponent plain(nullptr);
  EXPECT_THROW(new TKYTFormHook(&plain), EInvalidCast);
  EXPECT_EQ(plain.ComponentCount(), 0);

  TForm form(nullptr);
  auto* control = new TControl(&form);   // a control without a window of its own
  const int count = control->ComponentCount();
  EXPECT_THROW(new TKYTFormHook(control), EInvalidCast);
  EXPECT_EQ(control->ComponentCount(), count);
}

TEST(KYTTFormHookOwner, AnyWindowedControlCanOwnAHook) {
  TWinControl control(nullptr);
  auto* hook = new TKYTFormHook(&control);
  EXPECT_EQ(hook->Owner(), &control);
  EXPECT_TRUE(control.HandleAllocated());
}

TEST(KYTTFormHookPublished, PublishesAboutAndOnMessageOnly) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TKYTFormHook::StaticClass().Properties()) names.push_back(p->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "About", "OnMessage"}));
  TForm form(nullptr);
  TKYTFormHook hook(&form);
  EXPECT_EQ(hook.About(), "(About)");
  EXPECT_FALSE(hook.OnMessage());
}

// What a form designer does with the input of a designed form: takes every mouse and key message.
class TRecordingDesigner : public TDesignHook {
 public:
  std::vector<std::pair<TControl*, UINT>> Seen;
  bool IsDesignMsg(TControl* sender, TMessage& msg) override {
    if (msg.Msg == WM_LBUTTONDOWN || msg.Msg == WM_LBUTTONUP) Seen.emplace_back(sender, msg.Msg);
    return true;
  }
};

struct TClickCount {
  int Count = 0;
  void Click(TObject*) { ++Count; }
};

struct TFormMessages {
  std::vector<UINT> Seen;
  void Message(TObject*, TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP) Seen.push_back(m.Msg);
  }
};

// A left click at a screen point through the system's input queue, as a person's click arrives.
void ClickAt(POINT p) {
  ::SetCursorPos(p.x, p.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(::SendInput(2, input, sizeof(INPUT)), 2u);
}

// A designed button is not pressed: its clicks go to the designer, while the form hook on the
// designed form goes on seeing the form's own messages. Without the designer the same click
// presses it, so the click really arrives.
TEST(KYTTFormHookDesigned, TheDesignerTakesTheInputOfADesignedFormsControls) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  TForm form(nullptr);
  form.SetBounds(200, 200, 300, 200);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetBounds(20, 20, 100, 30);
  TClickCount clicks;
  button->SetOnClick(TNotifyEvent::Bind<&TClickCount::Click>(&clicks));
  // A panel acts on the click in its own WndProc: the designer's turn must come before that too.
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(150, 20, 100, 40);
  panel->SetOnClick(TNotifyEvent::Bind<&TClickCount::Click>(&clicks));
  auto* hook = new TKYTFormHook(&form);
  TFormMessages formMessages;
  hook->SetOnMessage(TKYTHookMessage::Bind<&TFormMessages::Message>(&formMessages));
  TRecordingDesigner designer;
  form.SetDesigning(true);
  form.SetDesigner(&designer);
  form.Show();
  ::SetForegroundWindow(form.Handle());

  ClickAt(button->ClientToScreen(POINT{50, 15}));
  EXPECT_TRUE(PumpUntil([&] { return designer.Seen.size() == 2; }, 3000));
  using Seen = std::vector<std::pair<TControl*, UINT>>;
  EXPECT_EQ(designer.Seen, (Seen{{button, WM_LBUTTONDOWN}, {button, WM_LBUTTONUP}}));
  PumpPending();
  EXPECT_EQ(clicks.Count, 0);
  EXPECT_EQ(::SendMessageA(button->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  designer.Seen.clear();
  ClickAt(panel->ClientToScreen(POINT{50, 20}));
  EXPECT_TRUE(PumpUntil([&] { return designer.Seen.size() == 2; }, 3000));
  EXPECT_EQ(designer.Seen, (Seen{{panel, WM_LBUTTONDOWN}, {panel, WM_LBUTTONUP}}));
  EXPECT_EQ(clicks.Count, 0);

  designer.Seen.clear();
  ClickAt(form.ClientToScreen(POINT{200, 120}));
  EXPECT_TRUE(PumpUntil([&] { return designer.Seen.size() == 2; }, 3000));
  EXPECT_EQ(designer.Seen, (Seen{{&form, WM_LBUTTONDOWN}, {&form, WM_LBUTTONUP}}));
  EXPECT_EQ(formMessages.Seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));

  form.SetDesigner(nullptr);
  ClickAt(button->ClientToScreen(POINT{50, 15}));
  EXPECT_TRUE(PumpUntil([&] { return clicks.Count == 1; }, 3000));
  ::SetCursorPos(cursor.x, cursor.y);
}

}  // namespace
}  // namespace kyt
