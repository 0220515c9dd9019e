// Tests of TIniFile on real ini files: layout, types as text, lists, the Windows directory for a
// bare name, long values, and refusal of text that would break the file.
#include "host/rtl/IniFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "host/core/Strings.h"
#include "host/rtl/SysUtils.h"
#include "tests/rtl/RtlTestSupport.h"

using namespace kyt;
using kyt::rtltest::ReadBytes;
using kyt::rtltest::WriteBytes;

namespace {

class IniFiles : public ::testing::Test {
 protected:
  rtltest::TempDir dir{"inifiles"};
  std::string file = dir / "settings.ini";
};

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> v;
  for (int i = 0; i < list.Count(); ++i) v.push_back(list.Strings(i));
  return v;
}

}  // namespace

TEST_F(IniFiles, WritesSectionsAndNameValueLines) {
  TIniFile ini(file);
  EXPECT_EQ(ini.FileName(), file);
  ini.WriteString("MySection", "Name", "Value");
  ini.WriteInteger("MySection", "Int", -5);
  ini.WriteBool("MySection", "Yes", true);
  ini.WriteBool("Other", "No", false);
  // Windows puts an empty line before a new section; Wine does not.
  const std::string body = ReadBytes(file);
  EXPECT_TRUE(body == "[MySection]\r\nName=Value\r\nInt=-5\r\nYes=1\r\n\r\n[Other]\r\nNo=0\r\n" ||
              body == "[MySection]\r\nName=Value\r\nInt=-5\r\nYes=1\r\n[Other]\r\nNo=0\r\n")
      << body;
  EXPECT_EQ(ini.ReadString("MySection", "Name", "Error"), "Value");
  EXPECT_EQ(ini.ReadInteger("MySection", "Int", 0), -5);
  EXPECT_TRUE(ini.ReadBool("MySection", "Yes", false));
  EXPECT_FALSE(ini.ReadBool("Other", "No", true));
  ini.WriteString("MySection", "Name", "Changed");
  EXPECT_EQ(ini.ReadString("mysection", "NAME", ""), "Changed") << "names ignore case";
}

TEST_F(IniFiles, ReadsGiveTheDefaultForMissingOrNonNumericValues) {
  TIniFile ini(file);
  EXPECT_EQ(ini.ReadString("S", "x", "Error"), "Error");
  EXPECT_EQ(ini.ReadInteger("S", "x", 7), 7);
  EXPECT_TRUE(ini.ReadBool("S", "x", true));
  EXPECT_FALSE(rtltest::PathExists(file)) << "reads create no file";
  ASSERT_TRUE(WriteBytes(file, "[S]\r\nWord=abc\r\nTwo=2\r\nHex=0x1F\r\nEmpty=\r\n"));
  EXPECT_EQ(ini.ReadInteger("S", "Word", 3), 3);
  EXPECT_TRUE(ini.ReadBool("S", "Two", false));
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadString("S", "Empty", "d"), "") << "an empty value is not missing";
  EXPECT_EQ(ini.ReadInteger("S", "Empty", 4), 4);
}

TEST_F(IniFiles, ListsSectionsNamesAndValues) {
  ASSERT_TRUE(WriteBytes(file, "[A]\r\none=1\r\ntwo=2\r\n[B]\r\nx=y\r\n[Empty]\r\n"));
  TIniFile ini(file);
  TStringList list;
  list.Add("stale");
  ini.ReadSections(list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"A", "B", "Empty"}));
  ini.ReadSection("A", &list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"one", "two"}));
  ini.ReadSectionValues("A", list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"one=1", "two=2"}));
  EXPECT_TRUE(ini.SectionExists("A"));
  EXPECT_FALSE(ini.SectionExists("Empty")) << "a section without values does not count";
  EXPECT_FALSE(ini.SectionExists("Missing"));
  EXPECT_TRUE(ini.ValueExists("A", "TWO"));
  EXPECT_FALSE(ini.ValueExists("A", "three"));
}

TEST_F(IniFiles, EraseSectionAndDeleteKeyRemoveWhatTheyName) {
  TIniFile ini(file);
  ini.WriteString("A", "one", "1");
  ini.WriteString("A", "two", "2");
  ini.WriteString("B", "keep", "k");
  ini.DeleteKey("A", "one");
  EXPECT_EQ(ini.ReadString("A", "one", "gone"), "gone");
  EXPECT_EQ(ini.ReadString("A", "two", ""), "2");
  ini.EraseSection("A");
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.ReadString("B", "keep", ""), "k");
  ini.DeleteKey("B", "");  // refused quietly: it must not touch the section
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(file), "[B]\r\nkeep=k\r\n");
}

TEST_F(IniFiles, LongValuesReadBackWhole) {
  // The first read uses a 2048-byte buffer: shorter, exactly fitting, cut and much longer.
  TIniFile ini(file);
  for (size_t len : {size_t{2046}, size_t{2047}, size_t{2048}, size_t{2049}, size_t{20000}}) {
    std::string value(len, 'v');
    ini.WriteString("Long", "Value", value);
    EXPECT_EQ(ini.ReadString("Long", "Value", ""), value) << "length " << len;
  }
  // Name lists grow the same way.
  for (int i = 0; i < 600; ++i) ini.WriteString("Many", "name" + std::to_string(i), "x");
  EXPECT_EQ(ini.ValueNames("Many").size(), 600u);
}

