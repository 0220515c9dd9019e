// FormReader: creates and assigns the components a parsed form describes, and reads form files.
// On failure it frees what it created and puts an existing root's properties back.
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/core/CodePage.h"
#include "host/core/Collection.h"
#include "host/core/FormFile.h"
#include "host/core/FormTree.h"
#include "host/core/Strings.h"

namespace kyt {

using namespace formtext;
using namespace std::string_view_literals;

namespace {


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
    double Float = 0;
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
      case pkFloat: entry.Float = prop.GetFloat(&FObject); break;
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
      case pkFloat: prop.SetFloat(&FObject, entry.Float); break;
      case pkEvent: prop.SetMethod(&FObject, entry.Method); break;
      case pkComponentRef: prop.SetObject(&FObject, entry.Ref); break;
      case pkClass: case pkStrings: case pkCollection: break;
      default: prop.SetOrd(&FObject, entry.Ord); break;
    }
  }

  TPersistent& FObject;
  std::vector<TEntry> FEntries;
};

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


// What the readers of one read share: a form's reader and those of the frames inside it.
struct TReadState {
  // A component being loaded, and where its block stands (for an error Loaded raises).
  struct TLoading {
    TComponent* Component;
    TPos Pos;
    const std::string* File;
    const TFormTree* Tree;
  };
  std::vector<TLoading> Loaded;
  // Components that were there before the read and that an inherited block changes.
  std::vector<std::pair<TComponent*, std::unique_ptr<TSnapshot>>> Touched;
  // Frames' form files, parsed, kept while their trees are viewed.
  struct TKeptForm {
    TFormText File;
    TFormTree Tree;
  };
  std::deque<TKeptForm> Kept;
};

bool NamesClassOrAncestor(const TComponent& root, std::string_view name) {
  for (const TClassInfo* cls = &root.ClassType(); cls; cls = cls->Parent())
    if (core::SameText(cls->Name(), name)) return true;
  return false;
}

TFormFileSource& FormFileSource() {
  static auto* source = new TFormFileSource();
  return *source;
}

// Creates and assigns the components of parsed forms; on failure frees what it created. Reads
// one form file or the chain of an inherited form's files into one root.
class TReader {
 public:
  TReader(TComponent& root, TReadState& state) : FRoot(root), FState(state) {
    FPropOrders.reserve(kMaxPropOrders);  // never moved: reading a collection's items adds orders
  }

  // Assigns one file's blocks; exceptions leave the created components for Rollback. The first
  // file of a chain starts with `object`, the later ones with `inherited`.
  void ReadTree(const TFormTree& tree, const std::string& file, bool descendant) {
    FTree = &tree;
    FFile = &file;
    FReadCollections.clear();  // an inherited file may assign again what its ancestor's did
    const TObjectNode& node = tree.Root;
    if (descendant && node.Kind != TObjectKind::Inherited)
      Fail(node.Pos, "the form file of a descendant form starts with 'inherited'");
    if (node.Kind == TObjectKind::Inline) Fail(node.Pos, "a form file starts with 'object' or 'inherited'");
    if (!NamesClassOrAncestor(FRoot, node.ClassName))
      Fail(node.Pos, "class " + std::string(node.ClassName) + " does not match " + FRoot.ClassName());
    const size_t components = tree.Objects.size() + 1;
    FCreated.reserve(FCreated.size() + components);
    FState.Loaded.reserve(FState.Loaded.size() + components);
    FFixups.reserve(components);  // a reference or so per component is common
    // The indexes of names point into FNamed and the root's list, both of which this file changes.
    FNamedSlots.clear();
    FOwnedSlots.clear();
    FNamed.reserve(FNamed.size() + components);
    if (!FRootLoading) {
      BeginLoading(FRoot, node.Pos);
      FRootLoading = true;
    }
    // A frame keeps the name its block gives it, not the one of its own form file.
    if (!node.Name.empty() && !FRoot.ComponentState().Contains(csInline))
      Guard(node.Pos, [&] { FRoot.SetName(std::string(node.Name)); });
    ReadProperties(FRoot, node.Props);
    for (const TObjectNode& child : tree.ChildrenOf(node)) ReadBlock(FRoot, child, FRoot);
    ResolveFixups();
    FFixups.clear();
  }

