// KYTTSystemTray: the notification record, adding, updating and removing the icon, the hidden
// window's mouse notifications, and moving the application into the tray and back.
#include "forms/KYTTSystemTray.h"

#include <algorithm>
#include <cstring>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTSystemTray::StaticClass());
  return true;
}();

// The tray came with version 4 of the platform. A version that cannot be read is taken as a
// platform of today: taking the tray away for it would leave the application nowhere to go.
bool TrayAvailable() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  return !os::kernel32.GetVersionExA(&info) || info.dwMajorVersion >= 4;
}

bool ApplicationWindowMinimized() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  return os::user32.GetWindowPlacement(Application->Handle(), &placement) &&
         placement.showCmd == SW_SHOWMINIMIZED;
}

}  // namespace

TKYTSystemTray::TKYTSystemTray(TComponent* AOwner) : inherited(AOwner), FIcon(new TIcon()) {
  if (Application) FIcon->Assign(Application->Icon());
  FTrayAvailable = TrayAvailable();
  FNotInTray = true;
  if (Designing() || !Application) return;

  FWindow.reset(AllocateHWnd([this](TMessage& m) { WndProc(m); }));
  FData.cbSize = kTrayRecordSize;
  FData.hWnd = FWindow.get();
  FData.uID = 0;
  FData.uFlags = NIF_MESSAGE | NIF_ICON;
  FData.uCallbackMessage = kTrayCallbackMessage;
  FData.hIcon = FIcon->Handle();
  // Hint is not read from the form yet: in practice the tip starts as the application's title.
  SetTip(FHint.empty() ? Application->Title() : FHint);
  if (FData.szTip[0]) FData.uFlags |= NIF_TIP;

  // The application's own handlers are replaced, not called: one kept here could belong to a
  // component freed since (another tray), and a call through it would reach freed memory.
  Application->SetOnMinimize(TNotifyEvent::Bind<&TKYTSystemTray::HandleMinimize>(this));
  Application->SetOnRestore(TNotifyEvent::Bind<&TKYTSystemTray::HandleRestore>(this));
  FEventsTaken = true;

  FMinimized = ApplicationWindowMinimized();
  if (FEnabled && FMinimized) FillTray();
}

TKYTSystemTray::~TKYTSystemTray() {
  if (FEnabled && !Designing()) EmptyTray();
  SetPopupMenu(nullptr);
  if (FEventsTaken && Application) {
    // Cleared only while they still hold our routines: a handler assigned later is not ours.
    if (Application->OnMinimize() == TNotifyEvent::Bind<&TKYTSystemTray::HandleMinimize>(this))
      Application->SetOnMinimize({});
    if (Application->OnRestore() == TNotifyEvent::Bind<&TKYTSystemTray::HandleRestore>(this))
      Application->SetOnRestore({});
    ShowHiddenApplication();
  }
  FWindow.reset();
  delete FIcon;
}

void TKYTSystemTray::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// Properties

