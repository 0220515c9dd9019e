// KYTTFormExplode: animates the owner form's showing and hiding with rectangle outlines drawn
// on the screen in an inverting mode, growing from (or shrinking to) an edge, a corner, the
// middle of the form or the screen, or a custom rectangle.
#ifndef KYT_FORMS_KYTTFORMEXPLODE_H
#define KYT_FORMS_KYTTFORMEXPLODE_H

#include <cstdint>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/os/Win.h"
#include "host/vcl/Forms.h"

namespace kyt {

// The shape the show animation starts from and the hide animation ends at.
enum TKYTWipeType : uint8_t {
  wsFormTopBorder, wsFormBottomBorder, wsFormLeftBorder, wsFormRightBorder,
  wsScreenTopBorder, wsScreenBottomBorder, wsScreenLeftBorder, wsScreenRightBorder,
  wsFormTopLeft, wsFormBottomLeft, wsFormTopRight, wsFormBottomRight,
  wsScreenTopLeft, wsScreenBottomLeft, wsScreenTopRight, wsScreenBottomRight,
  wsFormMiddle, wsScreenMiddle, wsCustompoint
};
KYT_ENUM_INFO(TKYTWipeType, "wsFormTopBorder", "wsFormBottomBorder", "wsFormLeftBorder",
              "wsFormRightBorder", "wsScreenTopBorder", "wsScreenBottomBorder", "wsScreenLeftBorder",
              "wsScreenRightBorder", "wsFormTopLeft", "wsFormBottomLeft", "wsFormTopRight",
              "wsFormBottomRight", "wsScreenTopLeft", "wsScreenBottomLeft", "wsScreenTopRight",
              "wsScreenBottomRight", "wsFormMiddle", "wsScreenMiddle", "wsCustompoint")

// When to animate: on show and hide, on show only, on hide only.
enum TKYTShowType : uint8_t { onAlways, onShow, onHide };
KYT_ENUM_INFO(TKYTShowType, "onAlways", "onShow", "onHide")

// Called with each start or end rectangle just computed (left, top, right, bottom), which the
// handler may change.
using TKYTOnGetPoints = TEvent<TObject*, int32_t&, int32_t&, int32_t&, int32_t&>;

class TKYTFormExplode : public TKYTSystemsComponent {
  KYT_CLASS(TKYTFormExplode, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTFormExplode>& p) {
    // How many outlines each animation draws; more steps animate more slowly.
    p.Property("NoOfSteps", &TKYTFormExplode::NoOfSteps, &TKYTFormExplode::SetNoOfSteps).Default(40);
    // When to animate: on showing and hiding, on showing only or on hiding only.
    p.Property("ShowType", &TKYTFormExplode::ShowType, &TKYTFormExplode::SetShow).Default(onAlways);
    // Where the show animation starts: an edge, a corner, the middle of the form or the screen, or
    // the custom rectangle.
    p.Property("OnShowType", &TKYTFormExplode::OnShowType, &TKYTFormExplode::SetOnShowType)
        .Default(wsFormMiddle);
    // Where the hide animation ends, from the same choices as OnShowType.
    p.Property("OnCloseType", &TKYTFormExplode::OnCloseType, &TKYTFormExplode::SetOnCloseType)
        .Default(wsFormMiddle);
    // The left edge of the custom rectangle (wsCustompoint), in screen pixels.
    p.Property("CustomLeft", &TKYTFormExplode::CustomLeft, &TKYTFormExplode::SetCustomLeft);
    // The top edge of the custom rectangle, in screen pixels.
    p.Property("CustomTop", &TKYTFormExplode::CustomTop, &TKYTFormExplode::SetCustomTop);
    // The bottom edge of the custom rectangle, in screen pixels.
    p.Property("CustomBottom", &TKYTFormExplode::CustomBottom, &TKYTFormExplode::SetCustomBottom);
    // The right edge of the custom rectangle, in screen pixels.
    p.Property("CustomRight", &TKYTFormExplode::CustomRight, &TKYTFormExplode::SetCustomRight);
    // Called with each start or end rectangle just computed, which the handler may change.
    p.Property("OnGetPoints", &TKYTFormExplode::OnGetPoints, &TKYTFormExplode::SetOnGetPoints);
  }

