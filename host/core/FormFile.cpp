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
#include <sstream>
#include <string_view>
#include <type_traits>

#include "host/core/Collection.h"
#include "host/core/Strings.h"

namespace kyt {

namespace {

// ============================================================ Parse tree

struct TPos {
  int Line = 1;
  int Column = 1;
};

enum class TValueKind { Integer, Ident, String, Set, List, Collection, Binary };

struct TItemNode;

// Names and texts view the form's text, or the tree's own store where the file spells them in
// pieces (a string with '' or #NN codes, pieces joined by '+', a dotted name with blanks).
struct TValue {
  TValueKind Kind = TValueKind::Integer;
  TPos Pos;
  int64_t Int = 0;
  std::string_view Text;  // identifier or string contents
  // Sets, lists, collections and binary data only; kept apart in the tree's store so simple
  // values stay small and nodes copy and free as plain data.
  struct TCompound* Parts = nullptr;
};

struct TPropNode {
  TPos Pos;
  std::string_view Name;  // dotted: each part names a property of the object the part before gave
  TValue Value;
};

static_assert(std::is_trivially_copyable_v<TPropNode> && std::is_trivially_destructible_v<TPropNode>);

struct TItemNode {
  TPos Pos;
  std::vector<TPropNode> Props;
};

struct TCompound {
  std::vector<TValue> Elements;  // set members, list items
  std::vector<TItemNode> Items;  // collection items
  std::vector<uint8_t> Bytes;    // binary data
};

struct TObjectNode {
  TPos Pos;
  std::string_view Name;
  std::string_view ClassName;
  std::vector<TPropNode> Props;
  std::vector<TObjectNode> Children;
};

// The parsed form; valid while the text it was parsed from is.
struct TFormTree {
  std::deque<std::string> Texts;  // texts not found whole in the form's text
  std::deque<TCompound> Compounds;
  TObjectNode Root;
};

// ============================================================ Lexer

enum class TTok { End, Ident, Integer, String, Symbol };

// Identifiers and most strings view the source; a string written in pieces views one of the
// lexer's two buffers (Buffered), valid until two more such strings are read.
struct TToken {
  TTok Kind = TTok::End;
  TPos Pos;
  std::string_view Text;
  int64_t Int = 0;
  char Sym = 0;
  bool Buffered = false;
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

// Character classes by byte: a table read where the lexer sees every byte of a form, since a
// call per byte would cost more than the scan itself in an unoptimised build.
enum : uint8_t { kcOther, kcLetter, kcDigit };
struct TCharClasses {
  uint8_t Of[256];
};
constexpr TCharClasses MakeCharClasses() {
  TCharClasses classes{};
  for (int c = 0; c < 256; ++c)
    classes.Of[c] = IsLetter(static_cast<char>(c)) ? kcLetter : IsDigit(static_cast<char>(c)) ? kcDigit : kcOther;
  return classes;
}
constexpr TCharClasses kCharClasses = MakeCharClasses();

class TLexer {
 public:
  TLexer(const std::string& text, const std::string& file)
      : FBegin(text.data()), FEnd(text.data() + text.size()), FCur(FBegin), FLineStart(FBegin), FFile(file) {}

  [[noreturn]] void Fail(TPos pos, const std::string& reason) const {
    throw EReadError(FFile, pos.Line, pos.Column, reason);
  }

  const TToken& Peek() {
    if (!FHasPeek) {
      FPeek = Lex();
      FHasPeek = true;
    }
    return FPeek;
  }
  TToken Next() {
    if (!FHasPeek) return Lex();
    FHasPeek = false;
    return FPeek;
  }

  // Hex digits up to '}', called right after the '{' token was taken.
  std::vector<uint8_t> ReadBinary(TPos start) {
    std::vector<uint8_t> bytes;
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail(start, "unterminated binary data");
      const char c = Cur();
      if (c == '}') {
        Advance();
        break;
      }
      const int digit = HexValue(c);
      if (digit < 0) Fail(Here(), "invalid character in binary data");
      Advance();
      if (high < 0) {
        high = digit;
        continue;
      }
      if (bytes.size() >= kMaxFormStringSize) Fail(start, "binary value too large");
      bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
    if (high >= 0) Fail(start, "odd number of digits in binary data");
    return bytes;
  }

