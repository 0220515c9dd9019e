// FormLexer: the lexer's paths off the common one: quoted pieces with doubled quotes, #NN codes,
// text outside ASCII, binary data and the errors with their positions.
#include "host/core/FormLexer.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kyt::formtext {

namespace {

struct TLineColumn {
  int Line = 1;
  int Column = 1;
};

// CR LF, LF and a lone CR each end a line; columns count bytes from 1.
TLineColumn LineColumnAt(std::string_view text, size_t offset) {
  TLineColumn at;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++at.Line;
      lineStart = i + 1;
    }
  }
  at.Column = static_cast<int>(offset - lineStart) + 1;
  return at;
}

}  // namespace

EReadError ReadError(const std::string& file, std::string_view text, TPos pos, const std::string& reason) {
  const TLineColumn at = LineColumnAt(text, pos);
  return EReadError(file, at.Line, at.Column, reason);
}

void TLexer::Fail(TPos pos, const std::string& reason) const {
  throw ReadError(FFile, std::string_view(FBegin, static_cast<size_t>(FEnd - FBegin)), pos, reason);
}

void TLexer::FailUnexpected(char c) const {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 32 && byte < 127) Fail(FTok.Pos, std::string("unexpected character '") + c + "'");
  char buf[32];
  std::snprintf(buf, sizeof buf, "unexpected byte 0x%02X", byte);
  Fail(FTok.Pos, buf);
}

std::vector<uint8_t> TLexer::ReadBinary(TPos start) {
  std::vector<uint8_t> bytes;
  int high = -1;
  const char* p = FCur;
  for (;;) {
    while (ClassOf(*p) == kcBlank) ++p;
    if (p >= FEnd) Fail(start, "unterminated binary data");
    const char c = *p;
    if (c == '}') {
      ++p;
      break;
    }
    const int digit = HexValue(c);
    if (digit < 0) Fail(Offset(p), "invalid character in binary data");
    ++p;
    if (high < 0) {
      high = digit;
      continue;
    }
    if (bytes.size() >= kMaxFormStringSize) Fail(start, "binary value too large");
    bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
    high = -1;
  }
  FCur = p;
  if (high >= 0) Fail(start, "odd number of digits in binary data");
  return bytes;
}

void TLexer::LexDecimal(const char* start) {
  const char* p = start;
  if (*p == '-' || *p == '+') ++p;
  while (IsDigit(*p)) ++p;
  bool decimal = false;
  if (*p == '.' && IsDigit(p[1])) {
    for (++p; IsDigit(*p);) ++p;
    decimal = true;
  }
  if ((*p == 'e' || *p == 'E') && (IsDigit(p[1]) || ((p[1] == '+' || p[1] == '-') && IsDigit(p[2])))) {
    for (p += 2; IsDigit(*p);) ++p;
    decimal = true;
  }
  const char* const digitsEnd = p;
  char suffix = 0;
  if (*p != '\0' && std::strchr("sSdDcCfF", *p)) {
    suffix = static_cast<char>(*p++ | 0x20);
    decimal = true;
  }
  if (IsIdentChar(*p) || (FUtf8 && !IsAscii(*p))) Fail(Offset(p), "invalid number");
  if (!decimal) Fail(FTok.Pos, "integer out of range");
  double value = 0;
  if (!TextToFloat(std::string_view(start, static_cast<size_t>(digitsEnd - start)), value))
    Fail(FTok.Pos, "number out of range");
  if (suffix == 's') {
    // A single keeps what a float holds; beyond its range there is nothing to keep.
    if (std::fabs(value) > FLT_MAX) Fail(FTok.Pos, "number out of range for a single");
    value = static_cast<double>(static_cast<float>(value));
  } else if (suffix == 'c') {
    // A currency value counts ten-thousandths in 64 bits.
    if (std::fabs(value) >= 922337203685477.5807) Fail(FTok.Pos, "number out of range for a currency");
    value = std::nearbyint(value * 10000) / 10000;
  }
  FCur = p;
  FTok.Kind = TTok::Float;
  FTok.Float = value;
}

