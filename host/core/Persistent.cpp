// Persistent: class identity, Assign, property metadata and the class registry.
#include "host/core/Persistent.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>

#include "host/core/Collection.h"
#include "host/core/Component.h"
#include "host/core/Strings.h"

namespace kyt {

// ---- TObject

TObject::~TObject() = default;

const TClassInfo& TObject::StaticClass() {
  static const TClassInfo info("TObject", nullptr);
  return info;
}

const TClassInfo& TObject::ClassType() const { return StaticClass(); }

std::string TObject::ClassName() const { return ClassType().Name(); }

bool TObject::InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }

// ---- TPersistent

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + (dest ? dest->ClassName() : std::string("nil")));
}

TPersistent* TPersistent::GetOwner() const { return nullptr; }

// ---- TClassInfo

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent) : FName(std::move(name)), FParent(parent) {
  if (parent) {
    FProperties = parent->FProperties;
    FPropertyIndex = parent->FPropertyIndex;
    FMethods = parent->FMethods;
  }
}

void TClassInfo::IndexProperties() {
  size_t size = 8;
  while (size < FProperties.size() * 2) size *= 2;
  FPropertyIndex.assign(size, nullptr);
  for (const TPropInfo* prop : FProperties) {
    size_t slot = core::TextHash(prop->Name()) & (size - 1);
    while (FPropertyIndex[slot]) slot = (slot + 1) & (size - 1);
    FPropertyIndex[slot] = prop;
  }
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->FParent)
    if (c == &other) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  const size_t size = FPropertyIndex.size();
  if (size == 0) return nullptr;
  const TPropInfo* const* slots = FPropertyIndex.data();
  for (size_t slot = core::TextHash(name) & (size - 1); slots[slot]; slot = (slot + 1) & (size - 1))
    if (core::SameText(slots[slot]->Name(), name)) return slots[slot];
  return nullptr;
}

const TPublishedMethod* TClassInfo::FindMethod(const std::string& name) const {
  for (const TPublishedMethod* m : FMethods)
    if (core::SameText(m->Name, name)) return m;
  return nullptr;
}

TComponent* TClassInfo::CreateComponent(TComponent* owner) const {
  if (!FComponentFactory) throw EFilerError("Cannot create an instance of component class " + FName);
  return FComponentFactory(owner);
}

TCollectionItem* TClassInfo::CreateItem(TCollection* collection) const {
  if (!FItemFactory) throw EFilerError("Cannot create an instance of item class " + FName);
  return FItemFactory(collection);
}

TPersistent* TClassInfo::CreatePersistent() const {
  if (!FPersistentFactory) throw EFilerError("Cannot create an instance of class " + FName);
  return FPersistentFactory();
}

void TClassInfo::AddProperty(std::unique_ptr<TPropInfo> prop) {
  const TPropInfo* raw = prop.get();
  FOwnProperties.push_back(std::move(prop));
  bool replaced = false;
  for (const TPropInfo*& existing : FProperties) {
    if (core::SameText(existing->Name(), raw->Name())) {
      existing = raw;
      replaced = true;
      break;
    }
  }
  if (!replaced) FProperties.push_back(raw);
  IndexProperties();
}

void TClassInfo::AddMethod(TPublishedMethod method) {
  FOwnMethods.push_back(std::make_unique<TPublishedMethod>(std::move(method)));
  const TPublishedMethod* raw = FOwnMethods.back().get();
  for (const TPublishedMethod*& existing : FMethods) {
    if (core::SameText(existing->Name, raw->Name)) {
      existing = raw;
      return;
    }
  }
  FMethods.push_back(raw);
}

// ---- Class registry

namespace {
struct TRegistryKeyLess {
  using is_transparent = void;  // found by a view of the name, without a string made per lookup
  bool operator()(std::string_view a, std::string_view b) const { return core::CompareText(a, b) < 0; }
};
std::map<std::string, const TClassInfo*, TRegistryKeyLess>& Registry() {
  // Never destroyed, like the classes it names.
  static auto* registry = new std::map<std::string, const TClassInfo*, TRegistryKeyLess>();
  return *registry;
}
}  // namespace

void RegisterClass(const TClassInfo& cls) {
  auto [it, inserted] = Registry().emplace(cls.Name(), &cls);
  if (!inserted && it->second != &cls) throw EFilerError("A class named " + cls.Name() + " already exists");
}

void RegisterClasses(std::initializer_list<const TClassInfo*> classes) {
  for (const TClassInfo* cls : classes) RegisterClass(*cls);
}

void UnRegisterClass(const TClassInfo& cls) {
  auto it = Registry().find(cls.Name());
  if (it != Registry().end() && it->second == &cls) Registry().erase(it);
}

