// DesignToolRun.h: runs the real kytdesign.exe as a child process in a folder of the test's
// own and gives its exit code and output, for the design-tool tests of each component folder.
//   kyt::DesignToolRun tool("strings");          // a fresh folder beside the test executable
//   auto run = tool.Run({"add", "Unit1.kfm", "TKYTJokeHolder", "Jokes1"});
#ifndef KYT_TESTS_SUPPORT_DESIGNTOOLRUN_H
#define KYT_TESTS_SUPPORT_DESIGNTOOLRUN_H

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "tests/support/StartProcess.h"

namespace kyt {

struct DesignToolResult {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Out;
  std::string Err;
};

class DesignToolRun {
 public:
  // Works in a new folder <test executable's folder>\<name>-design-<pid>-<n>, removed at the end.
  explicit DesignToolRun(const std::string& name) {
    static int serial = 0;
    folder_ = ModuleFolder() + "\\" + name + "-design-" + std::to_string(::GetCurrentProcessId()) +
              "-" + std::to_string(++serial);
    ::CreateDirectoryA(folder_.c_str(), nullptr);
  }
  ~DesignToolRun() {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder_ + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string entry = data.cFileName;
        if (entry != "." && entry != "..") ::DeleteFileA((folder_ + "\\" + entry).c_str());
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryA(folder_.c_str());
  }
  DesignToolRun(const DesignToolRun&) = delete;
  DesignToolRun& operator=(const DesignToolRun&) = delete;

  static std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s = path;
    return s.substr(0, s.find_last_of("\\/"));
  }
  static std::string ToolPath() { return ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe"; }
  static bool ToolBuilt() { return ::GetFileAttributesA(ToolPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

  const std::string& Folder() const { return folder_; }
  std::string File(const std::string& name) const { return folder_ + "\\" + name; }
  std::string ReadText(const std::string& name) const {
    std::ifstream file(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  // Runs the tool with args (quoted where needed) and waits for it, at most a minute.
  DesignToolResult Run(std::initializer_list<std::string> args) const {
    DesignToolResult result;
    const std::string outPath = File("out.txt"), errPath = File("err.txt");
    HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
    std::string line = Quote(ToolPath());
    for (const std::string& a : args) line += " " + Quote(a);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const DWORD startError = StartProcess(line, folder_, si, pi, true);
    ::CloseHandle(out);
    ::CloseHandle(err);
    if (startError) {
      result.Err = "cannot start " + ToolPath() + " (error " + std::to_string(startError) + ")";
      return result;
    }
    ::CloseHandle(pi.hThread);
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
      ::GetExitCodeProcess(pi.hProcess, &result.ExitCode);
    } else {
      ::TerminateProcess(pi.hProcess, 1);
      ::WaitForSingleObject(pi.hProcess, 5000);
    }
    ::CloseHandle(pi.hProcess);
    // The tool writes text mode; the tests compare plain line ends.
    result.Out = WithoutCarriageReturns(ReadText("out.txt"));
    result.Err = WithoutCarriageReturns(ReadText("err.txt"));
    return result;
  }

  // The line of an inspect output that shows property name ("  Name = value ..."), or empty.
  static std::string InspectLine(const std::string& output, const std::string& name) {
    size_t pos = 0;
    while (pos < output.size()) {
      size_t end = output.find('\n', pos);
      if (end == std::string::npos) end = output.size();
      std::string line = output.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t start = line.find_first_not_of(' ');
      if (start != std::string::npos && line.compare(start, name.size(), name) == 0 &&
          (line.size() == start + name.size() || line[start + name.size()] == ' '))
        return line;
      pos = end + 1;
    }
    return std::string();
  }

 private:
  static std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
  }
  static std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    for (char c : arg) {
      if (c == '"') out += '\\';
      out += c;
    }
    return out + "\"";
  }
  static HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  std::string folder_;
};

}  // namespace kyt

// Assert (in a test body) that a run of the tool ended with 0, and printed expected; a failure
// shows what the tool wrote on its error output.
#define ASSERT_TOOL_OK(run)                                            \
  do {                                                                 \
    const ::kyt::DesignToolResult kytToolRun = (run);                  \
    ASSERT_EQ(kytToolRun.ExitCode, 0u) << kytToolRun.Err;              \
  } while (0)
#define ASSERT_TOOL_OUT(run, expected)                                 \
  do {                                                                 \
    const ::kyt::DesignToolResult kytToolRun = (run);                  \
    ASSERT_EQ(kytToolRun.ExitCode, 0u) << kytToolRun.Err;              \
    ASSERT_EQ(kytToolRun.Out, expected) << kytToolRun.Err;             \
  } while (0)

#endif  // KYT_TESTS_SUPPORT_DESIGNTOOLRUN_H
