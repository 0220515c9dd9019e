// PropertyEditors: the designer interface's defaults and the designer's property editors.
#include "host/design/PropertyEditors.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/core/Collection.h"
#include "host/core/Strings.h"
#include "host/design/Designer.h"

namespace kyt {

// ---- TFormDesigner

TFormDesigner::~TFormDesigner() = default;

TMethod TFormDesigner::CreateMethod(const std::string& name, const void* signature) {
  TMethod method;
  if (!FRoot || !FindPublishedMethod(*FRoot, name, method))
    throw EPropertyError("Invalid property value: the form has no method " + name);
  if (method.Signature != signature)
    throw EPropertyError("Invalid property value: method " + name + " does not fit this event");
  return method;
}

std::string TFormDesigner::GetMethodName(const TMethod& method) const {
  return FRoot ? PublishedMethodName(*FRoot, method) : std::string();
}

std::vector<std::string> TFormDesigner::GetMethodNames(const void* signature) const {
  std::vector<std::string> names;
  if (!FRoot) return names;
  for (const TPublishedMethod* m : FRoot->ClassType().Methods())
    if (m->Signature == signature) names.push_back(m->Name);
  return names;
}

// ---- TPropertyEditor

TPropertyEditor::TPropertyEditor(TFormDesigner* designer, std::vector<TPersistent*> instances,
                                 std::vector<const TPropInfo*> props)
    : FDesigner(designer), FInstances(std::move(instances)), FProps(std::move(props)) {
  if (FInstances.empty() || FInstances.size() != FProps.size())
    throw EPropertyError("A property editor needs one property per selected object");
}

TPropertyEditor::~TPropertyEditor() = default;

const TPropertyEditorClass& TPropertyEditor::StaticEditorClass() {
  static const TPropertyEditorClass cls{
      "TPropertyEditor",
      [](TFormDesigner* d, std::vector<TPersistent*> i, std::vector<const TPropInfo*> p) {
        return std::make_unique<TPropertyEditor>(d, std::move(i), std::move(p));
      }};
  return cls;
}
const TPropertyEditorClass& TPropertyEditor::EditorClass() const { return StaticEditorClass(); }

TPropertyAttributes TPropertyEditor::GetAttributes() const { return {paRevertable}; }
std::string TPropertyEditor::GetValue() const { return "(Unknown)"; }
void TPropertyEditor::SetValue(const std::string&) { Refuse("the entry " + GetName() + " cannot be typed into"); }
void TPropertyEditor::Edit() {}
std::vector<std::string> TPropertyEditor::GetValues() const { return {}; }
// The base editor's text does not depend on the selected objects; editors that show values compare them.
bool TPropertyEditor::AllEqual() const { return true; }
std::vector<std::unique_ptr<TPropertyEditor>> TPropertyEditor::GetProperties() const { return {}; }
std::string TPropertyEditor::GetName() const { return FProps[0]->Name(); }
bool TPropertyEditor::HasTextDialog() const { return false; }
void TPropertyEditor::EditText(const std::string&) { Refuse("the entry " + GetName() + " has no dialog that takes text"); }

TPersistent* TPropertyEditor::GetComponent(int index) const {
  if (index < 0 || index >= PropCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FInstances[static_cast<size_t>(index)];
}

const TPropInfo& TPropertyEditor::GetPropInfo(int index) const {
  if (index < 0 || index >= PropCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return *FProps[static_cast<size_t>(index)];
}

void TPropertyEditor::Refuse(const std::string& why) const { throw EPropertyError("Invalid property value: " + why); }

template <class Fn>
void TPropertyEditor::ForEach(Fn fn) {
  try {
    for (size_t i = 0; i < FInstances.size(); ++i) fn(FInstances[i], *FProps[i]);
  } catch (const EPropertyError&) {
    throw;
  } catch (const EConvertError& e) {
    Refuse(e.Message());
  } catch (const ERangeError& e) {
    Refuse(e.Message());
  }
  if (FDesigner) FDesigner->Modified();
}

void TPropertyEditor::SetText(const std::string& value) {
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetValueText(obj, value); });
}

std::string TPropertyEditor::Text(int index) const { return GetPropInfo(index).ValueText(GetComponent(index)); }

bool TPropertyEditor::AllTextEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (Text(i) != Text(0)) return false;
  return true;
}

