// KYTTSystemTray: an icon of the application in the notification area of the task bar, with a
// tip, a menu on right clicks, click events, and hiding in the tray while minimised.
#ifndef KYT_FORMS_KYTTSYSTEMTRAY_H
#define KYT_FORMS_KYTTSYSTEMTRAY_H

#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/os/Win.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/Menus.h"
#include "host/vcl/WinUtils.h"

namespace kyt {

// The message the tray sends to the component's hidden window for mouse events on the icon.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
// The tip holds at most this many characters (and a terminating zero).
inline constexpr size_t kTrayTipLength = 63;
// The notification record is sent in its first form, as UTF-16: 63 characters of any language
// fit its tip, where the 8-bit form (88 bytes on 32-bit Windows) has room for 63 bytes only.
inline constexpr DWORD kTrayRecordSize = NOTIFYICONDATAW_V1_SIZE;
#if !defined(_WIN64)
static_assert(kTrayRecordSize == 152);
#endif

class TKYTSystemTray : public TKYTSystemsComponent {
  KYT_CLASS(TKYTSystemTray, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTSystemTray>& p) {
    // Puts the icon in the tray (while minimised, or always with NormalIcon) and hides the
    // minimised application in it.
    p.Property("Enabled", &TKYTSystemTray::Enabled, &TKYTSystemTray::SetEnabled).Default(false);
    // The tip shown when the mouse rests on the icon; at most 63 characters show.
    p.Property("Hint", &TKYTSystemTray::Hint, &TKYTSystemTray::SetHint);
    // The menu a right click on the icon opens.
    p.Property("PopupMenu", &TKYTSystemTray::PopupMenu, &TKYTSystemTray::SetPopupMenu);
    // Keeps the icon in the tray while the application is shown too, not only while minimised.
    p.Property("NormalIcon", &TKYTSystemTray::NormalIcon, &TKYTSystemTray::SetNormalIcon).Default(false);
    // Fired when the icon is clicked with the left button.
    p.Property("OnClick", &TKYTSystemTray::OnClick, &TKYTSystemTray::SetOnClick);
    // Fired when the icon is double-clicked.
    p.Property("OnDblClick", &TKYTSystemTray::OnDblClick, &TKYTSystemTray::SetOnDblClick);
    // Fired when the icon is clicked with the right button, with the cursor's screen position.
    p.Property("OnRightClick", &TKYTSystemTray::OnRightClick, &TKYTSystemTray::SetOnRightClick);
    // Fired when the application is minimised (after it went into the tray).
    p.Property("OnMinimize", &TKYTSystemTray::OnMinimize, &TKYTSystemTray::SetOnMinimize);
    // Fired when the application is restored from the tray or the task bar.
    p.Property("OnRestore", &TKYTSystemTray::OnRestore, &TKYTSystemTray::SetOnRestore);
  }

  // At run time makes the hidden notification window and takes over the application's
  // OnMinimize and OnRestore, replacing the handlers found there (they are not called); in the
  // designing state it makes no window, takes no event and never touches the tray.
  explicit TKYTSystemTray(TComponent* AOwner);
  // Removes the icon, shows an application it had hidden, and clears the application's events
  // where they still hold its own handlers.
  ~TKYTSystemTray() override;

  // Properties
  // While true the icon is in the tray when NormalIcon is true or the application is minimised.
  // Switched off while the application sits in the tray, it shows the application again.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // The tip; at most 63 characters reach the tray. Empty removes the tip.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value);
  // Opened by a right click while the application sits in the tray (or always with NormalIcon).
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* value);
  // true: the icon stays in the tray while the application is shown too.
  bool NormalIcon() const { return FNormalIcon; }
  void SetNormalIcon(bool value);

  // Whether the icon is in the tray now.
  bool InTray() const { return !FNotInTray; }
  // The hidden window the tray's notifications go to (null in the designing state).
  HWND Handle() const { return FWindow.get(); }

  // Events
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value) { FOnClick = value; }
  const TNotifyEvent& OnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(const TNotifyEvent& value) { FOnDblClick = value; }
  // Button mbRight, an empty shift state and the cursor's screen position.
  const TMouseEvent& OnRightClick() const { return FOnRightClick; }
  void SetOnRightClick(const TMouseEvent& value) { FOnRightClick = value; }
  // Sender is the application object.
  const TNotifyEvent& OnMinimize() const { return FOnMinimize; }
  void SetOnMinimize(const TNotifyEvent& value) { FOnMinimize = value; }
  const TNotifyEvent& OnRestore() const { return FOnRestore; }
  void SetOnRestore(const TNotifyEvent& value) { FOnRestore = value; }

  // Methods
  // Copies icon and shows it in the tray at once when the icon is there, else at the next add.
  void SetIcon(const TIcon* icon);
  // Adds the icon when enabled, available and not there yet; EOutOfResources when refused.
  void FillTray();
  // Removes the icon (a removal of an icon not there fails quietly).
  void EmptyTray();
  // Sends the record again when enabled; an icon not in the tray is not added by it.
  void UpdateTray();

  // The routines installed as the application's OnMinimize and OnRestore.
  void HandleMinimize(TObject* Sender);
  void HandleRestore(TObject* Sender);
  void HandleRightClick(TObject* Sender);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void WndProc(TMessage& Message);
  // Copies at most 63 characters of text into the record's tip.
  void SetTip(const std::string& text);
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  void ShowHiddenApplication();

  bool FEnabled = false;
  std::string FHint;
  TPopupMenu* FPopupMenu = nullptr;
  bool FNormalIcon = false;
  TIcon* FIcon = nullptr;
  UniqueUtilWindow FWindow;
  NOTIFYICONDATAW FData{};
  bool FTrayAvailable = false;
  bool FMinimized = false;
  bool FNotInTray = true;
  bool FHidApplication = false;  // this component hid the application window
  bool FEventsTaken = false;
  TNotifyEvent FOnClick;
  TNotifyEvent FOnDblClick;
  TMouseEvent FOnRightClick;
  TNotifyEvent FOnMinimize;
  TNotifyEvent FOnRestore;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTSYSTEMTRAY_H
