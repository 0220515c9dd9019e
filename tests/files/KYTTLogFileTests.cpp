// Tests of the log file: the exact lines on disk, the header rule, clearing, and the file being
// closed after every call, whatever happened.
#include "files/KYTTLogFile.h"

#include <gtest/gtest.h>

#include <string>

#include "host/core/Exceptions.h"
#include "host/core/FormFile.h"
#include "host/rtl/DateTime.h"
#include "host/rtl/SysUtils.h"
#include "tests/files/SandboxFolder.h"
#include "tests/support/NonAscii.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

using ftest::ReadWholeFile;
using ftest::SandboxFolder;

class LogFile : public ::testing::Test {
 protected:
  LogFile() : sandbox(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    log = new TKYTLogFile(&owner);
    path = sandbox / "app.log";
    log->SetLogFile(path);
  }
  SandboxFolder sandbox;
  TComponent owner{nullptr};
  TKYTLogFile* log = nullptr;
  std::string path;
};

// A clock that reads one moment first and another on every later reading.
SYSTEMTIME gFirstReading, gLaterReading;
int gReadings = 0;
void WINAPI SteppingClock(LPSYSTEMTIME st) { *st = gReadings++ == 0 ? gFirstReading : gLaterReading; }

TEST_F(LogFile, StartsWithItsTextsAndEveryFlagOff) {
  TKYTLogFile& fresh = *new TKYTLogFile(&owner);
  EXPECT_EQ(fresh.LogFile(), "");
  EXPECT_EQ(fresh.Header(), "Generic Log File for my Application");
  EXPECT_EQ(fresh.Special(), "Logged by User");
  EXPECT_FALSE(fresh.LogTime() || fresh.LogDate() || fresh.LogSpecial() || fresh.LogHeader());
}

TEST_F(LogFile, LinesCarryTagTimeDateAndMessageInThatOrder) {
  const TDateTime moment = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
  const std::string time = TimeToStr(moment), date = DateToStr(moment);
  EXPECT_EQ(log->FormatLine("plain", moment), "plain");
  log->SetLogSpecial(true);
  log->SetLogTime(true);
  EXPECT_EQ(log->FormatLine("msg", moment), "Logged by User " + time + " msg");
  log->SetLogDate(true);
  EXPECT_EQ(log->FormatLine("msg", moment), "Logged by User " + time + " " + date + " msg");
  log->SetLogSpecial(false);
  log->SetLogTime(false);
  EXPECT_EQ(log->FormatLine("msg", moment), " " + date + " msg");
  log->SetLogSpecial(true);
  log->SetLogDate(false);
  EXPECT_EQ(log->FormatLine("", moment), "Logged by User ");
  log->SetSpecial("");
  EXPECT_EQ(log->FormatLine("same as untagged", moment), "same as untagged");
}

TEST_F(LogFile, HeaderOnlyWhenTheFileIsCreatedThenLinesAppendWithCrLf) {
  log->SetLogHeader(true);
  log->Log("first");
  log->Log("second\r\nsplit");
  log->Log(test::kCjk + test::kAstral);  // a line in any language is kept whole
  EXPECT_EQ(ReadWholeFile(path), "Generic Log File for my Application\r\nfirst\r\nsecond\r\nsplit\r\n" + test::kCjk +
                                     test::kAstral + "\r\n");

  ftest::WriteWholeFile(path, "kept\r\n");
  log->Log("after");
  EXPECT_EQ(ReadWholeFile(path), "kept\r\nafter\r\n");
}

TEST_F(LogFile, WithoutHeaderANewFileStartsWithTheLine) {
  log->SetLogTime(true);
  log->Log("timed");
  const std::string text = ReadWholeFile(path);
  ASSERT_GT(text.size(), 8u);
  EXPECT_EQ(text[0], ' ');
  EXPECT_EQ(text.substr(text.size() - 8), " timed\r\n");
}

TEST_F(LogFile, TimeAndDateComeFromOneReadingOfTheClock) {
  gFirstReading = {2023, 12, 0, 31, 23, 59, 59, 999};
  gLaterReading = {2024, 1, 1, 1, 0, 0, 0, 0};
  gReadings = 0;
  log->SetLogTime(true);
  log->SetLogDate(true);
  {
    ScopedOverride clock(os::kernel32.GetLocalTime, &SteppingClock);
    log->Log("midnight");
  }
  const TDateTime before = EncodeDate(2023, 12, 31) + EncodeTime(23, 59, 59, 0);
  EXPECT_EQ(ReadWholeFile(path), " " + TimeToStr(before) + " " + DateToStr(before) + " midnight\r\n");
}

