// Tests of TRegistry and TRegIniFile on the real registry of the test prefix, below
// HKCU\Software\KYT\Tests\Rtl\Registry\<test>, including a value handed to a second process.
#include "host/rtl/Registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/core/Strings.h"
#include "host/os/OsSeam.h"
#include "tests/rtl/RtlTestSupport.h"
#include "tests/support/StartProcess.h"

using namespace kyt;
using kyt::rtltest::ReadRaw;
using kyt::rtltest::WriteRaw;

namespace {

std::string TestKey() {
  return rtltest::kRegistryBase + "\\Registry\\" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    path = TestKey();
    rtltest::DeleteTreeRaw(HKEY_CURRENT_USER, path);
  }
  void TearDown() override {
    rtltest::DeleteTreeRaw(HKEY_CURRENT_USER, path);
    rtltest::DeleteTreeRaw(HKEY_LOCAL_MACHINE, path);
  }
  bool Exists(const std::string& sub) const {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, (path + sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    ::RegCloseKey(key);
    return true;
  }
  std::string path;
};

std::string ErrorOf(const std::function<void()>& op) {
  try {
    op();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return "<no exception>";
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> v;
  for (int i = 0; i < list.Count(); ++i) v.push_back(list.Strings(i));
  std::sort(v.begin(), v.end());
  return v;
}

// Counts keys handed out and closed through the seam.
int g_opened = 0, g_closed = 0;
LONG WINAPI CountingOpen(HKEY key, LPCSTR sub, DWORD options, REGSAM sam, PHKEY result) {
  LONG rc = ::RegOpenKeyExA(key, sub, options, sam, result);
  if (rc == ERROR_SUCCESS) ++g_opened;
  return rc;
}
LONG WINAPI CountingCreate(HKEY key, LPCSTR sub, DWORD reserved, LPSTR cls, DWORD options,
                           REGSAM sam, LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disp) {
  LONG rc = ::RegCreateKeyExA(key, sub, reserved, cls, options, sam, sa, result, disp);
  if (rc == ERROR_SUCCESS) ++g_opened;
  return rc;
}
LONG WINAPI CountingClose(HKEY key) {
  ++g_closed;
  return ::RegCloseKey(key);
}
LONG WINAPI DeniedOpen(HKEY, LPCSTR, DWORD, REGSAM, PHKEY result) {
  *result = nullptr;
  return ERROR_ACCESS_DENIED;
}
LONG WINAPI DeniedCreate(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                         PHKEY result, LPDWORD) {
  *result = nullptr;
  return ERROR_ACCESS_DENIED;
}

}  // namespace

// TRegistry

TEST_F(Registry, OpenKeyCreatesTheKeyOnlyWhenAsked) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKey(path, false));
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_FALSE(reg.KeyExists(path));
  EXPECT_FALSE(Exists(""));
  ASSERT_TRUE(reg.OpenKey(path, true));
  EXPECT_TRUE(Exists(""));
  EXPECT_NE(reg.CurrentKey(), nullptr);
  EXPECT_EQ(reg.CurrentPath(), path);
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_TRUE(reg.KeyExists(path));
  EXPECT_TRUE(reg.OpenKey(path, false));
}

TEST_F(Registry, RelativeKeysExtendTheCurrentPathAndABackslashStartsAtTheRoot) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  ASSERT_TRUE(reg.OpenKey("Child\\Grand", true));
  EXPECT_EQ(reg.CurrentPath(), path + "\\Child\\Grand");
  EXPECT_TRUE(Exists("\\Child\\Grand"));
  EXPECT_TRUE(reg.KeyExists("\\" + path + "\\Child"));
  EXPECT_FALSE(reg.KeyExists("Child")) << "relative to Grand";
  ASSERT_TRUE(reg.OpenKey("\\" + path, false));
  EXPECT_EQ(reg.CurrentPath(), path);
  EXPECT_TRUE(reg.KeyExists("Child"));
  EXPECT_TRUE(reg.HasSubKeys());
}

