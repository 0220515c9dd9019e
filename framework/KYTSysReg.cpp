// KYTSysReg: the package's registration tables and its five property editors.
#include "framework/KYTSysReg.h"

#include "framework/KYTSystem.h"
#include "dialogs/KYTTMessages.h"
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileCollector.h"
#include "files/KYTTFileExecute.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTFileProperties.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"
#include "forms/KYTTApplication.h"
#include "forms/KYTTOnlyOne.h"
#include "forms/KYTTSystemTray.h"
#include "framework/KYTTFormHook.h"
#include "forms/KYTTFormAspect.h"
#include "forms/KYTTFormExplode.h"
#include "forms/KYTTFormSizes.h"
#include "forms/KYTTMouseController.h"
#include "forms/KYTTTopMost.h"
#include "host/core/Collection.h"
#include "host/core/Strings.h"
#include "host/vcl/Dialogs.h"
#include "persistence/KYTTFormSaver.h"
#include "persistence/KYTTIllegalAbort.h"
#include "persistence/KYTTStartup.h"
#include "persistence/KYTTStoreData.h"
#include "strings/KYTTHolders.h"
#include "strings/KYTTMultiLists.h"
#include "system/KYTTCDTriggers.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTExitWindows.h"
#include "system/KYTTResourceInfo.h"
#include "system/KYTTScreenSaver.h"
#include "system/KYTTSystemDetails.h"
#include "system/KYTTSystemKeys.h"
#include "system/KYTTTimeTrigger.h"
#include "system/KYTTVersionDetails.h"
#include "system/KYTTWallPaper.h"
#include "system/KYTTWavePlayer.h"

