// KYTTFormSaver: storing on the owner form's close and restoring on its show, for every form of
// the application and every control on them.
#include "persistence/KYTTFormSaver.h"

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

// The saver's own window-state codes, not the host framework's ordinals.
constexpr int32_t kStateMinimized = 1;
constexpr int32_t kStateNormal = 2;
constexpr int32_t kStateMaximized = 3;

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTFormSaver::StaticClass());
  return true;
}();

// Thrown inside a store when a handler freed the saver: the section goes back as it was.
struct TSaverGone {};

}  // namespace

// A store or restore calls out to handlers while FormStore is in the middle of its work (its
// WriteAll, say). A handler that frees the saver leaves the store here, with the outermost run,
// which frees it once the store's own call has returned.
class TKYTFormSaver::TStoreHold {
 public:
  explicit TStoreHold(TKYTFormSaver* saver) : FSelf(saver) {
    if (saver->FStoreKeeper) return;
    saver->FStoreKeeper = &FKept;
    FOutermost = true;
  }
  ~TStoreHold() {
    if (FOutermost && FSelf) FSelf->FStoreKeeper = nullptr;
  }
  TStoreHold(const TStoreHold&) = delete;
  TStoreHold& operator=(const TStoreHold&) = delete;
  // Whether the saver still exists.
  explicit operator bool() const { return static_cast<bool>(FSelf); }

 private:
  TComponentRef<TKYTFormSaver> FSelf;
  std::unique_ptr<TKYTDataStore> FKept;
  bool FOutermost = false;
};

TKYTFormSaver::TKYTFormSaver(TComponent* AOwner) : inherited(AOwner) {
  FFormStore = new TKYTDataStore();
  FOwnerForm = dynamic_cast<TCustomForm*>(AOwner);
  if (FOwnerForm && !ComponentState().Contains(csDesigning)) {
    FOldOnShow = FOwnerForm->OnShow();
    FOldOnClose = FOwnerForm->OnClose();
    // Registered as stand-ins: whichever taker of a slot goes first, the chain is mended, and
    // no handler kept here or elsewhere points at a freed component.
    RegisterMethodStandIn(TNotifyEvent::Bind<&TKYTFormSaver::MyRestore>(this).Method(),
                          {[this] { return FOldOnShow.Method(); },
                           [this](const TMethod& m) { FOldOnShow = TNotifyEvent::FromMethod(m); }});
    RegisterMethodStandIn(TCloseEvent::Bind<&TKYTFormSaver::MyStore>(this).Method(),
                          {[this] { return FOldOnClose.Method(); },
                           [this](const TMethod& m) { FOldOnClose = TCloseEvent::FromMethod(m); }});
    FOwnerForm->SetOnShow(TNotifyEvent::Bind<&TKYTFormSaver::MyRestore>(this));
    FOwnerForm->SetOnClose(TCloseEvent::Bind<&TKYTFormSaver::MyStore>(this));
    FEventsTaken = true;
  }
}

TKYTFormSaver::~TKYTFormSaver() {
  if (FStoreKeeper) FStoreKeeper->reset(FFormStore);  // a run of the store is still on the stack
  else delete FFormStore;
  FFormStore = nullptr;
  // Put back only what still holds our routine: a handler assigned later by code is not ours.
  if (FEventsTaken && FOwnerForm) {
    UnregisterMethodStandIn(TNotifyEvent::Bind<&TKYTFormSaver::MyRestore>(this).Method());
    UnregisterMethodStandIn(TCloseEvent::Bind<&TKYTFormSaver::MyStore>(this).Method());
    if (FOwnerForm->OnShow() == TNotifyEvent::Bind<&TKYTFormSaver::MyRestore>(this))
      FOwnerForm->SetOnShow(FOldOnShow);
    if (FOwnerForm->OnClose() == TCloseEvent::Bind<&TKYTFormSaver::MyStore>(this))
      FOwnerForm->SetOnClose(FOldOnClose);
  }
}

void TKYTFormSaver::SetFormStore(TKYTDataStore* value) {
  if (value != FFormStore) FFormStore->Assign(value);
}

// Reading helpers

int32_t TKYTFormSaver::ReadInt(const std::string& Name, int32_t Default) {
  FFormStore->SetErrorInt(Default);
  return FFormStore->ReadInt(Name);
}

std::string TKYTFormSaver::ReadStr(const std::string& Name, const std::string& Default) {
  FFormStore->SetErrorStr(Default);
  return FFormStore->ReadStr(Name);
}

bool TKYTFormSaver::ReadBool(const std::string& Name, bool Default) {
  FFormStore->SetErrorBool(Default);
  return FFormStore->ReadBool(Name);
}

// Window messages

void TKYTFormSaver::Hooked(TMessage& Message) {
  if (Message.Msg == WM_SYSCOMMAND) {
    const WPARAM command = Message.WParam & 0xFFF0;
    if (command == SC_MAXIMIZE || command == SC_MINIMIZE) BeforeMaximize();
  }
  inherited::Hooked(Message);
}

