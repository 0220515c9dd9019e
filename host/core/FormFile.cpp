// FormFile: text form files. The reader parses the whole file into a tree first, so a syntax error
// never touches an object, then creates and assigns; the writer walks the published properties.
#include "host/core/FormFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <set>
#include <span>
#include <sstream>
#include <string_view>
#include <type_traits>

#include "host/core/CodePage.h"
#include "host/core/Collection.h"
#include "host/core/Strings.h"

namespace kyt {

using namespace std::string_view_literals;

namespace {

// ============================================================ Parse tree

// Where a node or token stands: the offset of its first byte in the form's text. Lines and
// columns are counted only for an error message, so the lexer need not track them.
using TPos = uint32_t;

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

EReadError ReadError(const std::string& file, std::string_view text, TPos pos, const std::string& reason) {
  const TLineColumn at = LineColumnAt(text, pos);
  return EReadError(file, at.Line, at.Column, reason);
}

enum class TValueKind : uint8_t { Integer, Ident, String, Set, List, Collection, Binary };

// A run of nodes in one of the tree's flat arrays.
struct TRange {
  uint32_t First = 0;
  uint32_t Count = 0;
};

// Names and texts view the form's text, or the tree's own store where the file spells them in
// pieces (a string with '' or #NN codes, pieces joined by '+', a dotted name with blanks).
struct TValue {
  TValueKind Kind = TValueKind::Integer;
  TPos Pos = 0;
  int64_t Int = 0;
  std::string_view Text;  // identifier or string contents
  TRange Parts;           // set members and list items (Elements), items (Items), binary data (Binaries)
};

struct TPropNode {
  TPos Pos = 0;
  uint32_t HeadLength = 0;  // of the name's first part
  std::string_view Name;    // dotted: each part names a property of the object the part before gave
  TValue Value;
};

struct TItemNode {
  TPos Pos = 0;
  TRange Props;
};

struct TObjectNode {
  TPos Pos = 0;
  std::string_view Name;
  std::string_view ClassName;
  TRange Props;
  TRange Children;
};

static_assert(std::is_trivially_copyable_v<TPropNode> && std::is_trivially_destructible_v<TPropNode>);
static_assert(std::is_trivially_copyable_v<TObjectNode> && std::is_trivially_copyable_v<TItemNode>);

// The parsed form; valid while the text it was parsed from is. Nodes live in a few flat arrays
// and name their parts by range: a form of a thousand components then costs a handful of
// allocations instead of several per component.
struct TFormTree {
  std::string_view Source;        // the text positions count in
  std::deque<std::string> Texts;  // texts not found whole in the form's text
  std::deque<std::vector<uint8_t>> Binaries;
  std::vector<TPropNode> Props;
  std::vector<TValue> Elements;
  std::vector<TItemNode> Items;
  std::vector<TObjectNode> Objects;
  TObjectNode Root;

  template <class T>
  static std::span<const T> Of(const std::vector<T>& nodes, TRange range) {
    return std::span<const T>(nodes.data() + range.First, range.Count);
  }
  std::span<const TPropNode> PropsOf(TRange range) const { return Of(Props, range); }
  std::span<const TObjectNode> ChildrenOf(const TObjectNode& node) const { return Of(Objects, node.Children); }
  std::span<const TValue> ElementsOf(const TValue& value) const { return Of(Elements, value.Parts); }
  std::span<const TItemNode> ItemsOf(const TValue& value) const { return Of(Items, value.Parts); }
  const std::vector<uint8_t>& BytesOf(const TValue& value) const { return Binaries[value.Parts.First]; }
};

// ============================================================ Lexer

enum class TTok : uint8_t { End, Ident, Integer, String, Symbol };

// Identifiers and most strings view the source; a string written in pieces views one of the
// lexer's two buffers (Buffered), valid until two more such strings are read.
struct TToken {
  TTok Kind = TTok::End;
  char Sym = 0;
  bool Buffered = false;
  TPos Pos = 0;
  std::string_view Text;
  int64_t Int = 0;
};

constexpr size_t kMaxIdentLength = 255;

constexpr bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
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

inline bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";  // the byte-order mark of a UTF-8 file

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

  [[noreturn]] void Fail(TPos pos, const std::string& reason) const {
    throw ReadError(FFile, std::string_view(FBegin, static_cast<size_t>(FEnd - FBegin)), pos, reason);
  }

  const TToken& Tok() const { return FTok; }
  // Moves to the next token.
  void Take() {
    const char* p = SkipBlanks(FCur);
    FCur = p;
    FTok.Pos = Offset(p);
    FTok.Buffered = false;
    if (ClassOf(*p) == kcLetter) return LexIdent(p);  // half of all tokens
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
  std::vector<uint8_t> ReadBinary(TPos start) {
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
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte < 127) Fail(FTok.Pos, std::string("unexpected character '") + c + "'");
    char buf[32];
    std::snprintf(buf, sizeof buf, "unexpected byte 0x%02X", byte);
    Fail(FTok.Pos, buf);
  }

  void LexSymbol(char c) {
    ++FCur;
    FTok.Kind = TTok::Symbol;
    FTok.Sym = c;
  }

  void LexIdent(const char* start) {
    const char* p = start + 1;
    while (IsIdentChar(*p)) ++p;
    bool ascii = IsAscii(*start);
    if (FUtf8) {
      for (; IsIdentChar(*p) || !IsAscii(*p); ++p)
        if (!IsAscii(*p)) ascii = false;
    }
    if (static_cast<size_t>(p - start) > kMaxIdentLength) Fail(FTok.Pos, "identifier too long");
    FCur = p;
    FTok.Kind = TTok::Ident;
    FTok.Text = std::string_view(start, static_cast<size_t>(p - start));
    if (!ascii) FTok.Text = NameFromUtf8(FTok.Text);
  }

