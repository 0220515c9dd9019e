// Tests of the file properties on real files in a sandbox folder: names, attributes, sizes and
// stamps read, and attributes, stamps and extensions written.
#include "files/KYTTFileProperties.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "host/rtl/DateTime.h"
#include "host/rtl/SysUtils.h"
#include "tests/files/FilesTestSupport.h"

namespace kyt {
namespace {

using filestest::PathExists;
using filestest::Sandbox;
using filestest::ScopedCurrentDir;
using filestest::ScopedFormatSettings;

static_assert(ftReadOnly == 0 && ftArchive == 5 && ftNormal == 6);

// Numeric formats, so texts compare the same on every machine and convert back.
void PinFormats() {
  FormatSettings.DateSeparator = '-';
  FormatSettings.TimeSeparator = ':';
  FormatSettings.ShortDateFormat = "yyyy/mm/dd";
  FormatSettings.LongTimeFormat = "hh:nn:ss";
}

// The file's last write as local "yyyy-mm-dd hh:nn:ss", read with the plain calls.
std::string RawStamp(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  FILETIME utc, local;
  SYSTEMTIME st;
  ::GetFileTime(h, nullptr, nullptr, &utc);
  ::CloseHandle(h);
  ::FileTimeToLocalFileTime(&utc, &local);
  ::FileTimeToSystemTime(&local, &st);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                st.wHour, st.wMinute, st.wSecond);
  return text;
}

bool SetRawStamp(const std::string& path, WORD year, WORD month, WORD day) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = 12;
  FILETIME ft;
  const bool ok = ::SystemTimeToFileTime(&st, &ft) && ::SetFileTime(h, nullptr, nullptr, &ft);
  ::CloseHandle(h);
  return ok;
}

TEST(FileProperties, StartsEmptyAndAMissingFileEmptiesEverything) {
  Sandbox box;
  TKYTFileProperties fp(nullptr);
  EXPECT_EQ(fp.Size(), 0);
  EXPECT_EQ(fp.AttributesShort(), "");
  fp.SetFilename(box.File("there.txt"));
  fp.SetFilename(box / "missing.txt");
  EXPECT_EQ(fp.Filename(), "");
  EXPECT_EQ(fp.Size(), -1);
  EXPECT_TRUE(fp.Attributes().Empty());
  EXPECT_EQ(fp.AttributesShort(), "----");
  EXPECT_EQ(fp.Date(), "");
  EXPECT_EQ(fp.Time(), "");
  EXPECT_EQ(fp.Path(), "");
  EXPECT_EQ(fp.NameOnly(), "");
  EXPECT_EQ(fp.Extension(), "");
  // A folder is not a file.
  fp.SetFilename(box.Path());
  EXPECT_EQ(fp.Filename(), "");
}

TEST(FileProperties, ARelativeNameBecomesTheFullPathWithItsParts) {
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("report.final.txt", "12345");
  ASSERT_TRUE(SetCurrentDir(box.Path()));
  TKYTFileProperties fp(nullptr);
  fp.SetFilename("report.final.txt");
  EXPECT_EQ(fp.Filename(), box / "report.final.txt");
  EXPECT_EQ(fp.Path(), box.Path() + "\\");
  EXPECT_EQ(fp.NameAndExtension(), "report.final.txt");
  EXPECT_EQ(fp.NameOnly(), "report");
  EXPECT_EQ(fp.Extension(), ".txt");
  EXPECT_EQ(fp.Size(), 5);
  // The derived entries cannot be assigned: each keeps the value computed from Filename.
  fp.SetFilePath("C:\\elsewhere\\");
  fp.SetFilenameExt("other.doc");
  fp.SetFilenameAlone("other");
  fp.SetFileAttrShort("SHRA");
  fp.SetFileSize(99);
  EXPECT_EQ(fp.Path(), box.Path() + "\\");
  EXPECT_EQ(fp.NameAndExtension(), "report.final.txt");
  EXPECT_EQ(fp.NameOnly(), "report");
  EXPECT_EQ(fp.AttributesShort(), "---A");
  EXPECT_EQ(fp.Size(), 5);
}

