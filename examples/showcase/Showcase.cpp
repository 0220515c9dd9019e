// Showcase.cpp: the showcase application. Its main form is read from the form file it carries as
// a resource, shown, and closed by its own timer; every component on it reports what it did on
// standard output. It grows with every component.
#include <cstdio>

#include "examples/showcase/ShowcaseDialogs.h"
#include "examples/showcase/ShowcaseFileOps.h"
#include "examples/showcase/ShowcaseFiles.h"
#include "examples/showcase/ShowcaseForms.h"
#include "examples/showcase/ShowcaseMainForm.h"
#include "examples/showcase/ShowcaseSettings.h"
#include "examples/showcase/ShowcaseSystem.h"
#include "examples/showcase/ShowcaseSystemInfo.h"
#include "host/vcl/Application.h"

namespace kyt {
namespace {

void Report(const char* what) {
  std::printf("showcase: %s\n", what);
  std::fflush(stdout);
}

int Run() {
  Application->SetTitle("Showcase");
  TShowcaseMainForm* form = nullptr;
  try {
    Application->CreateForm(form);
    form->HandleNeeded();
  } catch (const Exception& e) {
    Report("main form could not be created (is there a display?)");
    std::printf("showcase: %s\n", e.Message().c_str());
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
  // A run that found nothing stored leaves the main form a little moved, so the next run shows
  // the form saver bringing it back there.
  if (form->Left() == 120 && form->Top() == 120) form->SetBounds(160, 140, 600, 440);

  form->StartCloseTimer();
  Application->Run();  // closing the main form stores every form and terminates the application
  form->ReportMessages();
  form->ReportApplication();
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Run(); }