void TKYTFormSaver::BeforeMaximize() {
  if (!FOwnerForm) return;
  FNormalLeft = FOwnerForm->Left();
  FNormalTop = FOwnerForm->Top();
  FNormalWidth = FOwnerForm->Width();
  FNormalHeight = FOwnerForm->Height();
  FCaptured = true;
}

// Storing

void TKYTFormSaver::Store() {
  TCloseAction action = caHide;
  MyStore(FOwnerForm, action);
}

void TKYTFormSaver::MyStore(TObject* Sender, TCloseAction& Action) {
  const TStoreHold run(this);
  if (FOldOnClose) FOldOnClose(Sender, Action);
  if (!run || !FFormStore->Enabled()) return;
  if (FOnStore) FOnStore(Sender);
  if (!run || !Application) return;
  // One change of the store: a write that fails leaves the values of the last store whole, and
  // so does a store whose saver a handler freed on the way.
  try {
    FFormStore->WriteAll([&] {
      for (int i = 0; i < Application->ComponentCount(); ++i) {
        if (auto* form = dynamic_cast<TForm*>(Application->Components(i))) StoreWindowIn(form, run);
      }
    });
  } catch (const TSaverGone&) {
    // Nothing of the saver is left to touch.
  }
}

// Each value goes through here: the store's OnError may free the saver.
void TKYTFormSaver::Put(const TStoreHold& run, const std::string& name, int32_t value) {
  FFormStore->WriteInt(name, value);
  if (!run) throw TSaverGone();
}

void TKYTFormSaver::PutBool(const TStoreHold& run, const std::string& name, bool value) {
  FFormStore->WriteBool(name, value);
  if (!run) throw TSaverGone();
}

int32_t TKYTFormSaver::Get(const TStoreHold& run, const std::string& name, int32_t fallback) {
  const int32_t value = ReadInt(name, fallback);
  if (!run) throw TSaverGone();
  return value;
}

bool TKYTFormSaver::GetBool(const TStoreHold& run, const std::string& name, bool fallback) {
  const bool value = ReadBool(name, fallback);
  if (!run) throw TSaverGone();
  return value;
}

void TKYTFormSaver::StoreOtherBounds(TForm* Form, const std::string& prefix, const TStoreHold& run) {
  // The platform keeps the normal bounds of a minimised or maximised window in its placement.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!Form->HandleAllocated() ||
      !os::user32.GetWindowPlacement(Form->Handle(), &placement))
    return;
  RECT r = placement.rcNormalPosition;
  // Those bounds are in workspace coordinates (relative to the work area) for an ordinary
  // top-level window; Left and Top are screen coordinates.
  if (!(os::user32.GetWindowLongPtrA(Form->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (os::user32.GetMonitorInfoA(
            os::user32.MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor))
      os::user32.OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left,
                            monitor.rcWork.top - monitor.rcMonitor.top);
  }
  if (FStoreSize) {
    Put(run, prefix + "_Width", r.right - r.left);
    Put(run, prefix + "_Height", r.bottom - r.top);
  }
  if (FStoreLocation) {
    Put(run, prefix + "_Top", r.top);
    Put(run, prefix + "_Left", r.left);
  }
}

void TKYTFormSaver::StoreWindow(TForm* Form) {
  const TStoreHold run(this);
  try {
    StoreWindowIn(Form, run);
  } catch (const TSaverGone&) {
  }
}

void TKYTFormSaver::StoreWindowIn(TForm* Form, const TStoreHold& run) {
  const std::string prefix = Form->ClassName();
  const TWindowState state = Form->WindowState();
  if (FStoreState) {
    const int32_t code = state == wsMinimized   ? kStateMinimized
                         : state == wsMaximized ? kStateMaximized
                                                : kStateNormal;
    Put(run, prefix + "_WindowState", code);
  }
  if (state == wsNormal) {
    if (FStoreSize) {
      Put(run, prefix + "_Width", Form->Width());
      Put(run, prefix + "_Height", Form->Height());
    }
    if (FStoreLocation) {
      Put(run, prefix + "_Top", Form->Top());
      Put(run, prefix + "_Left", Form->Left());
    }
  } else if (static_cast<TCustomForm*>(Form) == FOwnerForm) {
    if (FCaptured) {
      if (FStoreSize) {
        Put(run, prefix + "_Width", FNormalWidth);
        Put(run, prefix + "_Height", FNormalHeight);
      }
      if (FStoreLocation) {
        Put(run, prefix + "_Top", FNormalTop);
        Put(run, prefix + "_Left", FNormalLeft);
      }
    }
  } else {
    StoreOtherBounds(Form, prefix, run);
  }
  if (FStoreVisible) PutBool(run, prefix + "_Visible", Form->Visible());
  if (FStoreControls) {
    for (int i = 0; i < Form->ControlCount(); ++i) StoreControlIn(Form->Controls(i), run);
  }
}

