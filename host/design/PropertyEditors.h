// PropertyEditors: the form designer's property editors. An editor shows and takes the value of
// one published property of the selected objects; the designer an editor works for
// (TFormDesigner) gives it the designed root and its methods. Packages derive their own editors
// from these and register them (Designer.h).
#ifndef KYT_HOST_DESIGN_PROPERTYEDITORS_H
#define KYT_HOST_DESIGN_PROPERTYEDITORS_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Exceptions.h"
#include "host/core/Sets.h"
#include "host/core/TypeInfo.h"

namespace kyt {

class TPropertyEditor;

// ---- Editor attributes and the designer an editor works for

// What the object inspector may do with an entry.
enum TPropertyAttribute : uint8_t {
  paValueList, paSubProperties, paDialog, paMultiSelect, paAutoUpdate, paSortList, paReadOnly, paRevertable
};
KYT_ENUM_INFO(TPropertyAttribute, "paValueList", "paSubProperties", "paDialog", "paMultiSelect",
              "paAutoUpdate", "paSortList", "paReadOnly", "paRevertable")
using TPropertyAttributes = TSet<TPropertyAttribute>;

// A value the editor refuses ("Invalid property value" and why).
class EPropertyError : public Exception { using Exception::Exception; };

// What editors need from the form designer hosting them: the designed root and its methods.
// The base class names only methods the root's class publishes; a designer that creates
// handlers (the design tool) overrides CreateMethod.
class TFormDesigner {
 public:
  explicit TFormDesigner(TComponent* root) : FRoot(root) {}
  virtual ~TFormDesigner();
  TComponent* Root() const { return FRoot; }
  // The root's method of this name for an event of this signature; EPropertyError when the
  // root has none (the base) or it was made for another signature.
  virtual TMethod CreateMethod(const std::string& name, const void* signature);
  // Name of the root method an event is bound to; empty when unassigned or not the root's.
  virtual std::string GetMethodName(const TMethod& method) const;
  // Names of the root's methods that fit an event signature.
  virtual std::vector<std::string> GetMethodNames(const void* signature) const;
  // Told after an editor changed a value.
  virtual void Modified() {}

 private:
  TComponent* FRoot;
};

// Identity of an editor class: its name and how to make one.
struct TPropertyEditorClass {
  using Factory = std::unique_ptr<TPropertyEditor> (*)(TFormDesigner* designer, std::vector<TPersistent*> instances,
                                                       std::vector<const TPropInfo*> props);
  const char* Name;
  Factory Create;
};

// Declares EditorClass() (static and virtual) for an editor class with the usual constructor.
#define KYT_PROPERTY_EDITOR(Cls, Base)                                                           \
 public:                                                                                         \
  using inherited = Base;                                                                        \
  using Base::Base;                                                                              \
  static const ::kyt::TPropertyEditorClass& StaticEditorClass() {                                \
    static const ::kyt::TPropertyEditorClass cls{                                                \
        #Cls, [](::kyt::TFormDesigner* d, std::vector<::kyt::TPersistent*> i,                    \
                 std::vector<const ::kyt::TPropInfo*> p) -> std::unique_ptr<::kyt::TPropertyEditor> { \
          return std::make_unique<Cls>(d, std::move(i), std::move(p));                          \
        }};                                                                                      \
    return cls;                                                                                  \
  }                                                                                              \
  const ::kyt::TPropertyEditorClass& EditorClass() const override { return StaticEditorClass(); } \
                                                                                                 \
 private:

// ---- Property editors

// Edits one published property of one or more selected objects (GetComponent(i)); props[i] is
// the property of instances[i]. Editors keep no state beyond their selection.
class TPropertyEditor {
 public:
  TPropertyEditor(TFormDesigner* designer, std::vector<TPersistent*> instances, std::vector<const TPropInfo*> props);
  virtual ~TPropertyEditor();
  TPropertyEditor(const TPropertyEditor&) = delete;
  TPropertyEditor& operator=(const TPropertyEditor&) = delete;