  // Runs Loaded for every component read, in creation order, then ends their loading.
  void Finish() {
    CallLoaded();
    for (const TReadState::TLoading& entry : FState.Loaded) {
      entry.Component->SetComponentState(csLoading, false);
      entry.Component->SetComponentState(csReading, false);
    }
  }

  static void SetState(TComponent& c, TComponentStateFlag flag, bool on) { c.SetComponentState(flag, on); }

  // Frees every component created, last first (not the root), and puts back the components that
  // were there before and that inherited blocks changed.
  void FreeCreated() {
    while (!FCreated.empty()) {
      TComponent* c = FCreated.back();
      FCreated.pop_back();
      delete c;
    }
    for (auto& [c, snapshot] : FState.Touched) {
      snapshot->Restore();
      c->SetComponentState(csLoading, false);
      c->SetComponentState(csReading, false);
    }
    FState.Touched.clear();
  }

 private:
  [[noreturn]] void Fail(TPos pos, const std::string& reason) const {
    throw ReadError(*FFile, FTree->Source, pos, reason);
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
    FState.Loaded.push_back({&c, pos, FFile, FTree});
  }

  // Siblings are mostly of one class: the last class found is tried before the registry.
  const TClassInfo* ClassNamed(std::string_view name) {
    if (FLastClass && core::SameText(FLastClass->Name(), name)) return FLastClass;
    const TClassInfo* cls = FindClass(name);
    if (cls) FLastClass = cls;
    return cls;
  }

  // A block inside parent; scope owns the components `inherited` blocks name (the root, or the
  // frame of an `inline` block).
  void ReadBlock(TComponent& parent, const TObjectNode& node, TComponent& scope) {
    TComponent* c = nullptr;
    switch (node.Kind) {
      case TObjectKind::Object: c = CreateChild(parent, node); break;
      case TObjectKind::Inherited: c = FindInherited(parent, node, scope); break;
      case TObjectKind::Inline: c = CreateFrame(parent, node); break;
    }
    if (node.Order >= 0) PlaceChild(parent, *c, node.Order, scope);
    ReadProperties(*c, node.Props);
    TComponent& inner = node.Kind == TObjectKind::Inline ? *c : scope;
    for (const TObjectNode& child : FTree->ChildrenOf(node)) ReadBlock(*c, child, inner);
  }

  const TClassInfo& CreatableClass(const TObjectNode& node) {
    const TClassInfo* cls = ClassNamed(node.ClassName);
    if (!cls) Fail(node.Pos, "unknown class " + std::string(node.ClassName));
    if (!cls->IsComponentClass()) Fail(node.Pos, std::string(node.ClassName) + " is not a component class");
    if (!cls->CanCreateComponent()) Fail(node.Pos, "cannot create an instance of " + std::string(node.ClassName));
    return *cls;
  }

  TComponent* CreateChild(TComponent& parent, const TObjectNode& node) {
    const TClassInfo& cls = CreatableClass(node);
    TComponent* c = nullptr;
    Guard(node.Pos, [&] { c = cls.CreateComponent(&FRoot); });
    FCreated.push_back(c);
    BeginLoading(*c, node.Pos);
    Guard(node.Pos, [&] {
      c->SetParentComponent(&parent);
      c->SetName(std::string(node.Name));
    });
    if (!node.Name.empty()) FNamed.push_back(TNamed{core::TextHash(node.Name), c});
    return c;
  }