void TKYTFormSaver::StoreControl(TControl* Control) {
  const TStoreHold run(this);
  try {
    StoreControlIn(Control, run);
  } catch (const TSaverGone&) {
  }
}

void TKYTFormSaver::StoreControlIn(TControl* Control, const TStoreHold& run) {
  bool result = true;
  if (FOnStoreControl) {
    FOnStoreControl(Control, result);
    if (!run) throw TSaverGone();
  }
  if (!result) return;
  const std::string prefix = Control->Name();
  if (FStoreSize) {
    Put(run, prefix + "_Width", Control->Width());
    Put(run, prefix + "_Height", Control->Height());
  }
  if (FStoreLocation) {
    Put(run, prefix + "_Top", Control->Top());
    Put(run, prefix + "_Left", Control->Left());
  }
  if (FStoreVisible) PutBool(run, prefix + "_Visible", Control->Visible());
  if (auto* win = dynamic_cast<TWinControl*>(Control)) {
    for (int i = 0; i < win->ControlCount(); ++i) StoreControlIn(win->Controls(i), run);
  }
}

// Restoring

void TKYTFormSaver::Restore() { MyRestore(FOwnerForm); }

void TKYTFormSaver::MyRestore(TObject* Sender) {
  const TStoreHold run(this);
  if (FOldOnShow) FOldOnShow(Sender);  // another animation or saver may pump messages
  if (!run) return;
  if (FFormStore->Enabled() && Application) {
    try {
      for (int i = 0; i < Application->ComponentCount(); ++i) {
        if (auto* form = dynamic_cast<TForm*>(Application->Components(i))) RestoreWindowIn(form, run);
      }
    } catch (const TSaverGone&) {
      return;
    }
  }
  if (FOnRestore) FOnRestore(Sender);
}

void TKYTFormSaver::RestoreWindow(TForm* Form) {
  const TStoreHold run(this);
  try {
    RestoreWindowIn(Form, run);
  } catch (const TSaverGone&) {
  }
}

// A read may raise the store's OnError, and a form's new bounds or visibility run the
// application's handlers: either may free the saver, which is checked after each.
void TKYTFormSaver::RestoreWindowIn(TForm* Form, const TStoreHold& run) {
  const auto applied = [&] {
    if (!run) throw TSaverGone();
  };
  const std::string prefix = Form->ClassName();
  if (FStoreSize && Form->WindowState() == wsNormal) {
    Form->SetWidth(Get(run, prefix + "_Width", Form->Width()));
    applied();
    Form->SetHeight(Get(run, prefix + "_Height", Form->Height()));
    applied();
  }
  if (FStoreLocation) {
    Form->SetTop(Get(run, prefix + "_Top", Form->Top()));
    applied();
    Form->SetLeft(Get(run, prefix + "_Left", Form->Left()));
    applied();
  }
  if (FStoreVisible) {
    Form->SetVisible(GetBool(run, prefix + "_Visible", Form->Visible()));
    applied();
  }
  if (FStoreState) {
    switch (Get(run, prefix + "_WindowState", kStateNormal)) {
      case kStateMinimized: Form->SetWindowState(wsMinimized); break;
      case kStateNormal: Form->SetWindowState(wsNormal); break;
      case kStateMaximized: Form->SetWindowState(wsMaximized); break;
      default: break;
    }
    applied();
  }
  if (FStoreControls) {
    for (int i = 0; i < Form->ControlCount(); ++i) RestoreControlIn(Form->Controls(i), run);
  }
}

void TKYTFormSaver::RestoreControl(TControl* Control) {
  const TStoreHold run(this);
  try {
    RestoreControlIn(Control, run);
  } catch (const TSaverGone&) {
  }
}

void TKYTFormSaver::RestoreControlIn(TControl* Control, const TStoreHold& run) {
  const auto applied = [&] {
    if (!run) throw TSaverGone();
  };
  const std::string prefix = Control->Name();
  if (FStoreSize) {
    Control->SetWidth(Get(run, prefix + "_Width", Control->Width()));
    applied();
    Control->SetHeight(Get(run, prefix + "_Height", Control->Height()));
    applied();
  }
  if (FStoreLocation) {
    Control->SetTop(Get(run, prefix + "_Top", Control->Top()));
    applied();
    Control->SetLeft(Get(run, prefix + "_Left", Control->Left()));
    applied();
  }
  if (FStoreVisible) {
    Control->SetVisible(GetBool(run, prefix + "_Visible", Control->Visible()));
    applied();
  }
  if (auto* win = dynamic_cast<TWinControl*>(Control)) {
    for (int i = 0; i < win->ControlCount(); ++i) RestoreControlIn(win->Controls(i), run);
  }
}

}  // namespace kyt
