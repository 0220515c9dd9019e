// KYTTFormExplode: the show and hide animations and the takeover of the form's events.
#include "forms/KYTTFormExplode.h"

#include <array>

#include "host/core/ComponentRef.h"
#include "host/core/Exceptions.h"
#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/rtl/Types.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTFormExplode::StaticClass());
  return true;
}();

// Checked before the component joins its owner, so a refused owner leaves nothing behind.
TComponent* RequireFormOwner(TComponent* owner) {
  if (!owner) throw EInvalidCast("Invalid class typecast: a form explode needs an owner that is a TForm");
  ObjectCast<TForm>(owner);
  return owner;
}

// Half of n rounded to the nearest integer, a half to the even neighbour.
int32_t HalfToEven(int32_t n) {
  int32_t h = n / 2;
  if (n % 2 != 0 && h % 2 != 0) h += n > 0 ? 1 : -1;
  return h;
}

// The screen's drawing context prepared for inverted outlines: black pen, hollow brush and the
// not-xor mode; the previous pen, brush and mode go back and the context is released on every
// path out, an exception from OnGetPoints included.
class TScreenInverter {
 public:
  TScreenInverter()
      : FDC(nullptr),
        FPen(FDC.get(), os::gdi32.GetStockObject(BLACK_PEN)),
        FBrush(FDC.get(), os::gdi32.GetStockObject(NULL_BRUSH)),
        FMode(FDC.get(), R2_NOTXORPEN) {}
  HDC DC() const { return FDC.get(); }

 private:
  os::ScopedWindowDC FDC;  // declared first: released last
  os::ScopedSelectObject FPen;
  os::ScopedSelectObject FBrush;
  os::ScopedROP2 FMode;
};

void Outline(HDC dc, const TRect& r) { os::gdi32.Rectangle(dc, r.Left, r.Top, r.Right, r.Bottom); }

TRect Offset(const TRect& r, const TRect& by, int32_t times) {
  return {r.Left + by.Left * times, r.Top + by.Top * times, r.Right + by.Right * times,
          r.Bottom + by.Bottom * times};
}

// The outlines of one animation as runs of evenly spaced rectangles. It remembers what it drew,
// so that an animation cut short can take its outlines off the screen again (in the inverting
// mode drawing them once more does that, in any order). Holds no more than four runs.
class TOutlines {
 public:
  explicit TOutlines(HDC dc) : FDC(dc) {}

  // Draws count outlines from `from`, moving by step after each and letting the application
  // handle its messages after each. False, with every outline taken off again, when that freed
  // the component self watches.
  template <class T>
  bool Pass(const TRect& from, const TRect& step, int32_t count, const TComponentRef<T>& self) {
    Run& run = Start(from, step);
    for (int32_t i = 0; i < count; ++i) {
      Outline(FDC, Offset(from, step, i));
      ++run.Drawn;
      Application->ProcessMessages();
      if (!self) {
        Erase();
        return false;
      }
    }
    return true;
  }
  void Single(const TRect& r) {
    Outline(FDC, r);
    ++Start(r, TRect()).Drawn;
  }
  // Draws everything drawn so far once more.
  void Erase() {
    for (int i = 0; i < FCount; ++i)
      for (int32_t k = 0; k < FRuns[i].Drawn; ++k) Outline(FDC, Offset(FRuns[i].From, FRuns[i].Step, k));
    FCount = 0;
  }

 private:
  struct Run {
    TRect From;
    TRect Step;
    int32_t Drawn = 0;
  };
  Run& Start(const TRect& from, const TRect& step) {
    FRuns[FCount] = Run{from, step, 0};
    return FRuns[FCount++];
  }

  HDC FDC;
  std::array<Run, 4> FRuns{};
  int FCount = 0;
};

TRect FormRect(const TForm& form) {
  return Bounds(form.Left(), form.Top(), form.Width(), form.Height());
}

// Per-step increments from a to b in n steps, truncated toward zero.
TRect Increments(const TRect& from, const TRect& to, int32_t n) {
  return {(to.Left - from.Left) / n, (to.Top - from.Top) / n, (to.Right - from.Right) / n,
          (to.Bottom - from.Bottom) / n};
}

}  // namespace

TKYTFormExplode::TKYTFormExplode(TComponent* AOwner)
    : inherited(RequireFormOwner(AOwner)), FForm(ObjectCast<TForm>(AOwner)) {
  // Form files and the designer see the form's own handlers while ours sit in its events.
  RegisterMethodStandIn(TNotifyEvent::Bind<&TKYTFormExplode::MyOnShow>(this).Method(),
                        {[this] { return FOldOnShow.Method(); },
                         [this](const TMethod& m) { FOldOnShow = TNotifyEvent::FromMethod(m); }});
  RegisterMethodStandIn(TNotifyEvent::Bind<&TKYTFormExplode::MyOnPaint>(this).Method(),
                        {[this] { return FOldOnPaint.Method(); },
                         [this](const TMethod& m) { FOldOnPaint = TNotifyEvent::FromMethod(m); }});
  RegisterMethodStandIn(TNotifyEvent::Bind<&TKYTFormExplode::MyOnHide>(this).Method(),
                        {[this] { return FOldOnHide.Method(); },
                         [this](const TMethod& m) { FOldOnHide = TNotifyEvent::FromMethod(m); }});
  HookEvents();
  FArmed = true;
}