 private:
  bool AtEnd() const { return FCur >= FEnd; }
  char Cur() const { return *FCur; }
  char At(size_t offset) const { return offset < static_cast<size_t>(FEnd - FCur) ? FCur[offset] : '\0'; }
  TPos Here() const { return TPos{FLine, static_cast<int>(FCur - FLineStart) + 1}; }
  // CR LF, LF and a lone CR each end a line.
  void Advance() {
    const char c = *FCur++;
    if (c == '\n' || (c == '\r' && (FCur == FEnd || *FCur != '\n'))) {
      ++FLine;
      FLineStart = FCur;
    }
  }
  void SkipBlanks() {
    const char* p = FCur;
    while (p < FEnd) {
      const char c = *p;
      if (c == ' ' || c == '\t') {
        ++p;
      } else if (c == '\n' || c == '\r') {
        ++p;
        if (c == '\n' || p == FEnd || *p != '\n') {
          ++FLine;
          FLineStart = p;
        }
      } else {
        break;
      }
    }
    FCur = p;
  }

  TToken Lex() {
    SkipBlanks();
    TToken tok;
    tok.Pos = TPos{FLine, static_cast<int>(FCur - FLineStart) + 1};
    if (FCur >= FEnd) return tok;
    const char c = *FCur;
    if (kCharClasses.Of[static_cast<unsigned char>(c)] == kcLetter) return LexIdent(tok);
    if (IsDigit(c) || c == '$' || ((c == '-' || c == '+') && (IsDigit(At(1)) || At(1) == '$'))) return LexInteger(tok);
    if (c == '\'' || c == '#') return LexString(tok);
    if (std::strchr("=:,.()[]<>{}+", c)) {
      Advance();
      tok.Kind = TTok::Symbol;
      tok.Sym = c;
      return tok;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte < 127) Fail(tok.Pos, std::string("unexpected character '") + c + "'");
    char buf[32];
    std::snprintf(buf, sizeof buf, "unexpected byte 0x%02X", byte);
    Fail(tok.Pos, buf);
  }

  TToken LexIdent(TToken& tok) {
    const char* start = FCur;
    const char* p = FCur;
    while (p < FEnd && kCharClasses.Of[static_cast<unsigned char>(*p)] != kcOther) ++p;
    FCur = p;
    if (static_cast<size_t>(p - start) > kMaxIdentLength) Fail(tok.Pos, "identifier too long");
    tok.Kind = TTok::Ident;
    tok.Text = std::string_view(start, static_cast<size_t>(p - start));
    return tok;
  }

  TToken LexInteger(TToken& tok) {
    bool negative = false;
    if (Cur() == '-' || Cur() == '+') {
      negative = Cur() == '-';
      Advance();
    }
    const bool hex = Cur() == '$';
    if (hex) Advance();
    const uint64_t base = hex ? 16 : 10;
    const uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(INT64_MAX);
    uint64_t value = 0;
    int digits = 0;
    while (!AtEnd()) {
      const int d = hex ? HexValue(Cur()) : (IsDigit(Cur()) ? Cur() - '0' : -1);
      if (d < 0) break;
      if (value > (limit - static_cast<uint64_t>(d)) / base) Fail(tok.Pos, "integer out of range");
      value = value * base + static_cast<uint64_t>(d);
      ++digits;
      Advance();
    }
    if (digits == 0) Fail(tok.Pos, "digits expected");
    if (!AtEnd() && (IsLetter(Cur()) || IsDigit(Cur()))) Fail(Here(), "invalid number");
    tok.Kind = TTok::Integer;
    tok.Int = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
    return tok;
  }

