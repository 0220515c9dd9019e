// FormLexer: the tokens of a form file's text, read one at a time for the parser. The paths
// most tokens take are inline here; escapes, conversions and errors are in FormLexer.cpp.
#ifndef KYT_HOST_CORE_FORMLEXER_H
#define KYT_HOST_CORE_FORMLEXER_H

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/CodePage.h"
#include "host/core/FormFile.h"
#include "host/core/FormTree.h"
#include "host/core/TypeInfo.h"

namespace kyt::formtext {

enum class TTok : uint8_t { End, Ident, Integer, String, Symbol, Float };

// Identifiers and most strings view the source; a string written in pieces views one of the
// lexer's two buffers (Buffered), valid until two more such strings are read.
struct TToken {
  TTok Kind = TTok::End;
  char Sym = 0;
  bool Buffered = false;
  TPos Pos = 0;
  std::string_view Text;
  int64_t Int = 0;
  double Float = 0;
};

// In characters, as component names are limited.
constexpr size_t kMaxIdentLength = core::kMaxNameLength;

constexpr bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Character classes by byte: one table read decides what a byte starts, where a chain of
// comparisons per byte would cost more than the scan itself.
enum : uint8_t { kcOther, kcLetter, kcDigit, kcBlank, kcQuote, kcSymbol, kcSign, kcDollar };
struct TCharClasses {
  uint8_t Of[256];
};
constexpr TCharClasses MakeCharClasses() {
  TCharClasses classes{};
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    uint8_t cls = kcOther;
    if (IsLetter(ch)) cls = kcLetter;
    else if (IsDigit(ch)) cls = kcDigit;
    else if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') cls = kcBlank;
    else if (ch == '\'' || ch == '#') cls = kcQuote;
    else if (ch == '-' || ch == '+') cls = kcSign;
    else if (ch == '$') cls = kcDollar;
    else for (const char* s = "=:,.()[]<>{}"; *s; ++s)
      if (*s == ch) cls = kcSymbol;
    classes.Of[c] = cls;
  }
  return classes;
}
constexpr TCharClasses kCharClasses = MakeCharClasses();
inline uint8_t ClassOf(char c) { return kCharClasses.Of[static_cast<unsigned char>(c)]; }
inline bool IsIdentChar(char c) { return static_cast<uint8_t>(ClassOf(c) - kcLetter) <= kcDigit - kcLetter; }

// Bytes a quoted piece read in place may hold: all but the quote, line ends, the zero byte and
// bytes outside ASCII (which are checked and may be converted).
struct TPlainQuoted {
  bool Of[256];
};
constexpr TPlainQuoted MakePlainQuoted() {
  TPlainQuoted plain{};
  for (int c = 1; c < 0x80; ++c) plain.Of[c] = c != '\'' && c != '\r' && c != '\n';
  return plain;
}
constexpr TPlainQuoted kPlainQuoted = MakePlainQuoted();

// Reads tokens one at a time into Tok(). The text must be followed by a zero byte (as a
// std::string's is), so scans stop at its end without a bounds test per byte.
//
// Text comes out in the process's code page. A #NN code is a UTF-16 unit (a high surrogate
// joined with the low one right after it); raw bytes inside quotes are in the file's encoding:
// UTF-8 in a file that starts with its byte-order mark (utf8), the code page in one without.
// Names may hold characters outside ASCII only in a UTF-8 file. Whatever is read is valid text.
class TLexer {
 public:
  TLexer(std::string_view text, const std::string& file, bool utf8, std::deque<std::string>& kept)
      : FBegin(text.data()), FEnd(text.data() + text.size()), FCur(FBegin), FFile(file), FUtf8(utf8), FKept(kept) {}

  [[noreturn]] void Fail(TPos pos, const std::string& reason) const;

  const TToken& Tok() const { return FTok; }
  // Moves to the next token.
  void Take() {
    const char* p = SkipBlanks(FCur);
    FCur = p;
    FTok.Pos = Offset(p);
    FTok.Buffered = false;
    if (ClassOf(*p) == kcLetter) return LexIdent(p);
    Lex(p);
  }
  // Skips the token after this one when it is the symbol sym, without making a token of it
  // (the '=' after most property names); Take() then reads the token after that.
  bool SkipNextSymbol(char sym) {
    const char* p = SkipBlanks(FCur);
    if (*p != sym) return false;
    FCur = p + 1;
    return true;
  }

  // Hex digits up to '}', called while '{' is the token: the next token is read after it.
  std::vector<uint8_t> ReadBinary(TPos start);

 private:
  TPos Offset(const char* p) const { return static_cast<TPos>(p - FBegin); }

  static const char* SkipBlanks(const char* p) {
    for (;;) {
      while (*p == ' ') ++p;  // most blanks are the space between tokens and indentation
      if (ClassOf(*p) != kcBlank) return p;
      ++p;
    }
  }

