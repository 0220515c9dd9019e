// Tests of TKYTVersionDetails: the test program's own record read in process; small fixture
// programs, copies of one program each given another version record, that print what they read
// from themselves; and queries that fail or answer oddly through replaced seam entries.
#include "system/KYTTVersionDetails.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "tests/support/SeamOverride.h"
#include "tests/system/InfoTestSupport.h"

namespace kyt {
namespace {

using infotest::Sandbox;
using Values = std::map<std::string, std::string>;

Values ValuesOf(const TKYTVersionDetails& details) {
  Values values;
  for (const TPropInfo* prop : details.ClassType().Properties())
    if (prop->Kind() == pkString && prop->Name() != "About" && prop->Name() != "Name")
      values[prop->Name()] = prop->GetStr(&details);
  return values;
}

const Values kOwnRecord = {{"CompanyName", "KYT Components"},
                           {"FileDescription", "System component tests"},
                           {"FileVersion", "1.2.3.4"},
                           {"InternalName", "system_tests"},
                           {"LegalCopyright", "Copyright (C) KYT Components"},
                           {"OriginalFilename", "system_tests.exe"},
                           {"ProductName", "KYT System Components"},
                           {"ProductVersion", "1.2"}};

TEST(VersionDetails, ReadsTheRunningExecutablesRecord) {
  TKYTVersionDetails details(nullptr);
  EXPECT_EQ(ValuesOf(details), kOwnRecord);
}

TEST(VersionDetails, PrefixIsLanguageAndCodePageInUpperCaseHex) {
  EXPECT_EQ(TKYTVersionDetails::StringTablePrefix(1033, 1252), "\\StringFileInfo\\040904E4\\");
  EXPECT_EQ(TKYTVersionDetails::StringTablePrefix(0x0407, 0x04E4), "\\StringFileInfo\\040704E4\\");
  EXPECT_EQ(TKYTVersionDetails::StringTablePrefix(1033, 0), "\\StringFileInfo\\04090000\\");
  EXPECT_EQ(TKYTVersionDetails::StringTablePrefix(0xFFFF, 0xABCD), "\\StringFileInfo\\FFFFABCD\\");
}

TEST(VersionDetails, AssigningAnyValueLeavesItUnchanged) {
  TKYTVersionDetails details(nullptr);
  for (const TPropInfo* prop : details.ClassType().Properties())
    if (prop->Kind() == pkString && prop->Name() != "About" && prop->Name() != "Name")
      prop->SetStr(&details, "changed");
  details.SetDesign("changed");
  EXPECT_EQ(ValuesOf(details), kOwnRecord);
}

// ---- Fixture programs with other records

// Copies the fixture program into the sandbox as name.exe and gives the copy record `record` of
// this program (see SystemTests.rc) as its own version record; 0 leaves it without one.
std::string MakeFixture(Sandbox& box, const std::string& name, int record) {
  const std::string source = infotest::ModuleFolder() + "\\fixtures\\version_fixture.exe";
  const std::string copy = box.File(name + ".exe");
  EXPECT_TRUE(::CopyFileA(source.c_str(), copy.c_str(), FALSE)) << "cannot copy " << source;
  if (record == 0) return copy;
  HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(record), MAKEINTRESOURCEA(16));  // RT_VERSION
  EXPECT_NE(found, nullptr) << "record " << record;
  if (!found) return copy;
  void* data = ::LockResource(::LoadResource(nullptr, found));
  HANDLE update = ::BeginUpdateResourceA(copy.c_str(), FALSE);
  EXPECT_NE(update, nullptr);
  EXPECT_TRUE(::UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), data,
                                ::SizeofResource(nullptr, found)));
  EXPECT_TRUE(::EndUpdateResourceA(update, FALSE));
  return copy;
}

struct FixtureCase {
  const char* Name;
  int Record;
  Values Expected;
};