void TKYTSystemTray::SetPopupMenu(TPopupMenu* value) {
  if (FPopupMenu && FPopupMenu != value) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TKYTSystemTray::SetEnabled(bool value) {
  FEnabled = value;
  if (Designing()) return;
  if (FEnabled && (FNormalIcon || FMinimized)) {
    FillTray();
    return;
  }
  EmptyTray();
  if (!FEnabled) ShowHiddenApplication();
}

// An application hidden in the tray must not be left with neither icon nor task bar button: it
// comes back minimised, as it was.
void TKYTSystemTray::ShowHiddenApplication() {
  if (FHidApplication && !os::user32.IsWindowVisible(Application->Handle()))
    os::user32.ShowWindow(Application->Handle(), SW_SHOWMINNOACTIVE);
  FHidApplication = false;
}

void TKYTSystemTray::SetNormalIcon(bool value) {
  FNormalIcon = value;
  if (Designing()) return;
  if (FNormalIcon && FEnabled) FillTray();
  if (!FNormalIcon && FEnabled && !FMinimized) EmptyTray();
}

void TKYTSystemTray::SetHint(const std::string& value) {
  if (value == FHint) return;
  FHint = value;
  if (Designing()) return;
  SetTip(FHint);
  // The tip flag goes with an empty tip too: that is how the tray drops a tip it shows.
  FData.uFlags |= NIF_TIP;
  UpdateTray();
}

void TKYTSystemTray::SetTip(const std::string& text) {
  // The tip goes to the shell in UTF-16 so that text in any language arrives whole, cut to the
  // tip's length in characters, never inside one.
  const std::wstring tip = WideFromText(CutToWideLength(text, kTrayTipLength));
  // Bounded by the record whatever the cut gave: the fields after szTip are the shell's.
  const size_t length = std::min(tip.size(), std::size(FData.szTip) - 1);
  std::copy_n(tip.begin(), length, FData.szTip);
  FData.szTip[length] = L'\0';
}

// Methods

void TKYTSystemTray::SetIcon(const TIcon* icon) {
  FIcon->Assign(icon);
  FData.hIcon = FIcon->Handle();
  UpdateTray();
}

void TKYTSystemTray::FillTray() {
  if (!FEnabled || !FTrayAvailable || !FNotInTray || Designing()) return;
  if (!os::shell32.Shell_NotifyIconW(NIM_ADD, &FData))
    throw EOutOfResources("Cannot create shell notification Icon");
  FNotInTray = false;
}

void TKYTSystemTray::EmptyTray() {
  if (FTrayAvailable && !Designing()) os::shell32.Shell_NotifyIconW(NIM_DELETE, &FData);
  FNotInTray = true;
}

void TKYTSystemTray::UpdateTray() {
  if (FEnabled && FTrayAvailable && !Designing()) os::shell32.Shell_NotifyIconW(NIM_MODIFY, &FData);
}

// Notifications of the tray and of the application

void TKYTSystemTray::WndProc(TMessage& Message) {
  if (Message.Msg != kTrayCallbackMessage) {
    Message.Result = os::user32.DefWindowProcA(FWindow.get(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  Message.Result = 0;
  // A handler may free this component: nothing follows the event.
  switch (Message.LParam) {
    case WM_LBUTTONUP: FOnClick(this); break;
    case WM_LBUTTONDBLCLK: FOnDblClick(this); break;
    case WM_RBUTTONUP: HandleRightClick(this); break;
    default: break;
  }
}

void TKYTSystemTray::HandleRightClick(TObject* Sender) {
  POINT cursor{};
  os::user32.GetCursorPos(&cursor);
  const bool inTray = !os::user32.IsWindowVisible(Application->Handle());
  if (FPopupMenu && (inTray || FNormalIcon)) {
    TComponentRef<TKYTSystemTray> self(this);
    FPopupMenu->Popup(cursor.x, cursor.y);  // returns when the menu closes
    if (!self) return;  // a menu command freed the component
  }
  FOnRightClick(Sender, mbRight, TShiftState{}, cursor.x, cursor.y);
}

void TKYTSystemTray::HandleMinimize(TObject* Sender) {
  FMinimized = true;
  if (FEnabled) {
    Application->SetIcon(FIcon);
    FData.hIcon = FIcon->Handle();
    // The icon goes in first: an application hidden without it could not be reached again.
    if (FNotInTray) FillTray();
    else UpdateTray();
    if (!FNotInTray) {
      os::user32.ShowWindow(Application->Handle(), SW_HIDE);
      FHidApplication = true;
    }
  }
  FOnMinimize(Sender);
}

void TKYTSystemTray::HandleRestore(TObject* Sender) {
  if (FEnabled) {
    os::user32.ShowWindow(Application->Handle(), SW_RESTORE);
    FHidApplication = false;
    if (!FNormalIcon) EmptyTray();
  }
  FMinimized = false;  // first: the handler may free the component
  FOnRestore(Sender);
}

}  // namespace kyt
