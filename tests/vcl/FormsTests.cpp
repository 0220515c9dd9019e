// Tests of forms: window class, showing and hiding, bounds and window state in step with the
// real window, event slots replaced and chained, closing actions, the modal loop and form files.
#include "host/vcl/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/core/ComponentRef.h"
#include "host/core/FormFile.h"
#include "host/vcl/Application.h"
#include "host/vcl/Buttons.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Menus.h"
#include "host/vcl/StdCtrls.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {

// A form class with published handlers, as an application declares one.
class TTestForm : public TForm {
  KYT_CLASS(TTestForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TTestForm>& m) {
    m.Method<&TTestForm::FormCreate>("FormCreate");
    m.Method<&TTestForm::ButtonClick>("ButtonClick");
  }
  explicit TTestForm(TComponent* owner) : TForm(owner) {}
  void FormCreate(TObject*) { Log.push_back("create:" + Caption()); }
  void ButtonClick(TObject*) { Log.push_back("click"); }
  std::vector<std::string> Log;
};

// Carries its form file as the RCDATA resource TRESOURCEFORM of the test executable.
class TResourceForm : public TTestForm {
  KYT_CLASS(TResourceForm, TTestForm)
 public:
  explicit TResourceForm(TComponent* owner) : TTestForm(owner) {}
};

// A frame with its own form file (TTESTFRAME), and a form (TFRAMEDFORM) whose file places it
// with an `inline` block that changes its label.
class TTestFrame : public TFrame {
  KYT_CLASS(TTestFrame, TFrame)
 public:
  explicit TTestFrame(TComponent* owner) : TFrame(owner) {}
};
class TFramedForm : public TForm {
  KYT_CLASS(TFramedForm, TForm)
 public:
  explicit TFramedForm(TComponent* owner) : TForm(owner) {}
};

// A form whose OnDestroy handler looks at a member of its own class.
class TDestroyWatchForm : public TForm {
  KYT_CLASS(TDestroyWatchForm, TForm)
 public:
  explicit TDestroyWatchForm(TComponent* owner, std::vector<std::string>& log) : TForm(owner), FLog(log) {
    SetOnDestroy(TNotifyEvent::Bind<&TDestroyWatchForm::FormDestroy>(this));
  }
  ~TDestroyWatchForm() override { FWhole = false; }
  void FormDestroy(TObject*) { FLog.push_back(FWhole ? "destroy:whole" : "destroy:taken apart"); }

 private:
  std::vector<std::string>& FLog;
  bool FWhole = true;
};