  // A name of a UTF-8 file in the code page: the source itself where that is UTF-8, else a
  // converted copy kept with the tree.
  std::string_view NameFromUtf8(std::string_view name) {
    FUnits.clear();
    if (!Utf8ToUtf16(name, FUnits)) Fail(FTok.Pos, "name is not valid UTF-8");
    if (CodePageIsUtf8()) return name;
    std::string converted;
    CodePageConversion().FromUtf16(FUnits, converted);
    return FKept.emplace_back(std::move(converted));
  }

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
      if (value > (limit - static_cast<uint64_t>(d)) / base) Fail(FTok.Pos, "integer out of range");
      value = value * base + static_cast<uint64_t>(d);
    }
    if (digits == 0) Fail(FTok.Pos, "digits expected");
    if (IsIdentChar(*p) || (FUtf8 && !IsAscii(*p))) Fail(Offset(p), "invalid number");
    FCur = p;
    FTok.Kind = TTok::Integer;
    FTok.Int = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  }

  // Adjacent quoted pieces and #NN codes form one string.
  void LexString(const char* p) {
    FTok.Kind = TTok::String;
    // Most strings are one quoted piece without a doubled quote: viewed where they stand.
    if (*p == '\'') {
      const char* first = p + 1;
      const char* q = first;
      while (*q != '\'' && *q != '\r' && *q != '\n' && IsAscii(*q) && q < FEnd) ++q;
      const auto length = static_cast<size_t>(q - first);
      if (q < FEnd && *q == '\'' && length <= kMaxFormStringSize && q[1] != '\'' && q[1] != '#') {
        FCur = q + 1;
        FTok.Text = std::string_view(first, length);
        return;
      }
    }
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

  void LexQuoted(std::string& text) {
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

  // Checks the raw bytes of one quoted piece (from on in text) in the file's encoding and
  // leaves them in the code page.
  void RawToCodePage(std::string& text, size_t from, TPos start) {
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

  // The value of the #NN or #$HH code at p, which is moved past it.
  char32_t CharCode(const char*& p) {
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

  void LexCharCode(std::string& text) {
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

// ============================================================ Parser

class TParser {
 public:
  TParser(std::string_view text, const std::string& file, bool utf8, TFormTree& tree)
      : FLex(text, file, utf8, tree.Texts), FTree(tree) {
    FTree.Source = text;
    // Room for the nodes of a typical form at once, so the arrays are seldom moved while they
    // grow: a property takes some thirty bytes of text or more.
    FTree.Props.reserve(text.size() / 32 + 16);
  }

  void ParseFile() {
    FLex.Take();
    if (Tok().Kind == TTok::End) Fail(Tok().Pos, "empty file");
    FTree.Root = ParseObject(1);
    if (Tok().Kind != TTok::End) Fail(Tok().Pos, "text after the final 'end'");
  }

 private:
  const TToken& Tok() const { return FLex.Tok(); }
  [[noreturn]] void Fail(TPos pos, const std::string& reason) const { FLex.Fail(pos, reason); }

  template <size_t N>
  static bool IsKeyword(const TToken& tok, const char (&word)[N]) {
    if (tok.Kind != TTok::Ident || tok.Text.size() != N - 1) return false;
    const char* text = tok.Text.data();
    for (size_t i = 0; i < N - 1; ++i)
      if ((text[i] | 0x20) != word[i]) return false;  // keywords are lower-case letters
    return true;
  }
  bool AtSymbol(char sym) const { return Tok().Kind == TTok::Symbol && Tok().Sym == sym; }
  void CheckDepth(int depth, TPos pos) const {
    if (depth > kMaxFormNesting) Fail(pos, "nesting too deep");
  }
  std::string_view ExpectIdent(const char* what) {
    if (Tok().Kind != TTok::Ident) Fail(Tok().Pos, std::string(what) + " expected");
    const std::string_view text = Tok().Text;
    FLex.Take();
    return text;
  }
  void ExpectSymbol(char sym) {
    if (!AtSymbol(sym)) Fail(Tok().Pos, std::string("'") + sym + "' expected");
    FLex.Take();
  }
  void CheckCount(size_t count, TPos pos) const {
    if (count >= kMaxFormListItems) Fail(pos, "too many items");
  }

  // Nodes of one object or item are gathered on a stack while its children (and the items of
  // its collections) are parsed, then moved together into the tree's array.
  template <class T>
  static TRange Settle(std::vector<T>& stack, size_t base, std::vector<T>& nodes) {
    const TRange range{static_cast<uint32_t>(nodes.size()), static_cast<uint32_t>(stack.size() - base)};
    nodes.insert(nodes.end(), stack.begin() + static_cast<std::ptrdiff_t>(base), stack.end());
    stack.resize(base);
    return range;
  }

  std::string_view Keep(std::string text) { return FTree.Texts.emplace_back(std::move(text)); }

  // Identifiers joined by dots: a view of the source where they stand without blanks between.
  std::string_view ParseDotted(std::string_view first, TPos pos, const char* what) {
    if (!AtSymbol('.')) return first;
    const char* end = first.data() + first.size();
    std::string joined;  // made only once a blank stands between two parts
    int parts = 1;
    while (AtSymbol('.')) {
      FLex.Take();
      const std::string_view part = ExpectIdent(what);
      if (joined.empty() && part.data() != end + 1) joined.assign(first.data(), static_cast<size_t>(end - first.data()));
      if (!joined.empty()) {
        joined += '.';
        joined += part;
      }
      end = part.data() + part.size();
      if (++parts > kMaxFormNesting) Fail(pos, "nesting too deep");
    }
    if (joined.empty()) return std::string_view(first.data(), static_cast<size_t>(end - first.data()));
    return Keep(std::move(joined));
  }

  TObjectNode ParseObject(int depth) {
    if (!IsKeyword(Tok(), "object")) Fail(Tok().Pos, "'object' expected");
    TObjectNode node;
    node.Pos = Tok().Pos;
    CheckDepth(depth, node.Pos);
    FLex.Take();
    const size_t propBase = FPropStack.size(), childBase = FObjectStack.size();
    const std::string_view first = ExpectIdent("component name or class name");
    if (AtSymbol(':')) {
      FLex.Take();
      node.Name = first;
      node.ClassName = ExpectIdent("class name");
    } else {
      node.ClassName = first;
    }
    for (;;) {
      const TToken& tok = Tok();
      if (tok.Kind != TTok::Ident) {
        if (tok.Kind == TTok::End)
          Fail(tok.Pos, "'end' expected for object " + std::string(node.Name.empty() ? node.ClassName : node.Name));
        Fail(tok.Pos, "property name expected");
      }
      if (IsKeyword(tok, "end")) {
        FLex.Take();
        node.Props = Settle(FPropStack, propBase, FTree.Props);
        node.Children = Settle(FObjectStack, childBase, FTree.Objects);
        return node;
      }
      if (IsKeyword(tok, "object")) {
        const TObjectNode child = ParseObject(depth + 1);
        FObjectStack.push_back(child);
        CheckCount(FObjectStack.size() - childBase, node.Pos);
      } else {
        const TPropNode prop = ParseProperty(depth);
        FPropStack.push_back(prop);
        CheckCount(FPropStack.size() - propBase, node.Pos);
      }
    }
  }

  TPropNode ParseProperty(int depth) {
    TPropNode prop;
    prop.Pos = Tok().Pos;
    if (Tok().Kind != TTok::Ident) Fail(prop.Pos, "property name expected");
    const std::string_view head = Tok().Text;
    prop.HeadLength = static_cast<uint32_t>(head.size());
    if (FLex.SkipNextSymbol('=')) {
      prop.Name = head;
      FLex.Take();
    } else {
      FLex.Take();
      prop.Name = ParseDotted(head, prop.Pos, "property name");
      ExpectSymbol('=');
    }
    ParseValue(prop.Value, depth);
    return prop;
  }

  void ParseValue(TValue& value, int depth) {
    const TToken& tok = Tok();
    value.Pos = tok.Pos;
    switch (tok.Kind) {
      case TTok::Integer:
        value.Kind = TValueKind::Integer;
        value.Int = tok.Int;
        FLex.Take();
        return;
      case TTok::Ident:
        return ParseIdentValue(value);
      case TTok::String:
        return ParseStringValue(value);
      case TTok::Symbol:
        if (tok.Sym == '[') return ParseSet(value);
        if (tok.Sym == '(') return ParseList(value);
        if (tok.Sym == '<') return ParseCollection(value, depth + 1);
        if (tok.Sym == '{') {
          value.Kind = TValueKind::Binary;
          value.Parts.First = static_cast<uint32_t>(FTree.Binaries.size());
          FTree.Binaries.push_back(FLex.ReadBinary(value.Pos));
          FLex.Take();
          return;
        }
        break;
      case TTok::End:
        break;
    }
    Fail(tok.Pos, "value expected");
  }

  void ParseIdentValue(TValue& value) {
    value.Pos = Tok().Pos;
    value.Kind = TValueKind::Ident;
    value.Text = ParseDotted(ExpectIdent("identifier"), value.Pos, "identifier");
  }

  void ParseStringValue(TValue& value) {
    value.Pos = Tok().Pos;
    value.Kind = TValueKind::String;
    // A buffered text stays valid while one more string is read.
    const std::string_view first = Tok().Text;
    const bool buffered = Tok().Buffered;
    FLex.Take();
    if (!AtSymbol('+')) {
      value.Text = buffered ? Keep(std::string(first)) : first;
      return;
    }
    std::string text(first);
    while (AtSymbol('+')) {
      FLex.Take();
      const TToken& more = Tok();
      if (more.Kind != TTok::String) Fail(more.Pos, "string expected after '+'");
      if (text.size() + more.Text.size() > kMaxFormStringSize) Fail(value.Pos, "string too long");
      text += more.Text;
      FLex.Take();
    }
    value.Text = Keep(std::move(text));
  }

  void ParseSet(TValue& value) {
    value.Kind = TValueKind::Set;
    FLex.Take();
    // Members follow one another in the tree's array: nothing nests inside a set.
    std::vector<TValue>& elements = FTree.Elements;
    value.Parts.First = static_cast<uint32_t>(elements.size());
    if (AtSymbol(']')) {
      FLex.Take();
      return;
    }
    for (;;) {
      const TToken& member = Tok();
      if (member.Kind != TTok::Ident) Fail(member.Pos, "set member expected");
      TValue& element = elements.emplace_back();
      element.Kind = TValueKind::Ident;
      element.Pos = member.Pos;
      element.Text = member.Text;
      CheckCount(++value.Parts.Count, value.Pos);
      FLex.Take();
      if (AtSymbol(']')) {
        FLex.Take();
        return;
      }
      if (!AtSymbol(',')) {
        if (Tok().Kind == TTok::End) Fail(value.Pos, "unterminated set");
        Fail(Tok().Pos, "',' or ']' expected");
      }
      FLex.Take();
    }
  }

  void ParseList(TValue& value) {
    value.Kind = TValueKind::List;
    FLex.Take();
    // Items follow one another in the tree's array: nothing nests inside a list.
    std::vector<TValue>& elements = FTree.Elements;
    value.Parts.First = static_cast<uint32_t>(elements.size());
    for (;;) {
      const TToken& item = Tok();
      if (item.Kind == TTok::End) Fail(value.Pos, "unterminated list");
      if (item.Kind == TTok::Symbol && item.Sym == ')') {
        FLex.Take();
        return;
      }
      if (item.Kind == TTok::String) {
        ParseStringValue(elements.emplace_back());
      } else if (item.Kind == TTok::Ident) {
        ParseIdentValue(elements.emplace_back());
      } else if (item.Kind == TTok::Integer) {
        TValue& element = elements.emplace_back();
        element.Pos = item.Pos;
        element.Int = item.Int;
        FLex.Take();
      } else {
        Fail(item.Pos, "list item expected");
      }
      CheckCount(++value.Parts.Count, value.Pos);
    }
  }

  void ParseCollection(TValue& value, int depth) {
    CheckDepth(depth, value.Pos);
    value.Kind = TValueKind::Collection;
    FLex.Take();
    const size_t itemBase = FItemStack.size();
    for (;;) {
      const TToken& tok = Tok();
      if (tok.Kind == TTok::End) Fail(value.Pos, "unterminated collection");
      if (tok.Kind == TTok::Symbol && tok.Sym == '>') {
        FLex.Take();
        value.Parts = Settle(FItemStack, itemBase, FTree.Items);
        return;
      }
      if (!IsKeyword(tok, "item")) Fail(tok.Pos, "'item' or '>' expected");
      TItemNode item;
      item.Pos = tok.Pos;
      FLex.Take();
      const size_t propBase = FPropStack.size();
      for (;;) {
        const TToken& next = Tok();
        if (next.Kind == TTok::End) Fail(item.Pos, "'end' expected for item");
        if (IsKeyword(next, "end")) {
          FLex.Take();
          break;
        }
        if (next.Kind != TTok::Ident) Fail(next.Pos, "property name expected");
        const TPropNode prop = ParseProperty(depth);
        FPropStack.push_back(prop);
        CheckCount(FPropStack.size() - propBase, item.Pos);
      }
      item.Props = Settle(FPropStack, propBase, FTree.Props);
      FItemStack.push_back(item);
      CheckCount(FItemStack.size() - itemBase, value.Pos);
    }
  }

  TLexer FLex;
  TFormTree& FTree;
  std::vector<TPropNode> FPropStack;
  std::vector<TObjectNode> FObjectStack;
  std::vector<TItemNode> FItemStack;
};

// ============================================================ Snapshot of a root's properties

// The published state of one object, so a failed read can put an existing root back.
class TSnapshot {
 public:
  TSnapshot(TPersistent& obj, int depth) : FObject(obj) {
    for (const TPropInfo* prop : obj.ClassType().Properties()) {
      try {
        Capture(*prop, depth);
      } catch (const std::exception&) {
        // A value that cannot be captured cannot be put back either; reading goes on.
      }
    }
  }

  void Restore() {
    for (TEntry& entry : FEntries) {
      try {
        RestoreEntry(entry);
      } catch (const std::exception&) {
        // Best effort: one refused value must not keep the others from coming back.
      }
    }
  }

 private:
  struct TEntry {
    const TPropInfo* Prop = nullptr;
    int64_t Ord = 0;
    std::string Str;
    std::vector<uint8_t> Bytes;
    TMethod Method;
    TPersistent* Ref = nullptr;
    std::unique_ptr<TStringList> Lines;
    std::unique_ptr<TCollection> Items;
    std::unique_ptr<TSnapshot> Sub;
  };

  void Capture(const TPropInfo& prop, int depth) {
    TEntry entry;
    entry.Prop = &prop;
    switch (prop.Kind()) {
      case pkString: entry.Str = prop.GetStr(&FObject); break;
      case pkBinary: entry.Bytes = prop.GetBinary(&FObject); break;
      case pkEvent: entry.Method = prop.GetMethod(&FObject); break;
      case pkComponentRef: entry.Ref = prop.GetObject(&FObject); break;
      case pkStrings:
        if (auto* lines = dynamic_cast<TStrings*>(prop.GetObject(&FObject))) {
          entry.Lines = std::make_unique<TStringList>();
          entry.Lines->Assign(lines);
        }
        break;
      case pkCollection:
        if (auto* items = dynamic_cast<TCollection*>(prop.GetObject(&FObject))) {
          entry.Items = std::make_unique<TCollection>(items->ItemClass(), nullptr);
          entry.Items->Assign(items);
        }
        break;
      case pkClass:
        if (TPersistent* sub = prop.GetObject(&FObject); sub && depth < kMaxFormNesting)
          entry.Sub = std::make_unique<TSnapshot>(*sub, depth + 1);
        break;
      default: entry.Ord = prop.GetOrd(&FObject); break;
    }
    FEntries.push_back(std::move(entry));
  }

  void RestoreEntry(TEntry& entry) {
    const TPropInfo& prop = *entry.Prop;
    if (entry.Sub) {
      entry.Sub->Restore();
      return;
    }
    if (entry.Items) {
      if (TPersistent* items = prop.GetObject(&FObject)) items->Assign(entry.Items.get());
      return;
    }
    if (entry.Lines) {
      if (!prop.IsReadOnly()) prop.SetObject(&FObject, entry.Lines.get());
      else if (TPersistent* lines = prop.GetObject(&FObject)) lines->Assign(entry.Lines.get());
      return;
    }
    if (prop.IsReadOnly()) return;
    switch (prop.Kind()) {
      case pkString: prop.SetStr(&FObject, entry.Str); break;
      case pkBinary: prop.SetBinary(&FObject, entry.Bytes); break;
      case pkEvent: prop.SetMethod(&FObject, entry.Method); break;
      case pkComponentRef: prop.SetObject(&FObject, entry.Ref); break;
      case pkClass: case pkStrings: case pkCollection: break;
      default: prop.SetOrd(&FObject, entry.Ord); break;
    }
  }

  TPersistent& FObject;
  std::vector<TEntry> FEntries;
};

}  // namespace

// ============================================================ Reader

// Creates and assigns the components of a parsed form; on failure frees what it created.
class TReader {
 public:
  TReader(const std::string& file, const TFormTree& tree, TComponent& root) : FFile(file), FTree(tree), FRoot(root) {
    FPropOrders.reserve(kMaxPropOrders);  // never moved: reading a collection's items adds orders
  }

  // Assigns the root's block; exceptions leave the created components for Rollback.
  void Read(const TObjectNode& node) {
    const size_t components = FTree.Objects.size() + 1;
    FCreated.reserve(components);
    FLoaded.reserve(components);
    FLoadedPos.reserve(components);
    FFixups.reserve(components);  // a reference or so per component is common
    FNamed.reserve(components);
    BeginLoading(FRoot, node.Pos);
    if (!node.Name.empty()) Guard(node.Pos, [&] { FRoot.SetName(std::string(node.Name)); });
    ReadProperties(FRoot, node.Props);
    for (const TObjectNode& child : FTree.ChildrenOf(node)) ReadChild(FRoot, child);
    ResolveFixups();
    CallLoaded();
    for (TComponent* c : FLoaded) {
      c->SetComponentState(csLoading, false);
      c->SetComponentState(csReading, false);
    }
  }

  static void SetState(TComponent& c, TComponentStateFlag flag, bool on) { c.SetComponentState(flag, on); }

  // Frees every component created, last first (not the root).
  void FreeCreated() {
    while (!FCreated.empty()) {
      TComponent* c = FCreated.back();
      FCreated.pop_back();
      delete c;
    }
  }

 private:
  [[noreturn]] void Fail(TPos pos, const std::string& reason) const {
    throw ReadError(FFile, FTree.Source, pos, reason);
  }

  // Runs fn, turning any exception it raises into a read error at pos.
  template <class Fn>
  void Guard(TPos pos, Fn&& fn) {
    try {
      fn();
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      Fail(pos, e.Message());
    } catch (const std::exception& e) {
      Fail(pos, e.what());
    }
  }

  void BeginLoading(TComponent& c, TPos pos) {
    c.SetComponentState(csLoading, true);
    c.SetComponentState(csReading, true);
    FLoaded.push_back(&c);
    FLoadedPos.push_back(pos);
  }

  // Siblings are mostly of one class: the last class found is tried before the registry.
  const TClassInfo* ClassNamed(std::string_view name) {
    if (FLastClass && core::SameText(FLastClass->Name(), name)) return FLastClass;
    const TClassInfo* cls = FindClass(name);
    if (cls) FLastClass = cls;
    return cls;
  }

  void ReadChild(TComponent& parent, const TObjectNode& node) {
    const TClassInfo* cls = ClassNamed(node.ClassName);
    if (!cls) Fail(node.Pos, "unknown class " + std::string(node.ClassName));
    if (!cls->IsComponentClass()) Fail(node.Pos, std::string(node.ClassName) + " is not a component class");
    if (!cls->CanCreateComponent()) Fail(node.Pos, "cannot create an instance of " + std::string(node.ClassName));
    TComponent* c = nullptr;
    Guard(node.Pos, [&] { c = cls->CreateComponent(&FRoot); });
    FCreated.push_back(c);
    BeginLoading(*c, node.Pos);
    Guard(node.Pos, [&] {
      c->SetParentComponent(&parent);
      c->SetName(std::string(node.Name));
    });
    if (!node.Name.empty()) FNamed.push_back(TNamed{core::TextHash(node.Name), c});
    ReadProperties(*c, node.Props);
    for (const TObjectNode& child : FTree.ChildrenOf(node)) ReadChild(*c, child);
  }

  // The objects of one class mostly list the same properties in the same order, give or take
  // one left at its default, so each name is first looked for a little way on in the list the
  // last object of that class had. The lists only spare lookups: a name is always compared.
  struct TPropOrder {
    const TClassInfo* Class = nullptr;
    std::vector<const TPropInfo*> Last;
    std::vector<const TPropInfo*> Next;
  };
  static constexpr size_t kMaxPropOrders = 64;
  static constexpr size_t kPropLookAhead = 3;

  TPropOrder* PropOrderOf(const TClassInfo& cls) {
    for (TPropOrder& order : FPropOrders)
      if (order.Class == &cls) return &order;
    if (FPropOrders.size() >= kMaxPropOrders) return nullptr;
    return &FPropOrders.emplace_back(TPropOrder{&cls, {}, {}});
  }

  void ReadProperties(TPersistent& obj, TRange props) {
    if (props.Count == 0) return;
    TPropOrder* order = PropOrderOf(obj.ClassType());
    if (order) order->Next.clear();
    size_t cursor = 0;
    for (const TPropNode& prop : FTree.PropsOf(props)) {
      const std::string_view head = prop.Name.substr(0, prop.HeadLength);
      const TPropInfo* found = nullptr;
      if (order) {
        // Indexed afresh each time: reading an item of this class's collection reuses the lists.
        for (size_t k = cursor; k < order->Last.size() && k < cursor + kPropLookAhead; ++k) {
          if (core::SameText(order->Last[k]->Name(), head)) {
            found = order->Last[k];
            cursor = k + 1;
            break;
          }
        }
      }
      if (!found) found = &FindProp(obj, head, prop.Pos);
      if (order) order->Next.push_back(found);
      ReadProperty(obj, *found, prop);
    }
    if (order) std::swap(order->Last, order->Next);
  }

  const TPropInfo& FindProp(const TPersistent& obj, std::string_view name, TPos pos) {
    const TPropInfo* prop = obj.ClassType().FindProperty(name);
    if (!prop) Fail(pos, "unknown property " + std::string(name) + " of " + obj.ClassName());
    return *prop;
  }

  // Walks a dotted name through owned sub-objects and assigns the last part; head is the
  // property its first part names.
  void ReadProperty(TPersistent& obj, const TPropInfo& head, const TPropNode& node) {
    TPersistent* target = &obj;
    const char* part = node.Name.data();
    const char* const end = part + node.Name.size();
    const TPropInfo* found = &head;
    for (;;) {
      const char* dot = part == node.Name.data()
                            ? (node.HeadLength < node.Name.size() ? part + node.HeadLength : nullptr)
                            : static_cast<const char*>(std::memchr(part, '.', static_cast<size_t>(end - part)));
      const bool last = dot == nullptr;
      if (!found) found = &FindProp(*target, std::string_view(part, static_cast<size_t>((last ? end : dot) - part)), node.Pos);
      const TPropInfo& prop = *found;
      found = nullptr;
      const auto rest = last ? std::string_view() : std::string_view(dot + 1, static_cast<size_t>(end - dot - 1));
      const bool stringsSuffix = !last && prop.Kind() == pkStrings && core::SameText(rest, "Strings"sv);
      if (last || stringsSuffix) {
        Guard(node.Pos, [&] { AssignValue(*target, prop, node.Value, node.Name); });
        return;
      }
      if (prop.Kind() != pkClass) Fail(node.Pos, prop.Name() + " has no sub-properties");
      TPersistent* sub = prop.GetObject(target);
      if (!sub) Fail(node.Pos, prop.Name() + " is not assigned");
      target = sub;
      part = dot + 1;
    }
  }

  [[noreturn]] void WrongKind(const TValue& value, const TPropInfo& prop, const char* expected) const {
    Fail(value.Pos, "wrong value for " + prop.Name() + ": " + expected + " expected");
  }

  void CheckRange(const TValue& value, const TPropInfo& prop, int64_t v) const {
    if (v < prop.MinValue() || v > prop.MaxValue())
      Fail(value.Pos, "value " + std::to_string(v) + " out of range for " + prop.Name() + " (" +
                          std::to_string(prop.MinValue()) + ".." + std::to_string(prop.MaxValue()) + ")");
  }

  int64_t EnumMember(const TValue& value, const TPropInfo& prop) const {
    const int64_t ord = GetEnumValue(*prop.EnumType(), value.Text);
    if (ord < 0 || ord >= 64) Fail(value.Pos, "'" + std::string(value.Text) + "' is not a member of " + prop.EnumType()->Name);
    return ord;
  }

  void AssignValue(TPersistent& obj, const TPropInfo& prop, const TValue& value, std::string_view name) {
    if (prop.IsReadOnly() && prop.Kind() != pkStrings && prop.Kind() != pkCollection)
      Fail(value.Pos, "property " + std::string(name) + " is read-only");
    switch (prop.Kind()) {
      case pkInteger:
        if (value.Kind != TValueKind::Integer) WrongKind(value, prop, "integer");
        CheckRange(value, prop, value.Int);
        prop.SetOrd(&obj, value.Int);
        return;
      case pkBoolean:
        if (value.Kind != TValueKind::Ident) WrongKind(value, prop, "True or False");
        if (core::SameText(value.Text, "True"sv)) prop.SetOrd(&obj, 1);
        else if (core::SameText(value.Text, "False"sv)) prop.SetOrd(&obj, 0);
        else WrongKind(value, prop, "True or False");
        return;
      case pkChar:
        if (value.Kind != TValueKind::String) WrongKind(value, prop, "one character");
        prop.SetOrd(&obj, CharOrdinal(value, prop));
        return;
      case pkString:
        if (value.Kind != TValueKind::String) WrongKind(value, prop, "string");
        prop.SetStr(&obj, std::string(value.Text));
        return;
      case pkEnum:
        if (value.Kind != TValueKind::Ident) WrongKind(value, prop, "enumeration member");
        prop.SetOrd(&obj, EnumMember(value, prop));
        return;
      case pkSet:
        AssignSet(obj, prop, value);
        return;
      case pkColor:
        AssignColor(obj, prop, value);
        return;
      case pkStrings:
        AssignStrings(obj, prop, value);
        return;
      case pkCollection:
        AssignCollection(obj, prop, value);
        return;
      case pkComponentRef:
        if (value.Kind != TValueKind::Ident) WrongKind(value, prop, "component name");
        if (core::SameText(value.Text, "nil"sv)) prop.SetObject(&obj, nullptr);
        else FFixups.push_back(TFixup{&obj, &prop, value.Text, core::TextHash(value.Text), value.Pos});
        return;
      case pkEvent:
        AssignEvent(obj, prop, value);
        return;
      case pkBinary:
        if (value.Kind != TValueKind::Binary) WrongKind(value, prop, "binary data");
        prop.SetBinary(&obj, FTree.BytesOf(value));
        return;
      case pkClass:
        break;
    }
    Fail(value.Pos, prop.Name() + " is an object; assign its sub-properties");
  }

  // A character property holds one byte: one byte of text, or the one character up to U+00FF
  // that a code the writer gave a byte the code page does not define stands for.
  int64_t CharOrdinal(const TValue& value, const TPropInfo& prop) const {
    if (value.Text.size() == 1) return static_cast<unsigned char>(value.Text[0]);
    std::u16string units;
    if (!value.Text.empty() && CodePageConversion().ToUtf16(value.Text, units) && units.size() == 1 && units[0] <= 0xFF)
      return units[0];
    WrongKind(value, prop, "one character");
  }

  void AssignSet(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind != TValueKind::Set) WrongKind(value, prop, "set");
    uint64_t bits = 0;
    for (const TValue& member : FTree.ElementsOf(value)) bits |= uint64_t{1} << EnumMember(member, prop);
    prop.SetOrd(&obj, static_cast<int64_t>(bits));
  }

  void AssignColor(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind == TValueKind::Integer) {
      CheckRange(value, prop, value.Int);
      prop.SetOrd(&obj, value.Int);
      return;
    }
    TColor color{};
    if (value.Kind != TValueKind::Ident || !IdentToColor(value.Text, color)) WrongKind(value, prop, "colour");
    prop.SetOrd(&obj, ColorValue(color));
  }

  void AssignStrings(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind != TValueKind::List) WrongKind(value, prop, "list of strings");
    TStringList lines;
    lines.BeginUpdate();
    for (const TValue& line : FTree.ElementsOf(value)) {
      if (line.Kind != TValueKind::String) Fail(line.Pos, "string expected in " + prop.Name());
      lines.Add(std::string(line.Text));
    }
    lines.EndUpdate();
    if (!prop.IsReadOnly()) {
      prop.SetObject(&obj, &lines);
      return;
    }
    TPersistent* target = prop.GetObject(&obj);
    if (!target) Fail(value.Pos, prop.Name() + " is not assigned");
    target->Assign(&lines);
  }

  void AssignCollection(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind != TValueKind::Collection) WrongKind(value, prop, "collection");
    auto* items = dynamic_cast<TCollection*>(prop.GetObject(&obj));
    if (!items) Fail(value.Pos, prop.Name() + " is not assigned");
    // Items may hold pending references; a collection read twice would free them.
    if (!FReadCollections.insert(items).second) Fail(value.Pos, prop.Name() + " assigned twice");
    items->BeginUpdate();
    try {
      items->Clear();
      for (const TItemNode& item : FTree.ItemsOf(value)) {
        TCollectionItem* created = nullptr;
        Guard(item.Pos, [&] { created = items->AddOfClass(items->ReadItemClass(StoredNames(item))); });
        ReadProperties(*created, item.Props);
      }
    } catch (...) {
      items->EndUpdate();
      throw;
    }
    items->EndUpdate();
  }

  std::vector<std::string> StoredNames(const TItemNode& item) const {
    std::vector<std::string> names;
    names.reserve(item.Props.Count);
    for (const TPropNode& prop : FTree.PropsOf(item.Props)) names.emplace_back(prop.Name);
    return names;
  }

  void AssignEvent(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind != TValueKind::Ident) WrongKind(value, prop, "method name");
    if (core::SameText(value.Text, "nil"sv)) {
      prop.SetMethod(&obj, TMethod{});
      return;
    }
    TMethod method;
    const std::string name(value.Text);
    if (!FindPublishedMethod(FRoot, name, method))
      Fail(value.Pos, "unknown event handler " + name + " of " + FRoot.ClassName());
    prop.SetMethod(&obj, method);
  }

  struct TFixup {
    TPersistent* Object;
    const TPropInfo* Prop;
    std::string_view Name;  // views the parse tree, which outlives the reader's work
    size_t Hash;            // of Name, taken while the text was at hand
    TPos Pos;
  };

  // A component this reader named, with the hash of the name it gave.
  struct TNamed {
    size_t Hash;
    TComponent* Component;
  };

  // Open addressing, a power of two long and at most half full.
  template <class T>
  static std::vector<T> HashSlots(size_t count) {
    size_t size = 16;
    while (size < count * 2) size *= 2;
    return std::vector<T>(size, T{});
  }

  // The root's component named name (the root itself included); null when there is none.
  // Names are found through hashed indexes, so many references stay fast. Most references name a
  // component this reader created and named: the index of those is made from the hashes taken
  // while reading, and a candidate it gives is checked against the component's name now.
  // Everything else, and any name that changed since, is looked for among all the root's
  // components, whose index is made only then: making it reads every component afresh.
  TComponent* Referenced(const TFixup& fixup) {
    if (core::SameText(FRoot.Name(), fixup.Name)) return &FRoot;
    if (FNamedSlots.empty() && !FNamed.empty()) {
      FNamedSlots = HashSlots<const TNamed*>(FNamed.size());
      const size_t mask = FNamedSlots.size() - 1;
      for (const TNamed& named : FNamed) {
        size_t slot = named.Hash & mask;
        while (FNamedSlots[slot]) slot = (slot + 1) & mask;
        FNamedSlots[slot] = &named;
      }
    }
    if (!FNamedSlots.empty()) {
      const size_t mask = FNamedSlots.size() - 1;
      for (size_t slot = fixup.Hash & mask; FNamedSlots[slot]; slot = (slot + 1) & mask) {
        TComponent* c = FNamedSlots[slot]->Component;
        if (FNamedSlots[slot]->Hash == fixup.Hash && c->Owner() == &FRoot && core::SameText(c->Name(), fixup.Name))
          return c;
      }
    }
    if (FOwnedSlots.empty()) {
      const int count = FRoot.ComponentCount();
      FOwnedSlots = HashSlots<TComponent*>(static_cast<size_t>(count));
      const size_t mask = FOwnedSlots.size() - 1;
      for (int i = 0; i < count; ++i) {
        TComponent* c = FRoot.Components(i);
        if (c->Name().empty()) continue;
        size_t slot = core::TextHash(c->Name()) & mask;
        while (FOwnedSlots[slot]) slot = (slot + 1) & mask;
        FOwnedSlots[slot] = c;
      }
    }
    const size_t mask = FOwnedSlots.size() - 1;
    for (size_t slot = fixup.Hash & mask; FOwnedSlots[slot]; slot = (slot + 1) & mask)
      if (core::SameText(FOwnedSlots[slot]->Name(), fixup.Name)) return FOwnedSlots[slot];
    return nullptr;
  }

  void ResolveFixups() {
    for (const TFixup& fixup : FFixups) {
      TComponent* target = Referenced(fixup);
      if (!target) Fail(fixup.Pos, "unresolved reference " + std::string(fixup.Name));
      Guard(fixup.Pos, [&] { fixup.Prop->SetObject(fixup.Object, target); });
    }
  }

  void CallLoaded() {
    for (size_t i = 0; i < FLoaded.size(); ++i) {
      TComponent* c = FLoaded[i];
      Guard(FLoadedPos[i], [&] { c->Loaded(); });
    }
  }


  const std::string& FFile;
  const TFormTree& FTree;
  TComponent& FRoot;
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FLoaded;
  std::vector<TPos> FLoadedPos;
  std::vector<TFixup> FFixups;
  std::set<const TCollection*> FReadCollections;
  std::vector<TNamed> FNamed;
  std::vector<const TNamed*> FNamedSlots;
  std::vector<TComponent*> FOwnedSlots;
  const TClassInfo* FLastClass = nullptr;
  std::vector<TPropOrder> FPropOrders;
};

