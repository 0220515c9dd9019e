// KYTTMessages: message box, text query and selection dialog components, configured by
// properties and shown modally by Execute.
#ifndef KYT_DIALOGS_KYTTMESSAGES_H
#define KYT_DIALOGS_KYTTMESSAGES_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/core/Strings.h"
#include "host/vcl/Dialogs.h"

namespace kyt {

// A message box: the lines of Caption shown with the icon and title of MessageType and the
// Buttons set; each answer has its own event.
class TKYTMsgBox : public TKYTAdvancedExecComponent {
  KYT_CLASS(TKYTMsgBox, TKYTAdvancedExecComponent)

 public:
  static void Publish(TPublisher<TKYTMsgBox>& p) {
    // The message, one line of the box per line.
    p.Property("Caption", &TKYTMsgBox::Caption, &TKYTMsgBox::SetCaption);
    // The kind of message, which gives the box its icon and title: warning, error, information,
    // confirmation or custom.
    p.Property("MessageType", &TKYTMsgBox::MessageType, &TKYTMsgBox::SetMessageType)
        .Default(mtInformation);
    // The buttons the box shows.
    p.Property("Buttons", &TKYTMsgBox::Buttons, &TKYTMsgBox::SetButtons)
        .Default(TMsgDlgButtons{mbOK, mbCancel});
    // The help topic shown when the user asks for help in the box; 0 for none.
    p.Property("HelpContext", &TKYTMsgBox::HelpContext, &TKYTMsgBox::SetHelpContext).Default(0);
    // The left edge of the box on the screen; -1 (for XPosition or YPosition) centres it.
    p.Property("XPosition", &TKYTMsgBox::XPosition, &TKYTMsgBox::SetXPosition).Default(-1);
    // The top edge of the box on the screen; -1 (for XPosition or YPosition) centres it.
    p.Property("YPosition", &TKYTMsgBox::YPosition, &TKYTMsgBox::SetYPosition).Default(-1);
    // Fired after the user answered Yes.
    p.Property("OnYes", &TKYTMsgBox::OnYes, &TKYTMsgBox::SetOnYes);
    // Fired after the user answered No.
    p.Property("OnNo", &TKYTMsgBox::OnNo, &TKYTMsgBox::SetOnNo);
    // Fired after the user answered OK.
    p.Property("OnOk", &TKYTMsgBox::OnOk, &TKYTMsgBox::SetOnOk);
    // Fired after the user answered Cancel or closed the box.
    p.Property("OnCancel", &TKYTMsgBox::OnCancel, &TKYTMsgBox::SetOnCancel);
    // Fired after the user answered Abort.
    p.Property("OnAbort", &TKYTMsgBox::OnAbort, &TKYTMsgBox::SetOnAbort);
    // Fired after the user answered Ignore.
    p.Property("OnIgnore", &TKYTMsgBox::OnIgnore, &TKYTMsgBox::SetOnIgnore);
    // Fired after the user answered Retry.
    p.Property("OnRetry", &TKYTMsgBox::OnRetry, &TKYTMsgBox::SetOnRetry);
    // Fired after the user answered All.
    p.Property("OnAll", &TKYTMsgBox::OnAll, &TKYTMsgBox::SetOnAll);
  }

  // Created in the form designer, Caption starts with the line "Place your message here".
  explicit TKYTMsgBox(TComponent* owner);
  ~TKYTMsgBox() override;

  // Properties
  TStrings* Caption() const { return FCaption; }
  void SetCaption(TStrings* value);  // copies the lines
  TMsgDlgType MessageType() const { return FMessageType; }
  void SetMessageType(TMsgDlgType value) { FMessageType = value; }
  TMsgDlgButtons Buttons() const { return FButtons; }
  void SetButtons(TMsgDlgButtons value) { FButtons = value; }
  int32_t HelpContext() const { return FHelpContext; }
  void SetHelpContext(int32_t value) { FHelpContext = value; }
  int32_t XPosition() const { return FXPosition; }
  void SetXPosition(int32_t value);  // -1 also sets YPosition to -1
  int32_t YPosition() const { return FYPosition; }
  void SetYPosition(int32_t value);  // -1 also sets XPosition to -1; -1 means centred

  // Events
  TNotifyEvent OnYes() const { return FOnYes; }
  void SetOnYes(TNotifyEvent value) { FOnYes = value; }
  TNotifyEvent OnNo() const { return FOnNo; }
  void SetOnNo(TNotifyEvent value) { FOnNo = value; }
  TNotifyEvent OnOk() const { return FOnOk; }
  void SetOnOk(TNotifyEvent value) { FOnOk = value; }
  TNotifyEvent OnCancel() const { return FOnCancel; }
  void SetOnCancel(TNotifyEvent value) { FOnCancel = value; }
  TNotifyEvent OnAbort() const { return FOnAbort; }
  void SetOnAbort(TNotifyEvent value) { FOnAbort = value; }
  TNotifyEvent OnIgnore() const { return FOnIgnore; }
  void SetOnIgnore(TNotifyEvent value) { FOnIgnore = value; }
  TNotifyEvent OnRetry() const { return FOnRetry; }
  void SetOnRetry(TNotifyEvent value) { FOnRetry = value; }
  TNotifyEvent OnAll() const { return FOnAll; }
  void SetOnAll(TNotifyEvent value) { FOnAll = value; }

  // Methods
  // Beeps, shows the dialog (centred while YPosition is -1), runs the handler of the answer if
  // it has one, and returns true whatever the answer.
  bool Execute() override;