TKYTFormExplode::~TKYTFormExplode() {
  const TNotifyEvent ownShow = TNotifyEvent::Bind<&TKYTFormExplode::MyOnShow>(this);
  const TNotifyEvent ownPaint = TNotifyEvent::Bind<&TKYTFormExplode::MyOnPaint>(this);
  const TNotifyEvent ownHide = TNotifyEvent::Bind<&TKYTFormExplode::MyOnHide>(this);
  // A second animation on the form that keeps ours as its form's own handler takes ours instead.
  UnregisterMethodStandIn(ownShow.Method());
  UnregisterMethodStandIn(ownPaint.Method());
  UnregisterMethodStandIn(ownHide.Method());
  if (FForm->OnShow() == ownShow) FForm->SetOnShow(FOldOnShow);
  if (FForm->OnPaint() == ownPaint) FForm->SetOnPaint(FOldOnPaint);
  if (FForm->OnHide() == ownHide) FForm->SetOnHide(FOldOnHide);
}

void TKYTFormExplode::HookEvents() {
  struct Slot {
    const TNotifyEvent& (TCustomForm::*Get)() const;
    void (TCustomForm::*Set)(const TNotifyEvent&);
    TNotifyEvent Own;
    TNotifyEvent* Kept;
  };
  const Slot slots[] = {
      {&TCustomForm::OnShow, &TCustomForm::SetOnShow, TNotifyEvent::Bind<&TKYTFormExplode::MyOnShow>(this), &FOldOnShow},
      {&TCustomForm::OnPaint, &TCustomForm::SetOnPaint, TNotifyEvent::Bind<&TKYTFormExplode::MyOnPaint>(this), &FOldOnPaint},
      {&TCustomForm::OnHide, &TCustomForm::SetOnHide, TNotifyEvent::Bind<&TKYTFormExplode::MyOnHide>(this), &FOldOnHide},
  };
  for (const Slot& slot : slots) {
    const TNotifyEvent current = (FForm->*slot.Get)();
    // Ours already, or a later animation's that calls ours: the form's own handler stays kept.
    if (MethodChainHolds(current.Method(), slot.Own.Method())) continue;
    *slot.Kept = current;
    (FForm->*slot.Set)(slot.Own);
  }
}

// Leaves the slot's chain until the next HookEvents: where another component took the slot
// after this one, that component is handed the handler kept here, so it stays in the slot.
void TKYTFormExplode::StepAside(const TNotifyEvent& (TCustomForm::*get)() const,
                                void (TCustomForm::*set)(const TNotifyEvent&), const TNotifyEvent& own) {
  (FForm->*set)(TNotifyEvent::FromMethod(MethodChainWithout((FForm->*get)().Method(), own.Method())));
}

void TKYTFormExplode::GetSrect(int32_t& Left, int32_t& Top, int32_t& Right, int32_t& Bottom, TKYTWipeType Wipe) {
  const int32_t fl = FForm->Left(), ft = FForm->Top(), fw = FForm->Width(), fh = FForm->Height();
  const int32_t sw = Screen ? Screen->Width() : 0, sh = Screen ? Screen->Height() : 0;
  TRect r;
  switch (Wipe) {
    case wsFormTopBorder: r = {fl, ft, fl + fw, ft}; break;
    case wsFormBottomBorder: r = {fl, ft + fh, fl + fw, ft + fh}; break;
    case wsFormLeftBorder: r = {fl, ft, fl, ft + fh}; break;
    case wsFormRightBorder: r = {fl + fw, ft, fl + fw, ft + fh}; break;
    case wsScreenTopBorder: r = {0, 0, sw, 0}; break;
    case wsScreenBottomBorder: r = {0, sh, sw, sh}; break;
    case wsScreenLeftBorder: r = {0, 0, 0, sh}; break;
    case wsScreenRightBorder: r = {sw, 0, sw, sh}; break;
    case wsFormTopLeft: r = {fl, ft, fl + 5, ft + 5}; break;
    case wsFormBottomLeft: r = {fl, ft + fh - 5, fl + 5, ft + fh}; break;
    case wsFormTopRight: r = {fl + fw, ft, fl + fw - 5, ft + 5}; break;
    case wsFormBottomRight: r = {fl + fw, ft + fh, fl + fw - 5, ft + fh - 5}; break;
    case wsScreenTopLeft: r = {0, 0, 5, 5}; break;
    case wsScreenBottomLeft: r = {0, sh - 5, 5, sh}; break;
    case wsScreenTopRight: r = {sw, 0, sw - 5, 5}; break;
    case wsScreenBottomRight: r = {sw, sh, sw - 5, sh - 5}; break;
    case wsFormMiddle: {
      const int32_t h = HalfToEven(fw), v = HalfToEven(fh);
      r = {fl + h - 2, ft + v - 2, fl + h + 2, ft + v + 2};
      break;
    }
    case wsScreenMiddle: {
      const int32_t h = HalfToEven(sw), v = HalfToEven(sh);
      r = {h - 2, v - 2, h + 2, v + 2};
      break;
    }
    case wsCustompoint: r = {FCustomLeft, FCustomTop, FCustomRight, FCustomBottom}; break;
  }
  Left = r.Left;
  Top = r.Top;
  Right = r.Right;
  Bottom = r.Bottom;
  FOnGetPoints(this, Left, Top, Right, Bottom);
}

