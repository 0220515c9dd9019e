// Controls: bounds, parenting, fonts and the window life cycle of windowed controls. Own window
// classes start with InitWndProc, which hands the new window to the control being created;
// system classes are subclassed right after creation. Either way every message then runs through
// the control's object instance into MainWndProc.
#include "host/vcl/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "host/vcl/VclPrivate.h"

namespace kyt {

namespace {

std::unordered_map<HWND, TWinControl*>& ControlMap() {
  // Never destroyed: controls freed at exit still detach their windows from it.
  static auto* map = new std::unordered_map<HWND, TWinControl*>();
  return *map;
}

// The control whose own-class window is being created (InitWndProc picks it up).
TWinControl* gCreationControl = nullptr;

// Child window ids: unique per process, above the dialog ids the platform uses (IDOK ... and
// 0xFFFF for statics), so an owner-draw request names one control.
UINT NextControlId() {
  static UINT next = 0x1000;
  if (next >= 0xF000) next = 0x1000;
  return next++;
}

TShiftState KeyShiftState() {
  TShiftState shift;
  if (os::user32.GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (os::user32.GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (os::user32.GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

TShiftState MouseShiftState(WPARAM keys) {
  TShiftState shift;
  if (keys & MK_SHIFT) shift.Include(ssShift);
  if (keys & MK_CONTROL) shift.Include(ssCtrl);
  if (keys & MK_LBUTTON) shift.Include(ssLeft);
  if (keys & MK_RBUTTON) shift.Include(ssRight);
  if (keys & MK_MBUTTON) shift.Include(ssMiddle);
  if (os::user32.GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

// Client coordinates of a mouse message are signed 16-bit values (negative while captured).
int32_t LowX(LPARAM lParam) { return static_cast<int16_t>(LOWORD(static_cast<DWORD_PTR>(lParam))); }
int32_t HighY(LPARAM lParam) { return static_cast<int16_t>(HIWORD(static_cast<DWORD_PTR>(lParam))); }

}  // namespace

// Gives InitWndProc access to the private attach step.
struct WinControlAccess {
  static void Attach(TWinControl* c, HWND window) { c->AttachWindow(window); }
  static WNDPROC Instance(TWinControl* c) { return c->FObjectInstance; }
};

namespace {

LRESULT CALLBACK InitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = gCreationControl;
  if (!c) return os::user32.DefWindowProcA(window, msg, wParam, lParam);
  gCreationControl = nullptr;
  WinControlAccess::Attach(c, window);
  return os::user32.CallWindowProcA(WinControlAccess::Instance(c), window, msg, wParam, lParam);
}

}  // namespace

std::string GetShortHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// ------------------------------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(new TFont()) {
  FFont->SetOnChange(TNotifyEvent::Bind<&TControl::FontChange>(this));
}

TControl::~TControl() {
  if (Application) Application->ControlDestroyed(this);
  if (FParent) FParent->RemoveControl(this);
  delete FFont;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  UpdateBoundsCache(left, top, width, height);
}

void TControl::UpdateBoundsCache(int32_t left, int32_t top, int32_t width, int32_t height) {
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
}

RECT TControl::ClientRect() const { return RECT{0, 0, FWidth, FHeight}; }

int32_t TControl::ClientWidth() const {
  const RECT r = ClientRect();
  return r.right - r.left;
}

void TControl::SetClientWidth(int32_t value) { SetWidth(FWidth + value - ClientWidth()); }

int32_t TControl::ClientHeight() const {
  const RECT r = ClientRect();
  return r.bottom - r.top;
}

void TControl::SetClientHeight(int32_t value) { SetHeight(FHeight + value - ClientHeight()); }

POINT TControl::ClientOrigin() const {
  POINT p{FLeft, FTop};
  if (FParent) {
    const POINT o = FParent->ClientOrigin();
    p.x += o.x;
    p.y += o.y;
  }
  return p;
}

POINT TControl::ClientToScreen(POINT p) const {
  const POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) const {
  const POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  VisibleChanged();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

std::string TControl::Caption() const { return FCaption; }

void TControl::SetCaption(const std::string& value) {
  if (value == Caption()) return;
  FCaption = value;
  TextChanged();
}

void TControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  EnabledChanged();
}

bool TControl::ShowHint() const {
  if (FParentShowHint && FParent) return FParent->ShowHint();
  return FShowHint;
}

void TControl::SetShowHint(bool value) {
  FShowHint = value;
  FParentShowHint = false;
}

void TControl::SetParentShowHint(bool value) {
  if (value == FParentShowHint) return;
  if (!value) FShowHint = ShowHint();
  FParentShowHint = value;
}

void TControl::SetFont(TFont* value) { FFont->Assign(value); }

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (value) ParentFontChanged();
}

void TControl::FontChange(TObject*) {
  if (!FUpdatingFont) FParentFont = false;
  FontChanged();
}

void TControl::SetColor(TColor value) {
  FParentColor = false;
  if (value == FColor) return;
  FColor = value;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value) ParentColorChanged();
}

void TControl::Click() { FOnClick(this); }
void TControl::Invalidate() {}
void TControl::Update() {}
void TControl::BringToFront() {}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::VisibleChanged() {}
void TControl::EnabledChanged() {}
void TControl::FontChanged() {}
void TControl::ColorChanged() {}
void TControl::TextChanged() {}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FUpdatingFont = true;
  try {
    FFont->Assign(FParent->Font());
  } catch (...) {
    FUpdatingFont = false;
    throw;
  }
  FUpdatingFont = false;
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  if (FColor == FParent->Color()) return;
  FColor = FParent->Color();
  ColorChanged();
}

void TControl::Loaded() { TComponent::Loaded(); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  FOnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int32_t x, int32_t y) { FOnMouseMove(this, shift, x, y); }

void TControl::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  FOnMouseUp(this, button, shift, x, y);
}

void TControl::KeyDown(uint16_t& key, TShiftState shift) { FOnKeyDown(this, key, shift); }

void TControl::DoContextPopup(POINT mousePos, bool& handled) { FOnContextPopup(this, mousePos, handled); }

// ---------------------------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  FTabStop = false;
  FWindowProc = [this](TMessage& m) { DesignedWndProc(m); };
}