namespace {

// A file that starts with the UTF-8 byte-order mark is UTF-8; positions count from after it.
void ParseForm(const std::string& text, const std::string& fileName, TFormTree& form) {
  if (text.size() > kMaxFormFileSize) throw EReadError(fileName, 1, 1, "file too large");
  const bool utf8 = std::string_view(text).starts_with(kUtf8Mark);
  TParser(std::string_view(text).substr(utf8 ? kUtf8Mark.size() : 0), fileName, utf8, form).ParseFile();
}

}  // namespace

TComponent* ReadComponentText(const std::string& text, const std::string& fileName, TComponent* owner) {
  TFormTree form;
  ParseForm(text, fileName, form);
  const TObjectNode& tree = form.Root;
  const std::string className(tree.ClassName);
  const TClassInfo* cls = FindClass(className);
  const auto fail = [&](const std::string& reason) { return ReadError(fileName, form.Source, tree.Pos, reason); };
  if (!cls) throw fail("unknown class " + className);
  if (!cls->IsComponentClass()) throw fail(className + " is not a component class");
  if (!cls->CanCreateComponent()) throw fail("cannot create an instance of " + className);
  TComponent* root = nullptr;
  try {
    root = cls->CreateComponent(owner);
  } catch (const Exception& e) {
    throw fail(e.Message());
  }
  try {
    TReader reader(fileName, form, *root);
    reader.Read(tree);
  } catch (...) {
    delete root;  // frees every component created under it
    throw;
  }
  return root;
}

