// ExtCtrls: the panel (a container control with a bevel and a centred caption) and the timer
// (a component that ticks through the message loop).
#ifndef KYT_HOST_VCL_EXTCTRLS_H
#define KYT_HOST_VCL_EXTCTRLS_H

#include <cstdint>

#include "host/core/Component.h"
#include "host/core/Events.h"
#include "host/core/TypeInfo.h"
#include "host/vcl/Controls.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

enum TPanelBevel : uint8_t { bvNone, bvLowered, bvRaised };
KYT_ENUM_INFO(TPanelBevel, "bvNone", "bvLowered", "bvRaised")

// A container control of its own window class "TPanel".
class TPanel : public TWinControl {
  KYT_CLASS(TPanel, TWinControl)
 public:
  static void Publish(TPublisher<TPanel>& p) {
    p.Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
    p.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
    p.Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    p.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
    p.Property("Caption", &TPanel::Caption, &TPanel::SetCaption).TypeName("TCaption");
  }

  explicit TPanel(TComponent* owner);

  // Properties
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel value);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel value);
  int32_t BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int32_t value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint(HDC dc) override;
  bool DefaultParentColor() const override { return false; }

 private:
  TAlignment FAlignment = taCenter;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  int32_t FBevelWidth = 1;
};

// A timer: while Enabled, with a non-zero Interval and an OnTimer handler, it raises OnTimer
// every Interval milliseconds from the message loop (through a hidden window of its own). It
// ticks in the designing state too.
class TTimer : public TComponent {
  KYT_CLASS(TTimer, TComponent)
 public:
  static void Publish(TPublisher<TTimer>& p) {
    p.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    p.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000u);
    p.Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
  }

  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  // Properties
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Milliseconds; 0 stops the timer.
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t value);
  // The hidden window the ticks arrive at.
  HWND WindowHandle() const { return FWindowHandle; }
  // Whether a platform timer is running now.
  bool Active() const { return FActive; }

  // Events
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& value);

 protected:
  // Runs OnTimer.
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  bool FEnabled = true;
  uint32_t FInterval = 1000;
  HWND FWindowHandle = nullptr;
  bool FActive = false;
  TNotifyEvent FOnTimer;
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_EXTCTRLS_H
