// DialogAnswerer.h: answers the next modal window of this process from inside its modal loop.
//   kyt::DialogAnswerer answer(kyt::Press("Yes"));
//   kyt::DialogAnswerer answer(kyt::Press(IDOK).Type("new name").Title("Rename"));
//   ...code that shows the dialog...
//   EXPECT_TRUE(answer.Answered()); EXPECT_EQ(answer.SeenTitle(), "Confirm");
// A thread timer (it keeps firing inside modal loops) looks every 20 ms for an enabled, visible
// top-level window of this process that was not showing when the answerer was made, that has the
// wanted title (if one is given) and the wanted button. It records what the window shows, types
// into the first edit or combo box if asked, and presses the button once with real messages. If
// nothing is answered before the timeout it closes the candidate window with WM_CLOSE and records
// the failure, so a test never hangs.
#ifndef KYT_TESTS_SUPPORT_DIALOGANSWERER_H
#define KYT_TESTS_SUPPORT_DIALOGANSWERER_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/os/Win.h"

namespace kyt {

// What to do with the dialog; built with Press(...) and chained modifiers.
struct DialogAction {
  std::string ButtonCaption;               // matched ignoring '&' and case
  int ButtonId = 0;                        // used when ByIdOnly
  bool ById = false;
  bool CloseOnly = false;                  // no button: send WM_CLOSE (SendClose())
  bool ViaCommand = false;                 // WM_COMMAND(id) to the dialog instead of BM_CLICK
  std::optional<std::string> TypeText;     // typed into the first Edit or ComboBox child
  std::optional<std::string> WantTitle;    // exact window title to match
  std::function<void(HWND)> OnFoundFn;     // inspects the window before it is answered
  std::vector<HWND> Excluded;              // windows never answered (besides those already showing)
  int TimeoutMs = 10000;

  DialogAction& Type(std::string text) { TypeText = std::move(text); return *this; }
  DialogAction& Title(std::string title) { WantTitle = std::move(title); return *this; }
  DialogAction& OnFound(std::function<void(HWND)> fn) { OnFoundFn = std::move(fn); return *this; }
  DialogAction& Exclude(HWND window) { Excluded.push_back(window); return *this; }
  DialogAction& Timeout(int ms) { TimeoutMs = ms; return *this; }
  // Sends WM_COMMAND with the button's id (IDOK, IDCANCEL, ...) instead of clicking it.
  DialogAction& Command() { ViaCommand = true; return *this; }
};

// Presses the button with this caption ("Yes", "&Retry" and "retry" match the same button).
DialogAction Press(std::string caption);
// Presses the child control with this id; with .Command() it need not exist (IDCANCEL on a box).
DialogAction Press(int controlId);
// Answers by sending WM_CLOSE to the window (for windows without buttons).
DialogAction SendClose();

class DialogAnswerer {
 public:
  explicit DialogAnswerer(DialogAction action);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  bool Answered() const { return answered_; }       // found and pressed
  bool Failed() const { return failed_; }           // gave up after the timeout
  bool Done() const { return answered_ || failed_; }
  const std::string& FailureReason() const { return failure_; }

  // What the window showed when it was found (the Seen... values stay empty until then).
  HWND SeenWindow() const { return window_; }
  const std::string& SeenTitle() const { return title_; }
  const std::string& SeenClassName() const { return className_; }
  const std::vector<std::string>& SeenTexts() const { return texts_; }   // static/label children
  std::string SeenText() const;                                          // SeenTexts joined by '\n'
  const std::vector<std::string>& SeenButtons() const { return buttons_; }
  RECT SeenRect() const { return rect_; }             // window rect, screen coordinates
  RECT SeenClientRect() const { return clientRect_; }

  // Pumps messages until answered or failed; returns Answered().
  bool Wait(int timeoutMs = 10000);

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void Tick();
  bool TryAnswer(HWND candidate);
  void Fail(std::string reason, HWND candidate);

  DialogAction action_;
  std::vector<HWND> showingAtStart_;
  UINT_PTR timer_ = 0;
  ULONGLONG deadline_ = 0;
  bool answered_ = false;
  bool failed_ = false;
  bool busy_ = false;
  std::string failure_;
  HWND window_ = nullptr;
  std::string title_;
  std::string className_;
  std::vector<std::string> texts_;
  std::vector<std::string> buttons_;
  RECT rect_{};
  RECT clientRect_{};
};

// Top-level windows of this process, in Z order (visible ones only when asked).
std::vector<HWND> ProcessTopLevelWindows(bool visibleOnly = false);
// The same for another process, such as a child the test started (whose dialogs a
// DialogAnswerer, which works in its own process only, cannot see).
std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly = false);

// Every descendant window of parent, in EnumChildWindows order.
std::vector<HWND> ChildWindows(HWND parent);

// Window text and class name as std::string.
std::string WindowText(HWND window);
std::string WindowClass(HWND window);

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_DIALOGANSWERER_H