namespace {

using vcltest::ClassOf;
using vcltest::PumpApp;
using vcltest::TextOf;

struct Events {
  std::vector<std::string> Log;
  TForm* Form = nullptr;
  TCloseAction Action = caHide;
  TNotifyEvent PreviousShow;
  TCloseEvent PreviousClose;
  void Show(TObject*) { Log.push_back(std::string("show:") + (::IsWindowVisible(Form->Handle()) ? "visible" : "hidden")); }
  void Hide(TObject*) { Log.push_back(std::string("hide:") + (::IsWindowVisible(Form->Handle()) ? "visible" : "hidden")); }
  void Close(TObject*, TCloseAction& action) {
    Log.push_back("close");
    action = Action;
  }
  void Destroy(TObject*) { Log.push_back("destroy"); }
  void Paint(TObject*) { Log.push_back(Form->PaintDC() ? "paint:dc" : "paint:nodc"); }
  // Replacements that chain to the handlers they replaced, as components do.
  void MyShow(TObject* sender) {
    Log.push_back("myshow");
    PreviousShow(sender);
  }
  void MyClose(TObject* sender, TCloseAction& action) {
    Log.push_back("myclose");
    PreviousClose(sender, action);
  }
  void Throw(TObject*) { throw Exception("OnShow failed"); }
};

RECT WindowRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

TEST(Form, WindowClassIsNamedAfterTheFormClass) {
  TForm plain(nullptr);
  TTestForm derived(nullptr);
  EXPECT_EQ(ClassOf(plain.Handle()), "TForm");
  EXPECT_EQ(ClassOf(derived.Handle()), "TTestForm");
  EXPECT_FALSE(plain.Visible());
  EXPECT_FALSE(::IsWindowVisible(plain.Handle()));
}

TEST(Form, ShowRunsOnShowBeforeTheWindowAppearsAndHideRunsOnHideAfter) {
  TForm form(nullptr);
  Events ev;
  ev.Form = &form;
  form.SetOnShow(TNotifyEvent::Bind<&Events::Show>(&ev));
  form.SetOnHide(TNotifyEvent::Bind<&Events::Hide>(&ev));
  form.Show();
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  form.Hide();
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
  form.SetVisible(true);
  form.SetVisible(true);  // already visible: no second OnShow
  EXPECT_EQ(ev.Log, (std::vector<std::string>{"show:hidden", "hide:hidden", "show:hidden"}));
}

TEST(Form, ExceptionFromOnShowPropagatesToTheCaller) {
  TForm form(nullptr);
  Events ev;
  form.SetOnShow(TNotifyEvent::Bind<&Events::Throw>(&ev));
  EXPECT_THROW(form.Show(), Exception);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST(Form, BoundsFollowTheRealWindowBothWays) {
  TForm form(nullptr);
  form.SetBounds(110, 120, 400, 300);
  form.Show();
  RECT r = WindowRect(form.Handle());
  EXPECT_EQ(r.left, 110);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 300);
  // Moved by someone else: the properties follow.
  ::MoveWindow(form.Handle(), 130, 140, 420, 310, TRUE);
  EXPECT_EQ(form.Left(), 130);
  EXPECT_EQ(form.Top(), 140);
  EXPECT_EQ(form.Width(), 420);
  EXPECT_EQ(form.Height(), 310);
  RECT client{};
  ::GetClientRect(form.Handle(), &client);
  EXPECT_EQ(form.ClientWidth(), client.right);
  EXPECT_EQ(form.ClientHeight(), client.bottom);
  form.SetClientWidth(300);
  form.SetClientHeight(200);
  ::GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  POINT origin{0, 0};
  ::ClientToScreen(form.Handle(), &origin);
  EXPECT_EQ(form.ClientOrigin().x, origin.x);
  EXPECT_EQ(form.ClientOrigin().y, origin.y);
}

TEST(Form, WindowStateStaysInStepWithMaximiseAndRestore) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  form.Show();
  form.SetWindowState(wsMaximized);
  EXPECT_TRUE(::IsZoomed(form.Handle()));
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  ::GetWindowPlacement(form.Handle(), &wp);
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition.left, 100);
  EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 300);
  EXPECT_GT(form.Width(), 300);  // the bounds are the maximised window's

  ::SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(form.WindowState(), wsNormal);
  EXPECT_FALSE(::IsZoomed(form.Handle()));
  EXPECT_EQ(form.Left(), 100);
  EXPECT_EQ(form.Width(), 300);

  ::SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(form.WindowState(), wsMaximized);
  ::SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);  // not the main form: iconic
  EXPECT_EQ(form.WindowState(), wsMinimized);
  EXPECT_TRUE(::IsIconic(form.Handle()));
  form.SetWindowState(wsNormal);
  EXPECT_FALSE(::IsIconic(form.Handle()));
  EXPECT_FALSE(::IsZoomed(form.Handle()));
  EXPECT_EQ(form.WindowState(), wsNormal);
}

TEST(Form, WindowStateSetWhileHiddenAppliesWhenShown) {
  TForm form(nullptr);
  form.SetWindowState(wsMaximized);
  EXPECT_FALSE(::IsZoomed(form.Handle()));
  form.Show();
  EXPECT_TRUE(::IsZoomed(form.Handle()));
  EXPECT_EQ(form.WindowState(), wsMaximized);
}

TEST(Form, ScreenCenterPositionCentresOnFirstShow) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 280, 160);
  form.SetPosition(poScreenCenter);
  form.Show();
  RECT r = WindowRect(form.Handle());
  EXPECT_EQ(r.left, (Screen->Width() - 280) / 2);
  EXPECT_EQ(r.top, (Screen->Height() - 160) / 2);
}

