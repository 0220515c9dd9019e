// Tests of the data store over the real registry of the test prefix and real ini files.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/rtl/IniFiles.h"
#include "host/rtl/WideText.h"
#include "host/rtl/Registry.h"
#include "host/core/Strings.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTStoreData.h"
#include "tests/persistence/PersistenceTestSupport.h"

namespace kyt {
namespace {

using ptest::kTestsKey;

const std::string kStoreKey = kTestsKey + "\\StoreData";
const std::string kSection = "Values";

// A key path written with forward slashes, which the store fixes.
std::string Slashed(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Counts OnError calls and remembers the last sender.
struct ErrorCounter {
  int count = 0;
  TObject* sender = nullptr;
  void Fired(TObject* s) {
    ++count;
    sender = s;
  }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&ErrorCounter::Fired>(this); }
};

// One store, pointed at the test's own key or ini file; the parameter chooses the back-end.
class StoreDataTest : public ::testing::TestWithParam<TKYTDatatype> {
 protected:
  void SetUp() override {
    ptest::DeleteTestKey(kStoreKey);
    folder_ = std::make_unique<ptest::TempFolder>(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    iniPath_ = folder_->File("store.ini");
    store_.SetDatatype(GetParam());
    store_.Registry()->SetPath(kStoreKey);
    store_.Registry()->SetSection(kSection);
    store_.Inifile()->SetFilename(iniPath_);
    store_.Inifile()->SetSection(kSection);
  }
  void TearDown() override {
    ptest::DeleteTestKey(kStoreKey);
    folder_.reset();
  }

  bool IsIni() const { return GetParam() == sIniFile; }

  // What the back-end really holds for a name, without any conversion of ours.
  std::optional<std::string> Raw(const std::string& name) const {
    if (IsIni()) return ptest::ReadRawIniValue(iniPath_, kSection, name);
    const auto value = ptest::ReadRawRegValue(kStoreKey + "\\" + kSection, name);
    if (!value) return std::nullopt;
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << "value " << name << " is not text";
    return value->text;
  }

  // The bytes a scrambled value stands for: each stored character is one byte of code page 1252.
  std::optional<std::string> StoredBytes(const std::string& name) const {
    const auto raw = Raw(name);  // UTF-8, as this process reads and the ini file holds it
    if (!raw) return std::nullopt;
    return TextFromWide(WideFromText(*raw, CP_UTF8), 1252);
  }

  // Whether the back-end was touched at all: the section key or the ini file exists.
  bool AnythingWritten() const {
    if (IsIni()) return ptest::ReadFileBytes(iniPath_).has_value();
    return ptest::TestKeyExists(kStoreKey);
  }

  std::unique_ptr<ptest::TempFolder> folder_;
  std::string iniPath_;
  TKYTDataStore store_;
};

std::string BackendName(const ::testing::TestParamInfo<TKYTDatatype>& info) {
  return info.param == sIniFile ? "IniFile" : "Registry";
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreDataTest, ::testing::Values(sRegistry, sIniFile),
                         BackendName);

TEST(StoreData, StartsWithItsDocumentedSettings) {
  TKYTDataStore store;
  EXPECT_EQ(store.ErrorInt(), 0);
  EXPECT_EQ(store.ErrorStr(), "Error");
  EXPECT_FALSE(store.ErrorBool());
  EXPECT_TRUE(store.Enabled());
  EXPECT_EQ(store.Datatype(), sRegistry);
  EXPECT_FALSE(store.OnError());
  ASSERT_NE(store.Registry(), nullptr);
  ASSERT_NE(store.Inifile(), nullptr);
  EXPECT_EQ(store.Registry()->Rootkey(), hkeyCurrentUser);
  EXPECT_EQ(store.Registry()->Path(), "Software\\Company\\Product");
  EXPECT_EQ(store.Registry()->Section(), "MySection");
  EXPECT_EQ(store.Inifile()->Filename(), "MyFile.ini");
  EXPECT_EQ(store.Inifile()->Section(), "MySection");
}

TEST(StoreData, MapsRootKeysToTheirHandles) {
  EXPECT_EQ(KYTHKeys[hkeyClassesRoot], HKEY_CLASSES_ROOT);
  EXPECT_EQ(KYTHKeys[hkeyCurrentUser], HKEY_CURRENT_USER);
  EXPECT_EQ(KYTHKeys[hkeyLocalMachine], HKEY_LOCAL_MACHINE);
  EXPECT_EQ(KYTHKeys[hkeyUsers], HKEY_USERS);
  EXPECT_EQ(KYTHKeys[hkeyCurrentConfig], HKEY_CURRENT_CONFIG);
  EXPECT_EQ(KYTHKeys[hkeyDynData], HKEY_DYN_DATA);
  static_assert(hkeyDynData == 5 && sIniFile == 1, "ordinals as declared");
  EXPECT_EQ(EnumInfo<TKYTRootKey>().Members.size(), 6u);
  EXPECT_EQ(EnumInfo<TKYTDatatype>().Members.at(1), "sIniFile");
}

TEST_P(StoreDataTest, ReadsMissingValuesAsErrorValuesAndReportsStringAndIntegerReads) {
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  EXPECT_EQ(store_.ReadStr("Missing"), "Error");
  EXPECT_EQ(errors.count, 1);
  EXPECT_EQ(store_.ReadCrypt("Missing"), "Error");
  EXPECT_EQ(errors.count, 2);
  EXPECT_EQ(store_.ReadInt("Missing"), 0);
  EXPECT_EQ(errors.count, 3);
  EXPECT_FALSE(store_.ReadBool("Missing"));
  EXPECT_EQ(errors.count, 3) << "a missing Boolean is answered silently";
  EXPECT_EQ(errors.sender, &store_) << "Sender is the data store itself";
}

TEST_P(StoreDataTest, AnswersWithTheConfiguredErrorValues) {
  store_.SetErrorStr("none");
  store_.SetErrorInt(-7);
  store_.SetErrorBool(true);
  EXPECT_EQ(store_.ReadStr("Missing"), "none");
  EXPECT_EQ(store_.ReadCrypt("Missing"), "none") << "the error value is not unscrambled";
  EXPECT_EQ(store_.ReadInt("Missing"), -7);
  EXPECT_TRUE(store_.ReadBool("Missing"));
}

TEST_P(StoreDataTest, ReportsAStoredValueThatEqualsTheErrorValue) {
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  store_.WriteInt("Zero", 0);
  store_.WriteStr("Text", "Error");
  EXPECT_EQ(store_.ReadInt("Zero"), 0);
  EXPECT_EQ(store_.ReadStr("Text"), "Error");
  EXPECT_EQ(errors.count, 2);
  store_.WriteInt("Five", 5);
  EXPECT_EQ(store_.ReadInt("Five"), 5);
  EXPECT_EQ(errors.count, 2);
}

TEST_P(StoreDataTest, KeepsStringsUnchanged) {
  store_.WriteStr("Greeting", "Hello, world");
  EXPECT_EQ(Raw("Greeting"), "Hello, world");
  EXPECT_EQ(store_.ReadStr("Greeting"), "Hello, world");
}

// Text is kept whole, however long, or refused through OnError with the old value left: a byte
// that is no text would be stored as U+FFFD, a long value was cut by the ini file's ANSI call.
TEST_P(StoreDataTest, KeepsEveryTextWholeOrRefusesItAndKeepsTheOldValue) {
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  const struct {
    std::string Value;
    bool Kept;
  } cases[] = {
      {"caf\xE9 日本", false},
      {"日本\xFF語", false},
      {std::string(40000, 'x'), true},
      {test::Repeat("日本語", 10000), true},  // 90,000 bytes
      {test::kLatin + test::kCyrillic + test::kCjk + test::kAstral, true},
  };
  for (const auto& c : cases) {
    store_.WriteStr("Value", "old");
    const int before = errors.count;
    store_.WriteStr("Value", c.Value);
    EXPECT_EQ(errors.count, before + (c.Kept ? 0 : 1)) << c.Value.substr(0, 20);
    const std::string expected = c.Kept ? c.Value : "old";
    EXPECT_EQ(Raw("Value"), expected) << c.Value.substr(0, 20);
    EXPECT_EQ(store_.ReadStr("Value"), expected) << c.Value.substr(0, 20);
  }
  store_.WriteStr(test::kStray, "v");  // a name that would name another value
  EXPECT_EQ(store_.ReadStr(test::kStray), "Error");
  EXPECT_EQ(Raw("caf\xEF\xBF\xBD"), std::nullopt);
}

TEST_P(StoreDataTest, KeepsIntegersAsSignedDecimalText) {
  store_.WriteInt("Negative", -5);
  store_.WriteInt("Large", 2147483647);
  EXPECT_EQ(Raw("Negative"), "-5");
  EXPECT_EQ(Raw("Large"), "2147483647");
  EXPECT_EQ(store_.ReadInt("Negative"), -5);
  EXPECT_EQ(store_.ReadInt("Large"), 2147483647);
}

TEST_P(StoreDataTest, KeepsBooleansAsDigitsAndReadsAnyNonZeroNumberAsTrue) {
  store_.WriteBool("Yes", true);
  store_.WriteBool("No", false);
  EXPECT_EQ(Raw("Yes"), "1");
  EXPECT_EQ(Raw("No"), "0");
  EXPECT_TRUE(store_.ReadBool("Yes"));
  EXPECT_FALSE(store_.ReadBool("No"));
  store_.WriteInt("Two", 2);
  EXPECT_TRUE(store_.ReadBool("Two"));
}

TEST_P(StoreDataTest, ScrambledTextReadsBackAsWrittenAndDiffersInEveryCharacter) {
  std::string text;
  for (int code = ' '; code < 0x7F; ++code) text.push_back(static_cast<char>(code));
  store_.WriteCrypt("Secret", text);
  const auto stored = StoredBytes("Secret");
  ASSERT_TRUE(stored.has_value());
  ASSERT_EQ(stored->size(), text.size()) << "plain text keeps its length";
  for (size_t i = 0; i < text.size(); ++i)
    EXPECT_NE((*stored)[i], text[i]) << "character " << i << " is stored in clear";
  EXPECT_EQ(store_.ReadCrypt("Secret"), text);
}

TEST_P(StoreDataTest, ScrambledTextOfEveryCodeReadsBackAsWritten) {
  // Codes whose shifted form would be a string end, a line break, or a blank or quote that the
  // ini format trims from the ends of a value: alone, at both ends, and all together.
  std::string all;
  for (int code = 0; code < 256; ++code) all.push_back(static_cast<char>(code));
  std::vector<std::string> texts{all};
  for (const unsigned char c : {0x00, 0x7F, 0x81, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x99, 0x9F, 0xA1, 0xA6}) {
    const std::string one(1, static_cast<char>(c));
    texts.push_back(one);
    texts.push_back(one + "middle" + one);
  }
  for (const std::string& text : texts) {
    store_.WriteCrypt("Secret", text);
    const auto stored = StoredBytes("Secret");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, KYTScramble(text)) << "every scrambled byte is kept";
    EXPECT_EQ(stored->find_first_of(std::string("\0\r\n", 3)), std::string::npos);
    EXPECT_EQ(store_.ReadCrypt("Secret"), text) << "text of " << text.size() << " bytes";
  }
}

// A process of the classic code page 1252 stored the scrambled bytes through the 8-bit calls:
// the registry holds them as the characters of code page 1252, the ini file as the bytes
// themselves, which are not UTF-8. Both still read.
TEST_P(StoreDataTest, AScrambledValueStoredUnderCodePage1252StillReads) {
  std::string all;
  for (int code = 0; code < 256; ++code) all.push_back(static_cast<char>(code));
  const std::string scrambled = KYTScramble(all);
  if (IsIni()) {
    ptest::WriteFileBytes(iniPath_, "[" + kSection + "]\r\nSecret=" + scrambled + "\r\n");
  } else {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (kStoreKey + "\\" + kSection).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = WideFromText(scrambled, 1252);
    ::RegSetValueExW(key, L"Secret", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
  }
  EXPECT_EQ(store_.ReadCrypt("Secret"), all);
}

TEST_P(StoreDataTest, ScramblesEmptyTextToEmptyText) {
  store_.WriteCrypt("Empty", "");
  EXPECT_EQ(Raw("Empty"), "");
  EXPECT_EQ(store_.ReadCrypt("Empty"), "");
}

TEST_P(StoreDataTest, ReadCryptOfAMissingNameReturnsErrorStrUnchangedWithOrWithoutHandler) {
  store_.SetErrorStr("Nothing");
  EXPECT_EQ(store_.ReadCrypt("Missing"), "Nothing");
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  EXPECT_EQ(store_.ReadCrypt("Missing"), "Nothing");
  EXPECT_EQ(errors.count, 1);
}

TEST_P(StoreDataTest, EmptySectionFiresOnErrorForEveryOperationAndOpensNothing) {
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  store_.Registry()->SetSection("");
  store_.Inifile()->SetSection("");
  TStringList list;
  list.Add("kept");
  EXPECT_EQ(store_.ReadStr("A"), "Error");
  EXPECT_EQ(store_.ReadCrypt("A"), "Error");
  EXPECT_EQ(store_.ReadInt("A"), 0);
  EXPECT_FALSE(store_.ReadBool("A"));
  store_.ReadStrs(&list);
  store_.WriteStr("A", "x");
  store_.WriteCrypt("A", "x");
  store_.WriteInt("A", 1);
  store_.WriteBool("A", true);
  store_.Erase();
  store_.DeleteKey("A");
  EXPECT_EQ(errors.count, 11);
  EXPECT_EQ(list.Count(), 1) << "the list is left alone";
  EXPECT_FALSE(AnythingWritten());
}

TEST_P(StoreDataTest, EmptyLocationIsSilentAndWritesNothing) {
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  if (IsIni())
    store_.Inifile()->SetFilename("");
  else
    store_.Registry()->SetPath("");
  store_.WriteStr("A", "x");
  EXPECT_EQ(store_.ReadStr("A"), "Error");
  EXPECT_EQ(store_.ReadInt("A"), 0);
  EXPECT_EQ(errors.count, 0);
  EXPECT_FALSE(AnythingWritten());
}

TEST_P(StoreDataTest, DisabledStoreReturnsErrorValuesSilentlyButStillFixesThePath) {
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  store_.SetEnabled(false);
  store_.Registry()->SetPath(Slashed(kStoreKey));
  store_.WriteStr("A", "x");
  EXPECT_EQ(store_.Registry()->Path(), kStoreKey) << "DoFix runs before the enabled switch";
  EXPECT_EQ(store_.ReadStr("A"), "Error");
  EXPECT_EQ(store_.ReadInt("A"), 0);
  EXPECT_EQ(store_.ReadCrypt("A"), "Error");
  store_.Registry()->SetSection("");
  EXPECT_EQ(store_.ReadStr("A"), "Error");
  EXPECT_EQ(errors.count, 0) << "a disabled store stops before the section is looked at";
  EXPECT_FALSE(AnythingWritten());
}

TEST_P(StoreDataTest, FixesForwardSlashesOfThePathWhateverTheBackend) {
  store_.Registry()->SetPath(Slashed(kStoreKey));
  store_.WriteInt("A", 1);
  EXPECT_EQ(store_.Registry()->Path(), kStoreKey);
  EXPECT_EQ(store_.ReadInt("A"), 1);
  EXPECT_EQ(store_.Inifile()->Filename(), iniPath_) << "the file name is never touched";
}

TEST_P(StoreDataTest, EraseLeavesThePathUnfixed) {
  // The registry takes '/' as part of a key name: Erase works on the key of that odd name.
  const std::string slashed = "Software/KYT/Tests/Persistence/StoreData";
  store_.WriteStr("Kept", "1");
  ptest::WriteRawRegString(slashed + "\\" + kSection, "Odd", "x");
  store_.Registry()->SetPath(slashed);
  store_.Erase();
  EXPECT_EQ(store_.Registry()->Path(), slashed);
  if (!IsIni()) {
    EXPECT_EQ(ptest::ReadRawRegValue(slashed + "\\" + kSection, "Odd"), std::nullopt);
    EXPECT_EQ(Raw("Kept"), "1") << "the key with backslashes is not the one erased";
  }
  ptest::DeleteTestKey(slashed);
}

TEST_P(StoreDataTest, EraseRemovesEveryValueOfTheSection) {
  store_.WriteStr("A", "1");
  store_.WriteStr("B", "2");
  store_.Erase();
  EXPECT_EQ(Raw("A"), std::nullopt);
  EXPECT_EQ(Raw("B"), std::nullopt);
  EXPECT_EQ(store_.ReadStr("A"), "Error");
}

TEST_P(StoreDataTest, DeleteKeyRemovesOneValueAndLeavesTheOthers) {
  store_.WriteStr("A", "1");
  store_.WriteStr("B", "2");
  store_.DeleteKey("A");
  EXPECT_EQ(Raw("A"), std::nullopt);
  EXPECT_EQ(Raw("B"), "2");
}

TEST_P(StoreDataTest, ReadStrsListsEveryValueAsNameEqualsValue) {
  store_.WriteStr("Alpha", "one");
  store_.WriteInt("Beta", 2);
  TStringList list;
  list.Add("stale");
  store_.ReadStrs(&list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Values("Alpha"), "one");
  EXPECT_EQ(list.Values("Beta"), "2");
  EXPECT_EQ(list.IndexOf("stale"), -1);
}

TEST_P(StoreDataTest, IgnoresTheSettingsOfTheOtherBackend) {
  if (IsIni()) {
    store_.Registry()->SetPath("");
    store_.Registry()->SetSection("");
  } else {
    store_.Inifile()->SetFilename("");
    store_.Inifile()->SetSection("");
  }
  ErrorCounter errors;
  store_.SetOnError(errors.Event());
  store_.WriteStr("A", "x");
  EXPECT_EQ(store_.ReadStr("A"), "x");
  EXPECT_EQ(errors.count, 0);
}

TEST(StoreData, RegistryBackendUsesPathSectionBelowTheRootKey) {
  ptest::DeleteTestKey(kStoreKey);
  TKYTDataStore store;
  store.Registry()->SetPath(kStoreKey);
  store.Registry()->SetSection("Sub");
  store.WriteStr("Name", "Value");
  const auto raw = ptest::ReadRawRegValue(kStoreKey + "\\Sub", "Name");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->text, "Value");
  ptest::DeleteTestKey(kStoreKey);
}

TEST(StoreData, RegistryKeepsNamesAndValuesTheIniFormatCannot) {
  ptest::DeleteTestKey(kStoreKey);
  TKYTDataStore store;
  store.Registry()->SetPath(kStoreKey);
  store.WriteStr("a=b", "two\r\nlines");
  store.WriteStr("[bracket", "x");
  EXPECT_EQ(store.ReadStr("a=b"), "two\r\nlines");
  EXPECT_EQ(store.ReadStr("[bracket"), "x");
  ptest::DeleteTestKey(kStoreKey);
}

// The ini format cannot keep these names or values: they are refused, not written.
class StoreDataIniInput : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.SetDatatype(sIniFile);
    store_.Inifile()->SetFilename(folder_.File("refuse.ini"));
    store_.Inifile()->SetSection("S");
    store_.SetOnError(errors_.Event());
    ptest::WriteFileBytes(store_.Inifile()->Filename(), kContent);
  }
  std::string Bytes() const {
    return ptest::ReadFileBytes(store_.Inifile()->Filename()).value_or("<missing>");
  }

