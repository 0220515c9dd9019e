// Fault sweeps of the settings components: every fallible platform call of a store and restore
// fails once, and the settings are then all written or none.
#include <gtest/gtest.h>

#include <cwchar>

#include <cstring>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTFormSaver.h"
#include "persistence/KYTTIllegalAbort.h"
#include "persistence/KYTTStartup.h"
#include "persistence/KYTTStoreData.h"
#include "tests/persistence/PersistenceTestSupport.h"
#include "tests/support/FaultSweep.h"
#include "tests/support/RegistrySnapshot.h"

namespace kyt {

// The form the saver keeps; its class name names the values.
class TSweepSaverForm : public TForm {
  KYT_CLASS(TSweepSaverForm, TForm)
 public:
  using TForm::TForm;
};

namespace {

using namespace test;

const std::string kKey = ptest::kTestsKey + "\\Sweep";

// OnError of a data store sets the flag it is bound to.
TNotifyEvent Flags(bool& flag) {
  return TNotifyEvent::FromFunction([](void* f, TObject*) { *static_cast<bool*>(f) = true; }, &flag);
}

struct TBackEnd {
  const char* Name;
  TKYTDatatype Type;
};

class StoreSweep : public ::testing::TestWithParam<TBackEnd> {};

TEST_P(StoreSweep, AValueIsWrittenWholeOrNotAtAllAndReadsBackOrReports) {
  ptest::TempFolder folder("sweep");
  const std::string ini = folder.File("settings.ini");
  bool error = false;
  auto setUp = [&](TKYTDataStore* store) {
    store->SetDatatype(GetParam().Type);
    store->Registry()->SetPath(kKey);
    store->Registry()->SetSection("Store");
    store->Inifile()->SetFilename(ini);
    store->Inifile()->SetSection("Store");
    store->SetOnError(Flags(error));
  };
  TFaultScenario s{std::string("StoreData.") + GetParam().Name, [&](const TFaultRun&) {
                     TOwned<TKYTStoreData> data(new TKYTStoreData(nullptr));
                     setUp(data->DataStore());
                     error = false;
                     TFaultOutcome out = Raises([&] { data->DataStore()->WriteCrypt("Secret", kCyrillic + kCjk); });
                     if (!out.Reported) out = ReportedIf(error, data->DataStore()->ReadCrypt("Secret"));
                     return out;
                   },
                   [&] { return RegistryState(kKey) + FileState(ini); },
                   [&] {
                     DeleteRegistryTree(kKey);
                     ::DeleteFileA(ini.c_str());
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  DeleteRegistryTree(kKey);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, StoreSweep,
                         ::testing::Values(TBackEnd{"Registry", sRegistry}, TBackEnd{"IniFile", sIniFile}),
                         [](const auto& info) { return std::string(info.param.Name); });

class FormSaverSweep : public ::testing::TestWithParam<TBackEnd> {};

TEST_P(FormSaverSweep, StoresEveryBoundOrNoneAndRestoresThemOrReports) {
  ptest::TempFolder folder("saver sweep");
  const std::string ini = folder.File("saver.ini");
  bool error = false;
  TFaultScenario s{std::string("FormSaver.") + GetParam().Name,
                   [&](const TFaultRun&) {
                     return Caught([&] {
                       TOwned<TSweepSaverForm> form(new TSweepSaverForm(Application));
                       form->SetBounds(40, 50, 300, 200);
                       auto* saver = new TKYTFormSaver(form.get());
                       saver->FormStore()->SetDatatype(GetParam().Type);
                       saver->FormStore()->Registry()->SetPath(kKey);
                       saver->FormStore()->Registry()->SetSection("Saver");
                       saver->FormStore()->Inifile()->SetFilename(ini);
                       saver->FormStore()->Inifile()->SetSection("Saver");
                       saver->Store();
                       form->SetBounds(0, 0, 100, 100);
                       error = false;
                       saver->FormStore()->SetOnError(Flags(error));
                       saver->Restore();
                       const std::string bounds = std::to_string(form->Left()) + "," + std::to_string(form->Top()) +
                                                  "," + std::to_string(form->Width()) + "," +
                                                  std::to_string(form->Height());
                       // OnError also tells of values other forms of the application never stored:
                       // it reports this run's failure when the bounds did not come back.
                       return ReportedIf(error && bounds != "40,50,300,200", bounds);
                     });
                   },
                   [&] { return RegistryState(kKey) + FileState(ini); },
                   [&] {
                     // The values of an earlier store, which a failed one must leave whole.
                     DeleteRegistryTree(kKey);
                     ::DeleteFileA(ini.c_str());
                     if (GetParam().Type == sIniFile) {
                       ptest::WriteFileBytes(ini, "[Other]\r\nKept=1\r\n[Saver]\r\nTSweepSaverForm_Width=111\r\n");
                     } else {
                       ptest::WriteRawRegString(kKey + "\\Saver", "TSweepSaverForm_Width", "111");
                       ptest::WriteRawRegString(kKey + "\\Saver", "Kept", kCjk);
                     }
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  DeleteRegistryTree(kKey);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, FormSaverSweep,
                         ::testing::Values(TBackEnd{"Registry", sRegistry}, TBackEnd{"IniFile", sIniFile}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(IllegalAbortSweep, RaisesTheMarkerAtLoadAndLowersItAtTheOrderlyEnd) {
  const std::string text = "object SweepForm: TForm\n  object Abort1: TKYTIllegalAbort\n"
                           "    ParamStore.Registry.Path = '" + kKey + "'\n    ParamStore.Registry.Section = 'Abort'\n"
                           "  end\nend\n";
  TFaultScenario s{"IllegalAbort", [&](const TFaultRun& run) {
                     TFaultOutcome out = Raises([&] {
                       TOwned<TForm> form(new TForm(nullptr));
                       ReadRootText(*form, text, "Sweep.kfm");
                     });
                     // A destructor cannot report: a marker it could not lower stays raised, and
                     // the next start tells of an abnormal end, the safer mistake.
                     out.Unreportable = !out.Reported;
                     if (out.Unreportable && run.Failed()) out.AsDocumented = "the marker stays raised";
                     return out;
                   },
                   [&] { return RegistryState(kKey); }, [&] { DeleteRegistryTree(kKey); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  DeleteRegistryTree(kKey);
}

// The application is told it runs from a program that does not exist: the Run list never names
// a real one.
DWORD WINAPI MadeUpExe(HMODULE, LPWSTR buffer, DWORD size) {
  const wchar_t* path = L"C:\\KYT sweep\\no such program.exe";
  const DWORD length = static_cast<DWORD>(std::wcslen(path));
  if (size <= length) return 0;
  std::wmemcpy(buffer, path, length + 1);
  return length;
}

TEST(StartupSweep, AddsTheRunEntryOrReportsFalse) {
  const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string name = "KYT fault sweep " + std::to_string(::GetCurrentProcessId());
  auto remove = [&] {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    ::RegDeleteValueA(key, name.c_str());
    ::RegCloseKey(key);
  };
  os::ScopedOverride exe(os::kernel32.GetModuleFileNameW, &MadeUpExe);
  TFaultScenario s{"Startup", [&](const TFaultRun&) {
                     TOwned<TKYTStartup> startup(new TKYTStartup(nullptr));
                     startup->SetUniqueName(name);
                     return ReportedIf(!startup->InstallApp(true));
                   },
                   [&] { return ReadRegistryText(HKEY_LOCAL_MACHINE, kRun, name); }, remove};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  remove();
}

}  // namespace
}  // namespace kyt
