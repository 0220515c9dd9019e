// Tests of the file-execute component. It starts only the suite's own helper program, which
// records how it was started and ends by itself; every process is waited for before a test
// ends, and the document association a test registers is removed again.
#include "files/KYTTFileExecute.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/WinUtils.h"
#include "tests/files/SandboxFolder.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

using ftest::SandboxFolder;

std::string HelperPath() { return ftest::ModuleFolder() + "\\files_test_helper.exe"; }

// The helper's report as key/value pairs; empty while it has not written one.
std::map<std::string, std::string> ReadReport(const std::string& path) {
  std::map<std::string, std::string> values;
  std::istringstream in(ftest::ReadWholeFile(path));
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

// Waits (bounded) for the helper that wrote the report to end; ends it if it does not.
// True when it had ended by itself.
bool HelperEnded(const std::map<std::string, std::string>& report, DWORD timeoutMs) {
  const auto pid = report.find("pid");
  if (pid == report.end()) return false;
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::stoul(pid->second));
  if (!process) return true;  // already gone
  const bool ended = ::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  if (!ended) ::TerminateProcess(process, 1);
  ::CloseHandle(process);
  return ended;
}

class FileExecute : public ::testing::Test {
 protected:
  FileExecute() : sandbox(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    exec = new TKYTFileExecute(&owner);
    report = sandbox / "report.txt";
  }
  // Runs the helper with Wait and returns its report.
  std::map<std::string, std::string> RunHelper(const std::string& parameters) {
    // reference example: TKYTFileExecute
    exec->SetFilename(HelperPath());
    exec->SetExeParameters(parameters);
    exec->SetWait(true);
    EXPECT_TRUE(exec->Execute());
    // end of reference example
    auto values = ReadReport(report);
    EXPECT_TRUE(HelperEnded(values, 0)) << "Execute returned before the process ended";
    return values;
  }

  SandboxFolder sandbox;
  TComponent owner{nullptr};
  TKYTFileExecute* exec = nullptr;
  std::string report;
};

TEST(FileExecuteStyles, VerbsAndShowCommandsFollowTheTables) {
  const char* verbs[] = {"", "open", "Print", "explore", "new", "Install", "edit", "find", "Test", "open", "Play"};
  for (int s = osDefault; s <= osPlay; ++s)
    EXPECT_EQ(KYTExeVerb(static_cast<TKYTExeStyle>(s)), verbs[s]) << s;
  TComponent owner(nullptr);
  auto* exec = new TKYTFileExecute(&owner);
  EXPECT_EQ(exec->ExeStyle(), osDefault);
  EXPECT_EQ(exec->Verb(), "");
  EXPECT_EQ(exec->ShowCommand(), SW_SHOWNORMAL);
  exec->SetExeStyle(osConfigure);
  EXPECT_EQ(exec->Verb(), "open");
  exec->SetWindowstate(wsMaximized);
  EXPECT_EQ(exec->ShowCommand(), SW_SHOWMAXIMIZED);
  exec->SetWindowstate(wsMinimized);
  EXPECT_EQ(exec->ShowCommand(), SW_SHOWMINIMIZED);
  exec->SetWindowstate(wsNormal);
  EXPECT_EQ(exec->ShowCommand(), SW_SHOWNORMAL);
}

TEST_F(FileExecute, StartsTheProgramWithParametersFolderAndShowCommandAndWaits) {
  const std::string folder = sandbox / "work";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  exec->SetExePath(folder);
  exec->SetExeStyle(osOpen);
  exec->SetWindowstate(wsMaximized);
  auto values = RunHelper("\"" + report + "\" first second");
  EXPECT_EQ(values["args"], "first second");
  EXPECT_EQ(values["dir"], folder);
  EXPECT_EQ(values["show"], "3");

  exec->SetWindowstate(wsNormal);
  exec->SetExePath("");
  values = RunHelper("\"" + report + "\" again");
  EXPECT_EQ(values["args"], "again");
  EXPECT_EQ(values["show"], "1");
}