TWinControl::~TWinControl() {
  for (TMessageFrame* frame = FMessageFrame; frame; frame = frame->Outer) frame->Destroyed = true;
  // Parented controls go with their parent (their owners are told as each one goes).
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    delete c;  // its destructor removes it from FControls
  }
  DestroyHandle();
  FreeObjectInstance(FObjectInstance);
  FObjectInstance = nullptr;
}

HWND TWinControl::Handle() const {
  if (!FHandle) const_cast<TWinControl*>(this)->CreateHandle();
  return FHandle;
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FControls[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop) return;
  FTabStop = value;
  if (FHandle) {
    LONG_PTR style = os::user32.GetWindowLongPtrA(FHandle, GWL_STYLE);
    style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    os::user32.SetWindowLongPtrA(FHandle, GWL_STYLE, style);
  }
}

void TWinControl::SetWindowProc(TWndMethod method) {
  FWindowProc = method ? std::move(method) : TWndMethod([this](TMessage& m) { DesignedWndProc(m); });
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->FParent == this) return;
  if (auto* w = dynamic_cast<TWinControl*>(control); w && w->ContainsControl(this))
    throw EInvalidOperation("A control cannot be a child of its own child");
  FControls.push_back(control);
  control->FParent = this;
  control->ParentFontChanged();
  control->ParentColorChanged();
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (w->FHandle) {
      os::user32.SetParent(w->FHandle, FHandle ? FHandle : ParkingWindow());
      w->UpdateBoundsFromWindow();
    } else if (FHandle && !(ComponentState().Contains(csLoading) || control->ComponentState().Contains(csLoading))) {
      w->CreateHandle();
    }
  }
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  if (TCustomForm* form = GetParentForm()) form->ControlRemoved(control);
  FControls.erase(it);
  control->FParent = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(control); w && w->FHandle && !ComponentState().Contains(csDestroying))
    os::user32.SetParent(w->FHandle, ParkingWindow());
}

void TWinControl::GetChildren(std::vector<TComponent*>& children, const TComponent& root) const {
  TComponent::GetChildren(children, root);
  for (TControl* c : FControls)
    if (c->Owner() == &root) children.push_back(c);
}

void TWinControl::SetChildOrder(TComponent* child, TComponent* place) {
  const auto from = std::find(FControls.begin(), FControls.end(), child);
  const auto to = std::find(FControls.begin(), FControls.end(), place);
  if (from == FControls.end() || to == FControls.end()) return TComponent::SetChildOrder(child, place);
  const auto index = to - FControls.begin();
  TControl* const moved = *from;
  FControls.erase(from);
  FControls.insert(FControls.begin() + index, moved);
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = FCaption;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FVisible) params.Style |= WS_VISIBLE;
  if (FTabStop) params.Style |= WS_TABSTOP;
  if (!Enabled()) params.Style |= WS_DISABLED;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  params.WinClassName = ClassName();
  params.Background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  if (!IsTopLevel()) {
    if (!FControlId) FControlId = NextControlId();
    params.Menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FControlId));
  }
}

