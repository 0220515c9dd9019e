// ShowcaseMainForm: the handlers of the showcase's main form, each reporting on standard output.
#include "examples/showcase/ShowcaseMainForm.h"

#include <algorithm>
#include <cstdio>

#include "examples/showcase/ShowcaseBoard.h"

#include "dialogs/KYTTMessages.h"
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTTextReplace.h"
#include "forms/KYTTApplication.h"
#include "forms/KYTTOnlyOne.h"
#include "forms/KYTTSystemTray.h"
#include "framework/KYTTFormHook.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/StdCtrls.h"
#include "persistence/KYTTFormSaver.h"
#include "persistence/KYTTStartup.h"
#include "persistence/KYTTStoreData.h"
#include "strings/KYTTHolders.h"
#include "strings/KYTTMultiLists.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTResourceInfo.h"
#include "system/KYTTTimeTrigger.h"

namespace kyt {

namespace {

std::string BoundsOf(const TControl& control) {
  return std::to_string(control.Left()) + "," + std::to_string(control.Top()) + ", " +
         std::to_string(control.Width()) + "x" + std::to_string(control.Height());
}

}  // namespace

void TShowcaseMainForm::StartCloseTimer() {
  ObjectCast<TTimer>(FindComponent("CloseTimer"))->SetEnabled(true);
}

void TShowcaseMainForm::ReportMessages() const {
  const auto count = [&](UINT msg) {
    auto it = FCounts.find(msg);
    return std::to_string(it == FCounts.end() ? 0 : it->second);
  };
  Report(*FindComponent("MessageHook"), "form hook saw " + std::to_string(FMessages) + " messages of " + Name() +
                                            " (WM_MOVE " + count(WM_MOVE) + ", WM_SIZE " + count(WM_SIZE) +
                                            ", WM_SHOWWINDOW " + count(WM_SHOWWINDOW) + ", WM_WINDOWPOSCHANGED " +
                                            count(WM_WINDOWPOSCHANGED) + ", WM_ACTIVATE " + count(WM_ACTIVATE) +
                                            ", WM_PAINT " + count(WM_PAINT) + ")");
}

void TShowcaseMainForm::ShowBoard() {
  auto* list1 = ObjectCast<TListBox>(FindComponent("Page1List"));
  auto* list2 = ObjectCast<TListBox>(FindComponent("Page2List"));
  auto* label2 = ObjectCast<TLabel>(FindComponent("Page2Label"));
  SetUpBoard(*list1, *list2);
  // Each list exactly as tall as its lines (plus its sunken edge), the form around both.
  const int edge = list1->Height() - (list1->ClientRect().bottom - list1->ClientRect().top);
  list1->SetHeight(list1->ItemHeight() * list1->Items()->Count() + edge);
  label2->SetTop(list1->Top() + list1->Height() + 8);
  list2->SetTop(label2->Top() + label2->Height() + 4);
  list2->SetHeight(list2->ItemHeight() * list2->Items()->Count() + edge);
  SetClientWidth(list1->Left() + list1->Width() + 8);
  SetClientHeight(list2->Top() + list2->Height() + 8);
}

bool TShowcaseMainForm::RunStoreData() {
  // reference example: TKYTStoreData
  auto* settings = ObjectCast<TKYTStoreData>(FindComponent("Settings"));
  const int32_t runs = std::max(settings->ReadInt("Runs"), 0) + 1;
  settings->WriteInt("Runs", runs);
  settings->WriteCrypt("Greeting", "Hello from the showcase");
  const std::string greeting = settings->ReadCrypt("Greeting");
  // end of reference example
  Report(*settings, "Settings: run " + std::to_string(runs) + " counted under HKCU\\Software\\KYT\\Showcase\\Settings; " +
                        "a scrambled value reads back as '" + greeting + "'");
  return settings->ReadInt("Runs") == runs && greeting == "Hello from the showcase";
}

bool TShowcaseMainForm::ReportSettingsAndStrings() const {
  auto* startup = ObjectCast<TKYTStartup>(FindComponent("Startup1"));
  auto* lists = ObjectCast<TKYTMultiLists>(FindComponent("Lists1"));
  auto* notes = ObjectCast<TKYTStringHolder>(FindComponent("Notes"));
  auto* jokes = ObjectCast<TKYTJokeHolder>(FindComponent("Jokes"));
  if (!startup || !lists || !notes || !jokes || !FindComponent("AbortWatch")) return false;
  // Shown configured only: a Run entry would start the showcase at every log-on.
  Report(*startup, "startup entry '" + startup->UniqueName() + "' configured with AutoStartup = " +
         (startup->AutoStartup() ? "True" : "False") + "; it would name " +
         KYTRunCommand(Application->ExeName()) + " (nothing written to the Run key)");
  if (!FAbortReported)
    Report(*FindComponent("AbortWatch"), "illegal-abort detector: the previous run ended in order (or this is the first)");
  // reference example: TKYTMultiLists
  std::string text = "string lists: " + std::to_string(lists->Lists()->Count()) + " lists";
  for (int i = 0; i < lists->Lists()->Count(); ++i) {
    TKYTStringList* list = lists->Lists()->GeTKYTStringList(i);
    text += std::string(i ? ";" : ":") + " " + list->DisplayName() + " " + std::to_string(i) + " = " +
            list->Strings()->CommaText();
    if (auto* flagged = dynamic_cast<TKYTBetaStringList*>(list))
      text += std::string(" (HasBoolean = ") + (flagged->HasBoolean() ? "True" : "False") + ")";
  }
  Report(*lists, text);
  // end of reference example
  // reference example: TKYTStringHolder
  Report(*notes, "string holder: " + std::to_string(notes->Items()->Count()) + " lines, first '" +
         notes->Items()->Strings(0) + "'");
  // end of reference example
  // reference example: TKYTJokeHolder
  Report(*jokes, "joke holder: " + std::to_string(jokes->Items()->Count()) + " jokes; line 0 '" +
         jokes->Getone(0) + "'; at random '" + jokes->Getany() + "'");
  // end of reference example
  return lists->Lists()->Count() == 2 && notes->Items()->Count() == 2 &&
         jokes->Items()->Count() == kKYTJokeCount;
}

void TShowcaseMainForm::AbortWatchIllegalAbort(TObject*) {
  FAbortReported = true;
  Report(*FindComponent("AbortWatch"), "illegal-abort detector: the previous run did not end in order (OnIllegalAbort)");
}

void TShowcaseMainForm::MainFormClose(TObject*, TCloseAction&) { Report("main form closed"); }

void TShowcaseMainForm::SaverStore(TObject*) {
  Report(*FindComponent("Saver"), "form saver stores every form; the main form at " + BoundsOf(*this) +
         " under HKCU\\Software\\KYT\\Showcase");
}

void TShowcaseMainForm::SaverRestore(TObject*) {
  auto* saver = ObjectCast<TKYTFormSaver>(FindComponent("Saver"));
  const bool stored = saver->ReadInt("TShowcaseMainForm_Left", -1) != -1;
  Report(*saver, "form saver restored the main form at " + BoundsOf(*this) +
         (stored ? " (where the last run left it)" : " (nothing stored yet: its designed bounds)"));
}

void TShowcaseMainForm::MessageHookMessage(TObject*, TMessage& message) {
  ++FMessages;
  ++FCounts[message.Msg];
}

void TShowcaseMainForm::DialogOk(TObject* sender) {
  auto* component = static_cast<TComponent*>(sender);
  std::string text = component->Name() + ": OnOk";
  if (auto* query = dynamic_cast<TKYTMsgDlg*>(component)) text += ", Return = '" + query->Return() + "'";
  if (auto* select = dynamic_cast<TKYTMsgSelect*>(component)) text += ", Return = '" + select->Return() + "'";
  Report(*component, text);
}

void TShowcaseMainForm::DialogCancel(TObject* sender) {
  Report(*static_cast<TComponent*>(sender), static_cast<TComponent*>(sender)->Name() + ": OnCancel");
}

void TShowcaseMainForm::AlarmTrigger(TObject* sender) {
  Report(*static_cast<TComponent*>(sender), "time trigger: OnTrigger at " + static_cast<TKYTTimeTrigger*>(sender)->CurrentTime() + ", now disarmed");
}

void TShowcaseMainForm::AlarmNewDate(TObject* sender) {
  Report(*static_cast<TComponent*>(sender), "time trigger: a new day, " + static_cast<TKYTTimeTrigger*>(sender)->CurrentDate());
}

void TShowcaseMainForm::DiscsAfterInsert(TObject*, char drive) {
  ++FDiscNotices;
  Report(*FindComponent("Discs"), std::string("CD triggers: AfterInsert, a disc in ") + drive + ": (a notice the showcase sent itself)");
}

void TShowcaseMainForm::DiscsAfterRemove(TObject*, char drive) {
  ++FDiscNotices;
  Report(*FindComponent("Discs"), std::string("CD triggers: AfterRemove, the disc left ") + drive + ":");
}

void TShowcaseMainForm::ChimeError(TObject*) { Report(*FindComponent("Chime"), "wave player: OnError"); }

void TShowcaseMainForm::ExplodeGetPoints(TObject*, int32_t& left, int32_t& top, int32_t& right,
                                         int32_t& bottom) {
  // Called twice per show: once before the outlines grow, once before they are erased.
  if (++FExplodeRectangles % 2 == 1)
    Report(*FindComponent("Explode1"), "explode animation: the main form grows on the screen from (" + std::to_string(left) + ", " +
           std::to_string(top) + ", " + std::to_string(right) + ", " + std::to_string(bottom) + ")");
}

void TShowcaseMainForm::CloseTimerTimer(TObject* sender) {
  static_cast<TTimer*>(sender)->SetEnabled(false);
  Close();
}

void TShowcaseMainForm::DriveVolumeUpdated(TObject* sender) {
  auto* volume = static_cast<TKYTDriveVolume*>(sender);
  Report(*volume, volume->Name() + ": drive " + volume->CurrentDrive() + ": label '" + volume->VolumeLabel() +
         "', serial " + volume->SerialNumber() + ", file system " + volume->FileSystemName() + ", flags " +
         std::to_string(volume->FileSystemFlags()));
}

void TShowcaseMainForm::DriveVolumeError(int32_t errorNumber) {
  ++FDriveErrors;
  FLastDriveError = errorNumber;
}

int TShowcaseMainForm::TakeDriveErrors(int32_t* lastError) {
  const int count = FDriveErrors;
  if (lastError) *lastError = FLastDriveError;
  FDriveErrors = 0;
  return count;
}

void TShowcaseMainForm::ResourceInfoNewValues(TObject* sender) {
  // reference example: TKYTResourceInfo
  auto* info = static_cast<TKYTResourceInfo*>(sender);
  Report(*info, info->Name() + " ticked at " + info->CurrentTime() + ": memory " + info->MemoryPercInUse() + ", " +
         info->PhysMemFree() + " of " + info->PhysMemTotal() + " free");
  // end of reference example
}

void TShowcaseMainForm::LogFileClear(TObject* sender) {
  Report(*static_cast<TComponent*>(sender), static_cast<TComponent*>(sender)->Name() + ": OnClear, the log is emptied");
}

// Drops the comment lines, puts a heading first and writes "color" for "colour".
void TShowcaseMainForm::TextReplaceBeforeWrite(TObject* sender, std::string& line, int32_t lineNo,
                                               bool& writeLine) {
  auto* replace = static_cast<TKYTTextReplace*>(sender);
  if (lineNo == 1) replace->AddNewString("Colors (rewritten by the showcase)");
  if (!line.empty() && line[0] == '#') {
    writeLine = false;
    return;
  }
  for (size_t at = line.find("colour"); at != std::string::npos; at = line.find("colour", at))
    line.replace(at, 6, "color");
}

void TShowcaseMainForm::DroppedFilesStartDrop(TObject* sender) {
  Report(*static_cast<TComponent*>(sender), static_cast<TComponent*>(sender)->Name() + ": OnStartDrop");
}

void TShowcaseMainForm::DroppedFilesDrop(TObject* sender, const std::string& item) {
  Report(*static_cast<TComponent*>(sender), static_cast<TComponent*>(sender)->Name() + ": OnDrop '" + item + "'");
}

void TShowcaseMainForm::DroppedFilesEndDrop(TObject* sender) {
  auto* dropped = static_cast<TKYTDroppedFiles*>(sender);
  Report(*dropped, dropped->Name() + ": OnEndDrop, " + std::to_string(dropped->DroppedItems()->Count()) +
         " files collected");
}

void TShowcaseMainForm::ReportApplication() const {
  const auto* app = ObjectCast<TKYTApplication>(FindComponent("App"));
  Report(*app, "application component " + app->Name() + " set the title '" + Application->Title() + "' and a hint pause of " +
         std::to_string(Application->HintPause()) + " ms; its idle handler ran " + std::to_string(FIdles) +
         " times");
  const TKYTInstanceCount copies = TKYTOnlyOne::CountInstances();
  Report(*FindComponent("OnlyOne"), "single-instance guard counts " + std::to_string(copies.Count) +
         " running copy(ies) of this application (limit 1; a second copy would bring this one back and end)");
}

bool TShowcaseMainForm::RunTray() {
  // reference example: TKYTSystemTray
  auto* tray = ObjectCast<TKYTSystemTray>(FindComponent("Tray"));
  Application->Minimize();
  const bool inTray = tray->InTray() && !os::user32.IsWindowVisible(Application->Handle());
  // end of reference example
  Report(*tray, std::string("tray icon: the minimised application ") +
         (inTray ? "left the task bar for the tray" : "did NOT move into the tray"));
  // What the tray sends when the icon is clicked: the click handler restores the application.
  os::user32.SendMessageA(tray->Handle(), kTrayCallbackMessage, 0, WM_LBUTTONUP);
  const bool back = !Application->Minimized() && !tray->InTray() && os::user32.IsWindowVisible(Application->Handle());
  Report(*tray, std::string("tray icon: a click on the icon ") + (back ? "brought the application back" : "did NOT restore it"));
  return inTray && back;
}

void TShowcaseMainForm::AppIdle(TObject*, bool&) { ++FIdles; }

void TShowcaseMainForm::OnlyOneExceeded(TObject*, int32_t copies) {
  Report(*FindComponent("OnlyOne"), "single-instance guard: " + std::to_string(copies) + " copies running; bringing the first one back");
}

void TShowcaseMainForm::TrayClick(TObject*) {
  Report(*FindComponent("Tray"), "tray icon clicked");
  Application->Restore();
}

void TShowcaseMainForm::TrayMinimize(TObject*) { Report(*FindComponent("Tray"), "tray icon: OnMinimize"); }

void TShowcaseMainForm::TrayRestore(TObject*) { Report(*FindComponent("Tray"), "tray icon: OnRestore"); }

void TShowcaseMainForm::TrayRestoreItemClick(TObject*) { Application->Restore(); }

void TShowcaseMainForm::FileOperatorSucceeded(TObject* sender) {
  auto* op = ObjectCast<TKYTFileOperator>(sender);
  Report(*op, "file operator copied " + std::to_string(op->FilesFrom()->Count()) + " files to " + op->DirTo());
}

void TShowcaseMainForm::FileOperatorFailed(TObject* sender) {
  Report(*static_cast<TComponent*>(sender), "file operator: the copy failed");
}

void TShowcaseMainForm::FileCollectorFileFound(TObject* sender, const std::string& fileName) {
  Report(*static_cast<TComponent*>(sender), "file collector found " + fileName);
}

}  // namespace kyt