  // Adjacent quoted pieces and #NN codes form one string.
  TToken LexString(TToken& tok) {
    tok.Kind = TTok::String;
    // Most strings are one quoted piece without a doubled quote: viewed where they stand.
    if (*FCur == '\'') {
      const char* first = FCur + 1;
      const char* p = first;
      while (p < FEnd && *p != '\'' && *p != '\r' && *p != '\n') ++p;
      const auto length = static_cast<size_t>(p - first);
      if (p < FEnd && *p == '\'' && length <= kMaxFormStringSize && (p + 1 == FEnd || (p[1] != '\'' && p[1] != '#'))) {
        FCur = p + 1;
        tok.Text = std::string_view(first, length);
        return tok;
      }
    }
    tok.Buffered = true;
    FBufferIndex ^= 1;
    std::string& text = FBuffers[FBufferIndex];
    text.clear();
    while (!AtEnd() && (Cur() == '\'' || Cur() == '#')) {
      if (Cur() == '\'') LexQuoted(tok, text);
      else LexCharCode(text);
      if (text.size() > kMaxFormStringSize) Fail(tok.Pos, "string too long");
    }
    tok.Text = text;
    return tok;
  }

  void LexQuoted(const TToken& tok, std::string& text) {
    const TPos start = Here();
    Advance();
    for (;;) {
      if (AtEnd() || Cur() == '\r' || Cur() == '\n') Fail(start, "unterminated string");
      const char c = Cur();
      Advance();
      if (c == '\'') {
        if (AtEnd() || Cur() != '\'') return;
        Advance();
      }
      if (text.size() >= kMaxFormStringSize) Fail(tok.Pos, "string too long");
      text += c;
    }
  }

  void LexCharCode(std::string& text) {
    const TPos start = Here();
    Advance();
    const bool hex = !AtEnd() && Cur() == '$';
    if (hex) Advance();
    int value = 0, digits = 0;
    while (!AtEnd()) {
      const int d = hex ? HexValue(Cur()) : (IsDigit(Cur()) ? Cur() - '0' : -1);
      if (d < 0) break;
      value = value * (hex ? 16 : 10) + d;
      if (value > 255) Fail(start, "character code out of range");
      ++digits;
      Advance();
    }
    if (digits == 0) Fail(start, "character code expected after '#'");
    text += static_cast<char>(value);
  }

  const char* FBegin;
  const char* FEnd;
  const char* FCur;
  const char* FLineStart;
  int FLine = 1;
  const std::string& FFile;
  std::string FBuffers[2];
  int FBufferIndex = 0;
  TToken FPeek;
  bool FHasPeek = false;
};

// ============================================================ Parser

class TParser {
 public:
  TParser(const std::string& text, const std::string& file, TFormTree& tree) : FLex(text, file), FTree(tree) {}

  void ParseFile() {
    if (FLex.Peek().Kind == TTok::End) FLex.Fail(FLex.Peek().Pos, "empty file");
    ParseObject(FTree.Root, 1);
    if (FLex.Peek().Kind != TTok::End) FLex.Fail(FLex.Peek().Pos, "text after the final 'end'");
  }

 private:
  template <size_t N>
  static bool IsKeyword(const TToken& tok, const char (&word)[N]) {
    if (tok.Kind != TTok::Ident || tok.Text.size() != N - 1) return false;
    const char* text = tok.Text.data();
    for (size_t i = 0; i < N - 1; ++i)
      if ((text[i] | 0x20) != word[i]) return false;  // keywords are lower-case letters
    return true;
  }
  bool PeekSymbol(char sym) {
    const TToken& tok = FLex.Peek();
    return tok.Kind == TTok::Symbol && tok.Sym == sym;
  }
  void CheckDepth(int depth, TPos pos) {
    if (depth > kMaxFormNesting) FLex.Fail(pos, "nesting too deep");
  }
  std::string_view ExpectIdent(const char* what) {
    TToken tok = FLex.Next();
    if (tok.Kind != TTok::Ident) FLex.Fail(tok.Pos, std::string(what) + " expected");
    return tok.Text;
  }
  void ExpectSymbol(char sym) {
    TToken tok = FLex.Next();
    if (tok.Kind != TTok::Symbol || tok.Sym != sym) FLex.Fail(tok.Pos, std::string("'") + sym + "' expected");
  }
  void CheckCount(size_t count, TPos pos) {
    if (count >= kMaxFormListItems) FLex.Fail(pos, "too many items");
  }
  // Room for a typical set or list at once: growing by one and two moved each element again.
  static constexpr size_t kFewElements = 4;

  std::string_view Keep(std::string text) { return FTree.Texts.emplace_back(std::move(text)); }

