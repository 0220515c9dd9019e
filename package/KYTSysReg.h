// KYTSysReg: the package's design-time face. Register() fills the designer's tables: classes
// known to streaming, the two palette pages and the property editors. The unit also holds the
// package's five editors (the about entry, the execute test and the drive volume's read-only
// data entries); the designer's own framework lives in host/design.
#ifndef KYT_PACKAGE_KYTSYSREG_H
#define KYT_PACKAGE_KYTSYSREG_H

#include <string>

#include "host/design/Designer.h"
#include "host/design/PropertyEditors.h"

namespace kyt {

// ---- The package's editors

// About entry of every component: shows the package's about message.
class TKYTAboutSystemComponent : public TPropertyEditor {
  KYT_PROPERTY_EDITOR(TKYTAboutSystemComponent, TPropertyEditor)
 public:
  TPropertyAttributes GetAttributes() const override;   // exactly paDialog, paMultiSelect, paReadOnly
  std::string GetValue() const override;                 // "(KYT System Components)"
  void Edit() override;
};

// DesignExecute entry of every executable component: runs Execute of the first selected one.
class TKYTExecSystemProperty : public TStringProperty {
  KYT_PROPERTY_EDITOR(TKYTExecSystemProperty, TStringProperty)
 public:
  TPropertyAttributes GetAttributes() const override;   // exactly paDialog, paReadOnly
  std::string GetValue() const override;                 // "(Execute Test)"
  void Edit() override;
};

// Read-only data entries of the drive-volume component.
class TKYTROStringProperty : public TStringProperty {
  KYT_PROPERTY_EDITOR(TKYTROStringProperty, TStringProperty)
 public:
  TPropertyAttributes GetAttributes() const override;
};
class TKYTROBooleanproperty : public TOrdinalProperty {
  KYT_PROPERTY_EDITOR(TKYTROBooleanproperty, TOrdinalProperty)
 public:
  TPropertyAttributes GetAttributes() const override;
};
class TKYTROIntegerProperty : public TIntegerProperty {
  KYT_PROPERTY_EDITOR(TKYTROIntegerProperty, TIntegerProperty)
 public:
  TPropertyAttributes GetAttributes() const override;
};

// The text the about entry's box shows.
std::string KYTAboutMessage();

// Palette page names.
inline constexpr const char* kKYTPage1 = "KYT System";
inline constexpr const char* kKYTPage2 = "KYT System 2";

// Fills the tables anew (calling it again gives the same tables). Also registers every built
// component class with the class registry, so form files can name them.
void Register();

}  // namespace kyt

#endif  // KYT_PACKAGE_KYTSYSREG_H
