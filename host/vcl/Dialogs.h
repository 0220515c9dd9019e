// Dialogs: the runtime's standard dialogs (message dialogs, the one-line input query and the
// plain message box), each built as the runtime's own modal form with real system buttons, and
// the system's common dialogs (open, save as, colour) as components.
#ifndef KYT_HOST_VCL_DIALOGS_H
#define KYT_HOST_VCL_DIALOGS_H

#include <cstdint>
#include <string>

#include "host/core/Component.h"
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

// ---- Common dialogs

// A common dialog: Execute shows it modally over the active window and returns true when the
// user accepted it, false when they cancelled. A dialog the system cannot show raises Exception
// naming the common dialog error.
class TCommonDialog : public TComponent {
  KYT_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  virtual bool Execute() = 0;

 protected:
  // The window the dialog is modal to.
  static void* OwnerWindow();
  // After a FALSE from the dialog call: a cancel (false), or an error raised with its code.
  static bool CancelledOrRaise(const char* dialog);
};

enum TOpenOption : uint8_t {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofNoValidate, ofPathMustExist,
  ofFileMustExist, ofCreatePrompt, ofNoReadOnlyReturn, ofNoTestFileCreate
};
KYT_ENUM_INFO(TOpenOption, "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofNoValidate",
              "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt", "ofNoReadOnlyReturn", "ofNoTestFileCreate")
using TOpenOptions = TSet<TOpenOption>;

// The system's open dialog. Filter is "Text files|*.txt|All files|*.*"; FilterIndex counts from 1.
// On acceptance FileName is the chosen file and FilterIndex the filter then selected.
class TOpenDialog : public TCommonDialog {
  KYT_CLASS(TOpenDialog, TCommonDialog)
 public:
  static void Publish(TPublisher<TOpenDialog>& p) {
    p.Property("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt).Default(std::string());
    p.Property("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName).Default(std::string());
    p.Property("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter).Default(std::string());
    p.Property("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
    p.Property("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir).Default(std::string());
    p.Property("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions).Default(TOpenOptions{ofHideReadOnly});
    p.Property("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle).Default(std::string());
  }

  explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}

  // Properties
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& value) { FFileName = value; }
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& value) { FFilter = value; }
  int32_t FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int32_t value) { FFilterIndex = value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& value) { FInitialDir = value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions value) { FOptions = value; }
  // The window title; empty for the system's own ("Open", "Save As").
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }

  // Methods
  bool Execute() override;

 protected:
  // Shows the dialog (GetOpenFileNameA here) with the record filled in.
  virtual bool ShowDialog(void* record);
  virtual const char* DialogName() const { return "open"; }

 private:
  std::string FDefaultExt;
  std::string FFileName;
  std::string FFilter;
  int32_t FFilterIndex = 1;
  std::string FInitialDir;
  TOpenOptions FOptions{ofHideReadOnly};
  std::string FTitle;
};

// The system's save-as dialog; ofOverwritePrompt asks before an existing file is chosen.
class TSaveDialog : public TOpenDialog {
  KYT_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

 protected:
  bool ShowDialog(void* record) override;
  const char* DialogName() const override { return "save as"; }
};

enum TColorDialogOption : uint8_t { cdFullOpen, cdPreventFullOpen, cdSolidColor, cdAnyColor };
KYT_ENUM_INFO(TColorDialogOption, "cdFullOpen", "cdPreventFullOpen", "cdSolidColor", "cdAnyColor")
using TColorDialogOptions = TSet<TColorDialogOption>;

// The system's colour dialog, opened on Color; on acceptance Color is the colour chosen.
// CustomColors keeps the sixteen custom colours between runs of the dialog.
class TColorDialog : public TCommonDialog {
  KYT_CLASS(TColorDialog, TCommonDialog)
 public:
  static void Publish(TPublisher<TColorDialog>& p) {
    p.Property("Color", &TColorDialog::Color, &TColorDialog::SetColor).Default(clBlack);
    p.Property("Options", &TColorDialog::Options, &TColorDialog::SetOptions).Default(TColorDialogOptions{});
  }

  explicit TColorDialog(TComponent* owner);

  // Properties
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TColorDialogOptions Options() const { return FOptions; }
  void SetOptions(TColorDialogOptions value) { FOptions = value; }
  // The custom colour at index 0..15 (RGB values); EListError outside.
  uint32_t CustomColor(int index) const;
  void SetCustomColor(int index, uint32_t rgb);

  // Methods
  bool Execute() override;

 private:
  TColor FColor = clBlack;
  TColorDialogOptions FOptions;
  uint32_t FCustomColors[16];
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_DIALOGS_H