void TLexer::LexUtf8Ident(const char* start) {
  const char* p = start;
  while (IsIdentChar(*p) || !IsAscii(*p)) ++p;
  FTok.Text = NameFromUtf8(std::string_view(start, static_cast<size_t>(p - start)));
  // Counted in characters (the units NameFromUtf8 left), not in the bytes a script takes.
  if (FUnits.size() > kMaxIdentLength) Fail(FTok.Pos, "identifier too long");
  FCur = p;
  FTok.Kind = TTok::Ident;
}

std::string_view TLexer::NameFromUtf8(std::string_view name) {
  FUnits.clear();
  if (!Utf8ToUtf16(name, FUnits)) Fail(FTok.Pos, "name is not valid UTF-8");
  if (CodePageIsUtf8()) return name;
  std::string converted;
  CodePageConversion().FromUtf16(FUnits, converted);
  return FKept.emplace_back(std::move(converted));
}

void TLexer::LexPieces() {
  FTok.Buffered = true;
  FBufferIndex ^= 1;
  std::string& text = FBuffers[FBufferIndex];
  text.clear();
  while (*FCur == '\'' || *FCur == '#') {
    if (*FCur == '\'') LexQuoted(text);
    else LexCharCode(text);
    if (text.size() > kMaxFormStringSize) Fail(FTok.Pos, "string too long");
  }
  FTok.Text = text;
}

void TLexer::LexQuoted(std::string& text) {
  const TPos start = Offset(FCur);
  const size_t from = text.size();
  bool ascii = true;
  const char* p = FCur + 1;
  for (;;) {
    if (p >= FEnd || *p == '\r' || *p == '\n') Fail(start, "unterminated string");
    const char c = *p++;
    if (c == '\'') {
      if (*p != '\'') break;  // the zero byte past the end is no quote
      ++p;
    }
    if (text.size() >= kMaxFormStringSize) Fail(FTok.Pos, "string too long");
    if (!IsAscii(c)) ascii = false;
    text += c;
  }
  FCur = p;
  if (!ascii) RawToCodePage(text, from, start);
}


void TLexer::RawToCodePage(std::string& text, size_t from, TPos start) {
  const std::string_view raw(text.data() + from, text.size() - from);
  FUnits.clear();
  if (!FUtf8) {
    if (!CodePageConversion().ToUtf16(raw, FUnits)) Fail(start, "string is not valid in the code page");
    return;
  }
  if (!Utf8ToUtf16(raw, FUnits)) Fail(start, "string is not valid UTF-8");
  if (CodePageIsUtf8()) return;
  text.resize(from);
  CodePageConversion().FromUtf16(FUnits, text);
}


char32_t TLexer::CharCode(const char*& p) {
  const TPos start = Offset(p);
  ++p;
  const bool hex = *p == '$';
  if (hex) ++p;
  char32_t value = 0;
  int digits = 0;
  for (;; ++p, ++digits) {
    const int d = hex ? HexValue(*p) : (IsDigit(*p) ? *p - '0' : -1);
    if (d < 0) break;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
    if (value > 0xFFFF) Fail(start, "character code out of range");
  }
  if (digits == 0) Fail(start, "character code expected after '#'");
  return value;
}

void TLexer::LexCharCode(std::string& text) {
  const TPos start = Offset(FCur);
  const char* p = FCur;
  const char32_t unit = CharCode(p);
  if (unit < 0x80) {
    text += static_cast<char>(unit);
    FCur = p;
    return;
  }
  FUnits.assign(1, static_cast<char16_t>(unit));
  if (IsLowSurrogate(unit)) Fail(start, "unpaired surrogate code");
  if (IsHighSurrogate(unit)) {
    if (*p != '#') Fail(start, "unpaired surrogate code");
    const char32_t low = CharCode(p);
    if (!IsLowSurrogate(low)) Fail(start, "unpaired surrogate code");
    FUnits += static_cast<char16_t>(low);
  }
  FCur = p;
  CodePageConversion().FromUtf16(FUnits, text);
}

}  // namespace kyt::formtext
