// Components freed inside their own calls, tested over the whole package: every published event
// of every component raised with a handler that frees the component raising it, and every hook
// component with its form released inside a message the hook is handling. Both run under the
// checking heap, so a component that touches itself once its handler returns fails at its row.
// The tables are checked against the published properties: a new event or a new hook component
// without a row fails the coverage tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/KYTTMessages.h"
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileCollector.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"
#include "forms/KYTTApplication.h"
#include "forms/KYTTFormAspect.h"
#include "forms/KYTTFormExplode.h"
#include "forms/KYTTOnlyOne.h"
#include "forms/KYTTSystemTray.h"
#include "framework/KYTTFormHook.h"
#include "host/core/ComponentRef.h"
#include "host/os/Win.h"
#include "host/rtl/DateTime.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "package/KYTSysReg.h"
#include "persistence/KYTTFormSaver.h"
#include "persistence/KYTTIllegalAbort.h"
#include "persistence/KYTTStoreData.h"
#include "strings/KYTTMultiLists.h"
#include "system/KYTTCDTriggers.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTExitWindows.h"
#include "system/KYTTTimeTrigger.h"
#include "system/KYTTWallPaper.h"
#include "system/KYTTWavePlayer.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/files/SandboxFolder.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/HeapCheck.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/support/SeamOverride.h"

#include <dbt.h>  // after the platform headers it builds on

namespace kyt {
namespace {

// ---- A handler of any event type, bound through the published property's untyped form.

// What the handler does: free the component that raised the event, or release the form a hook
// component sits on and let the application handle its messages, as a handler of a form's own
// message may.
struct THandlerPlan {
  TComponent* Victim = nullptr;   // freed by the first call
  TCustomForm* Release = nullptr;  // released by the first call
  int Calls = 0;
  bool FormLivedThroughPump = false;
};

template <class... A>
void PlannedHandler(void* data, A...) {
  auto* plan = static_cast<THandlerPlan*>(data);
  if (++plan->Calls > 1) return;
  if (TComponent* victim = std::exchange(plan->Victim, nullptr)) FreeComponent(victim);
  if (TCustomForm* form = plan->Release) {
    const TComponentRef<TCustomForm> alive(form);
    form->Release();
    Application->ProcessMessages();
    plan->FormLivedThroughPump = static_cast<bool>(alive);
  }
}

struct TPlannedCode {
  const void* Signature;
  void (*Code)();
};

template <class E>
struct TPlannedCodeOf;
template <class... A>
struct TPlannedCodeOf<TEvent<A...>> {
  static TPlannedCode Get() {
    return {TEvent<A...>::SignatureTag(), reinterpret_cast<void (*)()>(&PlannedHandler<A...>)};
  }
};

// Every event type a component publishes; a new one is named by the arming failure.
const std::vector<TPlannedCode>& PlannedCodes() {
  static const std::vector<TPlannedCode> codes{
      TPlannedCodeOf<TNotifyEvent>::Get(),         TPlannedCodeOf<TKYTHookMessage>::Get(),
      TPlannedCodeOf<TKYTOnStoreControl>::Get(),   TPlannedCodeOf<TKYTOnExceeded>::Get(),
      TPlannedCodeOf<TKYTOnClientModified>::Get(), TPlannedCodeOf<TKYTBeforeResizing>::Get(),
      TPlannedCodeOf<TKYTOnGetPoints>::Get(),      TPlannedCodeOf<TKYTOnDrop>::Get(),
      TPlannedCodeOf<TKYTBeforeWrite>::Get(),      TPlannedCodeOf<TKYTOnDriveVolumeError>::Get(),
      TPlannedCodeOf<TKYTDeviceChangeEvent>::Get(), TPlannedCodeOf<TExceptionEvent>::Get(),
      TPlannedCodeOf<THelpEvent>::Get(),           TPlannedCodeOf<TMessageEvent>::Get(),
      TPlannedCodeOf<TShowHintEvent>::Get(),       TPlannedCodeOf<TMouseEvent>::Get(),
  };
  return codes;
}

// Assigns the planned handler to the named event of component; false (with a failure) when the
// event is not published or its type has no planned handler.
// A dotted name ("FormStore.OnError") names an event of an owned sub-object.
bool Arm(TComponent* component, const std::string& event, THandlerPlan& plan) {
  TPersistent* target = component;
  std::string name = event;
  if (const size_t dot = name.find('.'); dot != std::string::npos) {
    const TPropInfo* holder = component->ClassType().FindProperty(name.substr(0, dot));
    target = holder && holder->Kind() == pkClass ? holder->GetObject(component) : nullptr;
    name.erase(0, dot + 1);
  }
  const TPropInfo* prop = target ? target->ClassType().FindProperty(name) : nullptr;
  if (!prop || prop->Kind() != pkEvent) {
    ADD_FAILURE() << component->ClassName() << " publishes no event " << event;
    return false;
  }
  for (const TPlannedCode& code : PlannedCodes()) {
    if (code.Signature != prop->EventSignature()) continue;
    prop->SetMethod(target, TMethod{&plan, code.Code, code.Signature});
    return true;
  }
  ADD_FAILURE() << "the event type of " << component->ClassName() << "." << event
                << " has no planned handler: add it to PlannedCodes";
  return false;
}

// The classes of both palette pages.
std::vector<const TClassInfo*> PackageClasses() {
  Register();
  std::vector<const TClassInfo*> classes;
  for (const TPaletteEntry& e : DesignTables().Palette)
    if (e.Class) classes.push_back(e.Class);
  return classes;
}

// The class's events and those of its owned sub-objects, the latter dotted.
// A class of the palette by name; the tables are filled first, whichever test runs alone.
const TClassInfo* PackageClass(const std::string& name) {
  Register();
  return FindPaletteClass(name);
}

std::vector<std::string> PublishedEvents(const TClassInfo& cls) {
  std::vector<std::string> events;
  for (const TPropInfo* prop : cls.Properties()) {
    if (prop->Kind() == pkEvent) events.push_back(prop->Name());
    if (prop->Kind() != pkClass || !prop->ObjectClass()) continue;
    for (const TPropInfo* inner : prop->ObjectClass()->Properties())
      if (inner->Kind() == pkEvent) events.push_back(prop->Name() + "." + inner->Name());
  }
  return events;
}

// ---- What a row gets: the component on its form, a sandbox folder, and waits on its going.

struct TCase {
  TForm* Form = nullptr;
  TComponent* Component = nullptr;
  const ftest::SandboxFolder* Box = nullptr;
  TComponentRef<TComponent> Alive;