TEST(Form, OnShowAndOnCloseSlotsCanBeReplacedAndChained) {
  TForm form(nullptr);
  Events own;
  own.Form = &form;
  form.SetOnShow(TNotifyEvent::Bind<&Events::Show>(&own));
  form.SetOnClose(TCloseEvent::Bind<&Events::Close>(&own));

  Events component;
  component.Log.reserve(4);
  component.PreviousShow = form.OnShow();
  component.PreviousClose = form.OnClose();
  form.SetOnShow(TNotifyEvent::Bind<&Events::MyShow>(&component));
  form.SetOnClose(TCloseEvent::Bind<&Events::MyClose>(&component));
  EXPECT_TRUE(form.OnShow() == TNotifyEvent::Bind<&Events::MyShow>(&component));
  EXPECT_FALSE(form.OnShow() == component.PreviousShow);

  form.Show();
  form.Close();
  EXPECT_EQ(component.Log, (std::vector<std::string>{"myshow", "myclose"}));
  EXPECT_EQ(own.Log, (std::vector<std::string>{"show:hidden", "close"}));
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));  // the chained handler's caHide applied

  // Handing the slots back restores the form's own handlers.
  form.SetOnShow(component.PreviousShow);
  form.SetOnClose(component.PreviousClose);
  form.Show();
  EXPECT_EQ(own.Log.back(), "show:hidden");
  EXPECT_EQ(component.Log.size(), 2u);
}

TEST(Form, CloseActionsHideMinimiseCancelOrFree) {
  Events ev;
  TForm* form = new TForm(nullptr);
  ev.Form = form;
  form->SetOnClose(TCloseEvent::Bind<&Events::Close>(&ev));
  form->SetOnDestroy(TNotifyEvent::Bind<&Events::Destroy>(&ev));
  form->Show();

  ev.Action = caNone;
  form->Close();
  EXPECT_TRUE(::IsWindowVisible(form->Handle()));
  ev.Action = caMinimize;
  form->Close();
  EXPECT_TRUE(::IsIconic(form->Handle()));
  EXPECT_EQ(form->WindowState(), wsMinimized);
  form->SetWindowState(wsNormal);
  ev.Action = caHide;
  ::SendMessageA(form->Handle(), WM_CLOSE, 0, 0);  // the close box
  EXPECT_FALSE(::IsWindowVisible(form->Handle()));
  EXPECT_TRUE(form->HandleAllocated());

  form->Show();
  ev.Action = caFree;
  const int forms = Screen->FormCount();
  form->Close();
  EXPECT_EQ(Screen->FormCount(), forms);  // freed later, not inside Close
  EXPECT_TRUE(PumpApp([&] { return Screen->FormCount() == forms - 1; }));
  EXPECT_EQ(ev.Log.back(), "destroy");
}

TEST(Form, OnDestroyRunsWhileTheFormIsWholeOnEveryWayOfFreeingIt) {
  std::vector<std::string> log;
  FreeComponent(new TDestroyWatchForm(nullptr, log));
  {
    TComponent owner(nullptr);
    new TDestroyWatchForm(&owner, log);
  }
  auto* released = new TDestroyWatchForm(nullptr, log);
  released->Release();
  EXPECT_TRUE(PumpApp([&] { return log.size() == 3; }));
  EXPECT_EQ(log, (std::vector<std::string>(3, "destroy:whole")));
}

TEST(Form, OnCloseQueryCanRefuseTheClose) {
  struct Query {
    bool Allow = false;
    void CloseQuery(TObject*, bool& canClose) { canClose = Allow; }
  } q;
  TForm form(nullptr);
  form.SetOnCloseQuery(TCloseQueryEvent::Bind<&Query::CloseQuery>(&q));
  form.Show();
  form.Close();
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  q.Allow = true;
  form.Close();
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST(Form, ClosingTheMainFormTerminatesTheApplication) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  TForm* main = Application->CreateForm<TForm>();
  main->Show();
  const int count = Application->TerminateCount();
  main->Close();
  Application->ProcessMessages();
  EXPECT_EQ(Application->TerminateCount(), count + 1);
  EXPECT_TRUE(Application->Terminated());
  delete main;
  ::ShowWindow(Application->Handle(), SW_HIDE);
}