  const std::string kContent = "[S]\r\na=b=c\r\nplain=1\r\n";
  ptest::TempFolder folder_{"IniInput"};
  ErrorCounter errors_;
  TKYTDataStore store_;
};

TEST_F(StoreDataIniInput, RefusesWritesOfNamesTheFormatCannotKeep) {
  for (const std::string name : {"", "a=b", "two\r\nlines", "line\nbreak", "cr\rname", "[S]"}) {
    const int before = errors_.count;
    store_.WriteStr(name, "v");
    store_.WriteInt(name, 1);
    store_.WriteBool(name, true);
    store_.WriteCrypt(name, "v");
    store_.DeleteKey(name);
    EXPECT_EQ(errors_.count, before + 5) << "name '" << name << "'";
    EXPECT_EQ(Bytes(), kContent) << "name '" << name << "'";
  }
}

TEST_F(StoreDataIniInput, RefusesValuesHoldingALineBreak) {
  store_.WriteStr("plain", "two\r\nlines");
  store_.WriteStr("plain", "lf\nonly");
  store_.WriteStr("plain", "cr\ronly");
  EXPECT_EQ(errors_.count, 3);
  EXPECT_EQ(Bytes(), kContent);
  // Scrambled text never holds a line break, whatever it was written from.
  store_.WriteCrypt("plain", "two\r\nlines");
  EXPECT_EQ(errors_.count, 3);
  EXPECT_EQ(store_.ReadCrypt("plain"), "two\r\nlines");
}