 private:
  TStringList* FCaption;
  TMsgDlgType FMessageType = mtInformation;
  TMsgDlgButtons FButtons{mbOK, mbCancel};
  int32_t FHelpContext = 0;
  int32_t FXPosition = -1;
  int32_t FYPosition = -1;
  TNotifyEvent FOnYes, FOnNo, FOnOk, FOnCancel, FOnAbort, FOnIgnore, FOnRetry, FOnAll;
  std::string FMessage;     // the composed text of the last Execute
  uint16_t FAnswer = 0;     // the modal result of the last Execute
};

// A one-line text query shown with the runtime's InputQuery.
class TKYTMsgDlg : public TKYTAdvancedExecComponent {
  KYT_CLASS(TKYTMsgDlg, TKYTAdvancedExecComponent)

 public:
  static void Publish(TPublisher<TKYTMsgDlg>& p) {
    // The dialog's title.
    p.Property("Header", &TKYTMsgDlg::Header, &TKYTMsgDlg::SetHeader);
    // The prompt shown above the answer.
    p.Property("Question", &TKYTMsgDlg::Question, &TKYTMsgDlg::SetQuestion);
    // The answer: shown first in the dialog, replaced by the user's answer when confirmed with OK.
    p.Property("Return", &TKYTMsgDlg::Return, &TKYTMsgDlg::SetReturn);
    // Fired after the user confirmed an answer with OK.
    p.Property("OnOk", &TKYTMsgDlg::OnOk, &TKYTMsgDlg::SetOnOk);
    // Fired after the user cancelled the dialog.
    p.Property("OnCancel", &TKYTMsgDlg::OnCancel, &TKYTMsgDlg::SetOnCancel);
  }

  explicit TKYTMsgDlg(TComponent* owner);

  // Properties
  const std::string& Header() const { return FHeader; }
  void SetHeader(const std::string& value) { FHeader = value; }
  const std::string& Question() const { return FQuestion; }
  void SetQuestion(const std::string& value) { FQuestion = value; }
  const std::string& Return() const { return FReturn; }
  void SetReturn(const std::string& value) { FReturn = value; }

  // Events
  TNotifyEvent OnOk() const { return FOnOk; }
  void SetOnOk(TNotifyEvent value) { FOnOk = value; }
  TNotifyEvent OnCancel() const { return FOnCancel; }
  void SetOnCancel(TNotifyEvent value) { FOnCancel = value; }

  // Methods
  // Beeps and asks; true (Return replaced, OnOk) when confirmed, false (OnCancel) otherwise.
  bool Execute() override;

 private:
  std::string FHeader = "Heading";
  std::string FQuestion = "Question";
  std::string FReturn = "Default Return";
  TNotifyEvent FOnOk, FOnCancel;
};

// A text query whose answer is typed into or picked from a drop-down list of Items, on a form
// the component builds itself.
class TKYTMsgSelect : public TKYTAdvancedExecComponent {
  KYT_CLASS(TKYTMsgSelect, TKYTAdvancedExecComponent)

 public:
  static void Publish(TPublisher<TKYTMsgSelect>& p) {
    // The dialog's title.
    p.Property("Header", &TKYTMsgSelect::Header, &TKYTMsgSelect::SetHeader);
    // The prompt shown above the answer.
    p.Property("Question", &TKYTMsgSelect::Question, &TKYTMsgSelect::SetQuestion);
    // The answer: shown first in the dialog, replaced by the user's answer when confirmed with OK.
    p.Property("Return", &TKYTMsgSelect::Return, &TKYTMsgSelect::SetReturn);
    // The answers offered in the drop-down list; the user may still type another.
    p.Property("Items", &TKYTMsgSelect::Items, &TKYTMsgSelect::SetItems);
    // Shows the list's answers in alphabetical order.
    p.Property("Sorted", &TKYTMsgSelect::Sorted, &TKYTMsgSelect::SetSorted).Default(false);
    // Fired after the user confirmed an answer with OK.
    p.Property("OnOk", &TKYTMsgSelect::OnOk, &TKYTMsgSelect::SetOnOk);
    // Fired after the user cancelled the dialog.
    p.Property("OnCancel", &TKYTMsgSelect::OnCancel, &TKYTMsgSelect::SetOnCancel);
  }

  explicit TKYTMsgSelect(TComponent* owner);
  ~TKYTMsgSelect() override;

  // Properties
  const std::string& Header() const { return FHeader; }
  void SetHeader(const std::string& value) { FHeader = value; }
  const std::string& Question() const { return FQuestion; }
  void SetQuestion(const std::string& value) { FQuestion = value; }
  const std::string& Return() const { return FReturn; }
  void SetReturn(const std::string& value) { FReturn = value; }
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* value);  // copies the lines
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value) { FSorted = value; }

  // Events
  TNotifyEvent OnOk() const { return FOnOk; }
  void SetOnOk(TNotifyEvent value) { FOnOk = value; }
  TNotifyEvent OnCancel() const { return FOnCancel; }
  void SetOnCancel(TNotifyEvent value) { FOnCancel = value; }

  // Methods
  // Beeps and shows InputQueryEx with Header, Question, Return and Items; true (OnOk) when the
  // user pressed OK, false (OnCancel) otherwise.
  bool Execute() override;
  // Builds the selection form (a 280-pixel-wide dialog with a label, an editable drop-down list
  // sorted as Sorted says, OK and Cancel), shows it modally and destroys it on every path. True
  // and value replaced by the combo box's text when the user pressed OK; false otherwise.
  bool InputQueryEx(const std::string& caption, const std::string& prompt, std::string& value,
                    TStrings* list);

 private:
  std::string FHeader = "Heading";
  std::string FQuestion = "Question";
  std::string FReturn;
  TStringList* FItems;
  bool FSorted = false;
  TNotifyEvent FOnOk, FOnCancel;
};

}  // namespace kyt

#endif  // KYT_DIALOGS_KYTTMESSAGES_H