// ---- Ordinal editors

TPropertyAttributes TOrdinalProperty::GetAttributes() const { return {paMultiSelect, paRevertable}; }
std::string TOrdinalProperty::GetValue() const { return Text(); }
bool TOrdinalProperty::AllEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (GetPropInfo(i).GetOrd(GetComponent(i)) != GetPropInfo(0).GetOrd(GetComponent(0))) return false;
  return true;
}

std::string TIntegerProperty::GetValue() const { return std::to_string(GetPropInfo().GetOrd(GetComponent(0))); }
void TIntegerProperty::SetValue(const std::string& value) {
  if (value.empty()) Refuse("an integer is needed");
  SetText(value);
}

std::string TCharProperty::GetValue() const { return Text(); }
void TCharProperty::SetValue(const std::string& value) { SetText(value); }

TPropertyAttributes TEnumProperty::GetAttributes() const {
  return {paMultiSelect, paValueList, paSortList, paRevertable};
}
std::string TEnumProperty::GetValue() const { return Text(); }
void TEnumProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::string> TEnumProperty::GetValues() const {
  const TEnumInfo* info = GetPropInfo().EnumType();
  return info ? info->Members : std::vector<std::string>{};
}

TPropertyAttributes TBoolProperty::GetAttributes() const { return {paMultiSelect, paValueList, paRevertable}; }
std::string TBoolProperty::GetValue() const { return GetPropInfo().GetOrd(GetComponent(0)) ? "True" : "False"; }
void TBoolProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::string> TBoolProperty::GetValues() const { return {"False", "True"}; }

TPropertyAttributes TSetProperty::GetAttributes() const { return {paMultiSelect, paSubProperties, paRevertable}; }
std::string TSetProperty::GetValue() const { return Text(); }
void TSetProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::unique_ptr<TPropertyEditor>> TSetProperty::GetProperties() const {
  std::vector<std::unique_ptr<TPropertyEditor>> out;
  const TEnumInfo* info = GetPropInfo().EnumType();
  if (!info) return out;
  std::vector<TPersistent*> instances;
  std::vector<const TPropInfo*> props;
  for (int i = 0; i < PropCount(); ++i) {
    instances.push_back(GetComponent(i));
    props.push_back(&GetPropInfo(i));
  }
  for (size_t e = 0; e < info->Members.size(); ++e)
    out.push_back(std::make_unique<TSetElementProperty>(Designer(), instances, props, static_cast<int>(e)));
  return out;
}

TSetElementProperty::TSetElementProperty(TFormDesigner* designer, std::vector<TPersistent*> instances,
                                         std::vector<const TPropInfo*> props, int element)
    : TPropertyEditor(designer, std::move(instances), std::move(props)), FElement(element) {}

