// Tests of the startup entry against the real Run key of the test prefix. The executable path
// comes from the seam's GetModuleFileNameW, replaced by a made-up path of a program that does
// not exist, so no entry ever names a real program (the prefix runs its Run entries at boot).
#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTStartup.h"
#include "tests/support/DesignToolRun.h"

namespace kyt {
namespace {

const std::string kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The path the application is told it runs from.
std::string gFakeExe;
DWORD WINAPI FakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size) {
  const std::wstring exe(gFakeExe.begin(), gFakeExe.end());  // ASCII
  const DWORD length = static_cast<DWORD>(exe.size());
  if (size == 0) return 0;
  const DWORD copied = length < size ? length : size - 1;
  std::copy_n(exe.data(), copied, buffer);
  buffer[copied] = L'\0';
  return copied;
}

std::optional<std::string> RunValue(const std::string& name) {
  char data[2048] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), name.c_str(), RRF_RT_ANY, &type, data,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ) return "<type " + std::to_string(type) + ">";
  return std::string(data);
}

void WriteRunValue(const std::string& name, const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  ::RegCloseKey(key);
}

void DeleteRunValue(const std::string& name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  ::RegDeleteValueA(key, name.c_str());
  ::RegCloseKey(key);
}

LSTATUS WINAPI RefuseDelete(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }

// A user who may read and write the Run key's values but do nothing else to it.
LSTATUS WINAPI OpenValuesOnly(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                              const LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
  if (access & ~(KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY | KEY_WOW64_32KEY)) return ERROR_ACCESS_DENIED;
  return ::RegCreateKeyExA(root, path, reserved, cls, options, access, security, key, disposition);
}

class TStartupTestForm : public TForm {
  KYT_CLASS(TStartupTestForm, TForm)
 public:
  using TForm::TForm;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string pid = std::to_string(::GetCurrentProcessId());
    name_ = "KYTTest Startup " + pid;
    other_ = "KYTTest Startup Other " + pid;
    gFakeExe = "C:\\KYT Tests\\No Such Program " + pid + ".exe";
    Clean();
    RegisterClass(TStartupTestForm::StaticClass());
  }
  void TearDown() override { Clean(); }
  void Clean() {
    DeleteRunValue(name_);
    DeleteRunValue(other_);
    ASSERT_FALSE(RunValue(name_).has_value());
  }

  os::ScopedOverride<decltype(&::GetModuleFileNameW)> exe_{os::kernel32.GetModuleFileNameW,
                                                           &FakeModuleFileName};
  std::string name_;
  std::string other_;
};

TEST_F(StartupTest, AddsTheQuotedPathOnceAndRemovesItOnce) {
  ASSERT_EQ(Application->ExeName(), gFakeExe);
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  EXPECT_TRUE(startup.InstallApp(true));
  EXPECT_EQ(RunValue(name_), "\"" + gFakeExe + "\"");
  EXPECT_FALSE(startup.InstallApp(true)) << "the entry exists already";
  EXPECT_TRUE(startup.InstallApp(false));
  EXPECT_FALSE(RunValue(name_).has_value());
  EXPECT_FALSE(startup.InstallApp(false)) << "nothing was left to delete";
}

TEST_F(StartupTest, APathWithoutSpacesIsWrittenAsItIs) {
  gFakeExe = "C:\\KYTTests\\NoSuchProgram" + std::to_string(::GetCurrentProcessId()) + ".exe";
  EXPECT_EQ(KYTRunCommand(gFakeExe), gFakeExe);
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  startup.SetAutoStartup(true);
  EXPECT_EQ(RunValue(name_), gFakeExe);
}

TEST_F(StartupTest, SettingAutoStartupActsOnlyOnAChange) {
  // reference example: TKYTStartup
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  startup.SetAutoStartup(true);
  // end of reference example
  EXPECT_TRUE(startup.AutoStartup());
  ASSERT_TRUE(RunValue(name_).has_value());
  // The registry disagrees, but the property does not change: nothing is written.
  DeleteRunValue(name_);
  startup.SetAutoStartup(true);
  EXPECT_FALSE(RunValue(name_).has_value());
  // From true to false removes; false again leaves an entry written since.
  WriteRunValue(name_, gFakeExe);
  startup.SetAutoStartup(false);
  EXPECT_FALSE(RunValue(name_).has_value());
  WriteRunValue(name_, gFakeExe);
  startup.SetAutoStartup(false);
  EXPECT_EQ(RunValue(name_), gFakeExe);
}

TEST_F(StartupTest, AnExistingEntryOfTheSameNameIsNeverOverwritten) {
  WriteRunValue(name_, "C:\\Older\\Copy.exe");
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  startup.SetAutoStartup(true);
  EXPECT_TRUE(startup.AutoStartup());
  EXPECT_EQ(RunValue(name_), "C:\\Older\\Copy.exe");
}

TEST_F(StartupTest, AnEmptyNameWritesNothing) {
  const auto defaultBefore = RunValue("");
  TKYTStartup startup(nullptr);
  startup.SetAutoStartup(true);
  EXPECT_TRUE(startup.AutoStartup());
  EXPECT_FALSE(startup.InstallApp(true));
  EXPECT_FALSE(startup.InstallApp(false));
  EXPECT_EQ(RunValue(""), defaultBefore) << "the Run key's default value was touched";
}