TEST_F(IniFiles, ABareFileNameLivesInTheWindowsDirectory) {
  char windows[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryA(windows, sizeof windows), 0u);
  const std::string name = "kyt-rtl-bare-" + std::to_string(::GetCurrentProcessId()) + ".ini";
  const std::string full = std::string(windows) + "\\" + name;
  {
    TIniFile ini(name);
    ini.WriteString("S", "where", "windows");
    EXPECT_EQ(ini.ReadString("S", "where", ""), "windows");
  }
  EXPECT_TRUE(FileExists(full));
  EXPECT_NE(ReadBytes(full).find("where=windows"), std::string::npos);

  // The read-only check looks at that file too, not at a namesake in the current directory.
  ASSERT_TRUE(::CreateDirectoryA(name.c_str(), nullptr));
  {
    TIniFile ini(name);
    EXPECT_NO_THROW(ini.WriteString("S", "where", "still windows"));
    ASSERT_TRUE(::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(ini.WriteString("S", "where", "refused"), EIniFileException);
    EXPECT_EQ(ini.ReadString("S", "where", ""), "still windows");
  }
  ::RemoveDirectoryA(name.c_str());
  ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(full.c_str());
}

TEST_F(IniFiles, ThePlatformTrimsBlanksAndQuotes) {
  TIniFile ini(file);
  ini.WriteString("S", "Spaced", "  x  ");
  ini.WriteString("S", "Quoted", "\"q\"");
  EXPECT_EQ(ini.ReadString("S", "Spaced", ""), "x");
  EXPECT_EQ(ini.ReadString("S", "Quoted", ""), "q");
}

TEST_F(IniFiles, TextThatWouldBreakTheFileIsRefusedAndTheFileStaysAsItWas) {
  TIniFile ini(file);
  ini.WriteString("S", "good", "1");
  const std::string before = ReadBytes(file);
  const std::string zero("a\0b", 3);
  for (auto [section, ident, value] :
       {std::tuple<std::string, std::string, std::string>{"S", "a=b", "v"},
        {"S", "", "v"},
        {"S", "[x", "v"},
        {"S", ";comment", "v"},
        {"S", "a\nb", "v"},
        {"S", "a\rb", "v"},
        {"S", zero, "v"},
        {"S", "n", "x\r\ny"},
        {"S", "n", "x\ny"},
        {"S", "n", zero},
        {"", "n", "v"},
        {"a]b", "n", "v"},
        {"s\nt", "n", "v"},
        {zero, "n", "v"}}) {
    EXPECT_THROW(ini.WriteString(section, ident, value), EIniFileException)
        << "[" << section << "] " << ident << "=" << value;
    EXPECT_EQ(ini.ReadString(section, ident, "default"), "default");
  }
  EXPECT_THROW(ini.EraseSection(""), EIniFileException);
  EXPECT_THROW(ini.EraseSection("a]b"), EIniFileException);
  EXPECT_EQ(ReadBytes(file), before);
  try {
    ini.WriteString("S", "a=b", "v");
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Invalid value name 'a=b' in section 'S' of " + file);
  }
}

TEST_F(IniFiles, AFileThatCannotBeWrittenRaises) {
  ASSERT_TRUE(WriteBytes(file, "[S]\r\nx=1\r\n"));
  ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  TIniFile ini(file);
  try {
    ini.WriteString("S", "x", "2");
    FAIL() << "a read-only file was written";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + file);
  }
  EXPECT_EQ(ini.ReadString("S", "x", ""), "1");
  EXPECT_THROW(ini.EraseSection("S"), EIniFileException);

  TIniFile nowhere(dir / "nodir\\x.ini");
  EXPECT_THROW(nowhere.WriteString("S", "x", "1"), EIniFileException);
  TIniFile tooLong(dir / std::string(300, 'n') + ".ini");
  EXPECT_THROW(tooLong.WriteString("S", "x", "1"), EIniFileException);
  EXPECT_EQ(tooLong.ReadString("S", "x", "d"), "d");
  TIniFile unnamed("");
  EXPECT_THROW(unnamed.WriteString("S", "x", "1"), EIniFileException);
  EXPECT_EQ(unnamed.ReadString("S", "x", "d"), "d");
  TIniFile zeroName(dir / std::string("a\0b.ini", 7));
  EXPECT_THROW(zeroName.WriteString("S", "x", "1"), EIniFileException);
  EXPECT_FALSE(rtltest::PathExists(dir / "a"));
}

TEST(IniFilesChecks, ValidityRulesAreAsDocumented) {
  EXPECT_TRUE(TIniFile::IsValidSection("My Section"));
  EXPECT_TRUE(TIniFile::IsValidSection("[odd"));
  EXPECT_FALSE(TIniFile::IsValidSection(""));
  EXPECT_FALSE(TIniFile::IsValidSection("a]"));
  EXPECT_TRUE(TIniFile::IsValidIdent("a b"));
  EXPECT_TRUE(TIniFile::IsValidIdent("a[b]"));
  EXPECT_FALSE(TIniFile::IsValidIdent("[a"));
  EXPECT_FALSE(TIniFile::IsValidIdent(";a"));
  EXPECT_TRUE(TIniFile::IsValidValue("a=b;c[d]"));
  EXPECT_TRUE(TIniFile::IsValidValue(""));
  EXPECT_FALSE(TIniFile::IsValidValue("\n"));
}