class VersionFixture : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(VersionFixture, ReadsTheTableItsTranslationsChoose) {
  Sandbox box("system-info-tmp");
  const std::string exe = MakeFixture(box, GetParam().Name, GetParam().Record);
  const infotest::ChildRun run = infotest::RunChild(box, exe);
  ASSERT_EQ(run.ExitCode, 0u) << run.Err;
  Values expected = {{"CompanyName", ""}, {"FileDescription", ""}, {"FileVersion", ""}, {"InternalName", ""},
                     {"LegalCopyright", ""}, {"OriginalFilename", ""}, {"ProductName", ""}, {"ProductVersion", ""}};
  for (const auto& [name, value] : GetParam().Expected) expected[name] = value;
  EXPECT_EQ(infotest::NamedValues(run.Out, "="), expected) << run.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Translations, VersionFixture,
    ::testing::Values(
        // US English listed second of three: its table, whose missing InternalName reads empty.
        FixtureCase{"UsEnglishSecond", 2,
                    {{"CompanyName", "US company"}, {"FileDescription", "US description"}, {"FileVersion", "2.0.0.0"},
                     {"LegalCopyright", "US copyright"}, {"OriginalFilename", "us.exe"}, {"ProductName", "US product"},
                     {"ProductVersion", "2.0"}}},
        FixtureCase{"GermanOnly", 3,
                    {{"CompanyName", "Deutsche Firma"}, {"FileDescription", "Beschreibung"}, {"FileVersion", "3.0.0.0"},
                     {"InternalName", "deutsch"}, {"LegalCopyright", "Urheberrecht"},
                     {"OriginalFilename", "deutsch.exe"}, {"ProductName", "Produkt"}, {"ProductVersion", "3.0"}}},
        // No US English: the last listed (Italian), not the last block of the file (French).
        FixtureCase{"LastOfMany", 4, {{"CompanyName", "Italian company"}}},
        FixtureCase{"NoTranslation", 5, {{"CompanyName", "Neutral company"}, {"ProductVersion", "5.0"}}},
        // Texts outside ASCII after the translation table: whole, through the wide query.
        FixtureCase{"TranslationFirst", 6,
                    {{"CompanyName", "\u65E5\u672C\u306E\u4F1A\u793E"}, {"ProductVersion", "\u7B2C\u516D\u7248 6.0"}}},
        FixtureCase{"NoRecord", 0, {}}),
    [](const ::testing::TestParamInfo<FixtureCase>& info) { return std::string(info.param.Name); });

// ---- Queries that fail or answer oddly

enum class Oddity { None, FailWithJunk, ShortLength, HugeLength, OutsideRecord, NullPointer };
Oddity g_oddity = Oddity::None;
int g_queries = 0;
const wchar_t kOutside[] = L"outside the record";

BOOL WINAPI OddQuery(LPCVOID block, LPCWSTR subBlock, LPVOID* value, PUINT length) {
  ++g_queries;
  const bool text = std::wstring(subBlock).rfind(L"\\StringFileInfo\\", 0) == 0;
  if (!text) return ::VerQueryValueW(block, subBlock, value, length);
  switch (g_oddity) {
    case Oddity::FailWithJunk:
      *value = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(0x10));
      *length = 100;
      return FALSE;
    case Oddity::NullPointer:
      *value = nullptr;
      *length = 5;
      return TRUE;
    case Oddity::OutsideRecord:
      *value = const_cast<wchar_t*>(kOutside);
      *length = sizeof kOutside / sizeof(wchar_t);
      return TRUE;
    default: break;
  }
  const BOOL ok = ::VerQueryValueW(block, subBlock, value, length);
  if (ok && g_oddity == Oddity::ShortLength) *length = 3;
  if (ok && g_oddity == Oddity::HugeLength) *length = 0x7FFFFFF;
  return ok;
}

class VersionQueries : public ::testing::Test {
 protected:
  void SetUp() override {
    g_oddity = Oddity::None;
    g_queries = 0;
  }
  void TearDown() override { g_oddity = Oddity::None; }
  ScopedOverride<decltype(os::version.VerQueryValueW)> query{os::version.VerQueryValueW, &OddQuery};
};

