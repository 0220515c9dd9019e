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

}  // namespace kyt::test

#endif
