// Tests of the illegal-abort detector: the marker in the registry of the test prefix and in
// real ini files, and an abnormal end for real, by a child process that is killed.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "host/rtl/IniFiles.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTIllegalAbort.h"
#include "tests/persistence/PersistenceTestSupport.h"
#include "tests/support/DesignToolRun.h"
#include "tests/support/NonAscii.h"
#include "tests/support/StartProcess.h"

namespace kyt {
namespace {

using ptest::kTestsKey;

const std::string kSection = "Run";
const std::string kChildFlag = "--kyt-illegal-abort-child";
const char* const kChildKeyVariable = "KYT_ILLEGAL_ABORT_KEY";

// Counts events and remembers the sender and what the marker held while the handler ran.
struct AbortCounter {
  int count = 0;
  TObject* sender = nullptr;
  std::string markerSeen;
  std::string markerKey;
  void Fired(TObject* s) {
    ++count;
    sender = s;
    const auto raw = ptest::ReadRawRegValue(markerKey, kKYTIllegalAbortMarker);
    markerSeen = raw ? raw->text : "<missing>";
  }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&AbortCounter::Fired>(this); }
};

class TAbortTestForm : public TForm {
  KYT_CLASS(TAbortTestForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TAbortTestForm>& m) {
    m.template Method<&TAbortTestForm::AbortFound>("AbortFound");
  }
  explicit TAbortTestForm(TComponent* owner) : TForm(owner) {}
  void AbortFound(TObject*) { ++found; }
  int found = 0;
};

const bool kFormRegistered = [] {
  RegisterClass(TAbortTestForm::StaticClass());
  return true;
}();

// The form file of an application whose detector keeps its marker in HKCU\path\Run.
std::string AppForm(const std::string& path) {
  return "object AbortForm: TAbortTestForm\n"
         "  object Abort1: TKYTIllegalAbort\n"
         "    ParamStore.Registry.Path = '" + path + "'\n"
         "    ParamStore.Registry.Section = '" + kSection + "'\n"
         "    OnIllegalAbort = AbortFound\n"
         "  end\n"
         "end\n";
}

// One start of the application: its form is read (which raises the marker) and freed at the end
// of the scope (which lowers it).
struct AppRun {
  explicit AppRun(const std::string& path) { ReadRootText(form, AppForm(path), "abort.kfm"); }
  TAbortTestForm form{nullptr};
};

class IllegalAbortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = kTestsKey + "\\IllegalAbort-" + std::to_string(::GetCurrentProcessId());
    ptest::DeleteTestKey(key_);
  }
  void TearDown() override { ptest::DeleteTestKey(key_); }

  std::string Marker() const {
    const auto raw = ptest::ReadRawRegValue(key_ + "\\" + kSection, kKYTIllegalAbortMarker);
    return raw ? raw->text : "<missing>";
  }
  void Point(TKYTIllegalAbort& detector) const {
    detector.ParamStore()->Registry()->SetPath(key_);
    detector.ParamStore()->Registry()->SetSection(kSection);
  }

  std::string key_;
};

TEST_F(IllegalAbortTest, FirstRunAndOrderlyRunsFireNothing) {
  {
    AppRun first(key_);
    EXPECT_EQ(first.form.found, 0);
    EXPECT_EQ(Marker(), "1");
  }
  EXPECT_EQ(Marker(), "0");
  {
    AppRun second(key_);
    EXPECT_EQ(second.form.found, 0);
    EXPECT_EQ(Marker(), "1");
  }
  EXPECT_EQ(Marker(), "0");
}

TEST_F(IllegalAbortTest, ARaisedMarkerFiresOnceBeforeItIsRaisedAgain) {
  ptest::WriteRawRegString(key_ + "\\" + kSection, kKYTIllegalAbortMarker, "1");
  AbortCounter counter;
  counter.markerKey = key_ + "\\" + kSection;
  {
    // reference example: TKYTIllegalAbort
    TKYTIllegalAbort detector(nullptr);
    Point(detector);
    detector.SetOnIllegalAbort(counter.Event());
    detector.Loaded();
    // end of reference example
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(counter.sender, &detector);
    EXPECT_EQ(Marker(), "1");
  }
  EXPECT_EQ(Marker(), "0");
}

TEST_F(IllegalAbortTest, EveryNormalStartReportsTheMissingMarkerAsAStoreError) {
  int errors = 0;
  struct Counter {
    int* errors;
    void Fired(TObject*) { ++*errors; }
  } counter{&errors};
  for (int run = 0; run < 2; ++run) {
    TKYTIllegalAbort detector(nullptr);
    Point(detector);
    detector.ParamStore()->SetOnError(TNotifyEvent::Bind<&Counter::Fired>(&counter));
    detector.Loaded();
  }
  EXPECT_EQ(errors, 2) << "0 is the error value, so the read of a lowered marker reports one";
}

