// Application: the application window, the message loop (OnMessage per message, OnIdle and a
// blocking wait on an empty queue), activation, minimising, hints and exception handling.
#include "host/vcl/Application.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Buttons.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Menus.h"
#include "host/vcl/StdCtrls.h"
#include "host/vcl/VclPrivate.h"

namespace kyt {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

constexpr UINT_PTR kHintShowTimer = 0x4B01;
constexpr UINT_PTR kHintHideTimer = 0x4B02;
constexpr const char* kHintWindowClass = "THintWindow";

// The full path of the executable. A path longer than MAX_PATH (a \\?\ start or a long-path
// aware system) is not cut: the buffer grows until the whole path and its terminator fit, since
// a cut name would name another file.
std::string ModuleFileName() {
  // The wide call: the ANSI one counts the buffer in bytes and answers a path cut inside a
  // character with no error once the path takes more bytes than characters.
  constexpr DWORD kLongestPath = 32768;  // the longest path the platform accepts, in UTF-16 units
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD n = os::kernel32.GetModuleFileNameW(nullptr, buffer.data(), size);
    // A result of the whole buffer means it was cut (with or without a terminator).
    if (n < size || size >= kLongestPath) {
      buffer.resize(std::min(n, size));
      return TextFromWide(buffer);
    }
    buffer.assign(std::min<DWORD>(size * 2, kLongestPath), L'\0');
  }
}

std::string DefaultTitle() {
  std::string name = ModuleFileName();
  const size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return name;
}

// Creates the process's Application and Screen before main and frees them at exit.
struct TRuntimeLifetime {
  TRuntimeLifetime() {
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
  }
  ~TRuntimeLifetime() {
    TApplication* app = Application;
    delete app;
    Application = nullptr;
    TScreen* screen = Screen;
    Screen = nullptr;
    delete screen;
  }
};

#if defined(__GNUC__)
TRuntimeLifetime gRuntime __attribute__((init_priority(150)));
#else
TRuntimeLifetime gRuntime;
#endif

}  // namespace

void HandleBoundaryException(TObject* sender) noexcept {
  try {
    if (Application) Application->HandleException(sender);
  } catch (...) {
    // An exception from the exception handler itself stops here: it must not cross Win32 frames.
  }
}

void RegisterVclClasses() {
  RegisterClasses({&TForm::StaticClass(), &TLabel::StaticClass(), &TEdit::StaticClass(), &TMemo::StaticClass(),
                   &TCheckBox::StaticClass(), &TComboBox::StaticClass(), &TListBox::StaticClass(),
                   &TButton::StaticClass(), &TPanel::StaticClass(), &TBitBtn::StaticClass(),
                   &TSpeedButton::StaticClass(), &TTabControl::StaticClass(), &TTimer::StaticClass(),
                   &TPopupMenu::StaticClass(), &TMainMenu::StaticClass(), &TMenuItem::StaticClass(),
                   &TOpenDialog::StaticClass(), &TSaveDialog::StaticClass(), &TColorDialog::StaticClass(),
                   &TFont::StaticClass(), &TIcon::StaticClass()});
}

void Halt(int exitCode) {
  std::fflush(nullptr);
  os::kernel32.ExitProcess(static_cast<UINT>(exitCode));
  // ExitProcess does not return. Not an empty endless loop: a jump to itself right after the
  // call leaves an exception raised by a replaced ExitProcess (as tests do) no way to unwind,
  // and the process hangs.
  std::abort();
}

// --------------------------------------------------------------------------------- TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner), FTitle(DefaultTitle()), FIcon(new TIcon()) {
  RegisterVclClasses();
  // LoadIcon hands out a shared icon, which must never be destroyed: the icon keeps a copy.
  if (HICON shared = os::user32.LoadIconA(os::kernel32.GetModuleHandleA(nullptr), "MAINICON"))
    if (HICON icon = os::user32.CopyIcon(shared)) FIcon->SetHandle(icon);
  FIcon->SetOnChange(TNotifyEvent::FromFunction(
      [](void* self, TObject*) {
        auto* app = static_cast<TApplication*>(self);
        if (app->FHandle) {
          HICON h = app->FIcon->Handle();
          os::user32.SendMessageA(app->FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(h));
        }
        if (Screen)
          for (int i = 0; i < Screen->FormCount(); ++i) Screen->Forms(i)->UpdateIcon();
      },
      this));
  try {
    CreateHandle();
  } catch (...) {
    // No display yet: the window is made on first use of Handle().
  }
}