TEST_F(Registry, ValuesAreWrittenWithTheirRegistryTypes) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  reg.WriteString("Text", "hello");
  reg.WriteInteger("Number", -5);
  reg.WriteBool("Flag", true);
  reg.WriteExpandString("Expand", "%TEMP%\\x");
  const unsigned char bytes[3] = {1, 0, 2};
  reg.WriteBinaryData("Bytes", bytes, 3);

  auto text = ReadRaw(HKEY_CURRENT_USER, path, "Text");
  EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(text.data, std::string("hello\0", 6));
  auto number = ReadRaw(HKEY_CURRENT_USER, path, "Number");
  ASSERT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
  int32_t n;
  std::memcpy(&n, number.data.data(), 4);
  EXPECT_EQ(n, -5);
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, path, "Expand").type, static_cast<DWORD>(REG_EXPAND_SZ));

  EXPECT_EQ(reg.ReadString("Text"), "hello");
  EXPECT_EQ(reg.ReadString("Expand"), "%TEMP%\\x") << "not expanded";
  EXPECT_EQ(reg.ReadInteger("Number"), -5);
  EXPECT_TRUE(reg.ReadBool("Flag"));
  unsigned char back[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("Bytes", back, sizeof back), 3);
  EXPECT_EQ(std::memcmp(back, bytes, 3), 0);
  EXPECT_EQ(reg.GetDataType("Text"), rdString);
  EXPECT_EQ(reg.GetDataType("Number"), rdInteger);
  EXPECT_EQ(reg.GetDataType("Bytes"), rdBinary);
  EXPECT_EQ(reg.GetDataSize("Text"), 6);
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
  EXPECT_TRUE(reg.ValueExists("Text"));
  EXPECT_FALSE(reg.ValueExists("Missing"));
}

TEST_F(Registry, MissingAndMistypedValuesFollowTheFamilysRules) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  reg.WriteString("Text", "12");
  reg.WriteInteger("Number", 12);
  EXPECT_EQ(reg.ReadString("Missing"), "") << "a missing string reads as empty";
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadString("Number"); }), "Invalid data type for 'Number'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Text"); }), "Invalid data type for 'Text'");
  reg.WriteString("Longer", "a text longer than four bytes");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Longer"); }), "Invalid data type for 'Longer'");
  unsigned char small[2];
  EXPECT_EQ(ErrorOf([&] { reg.ReadBinaryData("Longer", small, 2); }), "Failed to get data for 'Longer'");
}

TEST_F(Registry, StringsOfAnyLengthReadBackWhole) {
  // The first read uses a 256-byte buffer: shorter, exactly fitting (with the zero), one byte
  // over, and much longer values.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  for (size_t len : {size_t{0}, size_t{254}, size_t{255}, size_t{256}, size_t{257}, size_t{100000}}) {
    std::string value(len, 'v');
    reg.WriteString("Value", value);
    EXPECT_EQ(reg.ReadString("Value"), value) << "length " << len;
  }
  // A string stored without its terminating zero reads without garbage.
  WriteRaw(HKEY_CURRENT_USER, path, "NoZero", REG_SZ, "abc", 3);
  EXPECT_EQ(reg.ReadString("NoZero"), "abc");
}

TEST_F(Registry, DeleteKeyRemovesTheWholeTree) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path + "\\a\\b\\c", true));
  reg.WriteString("deep", "x");
  ASSERT_TRUE(reg.OpenKey("\\" + path + "\\a\\b2", true));
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey(path, false));
  EXPECT_TRUE(reg.DeleteKey("a"));
  EXPECT_FALSE(Exists("\\a"));
  EXPECT_TRUE(Exists(""));
  EXPECT_FALSE(reg.DeleteKey("a")) << "already gone";
  EXPECT_FALSE(reg.DeleteKey("")) << "an empty name never deletes the current key";
  EXPECT_TRUE(Exists(""));
}

TEST_F(Registry, ListsValueAndKeyNames) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  reg.WriteString("one", "1");
  reg.WriteInteger("two", 2);
  std::string longName(300, 'n');
  reg.WriteString(longName, "long");
  reg.CreateKey("SubA");
  reg.CreateKey("SubB");
  TStringList values, keys;
  values.Add("stale");
  reg.GetValueNames(values);
  reg.GetKeyNames(&keys);
  EXPECT_EQ(Lines(values), (std::vector<std::string>{longName, "one", "two"}));
  EXPECT_EQ(Lines(keys), (std::vector<std::string>{"SubA", "SubB"}));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumValues, 3);
  EXPECT_EQ(info.NumSubKeys, 2);
  EXPECT_TRUE(reg.DeleteValue("one"));
  EXPECT_FALSE(reg.DeleteValue("one"));
  EXPECT_EQ(reg.ValueNames().size(), 2u);
}