const TPropertyEditorClass& TSetElementProperty::StaticEditorClass() {
  // Made by TSetProperty only; the factory gives the first member.
  static const TPropertyEditorClass cls{
      "TSetElementProperty",
      [](TFormDesigner* d, std::vector<TPersistent*> i, std::vector<const TPropInfo*> p) -> std::unique_ptr<TPropertyEditor> {
        return std::make_unique<TSetElementProperty>(d, std::move(i), std::move(p), 0);
      }};
  return cls;
}
const TPropertyEditorClass& TSetElementProperty::EditorClass() const { return StaticEditorClass(); }
TPropertyAttributes TSetElementProperty::GetAttributes() const { return {paMultiSelect, paValueList, paSortList}; }
std::string TSetElementProperty::GetName() const { return GetPropInfo().EnumType()->Members[static_cast<size_t>(FElement)]; }
std::string TSetElementProperty::GetValue() const {
  return (static_cast<uint64_t>(GetPropInfo().GetOrd(GetComponent(0))) >> FElement) & 1 ? "True" : "False";
}
void TSetElementProperty::SetValue(const std::string& value) {
  bool on;
  if (core::SameText(value, "True")) on = true;
  else if (core::SameText(value, "False")) on = false;
  else Refuse("'" + value + "' is not True or False");
  ForEach([&](TPersistent* obj, const TPropInfo& prop) {
    uint64_t bits = static_cast<uint64_t>(prop.GetOrd(obj));
    const uint64_t bit = uint64_t{1} << FElement;
    prop.SetOrd(obj, static_cast<int64_t>(on ? bits | bit : bits & ~bit));
  });
}
std::vector<std::string> TSetElementProperty::GetValues() const { return {"False", "True"}; }
bool TSetElementProperty::AllEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (((GetPropInfo(i).GetOrd(GetComponent(i)) ^ GetPropInfo(0).GetOrd(GetComponent(0))) >> FElement) & 1)
      return false;
  return true;
}

TPropertyAttributes TColorProperty::GetAttributes() const {
  return {paMultiSelect, paDialog, paValueList, paRevertable};
}
std::string TColorProperty::GetValue() const { return Text(); }
void TColorProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::string> TColorProperty::GetValues() const {
  std::vector<std::string> names;
  for (uint32_t v : {0x000000u, 0x000080u, 0x008000u, 0x008080u, 0x800000u, 0x800080u, 0x808000u, 0x808080u,
                     0xC0C0C0u, 0x0000FFu, 0x00FF00u, 0x00FFFFu, 0xFF0000u, 0xFF00FFu, 0xFFFF00u, 0xFFFFFFu})
    names.push_back(ColorToString(ColorOf(v)));
  for (uint32_t i = 0; i <= 0x18; ++i) names.push_back(ColorToString(ColorOf(0x80000000u | i)));
  return names;
}

// ---- Floating-point editor

TPropertyAttributes TFloatProperty::GetAttributes() const { return {paMultiSelect, paRevertable}; }
std::string TFloatProperty::GetValue() const { return Text(); }
void TFloatProperty::SetValue(const std::string& value) {
  if (value.empty()) Refuse("a number is needed");
  SetText(value);
}
bool TFloatProperty::AllEqual() const {
  // Compared by bits: 0 and -0 are different values to store.
  for (int i = 1; i < PropCount(); ++i)
    if (std::bit_cast<uint64_t>(GetPropInfo(i).GetFloat(GetComponent(i))) !=
        std::bit_cast<uint64_t>(GetPropInfo(0).GetFloat(GetComponent(0))))
      return false;
  return true;
}

// ---- String editors

TPropertyAttributes TStringProperty::GetAttributes() const { return {paMultiSelect, paRevertable}; }
std::string TStringProperty::GetValue() const { return GetPropInfo().GetStr(GetComponent(0)); }
void TStringProperty::SetValue(const std::string& value) {
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetStr(obj, value); });
}
bool TStringProperty::AllEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (GetPropInfo(i).GetStr(GetComponent(i)) != GetPropInfo(0).GetStr(GetComponent(0))) return false;
  return true;
}

TPropertyAttributes TComponentNameProperty::GetAttributes() const { return {paRevertable}; }

// ---- Object editors

std::vector<TPersistent*> TClassProperty::SubObjects() const {
  std::vector<TPersistent*> objects;
  for (int i = 0; i < PropCount(); ++i) objects.push_back(GetPropInfo(i).GetObject(GetComponent(i)));
  return objects;
}

TPropertyAttributes TClassProperty::GetAttributes() const { return {paMultiSelect, paSubProperties, paReadOnly}; }
std::string TClassProperty::GetValue() const { return Text(); }
std::vector<std::unique_ptr<TPropertyEditor>> TClassProperty::GetProperties() const {
  std::vector<TPersistent*> objects = SubObjects();
  if (std::find(objects.begin(), objects.end(), nullptr) != objects.end()) return {};
  return GetComponentProperties(Designer(), objects);
}

