// InfoTestSupport: helpers of the system information tests: a sandbox folder of the test's own,
// child processes whose output is read back, and a registry key that is removed afterwards.
#ifndef KYT_TESTS_SYSTEM_INFOTESTSUPPORT_H
#define KYT_TESTS_SYSTEM_INFOTESTSUPPORT_H

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/os/OsSeam.h"
#include "tests/support/NonAscii.h"
#include "tests/support/StartProcess.h"

namespace kyt::infotest {

inline std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  os::kernel32.GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

inline std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

// "Name=Value" or "Name = Value" lines as a map (the first separator splits).
inline std::map<std::string, std::string> NamedValues(const std::string& text, const std::string& separator) {
  std::map<std::string, std::string> values;
  for (const std::string& l : Lines(text)) {
    const size_t at = l.find(separator);
    if (at != std::string::npos) values[l.substr(0, at)] = l.substr(at + separator.size());
  }
  return values;
}

// A folder of the current test below the test program's folder, emptied of the files the test
// names and removed at the end.
class Sandbox {
 public:
  explicit Sandbox(const std::string& area) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string base = ModuleFolder() + "\\" + area;
    os::kernel32.CreateDirectoryA(base.c_str(), nullptr);
    FPath = base + "\\" + info->test_suite_name() + "." + info->name();
    for (char& c : FPath)
      if (c == '/') c = '_';
    os::kernel32.CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~Sandbox() {
    for (const std::string& f : FFiles) os::kernel32.DeleteFileA(f.c_str());
    os::kernel32.RemoveDirectoryA(FPath.c_str());
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& Path() const { return FPath; }
  // A file name in the folder, deleted now and at the end.
  std::string File(const std::string& name) {
    const std::string f = FPath + "\\" + name;
    os::kernel32.DeleteFileA(f.c_str());
    FFiles.push_back(f);
    return f;
  }

 private:
  std::string FPath;
  std::vector<std::string> FFiles;
};

struct ChildRun {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Out;
  std::string Err;
};

inline std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Runs exe with args in the sandbox and waits for it (60 s at most, then it is ended).
inline ChildRun RunChild(Sandbox& box, const std::string& exe, const std::vector<std::string>& args = {}) {
  ChildRun run;
  const std::string outPath = box.File("child-out.txt"), errPath = box.File("child-err.txt");
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = os::kernel32.CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE err = os::kernel32.CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string line = Quote(exe);
  for (const std::string& a : args) line += " " + Quote(a);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  const DWORD startError = StartProcess(line, box.Path(), si, pi, true);
  os::kernel32.CloseHandle(out);
  os::kernel32.CloseHandle(err);
  EXPECT_EQ(startError, 0u) << "cannot start " << exe;
  if (startError) return run;
  if (os::kernel32.WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << exe << " did not end";
    os::kernel32.TerminateProcess(pi.hProcess, 1);
    os::kernel32.WaitForSingleObject(pi.hProcess, 5000);
  }
  os::kernel32.GetExitCodeProcess(pi.hProcess, &run.ExitCode);
  os::kernel32.CloseHandle(pi.hThread);
  os::kernel32.CloseHandle(pi.hProcess);
  run.Out = ReadFileText(outPath);
  run.Err = ReadFileText(errPath);
  return run;
}

// A key of the test's own below the suites' test key, deleted when created and at the end.
class TestKey {
 public:
  explicit TestKey(const std::string& name) : FPath(test::kTestsKey + "\\" + name) {
    Delete();
    os::advapi32.RegCreateKeyExA(HKEY_CURRENT_USER, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey,
                                 nullptr);
  }
  ~TestKey() {
    if (FKey) os::advapi32.RegCloseKey(FKey);
    Delete();
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  const std::string& Path() const { return FPath; }
  void SetString(const char* name, const std::string& value, DWORD type = REG_SZ) {
    os::advapi32.RegSetValueExA(FKey, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
  }
  void SetDword(const char* name, DWORD value) {
    os::advapi32.RegSetValueExA(FKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }

 private:
  void Delete() {
    HKEY parent = nullptr;
    if (os::advapi32.RegOpenKeyExA(HKEY_CURRENT_USER, test::kTestsKey.c_str(), 0, KEY_ALL_ACCESS, &parent) ==
        ERROR_SUCCESS) {
      os::advapi32.RegDeleteKeyA(parent, FPath.substr(FPath.find_last_of('\\') + 1).c_str());
      os::advapi32.RegCloseKey(parent);
    }
  }
  std::string FPath;
  HKEY FKey = nullptr;
};

}  // namespace kyt::infotest

#endif  // KYT_TESTS_SYSTEM_INFOTESTSUPPORT_H
