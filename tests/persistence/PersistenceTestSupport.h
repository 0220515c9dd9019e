// PersistenceTestSupport: the persistence tests' own registry keys and temporary folders, and
// raw looks at what a back-end really wrote.
#ifndef KYT_TESTS_PERSISTENCE_PERSISTENCETESTSUPPORT_H
#define KYT_TESTS_PERSISTENCE_PERSISTENCETESTSUPPORT_H

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "tests/support/NonAscii.h"

namespace kyt::ptest {

// Every key the persistence tests touch lives below this one.
inline const std::string kTestsKey = test::kTestsKey + "\\Persistence";

// Removes a key below HKCU with everything in it; a missing key is not an error.
inline void DeleteTestKey(const std::string& path) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

inline bool TestKeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

// The raw value below HKCU\path, with its registry type; nullopt when it does not exist.
struct RawRegValue {
  DWORD type = REG_NONE;
  std::string text;
};
inline std::optional<RawRegValue> ReadRawRegValue(const std::string& path,
                                                  const std::string& name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  LONG rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) {
    ::RegCloseKey(key);
    return std::nullopt;
  }
  std::vector<char> data(size + 1, '\0');
  rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &size);
  ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  RawRegValue value;
  value.type = type;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    value.text.assign(data.data(), size);
    while (!value.text.empty() && value.text.back() == '\0') value.text.pop_back();
  } else if (type == REG_DWORD && size == 4) {
    value.text = std::to_string(*reinterpret_cast<const DWORD*>(data.data()));
  }
  return value;
}

inline int CountRegValues(const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return -1;
  DWORD count = 0;
  ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
  ::RegCloseKey(key);
  return static_cast<int>(count);
}

inline void WriteRawRegString(const std::string& path, const std::string& name,
                              const std::string& text) {
  HKEY key = nullptr;
  ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                    nullptr);
  ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  ::RegCloseKey(key);
}

// A fresh folder of the test's own below the temporary folder, removed with its files.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    std::string safe = name;
    for (char& c : safe)
      if (c == '/' || c == '\\' || c == ':') c = '-';
    path_ = test::SandboxPath("persistence " + std::to_string(::GetCurrentProcessId()) + " " + safe);
    Clear();
    ::CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { Clear(); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  void Clear() {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path_ + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string entry = data.cFileName;
        if (entry != "." && entry != "..") ::DeleteFileA((path_ + "\\" + entry).c_str());
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryA(path_.c_str());
  }
  std::string path_;
};

// The bytes of a file; nullopt when it does not exist.
inline std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The raw text after "name=" in [section] of an ini file, read line by line without the
// platform's trimming; nullopt when the line is missing.
inline std::optional<std::string> ReadRawIniValue(const std::string& file,
                                                  const std::string& section,
                                                  const std::string& name) {
  const auto bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  std::istringstream in(*bytes);
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inSection = _stricmp(line.c_str(), ("[" + section + "]").c_str()) == 0;
      continue;
    }
    if (inSection && line.size() > name.size() && line[name.size()] == '=' &&
        _strnicmp(line.c_str(), name.c_str(), name.size()) == 0)
      return line.substr(name.size() + 1);
  }
  return std::nullopt;
}

}  // namespace kyt::ptest

#endif  // KYT_TESTS_PERSISTENCE_PERSISTENCETESTSUPPORT_H