TEST_F(Registry, AReadOnlyKeyRefusesWrites) {
  WriteRaw(HKEY_CURRENT_USER, path, "Text", REG_SZ, "x", 2);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(path));
  EXPECT_EQ(reg.Access(), static_cast<REGSAM>(KEY_ALL_ACCESS)) << "only that one open was read-only";
  EXPECT_EQ(reg.ReadString("Text"), "x");
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("Text", "y"); }), "Failed to set data for 'Text'");
  EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("N", 1); }), "Failed to set data for 'N'");
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, path, "Text").data, std::string("x\0", 2));
}

TEST_F(Registry, WithoutAnOpenKeyReadsAreEmptyAndWritesRaise) {
  TRegistry reg;
  EXPECT_EQ(reg.ReadString("x"), "");
  EXPECT_FALSE(reg.ValueExists("x"));
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("x"); }), "Failed to get data for 'x'");
  EXPECT_TRUE(reg.ValueNames().empty());
  EXPECT_FALSE(reg.HasSubKeys());
}

TEST_F(Registry, AnUnreadableKeyOpensAsFalse) {
  WriteRaw(HKEY_CURRENT_USER, path, "Text", REG_SZ, "x", 2);
  kyt::os::ScopedOverride denied(kyt::os::advapi32.RegOpenKeyExA, &DeniedOpen);
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(path, false));
  EXPECT_FALSE(reg.OpenKeyReadOnly(path));
  EXPECT_FALSE(reg.KeyExists(path));
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  TRegIniFile ini("");
  EXPECT_EQ(ini.ReadString(path, "Text", "default"), "default");
}

TEST_F(Registry, NamesAndTextWithAZeroAreRefused) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  const std::string zeroName("a\0b", 3);
  EXPECT_EQ(ErrorOf([&] { reg.WriteString(zeroName, "v"); }).substr(0, 23), "Failed to set data for ");
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("n", std::string("v\0w", 3)); }), "Failed to set data for 'n'");
  EXPECT_FALSE(reg.ValueExists("a")) << "the name was not cut at the zero";
  EXPECT_FALSE(reg.ValueExists("n"));
  EXPECT_FALSE(reg.OpenKey(std::string("sub\0x", 5), true));
  EXPECT_FALSE(Exists("\\sub"));
}

TEST_F(Registry, SettingTheRootKeyClosesTheCurrentKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(path, true));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  ASSERT_TRUE(reg.OpenKey(path, true));
  reg.WriteString("Machine", "m");
  EXPECT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, path, "Machine").found);
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, path, "Machine").found);
}

// TRegIniFile

TEST_F(Registry, RegIniFileKeepsSectionsAsSubKeysAndEveryValueAsText) {
  {
    TRegIniFile ini(path);
    EXPECT_EQ(ini.FileName(), path);
    EXPECT_EQ(ini.CurrentPath(), path);
    ini.WriteString("MySection", "Str", "text");
    ini.WriteInteger("MySection", "Int", -5);
    ini.WriteBool("MySection", "Yes", true);
    ini.WriteBool("MySection", "No", false);
  }
  const std::string section = path + "\\MySection";
  auto raw = ReadRaw(HKEY_CURRENT_USER, section, "Int");
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw.data, std::string("-5\0", 3));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, section, "Yes").data, std::string("1\0", 2));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, section, "No").data, std::string("0\0", 2));

  TRegIniFile ini(path);
  EXPECT_EQ(ini.ReadString("MySection", "Str", "Error"), "text");
  EXPECT_EQ(ini.ReadInteger("MySection", "Int", 0), -5);
  EXPECT_TRUE(ini.ReadBool("MySection", "Yes", false));
  EXPECT_FALSE(ini.ReadBool("MySection", "No", true));
}

TEST_F(Registry, RegIniFileReadingCreatesItsOwnKeyButNoSection) {
  {
    TRegIniFile ini(path);
    EXPECT_EQ(ini.CurrentPath(), path);
    EXPECT_EQ(ini.ReadString("S", "x", "d"), "d");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list.Count(), 0);
  }
  EXPECT_TRUE(Exists("")) << "the file's key exists once it was used, as when opened";
  EXPECT_FALSE(Exists("\\S")) << "a read creates no section";
  TRegIniFile ini(path);
  EXPECT_NE(ini.CurrentKey(), nullptr);
}

