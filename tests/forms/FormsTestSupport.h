// FormsTestSupport: what the tests of the application and form components share: a form class
// whose published handlers the form files name, and a guard that puts the application object
// back as the test found it.
#ifndef KYT_TESTS_FORMS_FORMSTESTSUPPORT_H
#define KYT_TESTS_FORMS_FORMSTESTSUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"

namespace kyt {

// The root of the form files the tests read; its handlers log what called them.
class TFormsTestForm : public TForm {
  KYT_CLASS(TFormsTestForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TFormsTestForm>& m) {
    m.Method<&TFormsTestForm::AppIdle>("AppIdle");
    m.Method<&TFormsTestForm::AppActivate>("AppActivate");
    m.Method<&TFormsTestForm::AppMinimize>("AppMinimize");
    m.Method<&TFormsTestForm::AppRestore>("AppRestore");
    m.Method<&TFormsTestForm::AppHelp>("AppHelp");
    m.Method<&TFormsTestForm::Exceeded>("Exceeded");
    m.Method<&TFormsTestForm::TrayClick>("TrayClick");
  }
  explicit TFormsTestForm(TComponent* owner) : TForm(owner) {}

  void AppIdle(TObject*, bool&) { log.push_back("AppIdle"); }
  void AppActivate(TObject*) { log.push_back("AppActivate"); }
  void AppMinimize(TObject*) { log.push_back("AppMinimize"); }
  void AppRestore(TObject*) { log.push_back("AppRestore"); }
  void AppHelp(uint16_t, int32_t, bool&) { log.push_back("AppHelp"); }
  void Exceeded(TObject*, int32_t count) { log.push_back("Exceeded " + std::to_string(count)); }
  void TrayClick(TObject*) { log.push_back("TrayClick"); }

  std::vector<std::string> log;
};

// Handlers that belong to no form, to tell a foreign handler from the component's.
struct TForeignHandlers {
  int calls = 0;
  void Notify(TObject*) { ++calls; }
  void Idle(TObject*, bool&) { ++calls; }
};

// Puts back the application's title, icon, hint settings and events, and its window's state
// (not minimised, hidden when it was hidden).
class TApplicationState {
 public:
  TApplicationState();
  ~TApplicationState();
  TApplicationState(const TApplicationState&) = delete;
  TApplicationState& operator=(const TApplicationState&) = delete;

 private:
  std::string FTitle;
  TIcon FIcon;
  bool FShowHint;
  TColor FHintColor;
  int32_t FHintPause;
  bool FWindowVisible;
  TNotifyEvent FOnActivate, FOnDeactivate, FOnHint, FOnMinimize, FOnRestore;
  TExceptionEvent FOnException;
  THelpEvent FOnHelp;
  TIdleEvent FOnIdle;
  TMessageEvent FOnMessage;
  TShowHintEvent FOnShowHint;
};

// A title no other window of the machine has.
std::string UniqueTitle(const std::string& prefix);

// A shared system icon, copied (the copy is the caller's).
HICON CopyOfSystemIcon(LPCSTR id);

}  // namespace kyt

#endif  // KYT_TESTS_FORMS_FORMSTESTSUPPORT_H
