// Tests of TKYTSystemDetails: the machine's real facts, and the arithmetic and texts through
// replaced seam entries. The machine's CurrentVersion key is only ever read: tests that need
// other values point its opening at a key of their own.
#include "system/KYTTSystemDetails.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"
#include "tests/support/SeamOverride.h"
#include "tests/system/InfoTestSupport.h"

namespace kyt {
namespace {

using infotest::TestKey;

// Where the machine's CurrentVersion key is opened instead, and what each opening asked for.
std::string g_redirect;
REGSAM g_access = 0;
int g_opens = 0;
int g_creates = 0;

LSTATUS WINAPI RedirectedOpen(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  if (root == HKEY_LOCAL_MACHINE && subKey && _stricmp(subKey, kKYTSystemDetailsKey) == 0) {
    ++g_opens;
    g_access = access;
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, g_redirect.c_str(), options, access, result);
  }
  return ::RegOpenKeyExA(root, subKey, options, access, result);
}

LSTATUS WINAPI CountedCreate(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                             const LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disposition) {
  ++g_creates;
  return ::RegCreateKeyExA(root, subKey, reserved, cls, options, access, sa, result, disposition);
}

class SystemDetailsRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    g_opens = g_creates = 0;
    g_access = 0;
  }
  TestKey key{"SystemDetails"};
  ScopedOverride<decltype(os::advapi32.RegOpenKeyExA)> open{os::advapi32.RegOpenKeyExA, &RedirectedOpen};
  ScopedOverride<decltype(os::advapi32.RegCreateKeyExA)> create{os::advapi32.RegCreateKeyExA, &CountedCreate};
};

TEST_F(SystemDetailsRegistry, OpensTheKeyReadOnlyAndReadsItsFourValues) {
  g_redirect = key.Path();
  key.SetString("RegisteredOrganization", "KYT Org");
  key.SetString("RegisteredOwner", "Owner Name");
  key.SetString("ProgramFilesDir", "D:\\Programs");
  key.SetString("SystemRoot", "D:\\Windows");
  const int createsBefore = g_creates;
  TKYTSystemDetails details(nullptr);
  EXPECT_EQ(g_opens, 1);
  EXPECT_EQ(g_access & ~KEY_WOW64_64KEY & ~KEY_WOW64_32KEY, static_cast<REGSAM>(KEY_READ));
  EXPECT_EQ(g_creates, createsBefore) << "the key must never be created";
  EXPECT_EQ(details.Organisation(), "KYT Org");
  EXPECT_EQ(details.RegisteredOwner(), "Owner Name");
  EXPECT_EQ(details.ProgramFilesDir(), "D:\\Programs");
  EXPECT_EQ(details.SystemRoot(), "D:\\Windows");
  // Owner is a published text; the component's owning object is untouched.
  EXPECT_EQ(details.ClassType().FindProperty("Owner")->GetStr(&details), "Owner Name");
  EXPECT_EQ(details.Owner(), nullptr);
}

TEST_F(SystemDetailsRegistry, ValueOfAnotherTypeStaysEmptyAndTheRestLoads) {
  g_redirect = key.Path();
  key.SetDword("RegisteredOrganization", 42);
  key.SetString("RegisteredOwner", "Owner Name");
  key.SetString("SystemRoot", "%SystemDrive%\\Windows", REG_EXPAND_SZ);
  std::unique_ptr<TKYTSystemDetails> details;
  ASSERT_NO_THROW(details = std::make_unique<TKYTSystemDetails>(nullptr));
  EXPECT_EQ(details->Organisation(), "");
  EXPECT_EQ(details->RegisteredOwner(), "Owner Name");
  EXPECT_EQ(details->ProgramFilesDir(), "");  // absent
  EXPECT_FALSE(details->SystemRoot().empty());
  EXPECT_FALSE(details->WinVersion().empty());
}

