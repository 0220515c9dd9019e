// Consumer.cpp: an application built against the installed kyt package. Its main form is read
// from the form file it carries as a resource, shown, and closed by its own timer; it prints what
// its components read and exits with 0 when each did its part.
#include <cstdio>

#include "ConsumerMainForm.h"
#include "host/core/Exceptions.h"
#include "host/vcl/Application.h"

int main() {
  using kyt::Application;
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
