// Buttons: the kinds of bitmap buttons and what each one does when clicked.
#include "host/vcl/Buttons.h"

#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/VclPrivate.h"

namespace kyt {

const char* BitBtnCaption(TBitBtnKind kind) {
  switch (kind) {
    case bkOK: return "OK";
    case bkCancel: return "Cancel";
    case bkHelp: return "&Help";
    case bkYes: return "&Yes";
    case bkNo: return "&No";
    case bkClose: return "&Close";
    case bkAbort: return "Abort";
    case bkRetry: return "&Retry";
    case bkIgnore: return "&Ignore";
    case bkAll: return "&All";
    default: return "";
  }
}

int BitBtnModalResult(TBitBtnKind kind) {
  switch (kind) {
    case bkOK: return mrOk;
    case bkCancel: return mrCancel;
    case bkYes: return mrYes;
    case bkNo: return mrNo;
    case bkAbort: return mrAbort;
    case bkRetry: return mrRetry;
    case bkIgnore: return mrIgnore;
    case bkAll: return mrAll;
    default: return mrNone;
  }
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetKind(TBitBtnKind value) {
  if (value == FKind) return;
  FKind = value;
  if (value == bkCustom) return;
  const bool loading = ComponentState().Contains(csLoading);
  // While a form file is read, values it gave before Kind stay.
  if (!loading || Caption().empty()) SetCaption(BitBtnCaption(value));
  if (!loading || ModalResult() == mrNone) SetModalResult(BitBtnModalResult(value));
  if (!loading || !Default()) SetDefault(value == bkOK || value == bkYes);
  if (!loading || !Cancel()) SetCancel(value == bkCancel || value == bkNo);
}

void TBitBtn::SetMargin(int32_t value) {
  if (value < -1) value = -1;
  if (value == FMargin) return;
  FMargin = value;
  RecreateWnd();
}

void TBitBtn::CreateParams(TCreateParams& params) {
  TButton::CreateParams(params);
  // A margin puts the caption at the glyph side; -1 centres it, as the plain button does.
  if (FMargin >= 0) params.Style |= FLayout == blGlyphRight ? BS_RIGHT : BS_LEFT;
}

void TBitBtn::Click() {
  if (FKind == bkClose) {
    if (TCustomForm* form = GetParentForm()) form->Close();
    TWinControl::Click();
    return;
  }
  if (FKind == bkHelp && Application) Application->HelpContext(FHelpContext);
  TButton::Click();
}

// ------------------------------------------------------------------------------------ TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TWinControl(owner) { UpdateBoundsCache(0, 0, 25, 25); }

void TSpeedButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "Button";
  params.Style |= BS_OWNERDRAW;
}

void TSpeedButton::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int32_t value) {
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

void TSpeedButton::SetGlyphResource(const std::string& value) {
  if (value == FGlyphResource) return;
  os::UniqueHBitmap glyph;
  if (!value.empty()) {
    glyph.reset(static_cast<HBITMAP>(
        os::user32.LoadImageA(vcl_private::Instance(), value.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!glyph) throw EResNotFound("Bitmap resource " + value + " not found");
  }
  FGlyph = std::move(glyph);
  FGlyphResource = value;
  Invalidate();
}

void TSpeedButton::TextChanged() {
  TWinControl::TextChanged();
  Invalidate();
}

void TSpeedButton::CommandNotify(UINT code) {
  if (code == BN_CLICKED) Click();
}

bool TSpeedButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  os::user32.FillRect(dc, &r, ColorBrush());
  if (pressed) os::user32.DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  else if (!FFlat) os::user32.DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  // Pressed content moves one pixel down and right, as a pushed button's does.
  const int shift = pressed ? 1 : 0;
  SIZE glyph{0, 0};
  BITMAP info{};
  if (FGlyph && os::gdi32.GetObjectA(FGlyph.get(), sizeof info, &info)) glyph = SIZE{info.bmWidth, info.bmHeight};
  const std::string caption = Caption();
  os::ScopedSelectObject font(dc, Font()->Handle());
  RECT textRect{0, 0, 0, 0};
  if (!caption.empty()) os::user32.DrawTextA(dc, caption.c_str(), -1, &textRect, DT_CALCRECT | DT_SINGLELINE);
  const int textWidth = textRect.right - textRect.left;
  const int gap = glyph.cx && textWidth ? FSpacing : 0;
  int x = r.left + ((r.right - r.left) - (glyph.cx + gap + textWidth)) / 2 + shift;
  if (glyph.cx) {
    os::UniqueHDC memory(os::gdi32.CreateCompatibleDC(dc));
    if (memory) {
      os::ScopedSelectObject selected(memory.get(), FGlyph.get());
      const int y = r.top + ((r.bottom - r.top) - glyph.cy) / 2 + shift;
      os::gdi32.BitBlt(dc, x, y, glyph.cx, glyph.cy, memory.get(), 0, 0, SRCCOPY);
    }
    x += glyph.cx + gap;
  }
  if (textWidth) {
    RECT text{x, r.top + shift, x + textWidth, r.bottom + shift};
    os::gdi32.SetBkMode(dc, 1 /* TRANSPARENT */);
    os::gdi32.SetTextColor(dc, os::user32.GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    os::user32.DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  return true;
}

}  // namespace kyt
