// Tests of the single-instance guard: against a stand-in window of another copy in this process,
// and against a real second copy of this executable.
#include "forms/KYTTOnlyOne.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "tests/forms/FormsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SeamOverride.h"
#include "tests/support/StartProcess.h"

namespace kyt {

// The main form of the second copy; its handler leaves the marker that the copy really ran.
class TSecondCopyForm : public TForm {
  KYT_CLASS(TSecondCopyForm, TForm)
 public:
  static void PublishMethods(TMethodPublisher<TSecondCopyForm>& m) {
    m.Method<&TSecondCopyForm::Exceeded>("Exceeded");
  }
  explicit TSecondCopyForm(TComponent* owner) : TForm(owner) {}
  void Exceeded(TObject*, int32_t count) {
    if (const char* marker = std::getenv("KYT_ONLYONE_MARKER")) std::ofstream(marker) << "exceeded " << count;
  }
};

namespace {

static_assert(aRestoreAndExit == 0 && aRestore == 1 && aExit == 2 && aNone == 3);

const bool kRegistered = [] {
  RegisterClasses({&TKYTOnlyOne::StaticClass(), &TSecondCopyForm::StaticClass()});
  return true;
}();

// Halt ends the process through ExitProcess; in these tests it raises this instead.
struct THalted {
  UINT Code;
};
void WINAPI RaisingExitProcess(UINT code) { throw THalted{code}; }

class OnlyOne : public ::testing::Test {
 protected:
  void SetUp() override {
    title_ = UniqueTitle("KYT OnlyOne");
    Application->SetTitle(title_);
  }
  void TearDown() override {
    guard_.reset();
    form_.reset();
    for (HWND w : others_) ::DestroyWindow(w);
  }

