// Forms: showing and hiding with their events, window state kept in step with WM_SIZE, closing
// with its actions, the modal loop, and the keyboard handling of dialogs.
#include "host/vcl/Forms.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/StdCtrls.h"
#include "host/vcl/VclPrivate.h"

namespace kyt {

namespace {

std::string UpperCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Depth-first search through the controls of a windowed control.
template <class Pred>
TControl* FindControlIf(const TWinControl& parent, Pred pred) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    if (pred(c)) return c;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TControl* found = FindControlIf(*w, pred)) return found;
  }
  return nullptr;
}

bool Usable(const TControl* c) {
  for (const TControl* p = c; p; p = p->Parent())
    if (!p->Visible() || !p->Enabled()) return false;
  return true;
}

}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner), FIcon(new TIcon()) {
  FVisible = false;
  SetParentFont(false);
  SetParentColor(false);
  UpdateBoundsCache(0, 0, 320, 240);
  FIcon->SetOnChange(TNotifyEvent::Bind<&TCustomForm::IconChange>(this));
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  // Freed with a plain delete rather than FreeComponent: the same steps, late.
  FinishForm();
  if (Application) Application->ControlDestroyed(this);
  if (Screen) Screen->RemoveForm(this);
  DestroyHandle();
  delete FIcon;
  FIcon = nullptr;
}

void TCustomForm::BeforeDestruction() {
  TWinControl::BeforeDestruction();
  FinishForm();
}

void TCustomForm::FinishForm() {
  Destroying();
  if (!FDestroyCalled) {
    FDestroyCalled = true;
    try {
      DoDestroy();
    } catch (...) {
      HandleBoundaryException(this);
    }
  }
  // Owned components go while the form is whole: hooks unhook the live window, event slots
  // are handed back to a living form, and OnDestroy ran on a form of its own class.
  DestroyComponents();
}

void TCustomForm::AfterConstruction() {
  if (FConstructed) return;
  FConstructed = true;
  // An inherited form's class has its file and each ancestor form class with one has its own.
  const std::vector<TFormText> files = FormFilesOf(ClassType(), TCustomForm::StaticClass());
  if (files.size() == 1) LoadFormText(files[0].Text, files[0].FileName);
  else if (!files.empty()) ReadRootTexts(*this, files);
  DoCreate();
  if (FVisible && !Showing()) {
    FVisible = false;
    SetVisible(true);
  }
}

// Form files of classes, for inherited forms and frames, come from the program's resources.
[[maybe_unused]] const bool kResourceFormFiles = [] {
  SetFormFileSource(&TCustomForm::ResourceFormFile);
  return true;
}();

bool TCustomForm::ResourceFormFile(const TClassInfo& cls, std::string& text, std::string& fileName) {
  HMODULE module = os::kernel32.GetModuleHandleA(nullptr);
  const std::string name = UpperCase(cls.Name());
  if (HRSRC res = os::kernel32.FindResourceA(module, name.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA))) {
    HGLOBAL data = os::kernel32.LoadResource(module, res);
    const DWORD size = data ? os::kernel32.SizeofResource(module, res) : 0;
    const void* bytes = size ? os::kernel32.LockResource(data) : nullptr;
    // A form file that is there but cannot be read must not give a form without it.
    if (!bytes) ResourceUnreadable(name);
    text.assign(static_cast<const char*>(bytes), size);
    fileName = name;
    return true;
  }
  if (const DWORD error = os::kernel32.GetLastError(); error != ERROR_RESOURCE_NAME_NOT_FOUND &&
                                                       error != ERROR_RESOURCE_TYPE_NOT_FOUND &&
                                                       error != ERROR_RESOURCE_DATA_NOT_FOUND) {
    ResourceUnreadable(name);  // not "no form file" (a form made in code) but a failed look
  }
  return false;
}

