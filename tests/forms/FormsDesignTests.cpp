// The application and form components in the design tool: the real kytdesign.exe adds,
// inspects and sets them on a form file in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "tests/support/StartProcess.h"

namespace kyt {
namespace {

struct TToolRun {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Out;
  std::string Err;
};

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

class ApplicationFormsInDesignTool : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe";
    ASSERT_NE(::GetFileAttributesA(tool_.c_str()), INVALID_FILE_ATTRIBUTES) << "the design tool is not built";
    folder_ = ModuleFolder() + "\\forms-design-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    form_ = folder_ + "\\Unit1.kfm";
    ::DeleteFileA(form_.c_str());
    ASSERT_EQ(Run({"new", "Unit1.kfm"}).ExitCode, 0u);
  }
  void TearDown() override {
    for (const char* name : {"\\Unit1.kfm", "\\out.txt", "\\err.txt", "\\Unit1.kfm.kytdesign-tmp"})
      ::DeleteFileA((folder_ + name).c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }

  TToolRun Run(const std::vector<std::string>& args) {
    TToolRun run;
    const std::string outPath = folder_ + "\\out.txt", errPath = folder_ + "\\err.txt";
    HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
    std::string line = "\"" + tool_ + "\"";
    for (const std::string& a : args) line += a.find(' ') == std::string::npos ? " " + a : " \"" + a + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const DWORD startError = StartProcess(line, folder_, si, pi, true);
    const bool started = startError == 0;
    ::CloseHandle(out);
    ::CloseHandle(err);
    EXPECT_TRUE(started) << "cannot start " << tool_ << " (error " << startError << ")";
    if (!started) return run;
    if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the design tool did not end";
      ::TerminateProcess(pi.hProcess, 1);
      ::WaitForSingleObject(pi.hProcess, 5000);
    }
    ::GetExitCodeProcess(pi.hProcess, &run.ExitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    run.Out = ReadFileText(outPath);
    std::erase(run.Out, '\r');  // the tool writes text-mode lines
    run.Err = ReadFileText(errPath);
    return run;
  }
  std::string Ok(const std::vector<std::string>& args) {
    const TToolRun run = Run(args);
    EXPECT_EQ(run.ExitCode, 0u) << args[0] << ": " << run.Err;
    return run.Out;
  }
  static bool Has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }
  std::string FormText() const { return ReadFileText(form_); }

  std::string tool_, folder_, form_;
};

TEST_F(ApplicationFormsInDesignTool, ApplicationComponentShowsTheDesignersSettingsAndStoresWhatIsSet) {
  EXPECT_EQ(Ok({"add", "Unit1.kfm", "TKYTApplication"}), "Application1\n");
  const std::string inspect = Ok({"inspect", "Unit1.kfm", "Application1"});
  for (const char* line : {"HintColor = ", "HintPause = ", "ApplicationIcon = ", "ShowHint = ",
                           "ApplicationTitle = kytdesign", "OnIdle = ", "OnShowHint = ",
                           "About = (KYT System Components)  (read-only)"})
    EXPECT_TRUE(Has(inspect, line)) << line << "\n" << inspect;
  EXPECT_TRUE(Has(FormText(), "ApplicationTitle = 'kytdesign'")) << "a new component stores the designer's title";

  Ok({"set", "Unit1.kfm", "Application1.ApplicationTitle", "Designed title"});
  Ok({"set", "Unit1.kfm", "Application1.HintPause", "1200"});
  Ok({"set", "Unit1.kfm", "Application1.OnIdle", "AppIdle"});
  const std::string text = FormText();
  EXPECT_TRUE(Has(text, "ApplicationTitle = 'Designed title'")) << text;
  EXPECT_TRUE(Has(text, "HintPause = 1200")) << text;
  EXPECT_TRUE(Has(text, "OnIdle = AppIdle")) << text;
  // Opening the form again in the designer hands the settings, not the handler, to the tool.
  EXPECT_TRUE(Has(Ok({"inspect", "Unit1.kfm", "Application1"}), "OnIdle = AppIdle"));
  EXPECT_NE(Run({"add", "Unit1.kfm", "TKYTApplication"}).ExitCode, 0u) << "a second one must be refused";
}

TEST_F(ApplicationFormsInDesignTool, GuardIsPlacedInspectedAndSetWithoutChecking) {
  EXPECT_EQ(Ok({"add", "Unit1.kfm", "TKYTOnlyOne"}), "OnlyOne1\n");
  const std::string inspect = Ok({"inspect", "Unit1.kfm", "OnlyOne1"});
  EXPECT_TRUE(Has(inspect, "Instances = 1")) << inspect;
  EXPECT_TRUE(Has(inspect, "OnExceed = aRestoreAndExit")) << inspect;
  EXPECT_TRUE(Has(inspect, "OnExceeded = ")) << inspect;
  Ok({"set", "Unit1.kfm", "OnlyOne1.Instances", "0"});
  Ok({"set", "Unit1.kfm", "OnlyOne1.OnExceed", "aExit"});
  // Instances 0 and aExit would end any running copy: the designer never checks.
  const std::string text = FormText();
  EXPECT_TRUE(Has(text, "Instances = 0")) << text;
  EXPECT_TRUE(Has(text, "OnExceed = aExit")) << text;
  EXPECT_NE(Run({"set", "Unit1.kfm", "OnlyOne1.Instances", "256"}).ExitCode, 0u) << "a Byte holds at most 255";
  EXPECT_NE(Run({"add", "Unit1.kfm", "TKYTOnlyOne"}).ExitCode, 0u) << "a second one must be refused";
}

TEST_F(ApplicationFormsInDesignTool, TrayIconIsPlacedInspectedAndSet) {
  EXPECT_EQ(Ok({"add", "Unit1.kfm", "TKYTSystemTray"}), "SystemTray1\n");
  const std::string inspect = Ok({"inspect", "Unit1.kfm", "SystemTray1"});
  for (const char* line : {"Enabled = False", "Hint = ", "PopupMenu = ", "NormalIcon = False", "OnRightClick = "})
    EXPECT_TRUE(Has(inspect, line)) << line << "\n" << inspect;
  Ok({"set", "Unit1.kfm", "SystemTray1.Enabled", "True"});
  Ok({"set", "Unit1.kfm", "SystemTray1.NormalIcon", "True"});
  Ok({"set", "Unit1.kfm", "SystemTray1.Hint", "Designed tip"});
  Ok({"set", "Unit1.kfm", "SystemTray1.OnClick", "TrayClick"});
  const std::string text = FormText();
  for (const char* line : {"Enabled = True", "NormalIcon = True", "Hint = 'Designed tip'", "OnClick = TrayClick"})
    EXPECT_TRUE(Has(text, line)) << line << "\n" << text;
}

}  // namespace
}  // namespace kyt
