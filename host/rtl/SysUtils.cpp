// SysUtils.cpp: file, directory, drive, string and error utilities over the OS seam.
#include "host/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "host/rtl/RtlPrivate.h"
#include "host/rtl/WideText.h"

namespace kyt {

using os::kernel32;
using rtl_private::CheckPath;

namespace {

// Index of the last character of s that is one of delims, skipping the trail bytes of double-byte
// characters of the system code page; npos when there is none.
size_t LastDelimiter(std::string_view delims, const std::string& s) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80 && i + 1 < s.size() && kernel32.IsDBCSLeadByte(c)) {
      ++i;
      continue;
    }
    if (delims.find(static_cast<char>(c)) != std::string_view::npos) last = i;
  }
  return last;
}

// Refuses a path the ANSI functions cannot take: sets the last error and returns false.
bool PathUsable(const std::string& path) {
  if (DWORD code = CheckPath(path)) {
    kernel32.SetLastError(code);
    return false;
  }
  return true;
}

int ToDosStamp(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!kernel32.FileTimeToLocalFileTime(&utc, &local)) return -1;
  if (!kernel32.FileTimeToDosDateTime(&local, &date, &time)) return -1;
  return static_cast<int>((static_cast<DWORD>(date) << 16) | time);
}

int64_t DiskSpace(int drive, bool freeSpace) {
  if (drive < 0 || drive > 26) return -1;
  char root[4] = {static_cast<char>('A' + drive - 1), ':', '\\', '\0'};
  // No "insert a disk" box for an empty removable drive: the query just fails.
  os::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ULARGE_INTEGER available{}, total{};
  if (!kernel32.GetDiskFreeSpaceExA(drive == 0 ? nullptr : root, &available, &total, nullptr))
    return -1;
  return static_cast<int64_t>(freeSpace ? available.QuadPart : total.QuadPart);
}

bool ParseInteger(const std::string& s, int64_t& value, bool wide) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  const uint64_t hexLimit = wide ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  const uint64_t decLimit = wide ? (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull)
                                 : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  const uint64_t limit = base == 16 ? hexLimit : decLimit;
  uint64_t acc = 0;
  for (; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && std::isxdigit(c)) digit = std::tolower(c) - 'a' + 10;
    else return false;
    if (acc > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) return false;
    acc = acc * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (base == 16 && !wide) acc = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(acc)));
  int64_t v = static_cast<int64_t>(acc);
  value = negative ? static_cast<int64_t>(0 - acc) : v;
  return true;
}

}  // namespace

// File names

std::string ExtractFilePath(const std::string& fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  return i == std::string::npos ? std::string() : fileName.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  if (i == std::string::npos) return std::string();
  // "C:\Data\" gives "C:\Data", but the root "C:\" and "\" keep their backslash.
  if (i > 0 && fileName[i] == '\\' && fileName[i - 1] != '\\' && fileName[i - 1] != ':') --i;
  return fileName.substr(0, i + 1);
}