TEST(FileProperties, ReadsAndWritesOnlyTheFourWritableAttributes) {
  Sandbox box;
  const std::string file = box.File("ra.txt");
  ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  TKYTFileProperties fp(nullptr);
  fp.SetFilename(file);
  EXPECT_EQ(fp.Attributes(), (TFileType{ftReadOnly, ftArchive}));
  EXPECT_EQ(fp.AttributesShort(), "--RA");

  fp.SeTFileProperties(TFileType{ftArchive, ftDirectory, ftNormal, ftVolumeID});
  EXPECT_EQ(::GetFileAttributesA(file.c_str()) & 0x3F, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(fp.Attributes(), TFileType{ftArchive});
  EXPECT_EQ(fp.AttributesShort(), "---A");

  // Windows clears every bit; Wine keeps the archive bit of a file whatever is written.
  fp.SeTFileProperties(TFileType{ftReadOnly});
  fp.SeTFileProperties(TFileType{});
  const DWORD raw = ::GetFileAttributesA(file.c_str()) & 0x3F;
  EXPECT_TRUE(raw == 0 || raw == FILE_ATTRIBUTE_ARCHIVE) << raw;
  EXPECT_EQ(fp.AttributesShort(), raw ? "---A" : "----");
}

TEST(FileProperties, HiddenAndSystemShowInTheShortText) {
  Sandbox box;
  const std::string file = box.File("hs.txt");
  TKYTFileProperties fp(nullptr);
  fp.SetFilename(file);
  fp.SeTFileProperties(TFileType{ftHidden, ftSystem, ftArchive});
  const DWORD raw = ::GetFileAttributesA(file.c_str());
  if ((raw & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
    GTEST_SKIP() << "this file system keeps no hidden or system bit (attributes " << raw << ")";
  EXPECT_EQ(fp.AttributesShort(), "SH-A");
}

TEST(FileProperties, DateAndTimeTextsConvertBackAndWriteTheStamp) {
  ScopedFormatSettings keepFormats;
  PinFormats();
  Sandbox box;
  const std::string file = box.File("stamp.txt");
  ASSERT_TRUE(SetRawStamp(file, 2004, 5, 6));
  TKYTFileProperties fp(nullptr);
  fp.SetFilename(file);
  EXPECT_EQ(fp.Date() + " " + fp.Time(), RawStamp(file));

  fp.SetFileDate("2001-02-03");
  fp.SetFileTime("04:05:06");
  EXPECT_EQ(RawStamp(file), "2001-02-03 04:05:06");
  EXPECT_EQ(fp.Date(), "2001-02-03");
  EXPECT_EQ(fp.Time(), "04:05:06");
  fp.SetFileTime("04:05:07");  // the packed stamp keeps even seconds
  EXPECT_EQ(fp.Time(), "04:05:06");

  EXPECT_THROW(fp.SetFileDate("not a date"), EConvertError);
  EXPECT_EQ(RawStamp(file), "2001-02-03 04:05:06");
  fp.SetFileDate("");  // an empty text does nothing
  EXPECT_EQ(fp.Date(), "2001-02-03");
}

TEST(FileProperties, AFileOpenElsewhereStillShowsItsStamp) {
  ScopedFormatSettings keepFormats;
  PinFormats();
  Sandbox box;
  const std::string file = box.File("open.txt");
  ASSERT_TRUE(SetRawStamp(file, 2010, 1, 2));
  HANDLE writer = ::CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  TKYTFileProperties fp(nullptr);
  fp.SetFilename(file);
  EXPECT_EQ(fp.Date(), RawStamp(file).substr(0, 10));
  fp.SetFileDate("2011-03-04");
  ::CloseHandle(writer);
  EXPECT_EQ(RawStamp(file).substr(0, 10), "2011-03-04");
}

TEST(FileProperties, AFileDatedBefore1980HasAnEmptyDateInsteadOfRaising) {
  ScopedFormatSettings keepFormats;
  PinFormats();
  Sandbox box;
  const std::string file = box.File("old.txt");
  ASSERT_TRUE(SetRawStamp(file, 1975, 6, 1));
  TKYTFileProperties fp(nullptr);
  EXPECT_NO_THROW(fp.SetFilename(file));
  EXPECT_EQ(fp.Filename(), file);
  EXPECT_EQ(fp.Date(), "");
  EXPECT_EQ(fp.Time(), "");
  EXPECT_EQ(fp.Size(), 1);
  // A date the stamp cannot hold leaves the file as it was.
  fp.SetFileDate("1970-01-01");
  EXPECT_EQ(RawStamp(file).substr(0, 4), "1975");
}

TEST(FileProperties, SizesOf2GiBAndMoreAreClampedNotWrapped) {
  Sandbox box;
  const std::string file = box / "big.bin";
  for (const int64_t size : {int64_t{0x80000000}, int64_t{0xFFFFFFFF}, int64_t{0x100000001}}) {
    HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    const bool grown = ::SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
    ::CloseHandle(h);
    if (!grown) GTEST_SKIP() << "cannot make a file of " << size << " bytes here";
    TKYTFileProperties fp(nullptr);
    fp.SetFilename(file);
    EXPECT_EQ(fp.Size(), std::numeric_limits<int32_t>::max()) << size;
    EXPECT_EQ(TKYTFileProperties::GetFileSize(file), std::numeric_limits<int32_t>::max()) << size;
  }
  ::DeleteFileA(file.c_str());
}

TEST(FileProperties, ExtensionRenamesTheFileUpperCasedToThreeLetters) {
  Sandbox box;
  const std::string page = box.File("page.txt", "p");
  TKYTFileProperties fp(nullptr);
  fp.SetFilename(page);
  fp.SetFileExt("html");
  const std::string htm = AnsiUpperCase(box / "PAGE.HTM");
  EXPECT_EQ(fp.Filename(), htm);
  EXPECT_EQ(fp.Extension(), ".HTM");
  EXPECT_EQ(filestest::ReadBytes(box / "page.htm"), "p");
  EXPECT_FALSE(PathExists(page));

  // .txt against txt differs, and so does the upper-cased name: it renames again.
  fp.SetFileExt("txt");
  EXPECT_EQ(fp.Filename(), AnsiUpperCase(box / "PAGE.TXT"));

  // Empty resets the property and touches nothing.
  fp.SetFileExt("");
  EXPECT_EQ(fp.Extension(), ".TXT");
}

TEST(FileProperties, AnExtensionWithAPathOrStreamCharacterDoesNothing) {
  Sandbox box;
  const std::string file = box.File("keep.txt");
  box.Folder("sub");
  TKYTFileProperties fp(nullptr);
  fp.SetFilename(file);
  for (const char* bad : {".\\x", "/..", ":s", "*", "a?", "\"", "<", ">", "|"}) {
    fp.SetFileExt(bad);
    EXPECT_EQ(fp.Filename(), file) << bad;
    EXPECT_EQ(fp.Extension(), ".txt") << bad;
  }
  EXPECT_TRUE(PathExists(file));
}

TEST(FileProperties, TheDesignerShowsAFileButChangesNothingOnDisk) {
  Sandbox box;
  const std::string file = box.File("design.txt");
  TKYTFileProperties fp(nullptr);
  fp.SetDesigning(true);
  fp.SetFilename(file);
  EXPECT_EQ(fp.Filename(), file);
  fp.SeTFileProperties(TFileType{ftReadOnly});
  fp.SetFileExt("doc");
  fp.SetFileDate("2001-01-01");
  EXPECT_EQ(::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(PathExists(file));
  EXPECT_EQ(fp.Filename(), file);
}

}  // namespace
}  // namespace kyt