namespace kyt {

// ---- The package's tables. Each component is one line: page, class name and, once its unit is
// built, its class (add the unit's header above and link its library in framework/CMakeLists.txt).

namespace {

struct TPackageEntry {
  const char* Page;
  const char* ClassName;
  const TClassInfo& (*Class)();   // null: not built yet
};

// Classes made known to streaming by name, before everything else.
const TPackageEntry kStreamedClasses[] = {
    {"", "TKYTDataStore", &TKYTDataStore::StaticClass},
};

const TPackageEntry kPalette[] = {
    {kKYTPage1, "TKYTExitWindows", &TKYTExitWindows::StaticClass},
    {kKYTPage1, "TKYTFileExecute", &TKYTFileExecute::StaticClass},
    {kKYTPage1, "TKYTTopMost", &TKYTTopMost::StaticClass},
    {kKYTPage1, "TKYTOnlyOne", &TKYTOnlyOne::StaticClass},
    {kKYTPage1, "TKYTMsgDlg", &TKYTMsgDlg::StaticClass},
    {kKYTPage1, "TKYTMsgBox", &TKYTMsgBox::StaticClass},
    {kKYTPage1, "TKYTMsgSelect", &TKYTMsgSelect::StaticClass},
    {kKYTPage1, "TKYTStartup", &TKYTStartup::StaticClass},
    {kKYTPage1, "TKYTScreenSaver", &TKYTScreenSaver::StaticClass},
    {kKYTPage1, "TKYTTimeTrigger", &TKYTTimeTrigger::StaticClass},
    {kKYTPage1, "TKYTWallPaper", &TKYTWallPaper::StaticClass},
    {kKYTPage1, "TKYTFormHook", &TKYTFormHook::StaticClass},
    {kKYTPage1, "TKYTMouseController", &TKYTMouseController::StaticClass},
    {kKYTPage1, "TKYTWavePlayer", &TKYTWavePlayer::StaticClass},
    {kKYTPage1, "TKYTCDTriggers", &TKYTCDTriggers::StaticClass},
    {kKYTPage1, "TKYTVersionDetails", &TKYTVersionDetails::StaticClass},
    {kKYTPage1, "TKYTSystemKeys", &TKYTSystemKeys::StaticClass},
    {kKYTPage1, "TKYTMultiLists", &TKYTMultiLists::StaticClass},
    {kKYTPage2, "TKYTFormSizes", &TKYTFormSizes::StaticClass},
    {kKYTPage2, "TKYTFormAspect", &TKYTFormAspect::StaticClass},
    {kKYTPage2, "TKYTDriveVolume", &TKYTDriveVolume::StaticClass},
    {kKYTPage2, "TKYTApplication", &TKYTApplication::StaticClass},
    {kKYTPage2, "TKYTStoreData", &TKYTStoreData::StaticClass},
    {kKYTPage2, "TKYTIllegalAbort", &TKYTIllegalAbort::StaticClass},
    {kKYTPage2, "TKYTFormSaver", &TKYTFormSaver::StaticClass},
    {kKYTPage2, "TKYTLogFile", &TKYTLogFile::StaticClass},
    {kKYTPage2, "TKYTTextReplace", &TKYTTextReplace::StaticClass},
    {kKYTPage2, "TKYTSystemTray", &TKYTSystemTray::StaticClass},
    {kKYTPage2, "TKYTFileProperties", &TKYTFileProperties::StaticClass},
    {kKYTPage2, "TKYTFileOperator", &TKYTFileOperator::StaticClass},
    {kKYTPage2, "TKYTDroppedFiles", &TKYTDroppedFiles::StaticClass},
    {kKYTPage2, "TKYTSystemDetails", &TKYTSystemDetails::StaticClass},
    {kKYTPage2, "TKYTFileCollector", &TKYTFileCollector::StaticClass},
    {kKYTPage2, "TKYTStringHolder", &TKYTStringHolder::StaticClass},
    {kKYTPage2, "TKYTJokeHolder", &TKYTJokeHolder::StaticClass},
    {kKYTPage2, "TKYTFormExplode", &TKYTFormExplode::StaticClass},
    {kKYTPage2, "TKYTResourceInfo", &TKYTResourceInfo::StaticClass},
};

// The drive-volume component, whose data entries get read-only editors.
const TPackageEntry kDriveVolume = {"", "TKYTDriveVolume", &TKYTDriveVolume::StaticClass};

const TClassInfo* ClassOf(const TPackageEntry& e) { return e.Class ? &e.Class() : nullptr; }

}  // namespace

void Register() {
  ClearDesignTables();
  // 1. Streaming.
  for (const TPackageEntry& e : kStreamedClasses) RegisterStreamedClass(e.ClassName, ClassOf(e));
  // 2. The about entry of every component.
  RegisterPropertyEditor("TKYTAboutStr", &TKYTSystemsComponent::StaticClass(), "TKYTSystemsComponent", "About",
                         TKYTAboutSystemComponent::StaticEditorClass());
  // 3, 4. The palette pages.
  for (const char* page : {kKYTPage1, kKYTPage2}) {
    std::vector<TPaletteEntry> entries;
    for (const TPackageEntry& e : kPalette)
      if (std::string(e.Page) == page) entries.push_back({page, e.ClassName, ClassOf(e)});
    RegisterComponents(page, entries);
  }
  // 5. The execute test of every executable component.
  RegisterPropertyEditor("TKYTExecSysStr", &TKYTExecuteComponent::StaticClass(), "TKYTExecuteComponent",
                         "DesignExecute", TKYTExecSystemProperty::StaticEditorClass());
  // 6-8. The drive volume's data entries are read-only.
  const TClassInfo* drive = ClassOf(kDriveVolume);
  RegisterPropertyEditor("string", drive, kDriveVolume.ClassName, "", TKYTROStringProperty::StaticEditorClass());
  RegisterPropertyEditor("Boolean", drive, kDriveVolume.ClassName, "", TKYTROBooleanproperty::StaticEditorClass());
  RegisterPropertyEditor("Integer", drive, kDriveVolume.ClassName, "", TKYTROIntegerProperty::StaticEditorClass());
}

std::vector<TPaletteEntry> PalettePage(const std::string& page) {
  std::vector<TPaletteEntry> out;
  for (const TPaletteEntry& e : Tables().Palette)
    if (e.Page == page) out.push_back(e);
  return out;
}

const TClassInfo* FindPaletteClass(const std::string& className) {
    if (core::SameText(e.ClassName, className)) return e.Class;
  return nullptr;

// ---- Editor lookup

namespace {

bool Matches(const TEditorRegistration& r, const TPropInfo& prop, const TClassInfo& cls) {
  if (!core::SameText(r.TypeName, prop.TypeName())) return false;
  if (!r.ComponentClassName.empty() && (!r.ComponentClass || !cls.InheritsFrom(*r.ComponentClass))) return false;
  return r.PropertyName.empty() || core::SameText(r.PropertyName, prop.Name());

// Whether p is a better match than the current best c (both match the same object).
bool Better(const TEditorRegistration& p, const TEditorRegistration& c) {
  if (p.ComponentClass != c.ComponentClass) {
    if (!c.ComponentClass) return true;
    if (!p.ComponentClass) return false;
    return p.ComponentClass->InheritsFrom(*c.ComponentClass);
  }
  return !p.PropertyName.empty() && c.PropertyName.empty();

}  // namespace

const TPropertyEditorClass& BaseEditorClass(const TPropInfo& prop) {
  switch (prop.Kind()) {
    case pkInteger: return TIntegerProperty::StaticEditorClass();
    case pkBoolean: return TBoolProperty::StaticEditorClass();
    case pkChar: return TCharProperty::StaticEditorClass();
    case pkString: return TStringProperty::StaticEditorClass();
    case pkEnum: return TEnumProperty::StaticEditorClass();
    case pkSet: return TSetProperty::StaticEditorClass();
    case pkColor: return TColorProperty::StaticEditorClass();
    case pkClass: return TClassProperty::StaticEditorClass();
    case pkStrings: return TStringsProperty::StaticEditorClass();
    case pkCollection: return TCollectionProperty::StaticEditorClass();
    case pkComponentRef: return TComponentProperty::StaticEditorClass();
    case pkEvent: return TMethodProperty::StaticEditorClass();
    case pkBinary: return TBinaryProperty::StaticEditorClass();
  return TPropertyEditor::StaticEditorClass();

const TPropertyEditorClass& GetEditorClass(const TPropInfo& prop, const TClassInfo& cls) {
  // Designer registrations come first, the package's later; scanning from the latest, an
  // earlier one replaces the current choice only when it is strictly better.
  std::vector<const TEditorRegistration*> all;
  for (const TEditorRegistration& r : DesignerRegistrations()) all.push_back(&r);
  for (const TEditorRegistration& r : Tables().Editors) all.push_back(&r);
  const TEditorRegistration* best = nullptr;
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (!Matches(**it, prop, cls)) continue;
    if (!best || Better(**it, *best)) best = *it;
  return best ? *best->Editor : BaseEditorClass(prop);

std::vector<std::unique_ptr<TPropertyEditor>> GetComponentProperties(TFormDesigner* designer,
                                                                     const std::vector<TPersistent*>& selection) {
  std::vector<std::unique_ptr<TPropertyEditor>> out;
  if (selection.empty() || !selection[0]) return out;
  for (const TPropInfo* prop : selection[0]->ClassType().Properties()) {
    const TPropertyEditorClass& editor = GetEditorClass(*prop, selection[0]->ClassType());
    std::vector<const TPropInfo*> props{prop};
    bool shared = true;
    for (size_t i = 1; i < selection.size() && shared; ++i) {
      const TPropInfo* other = selection[i]->ClassType().FindProperty(prop->Name());
      shared = other && other->Kind() == prop->Kind() && core::SameText(other->TypeName(), prop->TypeName()) &&
               &GetEditorClass(*other, selection[i]->ClassType()) == &editor;
      props.push_back(other);
    }
    if (!shared) continue;
    auto instance = editor.Create(designer, selection, props);
    if (selection.size() > 1 && !instance->GetAttributes().Contains(paMultiSelect)) continue;
    out.push_back(std::move(instance));

// ---- TFormDesigner

TFormDesigner::~TFormDesigner() = default;

TMethod TFormDesigner::CreateMethod(const std::string& name, const void* signature) {
  TMethod method;
  if (!FRoot || !FindPublishedMethod(*FRoot, name, method))
    throw EPropertyError("Invalid property value: the form has no method " + name);
  if (method.Signature != signature)
    throw EPropertyError("Invalid property value: method " + name + " does not fit this event");
  return method;

std::string TFormDesigner::GetMethodName(const TMethod& method) const {
  return FRoot ? PublishedMethodName(*FRoot, method) : std::string();

std::vector<std::string> TFormDesigner::GetMethodNames(const void* signature) const {
  std::vector<std::string> names;
  if (!FRoot) return names;
  for (const TPublishedMethod* m : FRoot->ClassType().Methods())
    if (m->Signature == signature) names.push_back(m->Name);
  return names;

// ---- TPropertyEditor

TPropertyEditor::TPropertyEditor(TFormDesigner* designer, std::vector<TPersistent*> instances,
                                 std::vector<const TPropInfo*> props)
    : FDesigner(designer), FInstances(std::move(instances)), FProps(std::move(props)) {
  if (FInstances.empty() || FInstances.size() != FProps.size())
    throw EPropertyError("A property editor needs one property per selected object");

TPropertyEditor::~TPropertyEditor() = default;

const TPropertyEditorClass& TPropertyEditor::StaticEditorClass() {
  static const TPropertyEditorClass cls{
      "TPropertyEditor",
      [](TFormDesigner* d, std::vector<TPersistent*> i, std::vector<const TPropInfo*> p) {
        return std::make_unique<TPropertyEditor>(d, std::move(i), std::move(p));
      }};
  return cls;
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

const TPropInfo& TPropertyEditor::GetPropInfo(int index) const {
  return *FProps[static_cast<size_t>(index)];

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
  if (FDesigner) FDesigner->Modified();

void TPropertyEditor::SetText(const std::string& value) {
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetValueText(obj, value); });

std::string TPropertyEditor::Text(int index) const { return GetPropInfo(index).ValueText(GetComponent(index)); }

bool TPropertyEditor::AllTextEqual() const {
  for (int i = 1; i < PropCount(); ++i)
    if (Text(i) != Text(0)) return false;
  return true;

// ---- Ordinal editors

TPropertyAttributes TOrdinalProperty::GetAttributes() const { return {paMultiSelect, paRevertable}; }
std::string TOrdinalProperty::GetValue() const { return Text(); }
bool TOrdinalProperty::AllEqual() const {
    if (GetPropInfo(i).GetOrd(GetComponent(i)) != GetPropInfo(0).GetOrd(GetComponent(0))) return false;

std::string TIntegerProperty::GetValue() const { return std::to_string(GetPropInfo().GetOrd(GetComponent(0))); }
void TIntegerProperty::SetValue(const std::string& value) {
  if (value.empty()) Refuse("an integer is needed");
  SetText(value);

std::string TCharProperty::GetValue() const { return Text(); }
void TCharProperty::SetValue(const std::string& value) { SetText(value); }

TPropertyAttributes TEnumProperty::GetAttributes() const {
  return {paMultiSelect, paValueList, paSortList, paRevertable};
std::string TEnumProperty::GetValue() const { return Text(); }
void TEnumProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::string> TEnumProperty::GetValues() const {
  const TEnumInfo* info = GetPropInfo().EnumType();
  return info ? info->Members : std::vector<std::string>{};

TPropertyAttributes TBoolProperty::GetAttributes() const { return {paMultiSelect, paValueList, paRevertable}; }
std::string TBoolProperty::GetValue() const { return GetPropInfo().GetOrd(GetComponent(0)) ? "True" : "False"; }
void TBoolProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::string> TBoolProperty::GetValues() const { return {"False", "True"}; }

TPropertyAttributes TSetProperty::GetAttributes() const { return {paMultiSelect, paSubProperties, paRevertable}; }
std::string TSetProperty::GetValue() const { return Text(); }
void TSetProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::unique_ptr<TPropertyEditor>> TSetProperty::GetProperties() const {
  if (!info) return out;
  std::vector<TPersistent*> instances;
  std::vector<const TPropInfo*> props;
  for (int i = 0; i < PropCount(); ++i) {
    instances.push_back(GetComponent(i));
    props.push_back(&GetPropInfo(i));
  for (size_t e = 0; e < info->Members.size(); ++e)
    out.push_back(std::make_unique<TSetElementProperty>(Designer(), instances, props, static_cast<int>(e)));

TSetElementProperty::TSetElementProperty(TFormDesigner* designer, std::vector<TPersistent*> instances,
                                         std::vector<const TPropInfo*> props, int element)
    : TPropertyEditor(designer, std::move(instances), std::move(props)), FElement(element) {}

const TPropertyEditorClass& TSetElementProperty::StaticEditorClass() {
  // Made by TSetProperty only; the factory gives the first member.
      "TSetElementProperty",
      [](TFormDesigner* d, std::vector<TPersistent*> i, std::vector<const TPropInfo*> p) -> std::unique_ptr<TPropertyEditor> {
        return std::make_unique<TSetElementProperty>(d, std::move(i), std::move(p), 0);
const TPropertyEditorClass& TSetElementProperty::EditorClass() const { return StaticEditorClass(); }
TPropertyAttributes TSetElementProperty::GetAttributes() const { return {paMultiSelect, paValueList, paSortList}; }
std::string TSetElementProperty::GetName() const { return GetPropInfo().EnumType()->Members[static_cast<size_t>(FElement)]; }
std::string TSetElementProperty::GetValue() const {
  return (static_cast<uint64_t>(GetPropInfo().GetOrd(GetComponent(0))) >> FElement) & 1 ? "True" : "False";
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
std::vector<std::string> TSetElementProperty::GetValues() const { return {"False", "True"}; }
bool TSetElementProperty::AllEqual() const {
    if (((GetPropInfo(i).GetOrd(GetComponent(i)) ^ GetPropInfo(0).GetOrd(GetComponent(0))) >> FElement) & 1)
      return false;

TPropertyAttributes TColorProperty::GetAttributes() const {
  return {paMultiSelect, paDialog, paValueList, paRevertable};
std::string TColorProperty::GetValue() const { return Text(); }
void TColorProperty::SetValue(const std::string& value) { SetText(value); }
std::vector<std::string> TColorProperty::GetValues() const {
  for (uint32_t v : {0x000000u, 0x000080u, 0x008000u, 0x008080u, 0x800000u, 0x800080u, 0x808000u, 0x808080u,
                     0xC0C0C0u, 0x0000FFu, 0x00FF00u, 0x00FFFFu, 0xFF0000u, 0xFF00FFu, 0xFFFF00u, 0xFFFFFFu})
    names.push_back(ColorToString(ColorOf(v)));
  for (uint32_t i = 0; i <= 0x18; ++i) names.push_back(ColorToString(ColorOf(0x80000000u | i)));

// ---- String editors

TPropertyAttributes TStringProperty::GetAttributes() const { return {paMultiSelect, paRevertable}; }
std::string TStringProperty::GetValue() const { return GetPropInfo().GetStr(GetComponent(0)); }
void TStringProperty::SetValue(const std::string& value) {
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetStr(obj, value); });
bool TStringProperty::AllEqual() const {
    if (GetPropInfo(i).GetStr(GetComponent(i)) != GetPropInfo(0).GetStr(GetComponent(0))) return false;

TPropertyAttributes TComponentNameProperty::GetAttributes() const { return {paRevertable}; }

// ---- Object editors

std::vector<TPersistent*> TClassProperty::SubObjects() const {
  std::vector<TPersistent*> objects;
  for (int i = 0; i < PropCount(); ++i) objects.push_back(GetPropInfo(i).GetObject(GetComponent(i)));
  return objects;

TPropertyAttributes TClassProperty::GetAttributes() const { return {paMultiSelect, paSubProperties, paReadOnly}; }
std::string TClassProperty::GetValue() const { return Text(); }
std::vector<std::unique_ptr<TPropertyEditor>> TClassProperty::GetProperties() const {
  std::vector<TPersistent*> objects = SubObjects();
  if (std::find(objects.begin(), objects.end(), nullptr) != objects.end()) return {};
  return GetComponentProperties(Designer(), objects);

TPropertyAttributes TStringsProperty::GetAttributes() const { return {paMultiSelect, paDialog, paReadOnly}; }
std::vector<std::unique_ptr<TPropertyEditor>> TStringsProperty::GetProperties() const { return {}; }
bool TStringsProperty::HasTextDialog() const { return true; }
void TStringsProperty::EditText(const std::string& text) {
  for (TPersistent* obj : SubObjects()) {
    auto* list = dynamic_cast<TStrings*>(obj);
    if (!list) Refuse("the entry " + GetName() + " holds no string list");
    list->SetText(text);
  if (Designer()) Designer()->Modified();


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
  std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const override {
    return GetComponentProperties(Designer(), FItems);

 private:
  std::vector<TPersistent*> FItems;
  int FIndex;
};


TPropertyAttributes TCollectionProperty::GetAttributes() const { return {paDialog, paReadOnly}; }
std::vector<std::unique_ptr<TPropertyEditor>> TCollectionProperty::GetProperties() const {
  auto* collection = dynamic_cast<TCollection*>(GetPropInfo().GetObject(GetComponent(0)));
  if (!collection || PropCount() != 1) return out;
  for (int i = 0; i < collection->Count(); ++i)
    out.push_back(std::make_unique<TCollectionItemEntry>(Designer(), std::vector<TPersistent*>{GetComponent(0)},
                                                         std::vector<const TPropInfo*>{&GetPropInfo()},
                                                         std::vector<TPersistent*>{collection->Items(i)}, i));
bool TCollectionProperty::HasTextDialog() const { return true; }
void TCollectionProperty::EditText(const std::string& text) {
  int count = -1;
    size_t used = 0;
    count = std::stoi(text, &used);
    if (used != text.size()) count = -1;
  } catch (const std::exception&) {
    count = -1;
  if (count < 0 || count > 10000) Refuse("the collection editor takes an item count, not '" + text + "'");
    auto* collection = dynamic_cast<TCollection*>(obj);
    if (!collection) Refuse("the entry " + GetName() + " holds no collection");
    while (collection->Count() > count) collection->Delete(collection->Count() - 1);
    while (collection->Count() < count) collection->Add();

TPropertyAttributes TComponentProperty::GetAttributes() const {
std::string TComponentProperty::GetValue() const {
  auto* target = dynamic_cast<TComponent*>(GetPropInfo().GetObject(GetComponent(0)));
  if (!target) return {};
  TComponent* root = Designer() ? Designer()->Root() : nullptr;
  if (root && target->Owner() != root && target != root && target->Owner())
    return target->Owner()->Name() + "." + target->Name();
  return target->Name();
void TComponentProperty::SetValue(const std::string& value) {
  TComponent* target = nullptr;
  if (!value.empty()) {
    TComponent* root = Designer() ? Designer()->Root() : nullptr;
    if (root) target = core::SameText(root->Name(), value) ? root : root->FindComponent(value);
    if (!target) Refuse("there is no component named " + value);
    const TClassInfo* wanted = GetPropInfo().ObjectClass();
    if (wanted && !target->InheritsFrom(*wanted)) Refuse(value + " is not a " + wanted->Name());
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetObject(obj, target); });
std::vector<std::string> TComponentProperty::GetValues() const {
  const TClassInfo* wanted = GetPropInfo().ObjectClass();
  if (!root) return names;
  for (int i = 0; i < root->ComponentCount(); ++i) {
    TComponent* c = root->Components(i);
    if (!c->Name().empty() && (!wanted || c->InheritsFrom(*wanted))) names.push_back(c->Name());
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return core::CompareText(a, b) < 0; });
bool TComponentProperty::AllEqual() const {
    if (GetPropInfo(i).GetObject(GetComponent(i)) != GetPropInfo(0).GetObject(GetComponent(0))) return false;

TPropertyAttributes TMethodProperty::GetAttributes() const {
// While a component stands in an event slot (it took the slot over and calls the handler it
// found), the inspector shows and sets the handler it stands for, as the form writer stores it.
std::string TMethodProperty::GetValue() const {
  const TMethod method = StoodInMethod(GetPropInfo().GetMethod(GetComponent(0)));
  if (!method) return {};
  std::string name = Designer() ? Designer()->GetMethodName(method) : std::string();
  return name.empty() ? "(handler)" : name;
void TMethodProperty::SetValue(const std::string& value) {
    if (!core::IsValidIdent(value)) Refuse("'" + value + "' is not a valid method name");
    if (!Designer()) Refuse("no designer to make method " + value);
    method = Designer()->CreateMethod(value, GetPropInfo().EventSignature());
    if (!SetStoodInMethod(prop.GetMethod(obj), method)) prop.SetMethod(obj, method);
std::vector<std::string> TMethodProperty::GetValues() const {
  std::vector<std::string> names = Designer() ? Designer()->GetMethodNames(GetPropInfo().EventSignature())
                                              : std::vector<std::string>{};
bool TMethodProperty::AllEqual() const {
    if (!(StoodInMethod(GetPropInfo(i).GetMethod(GetComponent(i))) ==
          StoodInMethod(GetPropInfo(0).GetMethod(GetComponent(0)))))
void TMethodProperty::Edit() {
  if (!GetValue().empty()) return;
  auto* component = dynamic_cast<TComponent*>(GetComponent(0));
  std::string event = GetName();
  if (event.size() > 2 && core::SameText(event.substr(0, 2), "On")) event = event.substr(2);
  SetValue((component ? component->Name() : std::string()) + event);

TPropertyAttributes TBinaryProperty::GetAttributes() const { return {paDialog, paReadOnly}; }
std::string TBinaryProperty::GetValue() const {
  const size_t size = GetPropInfo().GetBinary(GetComponent(0)).size();
  return size ? "(" + std::to_string(size) + " bytes)" : "(None)";
bool TBinaryProperty::AllEqual() const {
    if (GetPropInfo(i).GetBinary(GetComponent(i)) != GetPropInfo(0).GetBinary(GetComponent(0))) return false;
bool TBinaryProperty::HasTextDialog() const { return true; }
void TBinaryProperty::EditText(const std::string& path) {
  std::vector<uint8_t> data;
  if (!path.empty()) {
    std::ifstream file(path, std::ios::binary);
    if (!file) Refuse("cannot open " + path);
    data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  ForEach([&](TPersistent* obj, const TPropInfo& prop) { prop.SetBinary(obj, data); });

// ---- The package's editors

std::string KYTAboutMessage() {
  return "KYT System Components\r\n\r\n"
         "Thirty-seven non-visual components for Windows applications: settings in the registry or "
         "an ini file, message dialogs, file operations, form behaviour and system services.\r\n"
         "Drop them on a form, set their properties and call Execute.";
}

TPropertyAttributes TKYTAboutSystemComponent::GetAttributes() const { return {paDialog, paMultiSelect, paReadOnly}; }
std::string TKYTAboutSystemComponent::GetValue() const { return "(" + std::string("KYT System Components") + ")"; }
void TKYTAboutSystemComponent::Edit() { ShowMessage(KYTAboutMessage()); }

TPropertyAttributes TKYTExecSystemProperty::GetAttributes() const { return {paDialog, paReadOnly}; }
std::string TKYTExecSystemProperty::GetValue() const { return "(" + std::string("Execute Test") + ")"; }
void TKYTExecSystemProperty::Edit() { ObjectCast<TKYTExecuteComponent>(GetComponent(0))->Execute(); }

TPropertyAttributes TKYTROStringProperty::GetAttributes() const { return inherited::GetAttributes() + TPropertyAttributes{paReadOnly}; }
TPropertyAttributes TKYTROBooleanproperty::GetAttributes() const { return inherited::GetAttributes() + TPropertyAttributes{paReadOnly}; }
TPropertyAttributes TKYTROIntegerProperty::GetAttributes() const { return inherited::GetAttributes() + TPropertyAttributes{paReadOnly}; }

}  // namespace kyt