TApplication::~TApplication() {
  DestroyComponents();  // the forms go while the application is whole
  CancelHint();
  if (FHintWindow) {
    os::user32.SetWindowLongPtrA(FHintWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(os::user32.DefWindowProcA));
    os::user32.DestroyWindow(FHintWindow);
  }
  FreeObjectInstance(FHintInstance);
  if (FHandle) {
    os::user32.SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(os::user32.DefWindowProcA));
    os::user32.DestroyWindow(FHandle);
    FHandle = nullptr;
  }
  FreeObjectInstance(FObjectInstance);
  delete FIcon;
}

void TApplication::CreateHandle() {
  if (FHandle) return;
  vcl_private::RegisterOwnClass(kApplicationWindowClass, os::user32.DefWindowProcA, 0, nullptr);
  const int cx = os::user32.GetSystemMetrics(SM_CXSCREEN) / 2;
  const int cy = os::user32.GetSystemMetrics(SM_CYSCREEN) / 2;
  HWND window = os::user32.CreateWindowExA(
      0, kApplicationWindowClass, FTitle.c_str(),
      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, cx, cy, 0, 0, nullptr, nullptr,
      vcl_private::Instance(), nullptr);
  if (!window) throw EOutOfResources("Cannot create the application window");
  if (!FObjectInstance) FObjectInstance = MakeObjectInstance([this](TMessage& m) { WndProc(m); });
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
  FHandle = window;
  if (!FIcon->Empty()) os::user32.SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

HWND TApplication::Handle() const {
  if (!FHandle) const_cast<TApplication*>(this)->CreateHandle();
  return FHandle;
}

void TApplication::SetTitle(const std::string& value) {
  FTitle = value;
  if (FHandle) os::user32.SetWindowTextA(FHandle, FTitle.c_str());
}

void TApplication::SetIcon(const TIcon* value) { FIcon->Assign(value); }

std::string TApplication::ExeName() const { return ModuleFileName(); }

void TApplication::SetShowHint(bool value) {
  FShowHint = value;
  if (!value) CancelHint();
}

void TApplication::SetHint(const std::string& value) {
  if (value == FHint) return;
  FHint = value;
  FOnHint(this);
}

bool TApplication::Minimized() const { return FMinimized; }

void TApplication::AdoptForm(TForm* form) {
  if (!FMainForm && form) FMainForm = form;
}

void TApplication::ControlDestroyed(TControl* control) {
  if (control == FHintControl) CancelHint();
  if (control == FMouseControl) FMouseControl = nullptr;
  if (control == FMainForm) FMainForm = nullptr;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FMainForm) FMainForm = nullptr;
}

void TApplication::SetActive(bool active) {
  if (active == FActive) return;
  FActive = active;
  if (!active) CancelHint();
  if (active) FOnActivate(this);
  else FOnDeactivate(this);
}

// Message loop

bool TApplication::IsDialogMessage(MSG& msg) {
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) HintMouseMessage(msg);
  else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) CancelHint();
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSCHAR) return false;
  HWND root = msg.hwnd;
  while (root && (os::user32.GetWindowLongPtrA(root, GWL_STYLE) & WS_CHILD)) root = os::user32.GetParent(root);
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(root));
  return form && form->DialogKey(msg);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!os::user32.PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    ++FTerminateCount;
    return true;
  }
  bool handled = false;
  FOnMessage(msg, handled);
  if (!handled && !IsDialogMessage(msg)) {
    os::user32.TranslateMessage(&msg);
    os::user32.DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::Idle(const MSG&) {
  if (FMouseControl) {
    // The mouse left our windows: forget the control it was over.
    POINT p{};
    os::user32.GetCursorPos(&p);
    HWND under = os::user32.WindowFromPoint(p);
    TWinControl* w = nullptr;
    for (HWND h = under; h && !(w = TWinControl::FindControl(h)); h = os::user32.GetParent(h)) {
    }
    if (!w) {
      FMouseControl = nullptr;
      CancelHint();
    }
  }
  bool done = true;
  FOnIdle(this, done);
  if (done) os::user32.WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg{};
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
  MSG msg{};
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Run() {
  FTerminated = false;
  // A main form stored minimised shows as a minimised application.
  if (FMainForm && FShowMainForm) FMainForm->SetVisible(true);
  do {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  } while (!FTerminated);
}

void TApplication::Terminate() { os::user32.PostQuitMessage(0); }

void TApplication::Minimize() {
  if (FMinimized) return;
  FMinimized = true;
  CancelHint();
  if (FMainForm) FMainForm->ApplicationMinimized();
  HWND window = Handle();
  // The application window becomes its own last active popup, so that whoever restores it
  // from outside (another copy of the application, the shell) finds the minimised window.
  os::user32.SetActiveWindow(window);
  os::user32.ShowOwnedPopups(window, FALSE);
  os::user32.ShowWindow(window, SW_MINIMIZE);
  FOnMinimize(this);
}

void TApplication::Restore() {
  if (!FMinimized) return;
  FMinimized = false;
  os::user32.ShowWindow(Handle(), SW_RESTORE);
  Restored();
}

void TApplication::Restored() {
  FMinimized = false;
  os::user32.ShowOwnedPopups(Handle(), TRUE);
  if (FMainForm) FMainForm->ApplicationRestored();
  FOnRestore(this);
}

void TApplication::BringToFront() {
  TCustomForm* form = Screen ? Screen->ActiveForm() : nullptr;
  if (!form) form = FMainForm;
  if (form && form->HandleAllocated()) {
    HWND popup = os::user32.GetLastActivePopup(form->Handle());
    os::user32.BringWindowToTop(popup ? popup : form->Handle());
  }
}

// Exceptions and message boxes

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  auto report = [&](const Exception& e) {
    if (FOnException) FOnException(sender, e);
    else ShowException(e);
  };
  try {
    std::rethrow_exception(current);
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception("Unknown exception"));
  }
}

