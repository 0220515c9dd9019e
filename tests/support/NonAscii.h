// NonAscii.h: text in several scripts that the suites run on, so that every file, registry and
// ini test meets characters beyond ASCII: Latin with accents, Cyrillic, CJK and one character
// outside the Basic Multilingual Plane (two UTF-16 units, four bytes of UTF-8).
#ifndef KYT_TESTS_SUPPORT_NONASCII_H
#define KYT_TESTS_SUPPORT_NONASCII_H

#include <string>

namespace kyt::test {

inline const std::string kLatin = "Crème brûlée";
inline const std::string kCyrillic = "Привет, мир";
inline const std::string kCjk = "日本語のテキスト";
inline const std::string kAstral = "\xF0\x9F\x98\x80";  // U+1F600, a face
// The name of the suites' sandbox folders and test registry keys: all four scripts in one.
inline const std::string kNonAsciiName = "KYT Ünï Тест 日本 " + kAstral;

}  // namespace kyt::test

#endif
