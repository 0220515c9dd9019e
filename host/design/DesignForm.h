// DesignForm: the designed root form and the designer that edits it. The form is a real TForm
// in the designing state (with a window of its own); its class identity is the class the form
// file names (TForm1, TMainForm, ...), derived from TForm, and it publishes the event handlers
// the file names as designer methods, so handler names survive a round trip although the
// designer has no code for them. Its stored Visible is its own: showing the form to design it
// leaves what the file says.
#ifndef KYT_HOST_DESIGN_DESIGNFORM_H
#define KYT_HOST_DESIGN_DESIGNFORM_H

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/design/Designer.h"
#include "host/vcl/Forms.h"

namespace kyt {

// Most handler methods one designed form can carry.
inline constexpr size_t kMaxDesignerMethods = 256;

class TDesignForm : public TForm {
 public:
  // A designed form of class className (its parent class is TForm, or parent for an inherited
  // form; parent must outlive the form), already designing.
  explicit TDesignForm(const std::string& className, const TClassInfo& parent = TForm::StaticClass());
  ~TDesignForm() override;

  const TClassInfo& ClassType() const override { return *FClass; }

  // The handler method of this name, published by the form's class from now on. A designer
  // method does nothing when an event calls it. EPropertyError when the name is not an
  // identifier, is already a handler of another event type, or the form has too many.
  TMethod DesignerMethod(const std::string& name, const void* signature);
  int DesignerMethodCount() const { return static_cast<int>(FMethodCount); }

  // The Visible the form file reads and writes; the window's own visibility is the designer's.
  bool StoredVisible() const { return FStoredVisible; }
  void SetStoredVisible(bool value) { FStoredVisible = value; }

  // The receiver of designer method slot i (each method has its own, so names stay distinct).
  void* MethodSlot(size_t i) { return &FSlots[i]; }

 protected:
  // As a form designer does: every component keeps a name, and no name is used twice among
  // the form and its components (the form file could not tell them apart).
  void ValidateRename(TComponent* component, const std::string& curName,
                      const std::string& newName) override;

 private:
  std::unique_ptr<TClassInfo> FClass;
  std::array<char, kMaxDesignerMethods> FSlots{};
  size_t FMethodCount = 0;
  bool FStoredVisible = false;
};

// The designer of one designed form: handlers named in the inspector become designer methods.
class TToolDesigner : public TFormDesigner {
 public:
  explicit TToolDesigner(TDesignForm* form) : TFormDesigner(form), FForm(form) {}
  TMethod CreateMethod(const std::string& name, const void* signature) override;

 private:
  TDesignForm* FForm;
};

// What the tool must know of a form file before reading it: the root's name and class and the
// handler names it assigns to events (with the event type each is assigned to). Handlers inside
// collection items are not found (no component of the package has events there).
struct TFormFileOutline {
  std::string RootName;
  std::string RootClass;
  std::vector<std::pair<std::string, const void*>> Handlers;
};
TFormFileOutline OutlineFormText(const std::string& text);

}  // namespace kyt

#endif  // KYT_HOST_DESIGN_DESIGNFORM_H
