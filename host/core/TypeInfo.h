// TypeInfo: names of enumeration members and colours, for streaming and the inspector.
#ifndef KYT_HOST_CORE_TYPEINFO_H
#define KYT_HOST_CORE_TYPEINFO_H

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kyt {

// Type name and member names (by ordinal) of an enumeration.
struct TEnumInfo {
  std::string Name;
  std::vector<std::string> Members;
};

// Declared after an enum, in its namespace: KYT_ENUM_INFO(TKYTBeeptype, "bNone", "bDefault", ...).
// Defines EnumInfoOf(TKYTBeeptype*), found by argument-dependent lookup.
#define KYT_ENUM_INFO(Enum, ...)                                          \
  inline const ::kyt::TEnumInfo& EnumInfoOf(Enum*) {                      \
    static const ::kyt::TEnumInfo info{#Enum, {__VA_ARGS__}};             \
    return info;                                                          \
  }

template <class E>
concept HasEnumInfo = std::is_enum_v<E> && requires(E* p) {
  { EnumInfoOf(p) } -> std::same_as<const TEnumInfo&>;
};

template <HasEnumInfo E>
const TEnumInfo& EnumInfo() {
  return EnumInfoOf(static_cast<E*>(nullptr));
}

// Member name of an ordinal; empty when out of range.
std::string GetEnumName(const TEnumInfo& info, int64_t ordinal);
// Ordinal of a member name (case-insensitive); -1 when unknown.
int64_t GetEnumValue(const TEnumInfo& info, std::string_view name);
// "[mbOK, mbCancel]" from set bits, and back (EConvertError on unknown members).
std::string SetToString(const TEnumInfo& info, uint64_t bits);
uint64_t StringToSet(const TEnumInfo& info, const std::string& text);

// Colour: an RGB value (0x00BBGGRR) or a system colour (0x80000000 | index).
enum class TColor : int32_t {};

constexpr TColor ColorOf(uint32_t value) { return static_cast<TColor>(static_cast<int32_t>(value)); }
constexpr int32_t ColorValue(TColor c) { return static_cast<int32_t>(c); }

inline constexpr TColor clScrollBar = ColorOf(0x80000000u);
inline constexpr TColor clBackground = ColorOf(0x80000001u);
inline constexpr TColor clActiveCaption = ColorOf(0x80000002u);
inline constexpr TColor clInactiveCaption = ColorOf(0x80000003u);
inline constexpr TColor clMenu = ColorOf(0x80000004u);
inline constexpr TColor clWindow = ColorOf(0x80000005u);
inline constexpr TColor clWindowFrame = ColorOf(0x80000006u);
inline constexpr TColor clMenuText = ColorOf(0x80000007u);
inline constexpr TColor clWindowText = ColorOf(0x80000008u);
inline constexpr TColor clCaptionText = ColorOf(0x80000009u);
inline constexpr TColor clActiveBorder = ColorOf(0x8000000Au);
inline constexpr TColor clInactiveBorder = ColorOf(0x8000000Bu);
inline constexpr TColor clAppWorkSpace = ColorOf(0x8000000Cu);
inline constexpr TColor clHighlight = ColorOf(0x8000000Du);
inline constexpr TColor clHighlightText = ColorOf(0x8000000Eu);
inline constexpr TColor clBtnFace = ColorOf(0x8000000Fu);
inline constexpr TColor clBtnShadow = ColorOf(0x80000010u);
inline constexpr TColor clGrayText = ColorOf(0x80000011u);
inline constexpr TColor clBtnText = ColorOf(0x80000012u);
inline constexpr TColor clInactiveCaptionText = ColorOf(0x80000013u);
inline constexpr TColor clBtnHighlight = ColorOf(0x80000014u);
inline constexpr TColor cl3DDkShadow = ColorOf(0x80000015u);
inline constexpr TColor cl3DLight = ColorOf(0x80000016u);
inline constexpr TColor clInfoText = ColorOf(0x80000017u);
inline constexpr TColor clInfoBk = ColorOf(0x80000018u);

inline constexpr TColor clBlack = ColorOf(0x000000u);
inline constexpr TColor clMaroon = ColorOf(0x000080u);
inline constexpr TColor clGreen = ColorOf(0x008000u);
inline constexpr TColor clOlive = ColorOf(0x008080u);
inline constexpr TColor clNavy = ColorOf(0x800000u);
inline constexpr TColor clPurple = ColorOf(0x800080u);
inline constexpr TColor clTeal = ColorOf(0x808000u);
inline constexpr TColor clGray = ColorOf(0x808080u);
inline constexpr TColor clSilver = ColorOf(0xC0C0C0u);
inline constexpr TColor clRed = ColorOf(0x0000FFu);
inline constexpr TColor clLime = ColorOf(0x00FF00u);
inline constexpr TColor clYellow = ColorOf(0x00FFFFu);
inline constexpr TColor clBlue = ColorOf(0xFF0000u);
inline constexpr TColor clFuchsia = ColorOf(0xFF00FFu);
inline constexpr TColor clAqua = ColorOf(0xFFFF00u);
inline constexpr TColor clLtGray = ColorOf(0xC0C0C0u);
inline constexpr TColor clDkGray = ColorOf(0x808080u);
inline constexpr TColor clWhite = ColorOf(0xFFFFFFu);
inline constexpr TColor clNone = ColorOf(0x1FFFFFFFu);
inline constexpr TColor clDefault = ColorOf(0x20000000u);

// "clRed" for a named colour; false when the colour has no name.
bool ColorToIdent(TColor color, std::string& ident);
// Colour of a clXxx name (case-insensitive); false when unknown.
bool IdentToColor(std::string_view ident, TColor& color);
// Inspector text: the name, or "$00BBGGRR".
std::string ColorToString(TColor color);
// Accepts a name, a decimal or a $hex number; EConvertError otherwise.
TColor StringToColor(const std::string& text);

// Floating-point values as form files and the inspector write them: the shortest text that reads
// back to the same double bit for bit, always with '.' and never the locale's separator ("0.1",
// "-0.0", "14.0", "1e+300"). A value that is not finite has no such text: EConvertError.
std::string FloatToText(double value);
// A decimal with an optional sign, fraction and exponent ("-1746.25", "5e-324"); false for any
// other text and for a value beyond the range of a double.
bool TextToFloat(std::string_view text, double& value);

namespace core {
// ASCII case-insensitive comparison, as identifiers and names are compared.
bool SameText(const std::string& a, const std::string& b);
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
// Hash with ASCII letters folded: names SameText calls equal hash alike (for name indexes).
size_t TextHash(std::string_view s);
// A letter or underscore followed by letters, digits or underscores.
bool IsValidIdent(const std::string& s);
// The longest name, in characters (UTF-16 units) whatever their script: the form reader's limit.
inline constexpr size_t kMaxNameLength = 255;
// As IsValidIdent, but letters and digits of any script count (CharClass), so long as the whole
// is valid text in the process's code page and at most kMaxNameLength characters: component and
// event handler names may be written in any script.
bool IsValidName(const std::string& s);
}  // namespace core

}  // namespace kyt

#endif