TEST_F(StoreDataIniInput, ReadsOfRefusedNamesAnswerTheErrorValue) {
  store_.SetErrorInt(-1);
  store_.SetErrorBool(true);
  EXPECT_EQ(store_.ReadStr("a=b"), "Error");
  EXPECT_EQ(store_.ReadCrypt("a=b"), "Error");
  EXPECT_EQ(store_.ReadInt("a=b"), -1);
  EXPECT_TRUE(store_.ReadBool("a=b"));
  EXPECT_EQ(store_.ReadStr(""), "Error");
  EXPECT_EQ(store_.ReadStr("[S]"), "Error");
  EXPECT_EQ(errors_.count, 5) << "ReadBool answers silently, as for a missing value";
  EXPECT_EQ(store_.ReadStr("plain"), "1") << "a good name still reads";
  EXPECT_EQ(Bytes(), kContent);
}

LONG WINAPI RefuseCreateKey(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                            PHKEY, LPDWORD) {
  return ERROR_ACCESS_DENIED;
}

TEST(StoreData, BackendErrorsReachTheCaller) {
  ptest::DeleteTestKey(kStoreKey);
  TKYTDataStore store;
  ErrorCounter errors;
  store.SetOnError(errors.Event());
  store.Registry()->SetPath(kStoreKey);
  {
    os::ScopedOverride refuse(os::advapi32.RegCreateKeyExA, &RefuseCreateKey);
    EXPECT_THROW(store.WriteStr("A", "x"), ERegistryException);
  }
  ptest::TempFolder folder("BackendErrors");
  store.SetDatatype(sIniFile);
  store.Inifile()->SetFilename(folder.File("no such folder\\store.ini"));
  EXPECT_THROW(store.WriteStr("A", "x"), EIniFileException);
  EXPECT_EQ(errors.count, 0) << "back-end errors are raised, not reported";
  ptest::DeleteTestKey(kStoreKey);
}

