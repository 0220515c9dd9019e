// KYTSysReg: the package's registration tables and its five property editors.
#include "package/KYTSysReg.h"

#include "framework/KYTSystem.h"
#include "dialogs/KYTTMessages.h"
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileCollector.h"
#include "files/KYTTFileExecute.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTFileProperties.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"
#include "forms/KYTTApplication.h"
#include "forms/KYTTOnlyOne.h"
#include "forms/KYTTSystemTray.h"
#include "framework/KYTTFormHook.h"
#include "forms/KYTTFormAspect.h"
#include "forms/KYTTFormExplode.h"
#include "forms/KYTTFormSizes.h"
#include "forms/KYTTMouseController.h"
#include "forms/KYTTTopMost.h"
#include "host/core/Collection.h"
#include "host/core/Strings.h"
#include "host/vcl/Dialogs.h"
#include "persistence/KYTTFormSaver.h"
#include "persistence/KYTTIllegalAbort.h"
#include "persistence/KYTTStartup.h"
#include "persistence/KYTTStoreData.h"
#include "strings/KYTTHolders.h"
#include "strings/KYTTMultiLists.h"
#include "system/KYTTCDTriggers.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTExitWindows.h"
#include "system/KYTTResourceInfo.h"
#include "system/KYTTScreenSaver.h"
#include "system/KYTTSystemDetails.h"
#include "system/KYTTSystemKeys.h"
#include "system/KYTTTimeTrigger.h"
#include "system/KYTTVersionDetails.h"
#include "system/KYTTWallPaper.h"
#include "system/KYTTWavePlayer.h"