TEST_F(Registry, RegIniFileReadsGiveTheDefaultForMissingOrUnreadableValues) {
  TRegIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Nowhere", "x", "Error"), "Error");
  EXPECT_EQ(ini.ReadInteger("Nowhere", "x", 7), 7);
  EXPECT_TRUE(ini.ReadBool("Nowhere", "x", true));
  EXPECT_FALSE(Exists("\\Nowhere")) << "reads create no section";
  ini.WriteString("S", "NotANumber", "abc");
  ini.WriteString("S", "Two", "2");
  ini.WriteString("S", "Hex", "0x10");
  EXPECT_EQ(ini.ReadInteger("S", "NotANumber", 9), 9);
  EXPECT_TRUE(ini.ReadBool("S", "Two", false)) << "any number but zero is true";
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 16);
  // Values written by TRegistry as REG_DWORD read as numbers too.
  WriteRaw(HKEY_CURRENT_USER, path + "\\S", "Dword", REG_DWORD, "\x2a\0\0\0", 4);
  EXPECT_EQ(ini.ReadInteger("S", "Dword", 0), 42);
  EXPECT_EQ(ini.ReadString("S", "Dword", ""), "42");
  WriteRaw(HKEY_CURRENT_USER, path + "\\S", "Bin", REG_BINARY, "\x01\x02", 2);
  EXPECT_EQ(ErrorOf([&] { ini.ReadString("S", "Bin", ""); }), "Invalid data type for 'Bin'");
}

TEST_F(Registry, RegIniFileListsSectionsNamesAndValues) {
  TRegIniFile ini(path);
  ini.WriteString("A", "one", "1");
  ini.WriteInteger("A", "two", 2);
  ini.WriteString("B", "x", "y");
  TStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"A", "B"}));
  ini.ReadSection("A", list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"one", "two"}));
  ini.ReadSectionValues("A", &list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"one=1", "two=2"}));
  ini.ReadSectionValues("Missing", list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(Registry, RegIniFileErasesSectionsAndDeletesSingleValues) {
  TRegIniFile ini(path);
  ini.WriteString("A", "one", "1");
  ini.WriteString("A", "two", "2");
  ini.WriteString("B", "keep", "k");
  ini.DeleteKey("A", "one");
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, path + "\\A", "one").found);
  EXPECT_TRUE(ReadRaw(HKEY_CURRENT_USER, path + "\\A", "two").found);
  ini.EraseSection("A");
  EXPECT_FALSE(Exists("\\A"));
  EXPECT_TRUE(Exists("\\B"));
  ini.EraseSection("A");  // not an error: nothing to erase
  ini.EraseSection("");   // an empty section is the key itself and is never erased
  EXPECT_TRUE(Exists("\\B"));
  EXPECT_EQ(ini.ReadString("B", "keep", ""), "k");
}

TEST_F(Registry, RegIniFileUnderAnotherRootKey) {
  TRegIniFile ini(path, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(ini.RootKey(), HKEY_LOCAL_MACHINE);
  ini.WriteString("Sec", "Where", "machine");
  EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path + "\\Sec", "Where").data, std::string("machine\0", 8));
  EXPECT_FALSE(Exists(""));
  // The family's way: open the root first, then set RootKey and open the path again.
  TRegIniFile other("");
  other.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(other.OpenKey(path, true));
  EXPECT_EQ(other.ReadString("Sec", "Where", ""), "machine");
}

TEST_F(Registry, RegIniFileWhoseKeyCannotBeCreatedRaisesOnWrite) {
  kyt::os::ScopedOverride denied(kyt::os::advapi32.RegCreateKeyExA, &DeniedCreate);
  {
    TRegIniFile fresh(path);
    EXPECT_EQ(ErrorOf([&] { fresh.WriteString("Sec", "x", "y"); }),
              "Failed to create key " + path + "\\Sec");
  }
  TRegIniFile ini(path);
  EXPECT_EQ(ini.CurrentKey(), nullptr);
  EXPECT_EQ(ErrorOf([&] { ini.WriteString("Sec", "x", "y"); }), "Failed to create key " + path);
  EXPECT_EQ(ini.ReadString("Sec", "x", "default"), "default");
  HKEY spilled;
  EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Sec", 0, KEY_READ, &spilled), ERROR_SUCCESS)
      << "nothing went to the root key";
}

