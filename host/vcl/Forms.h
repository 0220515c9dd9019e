// Forms: top-level windows of the application. A form has a window state kept in step with its
// real window, a border style and position, a modal loop, and event slots (OnCreate, OnShow,
// OnHide, OnPaint, OnClose, OnDestroy) that components read and replace.
#ifndef KYT_HOST_VCL_FORMS_H
#define KYT_HOST_VCL_FORMS_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/core/TypeInfo.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/Menus.h"

namespace kyt {

enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
KYT_ENUM_INFO(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")

enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
KYT_ENUM_INFO(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
              "bsSizeToolWin")

enum TPosition : uint8_t { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
KYT_ENUM_INFO(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
              "poScreenCenter")

enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
KYT_ENUM_INFO(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp")
using TBorderIcons = TSet<TBorderIcon>;

enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
KYT_ENUM_INFO(TCloseAction, "caNone", "caHide", "caFree", "caMinimize")

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// Modal results: what ShowModal returns and what buttons set.
using TModalResult = int;
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;
inline constexpr int mrAll = 8;
inline constexpr int mrNoToAll = 9;
inline constexpr int mrYesToAll = 10;

// A top-level window: the base of every form. Its window is owned by the application window
// (no task bar button of its own) and its window class is named after its class (TForm, ...).
class TCustomForm : public TWinControl {
  KYT_CLASS(TCustomForm, TWinControl)
 public:
  // A plain form (no form file). Forms are normally owned by Application.
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Finishes construction once the most-derived constructor has run: reads the form file of the
  // class from its RCDATA resource (named like the class, upper case) when there is one, then
  // runs OnCreate. Application->CreateForm and NewForm call it; a second call does nothing. A
  // resource the platform cannot look up or load raises EResNotFound.
  virtual void AfterConstruction();
  // Runs OnDestroy and frees the form's components while the form is whole (FreeComponent and
  // the owner call it); a form freed with a plain delete does the same from its destructor.
  void BeforeDestruction() override;
  // Reads a form file into this form (its class name must be the file's root class).
  void LoadFormFile(const std::string& path);
  void LoadFormText(const std::string& text, const std::string& fileName);
  // The form file of cls (a form's or a frame's) from its RCDATA resource, named like the class,
  // upper case; false when it has none. The program's form file source.
  static bool ResourceFormFile(const TClassInfo& cls, std::string& text, std::string& fileName);

  // Properties
  TWindowState WindowState() const { return FWindowState; }
  // Applies the state to a showing window at once, otherwise when the form is shown.
  void SetWindowState(TWindowState value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition value);
  // Three-dimensional look (kept for form files; the platform always draws it).
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value) { FCtl3D = value; }
  // The form's own icon; empty means the application's icon.
  TIcon* Icon() const { return FIcon; }
  void SetIcon(TIcon* value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }
  // The menu bar; null for none. The menu shows on one form at a time. A freed menu leaves.
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* value);
  // The form designer's hook while the form is designed (null otherwise); it sees the mouse and
  // key messages of the form and its designed controls first. Not owned: whoever sets it clears
  // it before the hook goes.
  TDesignHook* Designer() const { return FDesigner; }
  void SetDesigner(TDesignHook* value) { FDesigner = value; }

  TModalResult ModalResult() const { return FModalResult; }
  // Non-zero while ShowModal runs ends the modal loop with that result, at once also when it is
  // set from a message sent by another thread or process.
  void SetModalResult(TModalResult value);
  bool Modal() const { return FModal; }
  bool Active() const;
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* control);

  // Events
  const TNotifyEvent& OnCreate() const { return FOnCreate; }
  void SetOnCreate(const TNotifyEvent& value) { FOnCreate = value; }
  // Runs each time the form becomes visible, from Show, SetVisible(true) or ShowModal, before
  // the window appears; an exception propagates to the caller.
  const TNotifyEvent& OnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& value) { FOnShow = value; }
  // Runs after the window has been hidden.
  const TNotifyEvent& OnHide() const { return FOnHide; }
  void SetOnHide(const TNotifyEvent& value) { FOnHide = value; }
  // Runs for WM_PAINT between BeginPaint and EndPaint; PaintDC() is the context then.
  const TNotifyEvent& OnPaint() const { return FOnPaint; }
  void SetOnPaint(const TNotifyEvent& value) { FOnPaint = value; }
  const TCloseEvent& OnClose() const { return FOnClose; }
  void SetOnClose(const TCloseEvent& value) { FOnClose = value; }
  const TCloseQueryEvent& OnCloseQuery() const { return FOnCloseQuery; }
  void SetOnCloseQuery(const TCloseQueryEvent& value) { FOnCloseQuery = value; }
  // Runs at the start of destruction, while the controls still exist.
  const TNotifyEvent& OnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(const TNotifyEvent& value) { FOnDestroy = value; }
  const TNotifyEvent& OnActivate() const { return FOnActivate; }
  void SetOnActivate(const TNotifyEvent& value) { FOnActivate = value; }
  const TNotifyEvent& OnDeactivate() const { return FOnDeactivate; }
  void SetOnDeactivate(const TNotifyEvent& value) { FOnDeactivate = value; }
  const TNotifyEvent& OnResize() const { return FOnResize; }
  void SetOnResize(const TNotifyEvent& value) { FOnResize = value; }