  // Takes over the owner form's OnShow, OnPaint and OnHide (in the designer too) and calls the
  // handlers it found there. An owner that is missing or not a TForm raises EInvalidCast before
  // anything is created.
  explicit TKYTFormExplode(TComponent* AOwner);
  // Puts the form's own handlers back into the slots that still hold this component's.
  ~TKYTFormExplode() override;

  // Properties
  // Steps of each animation; 0 counts as 1.
  uint16_t NoOfSteps() const { return FNoOfSteps; }
  void SetNoOfSteps(uint16_t value) { FNoOfSteps = value; }
  TKYTShowType ShowType() const { return FShowType; }
  void SetShow(TKYTShowType value) { FShowType = value; }
  TKYTWipeType OnShowType() const { return FOnShowType; }
  void SetOnShowType(TKYTWipeType value) { FOnShowType = value; }
  TKYTWipeType OnCloseType() const { return FOnCloseType; }
  void SetOnCloseType(TKYTWipeType value) { FOnCloseType = value; }
  // The custom rectangle of wsCustompoint, in screen pixels.
  uint16_t CustomLeft() const { return FCustomLeft; }
  void SetCustomLeft(uint16_t value) { FCustomLeft = value; }
  uint16_t CustomTop() const { return FCustomTop; }
  void SetCustomTop(uint16_t value) { FCustomTop = value; }
  uint16_t CustomBottom() const { return FCustomBottom; }
  void SetCustomBottom(uint16_t value) { FCustomBottom = value; }
  uint16_t CustomRight() const { return FCustomRight; }
  void SetCustomRight(uint16_t value) { FCustomRight = value; }

  // Events
  const TKYTOnGetPoints& OnGetPoints() const { return FOnGetPoints; }
  void SetOnGetPoints(const TKYTOnGetPoints& value) { FOnGetPoints = value; }

  // Methods
  // The rectangle of a wipe type for the form as it is now, then OnGetPoints with it.
  void GetSrect(int32_t& Left, int32_t& Top, int32_t& Right, int32_t& Bottom, TKYTWipeType Wipe);
  // The handlers the component puts into the form's OnShow, OnPaint and OnHide.
  void MyOnShow(TObject* Sender);
  void MyOnPaint(TObject* Sender);
  void MyOnHide(TObject* Sender);
  // Draw the show and hide animations on dc (the screen, in the inverting mode). Each outline is
  // followed by a round of message processing; when that frees the component, drawing stops at
  // once and the outlines still on the screen are taken off again.
  void ShowForm(HDC DC, TForm* Form, uint16_t Steps);
  void HideForm(HDC DC, TForm* Form, uint16_t Steps);

 private:
  // Puts this component's handlers into the form's three events, keeping what was there.
  void HookEvents();
  // Leaves one of the form's events until the next HookEvents, mending a chain that others joined.
  void StepAside(const TNotifyEvent& (TCustomForm::*get)() const, void (TCustomForm::*set)(const TNotifyEvent&),
                 const TNotifyEvent& own);
  // Runs an animation on the screen's context, prepared and put back around it on every path.
  void Animate(void (TKYTFormExplode::*Run)(HDC, TForm*, uint16_t));
  bool ShowAllowed() const { return FShowType == onAlways || FShowType == onShow; }
  bool HideAllowed() const { return FShowType == onAlways || FShowType == onHide; }

  TForm* FForm;
  uint16_t FNoOfSteps = 40;
  TKYTShowType FShowType = onAlways;
  TKYTWipeType FOnShowType = wsFormMiddle;
  TKYTWipeType FOnCloseType = wsFormMiddle;
  uint16_t FCustomLeft = 0;
  uint16_t FCustomTop = 0;
  uint16_t FCustomBottom = 0;
  uint16_t FCustomRight = 0;
  TKYTOnGetPoints FOnGetPoints;
  TNotifyEvent FOldOnShow;
  TNotifyEvent FOldOnPaint;
  TNotifyEvent FOldOnHide;
  bool FArmed = false;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTFORMEXPLODE_H
