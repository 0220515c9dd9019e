// TypeInfo: enumeration, set and colour names.
#include "host/core/TypeInfo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <iterator>

#include "host/core/CodePage.h"
#include "host/core/Exceptions.h"

namespace kyt {

namespace core {

static unsigned char LowerAscii(char c) {
  return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  const char* p = a.data();
  const char* q = b.data();
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == q[i]) continue;
    const unsigned char ca = LowerAscii(p[i]);
    const unsigned char cb = LowerAscii(q[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  // Hot in name lookups: bytes are lowered only where they differ, and names spelt alike (the
  // rule) are passed over eight bytes at a time.
  const size_t n = a.size();
  if (n != b.size()) return false;
  const char* p = a.data();
  const char* q = b.data();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, p + i, 8);
    std::memcpy(&y, q + i, 8);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    if (p[i] == q[i]) continue;
    const char lower = static_cast<char>(p[i] | 0x20);
    if ((p[i] ^ q[i]) != 0x20 || lower < 'a' || lower > 'z') return false;
  }
  return true;
}

// Kept apart from the view overload: FindComponent compares owned names in a loop, and making
// views of them first costs more there than the comparison itself in an unoptimised build.
bool SameText(const std::string& a, const std::string& b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  const char* p = a.data();
  const char* q = b.data();
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == q[i]) continue;
    const char lower = static_cast<char>(p[i] | 0x20);
    if ((p[i] ^ q[i]) != 0x20 || lower < 'a' || lower > 'z') return false;
  }
  return true;
}

size_t TextHash(std::string_view s) {
  uint32_t h = 2166136261u;  // FNV-1a
  const char* p = s.data();
  for (size_t i = 0, n = s.size(); i < n; ++i) {
    const char c = p[i];
    h = (h ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c)) * 16777619u;
  }
  return h;
}

static bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
static bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

bool IsValidIdent(const std::string& s) {
  if (s.empty() || !IsIdentStart(s[0])) return false;
  for (char c : s)
    if (!IsIdentChar(c)) return false;
  return true;
}

bool IsValidName(const std::string& s) {
  if (std::all_of(s.begin(), s.end(), IsAscii)) return s.size() <= kMaxNameLength && IsValidIdent(s);
  std::u16string units;
  if (!CodePageConversion().ToUtf16(s, units) || units.size() > kMaxNameLength) return false;
  // Letters and digits of any script by the character classes, a digit never first.
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]))
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    const TCharClass kind = c == u'_' ? TCharClass::Letter : CharClass(c);
    if (kind == TCharClass::Other || (i == 0 && kind == TCharClass::Digit)) return false;
  }
  return true;
}

}  // namespace core

std::string FloatToText(double value) {
  if (!std::isfinite(value)) throw EConvertError("A value that is not a finite number cannot be written");
  char buf[64];
  // Shortest round trip, in the "C" form whatever the locale.
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  if (ec != std::errc()) throw EConvertError("Cannot write a floating-point value");
  std::string text(buf, end);
  // "14" would read back as an integer, and "-0" as the integer 0.
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

bool TextToFloat(std::string_view text, double& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
  if (first == last || !(*first == '-' || (*first >= '0' && *first <= '9'))) return false;
  if (*first == '-' && (first + 1 == last || first[1] < '0' || first[1] > '9')) return false;
  double parsed = 0;
  const auto [end, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
  if (ec != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

std::string GetEnumName(const TEnumInfo& info, int64_t ordinal) {
  if (ordinal < 0 || ordinal >= static_cast<int64_t>(info.Members.size())) return {};
  return info.Members[static_cast<size_t>(ordinal)];
}

int64_t GetEnumValue(const TEnumInfo& info, std::string_view name) {
  for (size_t i = 0; i < info.Members.size(); ++i)
    if (info.Members[i].size() == name.size() && core::SameText(info.Members[i], name)) return static_cast<int64_t>(i);
  return -1;
}

std::string SetToString(const TEnumInfo& info, uint64_t bits) {
  std::string text = "[";
  bool first = true;
  for (size_t i = 0; i < info.Members.size() && i < 64; ++i) {
    if ((bits & (uint64_t{1} << i)) == 0) continue;
    if (!first) text += ", ";
    text += info.Members[i];
    first = false;
  }
  return text + "]";
}

static std::string TrimSpaces(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

uint64_t StringToSet(const TEnumInfo& info, const std::string& text) {
  std::string body = TrimSpaces(text);
  if (!body.empty() && body.front() == '[') {
    if (body.back() != ']') throw EConvertError("Invalid set: " + text);
    body = body.substr(1, body.size() - 2);
  }
  uint64_t bits = 0;
  size_t start = 0;
  while (start <= body.size()) {
    size_t comma = body.find(',', start);
    std::string item = TrimSpaces(body.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!item.empty()) {
      int64_t ord = GetEnumValue(info, item);
      if (ord < 0 || ord >= 64) throw EConvertError("'" + item + "' is not a member of " + info.Name);
      bits |= uint64_t{1} << ord;
    } else if (comma != std::string::npos) {
      throw EConvertError("Invalid set: " + text);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return bits;
}

namespace {
struct TColorName {
  TColor Color;
  const char* Name;
};
constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clNone, "clNone"}, {clDefault, "clDefault"},
    // Aliases come last so that names above win when writing.
    {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
};
}  // namespace

bool ColorToIdent(TColor color, std::string& ident) {
  for (const auto& entry : kColorNames) {
    if (entry.Color == color) {
      ident = entry.Name;
      return true;
    }
  }
  return false;
}

namespace {
// Colour names by case-folded hash, built once: a form file names a colour for each colour
// property it sets, and the table is long.
struct TColorIndex {
  static constexpr size_t kSize = 128;
  static_assert(std::size(kColorNames) * 2 <= kSize, "the index must stay at most half full");
  const TColorName* Slots[kSize] = {};
};

const TColorIndex& ColorIndex() {
  static const TColorIndex index = [] {
    TColorIndex built;
    for (const TColorName& entry : kColorNames) {
      size_t slot = core::TextHash(entry.Name) & (TColorIndex::kSize - 1);
      while (built.Slots[slot]) slot = (slot + 1) & (TColorIndex::kSize - 1);
      built.Slots[slot] = &entry;
    }
    return built;
  }();
  return index;
}
}  // namespace

bool IdentToColor(std::string_view ident, TColor& color) {
  const TColorIndex& index = ColorIndex();
  for (size_t slot = core::TextHash(ident) & (TColorIndex::kSize - 1); index.Slots[slot];
       slot = (slot + 1) & (TColorIndex::kSize - 1)) {
    if (core::SameText(index.Slots[slot]->Name, ident)) {
      color = index.Slots[slot]->Color;
      return true;
    }
  }
  return false;
}

std::string ColorToString(TColor color) {
  std::string ident;
  if (ColorToIdent(color, ident)) return ident;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(ColorValue(color)));
  return buf;
}

TColor StringToColor(const std::string& text) {
  TColor color{};
  if (IdentToColor(text, color)) return color;
  const std::string s = TrimSpaces(text);
  if (!s.empty()) {
    char* end = nullptr;
    const bool hex = s[0] == '$';
    const char* digits = s.c_str() + (hex ? 1 : 0);
    long long value = std::strtoll(digits, &end, hex ? 16 : 10);
    if (*digits != '\0' && end && *end == '\0' && value >= INT32_MIN && value <= static_cast<long long>(UINT32_MAX))
      return ColorOf(static_cast<uint32_t>(value));
  }
  throw EConvertError("'" + text + "' is not a valid colour");
}

}  // namespace kyt
