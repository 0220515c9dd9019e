// Tests of TextFile on real files: line ends, append, checked errors and closing on every path.
#include "host/rtl/TextFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "tests/rtl/RtlTestSupport.h"

using namespace kyt;
using kyt::rtltest::ReadBytes;
using kyt::rtltest::WriteBytes;

namespace {

class TextFiles : public ::testing::Test {
 protected:
  rtltest::TempDir dir{"textfiles"};
  std::string file = dir / "text.txt";
};

// Runs op and returns the EInOutError code it raised (0 when it raised nothing).
template <class Op>
int IoCode(Op op, std::string* message = nullptr) {
  try {
    op();
  } catch (const EInOutError& e) {
    if (message) *message = e.Message();
    return e.ErrorCode();
  }
  return 0;
}

BOOL WINAPI FailingWriteFile(HANDLE, LPCVOID, DWORD, LPDWORD done, LPOVERLAPPED) {
  if (done) *done = 0;
  ::SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

}  // namespace

TEST_F(TextFiles, RewriteWritesLinesEndedByCrLf) {
  TextFile f;
  AssignFile(f, file);
  Rewrite(f);
  WriteLn(f, "first");
  Write(f, "sec");
  WriteLn(f, "ond");
  WriteLn(f);
  CloseFile(f);
  EXPECT_EQ(ReadBytes(file), "first\r\nsecond\r\n\r\n");
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(TextFiles, RewriteEmptiesAnExistingFile) {
  ASSERT_TRUE(WriteBytes(file, "old content that is long\r\n"));
  TextFile f(file);
  f.Rewrite();
  f.WriteLn("new");
  f.CloseFile();
  EXPECT_EQ(ReadBytes(file), "new\r\n");
}

TEST_F(TextFiles, ResetReadsLinesWithAnyLineEnd) {
  ASSERT_TRUE(WriteBytes(file, "one\r\ntwo\nthree\rfour\r\n\r\nlast"));
  TextFile f(file);
  f.Reset();
  std::vector<std::string> lines;
  while (!f.Eof()) lines.push_back(f.ReadLn());
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "four", "", "last"}));
  EXPECT_EQ(f.ReadLn(), "") << "reading at the end gives an empty line";
  EXPECT_TRUE(f.Eof());
  f.CloseFile();
}

TEST_F(TextFiles, AnEmptyFileIsAtItsEndAtOnce) {
  ASSERT_TRUE(WriteBytes(file, ""));
  TextFile f(file);
  f.Reset();
  EXPECT_TRUE(f.Eof());
}

TEST_F(TextFiles, LinesLongerThanTheBufferAndCrLfAcrossItsEdgeReadWhole) {
  std::string longLine(10000, 'x');
  // Put a CR LF exactly on the 4096-byte buffer edge.
  std::string edge(4095, 'e');
  ASSERT_TRUE(WriteBytes(file, edge + "\r\n" + longLine + "\r\nend\r\n"));
  TextFile f(file);
  f.Reset();
  EXPECT_EQ(f.ReadLn(), edge);
  EXPECT_EQ(f.ReadLn(), longLine);
  EXPECT_EQ(f.ReadLn(), "end");
  EXPECT_TRUE(f.Eof());
  f.CloseFile();

  f.Rewrite();
  f.WriteLn(longLine);
  f.CloseFile();
  EXPECT_EQ(ReadBytes(file), longLine + "\r\n");
}

TEST_F(TextFiles, AppendAddsAfterTheLastLineAndDropsACtrlZMarker) {
  ASSERT_TRUE(WriteBytes(file, "x\r\n"));
  TextFile f(file);
  f.Append();
  f.WriteLn("y");
  f.CloseFile();
  EXPECT_EQ(ReadBytes(file), "x\r\ny\r\n");

  ASSERT_TRUE(WriteBytes(file, "x\r\n\x1A"));
  f.Append();
  f.WriteLn("z");
  f.CloseFile();
  EXPECT_EQ(ReadBytes(file), "x\r\nz\r\n");

  // A Ctrl+Z inside the data, near the end or not, is data: a log line may hold one.
  ASSERT_TRUE(WriteBytes(file, "raw \x1A data\r\n"));
  f.Append();
  f.WriteLn("next");
  f.CloseFile();
  EXPECT_EQ(ReadBytes(file), "raw \x1A data\r\nnext\r\n");

  // An empty file, and one holding only the marker, take the line as their first.
  for (const std::string before : {"", "\x1A"}) {
    ASSERT_TRUE(WriteBytes(file, before));
    f.Append();
    f.WriteLn("first");
    f.CloseFile();
    EXPECT_EQ(ReadBytes(file), "first\r\n") << "after " << before.size() << " byte(s)";
  }
}