  template <class T>
  T* As() const {
    return ObjectCast<T>(Component);
  }
  // A file of the sandbox with the given text.
  std::string File(const std::string& name, const std::string& text = "line\r\n") const {
    const std::string path = *Box / name;
    ftest::WriteWholeFile(path, text);
    return path;
  }
  std::string Path(const std::string& name) const { return *Box / name; }
  // For events raised by a timer or a later message.
  void WaitGone(int timeoutMs = 5000) {
    EXPECT_TRUE(PumpUntil([&] { return !Alive; }, timeoutMs));
  }
};

// The application's event slots, the hint and the window's visibility, as a row found them:
// the application component hands its handlers on, and a freed one leaves them where they are.
class TApplicationAsFound {
 public:
  TApplicationAsFound()
      : FActivate(Application->OnActivate()), FDeactivate(Application->OnDeactivate()),
        FException(Application->OnException()), FHelp(Application->OnHelp()), FHint(Application->OnHint()),
        FIdle(Application->OnIdle()), FMessage(Application->OnMessage()), FMinimize(Application->OnMinimize()),
        FRestore(Application->OnRestore()), FShowHint(Application->OnShowHint()),
        FHintText(Application->Hint()), FTitle(Application->Title()) {}
  ~TApplicationAsFound() {
    Application->SetOnActivate(FActivate);
    Application->SetOnDeactivate(FDeactivate);
    Application->SetOnException(FException);
    Application->SetOnHelp(FHelp);
    Application->SetOnHint(FHint);
    Application->SetOnIdle(FIdle);
    Application->SetOnMessage(FMessage);
    Application->SetOnMinimize(FMinimize);
    Application->SetOnRestore(FRestore);
    Application->SetOnShowHint(FShowHint);
    Application->SetHint(FHintText);
    Application->SetTitle(FTitle);
    Application->CancelHint();
    if (Application->Minimized()) Application->Restore();
    ::ShowWindow(Application->Handle(), SW_HIDE);
  }
  TApplicationAsFound(const TApplicationAsFound&) = delete;
  TApplicationAsFound& operator=(const TApplicationAsFound&) = delete;

