// Consumer.cpp: an application built against the installed kyt package. Its main form is read
// from the form file it carries as a resource, shown, and closed by its own timer; it prints what
// its components read and exits with 0 when each did its part.
#include <cstdio>

#include "ConsumerMainForm.h"
#include "host/core/Exceptions.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"

int main() {
  using kyt::Application;
  // Linking kyt::vcl gave this executable the package's manifest: its text is UTF-8. An
  // application with a manifest of its own sets KYT_OWN_MANIFEST on its target (CMakeLists.txt).
  const unsigned codePage = ::GetACP();
  std::printf("consumer: code page %u\n", codePage);
  if (codePage != CP_UTF8) return 1;
  Application->SetTitle("KYT consumer");
  consumer::TConsumerMainForm* form = nullptr;
  try {
    Application->CreateForm(form);
  } catch (const kyt::Exception& e) {
    std::printf("consumer: the main form could not be created: %s\n", e.Message().c_str());
    return 1;
  }
  form->Show();
  form->StartCloseTimer();
  Application->Run();  // closing the main form ends the application
  return form->Report() ? 0 : 1;
}
