// Buttons: the bitmap button, a push button whose Kind gives it a standard caption, default or
// cancel role and modal result (its glyph images are not drawn: it shows its caption), and the
// speed button, an owner-drawn flat button that shows a bitmap resource.
#ifndef KYT_HOST_VCL_BUTTONS_H
#define KYT_HOST_VCL_BUTTONS_H

#include <cstdint>
#include <string>

#include "host/core/TypeInfo.h"
#include "host/os/Handles.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

enum TBitBtnKind : uint8_t {
  bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll
};
KYT_ENUM_INFO(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
              "bkAbort", "bkRetry", "bkIgnore", "bkAll")

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
KYT_ENUM_INFO(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")

// The caption and modal result a kind gives ("OK"/mrOk, "Cancel"/mrCancel, "&Yes"/mrYes, ...).
const char* BitBtnCaption(TBitBtnKind kind);
int BitBtnModalResult(TBitBtnKind kind);

// Setting Kind sets Caption, ModalResult and Default (bkOK, bkYes) or Cancel (bkCancel, bkNo);
// bkClose closes the form, bkHelp asks the application for help on HelpContext.
class TBitBtn : public TButton {
  KYT_CLASS(TBitBtn, TButton)
 public:
  static void Publish(TPublisher<TBitBtn>& p) {
    // Replaces the inherited Caption: stored only when it differs from the kind's caption.
    p.Property("Caption", &TBitBtn::Caption, &TBitBtn::SetCaption).TypeName("TCaption").StoredIf(
        [](const TBitBtn& b) { return b.Kind() == bkCustom || b.Caption() != BitBtnCaption(b.Kind()); });
    p.Property("HelpContext", &TBitBtn::HelpContext, &TBitBtn::SetHelpContext).Default(0);
    p.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
    p.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    p.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
    p.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
  }

  explicit TBitBtn(TComponent* owner);

  // Properties
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind value);
  // Distance of the content from the edge; -1 centres it.
  int32_t Margin() const { return FMargin; }
  void SetMargin(int32_t value);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t value) { FSpacing = value; }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value) { FLayout = value; }
  int32_t HelpContext() const { return FHelpContext; }
  void SetHelpContext(int32_t value) { FHelpContext = value; }

  // Methods
  void Click() override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TBitBtnKind FKind = bkCustom;
  int32_t FMargin = -1;
  int32_t FSpacing = 4;
  TButtonLayout FLayout = blGlyphLeft;
  int32_t FHelpContext = 0;
};

// A button drawn by the runtime: the bitmap resource GlyphResource of the executable, left of the
// caption (or centred without one). A flat button shows its edge only while it is pressed.
// It takes no focus, as a tool bar's buttons do; a click runs OnClick.
class TSpeedButton : public TWinControl {
  KYT_CLASS(TSpeedButton, TWinControl)
 public:
  static void Publish(TPublisher<TSpeedButton>& p) {
    p.Property("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption).TypeName("TCaption");
    p.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(true);
    p.Property("GlyphResource", &TSpeedButton::GlyphResource, &TSpeedButton::SetGlyphResource)
        .Default(std::string());
    p.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    p.Property("OnClick", &TSpeedButton::OnClick, &TSpeedButton::SetOnClick);
  }

  explicit TSpeedButton(TComponent* owner);

  // Properties
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  // The name of a BITMAP resource of the executable; empty for none. EResNotFound when there is
  // no such bitmap (the glyph shown stays as it was).
  const std::string& GlyphResource() const { return FGlyphResource; }
  void SetGlyphResource(const std::string& value);
  // The loaded glyph, lent (null without one).
  HBITMAP Glyph() const { return FGlyph.get(); }
  // Pixels between glyph and caption.
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CommandNotify(UINT code) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  void TextChanged() override;

 private:
  bool FFlat = true;
  std::string FGlyphResource;
  os::UniqueHBitmap FGlyph;
  int32_t FSpacing = 4;
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_BUTTONS_H
