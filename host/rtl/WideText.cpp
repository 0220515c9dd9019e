// WideText.cpp: conversions, lengths and comparison through MultiByteToWideChar,
// WideCharToMultiByte and CompareStringW.
#include "host/rtl/WideText.h"

#include <limits>

#include "host/core/CodePage.h"
#include "host/core/TextCompare.h"
#include "host/os/OsSeam.h"

namespace kyt {

using os::kernel32;

namespace {

// Sizes beyond an int are refused by the platform; such text is far beyond any limit here.
int Count(size_t size) {
  return size > static_cast<size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                       : static_cast<int>(size);
}

bool IsAsciiText(std::string_view text) {
  for (char c : text)
    if (!IsAscii(c)) return false;
  return true;
}

bool CodePageUtf8() {
  static const bool utf8 = ::GetACP() == CP_UTF8;
  return utf8;
}

// The bytes of text no conversion keeps: under UTF-8 its stray bytes in order; under another
// code page all of text where it does not convert exactly, else nothing.
std::string StrayBytes(std::string_view text) {
  if (IsAsciiText(text)) return std::string();
  if (!CodePageUtf8()) return IsExactText(text) ? std::string() : std::string(text);
  std::string stray;
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8CharLength(text.substr(i));
    if (length == 0) stray += text[i];
    i += length ? length : 1;
  }
  return stray;
}

int Compare(std::string_view a, std::string_view b, DWORD flags) {
  const std::wstring wa = WideFromText(a), wb = WideFromText(b);
  const int r = kernel32.CompareStringW(LOCALE_USER_DEFAULT, flags, wa.data(), Count(wa.size()), wb.data(),
                                        Count(wb.size()));
  if (r == 0) return wa.compare(wb);  // refused (out of memory): code unit order still sorts
  if (r != CSTR_EQUAL) return r - CSTR_EQUAL;
  // Equal as UTF-16: the bytes that did not convert still tell the two apart.
  return StrayBytes(a).compare(StrayBytes(b));
}

int LocaleCompare(std::string_view a, std::string_view b, bool ignoreCase) {
  return Compare(a, b, ignoreCase ? NORM_IGNORECASE : 0);
}

// Form files and other UTF-16 sources reach text in the process's code page when that is not
// UTF-8 (an application that keeps a manifest of its own without the UTF-8 setting).
bool AnsiToUtf16(std::string_view text, std::u16string& units) {
  if (text.empty()) return true;
  const int n = kernel32.MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), Count(text.size()), nullptr, 0);
  if (n <= 0) return false;
  const size_t start = units.size();
  units.resize(start + static_cast<size_t>(n));
  kernel32.MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), Count(text.size()),
                               reinterpret_cast<wchar_t*>(units.data() + start), n);
  return true;
}

void Utf16ToAnsi(std::u16string_view units, std::string& text) {
  text += TextFromWide(std::wstring_view(reinterpret_cast<const wchar_t*>(units.data()), units.size()));
}

// The platform's classes of a character: what names may hold. A character outside the basic
// plane has none there, so its block decides, as natively.
TCharClassifier gBlocks = nullptr;  // the default, installed before
TCharClass PlatformCharClass(char32_t c) {
  if (c > 0xFFFF) return gBlocks(c);
  const wchar_t unit = static_cast<wchar_t>(c);
  WORD type = 0;
  if (!kernel32.GetStringTypeW(CT_CTYPE1, &unit, 1, &type)) return gBlocks(c);
  if (type & C1_DIGIT) return TCharClass::Digit;
  return type & C1_ALPHA ? TCharClass::Letter : TCharClass::Other;
}

// Every string list of a Windows program compares as the user's locale does, text converts in
// the process's code page and names take the platform's letters.
[[maybe_unused]] const bool kInstalled = [] {
  SetTextCompare(&LocaleCompare);
  gBlocks = SetCharClassifier(&PlatformCharClass);
  if (::GetACP() != CP_UTF8) SetCodePageConversion({&AnsiToUtf16, &Utf16ToAnsi});
  return true;
}();

}  // namespace

std::wstring WideFromText(std::string_view text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n = kernel32.MultiByteToWideChar(codePage, 0, text.data(), Count(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) kernel32.MultiByteToWideChar(codePage, 0, text.data(), Count(text.size()), out.data(), n);
  return out;
}

std::string TextFromWide(std::wstring_view text, UINT codePage) {
  if (text.empty()) return std::string();
  const int n =
      kernel32.WideCharToMultiByte(codePage, 0, text.data(), Count(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    kernel32.WideCharToMultiByte(codePage, 0, text.data(), Count(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool IsExactText(std::string_view text) {
  if (IsAsciiText(text)) return true;
  if (CodePageUtf8()) return StrayBytes(text).empty();
  return kernel32.MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), Count(text.size()), nullptr, 0) > 0;
}

size_t WideLength(std::string_view text) {
  // ASCII, by far the most common, has one character per byte.
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return text.size();
  return WideFromText(text).size();
}

namespace {

// Bytes of the longest start of UTF-8 text of at most maxChars UTF-16 units, walking the text
// itself: a stray byte is one unit (the U+FFFD it becomes), a four-byte character two.
size_t Utf8CutBytes(std::string_view text, size_t maxChars) {
  size_t bytes = 0, units = 0;
  while (bytes < text.size()) {
    const size_t length = Utf8CharLength(text.substr(bytes));
    const size_t width = length == 4 ? 2 : 1;
    if (units + width > maxChars) break;
    units += width;
    bytes += length ? length : 1;
  }
  return bytes;
}

}  // namespace

std::string CutToWideLength(std::string_view text, size_t maxChars) {
  if (text.size() <= maxChars) return std::string(text);  // a character takes at least a byte
  if (CodePageUtf8()) return std::string(text.substr(0, Utf8CutBytes(text, maxChars)));
  const std::wstring wide = WideFromText(text);
  if (wide.size() <= maxChars) return std::string(text);
  size_t keep = maxChars;
  // A surrogate pair is one character: keep both halves or neither.
  if (keep > 0 && wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF) --keep;
  // The bytes of the kept characters, re-encoded; a byte the code page lacks may re-encode
  // longer, so the cut is checked against the text itself.
  const int bytes = kernel32.WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(keep), nullptr, 0,
                                                 nullptr, nullptr);
  std::string cut(text.substr(0, bytes > 0 ? static_cast<size_t>(bytes) : 0));
  while (!cut.empty() && WideLength(cut) > maxChars) cut.pop_back();
  return cut;
}

int AnsiCompareStr(std::string_view a, std::string_view b) { return Compare(a, b, 0); }

int AnsiCompareText(std::string_view a, std::string_view b) { return Compare(a, b, NORM_IGNORECASE); }

}  // namespace kyt
