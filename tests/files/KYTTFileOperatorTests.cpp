// Tests of the file operator: real shell operations in a sandbox folder, and a replaced shell
// call only for what Wine cannot produce (a cancelled run, a move that fails, a name mapping).
#include "files/KYTTFileOperator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

using filestest::EventLog;
using filestest::PathExists;
using filestest::Sandbox;
using filestest::ScopedCurrentDir;

static_assert(static_cast<int>(TKYTFileFunction::CopyFile) == 0 &&
              static_cast<int>(TKYTFileFunction::DeleteFile) == 1 &&
              static_cast<int>(TKYTFileFunction::MoveFile) == 2 &&
              static_cast<int>(TKYTFileFunction::RenameFile) == 3);
static_assert(opAllowUndo == 0 && opSimpleProgress == 8 && opWantMappingHandle == 9);

// Every event of op, logged under its own name.
void LogEvents(TKYTFileOperator& op, EventLog& log) {
  op.SetOnSuccessCopy(log.Notify("SuccessCopy"));
  op.SetOnSuccessDelete(log.Notify("SuccessDelete"));
  op.SetOnSuccessMove(log.Notify("SuccessMove"));
  op.SetOnSuccessRename(log.Notify("SuccessRename"));
  op.SetOnFailCopy(log.Notify("FailCopy"));
  op.SetOnFailDelete(log.Notify("FailDelete"));
  op.SetOnFailMove(log.Notify("FailMove"));
  op.SetOnFailRename(log.Notify("FailRename"));
  op.SetOnDone(log.Notify("Done"));
}

using Calls = std::vector<std::string>;

// What a replaced shell call saw, and what it answers.
struct ShellCall {
  int Count = 0;
  HWND Window = reinterpret_cast<HWND>(1);
  UINT Function = 0;
  std::string From, To, Title;
  FILEOP_FLAGS Flags = 0;
  int Result = 0;
  BOOL Aborted = FALSE;
  HANDLE Mappings = nullptr;
  std::vector<HANDLE> Freed;
  TComponent* FreeDuringCall = nullptr;
};
ShellCall* gShell = nullptr;

// A double-NUL list as one string with '|' for each NUL.
std::string ListText(const char* list) {
  std::string out;
  if (!list) return "<null>";
  for (const char* p = list;; ++p) {
    if (*p) {
      out += *p;
      continue;
    }
    out += '|';
    if (!p[1]) return out + '|';
  }
}

int WINAPI FakeShell(LPSHFILEOPSTRUCTA op) {
  ShellCall& c = *gShell;
  ++c.Count;
  c.Window = op->hwnd;
  c.Function = op->wFunc;
  c.From = ListText(op->pFrom);
  c.To = ListText(op->pTo);
  c.Title = op->lpszProgressTitle ? op->lpszProgressTitle : "<null>";
  c.Flags = op->fFlags;
  op->fAnyOperationsAborted = c.Aborted;
  op->hNameMappings = c.Mappings;
  // As a form closed with caFree inside the shell's dialogs would.
  if (c.FreeDuringCall) delete c.FreeDuringCall;
  return c.Result;
}

void WINAPI FakeFreeMappings(HANDLE mappings) { gShell->Freed.push_back(mappings); }

class FakeShellScope {
 public:
  FakeShellScope() : FShell(os::shell32.SHFileOperationA, &FakeShell),
                     FFree(os::shell32.SHFreeNameMappings, &FakeFreeMappings) { gShell = &Call; }
  ~FakeShellScope() { gShell = nullptr; }
  ShellCall Call;

 private:
  os::ScopedOverride<decltype(os::shell32.SHFileOperationA)> FShell;
  os::ScopedOverride<decltype(os::shell32.SHFreeNameMappings)> FFree;
};

// Silent flags: no dialog can stop a test.
const TKYTFileFlags kQuiet{opSilent, opNoConfirmation, opNoConfirmMkDir};