TEST(StoreData, AssigningSettingsObjectsCopiesThemIntoTheOwnedOnes) {
  TKYTDataStore store;
  TKYTRegistry* ownedRegistry = store.Registry();
  TKYTIniFile* ownedIni = store.Inifile();
  TKYTRegistry registry;
  registry.SetRootkey(hkeyLocalMachine);
  registry.SetPath("Software\\Other");
  registry.SetSection("Elsewhere");
  TKYTIniFile ini;
  ini.SetFilename("other.ini");
  ini.SetSection("Other");
  store.SetRegistry(&registry);
  store.SetInifile(&ini);
  EXPECT_EQ(store.Registry(), ownedRegistry);
  EXPECT_EQ(store.Inifile(), ownedIni);
  EXPECT_EQ(store.Registry()->Rootkey(), hkeyLocalMachine);
  EXPECT_EQ(store.Registry()->Path(), "Software\\Other");
  EXPECT_EQ(store.Registry()->Section(), "Elsewhere");
  EXPECT_EQ(store.Inifile()->Filename(), "other.ini");
  EXPECT_EQ(store.Inifile()->Section(), "Other");

  TKYTStoreData holder(nullptr);
  TKYTDataStore* ownedStore = holder.DataStore();
  store.SetErrorStr("Copied");
  store.SetDatatype(sIniFile);
  holder.SetDataStore(&store);
  EXPECT_EQ(holder.DataStore(), ownedStore);
  EXPECT_EQ(holder.DataStore()->ErrorStr(), "Copied");
  EXPECT_EQ(holder.DataStore()->Datatype(), sIniFile);
  EXPECT_EQ(holder.DataStore()->Registry()->Path(), "Software\\Other");
  EXPECT_NE(holder.DataStore()->Registry(), store.Registry());
}