  // The component of the ancestor's form an `inherited` block changes: of that name and class,
  // with the same parent.
  TComponent* FindInherited(TComponent& parent, const TObjectNode& node, TComponent& scope) {
    const std::string name(node.Name);
    TComponent* c = scope.FindComponent(name);
    if (!c) Fail(node.Pos, "inherited component " + name + " is not in the ancestor's form");
    if (!core::SameText(c->ClassName(), node.ClassName))
      Fail(node.Pos, "inherited component " + name + " is a " + c->ClassName() + " in the ancestor's form, not a " +
                         std::string(node.ClassName));
    if (c->HasParent() && c->GetParentComponent() != &parent)
      Fail(node.Pos, "inherited component " + name + " has another parent in the ancestor's form");
    if (!c->ComponentState().Contains(csLoading)) {
      // There before this read: put back should the read fail.
      FState.Touched.emplace_back(c, std::make_unique<TSnapshot>(*c, 0));
      BeginLoading(*c, node.Pos);
    }
    return c;
  }

  // A frame: created, filled from its own form files, then changed by its block.
  TComponent* CreateFrame(TComponent& parent, const TObjectNode& node) {
    const TClassInfo& cls = CreatableClass(node);
    std::vector<TFormText> files;
    Guard(node.Pos, [&] { files = FormFilesOf(cls, TComponent::StaticClass()); });
    if (files.empty()) Fail(node.Pos, "frame class " + cls.Name() + " has no form file");
    TComponent* c = CreateChild(parent, node);
    c->SetComponentState(csInline, true);
    TReader frame(*c, FState);
    frame.FRootLoading = true;  // loading since CreateChild
    for (size_t i = 0; i < files.size(); ++i) {
      TReadState::TKeptForm& kept = FState.Kept.emplace_back();
      kept.File = std::move(files[i]);
      ParseForm(kept.File.Text, kept.File.FileName, kept.Tree);
      frame.ReadTree(kept.Tree, kept.File.FileName, i > 0);
    }
    return c;
  }

  // `[n]`: child goes to place n among parent's children (the last place when n is beyond it).
  void PlaceChild(TComponent& parent, TComponent& child, int32_t order, TComponent& scope) {
    std::vector<TComponent*> children;
    parent.GetChildren(children, scope);
    if (&scope != &FRoot) parent.GetChildren(children, FRoot);
    if (children.empty()) return;
    const size_t at = std::min(static_cast<size_t>(order), children.size() - 1);
    Guard(FTree->Root.Pos, [&] { parent.SetChildOrder(&child, children[at]); });
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
    for (const TPropNode& prop : FTree->PropsOf(props)) {
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
      if (!found && ReadDesignPosition(obj, head, prop)) continue;
      if (!found) found = &FindProp(obj, head, prop.Pos);
      if (order) order->Next.push_back(found);
      ReadProperty(obj, *found, prop);
    }
    if (order) std::swap(order->Last, order->Next);
  }

  // Left and Top of a component that publishes no such property: its place on the designed
  // form, kept for the designer and for writing the file back.
  bool ReadDesignPosition(TPersistent& obj, std::string_view head, const TPropNode& node) {
    if (head.size() != node.Name.size()) return false;
    const bool left = core::SameText(head, "Left"sv);
    if (!left && !core::SameText(head, "Top"sv)) return false;
    auto* c = dynamic_cast<TComponent*>(&obj);
    if (!c || obj.ClassType().FindProperty(head)) return false;
    if (node.Value.Kind != TValueKind::Integer) Fail(node.Value.Pos, "wrong value for " + std::string(head) + ": integer expected");
    if (node.Value.Int < INT32_MIN || node.Value.Int > INT32_MAX)
      Fail(node.Value.Pos, "value " + std::to_string(node.Value.Int) + " out of range for " + std::string(head));
    const TComponent::TDesignPosition at = c->DesignPosition();
    const int32_t v = static_cast<int32_t>(node.Value.Int);
    c->SetDesignPosition(left ? v : at.Left, left ? at.Top : v);
    return true;
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

  [[noreturn]] void NotAnInteger(const TValue& value, const TPropInfo& prop) const {
    Fail(value.Pos, "wrong value for " + prop.Name() + ": a decimal number for an integer property");
  }

  // An integer stands for the decimal of its value.
  void AssignFloat(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind == TValueKind::Integer) prop.SetFloat(&obj, static_cast<double>(value.Int));
    else if (value.Kind == TValueKind::Float) prop.SetFloat(&obj, std::bit_cast<double>(value.Int));
    else WrongKind(value, prop, "number");
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
        if (value.Kind == TValueKind::Float) NotAnInteger(value, prop);
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
        prop.SetBinary(&obj, FTree->BytesOf(value));
        return;
      case pkFloat:
        AssignFloat(obj, prop, value);
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
    for (const TValue& member : FTree->ElementsOf(value)) bits |= uint64_t{1} << EnumMember(member, prop);
    prop.SetOrd(&obj, static_cast<int64_t>(bits));
  }