const TClassInfo* FindClass(std::string_view name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

// ---- Published methods

bool FindPublishedMethod(TObject& root, const std::string& name, TMethod& method) {
  const TPublishedMethod* m = root.ClassType().FindMethod(name);
  if (!m) return false;
  method = TMethod{m->ReceiverOf(&root), m->Code, m->Signature};
  return method.Data != nullptr;
}

std::string PublishedMethodName(const TObject& root, const TMethod& method) {
  if (!method.Code) return {};
  for (const TPublishedMethod* m : root.ClassType().Methods()) {
    if (m->Code == method.Code && m->Signature == method.Signature &&
        m->ReceiverOf(const_cast<TObject*>(&root)) == method.Data)
      return m->Name;
  }
  return {};
}

// ---- Method stand-ins

namespace {
// Longest chain followed: more stand-ins on one slot than this means a cycle.
constexpr int kMaxStandInChain = 64;

std::vector<std::pair<TMethod, TMethodStandIn>>& StandIns() {
  static auto* entries = new std::vector<std::pair<TMethod, TMethodStandIn>>();
  return *entries;
}

const TMethodStandIn* FindStandIn(const TMethod& method) {
  if (!method) return nullptr;
  for (const auto& [m, access] : StandIns())
    if (m == method) return &access;
  return nullptr;
}
}  // namespace

void RegisterMethodStandIn(const TMethod& standIn, TMethodStandIn access) {
  if (!standIn) return;
  for (auto& [m, existing] : StandIns()) {
    if (m == standIn) {
      existing = std::move(access);
      return;
    }
  }
  StandIns().emplace_back(standIn, std::move(access));
}

void UnregisterMethodStandIn(const TMethod& standIn) {
  auto& entries = StandIns();
  auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == standIn; });
  if (it == entries.end()) return;
  const TMethod kept = it->second.Replaced ? it->second.Replaced() : TMethod{};
  entries.erase(it);
  for (auto& [m, access] : entries)
    if (access.Replaced && access.Replaced() == standIn && access.SetReplaced) access.SetReplaced(kept);
}

TMethod StoodInMethod(const TMethod& method) {
  TMethod current = method;
  for (int i = 0; i < kMaxStandInChain; ++i) {
    const TMethodStandIn* access = FindStandIn(current);
    if (!access || !access->Replaced) return current;
    current = access->Replaced();
  }
  return current;
}

bool MethodChainHolds(const TMethod& slot, const TMethod& target) {
  TMethod current = slot;
  for (int i = 0; current && i < kMaxStandInChain; ++i) {
    if (current == target) return true;
    const TMethodStandIn* access = FindStandIn(current);
    if (!access || !access->Replaced) return false;
    current = access->Replaced();
  }
  return false;
}

bool SetStoodInMethod(const TMethod& slot, const TMethod& value) {
  const TMethodStandIn* innermost = nullptr;
  TMethod current = slot;
  for (int i = 0; i < kMaxStandInChain; ++i) {
    const TMethodStandIn* access = FindStandIn(current);
    if (!access || !access->Replaced) break;
    innermost = access;
    current = access->Replaced();
  }
  if (!innermost || !innermost->SetReplaced) return false;
  innermost->SetReplaced(value);
  return true;
}

TMethod MethodChainWithout(const TMethod& slot, const TMethod& standIn) {
  const TMethodStandIn* own = FindStandIn(standIn);
  const TMethod kept = own && own->Replaced ? own->Replaced() : TMethod{};
  if (slot == standIn) return kept;
  TMethod current = slot;
  for (int i = 0; current && i < kMaxStandInChain; ++i) {
    const TMethodStandIn* access = FindStandIn(current);
    if (!access || !access->Replaced) break;
    if (access->Replaced() == standIn) {
      if (access->SetReplaced) access->SetReplaced(kept);
      break;
    }
    current = access->Replaced();
  }
  return slot;
}

// ---- TPropInfo

TPropInfo::TPropInfo(std::string name, TPropKind kind) : FName(std::move(name)), FKind(kind) {}

TPropInfo::~TPropInfo() = default;

void TPropInfo::WrongKind(const char* access) const {
  throw EConvertError("Property " + FName + " is not " + access);
}

void TPropInfo::RangeError(int64_t value) const {
  if (FKind == pkSet) throw ERangeError("Set value out of range for property " + FName);
  throw ERangeError("Value " + std::to_string(value) + " out of range for property " + FName + " (" +
                    std::to_string(FMinValue) + ".." + std::to_string(FMaxValue) + ")");
}