void ReadRootText(TComponent& root, const std::string& text, const std::string& fileName) {
  TFormTree form;
  ParseForm(text, fileName, form);
  const TObjectNode& tree = form.Root;
  if (!core::SameText(tree.ClassName, root.ClassName()))
    throw ReadError(fileName, form.Source, tree.Pos,
                    "class " + std::string(tree.ClassName) + " does not match " + root.ClassName());
  const TComponentState state = root.ComponentState();
  TSnapshot snapshot(root, 0);
  TReader reader(fileName, form, root);
  try {
    reader.Read(tree);
  } catch (...) {
    reader.FreeCreated();
    snapshot.Restore();
    for (TComponentStateFlag flag : {csLoading, csReading})
      TReader::SetState(root, flag, state.Contains(flag));
    throw;
  }
}

// ============================================================ Writer

// Writes a root and its children as nested object blocks.
class TWriter {
 public:
  explicit TWriter(const TComponent& root) : FRoot(root) {}

  // Values are written in ASCII whatever they hold; a name outside ASCII makes the file UTF-8,
  // marked as such.
  std::string Write() {
    WriteObject(FRoot, 0);
    if (std::all_of(FOut.begin(), FOut.end(), IsAscii)) return std::move(FOut);
    std::string text(kUtf8Mark);
    if (CodePageIsUtf8()) return text + FOut;
    std::u16string units;
    if (!CodePageConversion().ToUtf16(FOut, units)) throw EWriteError("A name is not valid text in the code page");
    Utf16ToUtf8(units, text);
    return text;
  }

