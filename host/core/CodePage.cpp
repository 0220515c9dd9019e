// CodePage: the replaceable conversion between code-page text and UTF-16, and UTF-8 both ways.
#include "host/core/CodePage.h"

#include "host/core/Exceptions.h"

namespace kyt {

namespace {

constexpr TCodePageConversion kUtf8{&Utf8ToUtf16, &Utf16ToUtf8};

TCodePageConversion& Installed() {
  static TCodePageConversion conversion = kUtf8;
  return conversion;
}

void AppendCodePoint(char32_t c, std::u16string& units) {
  if (c < 0x10000) {
    units += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  units += static_cast<char16_t>(0xD800 + (c >> 10));
  units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// Blocks outside ASCII whose characters are no letters: Latin-1 signs and spaces, general
// punctuation (spaces, dashes, zero-width characters), symbols, CJK punctuation, specials, emoji.
TCharClass DefaultCharClass(char32_t c) {
  struct TRange {
    char32_t First, Last;
  };
  static constexpr TRange kOther[] = {
      {0x80, 0xA9},     {0xAB, 0xB4},     {0xB6, 0xB9},     {0xBB, 0xBF},     {0xD7, 0xD7},
      {0xF7, 0xF7},     {0x1680, 0x1680}, {0x2000, 0x206F}, {0x20A0, 0x2BFF}, {0x2E00, 0x2E7F},
      {0x3000, 0x3004}, {0x3008, 0x3020}, {0x3030, 0x3030}, {0xD800, 0xF8FF}, {0xFE00, 0xFE6F},
      {0xFEFF, 0xFEFF}, {0xFF00, 0xFF0F}, {0xFF1A, 0xFF20}, {0xFFF0, 0xFFFF}, {0x1F000, 0x1FAFF},
      {0xE0000, 0x10FFFF},
  };
  for (const TRange& range : kOther)
    if (c >= range.First && c <= range.Last) return TCharClass::Other;
  return TCharClass::Letter;
}

TCharClassifier& Classifier() {
  static TCharClassifier classify = &DefaultCharClass;
  return classify;
}

}  // namespace

TCharClass CharClass(char32_t c) {
  if (c < 0x80) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return TCharClass::Letter;
    return c >= '0' && c <= '9' ? TCharClass::Digit : TCharClass::Other;
  }
  return Classifier()(c);
}

TCharClassifier SetCharClassifier(TCharClassifier classify) {
  const TCharClassifier previous = Classifier();
  Classifier() = classify ? classify : &DefaultCharClass;
  return previous;
}

const TCodePageConversion& CodePageConversion() { return Installed(); }

TCodePageConversion SetCodePageConversion(const TCodePageConversion& conversion) {
  if (!conversion.ToUtf16 || !conversion.FromUtf16) throw EConvertError("A code page conversion needs both functions");
  const TCodePageConversion previous = Installed();
  Installed() = conversion;
  return previous;
}

bool CodePageIsUtf8() {
  const TCodePageConversion& conversion = Installed();
  return conversion.ToUtf16 == kUtf8.ToUtf16 && conversion.FromUtf16 == kUtf8.FromUtf16;
}

namespace {

// Decodes the character that starts [p, end): its byte count, or 0 where p starts none.
int DecodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& c) {
  const unsigned char lead = *p;
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  int trail = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1, c = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2, c = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3, c = lead & 0x07, least = 0x10000;
  } else {
    return 0;  // a trail byte, an overlong two-byte lead or beyond U+10FFFF
  }
  if (end - p <= trail) return 0;
  for (int i = 1; i <= trail; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  if (c < least || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) return 0;
  return trail + 1;
}

}  // namespace

bool Utf8ToUtf16(std::string_view text, std::u16string& units) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    char32_t c = 0;
    const int length = DecodeUtf8(p, end, c);
    if (length == 0) return false;
    AppendCodePoint(c, units);
    p += length;
  }
  return true;
}

size_t Utf8CharLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  char32_t c = 0;
  return static_cast<size_t>(DecodeUtf8(p, p + text.size(), c));
}

void Utf16ToUtf8(std::u16string_view units, std::string& text) {
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = 0xFFFD;  // not well-formed: the replacement character stands in
    }
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else if (c < 0x800) {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      text += static_cast<char>(0xE0 | (c >> 12));
      text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (c >> 18));
      text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

}  // namespace kyt
