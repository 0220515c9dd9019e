// Showcase.cpp: the showcase application. Its main form is read from the form file it carries as
// a resource, shown, and closed by its own timer; every component on it reports what it did on
// standard output and on the form's line for its class. With "--screenshot FILE" it saves a PNG
// of the main form once every component has reported.
#include <cstring>
#include <string>

#include "examples/showcase/ShowcaseBoard.h"
#include "examples/showcase/ShowcaseDialogs.h"
#include "examples/showcase/ShowcaseFileOps.h"
#include "examples/showcase/ShowcaseFiles.h"
#include "examples/showcase/ShowcaseForms.h"
#include "examples/showcase/ShowcaseMainForm.h"
#include "examples/showcase/ShowcaseSettings.h"
#include "examples/showcase/ShowcaseSystem.h"
#include "examples/showcase/ShowcaseSystemInfo.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/WindowPicture.h"

namespace kyt {
namespace {

// Every palette component must have said what it did.
bool EveryComponentReported() {
  std::string silent;
  for (const std::string& name : SilentComponents()) silent += " " + name;
  if (!silent.empty()) Report("no report from:" + silent);
  return silent.empty();
}

// The main form as it shows now, painted through, as a PNG file.
bool SaveScreenshot(TForm* form, const std::string& fileName) {
  os::user32.RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  Application->ProcessMessages();
  const TPixels pixels = CaptureWindow(form->Handle());
  if (pixels.Empty() || !SavePng(pixels, fileName)) {
    Report("the screenshot could not be saved to " + fileName);
    return false;
  }
  Report("screenshot of the main form (" + std::to_string(pixels.Width) + "x" + std::to_string(pixels.Height) +
         ") saved to " + fileName);
  return true;
}

int Run(const std::string& screenshot) {
  Application->SetTitle("Showcase");
  TShowcaseMainForm* form = nullptr;
  try {
    Application->CreateForm(form);
    form->HandleNeeded();
  } catch (const Exception& e) {
    Report("main form could not be created (is there a display?)");
    Report(e.Message());
    return 1;
  }
  Report("main form created from its form file");
  bool ok = form->ReportSettingsAndStrings();
  if (!ok) Report("a settings or string component did not come from the form file as designed");
  form->Show();  // OnShow: the form saver restores every form of the application
  Report("main form shown");
  if (!RunShowcaseFormSaver()) {
    Report("the settings form could not be shown");
    ok = false;
  }
  form->ShowBoard();  // after the form savers' restores, which would undo its sizes
  if (form->ExplodeRectangles() != 2) {
    Report("the explode animation did not run when the main form was shown");
    ok = false;
  }
  if (!RunShowcaseForms(form)) {
    Report("a form-behaviour component did not do its part");
    ok = false;
  }
  if (!RunShowcaseDialogs(form)) {
    Report("a message dialog was not answered");
    ok = false;
  }
  if (!RunShowcaseSystemInfo(form)) {
    Report("a system information component did not do its part");
    ok = false;
  }
  if (!RunShowcaseFiles(form)) {
    Report("a file component did not do its part");
    ok = false;
  }
  if (!RunShowcaseFileOps(form)) {
    Report("a file operation, search or properties component did not do its part");
    ok = false;
  }
  if (!form->RunTray()) ok = false;
  if (!RunShowcaseSystem(form)) {
    Report("a system component did not do its part");
    ok = false;
  }
  if (!form->RunStoreData()) {
    Report("the settings store did not give back what it was given");
    ok = false;
  }
  form->ReportMessages();
  form->ReportApplication();
  if (!EveryComponentReported()) ok = false;
  if (!screenshot.empty() && !SaveScreenshot(form, screenshot)) ok = false;
  // A run that found nothing stored leaves the main form a little moved, so the next run shows
  // the form saver bringing it back there.
  if (form->Left() == 120 && form->Top() == 120) form->SetBounds(160, 140, form->Width(), form->Height());

  form->StartCloseTimer();
  Application->Run();  // closing the main form stores every form and terminates the application
  form->ReportMessages();
  form->ReportApplication();
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace kyt

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else {
      kyt::Report(std::string("unknown argument '") + argv[i] + "'; usage: showcase [--screenshot FILE]");
      return 2;
    }
  }
  return kyt::Run(screenshot);
}
