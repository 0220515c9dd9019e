// SandboxFolder: a temporary folder of the file tests' own, created for a test and removed with
// everything in it afterwards, plus raw reads and writes of the files in it.
#ifndef KYT_TESTS_FILES_SANDBOXFOLDER_H
#define KYT_TESTS_FILES_SANDBOXFOLDER_H

#include <fstream>
#include <iterator>
#include <string>

#include "host/os/Win.h"
#include "tests/support/NonAscii.h"

namespace kyt::ftest {

class SandboxFolder {
 public:
  // %TEMP%\kyt files <pid> <tag> <non-ASCII name>: unique per process and test, never a drive's root.
  explicit SandboxFolder(const std::string& tag) {
    FPath = test::SandboxPath("files " + std::to_string(::GetCurrentProcessId()) + " " + tag);
    RemoveTree(FPath);
    ::CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~SandboxFolder() { RemoveTree(FPath); }
  SandboxFolder(const SandboxFolder&) = delete;
  SandboxFolder& operator=(const SandboxFolder&) = delete;

  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& name) const { return FPath + "\\" + name; }

 private:
  static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = dir + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(full);
        } else {
          ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          ::DeleteFileA(full.c_str());
        }
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryA(dir.c_str());
  }

  std::string FPath;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
}

inline bool FileIsThere(const std::string& path) {
  const DWORD attr = ::GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of the running test executable.
inline std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s = path;
  return s.substr(0, s.find_last_of("\\/"));
}

}  // namespace kyt::ftest

#endif  // KYT_TESTS_FILES_SANDBOXFOLDER_H
