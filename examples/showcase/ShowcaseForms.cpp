// ShowcaseForms: the form-behaviour components tried on the showcase's main form.
#include "examples/showcase/ShowcaseForms.h"

#include <cstdio>
#include <string>

#include "examples/showcase/ShowcaseBoard.h"
#include "forms/KYTTFormAspect.h"
#include "forms/KYTTFormExplode.h"
#include "forms/KYTTFormSizes.h"
#include "forms/KYTTMouseController.h"
#include "forms/KYTTTopMost.h"
#include "host/os/OsSeam.h"
#include "host/rtl/Types.h"

namespace kyt {

namespace {

std::string Text(const TRect& r) {
  return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " + std::to_string(r.Right) +
         ", " + std::to_string(r.Bottom) + ")";
}

// The platform sends WM_SIZING while the user drags a border; here the showcase sends it.
bool TryAspect(TForm* form) {
  auto* aspect = ObjectCast<TKYTFormAspect>(form->FindComponent("Aspect1"));
  TRect r = Bounds(form->Left(), form->Top(), form->Width() + 100, form->Height());
  const TRect proposed = r;
  os::user32.SendMessageA(form->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(r.AsRECT()));
  const int clientWidth = r.Width() - (form->Width() - form->ClientWidth());
  const int clientHeight = r.Height() - (form->Height() - form->ClientHeight());
  Report(*aspect, "aspect ratio: dragging the right border to " + Text(proposed) + " gives " + Text(r) +
         ", a client area of " + std::to_string(clientWidth) + "x" + std::to_string(clientHeight) +
         " (40 : 42); maximised it keeps " + std::to_string(aspect->RatioWidth()) + " : " +
         std::to_string(aspect->RatioHeight()));
  return clientHeight == clientWidth * 42 / 40;
}

// Asked to shrink below its limits, the form stops at them (the platform asks the form for its
// limits on every resize).
bool TrySizes(TForm* form) {
  // reference example: TKYTFormSizes
  auto* sizes = ObjectCast<TKYTFormSizes>(form->FindComponent("Sizes1"));
  const TRect before = Bounds(form->Left(), form->Top(), form->Width(), form->Height());
  static_cast<TControl*>(form)->SetBounds(before.Left, before.Top, 100, 80);
  const int width = form->Width(), height = form->Height();
  static_cast<TControl*>(form)->SetBounds(before.Left, before.Top, before.Width(), before.Height());
  Report(*sizes, "size limits: asked for 100x80, the main form became " + std::to_string(width) + "x" +
         std::to_string(height) + " (at least " + std::to_string(sizes->MinWidth()) + "x" +
         std::to_string(sizes->MinHeight()) + ")");
  // end of reference example
  return width >= sizes->MinWidth() && height >= sizes->MinHeight();
}

bool TryTopMost(TForm* form) {
  // reference example: TKYTTopMost
  auto* topMost = ObjectCast<TKYTTopMost>(form->FindComponent("TopMost1"));
  const auto topMostNow = [&] {
    return (os::user32.GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  };
  const bool loaded = topMostNow();
  topMost->SetActive(false);
  const bool cleared = !topMostNow();
  topMost->SetActive(true);
  // end of reference example
  Report(*topMost, std::string("top-most: the main form ") + (loaded ? "is" : "is NOT") +
         " above other windows since it was loaded; Active = False " + (cleared ? "returns" : "does NOT return") +
         " it to the ordinary layer");
  return loaded && cleared && topMostNow();
}

// The fence is released again at once: the showcase must leave the desktop as it found it.
bool TryMouse(TForm* form) {
  // reference example: TKYTMouseController
  auto* mouse = ObjectCast<TKYTMouseController>(form->FindComponent("Mouse1"));
  POINT before{};
  os::user32.GetCursorPos(&before);
  mouse->FenceAtControl(form);
  RECT clip{};
  os::user32.GetClipCursor(&clip);
  mouse->StopFencing();
  // end of reference example
  os::user32.SetCursorPos(before.x, before.y);
  const TPoint origin = form->ClientOrigin();
  Report(*mouse, "mouse controller: fenced the cursor into the main form's client area " + Text(clip) +
         ", then released it");
  return clip.left == origin.X && clip.top == origin.Y;
}

}  // namespace

bool RunShowcaseForms(TForm* form) {
  auto* explode = ObjectCast<TKYTFormExplode>(form->FindComponent("Explode1"));
  Report(*explode, "explode animation: " + std::to_string(explode->NoOfSteps()) + " steps, " +
         std::to_string(2 * (explode->NoOfSteps() + 1) + 2) + " outlines when the main form is shown");
  bool ok = TryAspect(form);
  ok = TrySizes(form) && ok;
  ok = TryTopMost(form) && ok;
  ok = TryMouse(form) && ok;
  return ok;
}

}  // namespace kyt