TEST_F(FileExecute, WithoutWaitReturnsAndTheProgramRunsOn) {
  exec->SetFilename(HelperPath());
  exec->SetExeParameters("\"" + report + "\" unwaited");
  EXPECT_TRUE(exec->Execute());
  // The report appears whole (the helper renames it into place), but Wine can refuse a read
  // of a file that is being renamed: wait until it reads back complete.
  std::map<std::string, std::string> values;
  ASSERT_TRUE(PumpUntil(
      [&] {
        values = ftest::FileIsThere(report) ? ReadReport(report) : std::map<std::string, std::string>{};
        return values.count("args") && values.count("pid");
      },
      30000));
  EXPECT_EQ(values.at("args"), "unwaited");
  EXPECT_TRUE(HelperEnded(values, 30000));
}

TEST_F(FileExecute, WaitingStillAnswersMessagesTheProgramSendsToOurWindows) {
  constexpr UINT kAsk = WM_APP + 0x77;
  int asked = 0;
  HWND window = AllocateHWnd([&asked](TMessage& m) {
    if (m.Msg == kAsk) {
      ++asked;
      m.Result = 1;
    } else {
      m.Result = ::DefWindowProcA(nullptr, m.Msg, m.WParam, m.LParam);
    }
  });
  char hex[64];
  snprintf(hex, sizeof hex, " send %llx %x", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)), kAsk);
  const auto values = RunHelper("\"" + report + "\"" + hex + " sender");
  DeallocateHWnd(window);
  EXPECT_EQ(values.at("sent"), "1");
  EXPECT_EQ(asked, 1);
}

TEST_F(FileExecute, RepeatedRunsLeaveNoHandleBehind) {
  RunHelper("\"" + report + "\" warm-up");
  DWORD before = 0, after = 0;
  ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
  for (int i = 0; i < 20; ++i) RunHelper("\"" + report + "\" run");
  ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
  EXPECT_EQ(after, before);
}

// A zero inside any text the shell is given would cut it there and start what the cut names:
// refused with false, and the helper never runs (it would write its report).
TEST_F(FileExecute, ATextWithAZeroInsideIsRefusedAndStartsNothing) {
  const std::string zero("\0", 1), parameters = "\"" + report + "\"";
  const struct {
    std::string Filename, Parameters, Path;
  } cases[] = {
      {HelperPath() + zero + ".txt", parameters, ""},
      {HelperPath(), parameters + zero + " more", ""},
      {HelperPath(), parameters, sandbox.Path() + zero + "other"},
  };
  for (const auto& c : cases) {
    exec->SetFilename(c.Filename);
    exec->SetExeParameters(c.Parameters);
    exec->SetExePath(c.Path);
    exec->SetWait(true);
    EXPECT_FALSE(exec->Execute()) << c.Filename.size() << " " << c.Parameters.size();
    EXPECT_TRUE(ReadReport(report).empty()) << "the helper ran";
  }
}

TEST_F(FileExecute, AMissingFileIsReportedByTheShellAndGivesFalse) {
  DialogAnswerer answer(Press("OK"));
  exec->SetFilename(sandbox / "no such program.exe");
  exec->SetWait(true);
  EXPECT_FALSE(exec->Execute());
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
}

// Replaces the shell: reports success without a process, as when a running viewer is reused.
SHELLEXECUTEINFOA gSeen;
std::string gSeenVerb, gSeenFile;
BOOL WINAPI ReusedInstance(SHELLEXECUTEINFOA* info) {
  gSeen = *info;
  gSeenVerb = info->lpVerb ? info->lpVerb : "<none>";
  gSeenFile = info->lpFile ? info->lpFile : "";
  info->hProcess = nullptr;
  info->hInstApp = reinterpret_cast<HINSTANCE>(42);
  return TRUE;
}

TEST_F(FileExecute, NoNewProcessMeansWaitReturnsAtOnce) {
  ScopedOverride shell(os::shell32.ShellExecuteExA, &ReusedInstance);
  exec->SetFilename("document.kytview");
  exec->SetWait(true);
  EXPECT_TRUE(exec->Execute());
  EXPECT_EQ(gSeenVerb, "<none>");
  EXPECT_EQ(gSeenFile, "document.kytview");
  EXPECT_EQ(gSeen.cbSize, sizeof(SHELLEXECUTEINFOA));
  EXPECT_EQ(gSeen.fMask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS));
  EXPECT_EQ(gSeen.hwnd, Application->Handle());
}

