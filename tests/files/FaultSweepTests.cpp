// Fault sweeps of the file components: each fallible platform call of their main work fails
// once; files are then written whole or left as they were, and the failure reaches the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileCollector.h"
#include "files/KYTTFileExecute.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTFileProperties.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Forms.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/files/SandboxFolder.h"
#include "tests/support/FaultSweep.h"
#include "tests/support/MessagePump.h"

namespace kyt {
namespace {

using namespace test;
using ftest::SandboxFolder;
using ftest::WriteWholeFile;
using filestest::MakeDrop;

void EmptyFolder(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string full = dir + "\\" + data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileA(full.c_str());
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

std::string Lines(const TStrings* list) {
  std::string text;
  for (int i = 0; i < list->Count(); ++i) text += list->Strings(i) + "\n";
  return text;
}

TEST(FilesSweep, FileCollectorScansTheTreeOrStaysUsable) {
  SandboxFolder sandbox("sweep collector");
  ::CreateDirectoryA((sandbox / "sub").c_str(), nullptr);
  for (const char* name : {"a.txt", "b.log", "sub\\c.txt"}) WriteWholeFile(sandbox / name, name);
  std::string everything;
  TFaultScenario s{"FileCollector", [&](const TFaultRun& run) {
                     TOwned<TKYTFileCollector> collector(new TKYTFileCollector(nullptr));
                     collector->SetInitialDirectory(sandbox.Path());
                     collector->SetFileMask("*.txt");
                     collector->Execute();
                     TFaultOutcome out = ReportedIf(false, Lines(collector->LocatedObjects()));
                     if (!run.Failed()) {
                       everything = out.Result;
                       return out;
                     }
                     // A folder that cannot be searched is passed over: there is no way to tell.
                     out.Unreportable = true;
                     TSweepPause pause;
                     collector->Execute();
                     EXPECT_EQ(Lines(collector->LocatedObjects()), everything) << "not usable after " << run.FailedEntry();
                     return out;
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(FilesSweep, FileOperatorCopiesAllOrNothingAndSaysWhich) {
  SandboxFolder sandbox("sweep operator");
  const std::string target = sandbox / "target";
  ::CreateDirectoryA(target.c_str(), nullptr);
  WriteWholeFile(sandbox / "one.txt", kLatin);
  WriteWholeFile(sandbox / "two.txt", kCjk);
  const std::string currentDir = GetCurrentDir();
  TFaultScenario s{"FileOperator", [&](const TFaultRun&) {
                     TOwned<TKYTFileOperator> op(new TKYTFileOperator(nullptr));
                     op->FilesFrom()->Add("one.txt");
                     op->FilesFrom()->Add("two.txt");
                     op->SetDirFrom(sandbox.Path());
                     op->SetDirTo(target);
                     op->SetOperation(TKYTFileFunction::CopyFile);
                     op->SetFlags({opSilent, opNoConfirmation, opNoConfirmMkDir});
                     bool copied = false;
                     TFaultOutcome out = Raises([&] { copied = op->Execute(); });
                     out.Reported = out.Reported || !copied;
                     TSweepPause pause;
                     ::SetCurrentDirectoryA(currentDir.c_str());  // Execute makes the source current
                     return out;
                   },
                   [&] { return FolderState(target); }, [&] { EmptyFolder(target); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(FilesSweep, FilePropertiesWritesTheAttributesOrKeepsShowingTheOldOnes) {
  SandboxFolder sandbox("sweep properties");
  const std::string file = sandbox / "props.txt";
  WriteWholeFile(file, kCyrillic);
  auto attributes = [&] { return std::to_string(::GetFileAttributesA(file.c_str())); };
  TFaultScenario s{"FileProperties", [&](const TFaultRun& run) {
                     TOwned<TKYTFileProperties> props(new TKYTFileProperties(nullptr));
                     {
                       TSweepPause setUp;  // the work is the change of attributes
                       props->SetFilename(file);
                     }
                     const std::string shown = props->AttributesShort();
                     props->SeTFileProperties({ftReadOnly, ftHidden});
                     // The component's answer to a refused change: it keeps showing the file as it is.
                     const std::string now = props->AttributesShort();
                     TFaultOutcome out = ReportedIf(now == shown, now);
                     // Attributes that cannot be read show as none (documented).
                     out.Unreportable = run.Failed("GetFileAttributesA");
                     return out;
                   },
                   attributes, [&] { ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_ARCHIVE); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FilesSweep, LogFileWritesAWholeLineOrRaises) {
  SandboxFolder sandbox("sweep log");
  const std::string log = sandbox / "sweep.log";
  TFaultScenario s{"LogFile", [&](const TFaultRun&) {
                     TOwned<TKYTLogFile> logger(new TKYTLogFile(nullptr));
                     logger->SetLogFile(log);
                     logger->SetLogHeader(true);
                     return Raises([&] { logger->Log(kCyrillic); });
                   },
                   [&] { return FileState(log); }, [&] { ::DeleteFileA(log.c_str()); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(FilesSweep, TextReplaceWritesTheWholeOutputOrRaises) {
  SandboxFolder sandbox("sweep replace");
  const std::string from = sandbox / "from.txt", to = sandbox / "to.txt";
  WriteWholeFile(from, "one\r\n" + kLatin + "\r\nthree\r\n");
  TFaultScenario s{"TextReplace", [&](const TFaultRun&) {
                     TOwned<TKYTTextReplace> replace(new TKYTTextReplace(nullptr));
                     replace->SetFileFrom(from);
                     replace->SetFileTo(to);
                     return Raises([&] { replace->Execute(); });
                   },
                   [&] { return FolderState(sandbox.Path()); },
                   [&] { WriteWholeFile(to, "the previous output\r\n"); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(FilesSweep, DroppedFilesCollectsEveryNameItCanRead) {
  const std::vector<std::string> names = {"C:\\drop\\" + kLatin + ".txt", "C:\\drop\\" + kCjk + ".doc"};
  TFaultScenario s{"DroppedFiles", [&](const TFaultRun& run) {
                     return Caught([&] {
                       TOwned<TForm> form(new TForm(nullptr));
                       auto* drops = new TKYTDroppedFiles(form.get());
                       drops->SetActive(true);
                       ::SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
                       // The drop has no error event: a name the shell cannot give is left out,
                       // never collected empty.
                       const std::string items = Lines(drops->DroppedItems());
                       EXPECT_TRUE(items.find("\n\n") == std::string::npos && !items.starts_with("\n"))
                           << run.FailedEntry();
                       TFaultOutcome out = ReportedIf(false, items);
                       out.Unreportable = run.Failed("DragQueryFileA");
                       return out;
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(FilesSweep, FileExecuteStartsAndWaitsOrSaysFalse) {
  SandboxFolder sandbox("sweep execute");
  const std::string report = sandbox / "report.txt";
  TFaultScenario s{"FileExecute", [&](const TFaultRun&) {
                     TOwned<TKYTFileExecute> exec(new TKYTFileExecute(nullptr));
                     exec->SetFilename(ftest::ModuleFolder() + "\\files_test_helper.exe");
                     exec->SetExeParameters("\"" + report + "\" sweep");
                     exec->SetWait(true);
                     const bool started = exec->Execute();
                     TSweepPause pause;
                     // A wait the platform refuses returns at once: the helper still ends by itself.
                     const bool ran = started && PumpUntil([&] { return ftest::FileIsThere(report); }, 10000);
                     ::DeleteFileA(report.c_str());
                     return ReportedIf(!started, started && ran ? "ran" : "");
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

}  // namespace
}  // namespace kyt
