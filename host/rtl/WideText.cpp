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

int Compare(std::string_view a, std::string_view b, DWORD flags) {
  const std::wstring wa = WideFromText(a), wb = WideFromText(b);
  const int r = kernel32.CompareStringW(LOCALE_USER_DEFAULT, flags, wa.data(), Count(wa.size()), wb.data(),
                                        Count(wb.size()));
  if (r == 0) return wa.compare(wb);  // refused (out of memory): code unit order still sorts
  return r - CSTR_EQUAL;
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

// Every string list of a Windows program compares as the user's locale does, and text converts
// in the process's code page.
[[maybe_unused]] const bool kInstalled = [] {
  SetTextCompare(&LocaleCompare);
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

size_t WideLength(std::string_view text) {
  // ASCII, by far the most common, has one character per byte.
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return text.size();
  return WideFromText(text).size();
}

std::string CutToWideLength(std::string_view text, size_t maxChars) {
  if (text.size() <= maxChars) return std::string(text);  // a character takes at least a byte
  const std::wstring wide = WideFromText(text);
  if (wide.size() <= maxChars) return std::string(text);
  size_t keep = maxChars;
  // A surrogate pair is one character: keep both halves or neither.
  if (keep > 0 && wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF) --keep;
  // The bytes of the kept characters are the same in text: cut text there, keeping its own bytes.
  const int bytes = kernel32.WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(keep), nullptr, 0,
                                                 nullptr, nullptr);
  return std::string(text.substr(0, bytes > 0 ? static_cast<size_t>(bytes) : 0));
}

int AnsiCompareStr(std::string_view a, std::string_view b) { return Compare(a, b, 0); }

int AnsiCompareText(std::string_view a, std::string_view b) { return Compare(a, b, NORM_IGNORECASE); }

}  // namespace kyt