  // Methods
  // Makes the form visible (OnShow first) and brings it to the front.
  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose with caHide: caHide hides, caFree frees the form later
  // (Release), caMinimize minimises, caNone cancels. Closing the main form terminates the
  // application instead. Closing a modal form sets ModalResult to mrCancel.
  void Close();
  virtual bool CloseQuery();
  // Shows the form modally: disables the other windows of the thread, runs the message loop
  // until ModalResult is non-zero (Escape and the close box give mrCancel), hides the form and
  // returns the result. Raises EInvalidOperation for a visible or disabled form.
  virtual TModalResult ShowModal();
  // Frees the form once the messages already queued are handled, and never while a message of
  // its own is still being handled (an animation in OnPaint that pumps messages, say): then it
  // goes when that message is done.
  void Release();
  // The device context while OnPaint runs (null otherwise).
  HDC PaintDC() const { return FPaintDC; }
  // Handles Tab, Enter, Escape and Alt accelerators for the controls of the form; returns true
  // when the key was used. The application calls it for keys aimed at the form's windows.
  virtual bool DialogKey(const MSG& msg);
  // The push button that Enter / Escape press (Default / Cancel), or null.
  TWinControl* DefaultButton() const;
  TWinControl* CancelButton() const;

  void SetFocus() override;
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;

  // Runtime internals: the application minimised or restored the main form; a control left
  // the form; the application's icon changed.
  void ApplicationMinimized();
  void ApplicationRestored();
  void ControlRemoved(TControl* control);
  void UpdateIcon();
  // The application's handling of a Release: frees the form now, or once its own messages are
  // handled.
  void FreeReleased();

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void VisibleChanged() override;
  void UpdateShowing() override;
  void UpdateBoundsFromWindow() override;
  void FocusFirstControl();
  void CloseModal();
  bool IsTopLevel() const override { return Parent() == nullptr; }
  bool DefaultParentColor() const override { return false; }
  void Loaded() override;
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void DoDestroy();
  virtual void Paint(HDC dc) override;
  void MessagesHandled() override;

 private:
  void FinishForm();  // OnDestroy once, then the owned components
  [[noreturn]] static void ResourceUnreadable(const std::string& name);
  void ApplyWindowState();
  void CenterOnScreen();
  void IconChange(TObject* sender);
  int ShowCommand() const;

  TWindowState FWindowState = wsNormal;
  TWindowState FStateBeforeMinimize = wsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  bool FCtl3D = true;
  bool FKeyPreview = false;
  TIcon* FIcon;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FConstructed = false;
  bool FShownOnce = false;
  bool FInShowing = false;
  bool FDestroyCalled = false;
  bool FReleasePending = false;
  HDC FPaintDC = nullptr;
  TWinControl* FActiveControl = nullptr;
  TDesignHook* FDesigner = nullptr;
  TMainMenu* FMenu = nullptr;
  TNotifyEvent FOnCreate;
  TNotifyEvent FOnShow;
  TNotifyEvent FOnHide;
  TNotifyEvent FOnPaint;
  TCloseEvent FOnClose;
  TCloseQueryEvent FOnCloseQuery;
  TNotifyEvent FOnDestroy;
  TNotifyEvent FOnActivate;
  TNotifyEvent FOnDeactivate;
  TNotifyEvent FOnResize;
};