TEST_F(SystemDetailsRegistry, MissingKeyLeavesTheRegistryValuesEmptyAndFillsTheOthers) {
  g_redirect = key.Path() + "\\Missing";
  TKYTSystemDetails details(nullptr);
  EXPECT_EQ(details.Organisation(), "");
  EXPECT_EQ(details.RegisteredOwner(), "");
  EXPECT_EQ(details.ProgramFilesDir(), "");
  EXPECT_EQ(details.SystemRoot(), "");
  EXPECT_EQ(details.OS(), "Windows NT");
  EXPECT_FALSE(details.TotalMemory().empty());
  EXPECT_FALSE(details.ScreenWidth().empty());
  HKEY missing = nullptr;
  EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, g_redirect.c_str(), 0, KEY_READ, &missing), ERROR_SUCCESS)
      << "reading must not create the key";
}

TEST(SystemDetails, ShowsTheMachinesRealFacts) {
  TKYTSystemDetails details(nullptr);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(::GetVersionExA(&version));
  EXPECT_EQ(details.WinVersion(), std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion));
  EXPECT_EQ(details.Build(), std::to_string(version.dwBuildNumber & 0xFFFF));
  EXPECT_EQ(details.OS(), "Windows NT");
  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  ::GlobalMemoryStatus(&memory);
  EXPECT_EQ(details.TotalMemory(), std::to_string(static_cast<uint64_t>(memory.dwTotalPhys) / 1024) + " KB");
  ULARGE_INTEGER total{};
  ASSERT_TRUE(::GetDiskFreeSpaceExA("C:\\", nullptr, &total, nullptr));
  EXPECT_EQ(details.DriveC(), std::to_string(total.QuadPart / 1024 / 1024) + " MB");
  EXPECT_EQ(details.ScreenWidth(), std::to_string(::GetSystemMetrics(SM_CXSCREEN)));
  EXPECT_EQ(details.ScreenHeight(), std::to_string(::GetSystemMetrics(SM_CYSCREEN)));
  char name[256] = {};
  DWORD size = sizeof name;
  ASSERT_TRUE(::GetUserNameA(name, &size));
  EXPECT_EQ(details.Username(), name);
  size = sizeof name;
  ASSERT_TRUE(::GetComputerNameA(name, &size));
  EXPECT_EQ(details.ComputerName(), name);
  // The machine's own key (Wine keeps ProgramFilesDir there).
  char programs[MAX_PATH] = {};
  DWORD length = sizeof programs;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, kKYTSystemDetailsKey, "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, programs,
                     &length) == ERROR_SUCCESS) {
    EXPECT_EQ(details.ProgramFilesDir(), programs);
  }
}

// ---- Exact texts through replaced entries

DWORD g_processorType = 0;
void WINAPI FakeSystemInfo(LPSYSTEM_INFO info) {
  ::GetSystemInfo(info);
  info->dwProcessorType = g_processorType;
}

OSVERSIONINFOA g_version{};
DWORD g_versionSize = 0;
BOOL WINAPI FakeVersion(LPOSVERSIONINFOA info) {
  g_versionSize = info->dwOSVersionInfoSize;
  const DWORD size = info->dwOSVersionInfoSize;
  *info = g_version;
  info->dwOSVersionInfoSize = size;
  return TRUE;
}

TEST(SystemDetails, NamesOnlyTheProcessorsAndPlatformsItKnows) {
  ScopedOverride info(os::kernel32.GetSystemInfo, &FakeSystemInfo);
  const struct {
    DWORD Type;
    const char* Text;
  } processors[] = {{386, "Intel 386"}, {486, "Intel 486"}, {586, "Intel Pentium"}, {8664, ""}, {2200, ""}};
  for (const auto& p : processors) {
    g_processorType = p.Type;
    EXPECT_EQ(TKYTSystemDetails(nullptr).CPU(), p.Text) << p.Type;
  }

  ScopedOverride version(os::kernel32.GetVersionExA, &FakeVersion);
  const struct {
    DWORD Platform;
    const char* Text;
  } platforms[] = {{0, "Windows 3.1"}, {1, "Windows 95"}, {2, "Windows NT"}, {3, ""}};
  for (const auto& p : platforms) {
    g_version = OSVERSIONINFOA{};
    g_version.dwPlatformId = p.Platform;
    EXPECT_EQ(TKYTSystemDetails(nullptr).OS(), p.Text) << p.Platform;
  }
  EXPECT_EQ(g_versionSize, sizeof(OSVERSIONINFOA));
  EXPECT_EQ(g_versionSize, 148u);
}

