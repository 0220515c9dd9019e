// Designer: the registration tables, the editor lookup and the inspector's view.
#include "host/design/Designer.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "host/core/Collection.h"
#include "host/core/Strings.h"
#include "host/vcl/Buttons.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Menus.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

namespace {

TDesignTables& Tables() {
  static TDesignTables tables;
  return tables;
}

// Registrations the designer itself makes before any package: the Name entry.
const std::vector<TEditorRegistration>& DesignerRegistrations() {
  static const std::vector<TEditorRegistration> regs = {
      {"TComponentName", "", nullptr, "Name", &TComponentNameProperty::StaticEditorClass()},
  };
  return regs;
}

std::string Join(const std::vector<std::string>& parts, const char* sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? sep : "") + parts[i];
  return out;
}

}  // namespace

const TDesignTables& DesignTables() { return Tables(); }

void ClearDesignTables() { Tables() = TDesignTables{}; }

void RegisterStreamedClass(const std::string& className, const TClassInfo* cls) {
  Tables().StreamedClasses.push_back(className);
  if (cls) RegisterClass(*cls);
  Tables().Steps.push_back("RegisterClasses " + className + (cls ? "" : " (not available)"));
}

void RegisterComponents(const std::string& page, const std::vector<TPaletteEntry>& entries) {
  std::vector<std::string> names;
  for (const TPaletteEntry& e : entries) {
    TPaletteEntry entry = e;
    entry.Page = page;
    if (entry.Class) RegisterClass(*entry.Class);
    Tables().Palette.push_back(entry);
    names.push_back(entry.ClassName);
  }
  Tables().Steps.push_back("RegisterComponents " + page + ": " + Join(names, ", "));
}

void RegisterPropertyEditor(const std::string& typeName, const TClassInfo* componentClass,
                            const std::string& componentClassName, const std::string& propertyName,
                            const TPropertyEditorClass& editor) {
  Tables().Editors.push_back({typeName, componentClassName, componentClass, propertyName, &editor});
  Tables().Steps.push_back("RegisterPropertyEditor " + typeName + ", " +
                           (componentClassName.empty() ? "nil" : componentClassName) + ", '" + propertyName + "', " +
                           editor.Name);
}

const std::vector<TPaletteEntry>& StandardPalette() {
  static const std::vector<TPaletteEntry> page = [] {
    const TClassInfo* classes[] = {
        &TMainMenu::StaticClass(),   &TPopupMenu::StaticClass(),   &TLabel::StaticClass(),
        &TEdit::StaticClass(),       &TMemo::StaticClass(),        &TButton::StaticClass(),
        &TCheckBox::StaticClass(),   &TListBox::StaticClass(),     &TComboBox::StaticClass(),
        &TPanel::StaticClass(),      &TBitBtn::StaticClass(),      &TSpeedButton::StaticClass(),
        &TTabControl::StaticClass(), &TTimer::StaticClass(),       &TOpenDialog::StaticClass(),
        &TSaveDialog::StaticClass(), &TColorDialog::StaticClass()};
    std::vector<TPaletteEntry> entries;
    for (const TClassInfo* cls : classes) {
      RegisterClass(*cls);
      entries.push_back({kStandardPage, cls->Name(), cls});
    }
    // Menu items are streamed inside their menus.
    RegisterClass(TMenuItem::StaticClass());
    return entries;
  }();
  return page;
}