TEST_F(LogFile, ClearLogLeavesOnlyTheHeaderAndRaisesOnClearFirst) {
  struct Recorder {
    std::string seen;
    std::string path;
    void Clear(TObject*) { seen = ReadWholeFile(path); }
  } recorder{"", path};
  log->SetOnClear(TNotifyEvent::Bind<&Recorder::Clear>(&recorder));
  log->Log("one");
  log->Log("two");
  log->SetLogHeader(true);
  log->ClearLog();
  EXPECT_EQ(recorder.seen, "one\r\ntwo\r\n");  // OnClear saw the file still whole
  EXPECT_EQ(ReadWholeFile(path), "Generic Log File for my Application\r\n");
  log->SetLogHeader(false);
  log->ClearLog();
  EXPECT_TRUE(ftest::FileIsThere(path));
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST_F(LogFile, ClearLogOnAMissingFileRaisesOnClearAndCreatesNothing) {
  int clears = 0;
  auto counter = TNotifyEvent::FromFunction([](void* n, TObject*) { ++*static_cast<int*>(n); }, &clears);
  log->SetOnClear(counter);
  log->SetLogHeader(true);
  log->ClearLog();
  EXPECT_EQ(clears, 1);
  EXPECT_FALSE(ftest::FileIsThere(path));

  log->SetLogFile("");
  log->ClearLog();
  log->Log("nowhere");
  EXPECT_EQ(clears, 1);  // an empty LogFile does nothing, OnClear included
}

TEST_F(LogFile, AFolderThatDoesNotExistFailsWithAnInOutError) {
  log->SetLogFile(sandbox / "missing\\app.log");
  EXPECT_THROW(log->Log("lost"), EInOutError);
}

BOOL WINAPI FailingWrite(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  if (written) *written = 0;
  ::SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

TEST_F(LogFile, AFailedWriteRaisesAndStillClosesTheFile) {
  log->Log("before");
  {
    ScopedOverride write(os::kernel32.WriteFile, &FailingWrite);
    try {
      log->Log("refused");
      ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), ERROR_DISK_FULL);
    }
  }
  // Nobody holds the file any more: it can be opened exclusively and deleted.
  HANDLE exclusive = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  if (exclusive != INVALID_HANDLE_VALUE) ::CloseHandle(exclusive);
  EXPECT_EQ(ReadWholeFile(path), "before\r\n");
  EXPECT_TRUE(::DeleteFileA(path.c_str()));
}

TEST_F(LogFile, TwoComponentsOnOneFileAddWholeLinesInCallOrder) {
  TKYTLogFile& other = *new TKYTLogFile(&owner);
  other.SetLogFile(path);
  other.SetLogSpecial(true);
  other.SetSpecial("[B]");
  log->Log("a1");
  other.Log("b1");
  log->Log("a2");
  EXPECT_EQ(ReadWholeFile(path), "a1\r\n[B] b1\r\na2\r\n");
}

}  // namespace
}  // namespace kyt

namespace kyt {
namespace {

TEST(LogFileFormFile, HeaderAndSpecialAreAlwaysStoredTheRestWhenSet) {
  RegisterClasses({&TKYTLogFile::StaticClass()});
  TComponent root(nullptr);
  root.SetName("Root");
  auto* plain = new TKYTLogFile(&root);
  plain->SetName("Plain");
  auto* full = new TKYTLogFile(&root);
  full->SetName("Full");
  full->SetLogFile("C:\\Logs\\app.log");
  full->SetHeader("");
  full->SetLogTime(true);
  full->SetLogDate(true);
  full->SetLogSpecial(true);
  full->SetLogHeader(true);
  full->SetSpecial("[app]");
  const std::string text = WriteComponentText(root);
  const auto start = text.find("object Plain"), end = text.find("object Full");
  const std::string plainBlock = text.substr(start, end - start);
  EXPECT_NE(plainBlock.find("Header = 'Generic Log File for my Application'"), std::string::npos) << plainBlock;
  EXPECT_NE(plainBlock.find("Special = 'Logged by User'"), std::string::npos) << plainBlock;
  for (const char* absent : {"LogFile =", "LogTime", "LogDate", "LogSpecial", "LogHeader", "About"})
    EXPECT_EQ(plainBlock.find(absent), std::string::npos) << absent << " in\n" << plainBlock;

  TComponent copy(nullptr);
  ReadRootText(copy, text, "log.kfm");
  auto* loaded = ObjectCast<TKYTLogFile>(copy.FindComponent("Full"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Header(), "");  // an emptied header stays empty
  EXPECT_EQ(loaded->Special(), "[app]");
  EXPECT_EQ(loaded->LogFile(), "C:\\Logs\\app.log");
  EXPECT_TRUE(loaded->LogTime() && loaded->LogDate() && loaded->LogSpecial() && loaded->LogHeader());
  EXPECT_EQ(WriteComponentText(copy), text);
}

}  // namespace
}  // namespace kyt