TEST(FileOperatorFlags, StartAsUndoAndNoMkDirConfirmation) {
  TKYTFileOperator op(nullptr);
  EXPECT_EQ(op.FlagsWord(), 0x0240);
  EXPECT_EQ(op.GetFlags(), (TKYTFileFlags{opAllowUndo, opNoConfirmMkDir}));
  EXPECT_EQ(op.Operation(), TKYTFileFunction::CopyFile);
}

TEST(FileOperatorFlags, EachMemberSetsItsOwnShellBitAndReadsBack) {
  const FILEOP_FLAGS bits[] = {0x0040, 0x0002, 0x0080, 0x0001, 0x0010,
                               0x0200, 0x0008, 0x0004, 0x0100, 0x0020};
  TKYTFileOperator op(nullptr);
  op.SetFlags({});
  EXPECT_EQ(op.FlagsWord(), 0);
  EXPECT_TRUE(op.GetFlags().Empty());
  FILEOP_FLAGS all = 0;
  for (int i = opAllowUndo; i <= opWantMappingHandle; ++i) {
    const auto flag = static_cast<TKYTFileFlag>(i);
    op.SetFlags(TKYTFileFlags{flag});
    EXPECT_EQ(op.FlagsWord(), bits[i]) << i;
    EXPECT_EQ(op.GetFlags(), TKYTFileFlags{flag}) << i;
    all |= bits[i];
  }
  TKYTFileFlags every;
  for (int i = opAllowUndo; i <= opWantMappingHandle; ++i) every.Include(static_cast<TKYTFileFlag>(i));
  op.SetFlags(every);
  EXPECT_EQ(op.FlagsWord(), all);
  EXPECT_EQ(op.GetFlags(), every);
  op.SetOperFlag(FOF_SILENT, false);
  EXPECT_FALSE(op.GetFlags().Contains(opSilent));
}

TEST(FileOperator, HandsTheShellOneRecordWithBothListsAndTheTitle) {
  Sandbox box;
  ScopedCurrentDir keep;
  FakeShellScope shell;
  TKYTFileOperator op(nullptr);
  op.SetDirFrom(box.Path());
  op.SetDirTo("target");
  op.FilesFrom()->Add("a.txt");
  op.FilesFrom()->Add("b*.txt");
  const struct {
    TKYTFileFunction Operation;
    UINT Function;
    const char* Title;
  } cases[] = {{TKYTFileFunction::CopyFile, FO_COPY, "Copying..."},
               {TKYTFileFunction::DeleteFile, FO_DELETE, "Deleteing..."},
               {TKYTFileFunction::MoveFile, FO_MOVE, "Moving..."},
               {TKYTFileFunction::RenameFile, FO_RENAME, "Renaming..."}};
  for (const auto& c : cases) {
    op.SetOperation(c.Operation);
    EXPECT_TRUE(op.Execute());
    EXPECT_EQ(shell.Call.Function, c.Function);
    EXPECT_EQ(shell.Call.Title, c.Title);
    EXPECT_EQ(shell.Call.Window, nullptr);
    EXPECT_EQ(shell.Call.From, box.Path() + "\\a.txt|" + box.Path() + "\\b*.txt||");
    EXPECT_EQ(shell.Call.To, "target||");  // one name, whatever opMultiDestFiles says
    EXPECT_EQ(shell.Call.Flags, 0x0240);
  }
  // The source folder gains its backslash for good and stays the current folder.
  EXPECT_EQ(op.DirFrom(), box.Path() + "\\");
  EXPECT_EQ(IncludeTrailingBackslash(GetCurrentDir()), box.Path() + "\\");
}

TEST(FileOperator, EmptyDirFromPassesTheLinesAsTheyStandAndKeepsTheCurrentFolder) {
  FakeShellScope shell;
  const std::string before = GetCurrentDir();
  TKYTFileOperator op(nullptr);
  op.SetDirTo("x");
  op.FilesFrom()->Add("rel\\a.txt");
  op.SetFlags({opMultiDestFiles});
  op.Execute();
  EXPECT_EQ(shell.Call.From, "rel\\a.txt||");
  EXPECT_EQ(shell.Call.To, "x||");
  EXPECT_EQ(shell.Call.Flags, FOF_MULTIDESTFILES);
  EXPECT_EQ(GetCurrentDir(), before);
}

