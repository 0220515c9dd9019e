// The file components in the design tool: the real kytdesign.exe adds, inspects and sets each of
// them, and its execute test runs the file-execute component inside the designer.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "tests/files/SandboxFolder.h"
#include "tests/support/StartProcess.h"

namespace kyt {
namespace {

using ftest::SandboxFolder;

std::string ToolPath() { return ftest::ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe"; }

struct ToolRun {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Out;
};

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Runs the tool in folder with its output in a file there; waits (bounded) for it to end.
ToolRun RunTool(const SandboxFolder& folder, const std::vector<std::string>& args) {
  ToolRun run;
  const std::string outPath = folder / "out.txt";
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  std::string line = Quote(ToolPath());
  for (const std::string& a : args) line += " " + Quote(a);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  const DWORD startError = StartProcess(line, folder.Path(), si, pi, true);
  const bool started = startError == 0;
  ::CloseHandle(out);
  EXPECT_TRUE(started) << "cannot start " << ToolPath() << " (error " << startError << ")";
  if (!started) return run;
  if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the design tool did not end";
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, 5000);
  }
  ::GetExitCodeProcess(pi.hProcess, &run.ExitCode);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  run.Out = ftest::ReadWholeFile(outPath);
  return run;
}

// The inspector's lines as "name" -> "value[  (read-only)]".
std::map<std::string, std::string> Inspected(const std::string& out) {
  std::map<std::string, std::string> entries;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find(" = ");
    if (eq != std::string::npos) entries[line.substr(0, eq)] = line.substr(eq + 3);
  }
  return entries;
}

class FilesInDesignTool : public ::testing::Test {
 protected:
  FilesInDesignTool() : folder(std::string("design-") + ::testing::UnitTest::GetInstance()->current_test_info()->name()) {}
  void SetUp() override {
    ASSERT_NE(::GetFileAttributesA(ToolPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the design tool is not built";
    Ok({"new", "Unit1.kfm"});
  }
  std::string Ok(const std::vector<std::string>& args) {
    const ToolRun run = RunTool(folder, args);
    EXPECT_EQ(run.ExitCode, 0u) << args[0] << ": " << run.Out;
    return run.Out;
  }
  std::string FormText() { return ftest::ReadWholeFile(folder / "Unit1.kfm"); }
  SandboxFolder folder;
};

TEST_F(FilesInDesignTool, LogFileIsAddedInspectedAndSet) {
  Ok({"add", "Unit1.kfm", "TKYTLogFile"});
  auto entries = Inspected(Ok({"inspect", "Unit1.kfm", "LogFile1"}));
  EXPECT_EQ(entries["Header"], "Generic Log File for my Application");
  EXPECT_EQ(entries["Special"], "Logged by User");
  EXPECT_EQ(entries["LogTime"], "False");
  EXPECT_EQ(entries["About"], "(KYT System Components)  (read-only)");
  EXPECT_EQ(entries.count("DesignExecute"), 0u);
  Ok({"set", "Unit1.kfm", "LogFile1.LogTime", "True"});
  Ok({"set", "Unit1.kfm", "LogFile1.LogFile", "C:\\logs\\app.log"});
  entries = Inspected(Ok({"inspect", "Unit1.kfm", "LogFile1"}));
  EXPECT_EQ(entries["LogTime"], "True");
  EXPECT_EQ(entries["LogFile"], "C:\\logs\\app.log");
  EXPECT_NE(FormText().find("Header = 'Generic Log File for my Application'"), std::string::npos) << FormText();
}

TEST_F(FilesInDesignTool, TextReplaceIsAddedInspectedAndSet) {
  Ok({"add", "Unit1.kfm", "TKYTTextReplace"});
  Ok({"set", "Unit1.kfm", "TextReplace1.NoOfLinesOnly", "12"});
  Ok({"set", "Unit1.kfm", "TextReplace1.UseNoOfLines", "True"});
  auto entries = Inspected(Ok({"inspect", "Unit1.kfm", "TextReplace1"}));
  EXPECT_EQ(entries["NoOfLinesOnly"], "12");
  EXPECT_EQ(entries["UseNoOfLines"], "True");
  EXPECT_EQ(entries["FileFrom"], "");
  EXPECT_EQ(entries.count("BeforeWrite"), 1u);
  EXPECT_EQ(entries.count("DesignExecute"), 0u);  // its Execute is not an execute component's
  EXPECT_NE(RunTool(folder, {"test", "Unit1.kfm", "TextReplace1"}).ExitCode, 0u);
}

TEST_F(FilesInDesignTool, DroppedFilesIsAddedInspectedAndSetActiveOnTheDesignedForm) {
  Ok({"add", "Unit1.kfm", "TKYTDroppedFiles"});
  Ok({"set", "Unit1.kfm", "DroppedFiles1.Active", "True"});
  Ok({"set", "Unit1.kfm", "DroppedFiles1.CollectBy", "dFullName"});
  auto entries = Inspected(Ok({"inspect", "Unit1.kfm", "DroppedFiles1"}));
  EXPECT_EQ(entries["Active"], "True");
  EXPECT_EQ(entries["CollectBy"], "dFullName");
  EXPECT_EQ(entries.count("OnDrop"), 1u);
  const std::string text = FormText();
  EXPECT_NE(text.find("Active = True"), std::string::npos) << text;
  EXPECT_EQ(text.find("DroppedItems"), std::string::npos) << text;
}

TEST_F(FilesInDesignTool, FileExecuteTestRunsTheProgramFromTheDesigner) {
  Ok({"add", "Unit1.kfm", "TKYTFileExecute"});
  const std::string report = folder / "report.txt";
  Ok({"set", "Unit1.kfm", "FileExecute1.Filename", ftest::ModuleFolder() + "\\files_test_helper.exe"});
  Ok({"set", "Unit1.kfm", "FileExecute1.ExeParameters", "\"" + report + "\" from-designer"});
  Ok({"set", "Unit1.kfm", "FileExecute1.Wait", "True"});
  Ok({"set", "Unit1.kfm", "FileExecute1.ExeStyle", "osOpen"});
  auto entries = Inspected(Ok({"inspect", "Unit1.kfm", "FileExecute1"}));
  EXPECT_EQ(entries["DesignExecute"], "(Execute Test)  (read-only)");
  EXPECT_EQ(entries["ExeStyle"], "osOpen");
  EXPECT_EQ(entries["Windowstate"], "wsNormal");
  Ok({"test", "Unit1.kfm", "FileExecute1"});
  // With Wait the tool ended only after the program had: its report is there.
  EXPECT_NE(ftest::ReadWholeFile(report).find("args=from-designer"), std::string::npos);
}

}  // namespace
}  // namespace kyt