void TPropInfo::ReadOnlyError() const { throw EConvertError("Property " + FName + " is read-only"); }

bool TPropInfo::IsEmptyValue(const TPersistent* obj) const {
  TPersistent* value = GetObject(obj);
  if (!value) return true;
  if (FKind == pkStrings) return static_cast<TStrings*>(value)->Count() == 0;
  if (FKind == pkCollection) return static_cast<TCollection*>(value)->Count() == 0;
  return false;
}

bool TPropInfo::IsStored(const TPersistent* obj) const {
  switch (FStored) {
    case TStored::Never:
      return false;
    case TStored::Always:
      return true;
    case TStored::WhenNotDefault:
      return FHasDefault ? !IsDefaultValue(obj) : !IsEmptyValue(obj);
    case TStored::Auto:
      break;
  }
  if (FStoredIf && !FStoredIf(obj)) return false;
  if (FHasDefault) return !IsDefaultValue(obj);
  switch (FKind) {
    case pkStrings:
    case pkCollection:
    case pkBinary:
    case pkComponentRef:
    case pkEvent:
    case pkFloat:
      return !IsEmptyValue(obj);
    default:
      return true;
  }
}

int64_t TPropInfo::GetOrd(const TPersistent*) const { WrongKind("an ordinal"); }
void TPropInfo::SetOrd(TPersistent*, int64_t) const { WrongKind("an ordinal"); }
std::string TPropInfo::GetStr(const TPersistent*) const { WrongKind("a string"); }
void TPropInfo::SetStr(TPersistent*, const std::string&) const { WrongKind("a string"); }
TPersistent* TPropInfo::GetObject(const TPersistent*) const { WrongKind("an object"); }
void TPropInfo::SetObject(TPersistent*, TPersistent*) const { WrongKind("an object"); }
TMethod TPropInfo::GetMethod(const TPersistent*) const { WrongKind("an event"); }
void TPropInfo::SetMethod(TPersistent*, const TMethod&) const { WrongKind("an event"); }
std::vector<uint8_t> TPropInfo::GetBinary(const TPersistent*) const { WrongKind("binary data"); }
void TPropInfo::SetBinary(TPersistent*, const std::vector<uint8_t>&) const { WrongKind("binary data"); }
double TPropInfo::GetFloat(const TPersistent*) const { WrongKind("a floating-point value"); }
void TPropInfo::SetFloat(TPersistent*, double) const { WrongKind("a floating-point value"); }

namespace {

std::string CharText(int64_t ord) {
  const auto c = static_cast<unsigned char>(ord);
  if (c < 32 || c == 127) return "#" + std::to_string(c);
  return std::string(1, static_cast<char>(c));
}

std::string HexText(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::vector<uint8_t> ParseHex(const std::string& text) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    const int d = HexDigit(c);
    if (d < 0) throw EConvertError("Invalid binary data");
    if (high < 0) {
      high = d;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + d));
      high = -1;
    }
  }
  if (high >= 0) throw EConvertError("Invalid binary data: odd number of digits");
  return bytes;
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t b = text.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

int64_t ParseInteger(const std::string& text) {
  const char* s = text.c_str();
  char* end = nullptr;
  errno = 0;
  long long value = text.size() > 1 && text[0] == '$' ? std::strtoll(s + 1, &end, 16) : std::strtoll(s, &end, 10);
  if (text.empty() || errno != 0 || !end || *end != '\0')
    throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

TComponent* FindComponentNear(const TPersistent* obj, const std::string& name) {
  const auto* comp = dynamic_cast<const TComponent*>(obj);
  if (!comp) return nullptr;
  const TComponent* scope = comp->Owner() ? comp->Owner() : comp;
  if (core::SameText(scope->Name(), name)) return const_cast<TComponent*>(scope);
  return scope->FindComponent(name);
}

}  // namespace

std::string TPropInfo::OrdinalText(int64_t ordinal) const {
  switch (FKind) {
    case pkInteger:
      return std::to_string(ordinal);
    case pkBoolean:
      return ordinal ? "True" : "False";
    case pkChar:
      return CharText(ordinal);
    case pkEnum:
      return GetEnumName(*FEnumType, ordinal);
    case pkSet:
      return SetToString(*FEnumType, static_cast<uint64_t>(ordinal));
    case pkColor:
      return ColorToString(ColorOf(static_cast<uint32_t>(ordinal)));
    default:
      return {};
  }
}

