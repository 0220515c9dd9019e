// KYTTMouseController: the cursor clip and position through the platform.
#include "forms/KYTTMouseController.h"

#include "host/os/OsSeam.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTMouseController::StaticClass());
  return true;
}();
}  // namespace

TKYTMouseController::~TKYTMouseController() { StopFencing(); }

void TKYTMouseController::FenceAt(const TRect& R) {
  if (os::user32.IsRectEmpty(R.AsRECT())) return;
  POINT cursor{};
  if (os::user32.GetCursorPos(&cursor) && !os::user32.PtInRect(R.AsRECT(), cursor))
    os::user32.SetCursorPos(R.Left, R.Top);
  os::user32.ClipCursor(R.AsRECT());
}

void TKYTMouseController::FenceAtControl(TControl* Control) {
  if (!Control) return;
  const TPoint origin = Control->ClientOrigin();
  const RECT client = Control->ClientRect();
  FenceAt(Rect(origin.X, origin.Y, origin.X + client.right, origin.Y + client.bottom));
}

void TKYTMouseController::StopFencing() { os::user32.ClipCursor(nullptr); }

void TKYTMouseController::PositionAt(int32_t X, int32_t Y) { os::user32.SetCursorPos(X, Y); }

void TKYTMouseController::PositionAtControl(TControl* Control) {
  if (!Control) return;
  const TPoint origin = Control->ClientOrigin();
  PositionAt(origin.X, origin.Y);
}

void TKYTMouseController::Hooked(TMessage& Message) {
  if (Message.Msg == WM_CANCELMODE) os::user32.ClipCursor(nullptr);
  inherited::Hooked(Message);
}

}  // namespace kyt
