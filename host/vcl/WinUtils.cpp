// WinUtils: object instances are a fixed pool of real functions, one per slot, generated from
// a template; each slot dispatches to the method bound to it. No executable memory is written,
// so the same code works on x86_64 and i686.
#include "host/vcl/WinUtils.h"

#include <array>
#include <unordered_map>
#include <utility>

#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"
#include "host/vcl/VclPrivate.h"

namespace kyt {

namespace {

struct Slot {
  TWndMethod Method;
  int Busy = 0;            // calls of Method running now (re-entrant messages nest)
  bool InUse = false;
  bool FreePending = false;
};

std::array<Slot, kMaxObjectInstances>& Slots() {
  // Never destroyed (nor the tables below): the runtime frees its windows after static
  // objects of the program are gone.
  static auto* slots = new std::array<Slot, kMaxObjectInstances>();
  return *slots;
}

int gInUse = 0;
int gNextFree = 0;

void ReleaseSlot(Slot& s) {
  s.Method = nullptr;
  s.InUse = false;
  s.FreePending = false;
  --gInUse;
}

LRESULT Dispatch(int index, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Slot& s = Slots()[static_cast<size_t>(index)];
  // A window still calling a released instance gets default handling.
  if (!s.InUse || s.FreePending || !s.Method) return os::user32.DefWindowProcA(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  ++s.Busy;
  try {
    s.Method(m);
  } catch (...) {
    HandleBoundaryException(nullptr);
  }
  if (--s.Busy == 0 && s.FreePending) ReleaseSlot(s);
  return m.Result;
}

template <int N>
LRESULT CALLBACK SlotProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Dispatch(N, window, msg, wParam, lParam);
}

template <int... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeProcTable(std::integer_sequence<int, I...>) {
  return {&SlotProc<I>...};
}

const std::array<WNDPROC, kMaxObjectInstances>& Procs() {
  static const std::array<WNDPROC, kMaxObjectInstances> procs =
      MakeProcTable(std::make_integer_sequence<int, kMaxObjectInstances>());
  return procs;
}

int SlotOf(WNDPROC proc) {
  static const auto* index = [] {
    auto* m = new std::unordered_map<WNDPROC, int>();
    for (int i = 0; i < kMaxObjectInstances; ++i) m->emplace(Procs()[static_cast<size_t>(i)], i);
    return m;
  }();
  auto it = index->find(proc);
  return it == index->end() ? -1 : it->second;
}

// Instances of the windows made by AllocateHWnd.
std::unordered_map<HWND, WNDPROC>& UtilWindows() {
  static auto* windows = new std::unordered_map<HWND, WNDPROC>();
  return *windows;
}

constexpr const char* kUtilWindowClass = "TPUtilWindow";

}  // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
  auto& slots = Slots();
  for (int n = 0; n < kMaxObjectInstances; ++n) {
    const int i = (gNextFree + n) % kMaxObjectInstances;
    Slot& s = slots[static_cast<size_t>(i)];
    if (s.InUse) continue;
    s.Method = std::move(method);
    s.InUse = true;
    s.FreePending = false;
    ++gInUse;
    gNextFree = (i + 1) % kMaxObjectInstances;
    return Procs()[static_cast<size_t>(i)];
  }
  throw EOutOfResources("Out of object instances (" + std::to_string(kMaxObjectInstances) + " in use)");
}

void FreeObjectInstance(WNDPROC instance) {
  if (!instance) return;
  const int i = SlotOf(instance);
  if (i < 0) return;
  Slot& s = Slots()[static_cast<size_t>(i)];
  if (!s.InUse || s.FreePending) return;
  if (s.Busy > 0) {
    s.FreePending = true;  // dropped when the running call returns
    return;
  }
  ReleaseSlot(s);
}

int ObjectInstanceCount() { return gInUse; }

HWND AllocateHWnd(TWndMethod method) {
  vcl_private::RegisterOwnClass(kUtilWindowClass, os::user32.DefWindowProcA, 0, nullptr);
  WNDPROC instance = MakeObjectInstance(std::move(method));
  HWND window = os::user32.CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                           nullptr, nullptr, vcl_private::Instance(), nullptr);
  if (!window) {
    FreeObjectInstance(instance);
    throw EOutOfResources("Cannot create a utility window (error " +
                          std::to_string(os::kernel32.GetLastError()) + ")");
  }
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(instance));
  UtilWindows()[window] = instance;
  return window;
}

void DeallocateHWnd(HWND window) {
  if (!window) return;
  auto& windows = UtilWindows();
  auto it = windows.find(window);
  WNDPROC instance = nullptr;
  if (it != windows.end()) {
    instance = it->second;
    windows.erase(it);
  }
  // The method sees nothing of the destruction: its object may be half destroyed already.
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(os::user32.DefWindowProcA));
  os::user32.DestroyWindow(window);
  FreeObjectInstance(instance);
}

namespace vcl_private {

HINSTANCE Instance() { return os::kernel32.GetModuleHandleA(nullptr); }

void RegisterOwnClass(const std::string& name, WNDPROC proc, UINT style, HBRUSH background) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (os::user32.GetClassInfoExA(Instance(), name.c_str(), &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.hCursor = os::user32.LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name.c_str();
  if (!os::user32.RegisterClassExA(&wc) && os::kernel32.GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw EOutOfResources("Cannot register window class " + name);
}

namespace {
struct DisableData {
  HWND Keep;
  std::vector<HWND>* Windows;
};
BOOL CALLBACK DisableProc(HWND window, LPARAM data) {
  auto* d = reinterpret_cast<DisableData*>(data);
  if (window != d->Keep && os::user32.IsWindowVisible(window) && os::user32.IsWindowEnabled(window)) {
    d->Windows->push_back(window);
    os::user32.EnableWindow(window, FALSE);
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> DisableTaskWindows(HWND keep) {
  std::vector<HWND> windows;
  DisableData data{keep, &windows};
  os::user32.EnumThreadWindows(os::kernel32.GetCurrentThreadId(), &DisableProc, reinterpret_cast<LPARAM>(&data));
  return windows;
}

void EnableTaskWindows(const std::vector<HWND>& windows) {
  for (HWND w : windows)
    if (os::user32.IsWindow(w)) os::user32.EnableWindow(w, TRUE);
}

}  // namespace vcl_private

}  // namespace kyt
