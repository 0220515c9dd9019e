// SystemTestSupport: sandbox folders, form text and the design-tool runner.
#include "tests/system/SystemTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "host/core/FormFile.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/NonAscii.h"
#include "tests/support/StartProcess.h"

namespace kyt {

namespace {
std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::string InspectLine(const std::string& inspectOutput, const std::string& path) {
  for (const std::string& l : Lines(inspectOutput))
    if (l.rfind(path + " = ", 0) == 0) return l;
  return "";
}
}  // namespace

TSandbox::TSandbox() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  FPath = ModuleFolder() + "\\system-tmp " + test::kNonAsciiName;
  ::CreateDirectoryA(FPath.c_str(), nullptr);
  FPath += std::string("\\") + (info ? info->test_suite_name() + std::string(".") + info->name() : "sandbox");
  for (char& c : FPath)
    if (c == '/') c = '_';
  RemoveTree(FPath);
  ::CreateDirectoryA(FPath.c_str(), nullptr);
}

TSandbox::~TSandbox() { RemoveTree(FPath); }

std::string FormText(TComponent& root) { return WriteComponentText(root); }

void ReadFormText(TComponent& root, const std::string& text) { ReadRootText(root, text, "system-test.kfm"); }

TToolRun RunDesignTool(const std::string& folder, const std::vector<std::string>& args, const char* press,
                       std::vector<std::string>* seenTexts) {
  TToolRun run;
  const std::string tool = ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe";
  const std::string outPath = folder + "\\out.txt", errPath = folder + "\\err.txt";
  HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
  std::string line = Quote(tool);
  for (const std::string& a : args) line += " " + Quote(a);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  const DWORD startError = StartProcess(line, folder, si, pi, true);
  ::CloseHandle(out);
  ::CloseHandle(err);
  EXPECT_EQ(startError, 0u) << "cannot start " << tool;
  if (startError) return run;
  if (press) {
    // A dialog answerer works only in its own process: this looks for the child's window.
    HWND button = nullptr;
    for (int i = 0; i < 1500 && !button; ++i) {
      if (::WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
      for (HWND top : TopLevelWindowsOf(pi.dwProcessId, true)) {
        for (HWND child : ChildWindows(top)) {
          if (WindowClass(child) == "Button" && WindowText(child) == press) {
            button = child;
            if (seenTexts)
              for (HWND c : ChildWindows(top)) seenTexts->push_back(WindowText(c));
          }
        }
      }
    }
    EXPECT_NE(button, nullptr) << "no window of the design tool with " << press << " appeared";
    if (button) ::PostMessageA(button, BM_CLICK, 0, 0);
  }
  if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the design tool did not end";
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, 5000);
  }
  ::GetExitCodeProcess(pi.hProcess, &run.ExitCode);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  run.Out = ReadWholeFile(outPath);
  run.Err = ReadWholeFile(errPath);
  return run;
}

std::string InspectValue(const std::string& inspectOutput, const std::string& path) {
  std::string l = InspectLine(inspectOutput, path);
  if (l.empty()) return "<missing>";
  l = l.substr(path.size() + 3);
  const std::string mark = "  (read-only)";
  if (l.size() >= mark.size() && l.compare(l.size() - mark.size(), mark.size(), mark) == 0)
    l.resize(l.size() - mark.size());
  return l;
}

bool InspectReadOnly(const std::string& inspectOutput, const std::string& path) {
  return InspectLine(inspectOutput, path).find("(read-only)") != std::string::npos;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace kyt
