// IniFiles.cpp: TIniFile over GetPrivateProfileStringA and WritePrivateProfileStringW (the W
// ones for byte strings too).
#include "host/rtl/IniFiles.h"

#include <algorithm>

#include "host/os/OsSeam.h"
#include "host/rtl/RtlPrivate.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"

namespace kyt {

using os::kernel32;

namespace {

bool HasLineBreakOrZero(const std::string& s) {
  return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// Largest buffer a profile read may grow to; beyond it the text is cut (and the read is then
// as if the value were missing) rather than the process running out of memory.
constexpr DWORD kMaxProfileBuffer = 64u << 20;

// The code page whose characters stand for the bytes of a byte string.
constexpr UINT kByteCodePage = 1252;

std::string TrimBlanks(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string();
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

// A list read (double-zero terminated names); the platform reports a cut list with size - 2.
std::vector<std::string> SplitList(const std::string& buf, DWORD n) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < n) {
    size_t end = buf.find('\0', start);
    if (end == std::string::npos || end > n) end = n;
    if (end > start) names.push_back(buf.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

bool TIniFile::IsValidSection(const std::string& section) {
  return !section.empty() && section.find(']') == std::string::npos &&
         !HasLineBreakOrZero(section);
}

bool TIniFile::IsValidIdent(const std::string& ident) {
  return !ident.empty() && ident[0] != '[' && ident[0] != ';' &&
         ident.find('=') == std::string::npos && !HasLineBreakOrZero(ident);
}

bool TIniFile::IsValidValue(const std::string& value) { return !HasLineBreakOrZero(value); }

bool TIniFile::FileUsable() const { return !FFileName.empty() && !rtl_private::CheckPath(FFileName); }

std::string TIniFile::ProfilePath() const {
  // The profile functions look for a bare file name in the Windows directory, not the current one.
  if (FFileName.find_first_of("\\/") != std::string::npos) return FFileName;
  const auto dir = rtl_private::ReadGrowing(
      [](char* buffer, DWORD size) { return static_cast<DWORD>(kernel32.GetWindowsDirectoryA(buffer, size)); });
  if (!dir || dir->empty()) return FFileName;
  return IncludeTrailingBackslash(*dir) + FFileName;
}

void TIniFile::WriteFailed() const { throw EIniFileException("Unable to write to " + FFileName); }

void TIniFile::CheckWrite(const std::string& section, const std::string* ident,
                          const std::string* value) const {
  if (!FileUsable()) WriteFailed();
  // A read-only file is refused here too: the platform may still manage to write it (an
  // administrator's process under some file systems), which the attribute says must not happen.
  DWORD attr = kernel32.GetFileAttributesA(ProfilePath().c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    WriteFailed();
  if (!IsValidSection(section))
    throw EIniFileException("Invalid section name '" + section + "' for " + FFileName);
  if (ident && !IsValidIdent(*ident))
    throw EIniFileException("Invalid value name '" + *ident + "' in section '" + section +
                            "' of " + FFileName);
  if (value && !IsValidValue(*value))
    throw EIniFileException("Invalid value for '" + (ident ? *ident : std::string()) +
                            "' in section '" + section + "' of " + FFileName +
                            ": line breaks cannot be stored");
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
  if (!FileUsable() || !IsValidSection(section) || !IsValidIdent(ident) ||
      !rtl_private::NoZero(defaultValue))
    return defaultValue;
  // The platform reports a value cut to the buffer with size - 1: read again with more room.
  std::string buf(2048, '\0');
  for (;;) {
    DWORD n = kernel32.GetPrivateProfileStringA(section.c_str(), ident.c_str(),
                                                defaultValue.c_str(), buf.data(),
                                                static_cast<DWORD>(buf.size()), FFileName.c_str());
    if (n + 1 < buf.size()) {
      buf.resize(n);
      return buf;
    }
    if (buf.size() >= kMaxProfileBuffer) return defaultValue;
    buf.assign(buf.size() * 2, '\0');
  }
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
  CheckWrite(section, &ident, &value);
  if (!IsExactText(section) || !IsExactText(ident) || !IsExactText(value))
    throw EIniFileException("Invalid value for '" + ident + "' in section '" + section + "' of " + FFileName +
                            ": it holds bytes that are not text in the code page");
  // The wide call: the ANSI one answers TRUE for a value of 32,767 UTF-16 units or more and
  // keeps something else.
  if (!kernel32.WritePrivateProfileStringW(WideFromText(section).c_str(), WideFromText(ident).c_str(),
                                           WideFromText(value).c_str(), WideFromText(FFileName).c_str()))
    WriteFailed();
}

std::string TIniFile::ReadByteString(const std::string& section, const std::string& ident,
                                     const std::string& defaultValue) {
  if (!FileUsable() || !IsValidSection(section) || !IsValidIdent(ident) ||
      !rtl_private::NoZero(defaultValue))
    return defaultValue;
  const std::wstring file = WideFromText(FFileName), sectionW = WideFromText(section),
                     identW = WideFromText(ident), defaultW = WideFromText(defaultValue, kByteCodePage);
  std::wstring buf(1024, L'\0');
  for (;;) {
    const DWORD n = kernel32.GetPrivateProfileStringW(sectionW.c_str(), identW.c_str(), defaultW.c_str(),
                                                      buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
    if (n + 1 < buf.size()) {
      buf.resize(n);
      break;
    }
    if (buf.size() >= kMaxProfileBuffer / sizeof(wchar_t)) return defaultValue;
    buf.assign(buf.size() * 2, L'\0');
  }
  // A file written in code page 1252 does not read as UTF-8: its bytes are taken as they lie.
  if (buf.find(L'\xFFFD') != std::wstring::npos) {
    if (auto raw = RawValue(section, ident)) return *raw;
  }
  return TextFromWide(buf, kByteCodePage);
}

void TIniFile::WriteByteString(const std::string& section, const std::string& ident,
                               const std::string& bytes) {
  CheckWrite(section, &ident, &bytes);
  if (!kernel32.WritePrivateProfileStringW(WideFromText(section).c_str(), WideFromText(ident).c_str(),
                                           WideFromText(bytes, kByteCodePage).c_str(),
                                           WideFromText(FFileName).c_str()))
    WriteFailed();
}

std::optional<std::string> TIniFile::RawValue(const std::string& section, const std::string& ident) const {
  os::UniqueFile file = FileOpen(ProfilePath(), fmOpenRead | fmShareDenyNone);
  if (!file) return std::nullopt;
  std::string text;
  char chunk[4096];
  for (int n; (n = FileRead(file.get(), chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(n));
  bool inSection = false;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = TrimBlanks(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      inSection = close != std::string::npos && AnsiCompareText(TrimBlanks(line.substr(1, close - 1)), section) == 0;
    } else if (inSection) {
      const size_t equals = line.find('=');
      if (equals != std::string::npos && AnsiCompareText(TrimBlanks(line.substr(0, equals)), ident) == 0)
        return TrimBlanks(line.substr(equals + 1));
    }
  }
  return std::nullopt;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident,
                          int defaultValue) {
  return StrToIntDef(ReadString(section, ident, ""), defaultValue);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident,
                        bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadList(const char* section) const {
  if (!FileUsable()) return {};
  std::string buf(4096, '\0');
  for (;;) {
    DWORD n = kernel32.GetPrivateProfileStringA(section, nullptr, "", buf.data(),
                                                static_cast<DWORD>(buf.size()), FFileName.c_str());
    if (n + 2 < buf.size()) return SplitList(buf, n);
    if (buf.size() >= kMaxProfileBuffer) return SplitList(buf, n);
    buf.assign(buf.size() * 2, '\0');
  }
}

std::vector<std::string> TIniFile::SectionNames() { return ReadList(nullptr); }

std::vector<std::string> TIniFile::ValueNames(const std::string& section) {
  if (!IsValidSection(section)) return {};
  return ReadList(section.c_str());
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) {
  std::vector<std::string> names = ValueNames(section);
  rtl_private::FillList(strings, names);
}

void TIniFile::ReadSections(TStrings& strings) {
  std::vector<std::string> names = SectionNames();
  rtl_private::FillList(strings, names);
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
  std::vector<std::string> lines;
  for (const std::string& n : ValueNames(section)) lines.push_back(n + "=" + ReadString(section, n, ""));
  rtl_private::FillList(strings, lines);
}

void TIniFile::EraseSection(const std::string& section) {
  CheckWrite(section, nullptr, nullptr);
  if (!kernel32.WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, FFileName.c_str()))
    WriteFailed();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  if (!FileUsable() || !IsValidSection(section) || !IsValidIdent(ident)) return;
  kernel32.WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr, FFileName.c_str());
}

bool TIniFile::SectionExists(const std::string& section) { return !ValueNames(section).empty(); }

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) {
  std::string wanted = AnsiUpperCase(ident);
  for (const std::string& n : ValueNames(section))
    if (AnsiUpperCase(n) == wanted) return true;
  return false;
}

std::optional<std::string> TIniFile::SaveFile() const {
  if (!FileUsable()) return std::nullopt;
  const std::string path = ProfilePath();
  os::UniqueFile file = FileOpen(path, fmOpenRead | fmShareDenyNone);
  if (!file) {
    const DWORD error = kernel32.GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    throw EIniFileException("Unable to read " + FFileName);
  }
  std::string bytes;
  char chunk[4096];
  for (;;) {
    const int n = FileRead(file.get(), chunk, sizeof chunk);
    if (n < 0) throw EIniFileException("Unable to read " + FFileName);
    if (n == 0) return bytes;
    bytes.append(chunk, static_cast<size_t>(n));
  }
}

bool TIniFile::RestoreFile(const std::optional<std::string>& image) const {
  if (!FileUsable()) return false;
  const std::string path = ProfilePath();
  if (!image) return DeleteFile(path) || kernel32.GetLastError() == ERROR_FILE_NOT_FOUND;
  os::UniqueFile file = FileCreate(path);
  if (!file) return false;
  for (size_t done = 0; done < image->size();) {
    const int chunk = static_cast<int>(std::min<size_t>(image->size() - done, 1u << 20));
    const int n = FileWrite(file.get(), image->data() + done, chunk);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void TIniFile::UpdateFile() {
  if (FileUsable()) kernel32.WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str());
}

}  // namespace kyt
