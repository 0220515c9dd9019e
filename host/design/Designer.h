// Designer: the form designer's tables and lookups. RegisterComponents, RegisterPropertyEditor
// and RegisterStreamedClass fill the tables a package's Register procedure builds; the editor
// lookup picks an editor for a property the way the form designer does; the inspector's view
// lists a selection's entries as the object inspector shows them.
#ifndef KYT_HOST_DESIGN_DESIGNER_H
#define KYT_HOST_DESIGN_DESIGNER_H

#include <memory>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/TypeInfo.h"
#include "host/design/PropertyEditors.h"

namespace kyt {

// ---- Registration tables


// One palette entry; Class is null for a component whose unit is not built yet.
struct TPaletteEntry {
  std::string Page;
  std::string ClassName;
  const TClassInfo* Class = nullptr;
  bool Available() const { return Class != nullptr; }
};

// One RegisterPropertyEditor call. An empty ComponentClassName matches every class; a named
// class that is not built yet (null ComponentClass) matches none. An empty PropertyName matches
// every property of the type.
struct TEditorRegistration {
  std::string TypeName;
  std::string ComponentClassName;
  const TClassInfo* ComponentClass = nullptr;
  std::string PropertyName;
  const TPropertyEditorClass* Editor = nullptr;
};

// The designer's tables, as Register() leaves them.
struct TDesignTables {
  std::vector<std::string> StreamedClasses;     // RegisterClasses, in order
  std::vector<TPaletteEntry> Palette;           // both pages, in registration order
  std::vector<TEditorRegistration> Editors;     // the package's editors, in registration order
  std::vector<std::string> Steps;               // one line per registration call, in order
};
const TDesignTables& DesignTables();
// Empties the tables; a package's Register starts with it so that registering again gives the
// same tables.
void ClearDesignTables();

// The form designer's registration procedures, as Register() calls them.
void RegisterComponents(const std::string& page, const std::vector<TPaletteEntry>& entries);
void RegisterPropertyEditor(const std::string& typeName, const TClassInfo* componentClass,
                            const std::string& componentClassName, const std::string& propertyName,
                            const TPropertyEditorClass& editor);
void RegisterStreamedClass(const std::string& className, const TClassInfo* cls);


// The designer's own page of the host's controls, menus, timer and dialogs, apart from the
// packages' tables (ClearDesignTables leaves it). Its classes are known to streaming, and each
// has a 24 by 24 palette bitmap named after its class in upper case.
inline constexpr const char* kStandardPage = "Standard";
const std::vector<TPaletteEntry>& StandardPalette();

// The name of a class's palette bitmap resource: the class name in upper case.
std::string PaletteBitmapName(const std::string& className);

// Palette entries of one page, in order (the Standard page too).
std::vector<TPaletteEntry> PalettePage(const std::string& page);
// The built class of a palette entry by class name (case-insensitive), the packages' pages first,
// then the Standard page; null when unknown or not built.
const TClassInfo* FindPaletteClass(const std::string& className);

// ---- Editor lookup, as the form designer does it

// The editor for property prop of an object of class cls: among the registrations whose type
// name matches, whose class is cls or an ancestor and whose property name is empty or the
// property's, the most specific class wins (then one naming the property), and among equals the
// latest; without any, the designer's base editor for the property's kind.
const TPropertyEditorClass& GetEditorClass(const TPropInfo& prop, const TClassInfo& cls);
// The base editor of a property kind (TIntegerProperty, TBoolProperty, TMethodProperty, ...).
const TPropertyEditorClass& BaseEditorClass(const TPropInfo& prop);

// The inspector's entries for a selection: every published property of the first object that
// every selected object has (same name, kind and type) with the same editor class; with more
// than one object only editors with paMultiSelect.
std::vector<std::unique_ptr<TPropertyEditor>> GetComponentProperties(TFormDesigner* designer,
                                                                     const std::vector<TPersistent*>& selection);

// ---- The object inspector's view, for tools and tests

// One inspector line: the entry's dotted path ("FormStore.Registry.Path", "Lists[0].Name"), the
// text its editor shows (empty when the selection differs) and whether it can be typed into.
struct TInspectorLine {
  std::string Path;
  std::string Value;
  bool ReadOnly = false;
  TPropertyAttributes Attributes;
};
// Every entry of the selection with its sub-entries (sub-objects, set members, collection items)
// after it, in the inspector's order.
std::vector<TInspectorLine> InspectorLines(TFormDesigner* designer, const std::vector<TPersistent*>& selection);
// The editor of the entry at a dotted path; EPropertyError when there is no such entry.
std::unique_ptr<TPropertyEditor> FindInspectorEntry(TFormDesigner* designer, const std::vector<TPersistent*>& selection,
                                                    const std::string& path);
// Typing text into an entry: SetValue when it is not read-only, the text form of its dialog
// when it is read-only but has one (string lists, collections, binary data); EPropertyError
// for other read-only entries.
void InspectorSetText(TPropertyEditor& editor, const std::string& text);

}  // namespace kyt

#endif  // KYT_HOST_DESIGN_DESIGNER_H