TEST(Form, OnPaintRunsWithTheDeviceContextOfThePaint) {
  TForm form(nullptr);
  Events ev;
  ev.Form = &form;
  form.SetOnPaint(TNotifyEvent::Bind<&Events::Paint>(&ev));
  form.Show();
  ::InvalidateRect(form.Handle(), nullptr, TRUE);
  ::UpdateWindow(form.Handle());
  ASSERT_FALSE(ev.Log.empty());
  EXPECT_EQ(ev.Log.back(), "paint:dc");
  EXPECT_EQ(form.PaintDC(), nullptr);
}

TEST(Form, ExceptionFromOnPaintReachesOnException) {
  vcltest::ExceptionCatcher caught;
  TForm form(nullptr);
  Events ev;
  form.SetOnPaint(TNotifyEvent::Bind<&Events::Throw>(&ev));
  form.Show();
  ::InvalidateRect(form.Handle(), nullptr, TRUE);
  ::UpdateWindow(form.Handle());
  EXPECT_GE(caught.Count(), 1);
  EXPECT_EQ(caught.LastMessage(), "OnShow failed");
  EXPECT_EQ(caught.LastSender(), &form);
}

// Builds the modal test dialog: OK and Cancel bitmap buttons.
TForm* MakeDialog() {
  auto* form = new TForm(Application);
  form->SetCaption("Modal test");
  form->SetBorderStyle(bsDialog);
  form->SetBounds(200, 200, 250, 120);
  auto* ok = new TBitBtn(form);
  ok->SetParent(form);
  ok->SetKind(bkOK);
  ok->SetBounds(20, 40, 77, 27);
  auto* cancel = new TBitBtn(form);
  cancel->SetParent(form);
  cancel->SetKind(bkCancel);
  cancel->SetBounds(110, 40, 77, 27);
  return form;
}

TEST(Form, ShowModalReturnsTheResultOfThePressedButton) {
  TForm other(nullptr);
  other.Show();
  std::unique_ptr<TForm> dialog(MakeDialog());
  bool otherDisabled = false;
  {
    DialogAnswerer answer(Press("OK").Title("Modal test").OnFound([&](HWND) {
      otherDisabled = !::IsWindowEnabled(other.Handle());
    }));
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_EQ(answer.SeenClassName(), "TForm");
  }
  EXPECT_TRUE(otherDisabled);
  EXPECT_TRUE(::IsWindowEnabled(other.Handle()));
  EXPECT_FALSE(::IsWindowVisible(dialog->Handle()));
  EXPECT_FALSE(dialog->Modal());
  {
    DialogAnswerer answer(Press("Cancel").Title("Modal test"));
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
  }
  {
    DialogAnswerer answer(SendClose().Title("Modal test"));  // the close box
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
  }
}

// A click sent from another thread (as another process or an accessibility tool sends one) is
// dispatched inside the modal loop's PeekMessage; the loop must end on it without waiting for a
// later posted message. The helper thread posts one itself only if the loop has not ended after
// a generous while, so a fault fails the test instead of hanging it.
TEST(Form, ShowModalEndsOnAClickSentFromAnotherThread) {
  for (int round = 0; round < 5; ++round) {
    std::unique_ptr<TForm> dialog(MakeDialog());
    HWND form = dialog->Handle();
    HWND ok = static_cast<TWinControl*>(dialog->Components(0))->Handle();  // the OK button
    HANDLE ended = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool neededWakeUp = false;
    std::thread clicker([&] {
      while (!::IsWindowVisible(form) || !::IsWindowEnabled(ok)) ::Sleep(1);
      ::SendMessageA(ok, BM_CLICK, 0, 0);
      if (::WaitForSingleObject(ended, 30000) == WAIT_TIMEOUT) {
        neededWakeUp = true;
        ::PostMessageA(form, WM_NULL, 0, 0);
      }
    });
    const TModalResult result = dialog->ShowModal();
    ::SetEvent(ended);
    clicker.join();
    ::CloseHandle(ended);
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(neededWakeUp) << "round " << round << ": the modal loop slept on the sent click";
  }
}

