// DialogAnswerer.cpp: finds the dialog from a thread timer and answers it with real messages.
#include "tests/support/DialogAnswerer.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "tests/support/MessagePump.h"

namespace kyt {
namespace {

// SetTimer(NULL, ...) callbacks carry no pointer; the timer id leads back to the answerer.
thread_local std::map<UINT_PTR, DialogAnswerer*> answerers;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// A caption as the user reads it: without '&' accelerators, trimmed, lower case.
std::string PlainCaption(const std::string& caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += c;
  const auto first = out.find_first_not_of(' ');
  const auto last = out.find_last_not_of(' ');
  out = first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
  return Lower(out);
}

// True when the window's class, or the system class it is built on, contains the given name.
bool IsKind(HWND window, const char* kind) {
  char real[256] = {};
  ::RealGetWindowClassA(window, real, sizeof real);
  const std::string want = Lower(kind);
  return Lower(WindowClass(window)).find(want) != std::string::npos ||
         Lower(real).find(want) != std::string::npos;
}

bool IsButton(HWND w) { return IsKind(w, "button") || IsKind(w, "bitbtn"); }
bool IsLabel(HWND w) { return IsKind(w, "static") || IsKind(w, "label"); }
bool IsEditOrCombo(HWND w) { return IsKind(w, "edit") || IsKind(w, "combobox"); }

bool Contains(const std::vector<HWND>& list, HWND w) {
  return std::find(list.begin(), list.end(), w) != list.end();
}

}  // namespace

DialogAction Press(std::string caption) {
  DialogAction a;
  a.ButtonCaption = std::move(caption);
  return a;
}

DialogAction Press(int controlId) {
  DialogAction a;
  a.ButtonId = controlId;
  a.ById = true;
  return a;
}

DialogAction SendClose() {
  DialogAction a;
  a.CloseOnly = true;
  return a;
}

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

std::string WindowClass(HWND window) {
  char name[256] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

namespace {

struct TopLevelQuery {
  DWORD processId;
  bool visibleOnly;
  std::vector<HWND> found;
};

// Enumeration callbacks are real functions: on i686 they must be __stdcall, which lambdas are not.
BOOL CALLBACK CollectTopLevel(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<TopLevelQuery*>(p);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  if (pid == q->processId && (!q->visibleOnly || ::IsWindowVisible(w)))
    q->found.push_back(w);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

}  // namespace

std::vector<HWND> ProcessTopLevelWindows(bool visibleOnly) {
  return TopLevelWindowsOf(::GetCurrentProcessId(), visibleOnly);
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
  TopLevelQuery query{processId, visibleOnly, {}};
  ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> found;
  ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

DialogAnswerer::DialogAnswerer(DialogAction action)
    : action_(std::move(action)), showingAtStart_(ProcessTopLevelWindows(true)) {
  deadline_ = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(action_.TimeoutMs, 0));
  timer_ = ::SetTimer(nullptr, 0, 20, &DialogAnswerer::TimerProc);
  if (timer_) answerers[timer_] = this;
}

DialogAnswerer::~DialogAnswerer() {
  if (timer_) {
    ::KillTimer(nullptr, timer_);
    answerers.erase(timer_);
  }
}

std::string DialogAnswerer::SeenText() const {
  std::string joined;
  for (const auto& t : texts_) {
    if (!joined.empty()) joined += '\n';
    joined += t;
  }
  return joined;
}

bool DialogAnswerer::Wait(int timeoutMs) {
  PumpUntil([this] { return Done(); }, timeoutMs);
  return answered_;
}

void CALLBACK DialogAnswerer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  const auto it = answerers.find(id);
  if (it != answerers.end()) it->second->Tick();
}

void DialogAnswerer::Tick() {
  // The press may run a nested modal loop in which this timer fires again: ignore that.
  if (Done() || busy_) return;
  busy_ = true;
  HWND newWindow = nullptr;    // any new window: closed on giving up so nothing stays modal
  bool titleMatched = false;
  for (HWND w : ProcessTopLevelWindows(true)) {
    if (!::IsWindowEnabled(w) || Contains(showingAtStart_, w) || Contains(action_.Excluded, w))
      continue;
    if (!newWindow) newWindow = w;
    if (action_.WantTitle && WindowText(w) != *action_.WantTitle) continue;
    titleMatched = true;
    if (TryAnswer(w)) break;
  }
  if (!Done() && ::GetTickCount64() >= deadline_) {
    Fail(!newWindow      ? "no dialog appeared before the timeout"
         : titleMatched ? "the wanted button was not found in the dialog"
                        : "no dialog with the wanted title appeared",
         newWindow);
  }
  if (Done() && timer_) {
    ::KillTimer(nullptr, timer_);
    answerers.erase(timer_);
    timer_ = 0;
  }
  busy_ = false;
}

bool DialogAnswerer::TryAnswer(HWND candidate) {
  const std::vector<HWND> children = ChildWindows(candidate);
  HWND target = nullptr;
  int targetId = action_.ButtonId;
  if (!action_.CloseOnly) {
    const std::string wanted = PlainCaption(action_.ButtonCaption);
    for (HWND c : children) {
      if (action_.ById ? ::GetDlgCtrlID(c) == action_.ButtonId
                       : IsButton(c) && PlainCaption(WindowText(c)) == wanted) {
        target = c;
        targetId = ::GetDlgCtrlID(c);
        break;
      }
    }
    // Only WM_COMMAND can answer with an id that has no control (IDCANCEL on an OK-only box).
    if (!target && !(action_.ById && action_.ViaCommand)) return false;
  }

  // Record what the window shows before anything changes it.
  window_ = candidate;
  title_ = WindowText(candidate);
  className_ = WindowClass(candidate);
  texts_.clear();
  buttons_.clear();
  for (HWND c : children) {
    if (IsButton(c)) buttons_.push_back(WindowText(c));
    else if (IsLabel(c)) texts_.push_back(WindowText(c));
  }
  ::GetWindowRect(candidate, &rect_);
  ::GetClientRect(candidate, &clientRect_);
  if (action_.OnFoundFn) action_.OnFoundFn(candidate);

  if (action_.TypeText) {
    for (HWND c : children) {
      if (!IsEditOrCombo(c)) continue;
      const LPARAM text = reinterpret_cast<LPARAM>(action_.TypeText->c_str());
      ::SendMessageA(c, WM_SETTEXT, 0, text);
      // A drop-down combo box keeps its text in an inner edit control.
      if (IsKind(c, "combobox"))
        if (HWND inner = ::FindWindowExA(c, nullptr, "Edit", nullptr))
          ::SendMessageA(inner, WM_SETTEXT, 0, text);
      break;
    }
  }

  answered_ = true;
  if (action_.CloseOnly) {
    ::PostMessageA(candidate, WM_CLOSE, 0, 0);
  } else if (action_.ViaCommand) {
    ::PostMessageA(candidate, WM_COMMAND, MAKEWPARAM(targetId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(target));
  } else {
    // BM_CLICK acts on the active window's button; make the dialog active first.
    ::SetActiveWindow(candidate);
    ::PostMessageA(target, BM_CLICK, 0, 0);
  }
  return true;
}

void DialogAnswerer::Fail(std::string reason, HWND candidate) {
  failed_ = true;
  failure_ = std::move(reason);
  if (candidate) {
    window_ = candidate;
    title_ = WindowText(candidate);
    className_ = WindowClass(candidate);
    ::PostMessageA(candidate, WM_CLOSE, 0, 0);
  }
}

}  // namespace kyt
