// FormParser: the parse tree of a form file's text, built from the lexer's tokens. Nothing is
// created while parsing, so a syntax error never touches an object.
#include <bit>
#include <string>
#include <vector>

#include "host/core/FormFile.h"
#include "host/core/FormLexer.h"
#include "host/core/FormTree.h"

namespace kyt::formtext {

namespace {

class TParser {
 public:
  TParser(std::string_view text, const std::string& file, bool utf8, TFormTree& tree)
      : FLex(text, file, utf8, tree.Texts), FTree(tree) {
    FTree.Source = text;
    // Room for the nodes of a typical form at once, so the arrays are seldom moved while they
    // grow: a property takes some thirty bytes of text or more, a set member or list item some
    // sixty.
    FTree.Props.reserve(text.size() / 32 + 16);
    FTree.Elements.reserve(text.size() / 64 + 16);
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

  // The keyword a block starts with; false when the token is none.
  bool BlockKeyword(const TToken& tok, TObjectKind& kind) const {
    if (IsKeyword(tok, "object")) kind = TObjectKind::Object;
    else if (IsKeyword(tok, "inherited")) kind = TObjectKind::Inherited;
    else if (IsKeyword(tok, "inline")) kind = TObjectKind::Inline;
    else return false;
    return true;
  }

  // `object|inherited|inline [Name:] Class [n]`.
  void ParseObjectHeader(TObjectNode& node, int depth) {
    if (!BlockKeyword(Tok(), node.Kind)) Fail(Tok().Pos, "'object' expected (or 'inherited', 'inline')");
    node.Pos = Tok().Pos;
    CheckDepth(depth, node.Pos);
    FLex.Take();
    const std::string_view first = ExpectIdent("component name or class name");
    if (AtSymbol(':')) {
      FLex.Take();
      node.Name = first;
      node.ClassName = ExpectIdent("class name");
    } else {
      node.ClassName = first;
    }
    // Only a form's own root may go without a name.
    if (node.Kind != TObjectKind::Object && node.Name.empty() && depth > 1)
      Fail(node.Pos, "an inherited or inline block names its component");
    if (!AtSymbol('[')) return;
    FLex.Take();
    const TToken& order = Tok();
    if (order.Kind != TTok::Integer || order.Int < 0 || order.Int >= static_cast<int64_t>(kMaxFormListItems))
      Fail(order.Pos, "child order expected after '['");
    node.Order = static_cast<int32_t>(order.Int);
    FLex.Take();
    ExpectSymbol(']');
  }

  TObjectNode ParseObject(int depth) {
    TObjectNode node;
    ParseObjectHeader(node, depth);
    const size_t propBase = FPropStack.size(), childBase = FObjectStack.size();
    TObjectKind childKind{};
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
      if (BlockKeyword(tok, childKind)) {
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
      case TTok::Float:
        value.Kind = TValueKind::Float;
        value.Int = std::bit_cast<int64_t>(tok.Float);
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
      } else if (item.Kind == TTok::Integer || item.Kind == TTok::Float) {
        TValue& element = elements.emplace_back();
        element.Pos = item.Pos;
        element.Kind = item.Kind == TTok::Float ? TValueKind::Float : TValueKind::Integer;
        element.Int = item.Kind == TTok::Float ? std::bit_cast<int64_t>(item.Float) : item.Int;
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

}  // namespace

void ParseForm(const std::string& text, const std::string& fileName, TFormTree& form) {
  if (text.size() > kMaxFormFileSize) throw EReadError(fileName, 1, 1, "file too large");
  const bool utf8 = std::string_view(text).starts_with(kUtf8Mark);
  TParser(std::string_view(text).substr(utf8 ? kUtf8Mark.size() : 0), fileName, utf8, form).ParseFile();
}

}  // namespace kyt::formtext