TEST(Form, EscapeAndModalResultEndTheModalLoop) {
  TForm dialog(nullptr);
  dialog.SetCaption("Escape test");
  auto* timer = new TTimer(&dialog);
  timer->SetInterval(20);
  struct Driver {
    TForm* Form;
    int Step = 0;
    void Tick(TObject*) {
      ++Step;
      if (Step == 2) ::PostMessageA(Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    void SetResult(TObject*) { Form->SetModalResult(mrYesToAll); }
  } driver{&dialog};
  timer->SetOnTimer(TNotifyEvent::Bind<&Driver::Tick>(&driver));
  EXPECT_EQ(dialog.ShowModal(), mrCancel);  // no cancel button: Escape still cancels
  timer->SetOnTimer(TNotifyEvent::Bind<&Driver::SetResult>(&driver));
  EXPECT_EQ(dialog.ShowModal(), mrYesToAll);
  timer->SetEnabled(false);
}

TEST(Form, ShowModalRefusesAVisibleForm) {
  TForm form(nullptr);
  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

TEST(Form, OnCloseOfAModalFormCanKeepItOpen) {
  std::unique_ptr<TForm> dialog(MakeDialog());
  struct Keeper {
    int Closes = 0;
    void Close(TObject*, TCloseAction& action) {
      if (++Closes == 1) action = caNone;
    }
  } keeper;
  dialog->SetOnClose(TCloseEvent::Bind<&Keeper::Close>(&keeper));
  DialogAnswerer first(Press("OK").Title("Modal test"));
  // Once OnClose has refused the OK, the timer presses Cancel the way a user would.
  struct Second {
    Keeper* Closes;
    TWinControl* CancelButton;
    void Tick(TObject*) {
      if (Closes->Closes == 1) ::SendMessageA(CancelButton->Handle(), BM_CLICK, 0, 0);
    }
  } second{&keeper, static_cast<TWinControl*>(dialog->Controls(1))};
  auto* timer = new TTimer(dialog.get());
  timer->SetInterval(50);
  timer->SetOnTimer(TNotifyEvent::Bind<&Second::Tick>(&second));
  EXPECT_EQ(dialog->ShowModal(), mrCancel);  // OK was refused by OnClose, Cancel then closed it
  EXPECT_EQ(keeper.Closes, 2);
}

// A form file with controls, a timer and a popup menu survives a write and a read.
TEST(FormFile, RoundTripsAFormWithItsControls) {
  RegisterClass(TTestForm::StaticClass());
  TTestForm form(nullptr);
  form.SetName("TestForm");
  form.SetCaption("Round trip");
  form.SetBounds(10, 20, 333, 222);
  form.SetBorderStyle(bsSingle);
  form.SetPosition(poScreenCenter);
  form.Font()->SetStyle(TFontStyles{fsBold});
  auto* label = new TLabel(&form);
  label->SetName("Prompt");
  label->SetParent(&form);
  label->SetCaption("&Name:");
  label->SetLeft(8);
  label->SetTop(8);
  auto* combo = new TComboBox(&form);
  combo->SetName("Choice");
  combo->SetParent(&form);
  combo->SetBounds(8, 30, 150, 21);
  combo->SetSorted(true);
  combo->Items()->Add("beta");
  combo->Items()->Add("alpha");
  label->SetFocusControl(combo);
  auto* panel = new TPanel(&form);
  panel->SetName("Buttons");
  panel->SetParent(&form);
  panel->SetBounds(0, 100, 333, 60);
  auto* ok = new TBitBtn(&form);
  ok->SetName("OkButton");
  ok->SetParent(panel);
  ok->SetKind(bkOK);
  ok->SetBounds(10, 10, 77, 27);
  ok->SetOnClick(TNotifyEvent::Bind<&TTestForm::ButtonClick>(&form));
  auto* timer = new TTimer(&form);
  timer->SetName("Ticker");
  timer->SetInterval(250);
  auto* menu = new TPopupMenu(&form);
  menu->SetName("Menu");
  auto* open = new TMenuItem(&form);
  open->SetName("OpenItem");
  open->SetCaption("&Open");
  menu->Items()->Add(open);
  auto* recent = new TMenuItem(&form);
  recent->SetName("RecentItem");
  recent->SetCaption("Recent");
  menu->Items()->Add(recent);
  auto* first = new TMenuItem(&form);
  first->SetName("FirstRecent");
  first->SetCaption("first.txt");
  first->SetChecked(true);
  recent->Add(first);

  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("object TestForm: TTestForm"), std::string::npos) << text;
  EXPECT_NE(text.find("object OkButton: TBitBtn"), std::string::npos) << text;
  EXPECT_NE(text.find("OnClick = ButtonClick"), std::string::npos) << text;

  TTestForm copy(nullptr);
  ReadRootText(copy, text, "TestForm.kfm");
  EXPECT_EQ(copy.Caption(), "Round trip");
  EXPECT_EQ(copy.BorderStyle(), bsSingle);
  EXPECT_EQ(copy.Position(), poScreenCenter);
  EXPECT_TRUE(copy.Font()->Style().Contains(fsBold));
  EXPECT_EQ(copy.Width(), 333);
  ASSERT_EQ(copy.ControlCount(), 3);
  auto* label2 = dynamic_cast<TLabel*>(copy.Controls(0));
  auto* combo2 = dynamic_cast<TComboBox*>(copy.Controls(1));
  auto* panel2 = dynamic_cast<TPanel*>(copy.Controls(2));
  ASSERT_TRUE(label2 && combo2 && panel2);
  EXPECT_EQ(label2->Caption(), "&Name:");
  EXPECT_EQ(label2->FocusControl(), combo2);
  EXPECT_TRUE(combo2->Sorted());
  ASSERT_EQ(combo2->Items()->Count(), 2);
  EXPECT_EQ(combo2->Items()->Strings(0), "alpha");
  EXPECT_EQ(combo2->Items()->Strings(1), "beta");
  ASSERT_EQ(panel2->ControlCount(), 1);
  auto* ok2 = dynamic_cast<TBitBtn*>(panel2->Controls(0));
  ASSERT_TRUE(ok2);
  EXPECT_EQ(ok2->Owner(), &copy);
  EXPECT_EQ(ok2->Kind(), bkOK);
  EXPECT_EQ(ok2->Caption(), "OK");
  EXPECT_EQ(ok2->ModalResult(), mrOk);
  EXPECT_TRUE(ok2->Default());
  EXPECT_EQ(ok2->Left(), 10);
  EXPECT_EQ(ok2->Top(), 10);
  ok2->Click();
  EXPECT_EQ(copy.Log, std::vector<std::string>{"click"});
  auto* timer2 = dynamic_cast<TTimer*>(copy.FindComponent("Ticker"));
  ASSERT_TRUE(timer2);
  EXPECT_EQ(timer2->Interval(), 250u);
  auto* menu2 = dynamic_cast<TPopupMenu*>(copy.FindComponent("Menu"));
  ASSERT_TRUE(menu2);
  ASSERT_EQ(menu2->Items()->Count(), 2);
  EXPECT_EQ(menu2->Items()->Items(0)->Caption(), "&Open");
  ASSERT_EQ(menu2->Items()->Items(1)->Count(), 1);
  EXPECT_TRUE(menu2->Items()->Items(1)->Items(0)->Checked());

  // Written again, the copy gives the same text.
  copy.SetName("TestForm");
  EXPECT_EQ(WriteComponentText(copy), text);
}

TEST(FormFile, FormReadsItsResourceBeforeOnCreate) {
  RegisterClass(TResourceForm::StaticClass());
  TResourceForm* form = NewForm<TResourceForm>(nullptr);
  EXPECT_EQ(form->Caption(), "From the resource");
  ASSERT_EQ(form->ControlCount(), 1);
  EXPECT_EQ(form->Controls(0)->Caption(), "Loaded label");
  // OnCreate came from the file and ran after it was read.
  EXPECT_EQ(form->Log, std::vector<std::string>{"create:From the resource"});
  delete form;
}

// A frame placed by a form's file and one placed in code both hold the components of the frame's
// own file as child windows of the frame, which is a child window of the form; the form's file
// is written back with only what differs from the frame's file.
TEST(FormFile, FramesReadTheirOwnResourceInlineAndInCode) {
  RegisterClasses({&TFramedForm::StaticClass(), &TTestFrame::StaticClass()});
  std::unique_ptr<TFramedForm> form(NewForm<TFramedForm>(nullptr));
  std::unique_ptr<TForm> plain(NewForm<TForm>(nullptr));
  auto* inlined = dynamic_cast<TTestFrame*>(form->FindComponent("Frame1"));
  ASSERT_TRUE(inlined);
  TTestFrame* coded = NewFrame<TTestFrame>(plain.get());
  coded->SetName("Coded");
  const struct {
    TTestFrame* Frame;
    TForm* Form;
    int Left;
    const char* Caption;
  } cases[] = {{inlined, form.get(), 10, "Changed in the form"}, {coded, plain.get(), 0, "Frame label"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Caption);
    auto* label = dynamic_cast<TLabel*>(c.Frame->FindComponent("FrameLabel"));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->Caption(), c.Caption);
    EXPECT_EQ(label->Parent(), c.Frame);
    EXPECT_EQ(c.Frame->Parent(), c.Form);
    EXPECT_EQ(c.Frame->Left(), c.Left);
    EXPECT_EQ(c.Frame->Width(), 200);
    c.Form->Show();
    EXPECT_EQ(::GetParent(c.Frame->Handle()), c.Form->Handle());
    EXPECT_TRUE(::IsWindowVisible(c.Frame->Handle()));
  }
  const std::string text = WriteComponentText(*form);
  // The label's width follows its new caption; the frame's own size is not written again.
  EXPECT_NE(text.find("  inline Frame1: TTestFrame\r\n    Left = 10\r\n    Top = 20\r\n"
                      "    inherited FrameLabel: TLabel\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("      Caption = 'Changed in the form'\r\n    end\r\n  end\r\nend"), std::string::npos) << text;
  EXPECT_EQ(text.find("Height = 60"), std::string::npos) << text;
  EXPECT_EQ(WriteComponentText(*plain).find("Frame label"), std::string::npos);
}

}  // namespace
// A component that runs the message loop midway through its work, as a file search does per
// folder: a form closed with caFree is freed inside that loop, and the work must stop without
// touching the component or its form.
TEST(Form, WorkThatRunsTheMessageLoopStopsWhenACaFreeCloseFreesItsForm) {
  auto* form = new TForm(Application);
  auto* worker = new TComponent(form);
  struct FreeOnClose {
    void Close(TObject*, TCloseAction& action) { action = caFree; }
  } closer;
  form->SetOnClose(TCloseEvent::Bind<&FreeOnClose::Close>(&closer));
  form->Show();
  TComponentRef<TComponent> self(worker);
  TComponentRef<TForm> formRef(form);
  ::PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  int steps = 0;
  while (self && steps < 10000) {  // each step stands for one folder of a search
    ++steps;
    Application->ProcessMessages();
    if (!self) break;
    self->SetTag(steps);
    if (steps > 3) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_FALSE(self) << "the form was not freed within the loop";
  EXPECT_FALSE(formRef);
}

// A window hook sits above the form's own procedure; when a resize not made through SetBounds
// sends it WM_SIZE and WM_MOVE, the form's bounds are already the new ones.
namespace boundshook {
TForm* Form = nullptr;
WNDPROC Previous = nullptr;
std::vector<std::string> Seen;
LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZE && wParam == SIZE_RESTORED)
    Seen.push_back("size " + std::to_string(Form->Width()) + "x" + std::to_string(Form->Height()));
  if (msg == WM_MOVE) Seen.push_back("move " + std::to_string(Form->Left()) + "," + std::to_string(Form->Top()));
  return ::CallWindowProcA(Previous, window, msg, wParam, lParam);
}
}  // namespace boundshook

TEST(Form, BoundsAreCurrentWhenWmSizeAndWmMoveReachAWindowHook) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  form.Show();
  HWND window = form.Handle();
  boundshook::Form = &form;
  boundshook::Seen.clear();
  boundshook::Previous = reinterpret_cast<WNDPROC>(
      os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&boundshook::Proc)));
  ::SetWindowPos(window, nullptr, 150, 160, 420, 310, SWP_NOZORDER | SWP_NOACTIVATE);
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boundshook::Previous));
  EXPECT_NE(std::find(boundshook::Seen.begin(), boundshook::Seen.end(), "size 420x310"), boundshook::Seen.end())
      << ::testing::PrintToString(boundshook::Seen);
  EXPECT_NE(std::find(boundshook::Seen.begin(), boundshook::Seen.end(), "move 150,160"), boundshook::Seen.end())
      << ::testing::PrintToString(boundshook::Seen);
  EXPECT_EQ(form.Width(), 420);
  EXPECT_EQ(form.Left(), 150);
}