 private:
  static constexpr size_t kLineWidth = 64;

  void Line(int indent, const std::string& text) {
    FOut.append(static_cast<size_t>(indent) * 2, ' ');
    FOut += text;
    FOut += "\r\n";
  }

  void WriteObject(const TComponent& c, int depth) {
    if (depth >= kMaxFormNesting) throw EWriteError("Components nested too deeply at " + c.Name());
    auto& mutableC = const_cast<TComponent&>(c);
    mutableC.SetComponentState(csWriting, true);
    try {
      Line(depth, "object " + (c.Name().empty() ? c.ClassName() : c.Name() + ": " + c.ClassName()));
      WriteProperties(c, "", depth + 1, 0);
      std::vector<TComponent*> children;
      c.GetChildren(children, FRoot);
      for (const TComponent* child : children) WriteObject(*child, depth + 1);
      Line(depth, "end");
    } catch (...) {
      mutableC.SetComponentState(csWriting, false);
      throw;
    }
    mutableC.SetComponentState(csWriting, false);
  }

  void WriteProperties(const TPersistent& obj, const std::string& prefix, int indent, int depth) {
    if (depth >= kMaxFormNesting) throw EWriteError("Sub-properties nested too deeply at " + prefix);
    const bool isComponent = prefix.empty() && dynamic_cast<const TComponent*>(&obj);
    for (const TPropInfo* prop : obj.ClassType().Properties()) {
      if (isComponent && core::SameText(prop->Name(), "Name")) continue;  // in the object header
      if (!prop->IsStored(&obj)) continue;
      WriteProperty(obj, *prop, prefix + prop->Name(), indent, depth);
    }
  }