  static const TPropertyEditorClass& StaticEditorClass();
  virtual const TPropertyEditorClass& EditorClass() const;

  // Inspector operations.
  virtual TPropertyAttributes GetAttributes() const;     // base: paRevertable
  virtual std::string GetValue() const;                  // base: "(Unknown)"
  // Takes typed text; EPropertyError when the value is refused or the entry is read-only.
  virtual void SetValue(const std::string& value);
  // The ellipsis button or a double click; the base does nothing.
  virtual void Edit();
  // Choices of a paValueList entry.
  virtual std::vector<std::string> GetValues() const;
  // Whether every selected object holds the same value (the inspector blanks it otherwise);
  // the base, whose text is fixed, says yes.
  virtual bool AllEqual() const;
  // Editors of the sub-entries of a paSubProperties entry.
  virtual std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const;
  // Entry name in the inspector.
  virtual std::string GetName() const;

  // A tool without dialog windows hands a dialog editor its answer as text (the lines of a
  // string list, the item count of a collection, the file of binary data); false when the
  // editor has no such dialog.
  virtual bool HasTextDialog() const;
  virtual void EditText(const std::string& text);

  // Selection.
  int PropCount() const { return static_cast<int>(FInstances.size()); }
  TPersistent* GetComponent(int index) const;
  const TPropInfo& GetPropInfo(int index = 0) const;
  TFormDesigner* Designer() const { return FDesigner; }

 protected:
  [[noreturn]] void Refuse(const std::string& why) const;
  // Applies fn to every selected object; core conversion and range errors become EPropertyError.
  template <class Fn>
  void ForEach(Fn fn);
  void SetText(const std::string& value);   // SetValueText on every object
  std::string Text(int index = 0) const;    // ValueText of one object
  bool AllTextEqual() const;

 private:
  TFormDesigner* FDesigner;
  std::vector<TPersistent*> FInstances;
  std::vector<const TPropInfo*> FProps;
};

// Integer, Boolean, Char, enumeration, set and colour properties.
class TOrdinalProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TOrdinalProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paRevertable
  std::string GetValue() const override;                 // the value's text form
  bool AllEqual() const override;
};

class TIntegerProperty : public TOrdinalProperty {
  KYT_PROPERTY_EDITOR(TIntegerProperty, TOrdinalProperty)
 public:
  std::string GetValue() const override;                 // decimal
  void SetValue(const std::string& value) override;      // decimal or $hex, within the type's range
};

class TCharProperty : public TOrdinalProperty {
  KYT_PROPERTY_EDITOR(TCharProperty, TOrdinalProperty)
 public:
  std::string GetValue() const override;                 // the character, or #nn when unprintable
  void SetValue(const std::string& value) override;      // one character or #nn
};

class TEnumProperty : public TOrdinalProperty {
  KYT_PROPERTY_EDITOR(TEnumProperty, TOrdinalProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // + paValueList, paSortList
  std::string GetValue() const override;                 // member name
  void SetValue(const std::string& value) override;      // member name, any case
  std::vector<std::string> GetValues() const override;
};

class TBoolProperty : public TEnumProperty {
  KYT_PROPERTY_EDITOR(TBoolProperty, TEnumProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paValueList, paRevertable
  std::string GetValue() const override;                 // "True" / "False"
  void SetValue(const std::string& value) override;
  std::vector<std::string> GetValues() const override;
};

// A set: typed as "[a, b]" or edited member by member through its sub-entries.
class TSetProperty : public TOrdinalProperty {
  KYT_PROPERTY_EDITOR(TSetProperty, TOrdinalProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paSubProperties, paRevertable
  std::string GetValue() const override;
  void SetValue(const std::string& value) override;
  std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const override;
};

// One member of a set, shown as a Boolean sub-entry of the set.
class TSetElementProperty : public TPropertyEditor {
 public:
  TSetElementProperty(TFormDesigner* designer, std::vector<TPersistent*> instances,
                      std::vector<const TPropInfo*> props, int element);
  static const TPropertyEditorClass& StaticEditorClass();
  const TPropertyEditorClass& EditorClass() const override;
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paValueList, paSortList
  std::string GetName() const override;                  // the member name
  std::string GetValue() const override;                 // "True" when the member is in the set
  void SetValue(const std::string& value) override;
  std::vector<std::string> GetValues() const override;
  bool AllEqual() const override;

