// FaultSweep.h: fails the platform calls of a scenario one at a time through the OS seam.
//   TFaultScenario s{"LogFile.Log", [&](const TFaultRun& run) { return Raises([&] { log->Log("x"); }); },
//                    /*State=*/[&] { return ReadBytes(path); }, /*Reset=*/[&] { DeleteFileA(path); }};
//   ExpectClean(Sweep(s));
// A sweep runs the scenario once to warm the process's caches, once more to count the fallible
// calls it makes (N), then N times, failing call 1, 2, ... N in turn with the call's documented
// failure value and a fitting last error. After every run it checks that no exception escaped
// (the scenario, or a window procedure into the application's handler), that nothing the run
// created through the seam is still live after the scenario's cleanup, that the persistent state
// is the one before the run or the one the unfailed run left, and that a failure that changed
// what the caller got was reported. One line per sweep; the test program's last line sums them.
#ifndef KYT_TESTS_SUPPORT_FAULTSWEEP_H
#define KYT_TESTS_SUPPORT_FAULTSWEEP_H

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Exceptions.h"
#include "host/core/FormFile.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"

namespace kyt::test {

// What one run is told: which counted call fails (0 in the counting run) and whether it came.
class TFaultRun {
 public:
  int FailAt() const { return FFailAt; }
  // The failed entry ("kernel32.CreateFileA"), empty until the failure happened.
  const std::string& FailedEntry() const;
  bool Failed() const { return !FailedEntry().empty(); }
  // Whether the failed entry's name ends with name ("WriteFile", "RegSetValueExA").
  bool Failed(std::string_view name) const;
  // Texts of the modal windows (message boxes, dialogs) the sweep closed during this run because
  // nothing answered them; a box is a report the user sees.
  const std::vector<std::string>& Boxes() const;

  explicit TFaultRun(int failAt) : FFailAt(failAt) {}

 private:
  int FFailAt;
};

// What the caller of the component saw.
struct TFaultOutcome {
  // The failure reached the caller: a false result, an error event, an exception, an error text.
  bool Reported = false;
  // The report's text where it has one; an exception's report needs one.
  std::string Message;
  // What the work handed the caller (files found, values read), compared with the unfailed run.
  std::string Result;
  // The component has no way to report this failure; it must then stay usable (the scenario
  // checks that itself, in a Paused scope).
  bool Unreportable = false;
  // Why the state this failure left is the one the component's contract names for it (a marker
  // left raised); such a state is taken as it is.
  std::string AsDocumented;
};

struct TFaultScenario {
  TFaultScenario(std::string name, std::function<TFaultOutcome(const TFaultRun&)> run,
                 std::function<std::string()> state = {}, std::function<void()> reset = {})
      : Name(std::move(name)), Run(std::move(run)), State(std::move(state)), Reset(std::move(reset)) {}
  std::string Name;
  // The work, from a clean start to a full cleanup (every form and component freed).
  std::function<TFaultOutcome(const TFaultRun&)> Run;
  // The persistent state the work changes (registry values, file bytes); empty when none.
  std::function<std::string()> State;
  // Puts the persistent state back as it was before the first run; called before every run.
  std::function<void()> Reset;
};

struct TSweepFigures {
  int Scenarios = 0;
  int Calls = 0;        // fallible calls of the unfailed run
  int Injected = 0;     // runs whose failure came
  int Crashes = 0;      // exceptions that escaped
  int Leaks = 0;        // runs that left a resource live
  int HalfWritten = 0;  // runs that left a state neither before nor done
  int Silent = 0;       // failures that changed the result and were not reported
  TSweepFigures& operator+=(const TSweepFigures& other);
};

// No counting and no failing while it lives (checks the scenario makes of its own results).
class TSweepPause {
 public:
  TSweepPause();
  ~TSweepPause();
  TSweepPause(const TSweepPause&) = delete;
  TSweepPause& operator=(const TSweepPause&) = delete;

