// Controls: the control hierarchy of the visual runtime. TControl holds bounds, caption,
// visibility, font and parent; TWinControl owns a real window (created on first use), lists its
// parented children and runs its messages through a replaceable window method.
#ifndef KYT_HOST_VCL_CONTROLS_H
#define KYT_HOST_VCL_CONTROLS_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Events.h"
#include "host/core/Exceptions.h"
#include "host/core/TypeInfo.h"
#include "host/os/Win.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/WinUtils.h"

namespace kyt {

class TWinControl;
class TCustomForm;

// An operation that is not allowed in the object's current state (a visible form made modal,
// a control without a parent window).
class EInvalidOperation : public Exception { using Exception::Exception; };

// The runtime's own messages (WM_APP range, as the family's CM_ messages).
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_RELEASE = CM_BASE + 1;     // to the application window: LParam is a form to free
inline constexpr UINT CM_HINTTIMER = CM_BASE + 2;   // internal hint timer identifiers
inline constexpr UINT CM_INVOKE = CM_BASE + 3;      // internal

// The parts of a hint "short|long": the text before the bar, and the text after it (the whole
// hint when it has no bar).
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
// The accelerator of a caption: the character after a single '&', upper case; 0 when none.
char AcceleratorChar(const std::string& caption);

// Mouse buttons and shift state, as the family passes them to mouse events.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
KYT_ENUM_INFO(TMouseButton, "mbLeft", "mbRight", "mbMiddle")
enum TShiftStateFlag : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
KYT_ENUM_INFO(TShiftStateFlag, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble")
using TShiftState = TSet<TShiftStateFlag>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int32_t, int32_t>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int32_t, int32_t>;
// Key is the virtual-key code; a handler that sets it to 0 keeps the key from the control.
using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
// MousePos is in the control's client coordinates, (-1, -1) when the keyboard asked for the
// menu; a handler that sets Handled keeps the request from the control.
using TContextPopupEvent = TEvent<TObject*, POINT, bool&>;

class TControl;

// What a form designer installs on a designed form (TCustomForm::SetDesigner) to see the mouse
// and key messages of the form and its controls before they do. A message it takes (true) never
// reaches the control, so a designed button is not pressed; the form's window subclasses (the
// package's hooks) still see the form's own messages first, as they sit in front of the runtime.
class TDesignHook {
 public:
  virtual ~TDesignHook() = default;
  // sender is the designed control (or the form) whose window received msg.
  virtual bool IsDesignMsg(TControl* sender, TMessage& msg) = 0;
};

// A visual element: position and size in its parent's client coordinates (screen coordinates
// for forms), caption, visibility, hint and font. A control is owned by its Owner (which frees it)
// and shown inside its Parent; the two are set separately. Destroying a parent destroys the
// controls parented to it.
class TControl : public TComponent {
  KYT_CLASS(TControl, TComponent)
 public:
  static void Publish(TPublisher<TControl>& p) {
    p.Property("Left", &TControl::Left, &TControl::SetLeft);
    p.Property("Top", &TControl::Top, &TControl::SetTop);
    p.Property("Width", &TControl::Width, &TControl::SetWidth);
    p.Property("Height", &TControl::Height, &TControl::SetHeight);
    p.Property("Color", &TControl::Color, &TControl::SetColor).StoredIf(
        [](const TControl& c) { return !c.ParentColor() && c.Color() != c.DefaultColor(); });
    p.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    p.Property("Font", &TControl::Font, &TControl::SetFont).StoredIf(
        [](const TControl& c) { return !c.ParentFont(); });
    p.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).StoredIf(
        [](const TControl& c) { return c.ParentColor() != c.DefaultParentColor(); });
    p.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    p.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    p.Property("Hint", &TControl::Hint, &TControl::SetHint).Default(std::string());
    p.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).StoredIf(
        [](const TControl& c) { return !c.ParentShowHint(); });
    p.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    p.Property("OnContextPopup", &TControl::OnContextPopup, &TControl::SetOnContextPopup);
    p.Property("OnKeyDown", &TControl::OnKeyDown, &TControl::SetOnKeyDown);
    p.Property("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
    p.Property("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
    p.Property("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
  }

  explicit TControl(TComponent* owner);
  ~TControl() override;

  // Properties
  TWinControl* Parent() const { return FParent; }
  // Moves the control into parent's list of controls (null takes it out).
  virtual void SetParent(TWinControl* parent);

  int32_t Left() const { return FLeft; }
  void SetLeft(int32_t value) { SetBounds(value, FTop, FWidth, FHeight); }
  int32_t Top() const { return FTop; }
  void SetTop(int32_t value) { SetBounds(FLeft, value, FWidth, FHeight); }
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t value) { SetBounds(FLeft, FTop, value, FHeight); }
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t value) { SetBounds(FLeft, FTop, FWidth, value); }
  // Moves and sizes at once; a windowed control moves its window.
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }

  // The inner area (a windowed control's client rectangle; the whole control otherwise).
  virtual RECT ClientRect() const;
  int32_t ClientWidth() const;
  void SetClientWidth(int32_t value);
  int32_t ClientHeight() const;
  void SetClientHeight(int32_t value);
  // Screen position of the client area's top-left corner.
  virtual POINT ClientOrigin() const;
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

  // Whether the control wants to be shown; it is showing when its parents are too.
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  // Visible here and in every parent (a form: its own visibility).
  virtual bool Showing() const;

  // The caption (labels, buttons, forms) or text (edits, combo boxes); the same value.
  virtual std::string Caption() const;
  virtual void SetCaption(const std::string& value);
  std::string Text() const { return Caption(); }
  void SetText(const std::string& value) { SetCaption(value); }

  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  // The control's own setting, or its parent's while ParentShowHint is true.
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);

  // Owned font; SetFont copies. Children with ParentFont take their parent's font.
  TFont* Font() const { return FFont; }
  void SetFont(TFont* value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);

  // Events
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value) { FOnClick = value; }
  // Mouse and key events of a windowed control, raised before the control's own handling.
  const TMouseEvent& OnMouseDown() const { return FOnMouseDown; }
  void SetOnMouseDown(const TMouseEvent& value) { FOnMouseDown = value; }
  const TMouseMoveEvent& OnMouseMove() const { return FOnMouseMove; }
  void SetOnMouseMove(const TMouseMoveEvent& value) { FOnMouseMove = value; }
  const TMouseEvent& OnMouseUp() const { return FOnMouseUp; }
  void SetOnMouseUp(const TMouseEvent& value) { FOnMouseUp = value; }
  const TKeyEvent& OnKeyDown() const { return FOnKeyDown; }
  void SetOnKeyDown(const TKeyEvent& value) { FOnKeyDown = value; }
  const TContextPopupEvent& OnContextPopup() const { return FOnContextPopup; }
  void SetOnContextPopup(const TContextPopupEvent& value) { FOnContextPopup = value; }

  // Methods
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Runs OnClick (buttons: after their own click behaviour).
  virtual void Click();
  virtual void Invalidate();
  virtual void Update();
  virtual void BringToFront();
  // The form the control sits on (following parents), or null.
  TCustomForm* GetParentForm() const;

  // Streaming: the parent is the enclosing block of a form file.
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const override { return true; }

 protected:
  // Hooks for descendants.
  virtual void VisibleChanged();
  virtual void EnabledChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void TextChanged();
  // The parent's font or colour changed (or the control got a new parent).
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  // Updates the cached bounds without moving anything (a window reported its new place).
  void UpdateBoundsCache(int32_t left, int32_t top, int32_t width, int32_t height);
  virtual TColor DefaultColor() const { return clBtnFace; }
  virtual bool DefaultParentColor() const { return true; }
  void Loaded() override;
  // Raise the mouse, key and context events; descendants add their own behaviour.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void KeyDown(uint16_t& key, TShiftState shift);
  virtual void DoContextPopup(POINT mousePos, bool& handled);

  std::string FCaption;
  bool FVisible = true;
  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = 0;
  int32_t FHeight = 0;

 private:
  friend class TWinControl;
  void FontChange(TObject* sender);

  TWinControl* FParent = nullptr;
  bool FEnabled = true;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TFont* FFont;
  bool FParentFont = true;
  bool FUpdatingFont = false;
  TColor FColor = clBtnFace;
  bool FParentColor = true;
  TNotifyEvent FOnClick;
  TMouseEvent FOnMouseDown;
  TMouseMoveEvent FOnMouseMove;
  TMouseEvent FOnMouseUp;
  TKeyEvent FOnKeyDown;
  TContextPopupEvent FOnContextPopup;
};