TEST_F(IllegalAbortTest, TwoDetectorsWithOneStoreShareTheMarker) {
  AbortCounter first, second;
  TKYTIllegalAbort a(nullptr), b(nullptr);
  Point(a);
  Point(b);
  a.SetOnIllegalAbort(first.Event());
  b.SetOnIllegalAbort(second.Event());
  a.Loaded();
  b.Loaded();
  EXPECT_EQ(first.count, 0);
  EXPECT_EQ(second.count, 1) << "the second copy sees the first copy's raised marker";
}

TEST_F(IllegalAbortTest, ADisabledStoreOrEmptySectionKeepsNoMarker) {
  AbortCounter counter;
  {
    TKYTIllegalAbort detector(nullptr);
    Point(detector);
    detector.ParamStore()->SetEnabled(false);
    detector.SetOnIllegalAbort(counter.Event());
    detector.Loaded();
  }
  {
    TKYTIllegalAbort detector(nullptr);
    Point(detector);
    detector.ParamStore()->Registry()->SetSection("");
    detector.Loaded();
  }
  EXPECT_EQ(counter.count, 0);
  EXPECT_FALSE(ptest::TestKeyExists(key_));
}

TEST_F(IllegalAbortTest, AStoreThatCannotBeWrittenRaisesInLoadedButNotFromTheDestructor) {
  ptest::TempFolder folder("IllegalAbortReadOnly");
  const std::string ini = folder.File("marker.ini");
  ptest::WriteFileBytes(ini, "[Run]\r\nIllegalAbort=1\r\n");
  ASSERT_TRUE(::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  AbortCounter counter;
  {
    auto detector = std::make_unique<TKYTIllegalAbort>(nullptr);
    detector->ParamStore()->SetDatatype(sIniFile);
    detector->ParamStore()->Inifile()->SetFilename(ini);
    detector->ParamStore()->Inifile()->SetSection(kSection);
    detector->SetOnIllegalAbort(counter.Event());
    EXPECT_THROW(detector->Loaded(), EIniFileException);
    EXPECT_EQ(counter.count, 1) << "the marker was read before the write failed";
    EXPECT_NO_THROW(detector.reset());
  }
  EXPECT_EQ(ptest::ReadRawIniValue(ini, kSection, kKYTIllegalAbortMarker), "1");
  ::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(IllegalAbortTest, TheIniBackEndKeepsTheMarkerToo) {
  ptest::TempFolder folder("IllegalAbortIni");
  const std::string ini = folder.File("marker.ini");
  auto configure = [&](TKYTIllegalAbort& d) {
    d.ParamStore()->SetDatatype(sIniFile);
    d.ParamStore()->Inifile()->SetFilename(ini);
    d.ParamStore()->Inifile()->SetSection(kSection);
  };
  {
    TKYTIllegalAbort detector(nullptr);
    configure(detector);
    detector.Loaded();
    EXPECT_EQ(ptest::ReadRawIniValue(ini, kSection, kKYTIllegalAbortMarker), "1");
  }
  EXPECT_EQ(ptest::ReadRawIniValue(ini, kSection, kKYTIllegalAbortMarker), "0");
}

TEST_F(IllegalAbortTest, AFormStoresTheStoreSettingsAndTheHandler) {
  TAbortTestForm form(nullptr);
  ReadRootText(form, AppForm(key_), "abort.kfm");
  const std::string text = WriteComponentText(form);
  TAbortTestForm copy(nullptr);
  ReadRootText(copy, text, "copy.kfm");
  auto* read = ObjectCast<TKYTIllegalAbort>(copy.FindComponent("Abort1"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->ParamStore()->Registry()->Path(), key_) << text;
  EXPECT_NE(text.find("ParamStore.Registry.Section = 'Run'"), std::string::npos) << text;
  EXPECT_NE(text.find("OnIllegalAbort = AbortFound"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;
  auto* detector = ObjectCast<TKYTIllegalAbort>(form.FindComponent("Abort1"));
  ASSERT_NE(detector, nullptr);
  EXPECT_EQ(detector->ParamStore()->ErrorInt(), 0);
}

// ---- An abnormal end for real: a child process (this executable started again) raises the
// marker and waits to be killed.

const bool kChildRegistered = [] {
  if (!std::strstr(::GetCommandLineA(), kChildFlag.c_str())) return true;
  // The marker's key comes in the environment: it holds blanks and text in any script.
  const std::string path = test::EnvironmentVariable(kChildKeyVariable);
  ::testing::RegisterTest("IllegalAbortChild", "RaisesTheMarkerAndWaits", nullptr, nullptr, __FILE__,
                          __LINE__, [path] {
                            struct Body : ::testing::Test {
                              explicit Body(std::string p) : path(std::move(p)) {}
                              void TestBody() override {
                                AppRun run(path);
                                ptest::WriteRawRegString(path, "ChildReady", "1");
                                // Killed by the parent long before this ends.
                                ::Sleep(60000);
                              }
                              std::string path;
                            };
                            return static_cast<::testing::Test*>(new Body(path));
                          });
  return true;
}();

TEST_F(IllegalAbortTest, AKilledRunIsReportedAtTheNextStartOnly) {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" --gtest_filter=IllegalAbortChild.* " + kChildFlag;
  ::SetEnvironmentVariableA(kChildKeyVariable, key_.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;  // the child's test report stays out of this one's
  PROCESS_INFORMATION process{};
  const DWORD started = StartProcess(command, "", startup, process, false);
  ::SetEnvironmentVariableA(kChildKeyVariable, nullptr);
  ASSERT_EQ(started, 0u);
  ::CloseHandle(process.hThread);
  // Wait for the child's word that its form is loaded, or for its end.
  bool ready = false;
  for (int i = 0; i < 3000 && !ready; ++i) {
    ready = ptest::ReadRawRegValue(key_, "ChildReady").has_value();
    if (!ready && ::WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
  }
  const std::string markerWhileRunning = Marker();
  ::TerminateProcess(process.hProcess, 9);
  ::WaitForSingleObject(process.hProcess, 30000);
  ::CloseHandle(process.hProcess);
  ASSERT_TRUE(ready) << "the child never loaded its form";
  EXPECT_EQ(markerWhileRunning, "1");
  EXPECT_EQ(Marker(), "1") << "a killed run leaves the marker raised";

  {
    AppRun next(key_);
    EXPECT_EQ(next.form.found, 1);
    EXPECT_EQ(Marker(), "1");
  }
  EXPECT_EQ(Marker(), "0");
  AppRun third(key_);
  EXPECT_EQ(third.form.found, 0);
}

TEST(IllegalAbortInDesignTool, AddInspectAndSet) {
  ASSERT_TRUE(DesignToolRun::ToolBuilt()) << DesignToolRun::ToolPath();
  const std::string key = kTestsKey + "\\IllegalAbortDesign-" + std::to_string(::GetCurrentProcessId());
  ptest::DeleteTestKey(key);
  DesignToolRun tool("illegalabort");
  ASSERT_TOOL_OK(tool.Run({"new", "Unit1.kfm"}));
  ASSERT_TOOL_OUT(tool.Run({"add", "Unit1.kfm", "TKYTIllegalAbort"}), "IllegalAbort1\n");
  ASSERT_TOOL_OK(tool.Run({"set", "Unit1.kfm", "IllegalAbort1.ParamStore.Registry.Path", key}));
  ASSERT_TOOL_OK(tool.Run({"set", "Unit1.kfm", "IllegalAbort1.ParamStore.Registry.Section", "Design"}));
  const auto inspect = tool.Run({"inspect", "Unit1.kfm", "IllegalAbort1"});
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "ParamStore.Registry.Path"),
            "ParamStore.Registry.Path = " + key) << inspect.Out;
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "ParamStore.ErrorInt"), "ParamStore.ErrorInt = 0")
      << inspect.Out;
  // The designer opened and closed the form with the marker's store: raised, then lowered.
  const auto marker = ptest::ReadRawRegValue(key + "\\Design", kKYTIllegalAbortMarker);
  ptest::DeleteTestKey(key);
  ASSERT_TRUE(marker.has_value());
  EXPECT_EQ(marker->text, "0");
  const std::string text = tool.ReadText("Unit1.kfm");
  EXPECT_NE(text.find("ParamStore.Registry.Section = 'Design'"), std::string::npos) << text;
  // Added with the store's initial settings, the detector lowered a marker there when the tool
  // closed the form: take it away again, and the keys only if nothing else is in them.
  HKEY defaults = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Company\\Product\\MySection", 0, KEY_SET_VALUE,
                      &defaults) == ERROR_SUCCESS) {
    ::RegDeleteValueA(defaults, kKYTIllegalAbortMarker);
    ::RegCloseKey(defaults);
  }
  for (const char* path : {"Software\\Company\\Product\\MySection", "Software\\Company\\Product",
                           "Software\\Company"})
    if (ptest::CountRegValues(path) == 0) ::RegDeleteKeyA(HKEY_CURRENT_USER, path);
}

}  // namespace
}  // namespace kyt