std::string TPropInfo::ValueText(const TPersistent* obj) const {
  switch (FKind) {
    case pkInteger:
    case pkBoolean:
    case pkChar:
    case pkEnum:
    case pkSet:
    case pkColor:
      return OrdinalText(GetOrd(obj));
    case pkString:
      return GetStr(obj);
    case pkClass:
    case pkStrings:
    case pkCollection: {
      TPersistent* value = GetObject(obj);
      return "(" + (value ? value->ClassName() : ObjectClass()->Name()) + ")";
    }
    case pkComponentRef: {
      auto* value = static_cast<TComponent*>(GetObject(obj));
      return value ? value->Name() : std::string();
    }
    case pkEvent:
      return GetMethod(obj) ? "(handler)" : "";
    case pkBinary:
      return HexText(GetBinary(obj));
    case pkFloat:
      return FloatToText(GetFloat(obj));
  }
  return {};
}

void TPropInfo::SetValueText(TPersistent* obj, const std::string& text) const {
  switch (FKind) {
    case pkInteger:
      SetOrd(obj, ParseInteger(text));
      return;
    case pkBoolean:
      if (core::SameText(text, "True")) SetOrd(obj, 1);
      else if (core::SameText(text, "False")) SetOrd(obj, 0);
      else throw EConvertError("'" + text + "' is not a valid boolean value");
      return;
    case pkChar:
      if (text.size() == 1) SetOrd(obj, static_cast<unsigned char>(text[0]));
      else if (text.size() > 1 && text[0] == '#') SetOrd(obj, ParseInteger(text.substr(1)));
      else throw EConvertError("'" + text + "' is not a valid character");
      return;
    case pkString:
      SetStr(obj, text);
      return;
    case pkEnum: {
      const int64_t ord = GetEnumValue(*FEnumType, text);
      if (ord < 0) throw EConvertError("'" + text + "' is not a member of " + FEnumType->Name);
      SetOrd(obj, ord);
      return;
    }
    case pkSet:
      SetOrd(obj, static_cast<int64_t>(StringToSet(*FEnumType, text)));
      return;
    case pkColor:
      SetOrd(obj, static_cast<uint32_t>(ColorValue(StringToColor(text))));
      return;
    case pkComponentRef: {
      if (text.empty()) {
        SetObject(obj, nullptr);
        return;
      }
      TComponent* target = FindComponentNear(obj, text);
      if (!target) throw EConvertError("Component " + text + " not found");
      SetObject(obj, target);
      return;
    }
    case pkBinary:
      SetBinary(obj, ParseHex(text));
      return;
    case pkFloat: {
      double value = 0;
      if (!TextToFloat(TrimBlanks(text), value)) throw EConvertError("'" + text + "' is not a valid floating-point value");
      SetFloat(obj, value);
      return;
    }
    case pkClass:
    case pkStrings:
    case pkCollection:
    case pkEvent:
      break;
  }
  throw EConvertError("Property " + FName + " cannot be set from text");
}

// ---- Copying published properties

namespace {

void CopyObjectProperty(const TPropInfo& from, const TPersistent& source, const TPropInfo& to, TPersistent& dest) {
  TPersistent* src = from.GetObject(&source);
  TPersistent* dst = to.GetObject(&dest);
  if (to.Kind() == pkComponentRef) {
    if (!to.IsReadOnly()) to.SetObject(&dest, src);
    return;
  }
  if (!src || !dst || src == dst) return;
  if (to.Kind() == pkClass) {
    CopyPublishedProperties(*src, *dst);
  } else if (!to.IsReadOnly()) {
    to.SetObject(&dest, src);
  } else {
    dst->Assign(src);
  }
}

}  // namespace

void CopyPublishedProperties(const TPersistent& source, TPersistent& dest) {
  const TClassInfo& srcClass = source.ClassType();
  for (const TPropInfo* to : dest.ClassType().Properties()) {
    const TPropInfo* from = srcClass.FindProperty(to->Name());
    if (!from || from->Kind() != to->Kind()) continue;
    if (dynamic_cast<const TComponent*>(&dest) && core::SameText(to->Name(), "Name")) continue;
    switch (to->Kind()) {
      case pkClass:
      case pkStrings:
      case pkCollection:
      case pkComponentRef:
        CopyObjectProperty(*from, source, *to, dest);
        break;
      default:
        if (to->IsReadOnly()) break;
        if (to->Kind() == pkString) to->SetStr(&dest, from->GetStr(&source));
        else if (to->Kind() == pkEvent) to->SetMethod(&dest, from->GetMethod(&source));
        else if (to->Kind() == pkBinary) to->SetBinary(&dest, from->GetBinary(&source));
        else if (to->Kind() == pkFloat) to->SetFloat(&dest, from->GetFloat(&source));
        else to->SetOrd(&dest, from->GetOrd(&source));
        break;
    }
  }
}

}  // namespace kyt