  void WriteProperty(const TPersistent& obj, const TPropInfo& prop, const std::string& name, int indent, int depth) {
    switch (prop.Kind()) {
      case pkClass:
        if (TPersistent* sub = prop.GetObject(&obj)) WriteProperties(*sub, name + ".", indent, depth + 1);
        return;
      case pkStrings:
        WriteStrings(*static_cast<TStrings*>(prop.GetObject(&obj)), name, indent);
        return;
      case pkCollection:
        WriteCollection(static_cast<TCollection*>(prop.GetObject(&obj)), name, indent, depth);
        return;
      case pkBinary:
        WriteBinary(prop.GetBinary(&obj), name, indent);
        return;
      case pkEvent: {
        // A component standing in a slot (its handler calls the one it replaced) is not stored:
        // the handler it stands for is.
        const std::string method = PublishedMethodName(FRoot, StoodInMethod(prop.GetMethod(&obj)));
        if (!method.empty()) Line(indent, name + " = " + method);
        return;
      }
      case pkComponentRef: {
        const std::string ref = ReferenceName(static_cast<TComponent*>(prop.GetObject(&obj)));
        if (!ref.empty()) Line(indent, name + " = " + ref);
        return;
      }
      case pkString:
        WriteString(prop.GetStr(&obj), name, indent);
        return;
      default:
        Line(indent, name + " = " + OrdinalText(prop, prop.GetOrd(&obj)));
        return;
    }
  }