std::string ExtractFileName(const std::string& fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  return i == std::string::npos ? fileName : fileName.substr(i + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
  size_t i = LastDelimiter(".\\:", fileName);
  if (i != std::string::npos && fileName[i] == '.') return fileName.substr(i);
  return std::string();
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  size_t i = LastDelimiter(".\\:", fileName);
  if (i == std::string::npos || fileName[i] != '.') i = fileName.size();
  return fileName.substr(0, i) + extension;
}

std::string IncludeTrailingBackslash(const std::string& s) {
  if (!s.empty() && LastDelimiter("\\", s) == s.size() - 1) return s;
  return s + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& s) {
  if (!s.empty() && LastDelimiter("\\", s) == s.size() - 1) return s.substr(0, s.size() - 1);
  return s;
}

std::string ExpandFileName(const std::string& fileName) {
  if (fileName.empty() || CheckPath(fileName)) return std::string();
  auto full = rtl_private::ReadGrowing([&](char* buf, DWORD size) {
    return kernel32.GetFullPathNameA(fileName.c_str(), size, buf, nullptr);
  });
  if (!full || WideLength(*full) >= MAX_PATH) return std::string();
  return *full;
}

// Queries

bool FileExists(const std::string& fileName) {
  if (CheckPath(fileName)) return false;
  DWORD attr = kernel32.GetFileAttributesA(fileName.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& name) {
  if (CheckPath(name)) return false;
  DWORD attr = kernel32.GetFileAttributesA(name.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

int FileGetAttr(const std::string& fileName) {
  if (!PathUsable(fileName)) return -1;
  return static_cast<int>(kernel32.GetFileAttributesA(fileName.c_str()));
}

int FileAge(const std::string& fileName) {
  if (!PathUsable(fileName)) return -1;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!kernel32.GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return ToDosStamp(data.ftLastWriteTime);
}

// Operations that report by result

bool RenameFile(const std::string& oldName, const std::string& newName) {
  if (!PathUsable(oldName) || !PathUsable(newName)) return false;
  return kernel32.MoveFileA(oldName.c_str(), newName.c_str()) != FALSE;
}

bool DeleteFile(const std::string& fileName) {
  if (!PathUsable(fileName)) return false;
  return kernel32.DeleteFileA(fileName.c_str()) != FALSE;
}

bool CreateDir(const std::string& dir) {
  if (!PathUsable(dir)) return false;
  return kernel32.CreateDirectoryA(dir.c_str(), nullptr) != FALSE;
}

bool RemoveDir(const std::string& dir) {
  if (!PathUsable(dir)) return false;
  return kernel32.RemoveDirectoryA(dir.c_str()) != FALSE;
}

bool SetCurrentDir(const std::string& dir) {
  if (!PathUsable(dir)) return false;
  return kernel32.SetCurrentDirectoryA(dir.c_str()) != FALSE;
}

bool ForceDirectories(const std::string& dir) {
  if (dir.empty()) throw EInOutError("Unable to create directory", ERROR_INVALID_NAME);
  if (!PathUsable(dir)) return false;
  std::string d = ExcludeTrailingBackslash(dir);
  if (d.empty() || DirectoryExists(d)) return true;
  std::string parent = ExtractFilePath(d);
  // A drive root ("C:", "C:\") is never created.
  if (parent == d) return true;
  if (!parent.empty() && !ForceDirectories(parent)) return false;
  return CreateDir(d) || DirectoryExists(d);
}

int FileSetAttr(const std::string& fileName, int attr) {
  if (DWORD code = CheckPath(fileName)) return static_cast<int>(code);
  if (kernel32.SetFileAttributesA(fileName.c_str(), static_cast<DWORD>(attr))) return 0;
  return static_cast<int>(kernel32.GetLastError());
}

// Handle-level file access

os::UniqueFile FileOpen(const std::string& fileName, unsigned mode) {
  static const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  static const DWORD share[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE};
  unsigned accessIndex = mode & 0x0F, shareIndex = (mode & 0xF0) >> 4;
  if (accessIndex > 2 || shareIndex > 4) {
    kernel32.SetLastError(ERROR_INVALID_PARAMETER);
    return os::UniqueFile();
  }
  if (!PathUsable(fileName)) return os::UniqueFile();
  return os::UniqueFile(kernel32.CreateFileA(fileName.c_str(), access[accessIndex],
                                             share[shareIndex], nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
}

os::UniqueFile FileCreate(const std::string& fileName) {
  if (!PathUsable(fileName)) return os::UniqueFile();
  return os::UniqueFile(kernel32.CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
}

void FileClose(os::UniqueFile& file) { file.reset(); }

int FileRead(HANDLE file, void* buffer, int count) {
  DWORD done = 0;
  if (count < 0 || !kernel32.ReadFile(file, buffer, static_cast<DWORD>(count), &done, nullptr))
    return -1;
  return static_cast<int>(done);
}

int FileWrite(HANDLE file, const void* buffer, int count) {
  DWORD done = 0;
  if (count < 0 || !kernel32.WriteFile(file, buffer, static_cast<DWORD>(count), &done, nullptr))
    return -1;
  return static_cast<int>(done);
}

int64_t FileSeek(HANDLE file, int64_t offset, int origin) {
  if (origin < 0 || origin > 2) return -1;
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!kernel32.SetFilePointerEx(file, distance, &position, static_cast<DWORD>(origin))) return -1;
  return position.QuadPart;
}

int FileGetDate(HANDLE file) {
  FILETIME written;
  if (!kernel32.GetFileTime(file, nullptr, nullptr, &written)) return -1;
  return ToDosStamp(written);
}

int FileSetDate(HANDLE file, int age) {
  FILETIME local, utc;
  if (kernel32.DosDateTimeToFileTime(HIWORD(static_cast<DWORD>(age)),
                                     LOWORD(static_cast<DWORD>(age)), &local) &&
      kernel32.LocalFileTimeToFileTime(&local, &utc) &&
      kernel32.SetFileTime(file, nullptr, nullptr, &utc))
    return 0;
  return static_cast<int>(kernel32.GetLastError());
}

int FileSetDate(const std::string& fileName, int age) {
  os::UniqueFile file = FileOpen(fileName, fmOpenWrite | fmShareDenyNone);
  if (!file) return static_cast<int>(kernel32.GetLastError());
  return FileSetDate(file.get(), age);
}

// Directory search

namespace {
int FindMatchingFile(TSearchRec& F) {
  while (F.FindData.dwFileAttributes & static_cast<DWORD>(F.ExcludeAttr)) {
    if (!kernel32.FindNextFileA(F.FindHandle.get(), &F.FindData))
      return static_cast<int>(kernel32.GetLastError());
  }
  F.Time = ToDosStamp(F.FindData.ftLastWriteTime);
  F.Size = static_cast<int64_t>((static_cast<uint64_t>(F.FindData.nFileSizeHigh) << 32) |
                                F.FindData.nFileSizeLow);
  F.Attr = static_cast<int>(F.FindData.dwFileAttributes);
  F.Name = rtl_private::UpToZero(F.FindData.cFileName, sizeof F.FindData.cFileName);
  return 0;
}
}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& F) {
  constexpr int faSpecial = faHidden | faSysFile | faVolumeID | faDirectory;
  F.FindHandle.reset();
  F.ExcludeAttr = ~attr & faSpecial;
  if (DWORD code = CheckPath(path)) return static_cast<int>(code);
  F.FindHandle.reset(kernel32.FindFirstFileA(path.c_str(), &F.FindData));
  if (!F.FindHandle) return static_cast<int>(kernel32.GetLastError());
  int result = FindMatchingFile(F);
  if (result != 0) FindClose(F);
  return result;
}

int FindNext(TSearchRec& F) {
  if (!F.FindHandle) return ERROR_INVALID_HANDLE;
  if (!kernel32.FindNextFileA(F.FindHandle.get(), &F.FindData))
    return static_cast<int>(kernel32.GetLastError());
  return FindMatchingFile(F);
}

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }

// Drives

int64_t DiskFree(int drive) { return DiskSpace(drive, true); }
int64_t DiskSize(int drive) { return DiskSpace(drive, false); }

// Current directory

std::string GetCurrentDir() {
  auto dir = rtl_private::ReadGrowing(
      [](char* buf, DWORD size) { return kernel32.GetCurrentDirectoryA(size, buf); });
  return dir ? *dir : std::string();
}

void ChDir(const std::string& dir) {
  if (DWORD code = CheckPath(dir)) RaiseInOutError(static_cast<int>(code));
  if (!kernel32.SetCurrentDirectoryA(dir.c_str()))
    RaiseInOutError(static_cast<int>(kernel32.GetLastError()));
}

// Strings

namespace {

// The user's locale's case of every character; its UTF-8 length may differ from the original's
// (a dotless i is two bytes, its capital one), so the text goes through UTF-16 whole.
std::string MapCase(const std::string& s, DWORD mapping) {
  const bool ascii = std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(mapping == LCMAP_UPPERCASE ? std::toupper(static_cast<unsigned char>(c))
                                                                       : std::tolower(static_cast<unsigned char>(c)));
    return r;
  }
  std::wstring wide = WideFromText(s);
  const int n = kernel32.LCMapStringW(LOCALE_USER_DEFAULT, mapping | LCMAP_LINGUISTIC_CASING, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0);
  if (n <= 0) return s;  // refused: the text as it is rather than none
  std::wstring mapped(static_cast<size_t>(n), L'\0');
  kernel32.LCMapStringW(LOCALE_USER_DEFAULT, mapping | LCMAP_LINGUISTIC_CASING, wide.data(),
                        static_cast<int>(wide.size()), mapped.data(), n);
  return TextFromWide(mapped);
}

}  // namespace

std::string AnsiUpperCase(const std::string& s) { return MapCase(s, LCMAP_UPPERCASE); }

std::string AnsiLowerCase(const std::string& s) { return MapCase(s, LCMAP_LOWERCASE); }

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool TryStrToInt(const std::string& s, int& value) {
  int64_t v;
  if (!ParseInteger(s, v, false)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const std::string& s, int64_t& value) { return ParseInteger(s, value, true); }

int StrToInt(const std::string& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const std::string& s, int defaultValue) {
  int v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

int64_t StrToInt64(const std::string& s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

// Errors

std::string SysErrorMessage(int errorCode) {
  char* text = nullptr;
  DWORD n = kernel32.FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result;
  if (n && text) result.assign(text, n);
  if (text) kernel32.LocalFree(text);
  while (!result.empty() &&
         (static_cast<unsigned char>(result.back()) <= ' ' || result.back() == '.'))
    result.pop_back();
  return result;
}

void RaiseLastOSError() { RaiseLastOSError(static_cast<int>(kernel32.GetLastError())); }

void RaiseLastOSError(int errorCode) {
  if (errorCode == 0) throw EOSError("A call to an OS function failed", 0);
  throw EOSError("System Error.  Code: " + std::to_string(errorCode) + ".\r\n" +
                     SysErrorMessage(errorCode),
                 errorCode);
}

void RaiseInOutError(int errorCode) {
  std::string msg = SysErrorMessage(errorCode);
  if (msg.empty()) msg = "I/O error " + std::to_string(errorCode);
  throw EInOutError(msg, errorCode);
}

}  // namespace kyt
