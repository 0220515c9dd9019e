// Tests of SysUtils on real files, directories and drives of the test prefix.
#include "host/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <set>

#include "host/core/Strings.h"
#include "host/os/OsSeam.h"
#include "host/rtl/DateTime.h"
#include "host/rtl/WideText.h"
#include "tests/rtl/RtlTestSupport.h"
#include "tests/support/NonAscii.h"

using namespace kyt;
using kyt::rtltest::TempDir;

namespace {

class SysUtilsFiles : public ::testing::Test {
 protected:
  TempDir dir{"sysutils"};
  std::string LongPath() const { return dir.Path() + "\\" + std::string(300, 'x') + ".txt"; }
};

std::set<std::string> Names(const std::string& pattern, int attr) {
  std::set<std::string> names;
  TSearchRec sr;
  for (int rc = FindFirst(pattern, attr, sr); rc == 0; rc = FindNext(sr)) names.insert(sr.Name);
  FindClose(sr);
  return names;
}

}  // namespace

// File names

TEST(SysUtilsNames, SplitsAPathAtTheLastDelimiter) {
  EXPECT_EQ(ExtractFilePath("c:\\work\\report.final.txt"), "c:\\work\\");
  EXPECT_EQ(ExtractFileName("c:\\work\\report.final.txt"), "report.final.txt");
  EXPECT_EQ(ExtractFileExt("c:\\work\\report.final.txt"), ".txt");
  EXPECT_EQ(ExtractFileExt("c:\\dir.x\\file"), "");
  EXPECT_EQ(ExtractFileExt(".profile"), ".profile");
  EXPECT_EQ(ExtractFilePath("C:file.txt"), "C:");
  EXPECT_EQ(ExtractFileName("C:file.txt"), "file.txt");
  EXPECT_EQ(ExtractFilePath("plain.txt"), "");
  EXPECT_EQ(ExtractFileName("plain.txt"), "plain.txt");
}

TEST(SysUtilsNames, ExtractFileDirKeepsTheRootBackslash) {
  EXPECT_EQ(ExtractFileDir("C:\\Data\\"), "C:\\Data");
  EXPECT_EQ(ExtractFileDir("C:\\Data\\file.txt"), "C:\\Data");
  EXPECT_EQ(ExtractFileDir("C:\\file.txt"), "C:\\");
  EXPECT_EQ(ExtractFileDir("C:\\"), "C:\\");
  EXPECT_EQ(ExtractFileDir("file.txt"), "");
}

TEST(SysUtilsNames, ChangeFileExtReplacesOrAppends) {
  EXPECT_EQ(ChangeFileExt("c:\\work\\page.txt", ".HTM"), "c:\\work\\page.HTM");
  EXPECT_EQ(ChangeFileExt("c:\\work.d\\page", ".txt"), "c:\\work.d\\page.txt");
  EXPECT_EQ(ChangeFileExt("a.b.c", ""), "a.b");
}

TEST(SysUtilsNames, TrailingBackslashIsAddedOrRemovedOnce) {
  EXPECT_EQ(IncludeTrailingBackslash("C:\\Data"), "C:\\Data\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\Data\\"), "C:\\Data\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\Data\\"), "C:\\Data");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\Data"), "C:\\Data");
}

TEST(SysUtilsNames, DoubleByteTrailBytesAreNotDelimiters) {
  // A lead byte followed by 0x5C ('\') is one character in a double-byte code page.
  kyt::os::ScopedOverride lead(kyt::os::kernel32.IsDBCSLeadByte,
                               [](BYTE b) -> BOOL WINAPI { return b == 0x81; });
  std::string name = std::string("dir\\a") + "\x81\\" + "b.txt";
  EXPECT_EQ(ExtractFilePath(name), "dir\\");
  EXPECT_EQ(ExtractFileName(name), std::string("a\x81\\b.txt"));
}

TEST_F(SysUtilsFiles, ExpandFileNameMakesARelativeNameFull) {
  rtltest::ScopedCurrentDir keep;
  ASSERT_TRUE(SetCurrentDir(dir.Path()));
  EXPECT_EQ(AnsiUpperCase(ExpandFileName("a.txt")), AnsiUpperCase(dir / "a.txt"));
  EXPECT_EQ(AnsiUpperCase(ExpandFileName("sub\\..\\b.txt")), AnsiUpperCase(dir / "b.txt"));
  EXPECT_EQ(ExpandFileName(""), "");
  EXPECT_EQ(ExpandFileName(LongPath()), "");
}