TPropertyAttributes TStringsProperty::GetAttributes() const { return {paMultiSelect, paDialog, paReadOnly}; }
std::vector<std::unique_ptr<TPropertyEditor>> TStringsProperty::GetProperties() const { return {}; }
bool TStringsProperty::HasTextDialog() const { return true; }
void TStringsProperty::EditText(const std::string& text) {
  for (TPersistent* obj : SubObjects()) {
    auto* list = dynamic_cast<TStrings*>(obj);
    if (!list) Refuse("the entry " + GetName() + " holds no string list");
    list->SetText(text);
  }
  if (Designer()) Designer()->Modified();
}

namespace {

// One item of a collection in the collection editor's list: its sub-entries are the item's
// published properties.
class TCollectionItemEntry : public TPropertyEditor {
 public:
  TCollectionItemEntry(TFormDesigner* designer, std::vector<TPersistent*> instances,
                       std::vector<const TPropInfo*> props, std::vector<TPersistent*> items, int index)
      : TPropertyEditor(designer, std::move(instances), std::move(props)), FItems(std::move(items)), FIndex(index) {}
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paSubProperties, paReadOnly}; }
  std::string GetName() const override { return "[" + std::to_string(FIndex) + "]"; }
  std::string GetValue() const override {
    auto* item = dynamic_cast<TCollectionItem*>(FItems[0]);
    return item ? std::to_string(FIndex) + " - " + item->DisplayName() : std::string();
  }
  std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const override {
    return GetComponentProperties(Designer(), FItems);
  }

 private:
  std::vector<TPersistent*> FItems;
  int FIndex;
};

}  // namespace

TPropertyAttributes TCollectionProperty::GetAttributes() const { return {paDialog, paReadOnly}; }
std::vector<std::unique_ptr<TPropertyEditor>> TCollectionProperty::GetProperties() const {
  std::vector<std::unique_ptr<TPropertyEditor>> out;
  auto* collection = dynamic_cast<TCollection*>(GetPropInfo().GetObject(GetComponent(0)));
  if (!collection || PropCount() != 1) return out;
  for (int i = 0; i < collection->Count(); ++i)
    out.push_back(std::make_unique<TCollectionItemEntry>(Designer(), std::vector<TPersistent*>{GetComponent(0)},
                                                         std::vector<const TPropInfo*>{&GetPropInfo()},
                                                         std::vector<TPersistent*>{collection->Items(i)}, i));
  return out;
}
bool TCollectionProperty::HasTextDialog() const { return true; }
void TCollectionProperty::EditText(const std::string& text) {
  int count = -1;
  try {
    size_t used = 0;
    count = std::stoi(text, &used);
    if (used != text.size()) count = -1;
  } catch (const std::exception&) {
    count = -1;
  }
  if (count < 0 || count > 10000) Refuse("the collection editor takes an item count, not '" + text + "'");
  for (TPersistent* obj : SubObjects()) {
    auto* collection = dynamic_cast<TCollection*>(obj);
    if (!collection) Refuse("the entry " + GetName() + " holds no collection");
    while (collection->Count() > count) collection->Delete(collection->Count() - 1);
    while (collection->Count() < count) collection->Add();
  }
  if (Designer()) Designer()->Modified();
}