  // Identifiers joined by dots: a view of the source where they stand without blanks between.
  std::string_view ParseDotted(std::string_view first, TPos pos, const char* what) {
    if (!PeekSymbol('.')) return first;
    const char* end = first.data() + first.size();
    std::string joined;  // made only once a blank stands between two parts
    int parts = 1;
    while (PeekSymbol('.')) {
      FLex.Next();
      const std::string_view part = ExpectIdent(what);
      if (joined.empty() && part.data() != end + 1) joined.assign(first.data(), static_cast<size_t>(end - first.data()));
      if (!joined.empty()) {
        joined += '.';
        joined += part;
      }
      end = part.data() + part.size();
      if (++parts > kMaxFormNesting) FLex.Fail(pos, "nesting too deep");
    }
    if (joined.empty()) return std::string_view(first.data(), static_cast<size_t>(end - first.data()));
    return Keep(std::move(joined));
  }

  void ParseObject(TObjectNode& node, int depth) {
    TToken head = FLex.Next();
    if (!IsKeyword(head, "object")) FLex.Fail(head.Pos, "'object' expected");
    CheckDepth(depth, head.Pos);
    node.Pos = head.Pos;
    node.Props.reserve(8);
    std::string_view first = ExpectIdent("component name or class name");
    if (PeekSymbol(':')) {
      FLex.Next();
      node.Name = first;
      node.ClassName = ExpectIdent("class name");
    } else {
      node.ClassName = first;
    }
    for (;;) {
      const TToken& tok = FLex.Peek();
      if (tok.Kind == TTok::End)
        FLex.Fail(tok.Pos, "'end' expected for object " + std::string(node.Name.empty() ? node.ClassName : node.Name));
      if (IsKeyword(tok, "end")) {
        FLex.Next();
        return;
      }
      if (IsKeyword(tok, "object")) {
        ParseObject(node.Children.emplace_back(), depth + 1);
        CheckCount(node.Children.size(), node.Pos);
      } else if (tok.Kind == TTok::Ident) {
        ParseProperty(node.Props.emplace_back(), depth);
        CheckCount(node.Props.size(), node.Pos);
      } else {
        FLex.Fail(tok.Pos, "property name expected");
      }
    }
  }

  void ParseProperty(TPropNode& prop, int depth) {
    prop.Pos = FLex.Peek().Pos;
    prop.Name = ParseDotted(ExpectIdent("property name"), prop.Pos, "property name");
    ExpectSymbol('=');
    ParseValue(prop.Value, depth);
  }

  void ParseValue(TValue& value, int depth) {
    TToken tok = FLex.Next();
    value.Pos = tok.Pos;
    switch (tok.Kind) {
      case TTok::Integer:
        value.Kind = TValueKind::Integer;
        value.Int = tok.Int;
        return;
      case TTok::Ident:
        return ParseIdentValue(value, tok);
      case TTok::String:
        return ParseStringValue(value, tok);
      case TTok::Symbol:
        if (tok.Sym == '[') return ParseSet(value);
        if (tok.Sym == '(') return ParseList(value);
        if (tok.Sym == '<') return ParseCollection(value, depth + 1);
        if (tok.Sym == '{') {
          value.Kind = TValueKind::Binary;
          value.Parts = &FTree.Compounds.emplace_back();
          value.Parts->Bytes = FLex.ReadBinary(tok.Pos);
          return;
        }
        break;
      case TTok::End:
        break;
    }
    FLex.Fail(tok.Pos, "value expected");
  }

  void ParseIdentValue(TValue& value, const TToken& tok) {
    value.Pos = tok.Pos;
    value.Kind = TValueKind::Ident;
    value.Text = ParseDotted(tok.Text, tok.Pos, "identifier");
  }

  void ParseStringValue(TValue& value, const TToken& tok) {
    value.Pos = tok.Pos;
    value.Kind = TValueKind::String;
    if (!PeekSymbol('+')) {
      value.Text = tok.Buffered ? Keep(std::string(tok.Text)) : tok.Text;
      return;
    }
    std::string text(tok.Text);
    while (PeekSymbol('+')) {
      FLex.Next();
      TToken more = FLex.Next();
      if (more.Kind != TTok::String) FLex.Fail(more.Pos, "string expected after '+'");
      if (text.size() + more.Text.size() > kMaxFormStringSize) FLex.Fail(tok.Pos, "string too long");
      text += more.Text;
    }
    value.Text = Keep(std::move(text));
  }

