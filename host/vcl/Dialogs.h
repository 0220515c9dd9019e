// Dialogs: the runtime's standard dialogs (message dialogs, the one-line input query and the
// plain message box), each built as the runtime's own modal form with real system buttons.
#ifndef KYT_HOST_VCL_DIALOGS_H
#define KYT_HOST_VCL_DIALOGS_H

#include <cstdint>
#include <string>

#include "host/core/Sets.h"
#include "host/core/TypeInfo.h"

namespace kyt {

// Kind of message: chooses the icon and the window title of a message dialog.
enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
KYT_ENUM_INFO(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom")

// One button of a message dialog; the ordinals are the bit numbers of TMsgDlgButtons.
enum TMsgDlgBtn : uint8_t {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};
KYT_ENUM_INFO(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore",
              "mbAll", "mbNoToAll", "mbYesToAll", "mbHelp")

using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// Shows a modal message dialog centred on the screen and returns the modal result of the button
// pressed (mrCancel when closed by its close box). Line breaks are CR or CR LF. A set without a
// closing button gets an OK button, so the dialog can always be closed. The Help button does not
// close the dialog: it asks the application for help on helpCtx. A dialog freed by a handler
// while it is up gives mrNone.
int MessageDlg(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int32_t helpCtx);

// As MessageDlg, with the dialog's top-left corner at x, y on the screen. A coordinate of -1
// centres the dialog along that axis only.
int MessageDlgPos(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                  int32_t helpCtx, int x, int y);

// Asks for one line of text. Returns true and replaces value with the edited text when the user
// presses OK; returns false and leaves value unchanged otherwise (a dialog freed by a handler
// while it is up too). Value must outlive the dialog: a caller that may be freed meanwhile asks
// with a copy.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// Shows text in a plain dialog titled with the application's title, with an OK button.
void ShowMessage(const std::string& msg);

}  // namespace kyt

#endif  // KYT_HOST_VCL_DIALOGS_H
