// KYTTMessages: message box, text query and selection dialog components.
#include "dialogs/KYTTMessages.h"

#include <memory>

#include "host/core/ComponentRef.h"

#include "host/vcl/Application.h"
#include "host/vcl/Buttons.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

namespace {
// Form files create the components by name, so the unit makes them known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTMsgBox::StaticClass(), &TKYTMsgDlg::StaticClass(),
                   &TKYTMsgSelect::StaticClass()});
  return true;
}();
}  // namespace

// ---------------------------------------------------------------------------------------------
// TKYTMsgBox

TKYTMsgBox::TKYTMsgBox(TComponent* owner) : inherited(owner), FCaption(new TStringList) {
  if (ComponentState().Contains(csDesigning)) FCaption->Add("Place your message here");
}

TKYTMsgBox::~TKYTMsgBox() { delete FCaption; }

void TKYTMsgBox::SetCaption(TStrings* value) { FCaption->Assign(value); }

void TKYTMsgBox::SetXPosition(int32_t value) {
  FXPosition = value;
  if (value == -1) FYPosition = -1;
}

void TKYTMsgBox::SetYPosition(int32_t value) {
  FYPosition = value;
  if (value == -1) FXPosition = -1;
}

bool TKYTMsgBox::Execute() {
  inherited::Execute();
  FMessage.clear();
  for (int i = 0; i < FCaption->Count(); ++i) {
    FMessage += FCaption->Strings(i);
    FMessage += '\r';
  }
  // Only YPosition chooses the call: a set XPosition alone still gives a centred dialog. A
  // message handled while the dialog is up may free the component: it then keeps no answer.
  const TComponentRef<TKYTMsgBox> self(this);
  const int answer =
      FYPosition == -1
          ? MessageDlg(FMessage, FMessageType, FButtons, FHelpContext)
          : MessageDlgPos(FMessage, FMessageType, FButtons, FHelpContext, FXPosition, FYPosition);
  if (!self) return false;
  FAnswer = static_cast<uint16_t>(answer);
  // Tested in this order; results without an event (mrNone, mrNoToAll, mrYesToAll) run none.
  const TNotifyEvent* handler = nullptr;
  if (FAnswer == mrYes) handler = &FOnYes;
  else if (FAnswer == mrNo) handler = &FOnNo;
  else if (FAnswer == mrOk) handler = &FOnOk;
  else if (FAnswer == mrCancel) handler = &FOnCancel;
  else if (FAnswer == mrAbort) handler = &FOnAbort;
  else if (FAnswer == mrRetry) handler = &FOnRetry;
  else if (FAnswer == mrIgnore) handler = &FOnIgnore;
  else if (FAnswer == mrAll) handler = &FOnAll;
  if (handler && *handler) (*handler)(this);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TKYTMsgDlg

TKYTMsgDlg::TKYTMsgDlg(TComponent* owner) : inherited(owner) {}

bool TKYTMsgDlg::Execute() {
  inherited::Execute();
  // The answer is asked for in a copy: a message handled while the dialog is up may free the
  // component, which then keeps nothing and raises nothing.
  const TComponentRef<TKYTMsgDlg> self(this);
  std::string answer = FReturn;
  const bool confirmed = InputQuery(FHeader, FQuestion, answer);
  if (!self) return false;
  if (confirmed) FReturn = answer;
  if (confirmed) {
    if (FOnOk) FOnOk(this);
  } else {
    if (FOnCancel) FOnCancel(this);
  }
  return confirmed;
}

// ---------------------------------------------------------------------------------------------
// TKYTMsgSelect

TKYTMsgSelect::TKYTMsgSelect(TComponent* owner) : inherited(owner), FItems(new TStringList) {}

TKYTMsgSelect::~TKYTMsgSelect() { delete FItems; }

void TKYTMsgSelect::SetItems(TStrings* value) { FItems->Assign(value); }

bool TKYTMsgSelect::Execute() {
  inherited::Execute();
  const TComponentRef<TKYTMsgSelect> self(this);
  std::string answer = FReturn;
  const bool confirmed = InputQueryEx(FHeader, FQuestion, answer, FItems);
  if (!self) return false;
  if (confirmed) FReturn = answer;
  if (confirmed) {
    if (FOnOk) FOnOk(this);
  } else {
    if (FOnCancel) FOnCancel(this);
  }
  return confirmed;
}

bool TKYTMsgSelect::InputQueryEx(const std::string& caption, const std::string& prompt,
                                 std::string& value, TStrings* list) {
  // The dialog's modal loop may free this component (and so the caller's value and list): what
  // the dialog needs is copied first, and the answer goes to value only while it still exists.
  const TComponentRef<TKYTMsgSelect> self(this);
  const bool sorted = FSorted;
  // The form owns its controls; the unique_ptr frees it on every path, a throwing step too.
  auto form = std::make_unique<TForm>(Application);
  form->SetBorderStyle(bsDialog);
  form->SetWidth(280);
  form->SetHeight(160);
  form->SetCaption(caption);
  form->Font()->SetName("MS Sans Serif");
  form->Font()->SetSize(8);
  form->Font()->SetStyle(TFontStyles{fsBold});
  form->SetPosition(poScreenCenter);

  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetAutoSize(true);
  label->SetLeft(10);
  label->SetTop(10);
  label->SetCaption(prompt);

  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetStyle(csDropDown);
  combo->SetSorted(sorted);
  combo->SetLeft(10);
  combo->SetTop(label->Top() + label->Height() + 5);
  combo->SetWidth(form->ClientWidth() - 20);
  combo->SetMaxLength(127);
  combo->SelectAll();
  combo->SetText(value);
  combo->Items()->Clear();
  if (list) {
    for (int i = 0; i < list->Count(); ++i) combo->Items()->Add(list->Strings(i));
  }
  const int index = combo->Items()->IndexOf(combo->Text());
  if (index >= 0) combo->SetItemIndex(index);

  label->SetFocusControl(combo);

  auto* ok = new TBitBtn(form.get());
  ok->SetParent(form.get());
  ok->SetKind(bkOK);
  ok->SetMargin(-1);
  ok->SetTop(combo->Top() + combo->Height() + 10);
  ok->SetWidth(77);
  ok->SetHeight(27);
  ok->SetLeft(form->ClientWidth() / 2 - (2 * ok->Width() + 10) / 2);

  auto* cancel = new TBitBtn(form.get());
  cancel->SetParent(form.get());
  cancel->SetKind(bkCancel);
  cancel->SetMargin(-1);
  cancel->SetTop(ok->Top());
  cancel->SetWidth(77);
  cancel->SetHeight(27);
  cancel->SetLeft(ok->Left() + ok->Width() + 10);

  form->SetClientHeight(ok->Top() + ok->Height() + 10);

  const TComponentRef<TForm> dialog(form.get());
  const TModalResult result = form->ShowModal();
  if (!dialog) {
    form.release();  // a handler freed the dialog
    return false;
  }
  if (result != mrOk || !self) return false;
  value = combo->Text();
  return true;
}

}  // namespace kyt
