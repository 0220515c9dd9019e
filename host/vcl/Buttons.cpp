// Buttons: the kinds of bitmap buttons and what each one does when clicked.
#include "host/vcl/Buttons.h"

#include "host/vcl/Application.h"

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

}  // namespace kyt