TEST_F(StartupTest, AnUnreadableProgramNameWritesNothingAndFails) {
  gFakeExe.clear();  // GetModuleFileNameA answers 0
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  EXPECT_FALSE(startup.InstallApp(true));
  EXPECT_FALSE(RunValue(name_).has_value());
}

TEST_F(StartupTest, TheValueRightsOfTheRunKeyAreEnough) {
  os::ScopedOverride valuesOnly(os::advapi32.RegCreateKeyExA, &OpenValuesOnly);
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  EXPECT_TRUE(startup.InstallApp(true));
  EXPECT_TRUE(RunValue(name_).has_value());
  EXPECT_TRUE(startup.InstallApp(false));
  EXPECT_FALSE(RunValue(name_).has_value());
}

TEST_F(StartupTest, RenamingLeavesTheOldEntry) {
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  startup.SetAutoStartup(true);
  startup.SetUniqueName(other_);
  EXPECT_TRUE(RunValue(name_).has_value());
  EXPECT_FALSE(RunValue(other_).has_value());
  startup.SetAutoStartup(false);
  EXPECT_TRUE(RunValue(name_).has_value()) << "only the entry of the current name is removed";
}

TEST_F(StartupTest, ARemovalThatFailsReportsFalse) {
  WriteRunValue(name_, gFakeExe);
  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name_);
  {
    // The registry of this prefix lets every value go; a refusal has to be produced.
    os::ScopedOverride refuse(os::advapi32.RegDeleteValueA, &RefuseDelete);
    EXPECT_FALSE(startup.InstallApp(false));
  }
  EXPECT_EQ(RunValue(name_), gFakeExe);
}

TEST_F(StartupTest, TheDesignerOnlyChangesTheProperty) {
  TStartupTestForm form(nullptr);
  form.SetDesigning(true);
  auto* startup = new TKYTStartup(&form);
  startup->SetUniqueName(name_);
  startup->SetAutoStartup(true);
  EXPECT_TRUE(startup->AutoStartup());
  EXPECT_FALSE(RunValue(name_).has_value());
  WriteRunValue(name_, gFakeExe);
  startup->SetAutoStartup(false);
  EXPECT_EQ(RunValue(name_), gFakeExe);
}

TEST_F(StartupTest, AFormStoresBothPropertiesAndAStoredTrueInstalls) {
  TStartupTestForm form(nullptr);
  form.SetName("StartupForm");
  auto* startup = new TKYTStartup(&form);
  startup->SetName("Startup1");
  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("AutoStartup = False"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;

  startup->SetUniqueName(name_);
  startup->SetDesigning(true);
  startup->SetAutoStartup(true);  // in the designer: nothing written
  startup->SetDesigning(false);
  const std::string stored = WriteComponentText(form);
  EXPECT_NE(stored.find("UniqueName = '" + name_ + "'"), std::string::npos) << stored;
  EXPECT_LT(stored.find("UniqueName"), stored.find("AutoStartup = True")) << stored;
  ASSERT_FALSE(RunValue(name_).has_value());

  TStartupTestForm loaded(nullptr);
  ReadRootText(loaded, stored, "startup.kfm");
  EXPECT_EQ(RunValue(name_), "\"" + gFakeExe + "\"");
  auto* back = ObjectCast<TKYTStartup>(loaded.FindComponent("Startup1"));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(back->AutoStartup());

  // A stored false changes nothing, so it leaves the entry of the earlier run.
  TStartupTestForm again(nullptr);
  ReadRootText(again, text, "startup-off.kfm");
  EXPECT_TRUE(RunValue(name_).has_value());
}

TEST(StartupInDesignTool, AddInspectAndSet) {
  ASSERT_TRUE(DesignToolRun::ToolBuilt()) << DesignToolRun::ToolPath();
  DesignToolRun tool("startup");
  ASSERT_TOOL_OK(tool.Run({"new", "Unit1.kfm"}));
  ASSERT_TOOL_OUT(tool.Run({"add", "Unit1.kfm", "TKYTStartup"}), "Startup1\n");
  const std::string name = "KYTTest Designed " + std::to_string(::GetCurrentProcessId());
  ASSERT_TOOL_OK(tool.Run({"set", "Unit1.kfm", "Startup1.UniqueName", name}));
  ASSERT_TOOL_OK(tool.Run({"set", "Unit1.kfm", "Startup1.AutoStartup", "True"}));
  const auto inspect = tool.Run({"inspect", "Unit1.kfm", "Startup1"});
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "UniqueName"), "UniqueName = " + name) << inspect.Out;
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "AutoStartup"), "AutoStartup = True") << inspect.Out;
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "About"), "About = (KYT System Components)  (read-only)");
  // The designer wrote nothing to the Run key.
  EXPECT_FALSE(RunValue(name).has_value());
  DeleteRunValue(name);
  const std::string text = tool.ReadText("Unit1.kfm");
  EXPECT_NE(text.find("AutoStartup = True"), std::string::npos) << text;
}

}  // namespace
}  // namespace kyt
