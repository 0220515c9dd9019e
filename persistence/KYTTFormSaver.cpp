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
  const TStoreHold self(this);
  if (FOldOnClose) FOldOnClose(Sender, Action);
  if (!self || !FFormStore->Enabled()) return;
  if (FOnStore) FOnStore(Sender);
  if (!self || !Application) return;
  // One change of the store: a write that fails leaves the values of the last store whole, and
  // so does a store whose saver an OnStoreControl handler freed.
  try {
    FFormStore->WriteAll([&] {
      for (int i = 0; i < Application->ComponentCount(); ++i) {
        if (auto* form = dynamic_cast<TForm*>(Application->Components(i))) StoreWindow(form);
        if (!self) throw TSaverGone();
      }
    });
  } catch (const TSaverGone&) {
    // Nothing of the saver is left to touch.
  }
}

void TKYTFormSaver::StoreOtherBounds(TForm* Form, const std::string& prefix) {
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
    FFormStore->WriteInt(prefix + "_Width", r.right - r.left);
    FFormStore->WriteInt(prefix + "_Height", r.bottom - r.top);
  }
  if (FStoreLocation) {
    FFormStore->WriteInt(prefix + "_Top", r.top);
    FFormStore->WriteInt(prefix + "_Left", r.left);
  }
}

void TKYTFormSaver::StoreWindow(TForm* Form) {
  const std::string prefix = Form->ClassName();
  const TWindowState state = Form->WindowState();
  if (FStoreState) {
    const int32_t code = state == wsMinimized   ? kStateMinimized
                         : state == wsMaximized ? kStateMaximized
                                                : kStateNormal;
    FFormStore->WriteInt(prefix + "_WindowState", code);
  }
  if (state == wsNormal) {
    if (FStoreSize) {
      FFormStore->WriteInt(prefix + "_Width", Form->Width());
      FFormStore->WriteInt(prefix + "_Height", Form->Height());
    }
    if (FStoreLocation) {
      FFormStore->WriteInt(prefix + "_Top", Form->Top());
      FFormStore->WriteInt(prefix + "_Left", Form->Left());
    }
  } else if (static_cast<TCustomForm*>(Form) == FOwnerForm) {
    if (FCaptured) {
      if (FStoreSize) {
        FFormStore->WriteInt(prefix + "_Width", FNormalWidth);
        FFormStore->WriteInt(prefix + "_Height", FNormalHeight);
      }
      if (FStoreLocation) {
        FFormStore->WriteInt(prefix + "_Top", FNormalTop);
        FFormStore->WriteInt(prefix + "_Left", FNormalLeft);
      }
    }
  } else {
    StoreOtherBounds(Form, prefix);
  }
  if (FStoreVisible) FFormStore->WriteBool(prefix + "_Visible", Form->Visible());
  if (FStoreControls) StoreChildren(*Form);
}

// Stops as soon as an OnStoreControl handler frees the saver.
void TKYTFormSaver::StoreChildren(TWinControl& Parent) {
  if (!FOnStoreControl) {
    for (int i = 0; i < Parent.ControlCount(); ++i) StoreControl(Parent.Controls(i));
    return;
  }
  const TComponentRef<TKYTFormSaver> self(this);
  for (int i = 0; i < Parent.ControlCount() && self; ++i) StoreControl(Parent.Controls(i));
}

void TKYTFormSaver::StoreControl(TControl* Control) {
  bool result = true;
  if (FOnStoreControl) {
    const TComponentRef<TKYTFormSaver> self(this);
    FOnStoreControl(Control, result);
    if (!self) return;
  }
  if (!result) return;
  const std::string prefix = Control->Name();
  if (FStoreSize) {
    FFormStore->WriteInt(prefix + "_Width", Control->Width());
    FFormStore->WriteInt(prefix + "_Height", Control->Height());
  }
  if (FStoreLocation) {
    FFormStore->WriteInt(prefix + "_Top", Control->Top());
    FFormStore->WriteInt(prefix + "_Left", Control->Left());
  }
  if (FStoreVisible) FFormStore->WriteBool(prefix + "_Visible", Control->Visible());
  if (auto* win = dynamic_cast<TWinControl*>(Control)) StoreChildren(*win);
}

// Restoring

void TKYTFormSaver::Restore() { MyRestore(FOwnerForm); }

void TKYTFormSaver::MyRestore(TObject* Sender) {
  const TStoreHold self(this);
  if (FOldOnShow) FOldOnShow(Sender);  // another animation or saver may pump messages
  if (!self) return;
  if (FFormStore->Enabled() && Application) {
    for (int i = 0; i < Application->ComponentCount(); ++i) {
      if (auto* form = dynamic_cast<TForm*>(Application->Components(i))) RestoreWindow(form);
    }
  }
  if (FOnRestore) FOnRestore(Sender);
}

void TKYTFormSaver::RestoreWindow(TForm* Form) {
  const std::string prefix = Form->ClassName();
  if (FStoreSize && Form->WindowState() == wsNormal) {
    Form->SetWidth(ReadInt(prefix + "_Width", Form->Width()));
    Form->SetHeight(ReadInt(prefix + "_Height", Form->Height()));
  }
  if (FStoreLocation) {
    Form->SetTop(ReadInt(prefix + "_Top", Form->Top()));
    Form->SetLeft(ReadInt(prefix + "_Left", Form->Left()));
  }
  if (FStoreVisible) Form->SetVisible(ReadBool(prefix + "_Visible", Form->Visible()));
  if (FStoreState) {
    switch (ReadInt(prefix + "_WindowState", kStateNormal)) {
      case kStateMinimized: Form->SetWindowState(wsMinimized); break;
      case kStateNormal: Form->SetWindowState(wsNormal); break;
      case kStateMaximized: Form->SetWindowState(wsMaximized); break;
      default: break;
    }
  }
  if (FStoreControls) {
    for (int i = 0; i < Form->ControlCount(); ++i) RestoreControl(Form->Controls(i));
  }
}

void TKYTFormSaver::RestoreControl(TControl* Control) {
  const std::string prefix = Control->Name();
  if (FStoreSize) {
    Control->SetWidth(ReadInt(prefix + "_Width", Control->Width()));
    Control->SetHeight(ReadInt(prefix + "_Height", Control->Height()));
  }
  if (FStoreLocation) {
    Control->SetTop(ReadInt(prefix + "_Top", Control->Top()));
    Control->SetLeft(ReadInt(prefix + "_Left", Control->Left()));
  }
  if (FStoreVisible) Control->SetVisible(ReadBool(prefix + "_Visible", Control->Visible()));
  if (auto* win = dynamic_cast<TWinControl*>(Control)) {
    for (int i = 0; i < win->ControlCount(); ++i) RestoreControl(win->Controls(i));
  }
}

}  // namespace kyt
