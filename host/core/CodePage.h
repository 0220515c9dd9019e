// CodePage: text in the process's 8-bit code page, converted to and from UTF-16 through a pair of
// functions the runtime may replace. std::string holds text in that code page; form files and
// other Unicode sources go through these functions.
#ifndef KYT_HOST_CORE_CODEPAGE_H
#define KYT_HOST_CORE_CODEPAGE_H

#include <string>
#include <string_view>

namespace kyt {

// The conversion in use. The default is UTF-8 both ways, which is right natively and for a
// Windows process whose code page is UTF-8; the Windows runtime installs one for the process's
// code page when that is another (MultiByteToWideChar and WideCharToMultiByte with CP_ACP).
struct TCodePageConversion {
  // Appends the UTF-16 units of text to units; false when text holds a byte sequence the code
  // page does not define (units may then hold part of the text).
  bool (*ToUtf16)(std::string_view text, std::u16string& units) = nullptr;
  // Appends units (well-formed UTF-16) to text; a character the code page lacks becomes the
  // code page's default character.
  void (*FromUtf16)(std::u16string_view units, std::string& text) = nullptr;
};

// Methods
const TCodePageConversion& CodePageConversion();
// Installs conversion, whose functions must both be set, and returns the one it replaces.
// Installing is not thread-safe: the runtime does it once at startup, tests around a test.
TCodePageConversion SetCodePageConversion(const TCodePageConversion& conversion);
// Whether the conversion in use is the default UTF-8 one.
bool CodePageIsUtf8();

// UTF-8 both ways: the default conversion's functions. Surrogates and overlong or truncated
// sequences are not valid UTF-8.
bool Utf8ToUtf16(std::string_view text, std::u16string& units);
void Utf16ToUtf8(std::u16string_view units, std::string& text);
// Bytes of the one UTF-8 character that starts text (1 to 4), or 0 where its first byte starts
// none: a stray byte, which a conversion would turn into U+FFFD.
size_t Utf8CharLength(std::string_view text);

// The class of a character outside ASCII, as a name sees it. The default knows the blocks of
// spaces, punctuation, symbols and emoji and takes the rest for letters; the Windows runtime
// installs the platform's character classes.
enum class TCharClass { Other, Letter, Digit };
using TCharClassifier = TCharClass (*)(char32_t c);
TCharClass CharClass(char32_t c);
// Installs classify (nullptr puts back the default) and returns the one it replaces.
TCharClassifier SetCharClassifier(TCharClassifier classify);

// Surrogate halves of UTF-16.
constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A byte of 7-bit ASCII, which every code page and UTF-8 spell alike.
constexpr bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
// The byte-order mark that starts a text marked as UTF-8.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace kyt

#endif