// Queries and simple operations

TEST_F(SysUtilsFiles, FileExistsTellsFilesFromDirectories) {
  ASSERT_TRUE(rtltest::WriteBytes(dir / "f.txt", "x"));
  EXPECT_TRUE(FileExists(dir / "f.txt"));
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_FALSE(DirectoryExists(dir / "f.txt"));
  EXPECT_FALSE(FileExists(dir / "missing.txt"));
  EXPECT_FALSE(FileExists(dir / "*.txt"));
}

TEST_F(SysUtilsFiles, RenameAndDeleteActOnRealFiles) {
  ASSERT_TRUE(rtltest::WriteBytes(dir / "old.txt", "content"));
  EXPECT_TRUE(RenameFile(dir / "old.txt", dir / "new.txt"));
  EXPECT_EQ(rtltest::ReadBytes(dir / "new.txt"), "content");
  EXPECT_FALSE(rtltest::PathExists(dir / "old.txt"));
  EXPECT_FALSE(RenameFile(dir / "old.txt", dir / "other.txt"));
  EXPECT_TRUE(DeleteFile(dir / "new.txt"));
  EXPECT_FALSE(rtltest::PathExists(dir / "new.txt"));
  ::SetLastError(0);
  EXPECT_FALSE(DeleteFile(dir / "new.txt"));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(SysUtilsFiles, AttributesAreReadAndWritten) {
  std::string f = dir / "attr.txt";
  ASSERT_TRUE(rtltest::WriteBytes(f, "x"));
  EXPECT_EQ(FileSetAttr(f, faReadOnly | faHidden | faArchive), 0);
  EXPECT_EQ(FileGetAttr(f) & faAnyFile, faReadOnly | faHidden | faArchive);
  EXPECT_EQ(::GetFileAttributesA(f.c_str()) & 0x3F, static_cast<DWORD>(faReadOnly | faHidden | faArchive));
  EXPECT_EQ(FileSetAttr(f, faArchive), 0);
  EXPECT_EQ(FileGetAttr(f) & faAnyFile, faArchive);
  EXPECT_NE(FileGetAttr(dir.Path()) & faDirectory, 0);
  EXPECT_EQ(FileGetAttr(dir / "missing"), -1);
  EXPECT_EQ(FileSetAttr(dir / "missing", faArchive), ERROR_FILE_NOT_FOUND);
}

TEST_F(SysUtilsFiles, FileDateStampsRoundTripThroughFileAndHandle) {
  std::string f = dir / "dated.txt";
  ASSERT_TRUE(rtltest::WriteBytes(f, "x"));
  int stamp = DateTimeToFileDate(EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0));
  EXPECT_EQ(FileSetDate(f, stamp), 0);
  EXPECT_EQ(FileAge(f), stamp);
  {
    os::UniqueFile h = FileOpen(f, fmOpenRead | fmShareDenyNone);
    ASSERT_TRUE(h);
    EXPECT_EQ(FileGetDate(h.get()), stamp);
  }
  int later = DateTimeToFileDate(EncodeDate(2010, 12, 31) + EncodeTime(23, 59, 58, 0));
  {
    os::UniqueFile h = FileOpen(f, fmOpenReadWrite);
    ASSERT_TRUE(h);
    EXPECT_EQ(FileSetDate(h.get(), later), 0);
  }
  EXPECT_EQ(FileAge(f), later);
  EXPECT_EQ(FileAge(dir.Path()), -1) << "a directory has no file age";
  EXPECT_EQ(FileAge(dir / "missing"), -1);
  EXPECT_NE(FileSetDate(dir / "missing", stamp), 0);
}