  void ParseSet(TValue& value) {
    value.Kind = TValueKind::Set;
    value.Parts = &FTree.Compounds.emplace_back();
    value.Parts->Elements.reserve(kFewElements);
    if (PeekSymbol(']')) {
      FLex.Next();
      return;
    }
    for (;;) {
      TToken member = FLex.Next();
      if (member.Kind != TTok::Ident) FLex.Fail(member.Pos, "set member expected");
      TValue& element = value.Parts->Elements.emplace_back();
      element.Kind = TValueKind::Ident;
      element.Pos = member.Pos;
      element.Text = member.Text;
      CheckCount(value.Parts->Elements.size(), value.Pos);
      TToken sep = FLex.Next();
      if (sep.Kind == TTok::Symbol && sep.Sym == ']') return;
      if (sep.Kind != TTok::Symbol || sep.Sym != ',') {
        if (sep.Kind == TTok::End) FLex.Fail(value.Pos, "unterminated set");
        FLex.Fail(sep.Pos, "',' or ']' expected");
      }
    }
  }

  void ParseList(TValue& value) {
    value.Kind = TValueKind::List;
    value.Parts = &FTree.Compounds.emplace_back();
    value.Parts->Elements.reserve(kFewElements);
    for (;;) {
      const TToken& tok = FLex.Peek();
      if (tok.Kind == TTok::End) FLex.Fail(value.Pos, "unterminated list");
      if (tok.Kind == TTok::Symbol && tok.Sym == ')') {
        FLex.Next();
        return;
      }
      TToken item = FLex.Next();
      if (item.Kind == TTok::String) {
        ParseStringValue(value.Parts->Elements.emplace_back(), item);
      } else if (item.Kind == TTok::Ident) {
        ParseIdentValue(value.Parts->Elements.emplace_back(), item);
      } else if (item.Kind == TTok::Integer) {
        TValue& element = value.Parts->Elements.emplace_back();
        element.Pos = item.Pos;
        element.Int = item.Int;
      } else {
        FLex.Fail(item.Pos, "list item expected");
      }
      CheckCount(value.Parts->Elements.size(), value.Pos);
    }
  }

  void ParseCollection(TValue& value, int depth) {
    CheckDepth(depth, value.Pos);
    value.Kind = TValueKind::Collection;
    value.Parts = &FTree.Compounds.emplace_back();
    for (;;) {
      TToken tok = FLex.Next();
      if (tok.Kind == TTok::End) FLex.Fail(value.Pos, "unterminated collection");
      if (tok.Kind == TTok::Symbol && tok.Sym == '>') return;
      if (!IsKeyword(tok, "item")) FLex.Fail(tok.Pos, "'item' or '>' expected");
      TItemNode& item = value.Parts->Items.emplace_back();
      item.Pos = tok.Pos;
      for (;;) {
        const TToken& next = FLex.Peek();
        if (next.Kind == TTok::End) FLex.Fail(item.Pos, "'end' expected for item");
        if (IsKeyword(next, "end")) {
          FLex.Next();
          break;
        }
        if (next.Kind != TTok::Ident) FLex.Fail(next.Pos, "property name expected");
        ParseProperty(item.Props.emplace_back(), depth);
        CheckCount(item.Props.size(), item.Pos);
      }
      CheckCount(value.Parts->Items.size(), value.Pos);
    }
  }

  TLexer FLex;
  TFormTree& FTree;
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
  TReader(const std::string& file, TComponent& root) : FFile(file), FRoot(root) {}