// Insertion while loading leaves the window for later (the stored properties shape it); when
// the parent's window exists by the end of loading, nothing else would make this one.
void TWinControl::Loaded() {
  TControl::Loaded();
  if (!FHandle && Parent() && Parent()->HandleAllocated()) CreateHandle();
}

void TWinControl::CreateHandle() {
  if (FHandle || FCreating) return;
  if (!IsTopLevel() && Parent()) {
    Parent()->HandleNeeded();  // creating the parent creates this one too
    if (FHandle) return;
  }
  FCreating = true;
  try {
    CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  CreateWindowHandleDone();
  CreateChildHandles();
  UpdateBoundsFromWindow();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!IsTopLevel()) params.WndParent = Parent() && Parent()->FHandle ? Parent()->FHandle : ParkingWindow();
  if (!FObjectInstance) FObjectInstance = MakeObjectInstance([this](TMessage& m) { MainWndProc(m); });
  HWND window = nullptr;
  if (!params.SubclassOf.empty()) {
    window = os::user32.CreateWindowExA(params.ExStyle, params.SubclassOf.c_str(), params.Caption.c_str(),
                                        params.Style, params.X, params.Y, params.Width, params.Height,
                                        params.WndParent, params.Menu, vcl_private::Instance(), nullptr);
    if (window) {
      FDefWndProc = reinterpret_cast<WNDPROC>(os::user32.GetWindowLongPtrA(window, GWLP_WNDPROC));
      AttachWindow(window);
    }
  } else {
    vcl_private::RegisterOwnClass(params.WinClassName, &InitWndProc, params.ClassStyle, params.Background);
    FDefWndProc = os::user32.DefWindowProcA;
    gCreationControl = this;
    window = os::user32.CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                                        params.Style, params.X, params.Y, params.Width, params.Height,
                                        params.WndParent, params.Menu, vcl_private::Instance(), nullptr);
    gCreationControl = nullptr;
  }
  if (!window || !FHandle) {
    if (window) os::user32.DestroyWindow(window);
    throw EOutOfResources("Error creating window of " + ClassName() + " (error " +
                          std::to_string(os::kernel32.GetLastError()) + ")");
  }
}

void TWinControl::AttachWindow(HWND window) {
  FHandle = window;
  ControlMap()[window] = this;
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FObjectInstance));
}

void TWinControl::DetachWindow() {
  if (!FHandle) return;
  ControlMap().erase(FHandle);
  FHandle = nullptr;
}

void TWinControl::CreateWindowHandleDone() { ApplyFont(); }

void TWinControl::CreateChildHandles() {
  for (size_t i = 0; i < FControls.size(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(FControls[i]);
    if (!w) continue;
    if (w->FHandle) {
      os::user32.SetParent(w->FHandle, FHandle);
      w->UpdateBoundsFromWindow();
    } else {
      w->CreateHandle();
    }
  }
}

void TWinControl::DestroyWnd() {}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  HWND window = FHandle;
  os::user32.DestroyWindow(window);
  DetachWindow();  // in case the window was gone already
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  CreateHandle();
  if (IsTopLevel()) UpdateShowing();
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  FWindowProc(m);
  return m.Result;
}

bool TWinControl::Focused() const { return FHandle && os::user32.GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return GetParentForm() != nullptr;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(); form && form != this) form->SetActiveControl(this);
  os::user32.SetFocus(Handle());
}

void TWinControl::Invalidate() {
  if (FHandle) os::user32.InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
  if (FHandle) os::user32.UpdateWindow(FHandle);
}

