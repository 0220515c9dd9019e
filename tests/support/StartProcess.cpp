// StartProcess.cpp: a process start that is tried again when Wine refuses it at once.
#include "tests/support/StartProcess.h"

#include <vector>

#include "host/os/OsSeam.h"

namespace kyt {

DWORD StartProcess(const std::string& commandLine, const std::string& folder, STARTUPINFOA& si,
                   PROCESS_INFORMATION& pi, bool inheritHandles) {
  DWORD error = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    // CreateProcessA may write into the command line, so each attempt gets a fresh copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (os::kernel32.CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0,
                                    nullptr, folder.empty() ? nullptr : folder.c_str(), &si, &pi))
      return 0;
    error = os::kernel32.GetLastError();
  }
  return error ? error : ERROR_GEN_FAILURE;
}

}  // namespace kyt