// Events of the form

void TKYTFormExplode::Animate(void (TKYTFormExplode::*Run)(HDC, TForm*, uint16_t)) {
  TScreenInverter screen;
  (this->*Run)(screen.DC(), FForm, FNoOfSteps);
}

void TKYTFormExplode::MyOnShow(TObject* Sender) {
  TComponentRef<TKYTFormExplode> self(this);
  if (ShowAllowed() && FArmed) {
    Animate(&TKYTFormExplode::ShowForm);
    if (!self) return;
    FArmed = false;
  }
  const TNotifyEvent own = FOldOnShow;
  StepAside(&TCustomForm::OnShow, &TCustomForm::SetOnShow, TNotifyEvent::Bind<&TKYTFormExplode::MyOnShow>(this));
  own(Sender);
  if (!self) return;
  Application->ProcessMessages();
}

void TKYTFormExplode::MyOnPaint(TObject* Sender) {
  TComponentRef<TKYTFormExplode> self(this);
  FArmed = true;
  const TNotifyEvent own = FOldOnPaint;
  StepAside(&TCustomForm::OnPaint, &TCustomForm::SetOnPaint, TNotifyEvent::Bind<&TKYTFormExplode::MyOnPaint>(this));
  own(Sender);
  if (!self) return;
  Application->ProcessMessages();
  if (!self) return;
  HookEvents();
}

void TKYTFormExplode::MyOnHide(TObject* Sender) {
  TComponentRef<TKYTFormExplode> self(this);
  if (HideAllowed() && FArmed) {
    Animate(&TKYTFormExplode::HideForm);
    if (!self) return;
    FArmed = false;
    Application->ProcessMessages();
    if (!self) return;
  }
  const TNotifyEvent own = FOldOnHide;
  StepAside(&TCustomForm::OnHide, &TCustomForm::SetOnHide, TNotifyEvent::Bind<&TKYTFormExplode::MyOnHide>(this));
  own(Sender);
  if (!self) return;
  Application->ProcessMessages();
  if (!self) return;
  FArmed = true;
}

// Animations

void TKYTFormExplode::ShowForm(HDC DC, TForm* Form, uint16_t Steps) {
  TComponentRef<TKYTFormExplode> self(this);
  const int32_t n = Steps ? Steps : 1;
  TRect start;
  GetSrect(start.Left, start.Top, start.Right, start.Bottom, FOnShowType);
  if (!self) return;
  const TRect form = FormRect(*Form);
  const TRect step = Increments(start, form, n);
  TOutlines outlines(DC);
  if (!outlines.Pass(start, step, n + 1, self)) return;
  // The start again (OnGetPoints a second time); the second pass erases the first. A handler
  // that raises or frees the component leaves no outline behind.
  try {
    GetSrect(start.Left, start.Top, start.Right, start.Bottom, FOnShowType);
  } catch (...) {
    outlines.Erase();
    throw;
  }
  if (!self) return outlines.Erase();
  outlines.Single(form);
  if (!outlines.Pass(start, step, n + 1, self)) return;
  Outline(DC, form);
}

void TKYTFormExplode::HideForm(HDC DC, TForm* Form, uint16_t Steps) {
  TComponentRef<TKYTFormExplode> self(this);
  const int32_t n = Steps ? Steps : 1;
  TRect end;
  GetSrect(end.Left, end.Top, end.Right, end.Bottom, FOnCloseType);
  if (!self) return;
  const TRect form = FormRect(*Form);
  const TRect step = Increments(end, form, n);
  const TRect back{-step.Left, -step.Top, -step.Right, -step.Bottom};
  TOutlines outlines(DC);
  if (!outlines.Pass(form, back, n + 1, self)) return;
  outlines.Single(end);
  if (!outlines.Pass(form, back, n + 1, self)) return;
  Outline(DC, end);
}

}  // namespace kyt