void TWinControl::BringToFront() {
  if (FHandle)
    os::user32.SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RECT TWinControl::ClientRect() const {
  RECT r{};
  os::user32.GetClientRect(Handle(), &r);
  return r;
}

POINT TWinControl::ClientOrigin() const {
  POINT p{0, 0};
  os::user32.ClientToScreen(Handle(), &p);
  return p;
}

bool TWinControl::Showing() const {
  if (IsTopLevel()) return FHandle && os::user32.IsWindowVisible(FHandle);
  return TControl::Showing();
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  auto& map = ControlMap();
  auto it = map.find(window);
  return it == map.end() ? nullptr : it->second;
}

void TWinControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  UpdateBoundsCache(left, top, width, height);
  if (FHandle)
    os::user32.SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!FHandle) return;
  RECT r{};
  if (!os::user32.GetWindowRect(FHandle, &r)) return;
  if (!IsTopLevel()) {
    HWND parent = os::user32.GetParent(FHandle);
    if (parent) os::user32.MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  UpdateBoundsCache(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::UpdateShowing() {
  if (!FHandle) return;
  const bool visible = (os::user32.GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
  if (FVisible && !visible) os::user32.ShowWindow(FHandle, SW_SHOWNA);
  else if (!FVisible && visible) os::user32.ShowWindow(FHandle, SW_HIDE);
}

void TWinControl::VisibleChanged() { UpdateShowing(); }

void TWinControl::EnabledChanged() {
  if (FHandle) os::user32.EnableWindow(FHandle, Enabled() ? TRUE : FALSE);
}

void TWinControl::ApplyFont() {
  if (FHandle) os::user32.SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
}

void TWinControl::FontChanged() {
  ApplyFont();
  for (TControl* c : FControls) c->ParentFontChanged();
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::ColorChanged() {
  Invalidate();
  for (TControl* c : FControls) c->ParentColorChanged();
}

void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }

void TWinControl::TextChanged() {
  if (FHandle) os::user32.SetWindowTextA(FHandle, FCaption.c_str());
}

HBRUSH TWinControl::ColorBrush() {
  const COLORREF rgb = ColorToRGB(Color());
  if (!FBrush || FBrushColor != rgb) {
    FBrush.reset(os::gdi32.CreateSolidBrush(rgb));
    FBrushColor = rgb;
  }
  return FBrush.get();
}

HWND TWinControl::ParkingWindow() {
  static HWND parking = nullptr;
  if (!parking || !os::user32.IsWindow(parking)) {
    vcl_private::RegisterOwnClass("TKytParkingWindow", os::user32.DefWindowProcA, 0, nullptr);
    parking = os::user32.CreateWindowExA(WS_EX_TOOLWINDOW, "TKytParkingWindow", "", WS_POPUP, 0, 0, 0, 0,
                                         nullptr, nullptr, vcl_private::Instance(), nullptr);
    if (!parking) throw EOutOfResources("Cannot create the parking window");
  }
  return parking;
}

TWinControl::TMessageScope::TMessageScope(TWinControl* control)
    : FControl(control), FFrame{control->FMessageFrame, false} {
  FControl->FMessageFrame = &FFrame;
}

TWinControl::TMessageScope::~TMessageScope() {
  if (FFrame.Destroyed) return;
  FControl->FMessageFrame = FFrame.Outer;
  if (!FControl->FMessageFrame) FControl->MessagesHandled();
}

void TWinControl::MainWndProc(TMessage& message) {
  TMessageScope scope(this);
  try {
    FWindowProc(message);
  } catch (...) {
    HandleBoundaryException(scope.ControlDestroyed() ? nullptr : this);
  }
}

void TWinControl::DefaultHandler(TMessage& message) {
  HWND window = FHandle;
  if (!window || !FDefWndProc) return;
  message.Result = os::user32.CallWindowProcA(FDefWndProc, window, message.Msg, message.WParam, message.LParam);
}

void TWinControl::CommandNotify(UINT) {}

bool TWinControl::NotifyReflected(NMHDR&, LRESULT&) { return false; }
bool TWinControl::DrawItem(const DRAWITEMSTRUCT&) { return false; }
bool TWinControl::MeasureItem(MEASUREITEMSTRUCT&) { return false; }

TWinControl* TWinControl::FindChildById(UINT id) const {
  if (!id) return nullptr;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FControlId == id) return w;
  return nullptr;
}

bool TWinControl::DesignMessage(TMessage& message) {
  const UINT m = message.Msg;
  const bool input = (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_KEYFIRST && m <= WM_KEYLAST) ||
                     m == WM_CONTEXTMENU;
  if (!input || !ComponentState().Contains(csDesigning)) return false;
  TCustomForm* form = GetParentForm();
  TDesignHook* designer = form ? form->Designer() : nullptr;
  return designer && designer->IsDesignMsg(this, message);
}

bool TWinControl::InputMessage(TMessage& message) {
  const WPARAM w = message.WParam;
  const LPARAM l = message.LParam;
  switch (message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: {
      const UINT m = message.Msg;
      const TMouseButton button = m <= WM_LBUTTONDBLCLK ? mbLeft : m <= WM_RBUTTONDBLCLK ? mbRight : mbMiddle;
      TShiftState shift = MouseShiftState(w);
      if (m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK) shift.Include(ssDouble);
      MouseDown(button, shift, LowX(l), HighY(l));
      return false;
    }
    case WM_MOUSEMOVE:
      MouseMove(MouseShiftState(w), LowX(l), HighY(l));
      return false;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      const UINT m = message.Msg;
      MouseUp(m == WM_LBUTTONUP ? mbLeft : m == WM_RBUTTONUP ? mbRight : mbMiddle, MouseShiftState(w), LowX(l), HighY(l));
      return false;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
      uint16_t key = static_cast<uint16_t>(w);
      const TShiftState shift = KeyShiftState();
      // With KeyPreview the form sees its controls' keys first.
      TCustomForm* form = GetParentForm();
      if (form && form != this && form->KeyPreview()) form->KeyDown(key, shift);
      if (key) KeyDown(key, shift);
      return key == 0;
    }
    case WM_CONTEXTMENU: {
      // Only the innermost control asks; the message the default handling passes up is not asked again.
      if (reinterpret_cast<HWND>(w) != FHandle) return false;
      POINT pos{LowX(l), HighY(l)};
      if (pos.x != -1 || pos.y != -1) os::user32.ScreenToClient(FHandle, &pos);
      bool handled = false;
      DoContextPopup(pos, handled);
      return handled;
    }
    default:
      return false;
  }
}

bool TWinControl::ControlColor(HDC, LRESULT&) { return false; }

void TWinControl::Paint(HDC) {}

// The designer's turn comes before any descendant's WndProc, so no control acts on input it takes.
void TWinControl::DesignedWndProc(TMessage& message) {
  if (!DesignMessage(message)) WndProc(message);
}

void TWinControl::WndProc(TMessage& message) {
  if (InputMessage(message)) {
    message.Result = 0;
    return;
  }
  switch (message.Msg) {
    case WM_NOTIFY:
      // Any window may send a notification with any record: a null one is passed on.
      if (auto* header = reinterpret_cast<NMHDR*>(message.LParam)) {
        if (TWinControl* child = FindControl(header->hwndFrom); child && child->Parent() == this) {
          LRESULT result = 0;
          if (child->NotifyReflected(*header, result)) {
            message.Result = result;
            return;
          }
        }
      }
      break;
    case WM_DRAWITEM:
      if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam); item && item->CtlType != ODT_MENU) {
        if (TWinControl* child = FindControl(item->hwndItem); child && child->Parent() == this && child->DrawItem(*item)) {
          message.Result = TRUE;
          return;
        }
      }
      break;
    case WM_MEASUREITEM:
      // Sent while the child's window is still being made too, so the child is found by its id.
      if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam); item && item->CtlType != ODT_MENU) {
        if (TWinControl* child = FindChildById(item->CtlID); child && child->MeasureItem(*item)) {
          message.Result = TRUE;
          return;
        }
      }
      break;
    case WM_COMMAND:
      if (message.LParam) {
        if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam))) {
          child->CommandNotify(HIWORD(message.WParam));
          message.Result = 0;
          return;
        }
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam))) {
        LRESULT brush = 0;
        if (child->ControlColor(reinterpret_cast<HDC>(message.WParam), brush)) {
          message.Result = brush;
          return;
        }
      }
      break;
    case WM_PAINT:
      if (FDefWndProc == os::user32.DefWindowProcA) {
        PAINTSTRUCT ps{};
        HDC dc = os::user32.BeginPaint(FHandle, &ps);
        HWND window = FHandle;
        struct EndGuard {
          HWND Window;
          PAINTSTRUCT* Ps;
          ~EndGuard() { os::user32.EndPaint(Window, Ps); }
        } guard{window, &ps};
        Paint(dc);
        message.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (FDefWndProc == os::user32.DefWindowProcA) {
        RECT r{};
        os::user32.GetClientRect(FHandle, &r);
        os::user32.FillRect(reinterpret_cast<HDC>(message.WParam), &r, ColorBrush());
        message.Result = 1;
        return;
      }
      break;
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(); form && form != this) form->SetActiveControl(this);
      break;
    case WM_WINDOWPOSCHANGED:
      // The window has its new place already: take it before the default handling sends
      // WM_SIZE and WM_MOVE, so that a window hook reading the bounds then sees them.
      UpdateBoundsFromWindow();
      DefaultHandler(message);
      UpdateBoundsFromWindow();
      return;
    case WM_DESTROY:
      DestroyWnd();
      break;
    case WM_NCDESTROY: {
      DefaultHandler(message);
      DetachWindow();
      return;
    }
    default:
      break;
  }
  DefaultHandler(message);
}

}  // namespace kyt

namespace kyt {

char AcceleratorChar(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const char c = caption[i + 1];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return 0;
}

}  // namespace kyt
