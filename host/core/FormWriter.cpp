// FormWriter: a root and its children written as nested object blocks of their published
// properties.
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "host/core/CodePage.h"
#include "host/core/Collection.h"
#include "host/core/FormFile.h"
#include "host/core/Strings.h"
#include "host/core/TypeInfo.h"

namespace kyt {

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
    // The reader's limit, so that a form written is a form that reads.
    if (TextUnits(c.Name()).size() > core::kMaxNameLength) throw EWriteError("Component name too long: " + c.Name());
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
  // character of its value, written as the code of the byte as the writer always did; the text
  // around it keeps its characters.
  static std::u16string TextUnits(const std::string& s) {
    std::u16string units;
    if (std::all_of(s.begin(), s.end(), IsAscii)) return std::u16string(s.begin(), s.end());
    if (CodePageConversion().ToUtf16(s, units)) return units;
    units.clear();
    for (size_t i = 0; i < s.size();) i += CharUnits(std::string_view(s).substr(i), units);
    return units;
  }

  // Appends the units of the character that starts text (the shortest start of at most four
  // bytes that converts), or of its first byte taken as a code; returns the bytes used.
  static size_t CharUnits(std::string_view text, std::u16string& units) {
    for (size_t length = 1; length <= std::min<size_t>(4, text.size()); ++length) {
      std::u16string one;
      if (CodePageConversion().ToUtf16(text.substr(0, length), one)) {
        units += one;
        return length;
      }
    }
    units += static_cast<char16_t>(static_cast<unsigned char>(text[0]));
    return 1;
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

void WriteComponentFile(const TComponent& root, const std::string& path) {
  const std::string text = WriteComponentText(root);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInOutError("Cannot create file " + path, errno);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw EInOutError("Cannot write file " + path, errno);
}

}  // namespace kyt