TEST(StoreData, ComponentPassesThroughAndNeverFiresItsOwnOnError) {
  ptest::DeleteTestKey(kStoreKey);
  TKYTStoreData holder(nullptr);
  ErrorCounter own;
  ErrorCounter stores;
  holder.SetOnError(own.Event());
  holder.DataStore()->SetOnError(stores.Event());
  holder.DataStore()->Registry()->SetPath(kStoreKey);
  EXPECT_EQ(holder.About(), "(About)");
  holder.WriteStr("S", "text");
  holder.WriteInt("I", 12);
  holder.WriteBool("B", true);
  holder.WriteCrypt("C", "hidden");
  EXPECT_EQ(holder.ReadStr("S"), "text");
  EXPECT_EQ(holder.ReadInt("I"), 12);
  EXPECT_TRUE(holder.ReadBool("B"));
  EXPECT_EQ(holder.ReadCrypt("C"), "hidden");
  TStringList list;
  holder.ReadStrs(&list);
  EXPECT_EQ(list.Count(), 4);
  holder.DeleteKey("S");
  EXPECT_EQ(holder.ReadStr("S"), "Error");
  holder.Erase();
  EXPECT_EQ(holder.ReadInt("I"), 0);
  EXPECT_EQ(stores.count, 2);
  EXPECT_EQ(stores.sender, holder.DataStore());
  EXPECT_EQ(own.count, 0);
  ptest::DeleteTestKey(kStoreKey);
}

