// SystemTestSupport: what the system component tests share: a sandbox folder of their own, a
// test form class the form files name, form-text round trips and the design-tool runner.
#ifndef KYT_TESTS_SYSTEM_SYSTEMTESTSUPPORT_H
#define KYT_TESTS_SYSTEM_SYSTEMTESTSUPPORT_H

#include <string>
#include <vector>

#include "host/os/Win.h"
#include "host/vcl/Forms.h"

namespace kyt {

// A temporary folder created for one test and removed (with its files) afterwards.
class TSandbox {
 public:
  TSandbox();
  ~TSandbox();
  TSandbox(const TSandbox&) = delete;
  TSandbox& operator=(const TSandbox&) = delete;
  const std::string& Path() const { return FPath; }
  std::string File(const std::string& name) const { return FPath + "\\" + name; }

 private:
  std::string FPath;
};

// The root form of the round-trip tests.
class TSystemTestForm : public TForm {
  KYT_CLASS(TSystemTestForm, TForm)
 public:
  explicit TSystemTestForm(TComponent* owner) : TForm(owner) {}
};

// Writes root as form text and reads it into a fresh root of the same class (at run time, or in
// the designer when designing).
std::string FormText(TComponent& root);
void ReadFormText(TComponent& root, const std::string& text);

// One run of the design tool.
struct TToolRun {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Out;
  std::string Err;
};

// Runs kytdesign with args in folder. With press, the button of that caption is clicked on the
// first window of the child that has one (seenTexts then gets every text of that window).
TToolRun RunDesignTool(const std::string& folder, const std::vector<std::string>& args,
                       const char* press = nullptr, std::vector<std::string>* seenTexts = nullptr);
// The value an inspect output shows for a property path ("<missing>" when absent).
std::string InspectValue(const std::string& inspectOutput, const std::string& path);
// Whether the line for path is marked read-only.
bool InspectReadOnly(const std::string& inspectOutput, const std::string& path);
std::string ReadWholeFile(const std::string& path);

}  // namespace kyt

#endif  // KYT_TESTS_SYSTEM_SYSTEMTESTSUPPORT_H