namespace {

// One form of every control and dialog added with the memo: what is stored, and that the copy
// read back has it in its windows and writes the same text.
TEST(FormFile, TheNewControlsAndDialogsRoundTrip) {
  TTestForm form(nullptr);
  form.SetName("TestForm");
  form.SetBounds(10, 10, 400, 300);
  auto* memo = new TMemo(&form);
  memo->SetName("Notes");
  memo->SetParent(&form);
  memo->SetBounds(8, 8, 120, 60);
  memo->Lines()->SetText("first\r\nsecond\r\n");
  memo->SetScrollBars(ssVertical);
  memo->SetWordWrap(false);
  auto* box = new TCheckBox(&form);
  box->SetName("Keep");
  box->SetParent(&form);
  box->SetBounds(8, 80, 97, 17);
  box->SetCaption("Keep it");
  box->SetAllowGrayed(true);
  box->SetState(cbGrayed);
  auto* tabs = new TTabControl(&form);
  tabs->SetName("Pages");
  tabs->SetParent(&form);
  tabs->SetBounds(140, 8, 200, 100);
  tabs->Tabs()->SetText("One\r\nTwo\r\n");
  tabs->SetTabIndex(1);
  auto* speed = new TSpeedButton(&form);
  speed->SetName("Tool");
  speed->SetParent(&form);
  speed->SetBounds(8, 110, 25, 25);
  speed->SetGlyphResource("SPEEDGLYPH");
  speed->SetFlat(false);
  auto* menu = new TMainMenu(&form);
  menu->SetName("MainMenu");
  auto* file = new TMenuItem(&form);
  file->SetName("FileItem");
  file->SetCaption("&File");
  menu->Items()->Add(file);
  form.SetMenu(menu);
  auto* open = new TOpenDialog(&form);
  open->SetName("OpenDialog");
  open->SetFilter("Text|*.txt");
  open->SetOptions(TOpenOptions{ofFileMustExist});
  auto* colour = new TColorDialog(&form);
  colour->SetName("ColourDialog");
  colour->SetColor(clRed);

  const std::string text = WriteComponentText(form);
  for (const char* stored :
       {"Menu = MainMenu", "object Notes: TMemo", "Lines.Strings = (", "'second')", "ScrollBars = ssVertical",
        "WordWrap = False", "AllowGrayed = True", "State = cbGrayed", "Caption = 'Keep it'", "TabIndex = 1",
        "Tabs.Strings = (", "GlyphResource = 'SPEEDGLYPH'", "Flat = False", "object MainMenu: TMainMenu",
        "object FileItem: TMenuItem", "Filter = 'Text|*.txt'", "Options = [ofFileMustExist]", "Color = clRed"})
    EXPECT_NE(text.find(stored), std::string::npos) << stored << "\n" << text;
  // Defaults stay out: a check box's Checked, the memo's WantReturns, the speed button's Spacing.
  for (const char* left : {"Checked", "WantReturns", "Spacing", "FilterIndex", "MultiLine"})
    EXPECT_EQ(text.find(left), std::string::npos) << left << "\n" << text;

  TTestForm copy(nullptr);
  ReadRootText(copy, text, "TestForm.kfm");
  auto* memo2 = dynamic_cast<TMemo*>(copy.FindComponent("Notes"));
  auto* box2 = dynamic_cast<TCheckBox*>(copy.FindComponent("Keep"));
  auto* tabs2 = dynamic_cast<TTabControl*>(copy.FindComponent("Pages"));
  auto* speed2 = dynamic_cast<TSpeedButton*>(copy.FindComponent("Tool"));
  ASSERT_TRUE(memo2 && box2 && tabs2 && speed2);
  EXPECT_EQ(vcltest::TextOf(memo2->Handle()), "first\r\nsecond");
  EXPECT_NE(::GetWindowLongA(memo2->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(::SendMessageA(box2->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(::SendMessageA(tabs2->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(::SendMessageA(tabs2->Handle(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_NE(speed2->Glyph(), nullptr);
  ASSERT_NE(copy.Menu(), nullptr);
  EXPECT_EQ(::GetMenu(copy.Handle()), copy.Menu()->Handle());
  EXPECT_EQ(WriteComponentText(copy), text);
}

}  // namespace

}  // namespace kyt
