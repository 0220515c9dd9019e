// ShowcaseSettings: a runtime form with a form saver; the first run stores its bounds and each
// later run shows it where the previous one left it.
#include "examples/showcase/ShowcaseSettings.h"

#include <exception>
#include <memory>
#include <string>

#include "examples/showcase/ShowcaseBoard.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTFormSaver.h"

namespace kyt {

// The showcase's small dialogs share this form's size and place (ShowcaseBaseDialog.kfm).
class TShowcaseBaseDialog : public TForm {
  KYT_CLASS(TShowcaseBaseDialog, TForm)
 public:
  explicit TShowcaseBaseDialog(TComponent* owner) : TForm(owner) {}
};

// Inherited from the base dialog: its form file holds only its own caption.
class TShowcaseSettingsForm : public TShowcaseBaseDialog {
  KYT_CLASS(TShowcaseSettingsForm, TShowcaseBaseDialog)
 public:
  explicit TShowcaseSettingsForm(TComponent* owner) : TShowcaseBaseDialog(owner) {}
};

bool RunShowcaseFormSaver() {
  try {
    // reference example: TKYTFormSaver
    std::unique_ptr<TShowcaseSettingsForm> form(NewForm<TShowcaseSettingsForm>(Application));
    auto* saver = new TKYTFormSaver(form.get());
    saver->SetName("Saver");
    saver->FormStore()->Registry()->SetPath("Software\\KYT\\Showcase");
    const bool firstRun = saver->ReadInt("TShowcaseSettingsForm_Left", -1) == -1;
    // end of reference example
    // Both form files made the form: the caption its own, the size the base dialog's.
    if (form->Caption() != "Showcase settings" || form->Width() != 420) {
      Report(*saver, "form saver: the settings form did not come from its inherited form files (" + form->Caption() + ")");
      return false;
    }
    form->Show();  // OnShow: the saver restores every form of the application
    Report(*saver, "form saver restored the settings form at " + std::to_string(form->Left()) + "," +
                       std::to_string(form->Top()) + ", " + std::to_string(form->Width()) + "x" +
                       std::to_string(form->Height()));
    // A run that finds nothing stored moves the form a little, so the next run shows the move.
    if (firstRun) {
      form->SetLeft(200);
      form->SetTop(180);
    }
    form->Close();  // OnClose: the saver stores them again
    Report(*saver, "form saver stored the settings form at " + std::to_string(form->Left()) + "," +
                       std::to_string(form->Top()) + " under HKCU\\Software\\KYT\\Showcase");
    return true;
  } catch (const std::exception& e) {
    Report(std::string("form saver failed: ") + e.what());
    return false;
  }
}

}  // namespace kyt
