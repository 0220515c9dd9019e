// KYTTFormAspect: the sizing and maximising arithmetic over the owner form's messages.
#include "forms/KYTTFormAspect.h"

#include <limits>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTFormAspect::StaticClass());
  return true;
}();

// The built-in ratio of a sizing drag, width : height.
constexpr int64_t kSizingWidth = 40;
constexpr int64_t kSizingHeight = 42;

// Coordinates are computed in 64 bits (a sender may pass any rectangle) and stored saturated.
int32_t Clamp32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace

// The client area is a form's: any other owner measures its whole window.
TKYTFormAspect::TKYTFormAspect(TComponent* AOwner) : inherited(AOwner) {
  FClient = dynamic_cast<TForm*>(FOwnerControl) != nullptr;
}

// Refused here, with the owner named, rather than inside every size message that follows.
void TKYTFormAspect::SetClient(bool value) {
  if (value && !dynamic_cast<TForm*>(FOwnerControl))
    throw EInvalidCast("Client needs a form as owner: " + FOwnerControl->ClassName() + " is not a form");
  FClient = value;
}

TKYTFormAspect::~TKYTFormAspect() {
  FOnClientModified = {};
  FBeforeResizing = {};
}

void TKYTFormAspect::FrameSizes(int32_t& dx, int32_t& dy) {
  dx = dy = 0;
  if (FClient) {
    const auto* form = static_cast<const TForm*>(FOwnerControl);  // SetClient checked it
    dx = form->Width() - form->ClientWidth();
    dy = form->Height() - form->ClientHeight();
  }
  FOnClientModified(this, dx, dy);
}

void TKYTFormAspect::Hooked(TMessage& Message) {
  const bool sizeMessage = Message.Msg == WM_SIZING || Message.Msg == WM_GETMINMAXINFO;
  // A record pointer of null (any process can send these) or a ratio that cannot be divided by
  // leaves the message to the form as it came.
  if (!FEnabled || !sizeMessage || Message.LParam == 0 || FRatioWidth <= 0 || FRatioHeight <= 0) {
    inherited::Hooked(Message);
    return;
  }
  Message.Result = 0;
  // OnClientModified and BeforeResizing may free the component: nothing of it is touched after.
  const TComponentRef<TKYTFormAspect> self(this);
  if (Message.Msg == WM_SIZING) {
    TRect& r = *reinterpret_cast<TRect*>(Message.LParam);
    EstablishAspectRatio(static_cast<uint16_t>(Message.WParam & 0xFFFF), r);
    if (self) FBeforeResizing(this, r);
  } else {
    MaximisedSize(*reinterpret_cast<MINMAXINFO*>(Message.LParam), self);
  }
}

void TKYTFormAspect::MaximisedSize(MINMAXINFO& info, const TComponentRef<TKYTFormAspect>& self) {
  int32_t dx, dy;
  FrameSizes(dx, dy);
  if (!self) return;
  int64_t w = info.ptMaxSize.x;
  int64_t h = w * FRatioHeight / FRatioWidth;
  if (h > os::user32.GetSystemMetrics(SM_CYSCREEN)) {
    h = info.ptMaxSize.y;
    w = h * FRatioWidth / FRatioHeight;
  }
  TRect r(0, 0, Clamp32(w + dx), Clamp32(h + dy));
  FBeforeResizing(this, r);
  info.ptMaxSize.x = Clamp32(int64_t{r.Right} - r.Left);
  info.ptMaxSize.y = Clamp32(int64_t{r.Bottom} - r.Top);
}

void TKYTFormAspect::EstablishAspectRatio(uint16_t Edge, TRect& R) {
  int32_t dx, dy;
  FrameSizes(dx, dy);
  const int64_t left = R.Left, top = R.Top, right = R.Right, bottom = R.Bottom;
  // The height that follows the client width, and the width that follows the client height.
  const auto heightFor = [&] { return (right - left - dx) * kSizingHeight / kSizingWidth; };
  const auto widthFor = [&] { return (bottom - top - dy) * kSizingWidth / kSizingHeight; };
  switch (Edge) {
    case WMSZ_LEFT:
    case WMSZ_TOPRIGHT: R.Top = Clamp32(bottom - heightFor() - dy); break;
    case WMSZ_RIGHT:
    case WMSZ_BOTTOMLEFT: R.Bottom = Clamp32(heightFor() + top + dy); break;
    case WMSZ_TOP:
    case WMSZ_TOPLEFT: R.Left = Clamp32(right - widthFor() - dx); break;
    case WMSZ_BOTTOM:
    case WMSZ_BOTTOMRIGHT: R.Right = Clamp32(widthFor() + left + dx); break;
    default: break;
  }
}

}  // namespace kyt
