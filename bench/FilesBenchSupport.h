// FilesBenchSupport: a scratch folder under the temporary folder for the file benchmarks, filled
// and removed with the plain calls.
#ifndef KYT_BENCH_FILESBENCHSUPPORT_H
#define KYT_BENCH_FILESBENCHSUPPORT_H

#include <string>

#include "host/os/OsSeam.h"
#include "host/os/Win.h"

namespace kyt::bench {

inline void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = os::kernel32.FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
      else os::kernel32.DeleteFileA(full.c_str());
    } while (os::kernel32.FindNextFileA(h, &fd));
    os::kernel32.FindClose(h);
  }
  os::kernel32.RemoveDirectoryA(dir.c_str());
}

// A fresh folder "<temp>kyt-bench-<tag>-<pid>", removed with its content at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag) {
    char temp[MAX_PATH + 1];
    os::kernel32.GetTempPathA(sizeof temp, temp);
    FPath = std::string(temp) + "kyt-bench-" + tag + "-" + std::to_string(os::kernel32.GetCurrentProcessId());
    RemoveTree(FPath);
    os::kernel32.CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~ScratchFolder() { RemoveTree(FPath); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

inline bool MakeFile(const std::string& path) {
  HANDLE h = os::kernel32.CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  os::kernel32.WriteFile(h, "bench", 5, &done, nullptr);
  os::kernel32.CloseHandle(h);
  return true;
}

}  // namespace kyt::bench

#endif  // KYT_BENCH_FILESBENCHSUPPORT_H