TEST_F(VersionQueries, OneTranslationQueryAndOneQueryPerValue) {
  TKYTVersionDetails details(nullptr);
  EXPECT_EQ(g_queries, 9);
  EXPECT_EQ(ValuesOf(details), kOwnRecord);
}

TEST_F(VersionQueries, FailedQueryGivesEmptyTextWhateverItLeftInThePointer) {
  g_oddity = Oddity::FailWithJunk;
  TKYTVersionDetails details(nullptr);
  for (const auto& [name, value] : ValuesOf(details)) EXPECT_EQ(value, "") << name;
  g_oddity = Oddity::NullPointer;
  details.ReInitialize();
  for (const auto& [name, value] : ValuesOf(details)) EXPECT_EQ(value, "") << name;
}

TEST_F(VersionQueries, CopiesNoMoreThanTheLengthTheQueryGave) {
  g_oddity = Oddity::ShortLength;
  TKYTVersionDetails details(nullptr);
  EXPECT_EQ(details.CompanyName(), "KYT");
  EXPECT_EQ(details.ProductVersion(), "1.2");
  g_oddity = Oddity::HugeLength;  // bounded by the record instead; the text ends at its zero
  details.ReInitialize();
  EXPECT_EQ(ValuesOf(details), kOwnRecord);
  g_oddity = Oddity::OutsideRecord;
  details.ReInitialize();
  EXPECT_EQ(details.CompanyName(), "");
}

DWORD WINAPI NoRecordSize(LPCWSTR, LPDWORD handle) {
  if (handle) *handle = 0;
  ::SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  return 0;
}
BOOL WINAPI FailingLoad(LPCWSTR, DWORD, DWORD, LPVOID) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}
std::wstring g_askedPath;
DWORD WINAPI RecordingSize(LPCWSTR path, LPDWORD handle) {
  g_askedPath = path;
  return ::GetFileVersionInfoSizeW(path, handle);
}

TEST(VersionDetails, ReReadingWithoutALoadableRecordKeepsTheValues) {
  TKYTVersionDetails details(nullptr);
  {
    ScopedOverride size(os::version.GetFileVersionInfoSizeW, &NoRecordSize);
    details.ReInitialize();
    EXPECT_EQ(ValuesOf(details), kOwnRecord);
    TKYTVersionDetails fresh(nullptr);
    EXPECT_EQ(fresh.CompanyName(), "");
  }
  {
    ScopedOverride load(os::version.GetFileVersionInfoW, &FailingLoad);
    details.ReInitialize();
    EXPECT_EQ(ValuesOf(details), kOwnRecord);
  }
  ScopedOverride size(os::version.GetFileVersionInfoSizeW, &RecordingSize);
  details.ReInitialize();
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_EQ(g_askedPath, self) << "the running executable, never the package";
}

// ---- Form files

class TVersionRoot : public TComponent {
  KYT_CLASS(TVersionRoot, TComponent)
 public:
  using TComponent::TComponent;
};

TEST(VersionDetailsFormFile, StoresNoneOfItsValues) {
  RegisterClasses({&TVersionRoot::StaticClass(), &TKYTVersionDetails::StaticClass()});
  TVersionRoot root(nullptr);
  root.SetName("InfoForm");
  root.SetDesigning(true);
  auto* details = new TKYTVersionDetails(&root);
  details->SetName("VersionDetails1");
  EXPECT_EQ(details->CompanyName(), "KYT Components") << "read in the designer too";
  const std::string text = WriteComponentText(root);
  EXPECT_NE(text.find("object VersionDetails1: TKYTVersionDetails"), std::string::npos) << text;
  EXPECT_EQ(text.find(" = "), std::string::npos) << text;
  TVersionRoot copy(nullptr);
  ReadRootText(copy, text, "version.kfm");
  auto* loaded = ObjectCast<TKYTVersionDetails>(copy.FindComponent("VersionDetails1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(ValuesOf(*loaded), kOwnRecord);
}

}  // namespace
}  // namespace kyt