namespace kyt {

// ---- The package's tables. Each component is one line: page, class name and, once its unit is
// built, its class (add the unit's header above and link its library in package/CMakeLists.txt).

namespace {

struct TPackageEntry {
  const char* Page;
  const char* ClassName;
  const TClassInfo& (*Class)();   // null: not built yet
};

// Classes made known to streaming by name, before everything else.
const TPackageEntry kStreamedClasses[] = {
    {"", "TKYTDataStore", &TKYTDataStore::StaticClass},
};

const TPackageEntry kPalette[] = {
    {kKYTPage1, "TKYTExitWindows", &TKYTExitWindows::StaticClass},
    {kKYTPage1, "TKYTFileExecute", &TKYTFileExecute::StaticClass},
    {kKYTPage1, "TKYTTopMost", &TKYTTopMost::StaticClass},
    {kKYTPage1, "TKYTOnlyOne", &TKYTOnlyOne::StaticClass},
    {kKYTPage1, "TKYTMsgDlg", &TKYTMsgDlg::StaticClass},
    {kKYTPage1, "TKYTMsgBox", &TKYTMsgBox::StaticClass},
    {kKYTPage1, "TKYTMsgSelect", &TKYTMsgSelect::StaticClass},
    {kKYTPage1, "TKYTStartup", &TKYTStartup::StaticClass},
    {kKYTPage1, "TKYTScreenSaver", &TKYTScreenSaver::StaticClass},
    {kKYTPage1, "TKYTTimeTrigger", &TKYTTimeTrigger::StaticClass},
    {kKYTPage1, "TKYTWallPaper", &TKYTWallPaper::StaticClass},
    {kKYTPage1, "TKYTFormHook", &TKYTFormHook::StaticClass},
    {kKYTPage1, "TKYTMouseController", &TKYTMouseController::StaticClass},
    {kKYTPage1, "TKYTWavePlayer", &TKYTWavePlayer::StaticClass},
    {kKYTPage1, "TKYTCDTriggers", &TKYTCDTriggers::StaticClass},
    {kKYTPage1, "TKYTVersionDetails", &TKYTVersionDetails::StaticClass},
    {kKYTPage1, "TKYTSystemKeys", &TKYTSystemKeys::StaticClass},
    {kKYTPage1, "TKYTMultiLists", &TKYTMultiLists::StaticClass},
    {kKYTPage2, "TKYTFormSizes", &TKYTFormSizes::StaticClass},
    {kKYTPage2, "TKYTFormAspect", &TKYTFormAspect::StaticClass},
    {kKYTPage2, "TKYTDriveVolume", &TKYTDriveVolume::StaticClass},
    {kKYTPage2, "TKYTApplication", &TKYTApplication::StaticClass},
    {kKYTPage2, "TKYTStoreData", &TKYTStoreData::StaticClass},
    {kKYTPage2, "TKYTIllegalAbort", &TKYTIllegalAbort::StaticClass},
    {kKYTPage2, "TKYTFormSaver", &TKYTFormSaver::StaticClass},
    {kKYTPage2, "TKYTLogFile", &TKYTLogFile::StaticClass},
    {kKYTPage2, "TKYTTextReplace", &TKYTTextReplace::StaticClass},
    {kKYTPage2, "TKYTSystemTray", &TKYTSystemTray::StaticClass},
    {kKYTPage2, "TKYTFileProperties", &TKYTFileProperties::StaticClass},
    {kKYTPage2, "TKYTFileOperator", &TKYTFileOperator::StaticClass},
    {kKYTPage2, "TKYTDroppedFiles", &TKYTDroppedFiles::StaticClass},
    {kKYTPage2, "TKYTSystemDetails", &TKYTSystemDetails::StaticClass},
    {kKYTPage2, "TKYTFileCollector", &TKYTFileCollector::StaticClass},
    {kKYTPage2, "TKYTStringHolder", &TKYTStringHolder::StaticClass},
    {kKYTPage2, "TKYTJokeHolder", &TKYTJokeHolder::StaticClass},
    {kKYTPage2, "TKYTFormExplode", &TKYTFormExplode::StaticClass},
    {kKYTPage2, "TKYTResourceInfo", &TKYTResourceInfo::StaticClass},
};

// The drive-volume component, whose data entries get read-only editors.
const TPackageEntry kDriveVolume = {"", "TKYTDriveVolume", &TKYTDriveVolume::StaticClass};

const TClassInfo* ClassOf(const TPackageEntry& e) { return e.Class ? &e.Class() : nullptr; }

}  // namespace

void Register() {
  ClearDesignTables();
  // 1. Streaming.
  for (const TPackageEntry& e : kStreamedClasses) RegisterStreamedClass(e.ClassName, ClassOf(e));
  // 2. The about entry of every component.
  RegisterPropertyEditor("TKYTAboutStr", &TKYTSystemsComponent::StaticClass(), "TKYTSystemsComponent", "About",
                         TKYTAboutSystemComponent::StaticEditorClass());
  // 3, 4. The palette pages.
  for (const char* page : {kKYTPage1, kKYTPage2}) {
    std::vector<TPaletteEntry> entries;
    for (const TPackageEntry& e : kPalette)
      if (std::string(e.Page) == page) entries.push_back({page, e.ClassName, ClassOf(e)});
    RegisterComponents(page, entries);
  }
  // 5. The execute test of every executable component.
  RegisterPropertyEditor("TKYTExecSysStr", &TKYTExecuteComponent::StaticClass(), "TKYTExecuteComponent",
                         "DesignExecute", TKYTExecSystemProperty::StaticEditorClass());
  // 6-8. The drive volume's data entries are read-only.
  const TClassInfo* drive = ClassOf(kDriveVolume);
  RegisterPropertyEditor("string", drive, kDriveVolume.ClassName, "", TKYTROStringProperty::StaticEditorClass());
  RegisterPropertyEditor("Boolean", drive, kDriveVolume.ClassName, "", TKYTROBooleanproperty::StaticEditorClass());
  RegisterPropertyEditor("Integer", drive, kDriveVolume.ClassName, "", TKYTROIntegerProperty::StaticEditorClass());
}

// ---- The package's editors

std::string KYTAboutMessage() {
  return "KYT System Components\r\n\r\n"
         "Thirty-seven non-visual components for Windows applications: settings in the registry or "
         "an ini file, message dialogs, file operations, form behaviour and system services.\r\n"
         "Drop them on a form, set their properties and call Execute.";
}

TPropertyAttributes TKYTAboutSystemComponent::GetAttributes() const { return {paDialog, paMultiSelect, paReadOnly}; }
std::string TKYTAboutSystemComponent::GetValue() const { return "(" + std::string("KYT System Components") + ")"; }
void TKYTAboutSystemComponent::Edit() { ShowMessage(KYTAboutMessage()); }

TPropertyAttributes TKYTExecSystemProperty::GetAttributes() const { return {paDialog, paReadOnly}; }
std::string TKYTExecSystemProperty::GetValue() const { return "(" + std::string("Execute Test") + ")"; }
void TKYTExecSystemProperty::Edit() { ObjectCast<TKYTExecuteComponent>(GetComponent(0))->Execute(); }

TPropertyAttributes TKYTROStringProperty::GetAttributes() const { return inherited::GetAttributes() + TPropertyAttributes{paReadOnly}; }
TPropertyAttributes TKYTROBooleanproperty::GetAttributes() const { return inherited::GetAttributes() + TPropertyAttributes{paReadOnly}; }
TPropertyAttributes TKYTROIntegerProperty::GetAttributes() const { return inherited::GetAttributes() + TPropertyAttributes{paReadOnly}; }

}  // namespace kyt