  // Only the root and its named components can be named in the root's file.
  std::string ReferenceName(const TComponent* c) const {
    if (!c || c->Name().empty()) return {};
    if (c == &FRoot || c->Owner() == &FRoot) return c->Name();
    return {};
  }

  static std::string OrdinalText(const TPropInfo& prop, int64_t ord) {
    switch (prop.Kind()) {
      case pkBoolean:
        return ord ? "True" : "False";
      case pkChar:
        return QuotePiece(TextUnits(std::string(1, static_cast<char>(ord))));
      case pkEnum: {
        std::string member = GetEnumName(*prop.EnumType(), ord);
        if (member.empty()) throw EWriteError("Value " + std::to_string(ord) + " of " + prop.Name() + " has no name");
        return member;
      }
      case pkSet:
        return SetToString(*prop.EnumType(), static_cast<uint64_t>(ord));
      case pkColor: {
        std::string ident;
        const TColor color = ColorOf(static_cast<uint32_t>(ord));
        return ColorToIdent(color, ident) ? ident : std::to_string(ColorValue(color));
      }
      default:
        return std::to_string(ord);
    }
  }

  // The UTF-16 units of code-page text. A byte the code page does not define stands for the
  // character of its value, written as the code of the byte as the writer always did.
  static std::u16string TextUnits(const std::string& s) {
    std::u16string units;
    if (!std::all_of(s.begin(), s.end(), IsAscii) && CodePageConversion().ToUtf16(s, units)) return units;
    units.assign(s.size(), u'\0');
    for (size_t i = 0; i < s.size(); ++i) units[i] = static_cast<unsigned char>(s[i]);
    return units;
  }

