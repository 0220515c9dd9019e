// ExtCtrls: the panel (own window class, painted bevels) and the timer (platform timer on a
// hidden window of its own).
#include "host/vcl/ExtCtrls.h"

#include "host/os/OsSeam.h"

namespace kyt {

// ---------------------------------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  UpdateBoundsCache(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TPanel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
  params.WinClassName = "TPanel";
}

void TPanel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel value) {
  FBevelInner = value;
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel value) {
  FBevelOuter = value;
  Invalidate();
}

void TPanel::SetBevelWidth(int32_t value) {
  FBevelWidth = value < 1 ? 1 : value;
  Invalidate();
}

void TPanel::Paint(HDC dc) {
  RECT r{};
  os::user32.GetClientRect(FHandle, &r);
  auto bevel = [&](TPanelBevel b) {
    if (b == bvNone) return;
    for (int i = 0; i < FBevelWidth; ++i) {
      os::user32.DrawEdge(dc, &r, b == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
  };
  bevel(FBevelOuter);
  bevel(FBevelInner);
  const std::string text = Caption();
  if (text.empty()) return;
  HGDIOBJ old = os::gdi32.SelectObject(dc, Font()->Handle());
  os::gdi32.SetBkMode(dc, 1 /* TRANSPARENT */);
  os::gdi32.SetTextColor(dc, ColorToRGB(Font()->Color()));
  const UINT align = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  os::user32.DrawTextA(dc, text.c_str(), -1, &r, align | DT_VCENTER | DT_SINGLELINE);
  os::gdi32.SelectObject(dc, old);
}

void TPanel::WndProc(TMessage& message) {
  if (message.Msg == WM_LBUTTONUP) Click();
  TWinControl::WndProc(message);
  if (message.Msg == WM_SETTEXT) Invalidate();
}

// ---------------------------------------------------------------------------------------- TTimer

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  FWindowHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
  DeallocateHWnd(FWindowHandle);
  FWindowHandle = nullptr;
}

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t value) {
  if (value == FInterval) return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& value) {
  FOnTimer = value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (FActive) {
    os::user32.KillTimer(FWindowHandle, 1);
    FActive = false;
  }
  if (FEnabled && FInterval != 0 && FOnTimer && FWindowHandle) {
    if (!os::user32.SetTimer(FWindowHandle, 1, FInterval, nullptr))
      throw EOutOfResources("Not enough timers available");
    FActive = true;
  }
}

void TTimer::Timer() { FOnTimer(this); }

void TTimer::WndProc(TMessage& message) {
  if (message.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (...) {
      HandleBoundaryException(this);
    }
    message.Result = 0;
    return;
  }
  message.Result = os::user32.DefWindowProcA(FWindowHandle, message.Msg, message.WParam, message.LParam);
}

}  // namespace kyt
