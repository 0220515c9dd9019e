// Designer: the designer's windows put together, its message loop and its picture.
#include "tools/designer/Designer.h"

#include <iostream>

#include "host/vcl/Application.h"
#include "host/vcl/WindowPicture.h"

namespace kyt {

TDesigner::TDesigner(const std::string& file) : FContext(std::make_unique<TDesignerContext>()) {
  FWindow = std::make_unique<TDesignerWindow>(nullptr, *FContext);
  FInspector = std::make_unique<TObjectInspector>(nullptr, *FContext);
  FFormView = std::make_unique<TFormView>(*FContext);
  if (file.empty()) {
    FWindow->NewForm();
  } else {
    FContext->Adopt(FContext->Model().Open(file));
  }
  FWindow->Show();
  FInspector->Show();
  if (FContext->Current()) FContext->Current()->Form().BringToFront();
  Application->SetOnIdle(TIdleEvent::Bind<&TDesigner::Idle>(this));
}

TDesigner::~TDesigner() {
  Application->SetOnIdle({});
  // The form view lets go of the forms before the model frees them.
  FFormView.reset();
  FInspector.reset();
  FWindow.reset();
  FContext.reset();
}

void TDesigner::Idle(TObject*, bool& done) {
  // What the designed components did on their own (a timer ticked) reaches the views.
  for (const auto& session : FContext->Model().Sessions()) session->Idle();
  done = true;
}

void TDesigner::Run() {
  while (FWindow->Visible()) Application->HandleMessage();
}

bool TDesigner::SaveScreenshot(const std::string& fileName) {
  std::vector<HWND> windows{FWindow->Handle(), FInspector->Handle()};
  if (FContext->Current()) windows.push_back(FContext->Current()->Form().Handle());
  RECT all{};
  for (HWND w : windows) {
    ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r{};
    ::GetWindowRect(w, &r);
    ::UnionRect(&all, &all, &r);
  }
  Application->ProcessMessages();
  const TPixels screen = CaptureWindow(::GetDesktopWindow());
  if (screen.Empty()) return false;
  // The part of the screen the windows cover.
  all.left = std::max<LONG>(all.left, 0);
  all.top = std::max<LONG>(all.top, 0);
  all.right = std::min<LONG>(all.right, screen.Width);
  all.bottom = std::min<LONG>(all.bottom, screen.Height);
  TPixels part;
  part.Width = all.right - all.left;
  part.Height = all.bottom - all.top;
  if (part.Empty()) return false;
  for (int32_t y = all.top; y < all.bottom; ++y) {
    const auto row = screen.Bgr.begin() + (static_cast<ptrdiff_t>(y) * screen.Width + all.left) * 3;
    part.Bgr.insert(part.Bgr.end(), row, row + static_cast<ptrdiff_t>(part.Width) * 3);
  }
  return SavePng(part, fileName);
}

int RunDesigner(const std::vector<std::string>& args) {
  std::string file, screenshot;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--screenshot" && i + 1 < args.size()) {
      screenshot = args[++i];
    } else if (file.empty() && args[i].rfind("--", 0) != 0) {
      file = args[i];
    } else {
      std::cerr << "kytdesign: usage: gui [FILE.kfm] [--screenshot FILE.png]\n";
      return 2;
    }
  }
  TDesigner designer(file);
  if (screenshot.empty()) {
    designer.Run();
    return 0;
  }
  // The picture shows the form's first component selected, as a person would have it.
  TDesignSession* s = designer.Context().Current();
  if (s && s->Form().ComponentCount() > 0) designer.Context().Select({s->Form().Components(0)});
  Application->ProcessMessages();
  if (!designer.SaveScreenshot(screenshot)) {
    std::cerr << "kytdesign: the screenshot could not be saved to " << screenshot << "\n";
    return 1;
  }
  std::cout << "screenshot of the designer saved to " << screenshot << "\n";
  return 0;
}

}  // namespace kyt