TPropertyAttributes TComponentProperty::GetAttributes() const {
  return {paMultiSelect, paValueList, paSortList, paRevertable};
}
std::string TComponentProperty::GetValue() const {
  auto* target = dynamic_cast<TComponent*>(GetPropInfo().GetObject(GetComponent(0)));
  if (!target) return {};
  TComponent* root = Designer() ? Designer()->Root() : nullptr;
  if (root && target->Owner() != root && target != root && target->Owner())
    return target->Owner()->Name() + "." + target->Name();
  return target->Name();
}
void TComponentProperty::SetValue(const std::string& value) {
  TComponent* target = nullptr;
  if (!value.empty()) {
    TComponent* root = Designer() ? Designer()->Root() : nullptr;
    if (root) target = core::SameText(root->Name(), value) ? root : root->FindComponent(value);
    if (!target) Refuse("there is no component named " + value);
    const TClassInfo* wanted = GetPropInfo().ObjectClass();
    if (wanted && !target->InheritsFrom(*wanted)) Refuse(value + " is not a " + wanted->Name());
  }
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetObject(obj, target); });
}
std::vector<std::string> TComponentProperty::GetValues() const {
  std::vector<std::string> names;
  TComponent* root = Designer() ? Designer()->Root() : nullptr;
  const TClassInfo* wanted = GetPropInfo().ObjectClass();
  if (!root) return names;
  for (int i = 0; i < root->ComponentCount(); ++i) {
    TComponent* c = root->Components(i);
    if (!c->Name().empty() && (!wanted || c->InheritsFrom(*wanted))) names.push_back(c->Name());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return core::CompareText(a, b) < 0; });
  return names;
}
bool TComponentProperty::AllEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (GetPropInfo(i).GetObject(GetComponent(i)) != GetPropInfo(0).GetObject(GetComponent(0))) return false;
  return true;
}

TPropertyAttributes TMethodProperty::GetAttributes() const {
  return {paMultiSelect, paValueList, paSortList, paRevertable};
}
// While a component stands in an event slot (it took the slot over and calls the handler it
// found), the inspector shows and sets the handler it stands for, as the form writer stores it.
std::string TMethodProperty::GetValue() const {
  const TMethod method = StoodInMethod(GetPropInfo().GetMethod(GetComponent(0)));
  if (!method) return {};
  std::string name = Designer() ? Designer()->GetMethodName(method) : std::string();
  return name.empty() ? "(handler)" : name;
}
void TMethodProperty::SetValue(const std::string& value) {
  TMethod method;
  if (!value.empty()) {
    if (!core::IsValidIdent(value)) Refuse("'" + value + "' is not a valid method name");
    if (!Designer()) Refuse("no designer to make method " + value);
    method = Designer()->CreateMethod(value, GetPropInfo().EventSignature());
  }
  ForEach([&](TPersistent* obj, const TPropInfo& prop) {
    if (!SetStoodInMethod(prop.GetMethod(obj), method)) prop.SetMethod(obj, method);
  });
}
std::vector<std::string> TMethodProperty::GetValues() const {
  std::vector<std::string> names = Designer() ? Designer()->GetMethodNames(GetPropInfo().EventSignature())
                                              : std::vector<std::string>{};
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return core::CompareText(a, b) < 0; });
  return names;
}
bool TMethodProperty::AllEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (!(StoodInMethod(GetPropInfo(i).GetMethod(GetComponent(i))) ==
          StoodInMethod(GetPropInfo(0).GetMethod(GetComponent(0)))))
      return false;
  return true;
}
void TMethodProperty::Edit() {
  if (!GetValue().empty()) return;
  auto* component = dynamic_cast<TComponent*>(GetComponent(0));
  std::string event = GetName();
  if (event.size() > 2 && core::SameText(event.substr(0, 2), "On")) event = event.substr(2);
  SetValue((component ? component->Name() : std::string()) + event);
}

TPropertyAttributes TBinaryProperty::GetAttributes() const { return {paDialog, paReadOnly}; }
std::string TBinaryProperty::GetValue() const {
  const size_t size = GetPropInfo().GetBinary(GetComponent(0)).size();
  return size ? "(" + std::to_string(size) + " bytes)" : "(None)";
}
bool TBinaryProperty::AllEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (GetPropInfo(i).GetBinary(GetComponent(i)) != GetPropInfo(0).GetBinary(GetComponent(0))) return false;
  return true;
}
bool TBinaryProperty::HasTextDialog() const { return true; }
void TBinaryProperty::EditText(const std::string& path) {
  std::vector<uint8_t> data;
  if (!path.empty()) {
    std::ifstream file(path, std::ios::binary);
    if (!file) Refuse("cannot open " + path);
    data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetBinary(obj, data); });
}

}  // namespace kyt
