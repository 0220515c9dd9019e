// Application: the one application object of the process (hidden application window, title,
// icon, hint settings, application events, the message loop, exception handling) and Screen.
#ifndef KYT_HOST_VCL_APPLICATION_H
#define KYT_HOST_VCL_APPLICATION_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Events.h"
#include "host/core/Exceptions.h"
#include "host/core/TypeInfo.h"
#include "host/os/Win.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Graphics.h"

namespace kyt {

// What a hint about to be shown looks like; an OnShowHint handler may change it.
struct THintInfo {
  TControl* HintControl = nullptr;
  POINT HintPos{};          // screen position of the hint window's top-left corner
  int32_t HintMaxWidth = 0;
  TColor HintColor{};
  RECT CursorRect{};        // in the control's client coordinates; leaving it hides the hint
  POINT CursorPos{};        // in the control's client coordinates
};

using TExceptionEvent = TEvent<TObject*, const Exception&>;
// Command (HELP_CONTEXT, ...), data, and whether the help system should still be called.
using THelpEvent = TEvent<uint16_t, int32_t, bool&>;
using TIdleEvent = TEvent<TObject*, bool&>;
using TMessageEvent = TEvent<MSG&, bool&>;
using TShowHintEvent = TEvent<std::string&, bool&, THintInfo&>;

// The class name of the application window; running copies of one application are recognised
// by this class name together with the window title (the application's Title).
inline constexpr const char* kApplicationWindowClass = "TApplication";

// The application. It owns the forms created through CreateForm (or with it as owner), in
// creation order. Its window is a hidden top-level window of class "TApplication" titled with
// Title; it owns the forms' windows, and it becomes visible (the task bar button) when the main
// form is first shown.
class TApplication : public TComponent {
  KYT_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Properties
  // The application window, created in the constructor (again on demand if that failed).
  HWND Handle() const;
  // Default: the executable's name without folder and extension.
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value);
  // The application's icon (task bar and forms without their own); SetIcon copies. Starts as
  // the executable's MAINICON when it has one, empty otherwise.
  TIcon* Icon() const { return FIcon; }
  void SetIcon(const TIcon* value);
  // Full path of the executable.
  std::string ExeName() const;
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& value) { FHelpFile = value; }

  // Hints: shown for controls with a Hint and ShowHint, after HintPause ms, for HintHidePause ms.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor value) { FHintColor = value; }
  int32_t HintPause() const { return FHintPause; }
  void SetHintPause(int32_t value) { FHintPause = value; }
  int32_t HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int32_t value) { FHintHidePause = value; }
  // The hint of the control under the mouse; setting a different one raises OnHint.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value);
  // The hint window currently showing, or null.
  HWND HintWindow() const { return FHintWindow; }

  // The first form created through CreateForm; null when none or after it is destroyed.
  TForm* MainForm() const { return FMainForm; }
  // Whether one of the application's windows is the active window.
  bool Active() const { return FActive; }
  bool Terminated() const { return FTerminated; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool value) { FShowMainForm = value; }
  // Whether the application is minimised (through Minimize or its main form).
  bool Minimized() const;

  // Events
  const TNotifyEvent& OnActivate() const { return FOnActivate; }
  void SetOnActivate(const TNotifyEvent& value) { FOnActivate = value; }
  const TNotifyEvent& OnDeactivate() const { return FOnDeactivate; }
  void SetOnDeactivate(const TNotifyEvent& value) { FOnDeactivate = value; }
  const TExceptionEvent& OnException() const { return FOnException; }
  void SetOnException(const TExceptionEvent& value) { FOnException = value; }
  const THelpEvent& OnHelp() const { return FOnHelp; }
  void SetOnHelp(const THelpEvent& value) { FOnHelp = value; }
  const TNotifyEvent& OnHint() const { return FOnHint; }
  void SetOnHint(const TNotifyEvent& value) { FOnHint = value; }
  // Runs when the queue is empty; done (true on entry) false asks to be called again at once
  // instead of waiting for the next message.
  const TIdleEvent& OnIdle() const { return FOnIdle; }
  void SetOnIdle(const TIdleEvent& value) { FOnIdle = value; }
  // Runs for each message taken from the queue by the application's loop; handled true keeps it
  // from being dispatched.
  const TMessageEvent& OnMessage() const { return FOnMessage; }
  void SetOnMessage(const TMessageEvent& value) { FOnMessage = value; }
  const TNotifyEvent& OnMinimize() const { return FOnMinimize; }
  void SetOnMinimize(const TNotifyEvent& value) { FOnMinimize = value; }
  const TNotifyEvent& OnRestore() const { return FOnRestore; }
  void SetOnRestore(const TNotifyEvent& value) { FOnRestore = value; }
  const TShowHintEvent& OnShowHint() const { return FOnShowHint; }
  void SetOnShowHint(const TShowHintEvent& value) { FOnShowHint = value; }

  // Methods
  // Creates a form of class T owned by the application (the first becomes MainForm), finishes
  // its construction (form file, OnCreate) and stores it in ref before OnCreate runs.
  template <class T>
  void CreateForm(T*& ref) {
    T* form = new T(this);
    ref = form;
    try {
      AdoptForm(form);
      form->AfterConstruction();
    } catch (...) {
      ref = nullptr;
      FreeComponent(form);
      throw;
    }
  }
  template <class T>
  T* CreateForm() {
    T* form = nullptr;
    CreateForm(form);
    return form;
  }
  // Shows the main form (unless ShowMainForm is false) and runs the message loop until
  // Terminate; it blocks while the queue is empty. Exceptions escaping a message go to
  // HandleException. Each Run starts afresh (Terminated false); a quit already queued ends it.
  void Run();
  // Handles one message, or, with none queued, runs OnIdle and waits for the next one.
  void HandleMessage();
  // Handles every queued message, then returns (no waiting, no OnIdle).
  void ProcessMessages();
  // Ends Run (and any modal loop) by posting a quit message.
  void Terminate();
  // Minimises the application: hides its forms, minimises the application window, OnMinimize.
  void Minimize();
  // Restores the application window and its forms, then OnRestore. A restore of the window
  // from outside (another process, the shell) does the same.
  void Restore();
  // Brings the application's active form (or main form) to the front.
  void BringToFront();
  // For catch blocks: OnException with the exception being handled, or, without a handler, a
  // message box with its message. Other C++ exceptions are wrapped as Exception(what()).
  void HandleException(TObject* sender);
  // The message box HandleException shows.
  void ShowException(const Exception& e);
  // MessageBoxA owned by the active form (or the application window), the other windows
  // disabled meanwhile; returns the button id.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);
  // Help requests: OnHelp decides; returns true when the request was handled.
  bool HelpCommand(uint16_t command, int32_t data);
  bool HelpContext(int32_t context);
  // Hides the hint window if one is showing.
  void CancelHint();
  // Whether the message was used by the application's keyboard or hint handling (called by
  // message loops that do not go through HandleMessage).
  bool IsDialogMessage(MSG& msg);

  // Runtime internals used by forms.
  void AdoptForm(TForm* form);
  // A control goes away: the application forgets it (hint and mouse tracking).
  void ControlDestroyed(TControl* control);
  void SetActive(bool active);
  // Number of times the application was terminated (modal loops watch it).
  int TerminateCount() const { return FTerminateCount; }

 private:
  void CreateHandle();
  // The application window is no longer minimised: shows the forms again, then OnRestore.
  void Restored();
  void WndProc(TMessage& message);
  bool ProcessMessage(MSG& msg);
  void Idle(const MSG& msg);
  void HintMouseMessage(const MSG& msg);
  void ActivateHint();
  void ShowHintWindow(TControl* control);
  void HintTimerExpired(UINT_PTR id);
  void HintWndProc(TMessage& message);
  void NotifyForms(TComponent* component, TOperation operation);
  void Notification(TComponent* component, TOperation operation) override;

  HWND FHandle = nullptr;
  WNDPROC FObjectInstance = nullptr;
  std::string FTitle;
  TIcon* FIcon;
  std::string FHelpFile;
  bool FShowHint = true;
  TColor FHintColor = ColorOf(0x80FFFFu);
  int32_t FHintPause = 500;
  int32_t FHintHidePause = 2500;
  std::string FHint;
  HWND FHintWindow = nullptr;
  WNDPROC FHintInstance = nullptr;
  std::string FHintText;
  TColor FShownHintColor{};
  TControl* FHintControl = nullptr;
  TControl* FMouseControl = nullptr;
  bool FHintActive = false;
  TForm* FMainForm = nullptr;
  bool FActive = false;
  bool FTerminated = false;
  int FTerminateCount = 0;
  bool FShowMainForm = true;
  bool FMinimized = false;
  bool FHandleCreated = false;
  TNotifyEvent FOnActivate;
  TNotifyEvent FOnDeactivate;
  TExceptionEvent FOnException;
  THelpEvent FOnHelp;
  TNotifyEvent FOnHint;
  TIdleEvent FOnIdle;
  TMessageEvent FOnMessage;
  TNotifyEvent FOnMinimize;
  TNotifyEvent FOnRestore;
  TShowHintEvent FOnShowHint;
};

// The screen: its size and the forms that exist.
class TScreen : public TComponent {
  KYT_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // Properties
  int32_t Width() const;
  int32_t Height() const;
  int32_t PixelsPerInch() const;
  // The work area (the screen without the task bar).
  RECT WorkAreaRect() const;
  // Every form that exists, in creation order.
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const;
  // The form whose window is active, or null.
  TCustomForm* ActiveForm() const;

  // Runtime internals.
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  bool HasForm(const TCustomForm* form) const;

 private:
  std::vector<TCustomForm*> FForms;
};

// Created when the library starts, before main (and on first use by static initializers).
extern TApplication* Application;
extern TScreen* Screen;

// Registers every class of the visual runtime for streaming (called once by the application's
// construction; calling it again is harmless).
void RegisterVclClasses();

// Ends the process at once with exitCode (no destructors, no further messages).
[[noreturn]] void Halt(int exitCode = 0);

}  // namespace kyt

#endif  // KYT_HOST_VCL_APPLICATION_H