  // 'text' with '' for a quote and #NN for each UTF-16 unit of a control or non-ASCII
  // character (a surrogate pair as two codes), so the file reads alike under any code page.
  static std::string QuotePiece(std::u16string_view units) {
    if (units.empty()) return "''";
    std::string out;
    bool quoted = false;
    for (char16_t unit : units) {
      if (unit >= 32 && unit < 127) {
        if (!quoted) out += '\'';
        quoted = true;
        out += static_cast<char>(unit);
        if (unit == '\'') out += '\'';
      } else {
        if (quoted) out += '\'';
        quoted = false;
        out += '#' + std::to_string(unit);
      }
    }
    if (quoted) out += '\'';
    return out;
  }

  // Long strings are split into pieces joined with '+' across lines, never inside a surrogate
  // pair: the reader joins a pair only where its codes stand side by side.
  void WriteString(const std::string& s, const std::string& name, int indent) {
    // A file the reader would refuse is not written: the value would be lost on reading.
    if (s.size() > kMaxFormStringSize)
      throw EWriteError("Property " + name + " is too long to be stored in a form file");
    const std::u16string units = TextUnits(s);
    const std::u16string_view all(units);
    if (all.size() <= kLineWidth) {
      Line(indent, name + " = " + QuotePiece(all));
      return;
    }
    Line(indent, name + " = ");
    FOut.resize(FOut.size() - 2);  // the first piece follows on the same line
    for (size_t pos = 0; pos < all.size();) {
      size_t length = std::min(kLineWidth, all.size() - pos);
      if (pos + length < all.size() && IsHighSurrogate(all[pos + length - 1])) --length;
      const bool last = pos + length >= all.size();
      std::string piece = QuotePiece(all.substr(pos, length)) + (last ? "" : " +");
      if (pos == 0) {
        FOut += piece + "\r\n";
      } else {
        Line(indent + 1, piece);
      }
      pos += length;
    }
  }

  void WriteStrings(const TStrings& lines, const std::string& name, int indent) {
    if (lines.Count() == 0) {
      Line(indent, name + ".Strings = ()");
      return;
    }
    Line(indent, name + ".Strings = (");
    for (int i = 0; i < lines.Count(); ++i)
      Line(indent + 1, QuotePiece(TextUnits(lines.Get(i))) + (i + 1 == lines.Count() ? ")" : ""));
  }

  void WriteCollection(const TCollection* items, const std::string& name, int indent, int depth) {
    if (!items || items->Count() == 0) {
      Line(indent, name + " = <>");
      return;
    }
    Line(indent, name + " = <");
    for (int i = 0; i < items->Count(); ++i) {
      Line(indent + 1, "item");
      WriteProperties(*items->Items(i), "", indent + 2, depth + 1);
      Line(indent + 1, i + 1 == items->Count() ? "end>" : "end");
    }
  }

  void WriteBinary(const std::vector<uint8_t>& bytes, const std::string& name, int indent) {
    if (bytes.size() >= kMaxFormStringSize)
      throw EWriteError("Property " + name + " is too large to be stored in a form file");
    static const char kDigits[] = "0123456789ABCDEF";
    if (bytes.empty()) {
      Line(indent, name + " = {}");
      return;
    }
    Line(indent, name + " = {");
    const size_t perLine = kLineWidth / 2;
    for (size_t pos = 0; pos < bytes.size(); pos += perLine) {
      std::string hex;
      for (size_t i = pos; i < bytes.size() && i < pos + perLine; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
      }
      Line(indent + 1, hex + (pos + perLine >= bytes.size() ? "}" : ""));
    }
  }

  const TComponent& FRoot;
  std::string FOut;
};

std::string WriteComponentText(const TComponent& root) { return TWriter(root).Write(); }

// ============================================================ Files

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError("Cannot open file " + path, errno);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw EInOutError("Cannot read file " + path, errno);
  if (static_cast<uint64_t>(size) > kMaxFormFileSize) throw EReadError(path, 1, 1, "file too large");
  std::string text(static_cast<size_t>(size), '\0');
  in.seekg(0, std::ios::beg);
  if (!in.read(text.data(), size)) throw EInOutError("Cannot read file " + path, errno);
  return text;
}

}  // namespace

void WriteComponentFile(const TComponent& root, const std::string& path) {
  const std::string text = WriteComponentText(root);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInOutError("Cannot create file " + path, errno);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw EInOutError("Cannot write file " + path, errno);
}

TComponent* ReadComponentFile(const std::string& path, TComponent* owner) {
  return ReadComponentText(ReadWholeFile(path), path, owner);
}

void ReadRootFile(TComponent& root, const std::string& path) { ReadRootText(root, ReadWholeFile(path), path); }

}  // namespace kyt
