// NonAscii.h: text in several scripts that the suites run on, so that every file, registry and
// ini test meets characters beyond ASCII: Latin with accents, Cyrillic, CJK and one character
// outside the Basic Multilingual Plane (two UTF-16 units, four bytes of UTF-8).
#ifndef KYT_TESTS_SUPPORT_NONASCII_H
#define KYT_TESTS_SUPPORT_NONASCII_H

#include <string>

#include "host/os/Win.h"

namespace kyt::test {

inline const std::string kLatin = "Crème brûlée";
inline const std::string kCyrillic = "Привет, мир";
inline const std::string kCjk = "日本語のテキスト";
inline const std::string kAstral = "\xF0\x9F\x98\x80";  // U+1F600, a face
// A line of a code page 1252 file read as bytes: its 0xE9 (é there) is no character of UTF-8.
inline const std::string kStray = "caf\xE9";

// text count times over.
inline std::string Repeat(const std::string& text, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += text;
  return out;
}

// All four scripts in one name: part of every sandbox folder's and test registry key's name.
inline const std::string kNonAsciiName = "Ünï Тест 日本 " + kAstral;

// The suites' registry keys live below this key of HKEY_CURRENT_USER.
inline const std::string kTestsKey = "Software\\KYT\\Tests " + kNonAsciiName;

// A folder path below the temporary folder whose name holds tag and kNonAsciiName (the caller
// creates and removes it).
inline std::string SandboxPath(const std::string& tag) {
  char temp[MAX_PATH * 3 + 1] = {};
  ::GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "kyt " + tag + " " + kNonAsciiName;
}

// An environment variable's value (empty when it is not set), read through the wide call: Wine 8's
// GetEnvironmentVariableA gives non-ASCII values in the wrong code page under the UTF-8 one.
inline std::string EnvironmentVariable(const char* name) {
  wchar_t wideName[128] = {};
  ::MultiByteToWideChar(CP_UTF8, 0, name, -1, wideName, 127);
  std::wstring value(32768, L'\0');
  const DWORD n = ::GetEnvironmentVariableW(wideName, value.data(), static_cast<DWORD>(value.size()));
  if (n == 0 || n >= value.size()) return std::string();
  std::string text(n * 3, '\0');
  text.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(n), text.data(),
                                                        static_cast<int>(text.size()), nullptr, nullptr)));
  return text;
}

}  // namespace kyt::test

#endif