  void AssignColor(TPersistent& obj, const TPropInfo& prop, const TValue& value) {
    if (value.Kind == TValueKind::Float) NotAnInteger(value, prop);
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
    for (const TValue& line : FTree->ElementsOf(value)) {
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
      for (const TItemNode& item : FTree->ItemsOf(value)) {
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
    for (const TPropNode& prop : FTree->PropsOf(item.Props)) names.emplace_back(prop.Name);
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
    for (size_t i = 0; i < FState.Loaded.size(); ++i) {
      const TReadState::TLoading entry = FState.Loaded[i];
      FFile = entry.File;
      FTree = entry.Tree;
      Guard(entry.Pos, [&] { entry.Component->Loaded(); });
    }
  }

  TComponent& FRoot;
  TReadState& FState;
  const std::string* FFile = nullptr;
  const TFormTree* FTree = nullptr;
  bool FRootLoading = false;
  std::vector<TComponent*> FCreated;
  std::vector<TFixup> FFixups;
  std::set<const TCollection*> FReadCollections;
  std::vector<TNamed> FNamed;
  std::vector<const TNamed*> FNamedSlots;
  std::vector<TComponent*> FOwnedSlots;
  const TClassInfo* FLastClass = nullptr;
  std::vector<TPropOrder> FPropOrders;
};

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
    TReadState state;
    TReader reader(*root, state);
    reader.ReadTree(form, fileName, false);
    reader.Finish();
  } catch (...) {
    delete root;  // frees every component created under it
    throw;
  }
  return root;
}

void ReadRootTexts(TComponent& root, const std::vector<TFormText>& files) {
  std::deque<TFormTree> forms;
  for (const TFormText& file : files) ParseForm(file.Text, file.FileName, forms.emplace_back());
  const TComponentState state = root.ComponentState();
  TSnapshot snapshot(root, 0);
  TReadState readState;
  TReader reader(root, readState);
  try {
    for (size_t i = 0; i < files.size(); ++i) reader.ReadTree(forms[i], files[i].FileName, i > 0);
    reader.Finish();
  } catch (...) {
    reader.FreeCreated();
    snapshot.Restore();
    for (TComponentStateFlag flag : {csLoading, csReading})
      TReader::SetState(root, flag, state.Contains(flag));
    throw;
  }
}

void ReadRootText(TComponent& root, const std::string& text, const std::string& fileName) {
  ReadRootTexts(root, {TFormText{text, fileName}});
}

TFormFileSource SetFormFileSource(TFormFileSource source) {
  TFormFileSource previous = std::move(FormFileSource());
  FormFileSource() = std::move(source);
  return previous;
}

std::vector<TFormText> FormFilesOf(const TClassInfo& cls, const TClassInfo& base) {
  std::vector<TFormText> files;
  const TFormFileSource& source = FormFileSource();
  if (!source) return files;
  for (const TClassInfo* c = &cls; c && c != &base; c = c->Parent()) {
    TFormText file;
    if (source(*c, file.Text, file.FileName)) files.push_back(std::move(file));
  }
  std::reverse(files.begin(), files.end());
  return files;
}

bool InitInheritedComponent(TComponent& root, const TClassInfo& base) {
  const std::vector<TFormText> files = FormFilesOf(root.ClassType(), base);
  if (files.empty()) return false;
  ReadRootTexts(root, files);
  return true;
}

TComponent* ReadComponentFile(const std::string& path, TComponent* owner) {
  return ReadComponentText(ReadWholeFile(path), path, owner);
}

void ReadRootFile(TComponent& root, const std::string& path) { ReadRootText(root, ReadWholeFile(path), path); }

}  // namespace kyt