void TApplication::ShowException(const Exception& e) {
  std::string text = e.Message();
  if (!text.empty() && text.back() > '.') text += '.';
  MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = os::user32.GetActiveWindow();
  if (!owner || !TWinControl::FindControl(owner)) owner = Handle();
  vcl_private::TaskWindowsDisabler disabled(nullptr);
  return os::user32.MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

bool TApplication::HelpCommand(uint16_t command, int32_t data) {
  bool callHelp = true;
  FOnHelp(command, data, callHelp);
  // Without a help system of our own, a request is handled when a handler took it.
  return !callHelp || (FOnHelp && !FHelpFile.empty());
}

bool TApplication::HelpContext(int32_t context) { return HelpCommand(HELP_CONTEXT, context); }

// Hints

void TApplication::HintMouseMessage(const MSG& msg) {
  if (msg.message != WM_MOUSEMOVE) {
    CancelHint();
    return;
  }
  TControl* control = nullptr;
  for (HWND h = msg.hwnd; h && !control; h = os::user32.GetParent(h)) control = TWinControl::FindControl(h);
  if (control == FMouseControl) return;
  FMouseControl = control;
  CancelHint();
  SetHint(control ? GetLongHint(control->Hint()) : std::string());
  if (control && FShowHint && control->ShowHint() && !control->Hint().empty())
    os::user32.SetTimer(Handle(), kHintShowTimer, static_cast<UINT>(std::max<int32_t>(FHintPause, 1)), nullptr);
}

void TApplication::CancelHint() {
  if (FHandle) {
    os::user32.KillTimer(FHandle, kHintShowTimer);
    os::user32.KillTimer(FHandle, kHintHideTimer);
  }
  if (FHintWindow && os::user32.IsWindowVisible(FHintWindow)) os::user32.ShowWindow(FHintWindow, SW_HIDE);
  FHintControl = nullptr;
  FHintActive = false;
}

void TApplication::ShowHintWindow(TControl* control) {
  if (!control) return;
  THintInfo info;
  info.HintControl = control;
  os::user32.GetCursorPos(&info.CursorPos);
  info.HintPos = POINT{info.CursorPos.x, info.CursorPos.y + 20};
  info.CursorPos = control->ScreenToClient(info.CursorPos);
  info.CursorRect = control->ClientRect();
  info.HintMaxWidth = Screen ? Screen->Width() : 640;
  info.HintColor = FHintColor;
  std::string text = GetShortHint(control->Hint());
  bool canShow = true;
  FOnShowHint(text, canShow, info);
  if (!canShow || text.empty()) return;
  FHintText = text;
  FShownHintColor = info.HintColor;
  FHintControl = control;
  FHintActive = true;
  if (!FHintWindow) {
    vcl_private::RegisterOwnClass(kHintWindowClass, os::user32.DefWindowProcA, CS_SAVEBITS, nullptr);
    FHintWindow = os::user32.CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kHintWindowClass, "",
                                             WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr,
                                             vcl_private::Instance(), nullptr);
    if (!FHintWindow) return;
    if (!FHintInstance) FHintInstance = MakeObjectInstance([this](TMessage& m) { HintWndProc(m); });
    os::user32.SetWindowLongPtrA(FHintWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHintInstance));
  }
  os::user32.SetWindowTextA(FHintWindow, text.c_str());
  RECT r{0, 0, info.HintMaxWidth, 0};
  HDC dc = os::user32.GetDC(FHintWindow);
  os::user32.DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  os::user32.ReleaseDC(FHintWindow, dc);
  os::user32.SetWindowPos(FHintWindow, HWND_TOPMOST, info.HintPos.x, info.HintPos.y, r.right + 8, r.bottom + 4,
                          SWP_NOACTIVATE | SWP_SHOWWINDOW);
  os::user32.InvalidateRect(FHintWindow, nullptr, TRUE);
  os::user32.SetTimer(Handle(), kHintHideTimer, static_cast<UINT>(std::max<int32_t>(FHintHidePause, 1)), nullptr);
}