TEST(SystemDetails, VersionShowsMinorAsANumberAndOnlyTheLowBuildBits) {
  ScopedOverride version(os::kernel32.GetVersionExA, &FakeVersion);
  g_version = OSVERSIONINFOA{};
  g_version.dwMajorVersion = 4;
  g_version.dwMinorVersion = 10;
  g_version.dwBuildNumber = 0x040A07CE;  // 4.10 packed above build 1998
  TKYTSystemDetails details(nullptr);
  EXPECT_EQ(details.WinVersion(), "4.10");
  EXPECT_EQ(details.Build(), "1998");
  g_version.dwMinorVersion = 0;
  EXPECT_EQ(TKYTSystemDetails(nullptr).WinVersion(), "4.0");
}

SIZE_T g_totalPhys = 0;
void WINAPI FakeMemory(LPMEMORYSTATUS status) {
  ::GlobalMemoryStatus(status);
  status->dwTotalPhys = g_totalPhys;
}

int64_t g_driveCBytes = 0;
std::string g_askedRoot;
BOOL WINAPI FakeDiskSpace(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free) {
  g_askedRoot = root ? root : "(current)";
  if (g_driveCBytes < 0) {
    ::SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  if (available) available->QuadPart = 0;
  if (total) total->QuadPart = static_cast<ULONGLONG>(g_driveCBytes);
  if (free) free->QuadPart = 0;
  return TRUE;
}

TEST(SystemDetails, MemoryInKilobytesAndDriveCInMegabytes) {
  ScopedOverride memory(os::kernel32.GlobalMemoryStatus, &FakeMemory);
  ScopedOverride disk(os::kernel32.GetDiskFreeSpaceExA, &FakeDiskSpace);
  g_totalPhys = 67108864;
  g_driveCBytes = 2147483648LL;
  {
    TKYTSystemDetails details(nullptr);
    EXPECT_EQ(details.TotalMemory(), "65536 KB");
    EXPECT_EQ(details.DriveC(), "2048 MB");
    EXPECT_EQ(_stricmp(g_askedRoot.c_str(), "C:\\"), 0) << g_askedRoot;
  }
  g_totalPhys = 1023;
  g_driveCBytes = 1048575;
  {
    TKYTSystemDetails details(nullptr);
    EXPECT_EQ(details.TotalMemory(), "0 KB");
    EXPECT_EQ(details.DriveC(), "0 MB");
  }
  g_driveCBytes = -1;
  EXPECT_EQ(TKYTSystemDetails(nullptr).DriveC(), "");
}

int g_metricsWidth = 0;
int WINAPI FakeMetrics(int index) {
  if (index == SM_CXSCREEN) return g_metricsWidth;
  if (index == SM_CYSCREEN) return g_metricsWidth * 3 / 4;
  return ::GetSystemMetrics(index);
}

TEST(SystemDetails, AssigningChangesNothingButReReadsTheScreenSize) {
  TKYTSystemDetails details(nullptr);
  const std::string os = details.OS();
  const std::string memory = details.TotalMemory();
  ScopedOverride metrics(os::user32.GetSystemMetrics, &FakeMetrics);
  g_metricsWidth = 1024;
  EXPECT_NE(details.ScreenWidth(), "1024") << "read once, at creation";
  details.ClassType().FindProperty("OS")->SetStr(&details, "Windows 2000");
  EXPECT_EQ(details.OS(), os);
  EXPECT_EQ(details.ScreenWidth(), "1024");
  EXPECT_EQ(details.ScreenHeight(), "768");
  g_metricsWidth = 800;
  details.SetSelfString("");
  details.ClassType().FindProperty("TotalMemory")->SetStr(&details, "1 KB");
  EXPECT_EQ(details.TotalMemory(), memory);
  EXPECT_EQ(details.ScreenWidth(), "800");
  EXPECT_EQ(details.ScreenHeight(), "600");
}

int g_nameCalls = 0;
bool g_nameFails = false;
BOOL WINAPI FakeComputerName(LPSTR buffer, LPDWORD size) {
  ++g_nameCalls;
  if (g_nameFails) {
    ::SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  return ::GetComputerNameA(buffer, size);
}
DWORD g_userBufferSize = 0;
BOOL WINAPI FakeUserName(LPSTR buffer, LPDWORD size) {
  ++g_nameCalls;
  g_userBufferSize = *size;
  if (g_nameFails) {
    ::SetLastError(ERROR_NO_SUCH_LOGON_SESSION);
    return FALSE;
  }
  return ::GetUserNameA(buffer, size);
}

TEST(SystemDetails, UserAndComputerNamesAreAskedOnEveryReadWithFixedTextsOnFailure) {
  ScopedOverride computer(os::kernel32.GetComputerNameA, &FakeComputerName);
  ScopedOverride user(os::advapi32.GetUserNameA, &FakeUserName);
  g_nameFails = false;
  g_nameCalls = 0;
  TKYTSystemDetails details(nullptr);
  EXPECT_EQ(g_nameCalls, 0) << "not gathered by the constructor";
  const std::string name = details.ComputerName();
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(details.ComputerName(), name);
  EXPECT_EQ(g_nameCalls, 2);
  EXPECT_FALSE(details.Username().empty());
  EXPECT_EQ(g_userBufferSize, 255u * kMaxBytesPerChar) << "room for 255 characters of any script";
  g_nameFails = true;
  EXPECT_EQ(details.ComputerName(), "Error on locating Computername");
  EXPECT_EQ(details.Username(), "User not logged on");
  EXPECT_EQ(details.ClassType().FindProperty("ComputerName")->GetStr(&details), "Error on locating Computername");
}

// ---- Form files

class TSystemDetailsRoot : public TComponent {
  KYT_CLASS(TSystemDetailsRoot, TComponent)
 public:
  using TComponent::TComponent;
};

TEST(SystemDetailsFormFile, StoresNoneOfItsValuesAndRefillsThemWhenLoaded) {
  RegisterClasses({&TSystemDetailsRoot::StaticClass(), &TKYTSystemDetails::StaticClass()});
  TSystemDetailsRoot root(nullptr);
  root.SetName("InfoForm");
  auto* details = new TKYTSystemDetails(&root);
  details->SetName("SystemDetails1");
  EXPECT_EQ(details->Owner(), &root);
  const std::string text = WriteComponentText(root);
  EXPECT_NE(text.find("object SystemDetails1: TKYTSystemDetails"), std::string::npos) << text;
  EXPECT_EQ(text.find(" = "), std::string::npos) << "no value is stored:\n" << text;

  TSystemDetailsRoot copy(nullptr);
  ReadRootText(copy, text, "details.kfm");
  auto* loaded = ObjectCast<TKYTSystemDetails>(copy.FindComponent("SystemDetails1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->WinVersion(), details->WinVersion());
  EXPECT_EQ(loaded->TotalMemory(), details->TotalMemory());
  EXPECT_EQ(loaded->Owner(), &copy);
  for (const TPropInfo* prop : loaded->ClassType().Properties())
    EXPECT_TRUE(prop->Name() == "Name" || !prop->IsStored(loaded)) << prop->Name();
}

}  // namespace
}  // namespace kyt
