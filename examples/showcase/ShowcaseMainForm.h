// ShowcaseMainForm: the showcase's main form, read from its form file: a list per palette page
// with what each component just did, a form saver that keeps its geometry between runs, a form
// hook that counts its messages, the three message dialog components, the application, tray,
// form-behaviour (explode animation, aspect ratio, size limits, top-most, mouse fence), file,
// string, system information and system control components, a startup entry (configured, never
// written), a settings store, an illegal-abort detector and the timer that closes it. Its
// published methods report what happens.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H

#include <cstdint>
#include <map>
#include <string>

#include "host/vcl/Forms.h"
#include "host/vcl/WinUtils.h"

namespace kyt {

class TShowcaseMainForm : public TForm {
  KYT_CLASS(TShowcaseMainForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TShowcaseMainForm>& m) {
    m.Method<&TShowcaseMainForm::MainFormClose>("MainFormClose");
    m.Method<&TShowcaseMainForm::SaverStore>("SaverStore");
    m.Method<&TShowcaseMainForm::SaverRestore>("SaverRestore");
    m.Method<&TShowcaseMainForm::MessageHookMessage>("MessageHookMessage");
    m.Method<&TShowcaseMainForm::DialogOk>("DialogOk");
    m.Method<&TShowcaseMainForm::DialogCancel>("DialogCancel");
    m.Method<&TShowcaseMainForm::CloseTimerTimer>("CloseTimerTimer");
    m.Method<&TShowcaseMainForm::DriveVolumeUpdated>("DriveVolumeUpdated");
    m.Method<&TShowcaseMainForm::DriveVolumeError>("DriveVolumeError");
    m.Method<&TShowcaseMainForm::ResourceInfoNewValues>("ResourceInfoNewValues");
    m.Method<&TShowcaseMainForm::LogFileClear>("LogFileClear");
    m.Method<&TShowcaseMainForm::TextReplaceBeforeWrite>("TextReplaceBeforeWrite");
    m.Method<&TShowcaseMainForm::DroppedFilesStartDrop>("DroppedFilesStartDrop");
    m.Method<&TShowcaseMainForm::DroppedFilesDrop>("DroppedFilesDrop");
    m.Method<&TShowcaseMainForm::DroppedFilesEndDrop>("DroppedFilesEndDrop");
    m.Method<&TShowcaseMainForm::AppIdle>("AppIdle");
    m.Method<&TShowcaseMainForm::OnlyOneExceeded>("OnlyOneExceeded");
    m.Method<&TShowcaseMainForm::TrayClick>("TrayClick");
    m.Method<&TShowcaseMainForm::TrayMinimize>("TrayMinimize");
    m.Method<&TShowcaseMainForm::TrayRestore>("TrayRestore");
    m.Method<&TShowcaseMainForm::TrayRestoreItemClick>("TrayRestoreItemClick");
    m.Method<&TShowcaseMainForm::AbortWatchIllegalAbort>("AbortWatchIllegalAbort");
    m.Method<&TShowcaseMainForm::FileOperatorSucceeded>("FileOperatorSucceeded");
    m.Method<&TShowcaseMainForm::FileOperatorFailed>("FileOperatorFailed");
    m.Method<&TShowcaseMainForm::FileCollectorFileFound>("FileCollectorFileFound");
    m.Method<&TShowcaseMainForm::AlarmTrigger>("AlarmTrigger");
    m.Method<&TShowcaseMainForm::AlarmNewDate>("AlarmNewDate");
    m.Method<&TShowcaseMainForm::DiscsAfterInsert>("DiscsAfterInsert");
    m.Method<&TShowcaseMainForm::DiscsAfterRemove>("DiscsAfterRemove");
    m.Method<&TShowcaseMainForm::ChimeError>("ChimeError");
    m.Method<&TShowcaseMainForm::ExplodeGetPoints>("ExplodeGetPoints");
  }

  explicit TShowcaseMainForm(TComponent* owner) : TForm(owner) {}

  // Fills the two lists with a waiting line per palette component and fits the form to them.
  void ShowBoard();
  // Counts this run in the settings store and reads a scrambled value back; false when the
  // store did not give back what it was given.
  bool RunStoreData();
  // Unattended: the form closes itself shortly after this.
  void StartCloseTimer();
  // Prints what the startup entry, the illegal-abort detector, the string lists and the holders
  // hold; false when one of them did not come from the form file as designed.
  bool ReportSettingsAndStrings() const;
  // Reports what the form hook counted.
  void ReportMessages() const;
  // Reports what the application component handed over and what the guard counted.
  void ReportApplication() const;
  // Minimises the application into the tray and restores it with a click on the icon; false
  // when the icon did not come and go as it should.
  bool RunTray();

  // Handlers named in the form file.
  void MainFormClose(TObject* sender, TCloseAction& action);
  void SaverStore(TObject* sender);
  void SaverRestore(TObject* sender);
  void MessageHookMessage(TObject* sender, TMessage& message);
  void DialogOk(TObject* sender);
  void DialogCancel(TObject* sender);
  void CloseTimerTimer(TObject* sender);
  void DriveVolumeUpdated(TObject* sender);
  void DriveVolumeError(int32_t errorNumber);
  void ResourceInfoNewValues(TObject* sender);

  // What the drive-volume component reported since the last call: errors and their last number.
  int TakeDriveErrors(int32_t* lastError);

  void LogFileClear(TObject* sender);
  void TextReplaceBeforeWrite(TObject* sender, std::string& line, int32_t lineNo, bool& writeLine);
  void DroppedFilesStartDrop(TObject* sender);
  void DroppedFilesDrop(TObject* sender, const std::string& item);
  void DroppedFilesEndDrop(TObject* sender);

  void AppIdle(TObject* sender, bool& done);
  void OnlyOneExceeded(TObject* sender, int32_t copies);
  void TrayClick(TObject* sender);
  void TrayMinimize(TObject* sender);
  void TrayRestore(TObject* sender);
  void TrayRestoreItemClick(TObject* sender);

  void AbortWatchIllegalAbort(TObject* sender);

  void FileOperatorSucceeded(TObject* sender);
  void FileOperatorFailed(TObject* sender);
  void FileCollectorFileFound(TObject* sender, const std::string& fileName);

  void AlarmTrigger(TObject* sender);
  void AlarmNewDate(TObject* sender);
  void DiscsAfterInsert(TObject* sender, char drive);
  void DiscsAfterRemove(TObject* sender, char drive);
  void ChimeError(TObject* sender);

  // Disc notices the CD triggers reported.
  int DiscNotices() const { return FDiscNotices; }

  void ExplodeGetPoints(TObject* sender, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);

  // How many rectangles the explode animation asked for.
  int ExplodeRectangles() const { return FExplodeRectangles; }

 private:
  int FMessages = 0;
  int FIdles = 0;
  bool FAbortReported = false;
  int FExplodeRectangles = 0;
  std::map<UINT, int> FCounts;
  int FDriveErrors = 0;
  int32_t FLastDriveError = 0;
  int FDiscNotices = 0;
};

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEMAINFORM_H
