// BehaviourTestSupport: the design tool as a child process, sandbox folders.
#include "tests/forms/BehaviourTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/NonAscii.h"
#include "tests/support/StartProcess.h"

namespace kyt::ftest {

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

std::string DesignTool() { return ModuleFolder() + "\\..\\..\\tools\\kytdesign\\kytdesign.exe"; }

void RemoveSandbox(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name != "." && name != ".." && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        ::DeleteFileA((folder + "\\" + name).c_str());
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

std::string MakeSandbox(const std::string& name) {
  const std::string folder =
      ModuleFolder() + "\\" + name + "-" + std::to_string(::GetCurrentProcessId()) + " " + test::kNonAsciiName;
  RemoveSandbox(folder);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

DWORD RunDesignTool(const std::string& args, const std::string& folder, std::string* output) {
  const std::string outPath = folder + "\\tool-output.txt";
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string line = "\"" + DesignTool() + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  const DWORD startError = StartProcess(line, folder, si, pi, true);
  ::CloseHandle(out);
  if (startError) {
    ADD_FAILURE() << "cannot start " << DesignTool() << " (error " << startError << ")";
    return 0xFFFFFFFF;
  }
  ::CloseHandle(pi.hThread);
  DWORD code = 0xFFFFFFFF;
  if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &code);
  else ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hProcess);
  if (output) *output = ReadText(outPath);
  ::DeleteFileA(outPath.c_str());
  return code;
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace kyt::ftest