 private:
  bool FWas;
};

// Runs the sweep (see the top of this file); problems are test failures naming the run.
// boundary(true) before the first run and boundary(false) after the last route exceptions that
// window procedures report to RecordBoundaryException.
TSweepFigures SweepWith(const TFaultScenario& scenario, void (*boundary)(bool install));
// Called for an exception a window procedure handed to the application during a run.
void RecordBoundaryException(const std::string& message);
// The figures of every sweep of this program so far, and its summary line.
const TSweepFigures& SweepTotals();
void PrintSweepSummary();

namespace detail {
inline void HookApplication(bool install) {
  static TExceptionEvent saved;
  if (!Application) return;
  if (install) {
    saved = Application->OnException();
    Application->SetOnException(TExceptionEvent::FromFunction(
        [](void*, TObject*, const Exception& e) { RecordBoundaryException(e.Message()); }, nullptr));
  } else {
    Application->SetOnException(saved);
  }
}
}  // namespace detail

// The sweep with the application's exception handler taken over for its duration.
inline TSweepFigures Sweep(const TFaultScenario& scenario) { return SweepWith(scenario, &detail::HookApplication); }

// Runs work; an exception of the runtime's family is a report with its message. Anything else
// goes on and counts as escaped.
TFaultOutcome Raises(const std::function<void()>& work);

// Runs work, which makes its own outcome; an exception of the runtime's family ends it as a
// report with its message (a constructor that could not make its window, for one).
TFaultOutcome Caught(const std::function<TFaultOutcome()>& work);

// A false result (or true: failed) reported as such, with the result text.
inline TFaultOutcome ReportedIf(bool reported, std::string result = {}) {
  TFaultOutcome outcome;
  outcome.Reported = reported;
  outcome.Result = std::move(result);
  return outcome;
}

// The whole contents of a file, or "<missing>"; a file's bytes are its persistent state.
std::string FileState(const std::string& path);
// Names and bytes of every file below a folder, sub-folders included (a stray temporary file
// shows), or "<no folder>".
std::string FolderState(const std::string& dir);
// Every value below a registry key of HKEY_CURRENT_USER (or root), sub-keys included, as text;
// empty keys leave no trace.
std::string RegistryState(const std::string& key, HKEY root = HKEY_CURRENT_USER);
// Deletes a key of HKEY_CURRENT_USER with its sub-keys.
void DeleteRegistryTree(const std::string& key, HKEY root = HKEY_CURRENT_USER);

// Frees a form or component with FreeComponent when the scope ends, whatever ends it.
struct TFreeComponent {
  void operator()(TComponent* component) const { FreeComponent(component); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeComponent>;

// The scenario of a component whose work is being on a form: a form holding it is read from
// text (the component made, its properties set, Loaded run), use(form) runs, and the form is
// written back; the written text is the result.
inline TFaultScenario FormFileScenario(std::string name, std::string text, std::function<std::string(TForm&)> use = {}) {
  return {std::move(name), [text = std::move(text), use = std::move(use)](const TFaultRun&) {
            std::string result;
            TFaultOutcome out = Raises([&] {
              TOwned<TForm> form(new TForm(nullptr));
              ReadRootText(*form, text, "Sweep.kfm");
              if (use) result = use(*form);
              result += WriteComponentText(*form);
            });
            out.Result = result;
            return out;
          }};
}

}  // namespace kyt::test

// Fails the test unless the sweep found nothing.
#define EXPECT_SWEEP_CLEAN(figures)                                                          \
  do {                                                                                       \
    const ::kyt::test::TSweepFigures kytSweep = (figures);                                   \
    EXPECT_EQ(kytSweep.Crashes + kytSweep.Leaks + kytSweep.HalfWritten + kytSweep.Silent, 0); \
  } while (0)

#endif  // KYT_TESTS_SUPPORT_FAULTSWEEP_H