// What CreateParams fills in for the window a control creates.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  HMENU Menu = nullptr;               // child id for child windows
  std::string WinClassName;           // the class the window is created with
  std::string SubclassOf;             // non-empty: a system class ("Button", ...) used as is
  UINT ClassStyle = CS_DBLCLKS;       // own classes only
  HBRUSH Background = nullptr;        // own classes only
};

// A control with its own window. The window is created on first use of Handle() (or when the
// parent's window is created) and destroyed with the control; RecreateWnd makes a new one with
// the same state. Every message goes through WindowProc (default: WndProc), so a component can
// replace it and pass messages on.
class TWinControl : public TControl {
  KYT_CLASS(TWinControl, TControl)
 public:
  static void Publish(TPublisher<TWinControl>& p) {
    p.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).StoredIf(
        [](const TWinControl& c) { return c.TabStop() != c.DefaultTabStop(); });
  }

  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // Properties
  // The window, created on first use (also at design time). Raises EOutOfResources when the
  // platform refuses to create it.
  HWND Handle() const;
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() const { (void)Handle(); }

  // Controls parented to this one, in insertion order.
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // EListError when index is out of range.
  TControl* Controls(int index) const;
  bool ContainsControl(const TControl* control) const;

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);

  // The window method every message goes through; defaults to calling WndProc (after the form
  // designer's hook of a designed control). Replace it to watch messages and call the method you
  // replaced to pass them on.
  const TWndMethod& WindowProc() const { return FWindowProc; }
  void SetWindowProc(TWndMethod method);

  // Methods
  // Destroys the window (keeping text, items and state) and creates a new one if it existed.
  void RecreateWnd();
  // Destroys the window and its children's windows, keeping their state.
  void DestroyHandle();
  // Sends a message straight to WindowProc (no platform call) and returns its Result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  bool Focused() const;
  bool CanFocus() const;
  virtual void SetFocus();
  void Invalidate() override;
  void Update() override;
  void BringToFront() override;
  // Moves the real window after a bounds change.
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  RECT ClientRect() const override;
  POINT ClientOrigin() const override;
  bool Showing() const override;

  // The control that owns window (created by the runtime), or null.
  static TWinControl* FindControl(HWND window);

  // Tells the control about a child it now contains (SetParent does this).
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void GetChildren(std::vector<TComponent*>& children, const TComponent& root) const override;
  // Two controls of this one change places in its list of controls (and so in the form file).
  void SetChildOrder(TComponent* child, TComponent* place) override;

  // Whether a message of the control's window is being handled now (a handler that pumps
  // messages nests more of them).
  bool HandlingMessage() const { return FMessageFrame != nullptr; }
  // Counts as handling a message of the control's window while it lives. The window procedure
  // holds one per message; so does a hook that sees the message before the window procedure, so
  // a Release made inside the hook waits until the hook is done too.
  class TMessageScope;

 protected:
  // Runs when the control has finished handling its outermost message.
  virtual void MessagesHandled() {}
  // A control read while its parent had a window already gets its own here.
  void Loaded() override;
  // Describes the window to create; descendants add styles and choose the class.
  virtual void CreateParams(TCreateParams& params);
  // Creates the window from the parameters (registering own classes once).
  virtual void CreateWnd();
  // Called after the window exists: pushes state (text, font, items) into it.
  virtual void CreateWindowHandleDone();
  // Called while the window is being destroyed: saves state the window holds.
  virtual void DestroyWnd();
  // Default handling of a message; descendants handle theirs and call the inherited WndProc.
  virtual void WndProc(TMessage& message);
  // Hands the message to the window's original procedure (the system class or DefWindowProc).
  void DefaultHandler(TMessage& message);
  // Notifications reflected from the parent: WM_COMMAND codes, WM_NOTIFY records, owner-draw
  // requests and WM_CTLCOLOR... requests. The bool ones return whether they handled it; the
  // parent's default handling runs otherwise.
  virtual void CommandNotify(UINT code);
  virtual bool NotifyReflected(NMHDR& header, LRESULT& result);
  virtual bool DrawItem(const DRAWITEMSTRUCT& item);
  virtual bool MeasureItem(MEASUREITEMSTRUCT& item);
  virtual bool ControlColor(HDC dc, LRESULT& brush);
  virtual void Paint(HDC dc);
  virtual bool DefaultTabStop() const { return false; }
  // Whether the window is a top-level window (forms) rather than a child of the parent's window.
  virtual bool IsTopLevel() const { return false; }
  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void TextChanged() override;
  void ParentFontChanged() override;
  void ParentColorChanged() override;
  // Reads the window's place into the bounds cache (at WM_WINDOWPOSCHANGED, before the default
  // handling sends WM_SIZE and WM_MOVE, and again after it).
  virtual void UpdateBoundsFromWindow();
  // Shows or hides the window to match Showing().
  virtual void UpdateShowing();
  // Background brush for the control's colour (owned by the control).
  HBRUSH ColorBrush();
  // The parked window children live in while they have no parent window.
  static HWND ParkingWindow();

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;

 private:
  friend class TControl;
  friend struct WinControlAccess;
  void MainWndProc(TMessage& message);
  void CreateHandle();
  // One per message being handled, innermost first; the destructor marks them all, so a control
  // freed by its own handler is never touched again on the way out.
  struct TMessageFrame {
    TMessageFrame* Outer;
    bool Destroyed;
  };

 public:
  class TMessageScope {
   public:
    explicit TMessageScope(TWinControl* control);
    // The outermost scope tells the control its messages are handled (a pending Release goes).
    ~TMessageScope();
    TMessageScope(const TMessageScope&) = delete;
    TMessageScope& operator=(const TMessageScope&) = delete;
    // True once the control was freed inside the scope: it is then never touched again.
    bool ControlDestroyed() const { return FFrame.Destroyed; }

   private:
    TWinControl* FControl;
    TMessageFrame FFrame;
  };

 private:
  void CreateChildHandles();
  // The child whose window has the control id (owner-draw requests name only that).
  TWinControl* FindChildById(UINT id) const;
  // The default window method: the designer's turn, then WndProc.
  void DesignedWndProc(TMessage& message);
  // The designer's turn, then the mouse, key and context events; true when the message is used.
  bool DesignMessage(TMessage& message);
  bool InputMessage(TMessage& message);
  void AttachWindow(HWND window);
  void DetachWindow();
  void ApplyFont();

  std::vector<TControl*> FControls;
  TWndMethod FWindowProc;
  WNDPROC FObjectInstance = nullptr;
  TMessageFrame* FMessageFrame = nullptr;
  UINT FControlId = 0;  // child windows: unique in the process, for owner-draw requests
  bool FTabStop = false;
  bool FCreating = false;
  os::UniqueHBrush FBrush;
  COLORREF FBrushColor = 0;
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_CONTROLS_H
