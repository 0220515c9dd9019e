// FormWriter: a root and its children written as nested object blocks of their published
// properties.
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
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
  explicit TWriter(const TComponent& root, const TComponent* ancestor = nullptr)
      : FRoot(root), FAncestor(ancestor), FNameRoot(&root) {}

  // Values are written in ASCII whatever they hold; a name outside ASCII makes the file UTF-8,
  // marked as such.
  std::string Write() {
    if (FAncestor) WriteDerived(FRoot, FAncestor, "inherited", -1, 0, TScope{&FRoot, FAncestor});
    else WriteObject(FRoot, 0);
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
      WriteDesignPosition(c, depth + 1);
      std::vector<TComponent*> children;
      c.GetChildren(children, FRoot);
      for (const TComponent* child : children) {
        if (child->ComponentState().Contains(csInline)) WriteDerived(*child, nullptr, "inline", -1, depth + 1, TScope{&FRoot, nullptr});
        else WriteObject(*child, depth + 1);
      }
      Line(depth, "end");
    } catch (...) {
      mutableC.SetComponentState(csWriting, false);
      throw;
    }
    mutableC.SetComponentState(csWriting, false);
  }

  // ---- Inherited forms and frames

  // Where `inherited` blocks find their components: owned by Root here, by Ancestor in the
  // ancestor's form (the form's root, or a frame's).
  struct TScope {
    const TComponent* Root;
    const TComponent* Ancestor;
  };

  class TWriting {
   public:
    explicit TWriting(const TComponent& c) : FC(const_cast<TComponent&>(c)) { FC.SetComponentState(csWriting, true); }
    ~TWriting() { FC.SetComponentState(csWriting, false); }
    TWriting(const TWriting&) = delete;
    TWriting& operator=(const TWriting&) = delete;

   private:
    TComponent& FC;
  };

  // The children of c written in its block: those of the scope's root and, inside a frame, those
  // the form adds.
  std::vector<TComponent*> ChildrenOf(const TComponent& c, const TComponent& root) const {
    std::vector<TComponent*> children;
    c.GetChildren(children, root);
    if (&root != &FRoot && c.Owner() != nullptr) c.GetChildren(children, FRoot);
    return children;
  }

  // c's block where a counterpart may exist: counterpart is c in the ancestor's form (null for a
  // component added here), and only what differs from it is written.
  void WriteDerived(const TComponent& c, const TComponent* counterpart, const char* keyword, int order, int depth,
                    const TScope& scope) {
    if (depth >= kMaxFormNesting) throw EWriteError("Components nested too deeply at " + c.Name());
    const TWriting writing(c);
    // An unnamed object block is fine; an inline one could not be told from its frame's form.
    if (c.Name().empty() && depth > 0 && c.ComponentState().Contains(csInline))
      throw EWriteError("A frame of class " + c.ClassName() + " needs a name");
    const size_t headerStart = FOut.size();
    Line(depth, std::string(keyword) + " " + (c.Name().empty() ? c.ClassName() : c.Name() + ": " + c.ClassName()) +
                    (order >= 0 ? " [" + std::to_string(order) + "]" : ""));
    const size_t headerEnd = FOut.size();
    const TComponent* const outerNameRoot = FNameRoot;
    FNameRoot = scope.Root;
    TScope inner = scope;
    if (c.ComponentState().Contains(csInline)) inner = TScope{&c, counterpart ? counterpart : &FrameAncestor(c)};
    if (counterpart) WriteChangedProperties(c, *counterpart, "", depth + 1, 0, *scope.Root, *scope.Ancestor);
    // A frame new here differs only from its own form file.
    else if (inner.Root == &c) WriteChangedProperties(c, *inner.Ancestor, "", depth + 1, 0, c, *inner.Ancestor);
    else WriteProperties(c, "", depth + 1, 0);
    // The object whose children the ancestor's form had: c's counterpart, or a new frame's own form.
    const TComponent* base = counterpart ? counterpart : inner.Root == &c ? inner.Ancestor : nullptr;
    const size_t bodyStart = FOut.size();
    WriteDerivedChildren(c, base, depth, inner);
    FNameRoot = outerNameRoot;
    // An inherited component the descendant leaves as it is needs no block.
    if (counterpart && order < 0 && depth > 0 && FOut.size() == bodyStart && bodyStart == headerEnd) {
      FOut.resize(headerStart);
      return;
    }
    Line(depth, "end");
  }

  // The children in their order: a child not where reading the ancestor's form and the blocks
  // before it would put it gets `[n]`.
  void WriteDerivedChildren(const TComponent& c, const TComponent* counterpart, int depth, const TScope& inner) {
    const std::vector<TComponent*> children = ChildrenOf(c, *inner.Root);
    std::vector<const TComponent*> placed;  // the order reading makes, as far as it got
    if (counterpart) {
      for (const TComponent* a : ChildrenOf(*counterpart, *inner.Ancestor)) {
        if (a->Name().empty()) continue;
        const TComponent* d = inner.Root->FindComponent(a->Name());
        if (!d) throw EWriteError("Component " + a->Name() + " of the ancestor's form is missing; an inherited form keeps it");
        placed.push_back(d);
      }
    }
    for (size_t i = 0; i < children.size(); ++i) {
      const TComponent* child = children[i];
      const TComponent* twin = nullptr;
      if (inner.Ancestor && child->Owner() == inner.Root && !child->Name().empty())
        twin = inner.Ancestor->FindComponent(child->Name());
      if (twin && !core::SameText(twin->ClassName(), child->ClassName()))
        throw EWriteError("Component " + child->Name() + " is a " + twin->ClassName() + " in the ancestor's form, not a " +
                          child->ClassName());
      auto at = std::find(placed.begin(), placed.end(), child);
      if (at == placed.end()) {
        if (twin) throw EWriteError("Component " + child->Name() + " has another parent in the ancestor's form");
        placed.push_back(child);
        at = placed.end() - 1;
      }
      int order = -1;
      if (at != placed.begin() + static_cast<std::ptrdiff_t>(i)) {
        order = static_cast<int>(i);
        placed.erase(at);
        placed.insert(placed.begin() + static_cast<std::ptrdiff_t>(i), child);
      }
      const char* keyword = twin ? "inherited" : child->ComponentState().Contains(csInline) ? "inline" : "object";
      WriteDerived(*child, twin, keyword, order, depth + 1, inner);
    }
  }

  // A frame's own form as its form files make it, to write only what the form changes.
  const TComponent& FrameAncestor(const TComponent& frame) {
    const TClassInfo& cls = frame.ClassType();
    const std::vector<TFormText> files = FormFilesOf(cls, TComponent::StaticClass());
    if (files.empty()) throw EWriteError("Frame class " + cls.Name() + " of " + frame.Name() + " has no form file");
    std::unique_ptr<TComponent> fresh(cls.CreateComponent(nullptr));
    try {
      ReadRootTexts(*fresh, files);
    } catch (const EReadError& e) {
      throw EWriteError("The form file of frame class " + cls.Name() + " cannot be read: " + e.Message());
    }
    return *FFrames.emplace_back(std::move(fresh));
  }

  // obj's properties whose value differs from base's (the same object in the ancestor's form);
  // a value the ancestor stores and obj leaves at its default is written too.
  void WriteChangedProperties(const TPersistent& obj, const TPersistent& base, const std::string& prefix, int indent,
                              int depth, const TComponent& nameRoot, const TComponent& baseNameRoot) {
    if (depth >= kMaxFormNesting) throw EWriteError("Sub-properties nested too deeply at " + prefix);
    const bool isComponent = prefix.empty() && dynamic_cast<const TComponent*>(&obj);
    for (const TPropInfo* prop : obj.ClassType().Properties()) {
      if (isComponent && core::SameText(prop->Name(), "Name")) continue;  // in the object header
      if (prop->StoredRule() == TStored::Never) continue;
      const TPropInfo* twin = base.ClassType().FindProperty(prop->Name());
      if (twin && twin->Kind() != prop->Kind()) twin = nullptr;
      const std::string name = prefix + prop->Name();
      if (prop->Kind() == pkClass) {
        const TPersistent* sub = prop->GetObject(&obj);
        const TPersistent* baseSub = twin ? twin->GetObject(&base) : nullptr;
        if (sub && baseSub) WriteChangedProperties(*sub, *baseSub, name + ".", indent, depth + 1, nameRoot, baseNameRoot);
        else if (sub) WriteProperties(*sub, name + ".", indent, depth + 1);
        continue;
      }
      if (!prop->IsStored(&obj) && !(twin && twin->IsStored(&base))) continue;
      const std::string text = Rendered(obj, *prop, name, indent, depth, nameRoot);
      const std::string baseText = twin ? Rendered(base, *twin, name, indent, depth, baseNameRoot) : std::string();
      if (text == baseText) continue;
      if (text.empty()) Line(indent, name + " = nil");  // a handler or reference the ancestor has, gone here
      else FOut += text;
    }
  }

  // The lines WriteProperty writes, with events and references named in nameRoot.
  std::string Rendered(const TPersistent& obj, const TPropInfo& prop, const std::string& name, int indent, int depth,
                       const TComponent& nameRoot) {
    std::string kept;
    std::swap(kept, FOut);
    const TComponent* keptRoot = FNameRoot;
    FNameRoot = &nameRoot;
    try {
      WriteProperty(obj, prop, name, indent, depth);
    } catch (...) {
      FNameRoot = keptRoot;
      std::swap(kept, FOut);
      throw;
    }
    FNameRoot = keptRoot;
    std::swap(kept, FOut);
    return kept;
  }

  // ---- Values

  void WriteProperties(const TPersistent& obj, const std::string& prefix, int indent, int depth) {
    if (depth >= kMaxFormNesting) throw EWriteError("Sub-properties nested too deeply at " + prefix);
    const bool isComponent = prefix.empty() && dynamic_cast<const TComponent*>(&obj);
    for (const TPropInfo* prop : obj.ClassType().Properties()) {
      if (isComponent && core::SameText(prop->Name(), "Name")) continue;  // in the object header
      if (!prop->IsStored(&obj)) continue;
      WriteProperty(obj, *prop, prefix + prop->Name(), indent, depth);
    }
  }

  // The designer's place of a component without Left and Top properties of its own, only
  // when one was set, so files without it write back as they were.
  void WriteDesignPosition(const TComponent& c, int indent) {
    if (!c.HasDesignPosition() || c.ClassType().FindProperty("Left")) return;
    Line(indent, "Left = " + std::to_string(c.DesignPosition().Left));
    Line(indent, "Top = " + std::to_string(c.DesignPosition().Top));
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
        const std::string method = PublishedMethodName(*FNameRoot, StoodInMethod(prop.GetMethod(&obj)));
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
      case pkFloat:
        Line(indent, name + " = " + DecimalText(prop.GetFloat(&obj), name));
        return;
      default:
        Line(indent, name + " = " + OrdinalText(prop, prop.GetOrd(&obj)));
        return;
    }
  }

  // Only the root and its named components can be named in the root's file (a frame's
  // components in the frame's).
  std::string ReferenceName(const TComponent* c) const {
    if (!c || c->Name().empty()) return {};
    if (c == FNameRoot || c->Owner() == FNameRoot) return c->Name();
    return {};
  }

  // The shortest text that reads back to the same double, '.' whatever the locale.
  static std::string DecimalText(double value, const std::string& name) {
    try {
      return FloatToText(value);
    } catch (const EConvertError&) {
      throw EWriteError("Property " + name + " is not a finite number and cannot be stored in a form file");
    }
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
  const TComponent* FAncestor;
  const TComponent* FNameRoot;  // the root events and references are named in
  std::vector<std::unique_ptr<TComponent>> FFrames;
  std::string FOut;
};

std::string WriteComponentText(const TComponent& root) { return TWriter(root).Write(); }

std::string WriteComponentText(const TComponent& root, const TComponent& ancestor) {
  return TWriter(root, &ancestor).Write();
}

void WriteComponentFile(const TComponent& root, const std::string& path) {
  const std::string text = WriteComponentText(root);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInOutError("Cannot create file " + path, errno);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw EInOutError("Cannot write file " + path, errno);
}

}  // namespace kyt
