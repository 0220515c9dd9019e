// FormTree: a form file's text parsed into a tree, the step between the parser and the reader.
// The lexer (FormLexer) makes tokens of the text, the parser (FormParser) builds this tree of
// them, and the reader (FormReader) creates and assigns the components it describes.
#ifndef KYT_HOST_CORE_FORMTREE_H
#define KYT_HOST_CORE_FORMTREE_H

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/core/Exceptions.h"

namespace kyt::formtext {

// Where a node or token stands: the offset of its first byte in the form's text. Lines and
// columns are counted only for an error message, so the lexer need not track them.
using TPos = uint32_t;

// The error at pos of the form's text, with its line and column.
EReadError ReadError(const std::string& file, std::string_view text, TPos pos, const std::string& reason);

// A Float value keeps its double's bits in Int.
enum class TValueKind : uint8_t { Integer, Ident, String, Set, List, Collection, Binary, Float };

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

// How a block begins: `object` creates a component; `inherited` changes one the ancestor's form
// file made; `inline` creates a frame from its own form file and then changes it.
enum class TObjectKind : uint8_t { Object, Inherited, Inline };

struct TObjectNode {
  TPos Pos = 0;
  TObjectKind Kind = TObjectKind::Object;
  int32_t Order = -1;  // `[n]` after the class name: the place among its parent's children; -1 none
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

// Parses text into form; a file that starts with the UTF-8 byte-order mark is UTF-8, and
// positions then count from after it. A syntax error raises EReadError.
void ParseForm(const std::string& text, const std::string& fileName, TFormTree& form);

}  // namespace kyt::formtext

#endif