// A document type of the tests' own, whose verbs run the helper with the verb's name.
class FileExecuteDocument : public FileExecute {
 protected:
  static constexpr const char* kExt = ".kytfxtest";
  static constexpr const char* kProgId = "KYTTests.FileExecuteDoc";
  void SetUp() override {
    SetValue(kExt, "", kProgId);
    for (const char* verb : {"open", "print", "edit"})
      SetValue(std::string(kProgId) + "\\shell\\" + verb + "\\command", "",
               "\"" + HelperPath() + "\" \"" + report + "\" " + verb + " \"%1\"");
    SetValue(std::string(kProgId) + "\\shell", "", "edit");  // the default action
    document = sandbox / "letter.kytfxtest";
    ftest::WriteWholeFile(document, "text");
    exec->SetFilename(document);
    exec->SetWait(true);
  }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kExt);
  }
  static void SetValue(const std::string& key, const std::string& name, const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(k, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(k);
  }
  std::string RanVerb(TKYTExeStyle style) {
    ::DeleteFileA(report.c_str());
    exec->SetExeStyle(style);
    EXPECT_TRUE(exec->Execute());
    auto values = ReadReport(report);
    EXPECT_TRUE(HelperEnded(values, 0));
    const std::string args = values["args"];
    return args.substr(0, args.find(' '));
  }
  std::string document;
};

TEST_F(FileExecuteDocument, EachStyleRunsItsVerb) {
  EXPECT_EQ(RanVerb(osOpen), "open");
  EXPECT_EQ(RanVerb(osPrint), "print");
  EXPECT_EQ(RanVerb(osEdit), "edit");
  EXPECT_EQ(RanVerb(osConfigure), "open");
}

TEST_F(FileExecuteDocument, DefaultStyleRunsTheDocumentTypesDefaultAction) {
  EXPECT_EQ(RanVerb(osDefault), "edit");
}

TEST_F(FileExecuteDocument, AVerbTheTypeLacksGivesFalse) {
  DialogAnswerer answer(Press("OK"));
  exec->SetExeStyle(osPlay);
  EXPECT_FALSE(exec->Execute());
  answer.Wait(2000);  // the shell may or may not show a box for a missing verb
  EXPECT_FALSE(ftest::FileIsThere(report));
}

TEST(FileExecuteFormFile, StoresWhatDiffersFromTheDefaults) {
  RegisterClasses({&TKYTFileExecute::StaticClass()});
  TComponent root(nullptr);
  root.SetName("Root");
  auto* plain = new TKYTFileExecute(&root);
  plain->SetName("Plain");
  auto* full = new TKYTFileExecute(&root);
  full->SetName("Full");
  full->SetFilename("C:\\Tools\\tool.exe");
  full->SetExeParameters("-x 'quoted'");
  full->SetExeStyle(osPrint);
  full->SetExePath("C:\\Work");
  full->SetWait(true);
  full->SetWindowstate(wsMinimized);
  const std::string text = WriteComponentText(root);
  const std::string plainBlock = text.substr(text.find("object Plain"), text.find("object Full") - text.find("object Plain"));
  for (const char* absent : {"Filename", "ExeParameters", "ExeStyle", "ExePath", "Wait", "Windowstate", "About", "DesignExecute"})
    EXPECT_EQ(plainBlock.find(absent), std::string::npos) << absent << " in\n" << plainBlock;
  for (const char* present : {"ExeStyle = osPrint", "Wait = True", "Windowstate = wsMinimized", "ExePath = 'C:\\Work'"})
    EXPECT_NE(text.find(present), std::string::npos) << present << " in\n" << text;

  TComponent copy(nullptr);
  ReadRootText(copy, text, "exec.kfm");
  auto* loaded = ObjectCast<TKYTFileExecute>(copy.FindComponent("Full"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->ExeParameters(), "-x 'quoted'");
  EXPECT_EQ(loaded->Verb(), "Print");  // derived while the file was read
  EXPECT_EQ(loaded->ShowCommand(), SW_SHOWMINIMIZED);
  EXPECT_TRUE(loaded->Wait());
  EXPECT_EQ(WriteComponentText(copy), text);
}

}  // namespace
}  // namespace kyt