TEST(StoreData, IsKnownToTheStreamingSystemByName) {
  const TClassInfo* info = FindClass("TKYTDataStore");
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(info->InheritsFrom(TPersistent::StaticClass()));
}

TEST(StoreData, FormFileRoundTripStreamsTheSettingsAsSubProperties) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetName("StoreForm");
  auto* holder = new TKYTStoreData(form.get());
  holder->SetName("Settings");
  TKYTDataStore* store = holder->DataStore();
  store->SetErrorInt(-3);
  store->SetErrorStr("Missing");
  store->SetErrorBool(true);
  store->SetEnabled(false);
  store->SetDatatype(sIniFile);
  store->Registry()->SetRootkey(hkeyLocalMachine);
  store->Registry()->SetPath("Software\\KYT\\RoundTrip");
  store->Registry()->SetSection("Sect");
  store->Inifile()->SetFilename("round.ini");
  store->Inifile()->SetSection("IniSect");

  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("DataStore.Registry.Path = 'Software\\KYT\\RoundTrip'"), std::string::npos)
      << text;
  EXPECT_NE(text.find("DataStore.Inifile.Filename = 'round.ini'"), std::string::npos) << text;
  EXPECT_NE(text.find("DataStore.Datatype = sIniFile"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;

  std::unique_ptr<TForm> copy(new TForm(nullptr));
  ReadRootText(*copy, text, "StoreForm.kfm");
  auto* read = dynamic_cast<TKYTStoreData*>(copy->FindComponent("Settings"));
  ASSERT_NE(read, nullptr);
  TKYTDataStore* got = read->DataStore();
  EXPECT_EQ(got->ErrorInt(), -3);
  EXPECT_EQ(got->ErrorStr(), "Missing");
  EXPECT_TRUE(got->ErrorBool());
  EXPECT_FALSE(got->Enabled());
  EXPECT_EQ(got->Datatype(), sIniFile);
  EXPECT_EQ(got->Registry()->Rootkey(), hkeyLocalMachine);
  EXPECT_EQ(got->Registry()->Path(), "Software\\KYT\\RoundTrip");
  EXPECT_EQ(got->Registry()->Section(), "Sect");
  EXPECT_EQ(got->Inifile()->Filename(), "round.ini");
  EXPECT_EQ(got->Inifile()->Section(), "IniSect");
  EXPECT_EQ(WriteComponentText(*copy), text);
}

TEST(StoreData, FormFileLeavesOutDeclaredDefaultsButAlwaysWritesTheOthers) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetName("DefaultsForm");
  (new TKYTStoreData(form.get()))->SetName("Settings");
  const std::string text = WriteComponentText(*form);
  EXPECT_EQ(text.find("DataStore.Enabled"), std::string::npos) << text;
  EXPECT_EQ(text.find("DataStore.Datatype"), std::string::npos) << text;
  EXPECT_EQ(text.find("Rootkey"), std::string::npos) << text;
  EXPECT_NE(text.find("DataStore.ErrorInt = 0"), std::string::npos) << text;
  EXPECT_NE(text.find("DataStore.ErrorStr = 'Error'"), std::string::npos) << text;
  EXPECT_NE(text.find("DataStore.ErrorBool = False"), std::string::npos) << text;
  EXPECT_NE(text.find("DataStore.Registry.Section = 'MySection'"), std::string::npos) << text;
}

}  // namespace
}  // namespace kyt