TEST_F(Registry, RegIniFileRefusesNamesWithAZero) {
  TRegIniFile ini(path);
  EXPECT_EQ(ErrorOf([&] { ini.WriteString("S", std::string("a\0b", 3), "v"); }).substr(0, 12),
            "Failed to se");
  EXPECT_EQ(ErrorOf([&] { ini.WriteString(std::string("S\0T", 3), "a", "v"); }),
            "Failed to create key " + path + "\\" + std::string("S\0T", 3));
  EXPECT_EQ(ini.ReadString("S", std::string("a\0b", 3), "d"), "d");
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, path + "\\S", "a").found);
}

TEST_F(Registry, EveryKeyOpenedIsClosedOnEveryPath) {
  g_opened = g_closed = 0;
  {
    kyt::os::ScopedOverride open(kyt::os::advapi32.RegOpenKeyExA, &CountingOpen);
    kyt::os::ScopedOverride create(kyt::os::advapi32.RegCreateKeyExA, &CountingCreate);
    kyt::os::ScopedOverride close(kyt::os::advapi32.RegCloseKey, &CountingClose);
    TRegIniFile ini(path);
    ini.WriteString("S", "s", "v");
    ini.ReadString("S", "s", "");
    ini.ReadInteger("S", "missing", 0);
    WriteRaw(HKEY_CURRENT_USER, path + "\\S", "Bin", REG_BINARY, "\x01", 1);
    EXPECT_THROW(ini.ReadString("S", "Bin", ""), ERegistryException);
    TStringList list;
    EXPECT_THROW(ini.ReadSectionValues("S", list), ERegistryException) << "Bin is no text";
    ini.EraseSection("S");
    EXPECT_THROW(ini.TRegistry::ReadInteger("missing"), ERegistryException);
    TRegistry reg;
    reg.OpenKey(path + "\\x\\y", true);
    reg.OpenKey("\\" + path, false);
    reg.DeleteKey("x");
  }
  EXPECT_GT(g_opened, 8);
  EXPECT_EQ(g_closed, g_opened);
}

// Two processes

namespace {

constexpr const char* kChildVar = "KYT_RTL_CHILD_KEY";

// Runs only inside the second process, which the parent test starts with kChildVar set to the
// key to use: reads the parent's value and writes its own.
class CrossProcessChild : public ::testing::Test {
 public:
  void TestBody() override {
    const std::string key = test::EnvironmentVariable(kChildVar);
    ASSERT_FALSE(key.empty());
    TRegIniFile ini(key);
    EXPECT_EQ(ini.ReadString("Handover", "FromParent", "missing"), "hello");
    ini.WriteString("Handover", "FromChild", "world");
    ini.WriteInteger("Handover", "ChildPid", static_cast<int>(::GetCurrentProcessId()));
  }
};

const bool g_childRegistered = [] {
  if (test::EnvironmentVariable(kChildVar).empty()) return false;
  ::testing::RegisterTest("RegistryCrossProcessChild", "ReadsTheParentsValueAndWritesItsOwn",
                          nullptr, nullptr, __FILE__, __LINE__,
                          []() -> ::testing::Test* { return new CrossProcessChild; });
  return true;
}();

}  // namespace

TEST_F(Registry, AValueWrittenByOneProcessIsReadByTheNext) {
  if (g_childRegistered) GTEST_SKIP() << "this is the second process";
  {
    TRegIniFile ini(path);
    ini.WriteString("Handover", "FromParent", "hello");
  }
  char exe[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameA(nullptr, exe, sizeof exe), 0u);
  std::string cmd = std::string("\"") + exe +
                    "\" --gtest_filter=RegistryCrossProcessChild.* --gtest_brief=1";
  ASSERT_TRUE(::SetEnvironmentVariableA(kChildVar, path.c_str()));
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const DWORD startError = StartProcess(cmd, "", si, pi, false);
  ::SetEnvironmentVariableA(kChildVar, nullptr);
  ASSERT_EQ(startError, 0u);
  os::UniqueHandleObj process(pi.hProcess), thread(pi.hThread);
  DWORD wait = ::WaitForSingleObject(pi.hProcess, 60000);
  if (wait != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 99);
  ASSERT_EQ(wait, WAIT_OBJECT_0) << "the second process did not end";
  DWORD code = 1;
  ASSERT_TRUE(::GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 0u) << "the second process's test failed";

  TRegIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Handover", "FromChild", "missing"), "world");
  EXPECT_EQ(ini.ReadInteger("Handover", "ChildPid", 0), static_cast<int>(pi.dwProcessId));
}