TEST(FileOperator, RefusesAMissingTargetOrSourceFolderWithoutAnyEvent) {
  Sandbox box;
  ScopedCurrentDir keep;
  FakeShellScope shell;
  EventLog log;
  TKYTFileOperator op(nullptr);
  LogEvents(op, log);
  op.SetOperation(TKYTFileFunction::DeleteFile);  // delete has no target, yet DirTo is required
  op.SetDirFrom(box.Path());
  op.FilesFrom()->Add("a.txt");
  try {
    op.Execute();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Directory Information is invalid");
  }
  EXPECT_EQ(op.DirFrom(), box.Path() + "\\");

  op.SetDirTo(box.Path());
  op.SetDirFrom(box / "missing");
  try {
    op.Execute();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Can not locate current Directory");
  }
  EXPECT_EQ(shell.Call.Count, 0);
  EXPECT_TRUE(log.Calls().empty());
}

TEST(FileOperator, AnEmptyListFailsWithoutCallingTheShell) {
  FakeShellScope shell;
  EventLog log;
  TKYTFileOperator op(nullptr);
  LogEvents(op, log);
  op.SetDirTo("x");
  op.SetOperation(TKYTFileFunction::MoveFile);
  EXPECT_FALSE(op.Execute());
  EXPECT_EQ(log.Calls(), (Calls{"FailMove", "Done"}));
  // A list whose first line is empty names nothing either.
  op.FilesFrom()->Add("");
  op.FilesFrom()->Add("a.txt");
  log.Clear();
  EXPECT_FALSE(op.Execute());
  EXPECT_EQ(log.Calls(), (Calls{"FailMove", "Done"}));
  EXPECT_EQ(shell.Call.Count, 0);
}

TEST(FileOperator, CopiesTheListIntoANewFolder) {
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("src\\a.txt", "alpha");
  box.File("src\\b.txt", "beta");
  box.File("src\\c.dat", "gamma");
  EventLog log;
  TKYTFileOperator op(nullptr);
  LogEvents(op, log);
  op.SetFlags(kQuiet);
  op.SetDirFrom(box / "src");
  op.SetDirTo(box / "dst");
  op.FilesFrom()->Add("a.txt");
  op.FilesFrom()->Add("b.txt");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(log.Calls(), (Calls{"SuccessCopy", "Done"}));
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\a.txt"), "alpha");
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\b.txt"), "beta");
  EXPECT_FALSE(PathExists(box / "dst\\c.dat"));
  EXPECT_TRUE(PathExists(box / "src\\a.txt"));
}

TEST(FileOperator, MovesRenamesAndDeletesForReal) {
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("src\\a.txt", "alpha");
  box.File("src\\b.txt", "beta");
  box.Folder("dst");
  EventLog log;
  TKYTFileOperator op(nullptr);
  LogEvents(op, log);
  op.SetFlags(kQuiet);
  op.SetDirFrom(box / "src");

  // One file a run: Wine cancels a move of several files into a folder (0x4C7, aborted set),
  // which the operator rightly reports as a failure.
  op.SetOperation(TKYTFileFunction::MoveFile);
  op.SetDirTo(box / "dst");
  for (const char* name : {"a.txt", "b.txt"}) {
    op.FilesFrom()->SetText(name);
    EXPECT_TRUE(op.Execute()) << name;
  }
  EXPECT_FALSE(PathExists(box / "src\\a.txt"));
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\b.txt"), "beta");

  op.SetOperation(TKYTFileFunction::RenameFile);
  op.SetDirFrom(box / "dst");
  op.FilesFrom()->SetText("a.txt");
  op.SetDirTo(box / "dst\\renamed.txt");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\renamed.txt"), "alpha");

  op.SetOperation(TKYTFileFunction::DeleteFile);
  op.FilesFrom()->SetText("renamed.txt\r\nb.txt");
  op.SetDirTo("-");
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(PathExists(box / "dst\\renamed.txt"));
  EXPECT_FALSE(PathExists(box / "dst\\b.txt"));
  EXPECT_TRUE(PathExists(box / "dst"));
  EXPECT_EQ(log.Calls(), (Calls{"SuccessMove", "Done", "SuccessMove", "Done", "SuccessRename", "Done", "SuccessDelete", "Done"}));
}