TEST_F(TextFiles, FlushHandsTheOutputToOtherReaders) {
  TextFile f(file);
  f.Rewrite();
  f.WriteLn("visible");
  EXPECT_EQ(ReadBytes(file), "") << "still buffered";
  f.Flush();
  EXPECT_EQ(ReadBytes(file), "visible\r\n");
  f.CloseFile();
}

TEST_F(TextFiles, OperatingSystemFailuresRaiseWithTheCodeAndItsMessage) {
  TextFile f(file);
  std::string message;
  EXPECT_EQ(IoCode([&] { f.Reset(); }, &message), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(message, SysErrorMessage(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(IoCode([&] { f.Append(); }), ERROR_FILE_NOT_FOUND) << "Append does not create";
  EXPECT_FALSE(rtltest::PathExists(file));

  f.AssignFile(dir / "nodir\\log.txt");
  EXPECT_EQ(IoCode([&] { f.Rewrite(); }, &message), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(message, SysErrorMessage(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(f.IsOpen());

  // Held open without sharing by someone else.
  ASSERT_TRUE(WriteBytes(file, "x"));
  HANDLE other = ::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  f.AssignFile(file);
  EXPECT_EQ(IoCode([&] { f.Rewrite(); }), ERROR_SHARING_VIOLATION);
  ::CloseHandle(other);
}

TEST_F(TextFiles, MisuseRaisesTheFamilysCodes) {
  TextFile f;
  EXPECT_EQ(IoCode([&] { f.Reset(); }), ioFileNotAssigned);
  EXPECT_EQ(IoCode([&] { f.ReadLn(); }), ioFileNotOpen);
  EXPECT_EQ(IoCode([&] { f.WriteLn("x"); }), ioFileNotOpen);
  EXPECT_EQ(IoCode([&] { f.CloseFile(); }), ioFileNotOpen);
  f.AssignFile(file);
  f.Rewrite();
  EXPECT_EQ(IoCode([&] { f.ReadLn(); }), ioFileNotOpenForInput);
  EXPECT_EQ(IoCode([&] { f.Eof(); }), ioFileNotOpenForInput);
  f.CloseFile();
  EXPECT_EQ(IoCode([&] { f.CloseFile(); }), ioFileNotOpen) << "closing twice";
  f.Reset();
  EXPECT_EQ(IoCode([&] { f.WriteLn("x"); }), ioFileNotOpenForOutput);
  std::string message;
  IoCode([&] { f.Write("x"); }, &message);
  EXPECT_EQ(message, "File not open for output");
}

TEST_F(TextFiles, TheFileIsClosedWhenAnExceptionLeavesTheScope) {
  try {
    TextFile f(file);
    f.Rewrite();
    f.WriteLn("written before the error");
    throw std::runtime_error("handler failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(rtltest::OpenExclusively(file));
  EXPECT_EQ(ReadBytes(file), "written before the error\r\n") << "buffered output is not lost";
}

TEST_F(TextFiles, AFailedWriteRaisesAndStillClosesTheFile) {
  TextFile f(file);
  f.Rewrite();
  f.WriteLn("line");
  {
    kyt::os::ScopedOverride fail(kyt::os::kernel32.WriteFile, &FailingWriteFile);
    EXPECT_EQ(IoCode([&] { f.CloseFile(); }), ERROR_DISK_FULL);
  }
  EXPECT_FALSE(f.IsOpen());
  EXPECT_TRUE(rtltest::OpenExclusively(file));
}

TEST_F(TextFiles, AssigningAnotherNameClosesTheOpenFile) {
  TextFile f(file);
  f.Rewrite();
  f.WriteLn("a");
  f.AssignFile(dir / "other.txt");
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(ReadBytes(file), "a\r\n");
  EXPECT_TRUE(rtltest::OpenExclusively(file));
}

TEST_F(TextFiles, BadNamesRaiseBeforeAnythingIsOpened) {
  TextFile f(dir / std::string(300, 'n'));
  EXPECT_EQ(IoCode([&] { f.Rewrite(); }), ERROR_FILENAME_EXCED_RANGE);
  ASSERT_TRUE(WriteBytes(dir / "keep", "data"));
  f.AssignFile(dir / std::string("keep\0.txt", 9));
  EXPECT_EQ(IoCode([&] { f.Rewrite(); }), ERROR_INVALID_NAME);
  EXPECT_EQ(ReadBytes(dir / "keep"), "data") << "the zero did not cut the name to 'keep'";
  f.AssignFile(dir / "a|b.txt");
  EXPECT_NE(IoCode([&] { f.Rewrite(); }), 0);
}
