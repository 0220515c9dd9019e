// RtlTestSupport.h: helpers shared by the run-time library tests: a temporary folder of the
// test's own, raw file reads and writes, registry clean-up, and scoped restorers. They use the
// platform directly so that the code under test does not check itself.
#ifndef KYT_TESTS_RTL_RTLTESTSUPPORT_H
#define KYT_TESTS_RTL_RTLTESTSUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/os/Win.h"
#include "host/rtl/DateTime.h"
#include "tests/support/NonAscii.h"

namespace kyt::rtltest {

// Test registry keys live below this path of HKEY_CURRENT_USER.
inline const std::string kRegistryBase = test::kTestsKey + "\\Rtl";

inline void DeleteTreeRaw(HKEY root, const std::string& path) {
  HKEY key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    std::vector<std::string> children;
    char name[512];
    for (DWORD i = 0;; ++i) {
      DWORD len = sizeof name;
      if (::RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      children.emplace_back(name, len);
    }
    ::RegCloseKey(key);
    for (const std::string& c : children) DeleteTreeRaw(root, path + "\\" + c);
  }
  ::RegDeleteKeyA(root, path.c_str());
}

// A value read with the raw API: type and bytes; type REG_NONE and empty when missing.
struct RawValue {
  DWORD type = REG_NONE;
  std::string data;
  bool found = false;
};
inline RawValue ReadRaw(HKEY root, const std::string& path, const std::string& name) {
  RawValue v;
  HKEY key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.data.assign(size, '\0');
    ::RegQueryValueExA(key, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(v.data.data()),
                       &size);
    v.data.resize(size);
    v.found = true;
  }
  ::RegCloseKey(key);
  return v;
}
inline void WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
                     const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
}

inline void RemoveTreeRaw(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + "\\" + name;
      ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTreeRaw(full);
      else ::DeleteFileA(full.c_str());
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }
  ::SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryA(dir.c_str());
}

// A fresh folder in the temp directory for one test, removed with everything in it.
class TempDir {
 public:
  explicit TempDir(const std::string& tag) {
    FPath = test::SandboxPath("rtl " + tag + " " + std::to_string(::GetCurrentProcessId()));
    RemoveTreeRaw(FPath);
    ::CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~TempDir() { RemoveTreeRaw(FPath); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& name) const { return FPath + "\\" + name; }

 private:
  std::string FPath;
};

inline bool WriteBytes(const std::string& file, const std::string& bytes) {
  HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  ::CloseHandle(h);
  return ok && done == bytes.size();
}

// The file's bytes; "<missing>" when it cannot be opened (with any sharing).
inline std::string ReadBytes(const std::string& file) {
  HANDLE h = ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  ::CloseHandle(h);
  return out;
}

// True when nobody else holds the file open (an exclusive open succeeds).
inline bool OpenExclusively(const std::string& file) {
  HANDLE h = ::CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

inline bool PathExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Puts the process's current directory back at the end of the scope.
class ScopedCurrentDir {
 public:
  ScopedCurrentDir() {
    char buf[MAX_PATH + 1];
    ::GetCurrentDirectoryA(sizeof buf, buf);
    FSaved = buf;
  }
  ~ScopedCurrentDir() { ::SetCurrentDirectoryA(FSaved.c_str()); }
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

 private:
  std::string FSaved;
};

// Puts the global FormatSettings back at the end of the scope.
class ScopedFormatSettings {
 public:
  ScopedFormatSettings() : FSaved(kyt::FormatSettings) {}
  ~ScopedFormatSettings() { kyt::FormatSettings = FSaved; }
  ScopedFormatSettings(const ScopedFormatSettings&) = delete;
  ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

 private:
  kyt::TFormatSettings FSaved;
};

// A drive letter (1 = A) that this machine does not have, or 0 when every letter is taken.
inline int MissingDrive() {
  DWORD drives = ::GetLogicalDrives();
  for (int d = 17; d <= 26; ++d)  // Q: to Z:
    if (!(drives & (1u << (d - 1)))) return d;
  return 0;
}

inline std::string DriveRoot(int drive) {
  return std::string(1, static_cast<char>('A' + drive - 1)) + ":\\";
}

}  // namespace kyt::rtltest

#endif  // KYT_TESTS_RTL_RTLTESTSUPPORT_H