TEST(FileOperator, UndoableDeleteGoesToTheTrashOfTheBuildTree) {
  const char* trash = std::getenv("XDG_DATA_HOME");
  if (!trash || !*trash) GTEST_SKIP() << "XDG_DATA_HOME is not set: the trash would be the machine's own";
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("gone.txt");
  TKYTFileOperator op(nullptr);
  op.SetFlags(kQuiet + TKYTFileFlags{opAllowUndo});
  op.SetOperation(TKYTFileFunction::DeleteFile);
  op.SetDirFrom(box.Path());
  op.SetDirTo("-");
  op.FilesFrom()->Add("gone.txt");
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(PathExists(box / "gone.txt"));
}

TEST(FileOperator, AStrayEmptyLineEndsTheListInsteadOfNamingTheFolder) {
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("src\\a.txt");
  box.File("src\\b.txt");
  TKYTFileOperator op(nullptr);
  op.SetFlags(kQuiet);
  op.SetOperation(TKYTFileFunction::DeleteFile);
  op.SetDirFrom(box / "src");
  op.SetDirTo("-");
  op.FilesFrom()->SetText("a.txt\r\n\r\nb.txt");
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(PathExists(box / "src\\a.txt"));
  EXPECT_TRUE(PathExists(box / "src\\b.txt"));
  EXPECT_TRUE(PathExists(box / "src"));
}

// A zero inside a line or the target would make the rest of it another name for the shell to
// act on: the run is refused as a failure and every file stays as it was.
TEST(FileOperator, ANameWithAZeroInsideIsRefusedBeforeTheShellSeesIt) {
  const std::string zero("\0", 1);
  const struct {
    TKYTFileFunction Operation;
    std::string Line, To;
    Calls Events;
  } cases[] = {
      {TKYTFileFunction::DeleteFile, "первый.txt" + zero + "второй.txt", "-", {"FailDelete", "Done"}},
      {TKYTFileFunction::DeleteFile, "первый.txt", "-" + zero + "x", {"FailDelete", "Done"}},
      {TKYTFileFunction::MoveFile, "первый.txt", "dst" + zero + "второй.txt", {"FailMove", "Done"}},
      {TKYTFileFunction::CopyFile, "второй.txt" + zero, "dst", {"FailCopy", "Done"}},
  };
  for (const auto& c : cases) {
    Sandbox box;
    ScopedCurrentDir keep;
    box.File("src\\первый.txt", "one");
    box.File("src\\второй.txt", "two");
    EventLog log;
    TKYTFileOperator op(nullptr);
    LogEvents(op, log);
    op.SetFlags(kQuiet);
    op.SetOperation(c.Operation);
    op.SetDirFrom(box / "src");
    op.SetDirTo(c.To == "-" || c.To[0] == '-' ? c.To : box / c.To);
    op.FilesFrom()->Add(c.Line);
    EXPECT_FALSE(op.Execute()) << c.Line;
    EXPECT_EQ(log.Calls(), c.Events) << c.Line;
    EXPECT_EQ(filestest::ReadBytes(box / "src\\первый.txt"), "one") << c.Line;
    EXPECT_EQ(filestest::ReadBytes(box / "src\\второй.txt"), "two") << c.Line;
    EXPECT_FALSE(PathExists(box / "dst")) << c.Line;
  }
}