void TCustomForm::ResourceUnreadable(const std::string& name) {
  throw EResNotFound("Cannot read the form file resource " + name + " (error " +
                     std::to_string(os::kernel32.GetLastError()) + ")");
}

void TCustomForm::LoadFormFile(const std::string& path) { ReadRootFile(*this, path); }

void TCustomForm::LoadFormText(const std::string& text, const std::string& fileName) {
  ReadRootText(*this, text, fileName);
}

void TCustomForm::Loaded() { TWinControl::Loaded(); }

// Properties

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == FWindowState) return;
  const TWindowState old = FWindowState;
  FWindowState = value;
  if (ComponentState().Contains(csLoading) || !FHandle || !FVisible) return;
  const bool isMain = Application && Application->MainForm() == this;
  if (isMain) {
    if (value == wsMinimized) {
      FWindowState = old;
      Application->Minimize();
      return;
    }
    if (Application->Minimized()) Application->Restore();
    FWindowState = value;
  }
  if (!os::user32.IsWindowVisible(FHandle)) return;
  if (value == wsNormal) {
    // An icon restores to the state it had before (maximised, maybe); restore until normal.
    for (int i = 0; i < 2 && (os::user32.IsIconic(FHandle) || os::user32.IsZoomed(FHandle)); ++i)
      os::user32.ShowWindow(FHandle, SW_RESTORE);
    return;
  }
  os::user32.ShowWindow(FHandle, value == wsMaximized ? SW_SHOWMAXIMIZED : SW_MINIMIZE);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == FBorderIcons) return;
  FBorderIcons = value;
  RecreateWnd();
}

void TCustomForm::SetPosition(TPosition value) { FPosition = value; }

void TCustomForm::SetIcon(TIcon* value) { FIcon->Assign(value); }

void TCustomForm::IconChange(TObject*) { UpdateIcon(); }

void TCustomForm::UpdateIcon() {
  if (!FHandle) return;
  HICON icon = nullptr;
  if (FIcon && !FIcon->Empty()) icon = FIcon->Handle();
  else if (Application && !Application->Icon()->Empty()) icon = Application->Icon()->Handle();
  os::user32.SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  os::user32.SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool TCustomForm::Active() const { return FHandle && os::user32.GetActiveWindow() == FHandle; }

TWinControl* TCustomForm::ActiveControl() const { return FActiveControl; }

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == this) control = nullptr;
  FActiveControl = control;
  if (control && control->HandleAllocated() && FHandle && os::user32.IsWindowVisible(FHandle) &&
      os::user32.GetActiveWindow() == FHandle && os::user32.GetFocus() != control->Handle())
    os::user32.SetFocus(control->Handle());
}

void TCustomForm::ControlRemoved(TControl* control) {
  if (!FActiveControl) return;
  if (FActiveControl == control) {
    FActiveControl = nullptr;
    return;
  }
  if (auto* w = dynamic_cast<TWinControl*>(control); w && w->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

// Creation

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  params.ExStyle = 0;
  switch (FBorderStyle) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle: params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
      params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsToolWindow:
      params.Style |= WS_CAPTION;
      params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      params.Style |= WS_CAPTION | WS_THICKFRAME;
      params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
    params.Style |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
      if (FBorderIcons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    }
    if (FBorderIcons.Contains(biHelp) &&
        (FBorderStyle == bsDialog || (!FBorderIcons.Contains(biMinimize) && !FBorderIcons.Contains(biMaximize))))
      params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (Parent()) {
    params.Style = (params.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
    if (FVisible) params.Style |= WS_VISIBLE;
  } else {
    params.WndParent = Application ? Application->Handle() : nullptr;
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly) params.Width = params.Height = CW_USEDEFAULT;
    if ((params.Style & WS_POPUP) && params.X == CW_USEDEFAULT) params.X = params.Y = 0;
  }
  params.WinClassName = ClassName();
  params.ClassStyle = CS_DBLCLKS;
}

void TCustomForm::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  UpdateIcon();
  if (FMenu) FMenu->SetWindowHandle(FHandle);
}