TEST_F(SysUtilsFiles, FileOpenHonoursAccessAndShareModes) {
  std::string f = dir / "modes.bin";
  {
    os::UniqueFile h = FileCreate(f);
    ASSERT_TRUE(h);
    EXPECT_EQ(FileWrite(h.get(), "abcdef", 6), 6);
    EXPECT_EQ(FileSeek(h.get(), 2, 0), 2);
    char buf[4] = {};
    EXPECT_EQ(FileRead(h.get(), buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "cde");
    EXPECT_EQ(FileSeek(h.get(), 0, 2), 6);
  }
  {
    os::UniqueFile reader = FileOpen(f, fmOpenRead | fmShareDenyNone);
    ASSERT_TRUE(reader);
    EXPECT_EQ(FileWrite(reader.get(), "x", 1), -1) << "a read-only handle refuses writes";
    os::UniqueFile second = FileOpen(f, fmOpenReadWrite | fmShareDenyNone);
    EXPECT_TRUE(second);
  }
  {
    os::UniqueFile exclusive = FileOpen(f, fmOpenReadWrite | fmShareExclusive);
    ASSERT_TRUE(exclusive);
    os::UniqueFile second = FileOpen(f, fmOpenRead | fmShareDenyNone);
    EXPECT_FALSE(second);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    FileClose(exclusive);
    EXPECT_FALSE(exclusive);
  }
  EXPECT_TRUE(FileOpen(f, fmOpenRead | fmShareDenyWrite));
  EXPECT_FALSE(FileOpen(f, 3)) << "no such access mode";
  EXPECT_FALSE(FileOpen(dir / "missing", fmOpenRead));
}

// Directory search

TEST_F(SysUtilsFiles, FindFirstHonoursTheAttributeMask) {
  ASSERT_TRUE(rtltest::WriteBytes(dir / "a.txt", "12345"));
  ASSERT_TRUE(rtltest::WriteBytes(dir / "h.txt", ""));
  ASSERT_TRUE(::SetFileAttributesA((dir / "h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(::CreateDirectoryA((dir / "sub").c_str(), nullptr));
  EXPECT_EQ(Names(dir / "*", 0), (std::set<std::string>{"a.txt"}));
  EXPECT_EQ(Names(dir / "*", faHidden), (std::set<std::string>{"a.txt", "h.txt"}));
  EXPECT_EQ(Names(dir / "*", faDirectory), (std::set<std::string>{".", "..", "a.txt", "sub"}));
  EXPECT_EQ(Names(dir / "*", faAnyFile), (std::set<std::string>{".", "..", "a.txt", "h.txt", "sub"}));
  EXPECT_EQ(Names(dir / "*.txt", faAnyFile), (std::set<std::string>{"a.txt", "h.txt"}));

  TSearchRec sr;
  ASSERT_EQ(FindFirst(dir / "a.txt", faAnyFile, sr), 0);
  EXPECT_EQ(sr.Name, "a.txt");
  EXPECT_EQ(sr.Size, 5);
  EXPECT_EQ(sr.Attr & faDirectory, 0);
  EXPECT_EQ(sr.Time, FileAge(dir / "a.txt"));
  EXPECT_TRUE(sr.FindHandle);
  EXPECT_EQ(FindNext(sr), ERROR_NO_MORE_FILES);
  FindClose(sr);
  EXPECT_FALSE(sr.FindHandle);
  EXPECT_EQ(FindNext(sr), ERROR_INVALID_HANDLE);
}

TEST_F(SysUtilsFiles, FindFirstReportsWhyNothingMatched) {
  TSearchRec sr;
  EXPECT_EQ(FindFirst(dir / "none*.txt", faAnyFile, sr), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(sr.FindHandle);
  EXPECT_EQ(FindFirst(dir / "nodir\\*.*", faAnyFile, sr), ERROR_PATH_NOT_FOUND);
  // Only a hidden entry exists and the mask does not ask for it.
  ASSERT_TRUE(rtltest::WriteBytes(dir / "only.txt", ""));
  ASSERT_TRUE(::SetFileAttributesA((dir / "only.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(FindFirst(dir / "only.txt", 0, sr), ERROR_NO_MORE_FILES);
  EXPECT_FALSE(sr.FindHandle) << "a failed FindFirst leaves no search open";
}

// Directories and drives

TEST_F(SysUtilsFiles, CurrentDirectoryChangesAndChDirChecksTheResult) {
  rtltest::ScopedCurrentDir keep;
  ChDir(dir.Path());
  EXPECT_EQ(AnsiUpperCase(GetCurrentDir()), AnsiUpperCase(dir.Path()));
  EXPECT_FALSE(SetCurrentDir(dir / "missing"));
  try {
    ChDir(dir / "missing");
    FAIL() << "ChDir of a missing directory must raise";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ERROR_FILE_NOT_FOUND == e.ErrorCode() ? ERROR_FILE_NOT_FOUND
                                                                   : ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(e.Message(), SysErrorMessage(e.ErrorCode()));
    EXPECT_FALSE(e.Message().empty());
  }
  EXPECT_EQ(AnsiUpperCase(GetCurrentDir()), AnsiUpperCase(dir.Path())) << "a failed ChDir stays";
}

TEST(SysUtilsCurrentDir, ReadsADirectoryOfAnyLength) {
  // The buffer starts at MAX_PATH: a name that fits, one that fits exactly with its zero, one
  // that is one too long and a long one must all come back whole.
  static std::string fake;
  kyt::os::ScopedOverride cwd(kyt::os::kernel32.GetCurrentDirectoryA,
                              [](DWORD size, LPSTR buf) -> DWORD WINAPI {
                                if (size <= fake.size()) return static_cast<DWORD>(fake.size() + 1);
                                fake.copy(buf, fake.size());
                                buf[fake.size()] = '\0';
                                return static_cast<DWORD>(fake.size());
                              });
  for (size_t len : {size_t{10}, size_t{MAX_PATH - 1}, size_t{MAX_PATH}, size_t{5000}}) {
    fake = "C:\\" + std::string(len - 3, 'd');
    EXPECT_EQ(GetCurrentDir(), fake) << "length " << len;
  }
}

TEST_F(SysUtilsFiles, DirectoriesAreCreatedAndRemoved) {
  EXPECT_TRUE(CreateDir(dir / "one"));
  EXPECT_FALSE(CreateDir(dir / "one")) << "it exists";
  EXPECT_TRUE(RemoveDir(dir / "one"));
  EXPECT_FALSE(DirectoryExists(dir / "one"));
  EXPECT_FALSE(CreateDir(dir / "a\\b")) << "CreateDir makes one level only";

  EXPECT_TRUE(ForceDirectories(dir / "a\\b\\c\\"));
  EXPECT_TRUE(DirectoryExists(dir / "a\\b\\c"));
  EXPECT_TRUE(ForceDirectories(dir / "a\\b")) << "existing is fine";
  ASSERT_TRUE(rtltest::WriteBytes(dir / "file", ""));
  EXPECT_FALSE(ForceDirectories(dir / "file\\x")) << "a file stands in the way";
  EXPECT_THROW(ForceDirectories(""), EInOutError);
}

TEST(SysUtilsDrives, DiskFreeAndSizeByDriveNumber) {
  int64_t size = DiskSize(3), free = DiskFree(3);
  EXPECT_GT(size, 0);
  EXPECT_GE(free, 0);
  EXPECT_LE(free, size);
  EXPECT_GT(DiskSize(0), 0) << "drive 0 is the current drive";
  EXPECT_EQ(DiskSize(-1), -1);
  EXPECT_EQ(DiskSize(27), -1);
  if (int missing = rtltest::MissingDrive()) {
    EXPECT_EQ(DiskSize(missing), -1);
    EXPECT_EQ(DiskFree(missing), -1);
  }
}

// Strings

// Case follows the user's locale for all of Unicode, whatever the UTF-8 length of either form.
TEST(SysUtilsStrings, CaseFollowsTheLocaleForAllOfUnicode) {
  const struct {
    std::string Text, Upper, Lower;
  } cases[] = {
      {"c:\\work\\page.htm", "C:\\WORK\\PAGE.HTM", "c:\\work\\page.htm"},
      {"Straße", "STRAßE", "straße"},
      {"École", "ÉCOLE", "école"},
      {"Дом", "ДОМ", "дом"},
      {"ı", "I", "ı"},  // a dotless i: two bytes, its capital one
      {"日本" + test::kAstral, "日本" + test::kAstral, "日本" + test::kAstral},
      {std::string("a\0b", 3), std::string("A\0B", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiUpperCase(c.Text), c.Upper) << c.Text;
    EXPECT_EQ(AnsiLowerCase(c.Text), c.Lower) << c.Text;
  }
}

// Lengths are counted and text is cut in the characters the platform counts, never in a character.
TEST(SysUtilsStrings, LengthsAndCutsCountCharactersNotBytes) {
  const struct {
    std::string Text;
    size_t Length, CutAt;
    std::string Cut;
  } cases[] = {
      {"abcdef", 6, 4, "abcd"},
      {"日本語", 3, 2, "日本"},
      {"ЖЖЖЖЖ", 5, 3, "ЖЖЖ"},
      {"a" + test::kAstral + "b", 4, 2, "a"},  // the pair is one character: kept whole or left out
      {"a" + test::kAstral + "b", 4, 3, "a" + test::kAstral},
      {"", 0, 4, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideLength(c.Text), c.Length) << c.Text;
    EXPECT_EQ(CutToWideLength(c.Text, c.CutAt), c.Cut) << c.Text;
  }
  EXPECT_LT(AnsiCompareText("école", "ÉCOLE" + std::string("s")), 0);
  EXPECT_EQ(AnsiCompareText("дом", "ДОМ"), 0);
  EXPECT_NE(AnsiCompareStr("дом", "ДОМ"), 0);
}

// Bytes that are no text in the code page (a line of a 1252 file): counted and cut as the one
// U+FFFD each becomes, and told apart from each other and from a real U+FFFD by comparisons.
TEST(SysUtilsStrings, StrayBytesAreCountedAsTheyConvertAndNeverCompareEqual) {
  const std::string fffd = "\xEF\xBF\xBD";
  const struct {
    std::string A, B;
    bool Exact;
    size_t CutAt;
    std::string Cut;
    int Order, OrderIgnoringCase;  // sign of AnsiCompareStr and AnsiCompareText of A and B
  } cases[] = {
      {std::string(40, '\xE9'), std::string(40, '\xE8'), false, 37, std::string(37, '\xE9'), 1, 1},
      {test::kStray, "caf\xE8", false, 3, "caf", 1, 1},
      {test::kStray, "CAF\xE9", false, 4, test::kStray, -1, 0},  // case folds, the byte stays
      {test::kStray, "caf" + fffd, false, 4, test::kStray, 1, 1},
      {"日本\xFF語", "日本" + fffd + "語", false, 3, "日本\xFF", 1, 1},
      {"\xE6\x97", "\xE6\x96", false, 1, "\xE6", 1, 1},  // characters cut short
      {"café", "CAFÉ", true, 3, "caf", -1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsExactText(c.A), c.Exact) << c.A;
    EXPECT_EQ(CutToWideLength(c.A, c.CutAt), c.Cut) << c.A;
    EXPECT_LE(WideLength(CutToWideLength(c.A, c.CutAt)), c.CutAt) << c.A;
    const auto sign = [](int r) { return (r > 0) - (r < 0); };
    EXPECT_EQ(sign(AnsiCompareStr(c.A, c.B)), c.Order) << c.A << " / " << c.B;
    EXPECT_EQ(sign(AnsiCompareStr(c.B, c.A)), -c.Order) << c.A << " / " << c.B;
    EXPECT_EQ(sign(AnsiCompareText(c.A, c.B)), c.OrderIgnoringCase) << c.A << " / " << c.B;
  }
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupIgnore);
  for (const std::string& line : {test::kStray, std::string("caf\xE8"), std::string("caf\xE9")}) list.Add(line);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOf("caf\xE8"), 0);
}

// String lists of a Windows program compare as the user's locale does, for every script.
TEST(SysUtilsStrings, StringListsSortAndFindInAnyScript) {
  TStringList list;
  list.SetSorted(true);
  for (const char* line : {"дом", "Zebra", "École", "apple", "Банк", "ecole"}) list.Add(line);
  EXPECT_EQ(list.Text(), "apple\r\necole\r\nÉcole\r\nZebra\r\nБанк\r\nдом\r\n");
  EXPECT_EQ(list.IndexOf("ДОМ"), 5);
  int index = -1;
  EXPECT_TRUE(list.Find("БАНК", index));
  EXPECT_EQ(index, 4);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("ДОМ"), -1);
}

// MAX_PATH counts characters: a path of 200 characters and over 300 bytes is a path like any.
// (Folders of 60 characters each: Linux, under Wine, limits one name to 255 bytes.)
TEST_F(SysUtilsFiles, APathLongInBytesButShortInCharactersWorksEverywhere) {
  std::string name;
  for (int i = 0; i < 60; ++i) name += "Ж";
  std::string folder = dir.Path();
  while (WideLength(folder) < 170) {
    folder += "\\" + name;
    ASSERT_TRUE(CreateDir(folder)) << WideLength(folder);
  }
  ASSERT_GT(folder.size(), size_t{MAX_PATH});
  ASSERT_LT(WideLength(folder), size_t{MAX_PATH});
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(ExpandFileName(folder), folder);
  rtltest::ScopedCurrentDir keep;
  ChDir(folder);
  EXPECT_EQ(GetCurrentDir(), folder);
}

TEST(SysUtilsStrings, IntegersConvertBothWays) {
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(INT64_C(9000000000)), "9000000000");
  EXPECT_EQ(StrToInt("-5"), -5);
  EXPECT_EQ(StrToInt("  12"), 12);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt64("9000000000"), INT64_C(9000000000));
  EXPECT_EQ(StrToIntDef("x", 7), 7);
  EXPECT_EQ(StrToIntDef("2147483648", 7), 7);
  for (const char* bad : {"", "12a", "- 1", "1 ", "$", "0x", "2147483648"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "'" << bad << "' converted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
}

// Errors

TEST(SysUtilsErrors, SysErrorMessageGivesTheStandardTextTrimmed) {
  std::string text = SysErrorMessage(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(SysErrorMessage(0x7FFFFF00), "");
}

TEST(SysUtilsErrors, RaiseLastOSErrorCarriesTheCode) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  try {
    RaiseLastOSError();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(e.Message(), "System Error.  Code: 5.\r\n" + SysErrorMessage(5));
  }
  EXPECT_THROW(RaiseInOutError(0x7FFFFF00), EInOutError);
  try {
    RaiseInOutError(0x7FFFFF00);
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "I/O error " + std::to_string(0x7FFFFF00));
  }
}

// Bad input

TEST_F(SysUtilsFiles, PathsLongerThanTheLimitAreRefused) {
  const std::string p = LongPath();
  EXPECT_FALSE(FileExists(p));
  EXPECT_FALSE(DirectoryExists(p));
  EXPECT_EQ(FileGetAttr(p), -1);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(FileSetAttr(p, 0), ERROR_FILENAME_EXCED_RANGE);
  EXPECT_EQ(FileAge(p), -1);
  EXPECT_FALSE(FileCreate(p));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_FALSE(FileOpen(p, fmOpenRead));
  EXPECT_FALSE(RenameFile(dir / "x", p));
  EXPECT_FALSE(DeleteFile(p));
  EXPECT_FALSE(CreateDir(p));
  EXPECT_FALSE(ForceDirectories(p));
  EXPECT_FALSE(SetCurrentDir(p));
  TSearchRec sr;
  EXPECT_EQ(FindFirst(p, faAnyFile, sr), ERROR_FILENAME_EXCED_RANGE);
  try {
    ChDir(p);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ERROR_FILENAME_EXCED_RANGE);
  }
  EXPECT_EQ(Names(dir / "*", faAnyFile), (std::set<std::string>{".", ".."})) << "nothing made";
}

TEST_F(SysUtilsFiles, NamesWithAZeroAreRefusedNotCut) {
  // Passed on, "keep\0rest" would name the file "keep".
  ASSERT_TRUE(rtltest::WriteBytes(dir / "keep", "data"));
  const std::string zero = dir / std::string("keep\0rest", 9);
  EXPECT_FALSE(DeleteFile(zero));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_FALSE(RenameFile(zero, dir / "moved"));
  EXPECT_FALSE(FileExists(zero));
  EXPECT_NE(FileSetAttr(zero, faReadOnly), 0);
  EXPECT_FALSE(FileCreate(zero));
  EXPECT_EQ(rtltest::ReadBytes(dir / "keep"), "data");
  EXPECT_EQ(FileGetAttr(dir / "keep") & faReadOnly, 0);
}

TEST_F(SysUtilsFiles, NamesTheFileSystemRefusesFailWithoutCreatingAnything) {
  for (const char* bad : {"a<b.txt", "a>b.txt", "a|b.txt", "a\"b.txt", "a?b.txt", "a*b.txt"}) {
    EXPECT_FALSE(FileCreate(dir / bad)) << bad;
    EXPECT_NE(::GetLastError(), 0u) << bad;
    EXPECT_FALSE(CreateDir(dir / bad)) << bad;
  }
  EXPECT_EQ(Names(dir / "*", faAnyFile), (std::set<std::string>{".", ".."}));
}

TEST(SysUtilsDrives, AMissingDriveFailsCleanly) {
  int missing = rtltest::MissingDrive();
  if (!missing) GTEST_SKIP() << "every drive letter from Q: to Z: exists here";
  std::string root = rtltest::DriveRoot(missing);
  EXPECT_FALSE(FileCreate(root + "x.txt"));
  EXPECT_FALSE(FileExists(root + "x.txt"));
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_FALSE(ForceDirectories(root + "a\\b"));
  TSearchRec sr;
  EXPECT_NE(FindFirst(root + "*.*", faAnyFile, sr), 0);
  rtltest::ScopedCurrentDir keep;
  EXPECT_THROW(ChDir(root), EInOutError);
}
