// KYTTMouseController: fences the mouse cursor into a rectangle of the screen (or a control's
// client area) and places it; the fence is dropped when the owner form is told to cancel modes.
#ifndef KYT_FORMS_KYTTMOUSECONTROLLER_H
#define KYT_FORMS_KYTTMOUSECONTROLLER_H

#include <cstdint>

#include "framework/KYTTFormHook.h"
#include "host/rtl/Types.h"
#include "host/vcl/Controls.h"

namespace kyt {

// The fence is the platform's one cursor clip for the whole desktop: a new fence replaces any
// earlier one, whoever set it. All coordinates are screen pixels.
class TKYTMouseController : public TKYTHookComponent {
  KYT_CLASS(TKYTMouseController, TKYTHookComponent)
 public:
  using TKYTHookComponent::TKYTHookComponent;
  // Releases the fence, then unhooks.
  ~TKYTMouseController() override;

  // Methods
  // Confines the cursor to R, moving it to R's top-left corner first when it is outside. An
  // empty rectangle changes nothing: the current fence, if any, stays.
  void FenceAt(const TRect& R);
  // FenceAt with the control's client area; a null control does nothing.
  void FenceAtControl(TControl* Control);
  void StopFencing();
  void PositionAt(int32_t X, int32_t Y);
  // PositionAt with the top-left corner of the control's client area; null does nothing.
  void PositionAtControl(TControl* Control);

 protected:
  // Releases the fence on WM_CANCELMODE; every message passes on.
  void Hooked(TMessage& Message) override;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTMOUSECONTROLLER_H