// The platform destroys a window's menu with it: the bar leaves the window first, so the menu
// never frees a handle twice.
void TCustomForm::DestroyWnd() {
  if (FMenu) FMenu->SetWindowHandle(nullptr);
  TWinControl::DestroyWnd();
}

void TCustomForm::SetMenu(TMainMenu* value) {
  if (value == FMenu) return;
  if (FMenu) {
    FMenu->RemoveFreeNotification(this);
    FMenu->SetWindowHandle(nullptr);
  }
  FMenu = value;
  if (!value) return;
  value->FreeNotification(this);
  if (FHandle) value->SetWindowHandle(FHandle);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FMenu) FMenu = nullptr;
}

// Showing and hiding

int TCustomForm::ShowCommand() const {
  switch (FWindowState) {
    case wsMaximized: return SW_SHOWMAXIMIZED;
    case wsMinimized: return SW_SHOWMINIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

void TCustomForm::CenterOnScreen() {
  if (!Screen) return;
  SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::VisibleChanged() {
  if (ComponentState().Contains(csLoading)) return;  // applied once the form is constructed
  if (!IsTopLevel()) {
    TWinControl::VisibleChanged();
    if (FVisible) DoShow();
    else DoHide();
    return;
  }
  if (FVisible) {
    try {
      HandleNeeded();
      if (!FShownOnce && FPosition == poScreenCenter) CenterOnScreen();
      FShownOnce = true;
      DoShow();
    } catch (...) {
      FVisible = false;
      throw;
    }
    UpdateShowing();
  } else {
    UpdateShowing();
    DoHide();
  }
}

void TCustomForm::UpdateShowing() {
  if (!IsTopLevel()) {
    TWinControl::UpdateShowing();
    return;
  }
  if (!FHandle) return;
  const bool visible = os::user32.IsWindowVisible(FHandle) != FALSE;
  if (FVisible && !visible) {
    const bool isMain = Application && Application->MainForm() == this;
    if (isMain && Application->Minimized()) return;  // shown again by Application->Restore
    if (isMain && FWindowState == wsMinimized) {
      FWindowState = wsNormal;
      os::user32.ShowWindow(FHandle, SW_SHOWNOACTIVATE);
      Application->Minimize();
      return;
    }
    os::user32.ShowWindow(FHandle, ShowCommand());
    if (isMain && Application && !os::user32.IsWindowVisible(Application->Handle()))
      os::user32.ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
    if (FWindowState != wsMinimized) FocusFirstControl();
  } else if (!FVisible && visible) {
    os::user32.ShowWindow(FHandle, SW_HIDE);
  }
}

void TCustomForm::FocusFirstControl() {
  if (!FHandle || os::user32.GetActiveWindow() != FHandle) return;
  if (FActiveControl && FActiveControl->HandleAllocated() && Usable(FActiveControl)) {
    os::user32.SetFocus(FActiveControl->Handle());
    return;
  }
  if (HWND first = os::user32.GetNextDlgTabItem(FHandle, nullptr, FALSE); first && first != FHandle)
    os::user32.SetFocus(first);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle && os::user32.IsWindowVisible(FHandle)) {
    os::user32.SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!Application || !Application->Minimized()) os::user32.SetActiveWindow(FHandle);
  }
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::SetFocus() {
  if (FVisible && Enabled()) os::user32.SetActiveWindow(Handle());
}

void TCustomForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  TWinControl::SetBounds(left, top, width, height);
}

void TCustomForm::UpdateBoundsFromWindow() {
  if (FHandle && os::user32.IsIconic(FHandle)) return;  // an icon's place is not the form's
  TWinControl::UpdateBoundsFromWindow();
}

void TCustomForm::ApplicationMinimized() {
  if (FWindowState != wsMinimized) FStateBeforeMinimize = FWindowState;
  FWindowState = wsMinimized;
}

void TCustomForm::ApplicationRestored() {
  FWindowState = FStateBeforeMinimize == wsMinimized ? wsNormal : FStateBeforeMinimize;
  if (FHandle && FVisible && !os::user32.IsWindowVisible(FHandle)) os::user32.ShowWindow(FHandle, ShowCommand());
}

// Closing

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  FOnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::SetModalResult(TModalResult value) {
  FModalResult = value;
  // A message sent to the form (a click from another thread or process) is dispatched inside the
  // modal loop's PeekMessage, which then finds nothing posted and lets the loop wait for the next
  // posted message; post one so that the loop sees the result now.
  if (FModal && value != mrNone && FHandle) os::user32.PostMessageA(FHandle, WM_NULL, 0, 0);
}

void TCustomForm::Close() {
  if (FModal) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) FModalResult = mrNone;
  else if (action == caFree) Release();
}