 private:
  TNotifyEvent FActivate, FDeactivate;
  TExceptionEvent FException;
  THelpEvent FHelp;
  TNotifyEvent FHint;
  TIdleEvent FIdle;
  TMessageEvent FMessage;
  TNotifyEvent FMinimize, FRestore;
  TShowHintEvent FShowHint;
  std::string FHintText, FTitle;
};

// ---- Seam stand-ins, only where the real call would harm the machine or cannot fail here.

BOOL WINAPI RefusedExit(UINT, DWORD) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}
BOOL WINAPI RefusedDesktopChange(UINT, UINT, PVOID, UINT) { return FALSE; }
BOOL WINAPI ThrowingPlay(LPCSTR, UINT) { throw std::runtime_error("the sound device went away"); }
BOOL WINAPI NoMedium(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD) {
  ::SetLastError(ERROR_NOT_READY);
  return FALSE;
}

// ---- Ways of raising, shared by several rows.

// Loaded, as the form reader runs it once a file's properties are assigned.
struct TLoadedCall : TComponent {
  static void Run(TComponent* component) { (component->*&TLoadedCall::Loaded)(); }
};
void RunLoaded(TComponent* component) { TLoadedCall::Run(component); }

void DeviceChange(TForm* form, WPARAM event) {
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << ('X' - 'A');
  volume.dbcv_flags = DBTF_MEDIA;
  ::SendMessageA(form->Handle(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

void Sizing(TForm* form) {
  RECT r{100, 100, 400, 300};
  ::SendMessageA(form->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
}

void Drop(TForm* form, const std::string& path) {
  ::SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(filestest::MakeDrop({path})), 0);
}

void Tray(TCase& c, LPARAM mouse) { ::SendMessageA(c.As<TKYTSystemTray>()->Handle(), kTrayCallbackMessage, 0, mouse); }

// Answers the dialog Execute shows with the button that raises the event.
void AnswerBox(TCase& c, TMsgDlgButtons buttons, const char* press) {
  auto* box = c.As<TKYTMsgBox>();
  box->SetButtons(buttons);
  DialogAnswerer answer(Press(press));
  box->Execute();
  EXPECT_TRUE(answer.Answered());
}
template <class Dialog>
void AnswerQuery(TCase& c, const char* press) {
  auto* dialog = c.As<Dialog>();
  dialog->SetReturn("before");
  DialogAnswerer answer(Press(press).Type("typed"));
  dialog->Execute();
  EXPECT_TRUE(answer.Answered());
}

// A copy, move, rename or delete of one sandbox file, or of no file at all (the failure events,
// raised without asking the shell).
void Operate(TCase& c, TKYTFileFunction operation, bool withFile) {
  auto* op = c.As<TKYTFileOperator>();
  TStringList from;
  if (withFile) from.Add(c.File("moved.txt"));
  op->SetFilesFrom(&from);
  op->SetDirTo(operation == TKYTFileFunction::RenameFile ? c.Path("renamed.txt") : c.Path("to"));
  op->SetOperation(operation);
  op->SetFlags(TKYTFileFlags{opSilent, opNoConfirmation, opNoConfirmMkDir});
  EXPECT_EQ(op->Execute(), withFile);
}

void UseIniFile(TKYTDataStore* store, const TCase& c) {
  store->SetDatatype(sIniFile);
  store->Inifile()->SetFilename(c.Path("store.ini"));
  store->Inifile()->SetSection("Freed");
}

// The mouse over a control with a hint until the application shows it.
void HoverForHint(TCase& c) {
  c.Form->SetBounds(60, 60, 300, 200);
  auto* edit = new TEdit(c.Form);
  edit->SetParent(c.Form);
  edit->SetHint("freed");
  edit->SetShowHint(true);
  c.Form->Show();
  const int pause = Application->HintPause();
  Application->SetHintPause(20);
  POINT before{};
  ::GetCursorPos(&before);
  POINT at{5, 5};
  ::ClientToScreen(edit->Handle(), &at);
  ::SetCursorPos(at.x, at.y);
  ::PostMessageA(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  // The hint's timers and mouse messages go through the application's own loop.
  const ULONGLONG deadline = ::GetTickCount64() + 5000;
  while (c.Alive && ::GetTickCount64() < deadline) {
    Application->ProcessMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  ::SetCursorPos(before.x, before.y);
  Application->SetHintPause(pause);
  EXPECT_FALSE(c.Alive);
}

// OnIdle runs when the queue is empty; a thread timer ends the wait that follows.
void RunIdle(TCase& c) {
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, nullptr);
  for (int i = 0; i < 100 && c.Alive; ++i) Application->HandleMessage();
  ::KillTimer(nullptr, timer);
}

// ---- Every published event, raised with a handler that frees its component.

struct TFreeRow {
  const char* ClassName;
  const char* Event;
  void (*Raise)(TCase&);
};

const TFreeRow kFreeRows[] = {
    // settings
    {"TKYTFormSaver", "OnStore", [](TCase& c) {
       UseIniFile(c.As<TKYTFormSaver>()->FormStore(), c);
       c.As<TKYTFormSaver>()->Store();
     }},
    {"TKYTFormSaver", "OnStoreControl", [](TCase& c) {
       (new TEdit(c.Form))->SetParent(c.Form);
       UseIniFile(c.As<TKYTFormSaver>()->FormStore(), c);
       c.As<TKYTFormSaver>()->SetStoreControls(true);
       c.As<TKYTFormSaver>()->Store();
     }},
    {"TKYTFormSaver", "OnRestore", [](TCase& c) {
       UseIniFile(c.As<TKYTFormSaver>()->FormStore(), c);
       c.As<TKYTFormSaver>()->Restore();
     }},
    {"TKYTFormSaver", "FormStore.OnError", [](TCase& c) {  // a value never stored
       UseIniFile(c.As<TKYTFormSaver>()->FormStore(), c);
       c.As<TKYTFormSaver>()->Restore();
     }},
    {"TKYTFormSaver", "FormStore.OnError", [](TCase& c) {  // a store without a section
       UseIniFile(c.As<TKYTFormSaver>()->FormStore(), c);
       c.As<TKYTFormSaver>()->FormStore()->Inifile()->SetSection("");
       c.As<TKYTFormSaver>()->Store();
     }},
    {"TKYTStoreData", "DataStore.OnError", [](TCase& c) {
       UseIniFile(c.As<TKYTStoreData>()->DataStore(), c);
       c.As<TKYTStoreData>()->DataStore()->ReadInt("NeverWritten");
     }},
    {"TKYTIllegalAbort", "ParamStore.OnError", [](TCase& c) {  // no marker yet
       UseIniFile(c.As<TKYTIllegalAbort>()->ParamStore(), c);
       RunLoaded(c.Component);
     }},
    {"TKYTIllegalAbort", "OnIllegalAbort", [](TCase& c) {
       UseIniFile(c.As<TKYTIllegalAbort>()->ParamStore(), c);
       RunLoaded(c.Component);  // the marker goes up: this run has not ended yet
       RunLoaded(c.Component);  // and is found up, as after a run that never ended
     }},
    // application and forms
    {"TKYTApplication", "OnActivate", [](TCase& c) {
       RunLoaded(c.Component);
       ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
       ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
     }},
    {"TKYTApplication", "OnDeactivate", [](TCase& c) {
       RunLoaded(c.Component);
       ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
       ::SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
     }},
    {"TKYTApplication", "OnException", [](TCase& c) {
       RunLoaded(c.Component);
       try {
         throw Exception("raised for the handler");
       } catch (...) {
         Application->HandleException(c.Component);
       }
     }},
    {"TKYTApplication", "OnHelp", [](TCase& c) { RunLoaded(c.Component); Application->HelpContext(7); }},
    {"TKYTApplication", "OnHint", [](TCase& c) { RunLoaded(c.Component); Application->SetHint("freed on a hint"); }},
    {"TKYTApplication", "OnIdle", [](TCase& c) { RunLoaded(c.Component); RunIdle(c); }},
    {"TKYTApplication", "OnMessage", [](TCase& c) {
       RunLoaded(c.Component);
       ::PostMessageA(c.Form->Handle(), WM_NULL, 0, 0);
       Application->ProcessMessages();
     }},
    {"TKYTApplication", "OnMinimize", [](TCase& c) { RunLoaded(c.Component); Application->Minimize(); }},
    {"TKYTApplication", "OnRestore", [](TCase& c) {
       RunLoaded(c.Component);
       Application->Minimize();
       Application->Restore();
     }},
    {"TKYTApplication", "OnShowHint", [](TCase& c) { RunLoaded(c.Component); HoverForHint(c); }},
    {"TKYTOnlyOne", "OnExceeded", [](TCase& c) {
       Application->SetTitle("KYT freed guard " + std::to_string(::GetCurrentProcessId()));
       c.As<TKYTOnlyOne>()->SetOnExceed(aNone);  // the action alone must never end the test
       c.As<TKYTOnlyOne>()->SetInstances(0);
       RunLoaded(c.Component);
     }},
    {"TKYTSystemTray", "OnClick", [](TCase& c) { Tray(c, WM_LBUTTONUP); }},
    {"TKYTSystemTray", "OnDblClick", [](TCase& c) { Tray(c, WM_LBUTTONDBLCLK); }},
    {"TKYTSystemTray", "OnRightClick", [](TCase& c) { Tray(c, WM_RBUTTONUP); }},
    {"TKYTSystemTray", "OnMinimize", [](TCase&) { Application->Minimize(); }},
    {"TKYTSystemTray", "OnRestore", [](TCase&) {
       Application->Minimize();
       Application->Restore();
     }},
    {"TKYTFormExplode", "OnGetPoints", [](TCase& c) {
       c.As<TKYTFormExplode>()->SetNoOfSteps(2);
       c.Form->Show();
     }},
    {"TKYTFormAspect", "OnClientModified", [](TCase& c) { Sizing(c.Form); }},
    {"TKYTFormAspect", "BeforeResizing", [](TCase& c) { Sizing(c.Form); }},
    {"TKYTFormHook", "OnMessage", [](TCase& c) { ::SendMessageA(c.Form->Handle(), WM_NULL, 0, 0); }},
    // dialogs
    {"TKYTMsgBox", "OnYes", [](TCase& c) { AnswerBox(c, {mbYes, mbNo}, "Yes"); }},
    {"TKYTMsgBox", "OnNo", [](TCase& c) { AnswerBox(c, {mbYes, mbNo}, "No"); }},
    {"TKYTMsgBox", "OnOk", [](TCase& c) { AnswerBox(c, {mbOK}, "OK"); }},
    {"TKYTMsgBox", "OnCancel", [](TCase& c) { AnswerBox(c, {mbOK, mbCancel}, "Cancel"); }},
    {"TKYTMsgBox", "OnAbort", [](TCase& c) { AnswerBox(c, {mbAbort, mbRetry, mbIgnore}, "Abort"); }},
    {"TKYTMsgBox", "OnRetry", [](TCase& c) { AnswerBox(c, {mbAbort, mbRetry, mbIgnore}, "Retry"); }},
    {"TKYTMsgBox", "OnIgnore", [](TCase& c) { AnswerBox(c, {mbAbort, mbRetry, mbIgnore}, "Ignore"); }},
    {"TKYTMsgBox", "OnAll", [](TCase& c) { AnswerBox(c, {mbYes, mbAll}, "All"); }},
    {"TKYTMsgDlg", "OnOk", [](TCase& c) { AnswerQuery<TKYTMsgDlg>(c, "OK"); }},
    {"TKYTMsgDlg", "OnCancel", [](TCase& c) { AnswerQuery<TKYTMsgDlg>(c, "Cancel"); }},
    {"TKYTMsgSelect", "OnOk", [](TCase& c) { AnswerQuery<TKYTMsgSelect>(c, "OK"); }},
    {"TKYTMsgSelect", "OnCancel", [](TCase& c) { AnswerQuery<TKYTMsgSelect>(c, "Cancel"); }},
    // files
    {"TKYTFileOperator", "OnSuccessCopy", [](TCase& c) { Operate(c, TKYTFileFunction::CopyFile, true); }},
    {"TKYTFileOperator", "OnSuccessDelete", [](TCase& c) { Operate(c, TKYTFileFunction::DeleteFile, true); }},
    {"TKYTFileOperator", "OnSuccessMove", [](TCase& c) { Operate(c, TKYTFileFunction::MoveFile, true); }},
    {"TKYTFileOperator", "OnSuccessRename", [](TCase& c) { Operate(c, TKYTFileFunction::RenameFile, true); }},
    {"TKYTFileOperator", "OnFailCopy", [](TCase& c) { Operate(c, TKYTFileFunction::CopyFile, false); }},
    {"TKYTFileOperator", "OnFailDelete", [](TCase& c) { Operate(c, TKYTFileFunction::DeleteFile, false); }},
    {"TKYTFileOperator", "OnFailMove", [](TCase& c) { Operate(c, TKYTFileFunction::MoveFile, false); }},
    {"TKYTFileOperator", "OnFailRename", [](TCase& c) { Operate(c, TKYTFileFunction::RenameFile, false); }},
    {"TKYTFileOperator", "OnDone", [](TCase& c) { Operate(c, TKYTFileFunction::CopyFile, true); }},
    {"TKYTFileCollector", "OnDirectoryFound", [](TCase& c) {
       c.File("a.txt");
       ::CreateDirectoryA(c.Path("sub").c_str(), nullptr);
       c.File("sub\\b.txt");
       c.As<TKYTFileCollector>()->SetInitialDirectory(c.Box->Path());
       EXPECT_FALSE(c.As<TKYTFileCollector>()->Execute());
     }},
    {"TKYTFileCollector", "OnFileFound", [](TCase& c) {
       c.File("a.txt");
       c.File("b.txt");
       c.As<TKYTFileCollector>()->SetFileMask("*.*");
       c.As<TKYTFileCollector>()->SetInitialDirectory(c.Box->Path());
       c.As<TKYTFileCollector>()->Execute();
     }},
    {"TKYTLogFile", "OnClear", [](TCase& c) {
       c.As<TKYTLogFile>()->SetLogFile(c.File("log.txt", "kept\r\n"));
       c.As<TKYTLogFile>()->ClearLog();
       EXPECT_EQ(ftest::ReadWholeFile(c.Path("log.txt")), "kept\r\n");  // nothing cleared for it
     }},
    {"TKYTTextReplace", "BeforeWrite", [](TCase& c) {
       c.As<TKYTTextReplace>()->SetFileFrom(c.File("from.txt", "one\r\ntwo\r\n"));
       c.As<TKYTTextReplace>()->SetFileTo(c.Path("to.txt"));
       EXPECT_FALSE(c.As<TKYTTextReplace>()->Execute());
     }},
    {"TKYTDroppedFiles", "OnStartDrop", [](TCase& c) { Drop(c.Form, c.File("dropped.txt")); }},
    {"TKYTDroppedFiles", "OnDrop", [](TCase& c) { Drop(c.Form, c.File("dropped.txt")); }},
    {"TKYTDroppedFiles", "OnEndDrop", [](TCase& c) { Drop(c.Form, c.File("dropped.txt")); }},
    // system
    {"TKYTDriveVolume", "BeforeUpdate", [](TCase& c) { c.As<TKYTDriveVolume>()->SetDrive('C'); }},
    {"TKYTDriveVolume", "AfterUpdate", [](TCase& c) { c.As<TKYTDriveVolume>()->SetDrive('C'); }},
    {"TKYTDriveVolume", "OnError", [](TCase& c) {
       const os::ScopedOverride noMedium(os::kernel32.GetVolumeInformationA, &NoMedium);
       c.As<TKYTDriveVolume>()->SetDrive('C');
     }},
    {"TKYTResourceInfo", "OnNewValues", [](TCase& c) { c.WaitGone(); }},
    {"TKYTTimeTrigger", "OnNewTime", [](TCase& c) {
       TFakeClock clock;  // another second than the one the component read
       c.WaitGone();
     }},
    {"TKYTTimeTrigger", "OnNewDate", [](TCase& c) {
       TFakeClock clock;  // another day than the one the component read
       c.WaitGone();
     }},
    {"TKYTTimeTrigger", "OnTrigger", [](TCase& c) {
       TFakeClock clock;
       c.As<TKYTTimeTrigger>()->SetTriggerTime(TimeToStr(Time()));
       c.As<TKYTTimeTrigger>()->SetCheckForTrigger(true);
       c.WaitGone();
     }},
    {"TKYTCDTriggers", "AfterInsert", [](TCase& c) { DeviceChange(c.Form, DBT_DEVICEARRIVAL); }},
    {"TKYTCDTriggers", "AfterRemove", [](TCase& c) { DeviceChange(c.Form, DBT_DEVICEREMOVECOMPLETE); }},
    {"TKYTExitWindows", "OnExecute", [](TCase& c) {
       const os::ScopedOverride refused(os::user32.ExitWindowsEx, &RefusedExit);
       DialogAnswerer no(Press("No"));  // only a component that went on would ask
       EXPECT_FALSE(c.As<TKYTExitWindows>()->Execute());
       EXPECT_FALSE(no.Answered());
     }},
    {"TKYTWallPaper", "OnChange", [](TCase& c) {
       const TRegistrySnapshot desktop(HKEY_CURRENT_USER, "Control Panel\\Desktop", {"Wallpaper", "TileWallPaper"});
       const os::ScopedOverride refused(os::user32.SystemParametersInfoA, &RefusedDesktopChange);
       EXPECT_FALSE(c.As<TKYTWallPaper>()->Execute());
     }},
    {"TKYTWavePlayer", "OnError", [](TCase& c) {
       const os::ScopedOverride throwing(os::winmm.sndPlaySoundA, &ThrowingPlay);
       c.As<TKYTWavePlayer>()->SetWaveFile(c.File("sound.wav", "RIFF"));
       EXPECT_FALSE(c.As<TKYTWavePlayer>()->Execute());
     }},
};

// Events no row raises, each with the reason; keep it short.
struct TNotRaised {
  const char* ClassName;
  const char* Event;
  const char* Why;
};
const TNotRaised kNotRaised[] = {
    {"TKYTStoreData", "OnError", "kept for older forms and never fired: DataStore.OnError reports"},
};

void PrintTo(const TFreeRow& row, std::ostream* out) { *out << row.ClassName << "." << row.Event; }

std::string RowName(const std::string& cls, const std::string& event) { return cls + "." + event; }

TEST(FreedByItsOwnHandler, EveryPublishedEventOfEveryComponentHasARow) {
  std::set<std::string> listed;
  for (const TFreeRow& row : kFreeRows) listed.insert(RowName(row.ClassName, row.Event));  // an event may have two ways
  for (const TNotRaised& n : kNotRaised) EXPECT_TRUE(listed.insert(RowName(n.ClassName, n.Event)).second) << n.ClassName << "." << n.Event << " is raised by a row";
  std::set<std::string> published;
  const std::vector<const TClassInfo*> classes = PackageClasses();
  EXPECT_EQ(classes.size(), 37u);
  for (const TClassInfo* cls : classes)
    for (const std::string& event : PublishedEvents(*cls)) published.insert(RowName(cls->Name(), event));
  for (const std::string& name : published) EXPECT_TRUE(listed.count(name)) << name << " has no row";
  for (const std::string& name : listed) EXPECT_TRUE(published.count(name)) << name << " is no published event";
}

class FreedByItsOwnHandler : public ::testing::TestWithParam<TFreeRow> {};

TEST_P(FreedByItsOwnHandler, LeavesNothingOfItselfTouched) {
  const TFreeRow& row = GetParam();
  const TApplicationAsFound applicationBack;
  const ftest::SandboxFolder box("freed " + std::string(row.ClassName) + " " + row.Event);
  const TClassInfo* cls = PackageClass(row.ClassName);
  ASSERT_NE(cls, nullptr);
  auto* form = new TForm(Application);
  const TComponentRef<TForm> formAlive(form);
  form->SetBounds(80, 80, 320, 240);
  TCase c;
  c.Form = form;
  c.Box = &box;
  c.Component = cls->CreateComponent(form);
  c.Alive.Reset(c.Component);
  THandlerPlan plan;
  plan.Victim = c.Component;
  ASSERT_TRUE(Arm(c.Component, row.Event, plan));

  row.Raise(c);

  EXPECT_FALSE(c.Alive) << "the handler did not run, or did not free the component";
  EXPECT_EQ(plan.Calls, 1);
  ASSERT_TRUE(formAlive);
  for (int i = 0; i < form->ComponentCount(); ++i)
    EXPECT_FALSE(form->Components(i)->InheritsFrom(*cls)) << "the component is still on its form";
  if (c.Alive) FreeComponent(c.Component);
  FreeComponent(form);
  PumpPending();
  CheckFreedBlocks();
}

std::string RowTestName(const ::testing::TestParamInfo<TFreeRow>& info) {
  std::string name = std::string(info.param.ClassName) + "_" + info.param.Event + "_" + std::to_string(info.index);
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Package, FreedByItsOwnHandler, ::testing::ValuesIn(kFreeRows), RowTestName);

// ---- Every hook component, with its form released inside a message its hook is handling.

// A form hook's handler that releases the form on one message only.
struct TReleaseOnMessage {
  THandlerPlan* Plan;
  UINT Msg;
  void Handle(TObject* sender, TMessage& message) {
    if (message.Msg == Msg) PlannedHandler<TObject*, TMessage&>(Plan, sender, message);
  }
};

struct THookRow {
  const char* ClassName;
  // The component's own event raised inside the message; null: the message reaches a form hook
  // (the component itself, or one beneath it in the chain) whose handler releases the form.
  const char* Event;
  UINT Msg;
  void (*Send)(TCase&);
};

const THookRow kHookRows[] = {
    {"TKYTFormHook", nullptr, WM_APP + 7, [](TCase& c) { ::SendMessageA(c.Form->Handle(), WM_APP + 7, 0, 0); }},
    {"TKYTFormSaver", nullptr, WM_APP + 7, [](TCase& c) { ::SendMessageA(c.Form->Handle(), WM_APP + 7, 0, 0); }},
    {"TKYTMouseController", nullptr, WM_APP + 7, [](TCase& c) { ::SendMessageA(c.Form->Handle(), WM_APP + 7, 0, 0); }},
    // The size limits write the record after the message came back from beneath.
    {"TKYTFormSizes", nullptr, WM_GETMINMAXINFO, [](TCase& c) {
       MINMAXINFO info{};
       info.ptMaxTrackSize = {2000, 2000};
       ::SendMessageA(c.Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
     }},
    {"TKYTFormAspect", "OnClientModified", 0, [](TCase& c) { Sizing(c.Form); }},
    {"TKYTDroppedFiles", "OnDrop", 0, [](TCase& c) { Drop(c.Form, c.File("dropped.txt")); }},
    {"TKYTCDTriggers", "AfterInsert", 0, [](TCase& c) { DeviceChange(c.Form, DBT_DEVICEARRIVAL); }},
};

void PrintTo(const THookRow& row, std::ostream* out) { *out << row.ClassName; }

TEST(ReleasedInsideAHook, EveryHookComponentHasARow) {
  std::set<std::string> rows;
  for (const THookRow& row : kHookRows) EXPECT_TRUE(rows.insert(row.ClassName).second) << row.ClassName;
  std::set<std::string> hooks;
  for (const TClassInfo* cls : PackageClasses())
    if (cls->InheritsFrom(TKYTHookComponent::StaticClass())) hooks.insert(cls->Name());
  EXPECT_EQ(rows, hooks);
}

class ReleasedInsideAHook : public ::testing::TestWithParam<THookRow> {};

TEST_P(ReleasedInsideAHook, TheFormWaitsUntilTheHookIsDoneThenGoes) {
  const THookRow& row = GetParam();
  const ftest::SandboxFolder box("released " + std::string(row.ClassName));
  const TClassInfo* cls = PackageClass(row.ClassName);
  ASSERT_NE(cls, nullptr);
  auto* form = new TForm(Application);
  const TComponentRef<TForm> formAlive(form);
  form->SetBounds(80, 80, 320, 240);
  THandlerPlan plan;
  plan.Release = form;
  TReleaseOnMessage onMessage{&plan, row.Msg};
  const auto messageHandler = TKYTHookMessage::Bind<&TReleaseOnMessage::Handle>(&onMessage);
  // Created first, so the component's hook sees the message before it and gets it back after.
  TKYTFormHook* beneath = nullptr;
  if (!row.Event && cls != &TKYTFormHook::StaticClass()) beneath = new TKYTFormHook(form);
  TCase c;
  c.Form = form;
  c.Box = &box;
  c.Component = cls->CreateComponent(form);
  c.Alive.Reset(c.Component);
  if (row.Event) ASSERT_TRUE(Arm(c.Component, row.Event, plan));
  else (beneath ? beneath : ObjectCast<TKYTFormHook>(c.Component))->SetOnMessage(messageHandler);

  row.Send(c);

  EXPECT_EQ(plan.Calls, 1);
  EXPECT_TRUE(plan.FormLivedThroughPump) << "the form went while the hook was still handling its message";
  EXPECT_TRUE(formAlive) << "the form went before the message was done";
  EXPECT_TRUE(PumpUntil([&] { return !formAlive; })) << "the released form was never freed";
  EXPECT_FALSE(c.Alive);
  if (formAlive) FreeComponent(form);
  PumpPending();
  CheckFreedBlocks();
}

std::string HookTestName(const ::testing::TestParamInfo<THookRow>& info) { return info.param.ClassName; }

INSTANTIATE_TEST_SUITE_P(Package, ReleasedInsideAHook, ::testing::ValuesIn(kHookRows), HookTestName);

// ---- Components freed while their own dialog or message box is up: nothing is answered, raised
// or requested for them after.

// Frees the case's component from inside the modal loop, then lets the answer go on.
DialogAction FreeingThenPress(TCase& c, const char* press) {
  return Press(press).OnFound([&c](HWND) {
    if (c.Alive) FreeComponent(c.Component);
  });
}

template <class Dialog>
void FreedInsideQuery(TCase& c) {
  auto* dialog = c.As<Dialog>();
  THandlerPlan never;
  Arm(dialog, "OnOk", never);
  Arm(dialog, "OnCancel", never);
  DialogAnswerer answer(FreeingThenPress(c, "OK").Type("typed"));
  EXPECT_FALSE(dialog->Execute());
  EXPECT_TRUE(answer.Answered());
  EXPECT_EQ(never.Calls, 0);
}

// The box a drive volume shows without an OnError handler, stood in for so that a box shown
// again for the freed component is counted rather than left waiting.
TComponent* gFreedByTheBox = nullptr;
int gBoxesShown = 0;
int WINAPI FreeingBox(HWND, LPCSTR, LPCSTR, UINT) {
  ++gBoxesShown;
  if (TComponent* victim = std::exchange(gFreedByTheBox, nullptr)) FreeComponent(victim);
  return IDOK;
}

int gExitRequests = 0;
BOOL WINAPI CountedRefusedExit(UINT flags, DWORD reason) {
  ++gExitRequests;
  return RefusedExit(flags, reason);
}

struct TLoopRow {
  const char* ClassName;
  void (*Run)(TCase&);
};

const TLoopRow kLoopRows[] = {
    {"TKYTMsgBox", [](TCase& c) {
       THandlerPlan never;
       Arm(c.Component, "OnOk", never);
       DialogAnswerer answer(FreeingThenPress(c, "OK"));
       EXPECT_FALSE(c.As<TKYTMsgBox>()->Execute());
       EXPECT_TRUE(answer.Answered());
       EXPECT_EQ(never.Calls, 0);
     }},
    {"TKYTMsgDlg", [](TCase& c) { FreedInsideQuery<TKYTMsgDlg>(c); }},
    {"TKYTMsgSelect", [](TCase& c) { FreedInsideQuery<TKYTMsgSelect>(c); }},
    {"TKYTExitWindows", [](TCase& c) {
       gExitRequests = 0;
       const os::ScopedOverride refused(os::user32.ExitWindowsEx, &CountedRefusedExit);
       DialogAnswerer answer(FreeingThenPress(c, "Yes"));
       EXPECT_FALSE(c.As<TKYTExitWindows>()->Execute());
       EXPECT_TRUE(answer.Answered());
       EXPECT_EQ(gExitRequests, 0);  // a Yes for a component that went requests nothing
     }},
    {"TKYTMultiLists", [](TCase& c) {
       DialogAnswerer answer(FreeingThenPress(c, "OK"));
       EXPECT_EQ(c.As<TKYTMultiLists>()->Lists()->Add(), nullptr);
       EXPECT_TRUE(answer.Answered());
     }},
    {"TKYTDriveVolume", [](TCase& c) {
       gBoxesShown = 0;
       gFreedByTheBox = c.Component;
       const os::ScopedOverride noMedium(os::kernel32.GetVolumeInformationA, &NoMedium);
       const os::ScopedOverride box(os::user32.MessageBoxA, &FreeingBox);
       c.As<TKYTDriveVolume>()->SetDrive('C');
       EXPECT_EQ(gBoxesShown, 1);  // ten failures, one box: the rest were for the freed component
     }},
};

void PrintTo(const TLoopRow& row, std::ostream* out) { *out << row.ClassName; }

class FreedWhileItsDialogIsUp : public ::testing::TestWithParam<TLoopRow> {};

TEST_P(FreedWhileItsDialogIsUp, TouchesNothingOfItselfAfter) {
  const TLoopRow& row = GetParam();
  const ftest::SandboxFolder box("dialog " + std::string(row.ClassName));
  const TClassInfo* cls = PackageClass(row.ClassName);
  ASSERT_NE(cls, nullptr);
  auto* form = new TForm(Application);
  TCase c;
  c.Form = form;
  c.Box = &box;
  c.Component = cls->CreateComponent(form);
  c.Alive.Reset(c.Component);

  row.Run(c);

  EXPECT_FALSE(c.Alive);
  if (c.Alive) FreeComponent(c.Component);
  FreeComponent(form);
  PumpPending();
  CheckFreedBlocks();
}

std::string LoopTestName(const ::testing::TestParamInfo<TLoopRow>& info) { return info.param.ClassName; }

INSTANTIATE_TEST_SUITE_P(Package, FreedWhileItsDialogIsUp, ::testing::ValuesIn(kLoopRows), LoopTestName);

}  // namespace
}  // namespace kyt