 private:
  int FElement;
};

class TColorProperty : public TIntegerProperty {
  KYT_PROPERTY_EDITOR(TColorProperty, TIntegerProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paDialog, paValueList, paRevertable
  std::string GetValue() const override;                 // clXxx or $00BBGGRR
  void SetValue(const std::string& value) override;      // a name, a decimal or a $hex number
  std::vector<std::string> GetValues() const override;
};

// Double and TDateTime properties: the shortest text that reads back to the same value.
class TFloatProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TFloatProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paRevertable
  std::string GetValue() const override;                 // "0.1", "-1746.25", "1e+300"
  void SetValue(const std::string& value) override;      // a decimal with '.', fraction and exponent optional
  bool AllEqual() const override;
};

class TStringProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TStringProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paRevertable
  std::string GetValue() const override;                 // the text as it is
  void SetValue(const std::string& value) override;      // cut to the type's length
  bool AllEqual() const override;
};

// The Name entry: a string that is never shared by a multi-selection.
class TComponentNameProperty : public TStringProperty {
  KYT_PROPERTY_EDITOR(TComponentNameProperty, TStringProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // paRevertable
};

// An owned sub-object: "(TClassName)", edited through its sub-entries.
class TClassProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TClassProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paSubProperties, paReadOnly
  std::string GetValue() const override;
  std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const override;
  // The sub-object of each selected object.
  std::vector<TPersistent*> SubObjects() const;
};

// A string list, edited in the string-list dialog (text form: the lines, one per line).
class TStringsProperty : public TClassProperty {
  KYT_PROPERTY_EDITOR(TStringsProperty, TClassProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paDialog, paReadOnly
  std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const override;
  bool HasTextDialog() const override;
  void EditText(const std::string& text) override;
};

// A collection, edited in the collection editor (text form: the number of items).
class TCollectionProperty : public TClassProperty {
  KYT_PROPERTY_EDITOR(TCollectionProperty, TClassProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // paDialog, paReadOnly
  std::vector<std::unique_ptr<TPropertyEditor>> GetProperties() const override;
  bool HasTextDialog() const override;
  void EditText(const std::string& text) override;
};

// A reference to another component of the designed form, by name.
class TComponentProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TComponentProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paValueList, paSortList, paRevertable
  std::string GetValue() const override;                 // the component's name; empty for none
  void SetValue(const std::string& value) override;      // a component of the right class; empty clears
  std::vector<std::string> GetValues() const override;
  bool AllEqual() const override;
};

// An event: the name of the root's handler method.
class TMethodProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TMethodProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paMultiSelect, paValueList, paSortList, paRevertable
  std::string GetValue() const override;
  // A valid identifier names (and if needed creates) the root's method; empty clears.
  void SetValue(const std::string& value) override;
  std::vector<std::string> GetValues() const override;
  bool AllEqual() const override;
  // Assigns the default handler name (component name + event name without "On").
  void Edit() override;
};

// Binary data (icons): "(None)" or its size; loaded from a file in its dialog.
class TBinaryProperty : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TBinaryProperty, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // paDialog, paReadOnly
  std::string GetValue() const override;
  bool AllEqual() const override;
  bool HasTextDialog() const override;
  void EditText(const std::string& path) override;     // the file to load; empty clears
};

}  // namespace kyt

#endif  // KYT_HOST_DESIGN_PROPERTYEDITORS_H
