// BehaviourTestSupport: helpers shared by the form-behaviour tests: a form class with logging
// handlers it publishes for form files, placing forms, and running the design tool.
#ifndef KYT_TESTS_FORMS_BEHAVIOURTESTSUPPORT_H
#define KYT_TESTS_FORMS_BEHAVIOURTESTSUPPORT_H

#include <string>
#include <vector>

#include "host/os/Win.h"
#include "host/vcl/Forms.h"

namespace kyt {

// A form whose own OnShow, OnPaint and OnHide handlers log their calls.
class TBehaviourTestForm : public TForm {
  KYT_CLASS(TBehaviourTestForm, TForm)
 public:
  explicit TBehaviourTestForm(TComponent* owner) : TForm(owner) {}
  static void PublishMethods(TMethodPublisher<TBehaviourTestForm>& m) {
    m.template Method<&TBehaviourTestForm::FormShow>("FormShow");
    m.template Method<&TBehaviourTestForm::FormPaint>("FormPaint");
    m.template Method<&TBehaviourTestForm::FormHide>("FormHide");
  }
  void FormShow(TObject*) { Log.push_back("FormShow"); }
  void FormPaint(TObject*) { Log.push_back("FormPaint"); ++Paints; }
  void FormHide(TObject*) { Log.push_back("FormHide"); }
  // Puts the three logging handlers into the form's events.
  void AssignOwnHandlers() {
    SetOnShow(TNotifyEvent::Bind<&TBehaviourTestForm::FormShow>(this));
    SetOnPaint(TNotifyEvent::Bind<&TBehaviourTestForm::FormPaint>(this));
    SetOnHide(TNotifyEvent::Bind<&TBehaviourTestForm::FormHide>(this));
  }

  std::vector<std::string> Log;
  int Paints = 0;
};

namespace ftest {

// SetBounds is public on TControl; form classes keep their override protected.
inline void Place(TControl* control, int32_t left, int32_t top, int32_t width, int32_t height) {
  control->SetBounds(left, top, width, height);
}

// The folder of this test executable.
std::string ModuleFolder();
// The design tool built beside the tests.
std::string DesignTool();
// A new empty folder of this test's own below the executable's folder; RemoveSandbox clears it.
std::string MakeSandbox(const std::string& name);
void RemoveSandbox(const std::string& folder);
// Runs the design tool with args in folder; its exit code, and its standard output in *output.
DWORD RunDesignTool(const std::string& args, const std::string& folder, std::string* output = nullptr);
// The whole text of a file (empty when it cannot be read).
std::string ReadText(const std::string& path);

}  // namespace ftest
}  // namespace kyt

#endif  // KYT_TESTS_FORMS_BEHAVIOURTESTSUPPORT_H
