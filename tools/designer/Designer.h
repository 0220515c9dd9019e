// Designer: the form designer as a program: the main window with the palette, the object
// inspector and the designed form, over one designer context. An application builds its own
// designer from this library and a few lines of main: register its packages, then RunDesigner.
#ifndef KYT_TOOLS_DESIGNER_DESIGNER_H
#define KYT_TOOLS_DESIGNER_DESIGNER_H

#include <memory>
#include <string>
#include <vector>

#include "tools/designer/DesignerContext.h"
#include "tools/designer/DesignerWindow.h"
#include "tools/designer/FormView.h"
#include "tools/designer/Inspector.h"

namespace kyt {

class TDesigner {
 public:
  // The three windows, shown; with a file, its form is opened (raises when it does not read),
  // otherwise a new form.
  explicit TDesigner(const std::string& file = {});
  ~TDesigner();
  TDesigner(const TDesigner&) = delete;
  TDesigner& operator=(const TDesigner&) = delete;

  TDesignerContext& Context() { return *FContext; }
  TDesignerWindow& Window() { return *FWindow; }
  TObjectInspector& Inspector() { return *FInspector; }
  TFormView& FormView() { return *FFormView; }

  // Runs the message loop until the main window closes (having asked about unsaved forms).
  void Run();
  // The screen's part that shows the three windows, as a PNG file; false when it cannot be saved.
  bool SaveScreenshot(const std::string& fileName);

 private:
  void Idle(TObject* sender, bool& done);

  std::unique_ptr<TDesignerContext> FContext;
  std::unique_ptr<TDesignerWindow> FWindow;
  std::unique_ptr<TObjectInspector> FInspector;
  std::unique_ptr<TFormView> FFormView;
};

// "gui [FILE] [--screenshot PNG]": the designer's windows; with --screenshot the picture is
// saved once they show and the designer ends. Returns the process's exit code.
int RunDesigner(const std::vector<std::string>& args);

}  // namespace kyt

#endif  // KYT_TOOLS_DESIGNER_DESIGNER_H