TEST(FileOperator, ARelativeSourceFolderIsAppliedOnce) {
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("src\\a.txt", "alpha");
  box.Folder("dst");  // one source copied to a missing name would become a file of that name
  ASSERT_TRUE(SetCurrentDir(box.Path()));
  TKYTFileOperator op(nullptr);
  op.SetFlags(kQuiet);
  op.SetDirFrom("src");
  op.SetDirTo(box / "dst");
  op.FilesFrom()->Add("a.txt");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(filestest::ReadBytes(box / "dst\\a.txt"), "alpha");
  EXPECT_EQ(op.DirFrom(), "src\\");
}

TEST(FileOperator, AFailedCopyRaisesItsFailureEvent) {
  Sandbox box;
  ScopedCurrentDir keep;
  EventLog log;
  TKYTFileOperator op(nullptr);
  LogEvents(op, log);
  op.SetFlags(kQuiet);
  op.SetDirFrom(box.Path());
  op.SetDirTo(box / "dst");
  op.FilesFrom()->Add("missing.txt");
  EXPECT_FALSE(op.Execute());
  EXPECT_EQ(log.Calls(), (Calls{"FailCopy", "Done"}));
}

TEST(FileOperator, ACancelledRunOrAShellErrorTakesTheFailurePath) {
  FakeShellScope shell;
  EventLog log;
  TKYTFileOperator op(nullptr);
  LogEvents(op, log);
  op.SetDirTo("x");
  op.FilesFrom()->Add("a.txt");
  op.SetOperation(TKYTFileFunction::DeleteFile);
  shell.Call.Aborted = TRUE;  // the shell returns 0 for a declined confirmation
  EXPECT_FALSE(op.Execute());
  EXPECT_EQ(log.Calls(), (Calls{"FailDelete", "Done"}));

  log.Clear();
  shell.Call.Aborted = FALSE;
  shell.Call.Result = ERROR_ACCESS_DENIED;
  op.SetOperation(TKYTFileFunction::MoveFile);
  EXPECT_FALSE(op.Execute());
  EXPECT_EQ(log.Calls(), (Calls{"FailMove", "Done"}));
}

TEST(FileOperator, FreesTheNameMappingTheShellHandsBack) {
  FakeShellScope shell;
  TKYTFileOperator op(nullptr);
  op.SetDirTo("x");
  op.FilesFrom()->Add("a.txt");
  op.SetFlags({opWantMappingHandle});
  op.Execute();
  EXPECT_TRUE(shell.Call.Freed.empty());
  shell.Call.Mappings = reinterpret_cast<HANDLE>(0x1234);
  op.Execute();
  EXPECT_EQ(shell.Call.Freed, std::vector<HANDLE>{reinterpret_cast<HANDLE>(0x1234)});
}

TEST(FileOperator, StopsWithoutTouchingItselfWhenFreedInsideTheShellsDialogs) {
  FakeShellScope shell;
  EventLog log;
  auto* op = new TKYTFileOperator(nullptr);
  TComponentRef<TKYTFileOperator> ref(op);
  LogEvents(*op, log);
  op->SetDirTo("x");
  op->FilesFrom()->Add("a.txt");
  shell.Call.FreeDuringCall = op;
  shell.Call.Mappings = reinterpret_cast<HANDLE>(0x99);
  EXPECT_TRUE(op->Execute());
  EXPECT_FALSE(ref);
  EXPECT_TRUE(log.Calls().empty());
  EXPECT_EQ(shell.Call.Freed.size(), 1u);  // what the shell handed back is still freed
}

// A handler that frees the component: OnDone is not raised on the freed object.
struct Freer {
  TComponent* Target = nullptr;
  void Free(TObject*) { delete Target; }
};

TEST(FileOperator, AHandlerThatFreesTheComponentEndsTheRun) {
  FakeShellScope shell;
  EventLog log;
  auto* op = new TKYTFileOperator(nullptr);
  LogEvents(*op, log);
  Freer freer{op};
  op->SetOnSuccessCopy(TNotifyEvent::Bind<&Freer::Free>(&freer));
  op->SetDirTo("x");
  op->FilesFrom()->Add("a.txt");
  EXPECT_TRUE(op->Execute());
  EXPECT_TRUE(log.Calls().empty());
}

}  // namespace
}  // namespace kyt