void TCustomForm::Release() {
  if (Application)
    os::user32.PostMessageA(Application->Handle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

void TCustomForm::FreeReleased() {
  if (!HandlingMessage()) {
    FreeComponent(this);
    return;
  }
  FReleasePending = true;
}

// Asked again from the message loop: the handler's frames are gone by the time it comes.
void TCustomForm::MessagesHandled() {
  if (!FReleasePending) return;
  FReleasePending = false;
  Release();
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !Enabled() || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = os::user32.GetCapture()) os::user32.SendMessageA(capture, WM_CANCELMODE, 0, 0);
  os::user32.ReleaseCapture();
  HandleNeeded();
  HWND activeBefore = os::user32.GetActiveWindow();
  const int terminateCount = Application ? Application->TerminateCount() : 0;
  TModalResult result = mrNone;
  FModal = true;
  FModalResult = mrNone;
  {
    vcl_private::TaskWindowsDisabler disabled(FHandle);
    try {
      Show();
      do {
        Application->HandleMessage();
        if (Application->TerminateCount() != terminateCount) FModalResult = mrCancel;
        else if (FModalResult != mrNone) CloseModal();
      } while (FModalResult == mrNone);
      result = FModalResult;
    } catch (...) {
      FModal = false;
      try {
        Hide();
      } catch (...) {
      }
      throw;
    }
    FModal = false;
    Hide();
  }
  if (activeBefore && os::user32.IsWindow(activeBefore)) os::user32.SetActiveWindow(activeBefore);
  return result;
}

// Keyboard

TWinControl* TCustomForm::DefaultButton() const {
  return static_cast<TWinControl*>(FindControlIf(*this, [](TControl* c) {
    auto* b = dynamic_cast<TButton*>(c);
    return b && b->Default() && Usable(b);
  }));
}

TWinControl* TCustomForm::CancelButton() const {
  return static_cast<TWinControl*>(FindControlIf(*this, [](TControl* c) {
    auto* b = dynamic_cast<TButton*>(c);
    return b && b->Cancel() && Usable(b);
  }));
}

bool TCustomForm::DialogKey(const MSG& msg) {
  if (!FHandle) return false;
  // Keys of a designed form are the designer's: Enter must not press a designed default button.
  if (FDesigner && ComponentState().Contains(csDesigning)) return false;
  TWinControl* focused = nullptr;
  for (HWND w = os::user32.GetFocus(); w && w != FHandle; w = os::user32.GetParent(w))
    if ((focused = FindControl(w))) break;
  auto* combo = dynamic_cast<TComboBox*>(focused);
  if (msg.message == WM_KEYDOWN) {
    const bool ctrl = os::user32.GetKeyState(VK_CONTROL) < 0;
    const bool shift = os::user32.GetKeyState(VK_SHIFT) < 0;
    switch (msg.wParam) {
      case VK_TAB: {
        if (ctrl) return false;
        HWND from = os::user32.GetFocus();
        if (from && !os::user32.IsChild(FHandle, from)) from = nullptr;
        HWND next = os::user32.GetNextDlgTabItem(FHandle, from, shift ? TRUE : FALSE);
        if (next && next != FHandle) os::user32.SetFocus(next);
        return true;
      }
      case VK_RETURN: {
        if (combo && combo->DroppedDown()) return false;
        if (auto* b = dynamic_cast<TButton*>(focused)) {
          b->Click();
          return true;
        }
        if (TWinControl* b = DefaultButton()) {
          b->Click();
          return true;
        }
        return false;
      }
      case VK_ESCAPE: {
        if (combo && combo->DroppedDown()) return false;
        if (TWinControl* b = CancelButton()) {
          b->Click();
          return true;
        }
        if (FModal) {
          SetModalResult(mrCancel);
          return true;
        }
        return false;
      }
      default:
        return false;
    }
  }
  if (msg.message == WM_SYSCHAR) {
    char key = static_cast<char>(msg.wParam);
    if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
    TControl* target = FindControlIf(*this, [key](TControl* c) {
      if (!Usable(c)) return false;
      if (auto* l = dynamic_cast<TLabel*>(c)) return l->ShowAccelChar() && l->Accelerator() == key && l->FocusControl();
      if (auto* b = dynamic_cast<TButton*>(c)) return AcceleratorChar(b->Caption()) == key;
      return false;
    });
    if (auto* l = dynamic_cast<TLabel*>(target)) {
      if (l->FocusControl()->CanFocus()) l->FocusControl()->SetFocus();
      return true;
    }
    if (target) {
      target->Click();
      return true;
    }
  }
  return false;
}

// Events

void TCustomForm::DoCreate() { FOnCreate(this); }
void TCustomForm::DoShow() { FOnShow(this); }
void TCustomForm::DoHide() { FOnHide(this); }
void TCustomForm::DoClose(TCloseAction& action) { FOnClose(this, action); }
void TCustomForm::DoDestroy() { FOnDestroy(this); }

void TCustomForm::Paint(HDC dc) {
  struct Reset {
    HDC& Dc;
    ~Reset() { Dc = nullptr; }
  } reset{FPaintDC};
  FPaintDC = dc;
  FOnPaint(this);
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      Close();
      message.Result = 0;
      return;
    case WM_SYSCOMMAND:
      if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
        Application->Minimize();
        message.Result = 0;
        return;
      }
      break;
    case WM_SIZE:
      DefaultHandler(message);
      if (FHandle && os::user32.IsWindowVisible(FHandle)) {
        switch (message.WParam) {
          case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
          case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
          case SIZE_RESTORED: FWindowState = wsNormal; break;
          default: break;
        }
      }
      FOnResize(this);
      return;
    case WM_ACTIVATE:
      DefaultHandler(message);
      if (LOWORD(message.WParam) != WA_INACTIVE) {
        if (!HIWORD(message.WParam)) FocusFirstControl();
        FOnActivate(this);
      } else {
        FOnDeactivate(this);
      }
      return;
    case WM_ACTIVATEAPP:
      if (Application) Application->SetActive(message.WParam != 0);
      break;
    case WM_COMMAND:
      // A menu command: no control window, notification code 0.
      if (!message.LParam && HIWORD(message.WParam) == 0 && FMenu) {
        if (TMenuItem* item = FMenu->FindItem(LOWORD(message.WParam))) {
          item->Click();
          message.Result = 0;
          return;
        }
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(message);
}

TFrame::TFrame(TComponent* owner) : TWinControl(owner) {
  UpdateBoundsCache(0, 0, 320, 240);
  SetParentColor(true);
}

void TFrame::FinishFrame() {
  SetComponentState(csInline, Owner() != nullptr);
  InitInheritedComponent(*this, TFrame::StaticClass());
  if (auto* parent = dynamic_cast<TWinControl*>(Owner())) SetParent(parent);
}

void TFrame::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
  params.WinClassName = "TFrame";
}

}  // namespace kyt