  void Lex(const char* p) {
    if (p >= FEnd) {
      FTok.Kind = TTok::End;
      return;
    }
    const char c = *p;
    switch (ClassOf(c)) {
      case kcLetter:
        return LexIdent(p);
      case kcDigit:
      case kcDollar:
        return LexInteger(p);
      case kcSign:
        if (ClassOf(p[1]) == kcDigit || p[1] == '$') return LexInteger(p);
        if (c == '+') return LexSymbol(c);
        break;
      case kcQuote:
        return LexString(p);
      case kcSymbol:
        return LexSymbol(c);
      default:
        if (FUtf8 && !IsAscii(c)) return LexIdent(p);
        break;
    }
    FailUnexpected(c);
  }

  [[noreturn]] void FailUnexpected(char c) const;

  void LexSymbol(char c) {
    ++FCur;
    FTok.Kind = TTok::Symbol;
    FTok.Sym = c;
  }

  // Inline in Take: half of all tokens are names.
  [[gnu::always_inline]] void LexIdent(const char* start) {
    const char* p = start + 1;
    while (IsIdentChar(*p)) ++p;
    if (FUtf8 && !(IsAscii(*p) && IsAscii(*start))) return LexUtf8Ident(start);
    if (static_cast<size_t>(p - start) > kMaxIdentLength) Fail(FTok.Pos, "identifier too long");
    FCur = p;
    FTok.Kind = TTok::Ident;
    FTok.Text = std::string_view(start, static_cast<size_t>(p - start));
  }

  // A name in a UTF-8 file that holds characters outside ASCII; kept out of line so the
  // common name stays a short path.
  void LexUtf8Ident(const char* start);
  // A name of a UTF-8 file in the code page: the source itself where that is UTF-8, else a
  // converted copy kept with the tree.
  std::string_view NameFromUtf8(std::string_view name);

  void LexInteger(const char* p) {
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    const bool hex = *p == '$';
    if (hex) ++p;
    const uint64_t base = hex ? 16 : 10;
    const uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(INT64_MAX);
    uint64_t value = 0;
    int digits = 0;
    for (;; ++p, ++digits) {
      const int d = hex ? HexValue(*p) : (IsDigit(*p) ? *p - '0' : -1);
      if (d < 0) break;
      if (value > (limit - static_cast<uint64_t>(d)) / base) {
        if (!hex) return LexDecimal(FBegin + FTok.Pos);  // a decimal may have more digits
        Fail(FTok.Pos, "integer out of range");
      }
      value = value * base + static_cast<uint64_t>(d);
    }
    if (digits == 0) Fail(FTok.Pos, "digits expected");
    // A fraction, an exponent or a type suffix makes a decimal number.
    if (!hex && (*p == '.' || IsIdentChar(*p))) return LexDecimal(FBegin + FTok.Pos);
    if (IsIdentChar(*p) || (FUtf8 && !IsAscii(*p))) Fail(Offset(p), "invalid number");
    FCur = p;
    FTok.Kind = TTok::Integer;
    FTok.Int = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  }

  // A decimal number from its sign: digits, a fraction, an exponent and a one-letter type suffix
  // (s single, d date, c currency, f float), each but the digits optional. An integer too long
  // for 64 bits ends here too, and is refused when it turns out to be no decimal.
  void LexDecimal(const char* start);

  // Adjacent quoted pieces and #NN codes form one string.
  void LexString(const char* p) {
    FTok.Kind = TTok::String;
    // Most strings are one quoted piece without a doubled quote: viewed where they stand.
    if (*p == '\'') {
      const char* first = p + 1;
      const char* q = first;
      while (kPlainQuoted.Of[static_cast<unsigned char>(*q)] || (*q == '\0' && q < FEnd)) ++q;
      const auto length = static_cast<size_t>(q - first);
      if (q < FEnd && *q == '\'' && length <= kMaxFormStringSize && q[1] != '\'' && q[1] != '#') {
        FCur = q + 1;
        FTok.Text = std::string_view(first, length);
        return;
      }
    }
    LexPieces();
  }

  // A string of several pieces, or one the fast path above cannot view in place, built in a buffer.
  void LexPieces();
  void LexQuoted(std::string& text);
  // Checks the raw bytes of one quoted piece (from on in text) in the file's encoding and
  // leaves them in the code page.
  void RawToCodePage(std::string& text, size_t from, TPos start);
  // The value of the #NN or #$HH code at p, which is moved past it.
  char32_t CharCode(const char*& p);
  void LexCharCode(std::string& text);

  const char* FBegin;
  const char* FEnd;
  const char* FCur;
  const std::string& FFile;
  const bool FUtf8;
  std::deque<std::string>& FKept;
  TToken FTok;
  std::string FBuffers[2];
  int FBufferIndex = 0;
  std::u16string FUnits;
};

}  // namespace kyt::formtext

#endif