void TApplication::HintTimerExpired(UINT_PTR id) {
  os::user32.KillTimer(FHandle, id);
  if (id == kHintShowTimer) ShowHintWindow(FMouseControl);
  else if (id == kHintHideTimer) CancelHint();
}

void TApplication::ActivateHint() { ShowHintWindow(FMouseControl); }

// The hint window paints its text on the hint colour.
void TApplication::HintWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: {
      RECT client{};
      os::user32.GetClientRect(FHintWindow, &client);
      os::UniqueHBrush brush(os::gdi32.CreateSolidBrush(ColorToRGB(FShownHintColor)));
      os::user32.FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush.get());
      message.Result = 1;
      return;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = os::user32.BeginPaint(FHintWindow, &ps);
      RECT client{};
      os::user32.GetClientRect(FHintWindow, &client);
      os::gdi32.SetBkMode(dc, 1 /* TRANSPARENT */);
      os::gdi32.SetTextColor(dc, ColorToRGB(clInfoText));
      RECT textRect{client.left + 2, client.top + 1, client.right - 2, client.bottom};
      os::user32.DrawTextA(dc, FHintText.c_str(), -1, &textRect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
      os::user32.EndPaint(FHintWindow, &ps);
      message.Result = 0;
      return;
    }
    case WM_NCHITTEST:
      message.Result = HTTRANSPARENT;
      return;
    default:
      message.Result = os::user32.DefWindowProcA(FHintWindow, message.Msg, message.WParam, message.LParam);
      return;
  }
}

// The application window's procedure.
void TApplication::WndProc(TMessage& message) {
  auto defaultHandling = [&] {
    message.Result = os::user32.DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
  };
  switch (message.Msg) {
    case WM_ACTIVATEAPP:
      SetActive(message.WParam != 0);
      defaultHandling();
      return;
    case WM_SYSCOMMAND:
      switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); message.Result = 0; return;
        case SC_RESTORE: Restore(); message.Result = 0; return;
        case SC_CLOSE:
          if (FMainForm) FMainForm->Close();
          message.Result = 0;
          return;
        default: break;
      }
      defaultHandling();
      return;
    case WM_SIZE:
      defaultHandling();
      // Restored from outside (ShowWindow by another process, the shell) while minimised.
      if (FMinimized && message.WParam != SIZE_MINIMIZED) Restored();
      return;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      message.Result = 0;
      return;
    case WM_QUERYENDSESSION:
      message.Result = !FMainForm || FMainForm->CloseQuery() ? TRUE : FALSE;
      return;
    case WM_TIMER:
      if (message.WParam == kHintShowTimer || message.WParam == kHintHideTimer) {
        HintTimerExpired(message.WParam);
        message.Result = 0;
        return;
      }
      defaultHandling();
      return;
    case CM_RELEASE: {
      auto* form = reinterpret_cast<TCustomForm*>(message.LParam);
      if (Screen && Screen->HasForm(form)) form->FreeReleased();
      message.Result = 0;
      return;
    }
    default:
      defaultHandling();
      return;
  }
}

// -------------------------------------------------------------------------------------- TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}
TScreen::~TScreen() = default;

int32_t TScreen::Width() const { return os::user32.GetSystemMetrics(SM_CXSCREEN); }
int32_t TScreen::Height() const { return os::user32.GetSystemMetrics(SM_CYSCREEN); }
int32_t TScreen::PixelsPerInch() const { return ScreenPixelsPerInch(); }

RECT TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  os::user32.SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FForms[static_cast<size_t>(index)];
}

TCustomForm* TScreen::ActiveForm() const {
  HWND active = os::user32.GetActiveWindow();
  for (TCustomForm* f : FForms)
    if (f->HandleAllocated() && f->Handle() == active) return f;
  return nullptr;
}

void TScreen::AddForm(TCustomForm* form) { FForms.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
}

bool TScreen::HasForm(const TCustomForm* form) const {
  return std::find(FForms.begin(), FForms.end(), form) != FForms.end();
}

}  // namespace kyt
