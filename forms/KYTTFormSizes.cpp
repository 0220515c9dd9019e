// KYTTFormSizes: size limits over the form's answer to WM_GETMINMAXINFO, and their capture in
// the designer.
#include "forms/KYTTFormSizes.h"

#include "host/core/ComponentRef.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTFormSizes::StaticClass());
  return true;
}();
}  // namespace

bool TKYTFormSizes::ExactlyDesigning() const {
  const TComponentState state = ComponentState();
  return state.Contains(csDesigning) && !state.Contains(csLoading) && !state.Contains(csReading) &&
         !state.Contains(csWriting) && !state.Contains(csDestroying) && !state.Contains(csUpdating);
}

void TKYTFormSizes::Hooked(TMessage& Message) {
  if (Message.Msg != WM_SIZE && Message.Msg != WM_GETMINMAXINFO) return inherited::Hooked(Message);
  const TComponentRef<TKYTFormSizes> self(this);
  inherited::Hooked(Message);
  // A handler further down the chain may have freed this component.
  if (!self || ComponentState().Contains(csDestroying)) return;
  if (ExactlyDesigning()) {
    if (Message.Msg == WM_SIZE) CaptureSize();
  } else if (Message.Msg == WM_GETMINMAXINFO && Message.LParam != 0) {
    ApplyLimits(*reinterpret_cast<MINMAXINFO*>(Message.LParam));
  }
}

void TKYTFormSizes::CaptureSize() {
  if (FOptions.Contains(MinimumWidth)) FMinWidth = FOwnerControl->Width();
  if (FOptions.Contains(MaximumWidth)) FMaxWidth = FOwnerControl->Width();
  if (FOptions.Contains(MinimumHeight)) FMinHeight = FOwnerControl->Height();
  if (FOptions.Contains(MaximumHeight)) FMaxHeight = FOwnerControl->Height();
}

void TKYTFormSizes::ApplyLimits(MINMAXINFO& info) const {
  if (FMinWidth > 0) info.ptMinTrackSize.x = FMinWidth;
  if (FMaxWidth > 0) info.ptMaxTrackSize.x = FMaxWidth;
  if (FMinHeight > 0) info.ptMinTrackSize.y = FMinHeight;
  if (FMaxHeight > 0) info.ptMaxTrackSize.y = FMaxHeight;
}

}  // namespace kyt