// The form class applications derive from; it publishes the form's properties and event slots
// for form files.
class TForm : public TCustomForm {
  KYT_CLASS(TForm, TCustomForm)
 public:
  static void Publish(TPublisher<TForm>& p) {
    p.Property("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    p.Property("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle).Default(bsSizeable);
    p.Property("Caption", &TForm::Caption, &TForm::SetCaption).TypeName("TCaption");
    p.Property("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight).Stored(TStored::Never);
    p.Property("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth).Stored(TStored::Never);
    p.Property("Ctl3D", &TForm::Ctl3D, &TForm::SetCtl3D).Default(true);
    p.Property("Icon", &TForm::Icon, &TForm::SetIcon);
    p.Property("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).Default(false);
    p.Property("Menu", &TForm::Menu, &TForm::SetMenu);
    // Replaces the inherited ParentFont: a form has its own font.
    p.Property("ParentFont", &TForm::ParentFont, &TForm::SetParentFont).Default(false);
    p.Property("Position", &TForm::Position, &TForm::SetPosition).Default(poDesigned);
    // Replaces the inherited Visible: forms start hidden.
    p.Property("Visible", &TForm::Visible, &TForm::SetVisible).Default(false);
    p.Property("WindowState", &TForm::WindowState, &TForm::SetWindowState).Default(wsNormal);
    p.Property("OnActivate", &TForm::OnActivate, &TForm::SetOnActivate);
    p.Property("OnClose", &TForm::OnClose, &TForm::SetOnClose);
    p.Property("OnCloseQuery", &TForm::OnCloseQuery, &TForm::SetOnCloseQuery);
    p.Property("OnCreate", &TForm::OnCreate, &TForm::SetOnCreate);
    p.Property("OnDeactivate", &TForm::OnDeactivate, &TForm::SetOnDeactivate);
    p.Property("OnDestroy", &TForm::OnDestroy, &TForm::SetOnDestroy);
    p.Property("OnHide", &TForm::OnHide, &TForm::SetOnHide);
    p.Property("OnPaint", &TForm::OnPaint, &TForm::SetOnPaint);
    p.Property("OnResize", &TForm::OnResize, &TForm::SetOnResize);
    p.Property("OnShow", &TForm::OnShow, &TForm::SetOnShow);
  }

  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// A frame: a borderless child control holding components of its own, designed in a form file
// of its own (an RCDATA resource named like the class, upper case, as a form's) and placed on
// forms either from a form's file (an `inline` block, which holds only what differs) or in code
// with NewFrame. Its components are owned by the frame, so two frames of one class on a form do
// not clash.
class TFrame : public TWinControl {
  KYT_CLASS(TFrame, TWinControl)
 public:
  explicit TFrame(TComponent* owner);
  // Finishes a frame made in code (NewFrame calls it): inline in its owner's form, its own form
  // files read, parented by its owner when that is a windowed control.
  void FinishFrame();

 protected:
  void CreateParams(TCreateParams& params) override;
};

// Creates a frame of class T owned (and parented) by owner when that is a windowed control, and
// reads its own form files, the farthest ancestor's first. The frame counts as inline in its
// owner's form, so the owner's file writes only what differs from the frame's own file.
template <class T>
T* NewFrame(TComponent* owner) {
  T* frame = new T(owner);
  try {
    frame->FinishFrame();
  } catch (...) {
    FreeComponent(frame);
    throw;
  }
  return frame;
}

// Creates a form of class T owned by owner and finishes its construction (form file, OnCreate).
template <class T>
T* NewForm(TComponent* owner) {
  T* form = new T(owner);
  try {
    form->AfterConstruction();
  } catch (...) {
    FreeComponent(form);
    throw;
  }
  return form;
}

}  // namespace kyt

#endif  // KYT_HOST_VCL_FORMS_H