  // Assigns the root's block; exceptions leave the created components for Rollback.
  void Read(const TObjectNode& node) {
    BeginLoading(FRoot, node.Pos);
    if (!node.Name.empty()) Guard(node.Pos, [&] { FRoot.SetName(std::string(node.Name)); });
    ReadProperties(FRoot, node.Props);
    for (const TObjectNode& child : node.Children) ReadChild(FRoot, child);
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
    throw EReadError(FFile, pos.Line, pos.Column, reason);
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

  void ReadChild(TComponent& parent, const TObjectNode& node) {
    const TClassInfo* cls = FindClass(node.ClassName);
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
    ReadProperties(*c, node.Props);
    for (const TObjectNode& child : node.Children) ReadChild(*c, child);
  }

  void ReadProperties(TPersistent& obj, const std::vector<TPropNode>& props) {
    for (const TPropNode& prop : props) ReadProperty(obj, prop);
  }

  const TPropInfo& FindProp(const TPersistent& obj, std::string_view name, TPos pos) {
    const TPropInfo* prop = obj.ClassType().FindProperty(name);
    if (!prop) Fail(pos, "unknown property " + std::string(name) + " of " + obj.ClassName());
    return *prop;
  }

  // Walks a dotted name through owned sub-objects and assigns the last part.
  void ReadProperty(TPersistent& obj, const TPropNode& node) {
    TPersistent* target = &obj;
    const char* part = node.Name.data();
    const char* const end = part + node.Name.size();
    for (;;) {
      const auto* dot = static_cast<const char*>(std::memchr(part, '.', static_cast<size_t>(end - part)));
      const bool last = dot == nullptr;
      const TPropInfo& prop = FindProp(*target, std::string_view(part, static_cast<size_t>((last ? end : dot) - part)), node.Pos);
      const auto rest = last ? std::string_view() : std::string_view(dot + 1, static_cast<size_t>(end - dot - 1));
      const bool stringsSuffix = !last && prop.Kind() == pkStrings && core::SameText(rest, "Strings");
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
        if (core::SameText(value.Text, "True")) prop.SetOrd(&obj, 1);
        else if (core::SameText(value.Text, "False")) prop.SetOrd(&obj, 0);
        else WrongKind(value, prop, "True or False");
        return;
      case pkChar:
        if (value.Kind != TValueKind::String || value.Text.size() != 1) WrongKind(value, prop, "one character");
        prop.SetOrd(&obj, static_cast<unsigned char>(value.Text[0]));
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
        if (core::SameText(value.Text, "nil")) prop.SetObject(&obj, nullptr);
        else FFixups.push_back(TFixup{&obj, &prop, value.Text, value.Pos});
        return;
      case pkEvent:
        AssignEvent(obj, prop, value);
        return;
      case pkBinary:
        if (value.Kind != TValueKind::Binary) WrongKind(value, prop, "binary data");
        prop.SetBinary(&obj, value.Parts->Bytes);
        return;
      case pkClass:
        break;
    }
    Fail(value.Pos, prop.Name() + " is an object; assign its sub-properties");
  }

  void AssignSet(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind != TValueKind::Set) WrongKind(value, prop, "set");
    uint64_t bits = 0;
    for (const TValue& member : value.Parts->Elements) bits |= uint64_t{1} << EnumMember(member, prop);
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
    for (const TValue& line : value.Parts->Elements) {
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
      for (const TItemNode& item : value.Parts->Items) {
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

  static std::vector<std::string> StoredNames(const TItemNode& item) {
    std::vector<std::string> names;
    names.reserve(item.Props.size());
    for (const TPropNode& prop : item.Props) names.emplace_back(prop.Name);
    return names;
  }

  void AssignEvent(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind != TValueKind::Ident) WrongKind(value, prop, "method name");
    if (core::SameText(value.Text, "nil")) {
      prop.SetMethod(&obj, TMethod{});
      return;
    }
    TMethod method;
    const std::string name(value.Text);
    if (!FindPublishedMethod(FRoot, name, method))
      Fail(value.Pos, "unknown event handler " + name + " of " + FRoot.ClassName());
    prop.SetMethod(&obj, method);
  }

  // Names are looked up through a hashed index, so many references stay fast.
  void ResolveFixups() {
    if (FFixups.empty()) return;
    // Open addressing, at most half full.
    const int count = FRoot.ComponentCount();
    size_t size = 16;
    while (size < static_cast<size_t>(count) * 2) size *= 2;
    const size_t mask = size - 1;
    std::vector<TComponent*> byName(size, nullptr);
    for (int i = 0; i < count; ++i) {
      TComponent* c = FRoot.Components(i);
      if (c->Name().empty()) continue;
      size_t slot = core::TextHash(c->Name()) & mask;
      while (byName[slot]) slot = (slot + 1) & mask;
      byName[slot] = c;
    }
    TComponent* const* slots = byName.data();
    for (const TFixup& fixup : FFixups) {
      TComponent* target = nullptr;
      if (core::SameText(FRoot.Name(), fixup.Name)) {
        target = &FRoot;
      } else {
        for (size_t slot = core::TextHash(fixup.Name) & mask; slots[slot]; slot = (slot + 1) & mask) {
          if (core::SameText(slots[slot]->Name(), fixup.Name)) {
            target = slots[slot];
            break;
          }
        }
      }
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

  struct TFixup {
    TPersistent* Object;
    const TPropInfo* Prop;
    std::string_view Name;  // views the parse tree, which outlives the reader's work
    TPos Pos;
  };

  const std::string& FFile;
  TComponent& FRoot;
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FLoaded;
  std::vector<TPos> FLoadedPos;
  std::vector<TFixup> FFixups;
  std::set<const TCollection*> FReadCollections;
};

namespace {

void ParseForm(const std::string& text, const std::string& fileName, TFormTree& form) {
  if (text.size() > kMaxFormFileSize) throw EReadError(fileName, 1, 1, "file too large");
  TParser(text, fileName, form).ParseFile();
}

}  // namespace

TComponent* ReadComponentText(const std::string& text, const std::string& fileName, TComponent* owner) {
  TFormTree form;
  ParseForm(text, fileName, form);
  const TObjectNode& tree = form.Root;
  const std::string className(tree.ClassName);
  const TClassInfo* cls = FindClass(className);
  const auto fail = [&](const std::string& reason) {
    return EReadError(fileName, tree.Pos.Line, tree.Pos.Column, reason);
  };
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
    TReader reader(fileName, *root);
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
    throw EReadError(fileName, tree.Pos.Line, tree.Pos.Column,
                     "class " + std::string(tree.ClassName) + " does not match " + root.ClassName());
  const TComponentState state = root.ComponentState();
  TSnapshot snapshot(root, 0);
  TReader reader(fileName, root);
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

  std::string Write() {
    WriteObject(FRoot, 0);
    return std::move(FOut);
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
        return QuotePiece(std::string(1, static_cast<char>(ord)));
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

  // 'text' with '' for a quote and #NN for control and non-ASCII characters.
  static std::string QuotePiece(const std::string& s) {
    if (s.empty()) return "''";
    std::string out;
    bool quoted = false;
    for (char c : s) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 32 && byte < 127) {
        if (!quoted) out += '\'';
        quoted = true;
        out += c;
        if (c == '\'') out += c;
      } else {
        if (quoted) out += '\'';
        quoted = false;
        out += '#' + std::to_string(byte);
      }
    }
    if (quoted) out += '\'';
    return out;
  }

  // Long strings are split into pieces joined with '+' across lines.
  void WriteString(const std::string& s, const std::string& name, int indent) {
    // A file the reader would refuse is not written: the value would be lost on reading.
    if (s.size() > kMaxFormStringSize)
      throw EWriteError("Property " + name + " is too long to be stored in a form file");
    if (s.size() <= kLineWidth) {
      Line(indent, name + " = " + QuotePiece(s));
      return;
    }
    Line(indent, name + " = ");
    FOut.resize(FOut.size() - 2);  // the first piece follows on the same line
    for (size_t pos = 0; pos < s.size(); pos += kLineWidth) {
      const bool last = pos + kLineWidth >= s.size();
      std::string piece = QuotePiece(s.substr(pos, kLineWidth)) + (last ? "" : " +");
      if (pos == 0) {
        FOut += piece + "\r\n";
      } else {
        Line(indent + 1, piece);
      }
    }
  }

  void WriteStrings(const TStrings& lines, const std::string& name, int indent) {
    if (lines.Count() == 0) {
      Line(indent, name + ".Strings = ()");
      return;
    }
    Line(indent, name + ".Strings = (");
    for (int i = 0; i < lines.Count(); ++i)
      Line(indent + 1, QuotePiece(lines.Get(i)) + (i + 1 == lines.Count() ? ")" : ""));
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