  // A window that looks like another copy's application window; minimised when asked.
  HWND NewOtherCopy(bool minimised, const char* className = kApplicationWindowClass,
                    const std::string* title = nullptr) {
    HWND w = ::CreateWindowExA(0, className, (title ? *title : title_).c_str(), WS_POPUP | WS_CAPTION | WS_MINIMIZEBOX,
                               10, 10, 120, 60, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(w, nullptr);
    others_.push_back(w);
    ::ShowWindow(w, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
    return w;
  }
  TKYTOnlyOne* NewGuard(uint8_t instances, TKYTAction action) {
    form_ = std::make_unique<TFormsTestForm>(nullptr);
    // reference example: TKYTOnlyOne
    guard_.reset(new TKYTOnlyOne(form_.get()));
    guard_->SetInstances(instances);
    guard_->SetOnExceed(action);
    guard_->SetOnExceeded(TKYTOnExceeded::Bind<&TFormsTestForm::Exceeded>(form_.get()));
    // end of reference example
    return guard_.get();
  }
  // Runs the check; the exit code it ended this copy with, or -1 when it did not.
  int Check() {
    os::ScopedOverride exit(os::kernel32.ExitProcess, &RaisingExitProcess);
    try {
      guard_->CheckPrevInstances();
    } catch (const THalted& halted) {
      return static_cast<int>(halted.Code);
    }
    return -1;
  }
  const std::vector<std::string>& Log() const { return form_->log; }

  TApplicationState state_;
  std::string title_;
  std::unique_ptr<TFormsTestForm> form_;
  std::unique_ptr<TKYTOnlyOne> guard_;
  std::vector<HWND> others_;
};

TEST_F(OnlyOne, CountsItsOwnWindowAndEveryWindowOfTheSameClassAndTitle) {
  EXPECT_EQ(TKYTOnlyOne::CountInstances().Count, 1);
  EXPECT_EQ(TKYTOnlyOne::CountInstances().Other, nullptr);
  HWND first = NewOtherCopy(false);
  HWND second = NewOtherCopy(false);
  const TKYTInstanceCount found = TKYTOnlyOne::CountInstances();
  EXPECT_EQ(found.Count, 3);
  EXPECT_TRUE(found.Other == first || found.Other == second);

  // Same title, another class; same class, a title differing only in case: no copies.
  ::WNDCLASSA cls{};
  cls.lpfnWndProc = ::DefWindowProcA;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "KYTOnlyOneOtherClass";
  ::RegisterClassA(&cls);
  NewOtherCopy(false, "KYTOnlyOneOtherClass");
  std::string upper = title_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  NewOtherCopy(false, kApplicationWindowClass, &upper);
  EXPECT_EQ(TKYTOnlyOne::CountInstances().Count, 3);
}

TEST_F(OnlyOne, RestoreAndExitBringsTheOtherCopyBackThenEndsWithCodeZero) {
  HWND other = NewOtherCopy(true);
  ASSERT_TRUE(::IsIconic(other));
  NewGuard(1, aRestoreAndExit);
  EXPECT_EQ(Check(), 0);
  EXPECT_FALSE(::IsIconic(other));
  EXPECT_EQ(Log(), std::vector<std::string>{"Exceeded 2"});
}

TEST_F(OnlyOne, RestoreKeepsThisCopyRunningAndExitLeavesTheOtherAlone) {
  HWND other = NewOtherCopy(true);
  NewGuard(1, aRestore);
  EXPECT_EQ(Check(), -1);
  EXPECT_FALSE(::IsIconic(other));

  ::ShowWindow(other, SW_SHOWMINNOACTIVE);
  guard_->SetOnExceed(aExit);
  EXPECT_EQ(Check(), 0);
  EXPECT_TRUE(::IsIconic(other));

  guard_->SetOnExceed(aNone);
  EXPECT_EQ(Check(), -1);
  EXPECT_TRUE(::IsIconic(other));
  EXPECT_EQ(Log().size(), 3u) << "the event runs before every action";
}

TEST_F(OnlyOne, AHandlerThatChoosesNoneStopsRestoreAndExit) {
  HWND other = NewOtherCopy(true);
  TKYTOnlyOne* guard = NewGuard(1, aRestoreAndExit);
  struct TChooser {
    TKYTOnlyOne* Guard;
    int32_t Seen = 0;
    void Exceeded(TObject*, int32_t count) {
      Seen = count;
      Guard->SetOnExceed(aNone);
    }
  } chooser{guard};
  guard->SetOnExceeded(TKYTOnExceeded::Bind<&TChooser::Exceeded>(&chooser));
  EXPECT_EQ(Check(), -1);
  EXPECT_EQ(chooser.Seen, 2);
  EXPECT_TRUE(::IsIconic(other));
}

TEST_F(OnlyOne, WithinTheLimitNothingHappens) {
  HWND other = NewOtherCopy(true);
  NewGuard(2, aRestoreAndExit);
  EXPECT_EQ(Check(), -1);
  EXPECT_TRUE(::IsIconic(other));
  EXPECT_TRUE(Log().empty());
}

TEST_F(OnlyOne, NoInstancesAllowedEndsEvenALoneCopy) {
  NewGuard(0, aRestoreAndExit);
  EXPECT_EQ(Check(), 0);
  EXPECT_EQ(Log(), std::vector<std::string>{"Exceeded 1"});
}

TEST_F(OnlyOne, AnEmptyTitleNeverMatches) {
  const std::string empty;
  Application->SetTitle(empty);
  NewOtherCopy(true, kApplicationWindowClass, &empty);
  NewGuard(0, aExit);
  EXPECT_EQ(TKYTOnlyOne::CountInstances().Count, 0);
  EXPECT_EQ(Check(), -1);
  EXPECT_TRUE(Log().empty());
}

TEST_F(OnlyOne, ASecondGuardIsRefusedAndLeavesOwnerAndCountAsTheyWere) {
  NewGuard(1, aNone);
  TFormsTestForm other(nullptr);
  try {
    new TKYTOnlyOne(&other);
    FAIL() << "a second TKYTOnlyOne was created";
  } catch (const KYTTOnlyOne::EKYTDuplicateError& e) {
    EXPECT_EQ(e.Message(),
              "You can have only one class of type\r\nTKYTOnlyOne\r\n in a project and it must be on the Mainform");
  }
  EXPECT_EQ(other.ComponentCount(), 0);
  guard_.reset();
  EXPECT_NO_THROW(delete new TKYTOnlyOne(&other));
}

TEST_F(OnlyOne, ReadFromAFormItChecksAtRunTimeButNotInTheDesigner) {
  HWND other = NewOtherCopy(true);
  const std::string text = R"(object FormsTestForm: TFormsTestForm
  object Guard: TKYTOnlyOne
    Instances = 1
    OnExceed = aRestore
    OnExceeded = Exceeded
  end
end
)";
  form_ = std::make_unique<TFormsTestForm>(nullptr);
  form_->SetDesigning(true);
  ReadRootText(*form_, text, "guard.kfm");
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(::IsIconic(other));
  form_.reset();

  form_ = std::make_unique<TFormsTestForm>(nullptr);
  ReadRootText(*form_, text, "guard.kfm");
  EXPECT_EQ(Log(), std::vector<std::string>{"Exceeded 2"});
  EXPECT_FALSE(::IsIconic(other));
}

TEST_F(OnlyOne, StoresOnlyWhatDiffersFromTheDefaults) {
  form_ = std::make_unique<TFormsTestForm>(nullptr);
  form_->SetName("FormsTestForm");
  form_->SetDesigning(true);
  auto* guard = new TKYTOnlyOne(form_.get());
  guard->SetName("Guard");
  const std::string plain = WriteComponentText(*form_);
  EXPECT_EQ(plain.find("Instances"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("OnExceed"), std::string::npos) << plain;
  guard->SetInstances(3);
  guard->SetOnExceed(aExit);
  const std::string text = WriteComponentText(*form_);
  EXPECT_NE(text.find("Instances = 3"), std::string::npos) << text;
  EXPECT_NE(text.find("OnExceed = aExit"), std::string::npos) << text;
  form_.reset();

  form_ = std::make_unique<TFormsTestForm>(nullptr);
  form_->SetDesigning(true);
  ReadRootText(*form_, text, "guard.kfm");
  auto* read = ObjectCast<TKYTOnlyOne>(form_->FindComponent("Guard"));
  EXPECT_EQ(read->Instances(), 3);
  EXPECT_EQ(read->OnExceed(), aExit);
}

// The application restored from outside, as the guard of another copy restores it.
TEST(ApplicationWindow, ARestoreFromOutsideShowsTheFormsAgainAndFiresOnRestore) {
  TApplicationState state;
  HWND app = Application->Handle();
  ::ShowWindow(app, SW_SHOWNOACTIVATE);
  int restores = 0;
  Application->SetOnRestore(TNotifyEvent::FromFunction([](void* n, TObject*) { ++*static_cast<int*>(n); }, &restores));
  auto form = std::make_unique<TFormsTestForm>(Application);
  form->Show();
  Application->Minimize();
  ASSERT_FALSE(::IsWindowVisible(form->Handle()));
  EXPECT_EQ(::GetLastActivePopup(app), app) << "the minimised application window is its own last active popup";
  ::ShowWindow(app, SW_RESTORE);
  EXPECT_FALSE(Application->Minimized());
  EXPECT_TRUE(::IsWindowVisible(form->Handle()));
  EXPECT_EQ(restores, 1);
  // The runtime's own restore does not count twice.
  Application->Minimize();
  Application->Restore();
  EXPECT_EQ(restores, 2);
  form.reset();
}

// ---------------------------------------------------------------------------------------------
// A real second copy: this executable started again.

const char* const kSecondCopyFlag = "--kyt-forms-second-copy";

// Runs in the second copy: the guard on its main form finds the first copy, brings it back and
// ends this process with exit code 0. Reaching the end is a failure (exit code 1).
void SecondCopyEndsItself() {
  const char* title = std::getenv("KYT_ONLYONE_TITLE");
  ASSERT_NE(title, nullptr);
  Application->SetTitle(title);
  const std::string text = R"(object SecondCopyForm: TSecondCopyForm
  object Guard: TKYTOnlyOne
    OnExceeded = Exceeded
  end
end
)";
  TSecondCopyForm form(nullptr);
  ReadRootText(form, text, "second.kfm");
  FAIL() << "the second copy was not ended by its guard";
}

const bool kSecondCopyRegistered = [] {
  if (std::strstr(::GetCommandLineA(), kSecondCopyFlag) != nullptr) {
    ::testing::RegisterTest("OnlyOneSecondCopy", "EndsItself", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> ::testing::Test* {
                              struct T : ::testing::Test {
                                void TestBody() override { SecondCopyEndsItself(); }
                              };
                              return new T;
                            });
  }
  return true;
}();

// Position in the desktop's Z order, front first.
int ZOrder(HWND window) {
  int i = 0;
  for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT), ++i)
    if (w == window) return i;
  return -1;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(OnlyOneTwoCopies, TheSecondCopyRestoresTheMinimisedFirstAndEndsWithCodeZero) {
  if (std::strstr(::GetCommandLineA(), kSecondCopyFlag) != nullptr) GTEST_SKIP() << "this is the second copy";
  TApplicationState state;
  const std::string title = UniqueTitle("KYT OnlyOne first copy");
  Application->SetTitle(title);
  int restores = 0;
  Application->SetOnRestore(TNotifyEvent::FromFunction([](void* n, TObject*) { ++*static_cast<int*>(n); }, &restores));
  HWND app = Application->Handle();
  // The application window shows (as the task bar button) once a main form is shown.
  ::ShowWindow(app, SW_SHOWNOACTIVATE);
  auto form = std::make_unique<TFormsTestForm>(Application);
  form->SetBounds(100, 100, 300, 200);
  form->Show();
  Application->Minimize();
  ASSERT_TRUE(::IsIconic(app));
  ASSERT_FALSE(::IsWindowVisible(form->Handle()));
  EXPECT_EQ(::GetLastActivePopup(app), app) << "a minimised application is its own last active popup";
  // A window of another program in front of everything.
  HWND blocker = ::CreateWindowExA(0, "STATIC", "blocker", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                   nullptr, nullptr);
  ASSERT_LT(ZOrder(blocker), ZOrder(app));

  char folder[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, folder);
  const std::string marker = std::string(folder) + "kyt-onlyone-" + std::to_string(::GetCurrentProcessId()) + ".txt";
  ::DeleteFileA(marker.c_str());
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" --gtest_filter=OnlyOneSecondCopy.* " + kSecondCopyFlag;
  ::SetEnvironmentVariableA("KYT_ONLYONE_TITLE", title.c_str());
  ::SetEnvironmentVariableA("KYT_ONLYONE_MARKER", marker.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const DWORD startError = StartProcess(command, "", startup, process, false);
  ::SetEnvironmentVariableA("KYT_ONLYONE_TITLE", nullptr);
  ::SetEnvironmentVariableA("KYT_ONLYONE_MARKER", nullptr);
  ASSERT_EQ(startError, 0u);
  // The second copy acts on this copy's windows: keep handling messages while it runs.
  const bool ended = PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 60000);
  if (!ended) ::TerminateProcess(process.hProcess, 99);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  PumpUntil([] { return !Application->Minimized(); }, 5000);
  const std::string ran = ReadFile(marker);
  ::DeleteFileA(marker.c_str());

  ASSERT_TRUE(ended) << "the second copy did not end in time";
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(ran, "exceeded 2") << "the second copy left no marker";
  EXPECT_FALSE(::IsIconic(app));
  EXPECT_FALSE(Application->Minimized());
  EXPECT_EQ(restores, 1);
  EXPECT_TRUE(::IsWindowVisible(form->Handle())) << "a restore from outside shows the forms again";
  EXPECT_LT(ZOrder(app), ZOrder(blocker)) << "the first copy was not brought to the front";
  ::DestroyWindow(blocker);
  form.reset();
}

}  // namespace
}  // namespace kyt