std::string PaletteBitmapName(const std::string& className) {
  std::string name = className;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::vector<TPaletteEntry> PalettePage(const std::string& page) {
  if (page == kStandardPage) return StandardPalette();
  std::vector<TPaletteEntry> out;
  for (const TPaletteEntry& e : Tables().Palette)
    if (e.Page == page) out.push_back(e);
  return out;
}

const TClassInfo* FindPaletteClass(const std::string& className) {
  for (const TPaletteEntry& e : Tables().Palette)
    if (core::SameText(e.ClassName, className)) return e.Class;
  for (const TPaletteEntry& e : StandardPalette())
    if (core::SameText(e.ClassName, className)) return e.Class;
  return nullptr;
}

// ---- Editor lookup

namespace {

bool Matches(const TEditorRegistration& r, const TPropInfo& prop, const TClassInfo& cls) {
  if (!core::SameText(r.TypeName, prop.TypeName())) return false;
  if (!r.ComponentClassName.empty() && (!r.ComponentClass || !cls.InheritsFrom(*r.ComponentClass))) return false;
  return r.PropertyName.empty() || core::SameText(r.PropertyName, prop.Name());
}

// Whether p is a better match than the current best c (both match the same object).
bool Better(const TEditorRegistration& p, const TEditorRegistration& c) {
  if (p.ComponentClass != c.ComponentClass) {
    if (!c.ComponentClass) return true;
    if (!p.ComponentClass) return false;
    return p.ComponentClass->InheritsFrom(*c.ComponentClass);
  }
  return !p.PropertyName.empty() && c.PropertyName.empty();
}

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
    case pkFloat: return TFloatProperty::StaticEditorClass();
  }
  return TPropertyEditor::StaticEditorClass();
}

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
  }
  return best ? *best->Editor : BaseEditorClass(prop);
}

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
  }
  return out;
}

// ---- The inspector's view

namespace {

std::string JoinPath(const std::string& prefix, const std::string& name) {
  if (prefix.empty()) return name;
  return name.size() && name[0] == '[' ? prefix + name : prefix + "." + name;
}

void AddLines(std::vector<TInspectorLine>& lines, const std::string& prefix,
              const std::vector<std::unique_ptr<TPropertyEditor>>& editors) {
  for (const auto& editor : editors) {
    const TPropertyAttributes attrs = editor->GetAttributes();
    const std::string path = JoinPath(prefix, editor->GetName());
    lines.push_back({path, editor->AllEqual() ? editor->GetValue() : std::string(), attrs.Contains(paReadOnly), attrs});
    AddLines(lines, path, editor->GetProperties());
  }
}

// "A.B[2].C" -> {"A", "B", "[2]", "C"}.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  auto flush = [&] {
    parts.push_back(current);
    current.clear();
  };
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '.') {
      flush();
    } else if (c == '[') {
      if (!current.empty()) flush();
      const size_t close = path.find(']', i);
      if (close == std::string::npos) throw EPropertyError("Invalid property path " + path);
      parts.push_back(path.substr(i, close - i + 1));
      i = close;
      if (i + 1 < path.size() && path[i + 1] == '.') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty() || parts.empty() || path.back() == '.') flush();
  for (const std::string& p : parts)
    if (p.empty()) throw EPropertyError("Invalid property path " + path);
  return parts;
}

}  // namespace

std::vector<TInspectorLine> InspectorLines(TFormDesigner* designer, const std::vector<TPersistent*>& selection) {
  std::vector<TInspectorLine> lines;
  AddLines(lines, "", GetComponentProperties(designer, selection));
  return lines;
}

std::unique_ptr<TPropertyEditor> FindInspectorEntry(TFormDesigner* designer, const std::vector<TPersistent*>& selection,
                                                    const std::string& path) {
  std::vector<std::unique_ptr<TPropertyEditor>> level = GetComponentProperties(designer, selection);
  std::unique_ptr<TPropertyEditor> found;
  std::string walked;
  for (const std::string& part : SplitPath(path)) {
    if (found) level = found->GetProperties();
    found.reset();
    for (auto& editor : level) {
      if (core::SameText(editor->GetName(), part)) {
        found = std::move(editor);
        break;
      }
    }
    walked = JoinPath(walked, part);
    if (!found) throw EPropertyError("There is no property " + walked);
  }
  return found;
}

void InspectorSetText(TPropertyEditor& editor, const std::string& text) {
  if (!editor.GetAttributes().Contains(paReadOnly)) {
    editor.SetValue(text);
  } else if (editor.HasTextDialog()) {
    editor.EditText(text);
  } else {
    throw EPropertyError("Property " + editor.GetName() + " is read-only");
  }
}

}  // namespace kyt
