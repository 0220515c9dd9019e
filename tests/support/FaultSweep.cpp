// FaultSweep.cpp: the trampolines, the list of fallible seam entries with their failure values,
// the resource tracking through the seam, and the sweep itself.
#include "tests/support/FaultSweep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <type_traits>
#include <vector>

#include "host/os/OsSeam.h"

namespace kyt::test {

namespace {

// ---- The sweep's state

// Kinds of resources, each with the call that gives it back.
enum class TGroup { Handle, Find, Key, Gdi, MemoryDC, WindowDC, Window, Timer, Icon, Menu, Global, Module };

constexpr const char* kGroupNames[] = {"handle", "find handle", "registry key", "GDI object", "memory DC",
                                       "window DC", "window", "timer", "icon", "menu", "global memory", "module"};

struct TResource {
  TGroup Group;
  uintptr_t A;
  uintptr_t B;
  auto operator<=>(const TResource&) const = default;
};

struct TOrigin {
  const char* Entry;
  int Run;
};

struct TState {
  bool Installed = false;
  bool Armed = false;
  int Calls = 0;
  int FailAt = 0;
  int Run = 0;
  std::string FailedEntry;
  std::map<TResource, TOrigin> Live;
  std::vector<std::string> BoundaryExceptions;
  std::vector<std::string> Boxes;
  TSweepFigures Totals;
};

TState& S() {
  static TState state;
  return state;
}

// Whether this call of entry is the one to fail; counts it when armed.
bool ShouldFail(const char* entry) {
  TState& s = S();
  if (!s.Armed) return false;
  ++s.Calls;
  static const bool trace = std::getenv("KYT_SWEEP_TRACE") != nullptr;
  if (trace) std::printf("[ SWEEP    ]     run %d #%d %s%s\n", s.Run, s.Calls, entry, s.Calls == s.FailAt ? " FAILS" : "");
  if (s.Calls != s.FailAt) return false;
  s.FailedEntry = entry;
  return true;
}

template <class T>
uintptr_t Bits(T value) {
  if constexpr (std::is_pointer_v<T>) return reinterpret_cast<uintptr_t>(value);
  else return static_cast<uintptr_t>(value);
}

template <class H, class B = int>
void Track(TGroup group, const char* entry, H a, B b = 0) {
  TState& s = S();
  s.Live[{group, Bits(a), Bits(b)}] = {entry, s.Run};
}

template <class H, class B = int>
void Untrack(TGroup group, H a, B b = 0) {
  S().Live.erase({group, Bits(a), Bits(b)});
}

// The I-th argument of a pack.
template <size_t I, class... T>
auto Arg(T... a) {
  return std::get<I>(std::tuple<T...>(a...));
}

// ---- Trampolines

// One per hooked entry: Table is the seam table, Member the entry. The pattern takes WINAPI
// function pointers only, so on i686 (where WINAPI is __stdcall and a different type) an entry of
// another convention does not compile instead of being called the wrong way.
template <auto& Table, auto Member, class Fn = std::remove_reference_t<decltype(Table.*Member)>>
struct Hook {
  static_assert(sizeof(Fn) == 0, "the sweep hooks WINAPI entries only");
};

template <auto& Table, auto Member, class R, class... A>
struct Hook<Table, Member, R(WINAPI*)(A...)> {
  using Fn = R(WINAPI*)(A...);
  using Failer = R (*)(A...);
  using Tracker = void (*)(const char*, R, A...);

  static inline Fn Next = nullptr;
  static inline const char* Name = nullptr;
  static inline bool Fallible = false;
  static inline R FailValue{};
  static inline DWORD Error = 0;     // 0: the last error is left alone (the Reg* calls)
  static inline Failer FailWith = nullptr;
  static inline Tracker After = nullptr;

  static R WINAPI Call(A... a) {
    if (Fallible && ShouldFail(Name)) {
      R result = FailWith ? FailWith(a...) : FailValue;
      if (Error) ::SetLastError(Error);
      return result;
    }
    R result = Next(a...);
    if (After) {
      const DWORD error = ::GetLastError();
      After(Name, result, a...);
      ::SetLastError(error);
    }
    return result;
  }
  static_assert(std::is_same_v<decltype(&Call), Fn>, "a trampoline has its entry's exact type, convention included");

  static void Install() {
    Next = Table.*Member;
    Table.*Member = &Call;
  }
  static void Uninstall() { Table.*Member = Next; }
};

struct TEntry {
  void (*Install)();
  void (*Uninstall)();
};

// An entry the sweep fails: value is its documented failure result, error the last error it
// leaves (0: none, for calls that return their error code).
template <auto& Table, auto Member, class H = Hook<Table, Member>>
TEntry Fails(const char* name, std::type_identity_t<decltype(H::FailValue)> value, DWORD error,
             typename H::Tracker after = nullptr, typename H::Failer with = nullptr) {
  H::Name = name;
  H::Fallible = true;
  H::FailValue = value;
  H::Error = error;
  H::After = after;
  H::FailWith = with;
  return {&H::Install, &H::Uninstall};
}

// An entry that gives a resource back: never failed, only watched.
template <auto& Table, auto Member, class H = Hook<Table, Member>>
TEntry Releases(const char* name, typename H::Tracker after) {
  H::Name = name;
  H::After = after;
  return {&H::Install, &H::Uninstall};
}

using namespace os;

// A profile read that cannot reach its file gives the default, as the platform does.
template <class C>
DWORD ProfileDefault(const C* def, C* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  DWORD n = 0;
  if (def)
    while (def[n] && n + 1 < size) ++n;
  for (DWORD i = 0; i < n; ++i) buffer[i] = def[i];
  buffer[n] = 0;
  if (n + 1 < size) buffer[n + 1] = 0;  // a list read ends with two zeros
  return n;
}

// Every fallible entry the package calls (and a few of their kind it may call), with the
// release calls that end each kind of resource. Infallible calls (GetLastError, DefWindowProcA,
// the message calls, text conversions, ShowWindow) are not listed, nor the placement calls on the
// process's own windows (SetWindowPos, GetWindowPlacement, GetMonitorInfoA of the primary
// monitor), which fail only for a window or monitor that is not there.
const std::vector<TEntry>& Entries() {
  static const std::vector<TEntry> entries = [] {
    auto handle = [](const char* n, HANDLE r, auto...) {
      if (r && r != INVALID_HANDLE_VALUE) Track(TGroup::Handle, n, r);
    };
    auto gdi = [](const char* n, auto r, auto...) {
      if (r) Track(TGroup::Gdi, n, r);
    };
    auto icon = [](const char* n, HICON r, auto...) {
      if (r) Track(TGroup::Icon, n, r);
    };
    return std::vector<TEntry>{
        // Files and folders
        Fails<kernel32, &Kernel32Table::CreateFileA>("kernel32.CreateFileA", INVALID_HANDLE_VALUE,
                                                     ERROR_SHARING_VIOLATION, handle),
        Fails<kernel32, &Kernel32Table::ReadFile>("kernel32.ReadFile", FALSE, ERROR_LOCK_VIOLATION),
        Fails<kernel32, &Kernel32Table::WriteFile>("kernel32.WriteFile", FALSE, ERROR_DISK_FULL),
        Fails<kernel32, &Kernel32Table::FlushFileBuffers>("kernel32.FlushFileBuffers", FALSE, ERROR_DISK_FULL),
        Fails<kernel32, &Kernel32Table::SetFilePointerEx>("kernel32.SetFilePointerEx", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::SetEndOfFile>("kernel32.SetEndOfFile", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetFileSizeEx>("kernel32.GetFileSizeEx", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetFileTime>("kernel32.GetFileTime", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::SetFileTime>("kernel32.SetFileTime", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::CopyFileA>("kernel32.CopyFileA", FALSE, ERROR_SHARING_VIOLATION),
        Fails<kernel32, &Kernel32Table::MoveFileA>("kernel32.MoveFileA", FALSE, ERROR_SHARING_VIOLATION),
        Fails<kernel32, &Kernel32Table::MoveFileExA>("kernel32.MoveFileExA", FALSE, ERROR_SHARING_VIOLATION),
        Fails<kernel32, &Kernel32Table::ReplaceFileA>("kernel32.ReplaceFileA", FALSE, ERROR_UNABLE_TO_MOVE_REPLACEMENT),
        Fails<kernel32, &Kernel32Table::DeleteFileA>("kernel32.DeleteFileA", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::CreateDirectoryA>("kernel32.CreateDirectoryA", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::RemoveDirectoryA>("kernel32.RemoveDirectoryA", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetFileAttributesA>("kernel32.GetFileAttributesA", INVALID_FILE_ATTRIBUTES,
                                                            ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetFileAttributesExA>("kernel32.GetFileAttributesExA", FALSE,
                                                              ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::SetFileAttributesA>("kernel32.SetFileAttributesA", FALSE, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetFullPathNameA>("kernel32.GetFullPathNameA", 0, ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::GetCurrentDirectoryA>("kernel32.GetCurrentDirectoryA", 0,
                                                              ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::SetCurrentDirectoryA>("kernel32.SetCurrentDirectoryA", FALSE,
                                                              ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetTempFileNameA>("kernel32.GetTempFileNameA", 0, ERROR_ACCESS_DENIED),
        Fails<kernel32, &Kernel32Table::GetWindowsDirectoryA>("kernel32.GetWindowsDirectoryA", 0,
                                                              ERROR_NOT_ENOUGH_MEMORY),
        // Directory search
        Fails<kernel32, &Kernel32Table::FindFirstFileA>(
            "kernel32.FindFirstFileA", INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED,
            [](const char* n, HANDLE r, auto...) {
              if (r != INVALID_HANDLE_VALUE) Track(TGroup::Find, n, r);
            }),
        Fails<kernel32, &Kernel32Table::FindNextFileA>("kernel32.FindNextFileA", FALSE, ERROR_ACCESS_DENIED),
        Releases<kernel32, &Kernel32Table::FindClose>("kernel32.FindClose",
                                                      [](const char*, BOOL, HANDLE h) { Untrack(TGroup::Find, h); }),
        // Profile (ini) files
        Fails<kernel32, &Kernel32Table::GetPrivateProfileStringA>(
            "kernel32.GetPrivateProfileStringA", 0, ERROR_SHARING_VIOLATION, nullptr,
            [](LPCSTR, LPCSTR, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR) { return ProfileDefault(def, buffer, size); }),
        Fails<kernel32, &Kernel32Table::GetPrivateProfileStringW>(
            "kernel32.GetPrivateProfileStringW", 0, ERROR_SHARING_VIOLATION, nullptr,
            [](LPCWSTR, LPCWSTR, LPCWSTR def, LPWSTR buffer, DWORD size, LPCWSTR) {
              return ProfileDefault(def, buffer, size);
            }),
        Fails<kernel32, &Kernel32Table::GetPrivateProfileSectionA>(
            "kernel32.GetPrivateProfileSectionA", 0, ERROR_SHARING_VIOLATION, nullptr,
            [](LPCSTR, LPSTR buffer, DWORD size, LPCSTR) { return ProfileDefault<char>(nullptr, buffer, size); }),
        Fails<kernel32, &Kernel32Table::WritePrivateProfileStringA>("kernel32.WritePrivateProfileStringA", FALSE,
                                                                    ERROR_SHARING_VIOLATION),
        Fails<kernel32, &Kernel32Table::WritePrivateProfileStringW>("kernel32.WritePrivateProfileStringW", FALSE,
                                                                    ERROR_SHARING_VIOLATION),
        Fails<kernel32, &Kernel32Table::WritePrivateProfileSectionA>("kernel32.WritePrivateProfileSectionA", FALSE,
                                                                     ERROR_SHARING_VIOLATION),
        // Handles, memory, modules and resources
        Fails<kernel32, &Kernel32Table::CreateMutexA>("kernel32.CreateMutexA", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                      handle),
        Fails<kernel32, &Kernel32Table::OpenMutexA>("kernel32.OpenMutexA", nullptr, ERROR_ACCESS_DENIED, handle),
        Fails<kernel32, &Kernel32Table::CreateEventA>("kernel32.CreateEventA", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                      handle),
        Fails<kernel32, &Kernel32Table::OpenProcess>("kernel32.OpenProcess", nullptr, ERROR_ACCESS_DENIED, handle),
        Fails<kernel32, &Kernel32Table::CreateProcessA>(
            "kernel32.CreateProcessA", FALSE, ERROR_NOT_ENOUGH_MEMORY, [](const char* n, BOOL r, auto... a) {
              PROCESS_INFORMATION* info = Arg<9>(a...);
              if (r && info) {
                Track(TGroup::Handle, n, info->hProcess);
                Track(TGroup::Handle, n, info->hThread);
              }
            }),
        Releases<kernel32, &Kernel32Table::CloseHandle>("kernel32.CloseHandle",
                                                        [](const char*, BOOL, HANDLE h) { Untrack(TGroup::Handle, h); }),
        Fails<kernel32, &Kernel32Table::GlobalAlloc>("kernel32.GlobalAlloc", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                     [](const char* n, HGLOBAL r, auto...) {
                                                       if (r) Track(TGroup::Global, n, r);
                                                     }),
        Fails<kernel32, &Kernel32Table::GlobalLock>("kernel32.GlobalLock", nullptr, ERROR_NOT_ENOUGH_MEMORY),
        Releases<kernel32, &Kernel32Table::GlobalFree>(
            "kernel32.GlobalFree", [](const char*, HGLOBAL, HGLOBAL h) { Untrack(TGroup::Global, h); }),
        Fails<kernel32, &Kernel32Table::VirtualAlloc>("kernel32.VirtualAlloc", nullptr, ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::LoadLibraryA>("kernel32.LoadLibraryA", nullptr, ERROR_MOD_NOT_FOUND,
                                                      [](const char* n, HMODULE r, auto...) {
                                                        if (r) Track(TGroup::Module, n, r);
                                                      }),
        Releases<kernel32, &Kernel32Table::FreeLibrary>(
            "kernel32.FreeLibrary", [](const char*, BOOL, HMODULE h) { Untrack(TGroup::Module, h); }),
        Fails<kernel32, &Kernel32Table::GetModuleFileNameW>("kernel32.GetModuleFileNameW", 0,
                                                            ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::FindResourceA>("kernel32.FindResourceA", nullptr, ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::LoadResource>("kernel32.LoadResource", nullptr, ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::SizeofResource>("kernel32.SizeofResource", 0, ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::FormatMessageA>("kernel32.FormatMessageA", 0, ERROR_MR_MID_NOT_FOUND),
        // System information
        Fails<kernel32, &Kernel32Table::GetDiskFreeSpaceExA>("kernel32.GetDiskFreeSpaceExA", FALSE, ERROR_NOT_READY),
        Fails<kernel32, &Kernel32Table::GetVolumeInformationA>("kernel32.GetVolumeInformationA", FALSE,
                                                               ERROR_NOT_READY),
        Fails<kernel32, &Kernel32Table::GetComputerNameA>("kernel32.GetComputerNameA", FALSE,
                                                          ERROR_NOT_ENOUGH_MEMORY),
        Fails<kernel32, &Kernel32Table::GetVersionExA>("kernel32.GetVersionExA", FALSE, ERROR_INSUFFICIENT_BUFFER),
        // Registry: the calls return their error code and leave the last error alone
        Fails<advapi32, &Advapi32Table::RegOpenKeyExA>("advapi32.RegOpenKeyExA", ERROR_ACCESS_DENIED, 0,
                                                       [](const char* n, LONG r, auto... a) {
                                                         if (r == ERROR_SUCCESS) Track(TGroup::Key, n, *Arg<4>(a...));
                                                       }),
        Fails<advapi32, &Advapi32Table::RegCreateKeyExA>("advapi32.RegCreateKeyExA", ERROR_ACCESS_DENIED, 0,
                                                         [](const char* n, LONG r, auto... a) {
                                                           if (r == ERROR_SUCCESS) Track(TGroup::Key, n, *Arg<7>(a...));
                                                         }),
        Releases<advapi32, &Advapi32Table::RegCloseKey>("advapi32.RegCloseKey",
                                                        [](const char*, LONG, HKEY h) { Untrack(TGroup::Key, h); }),
        Fails<advapi32, &Advapi32Table::RegQueryValueExA>("advapi32.RegQueryValueExA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegQueryValueExW>("advapi32.RegQueryValueExW", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegSetValueExA>("advapi32.RegSetValueExA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegSetValueExW>("advapi32.RegSetValueExW", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegDeleteValueA>("advapi32.RegDeleteValueA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegDeleteKeyA>("advapi32.RegDeleteKeyA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegEnumKeyExA>("advapi32.RegEnumKeyExA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegEnumValueA>("advapi32.RegEnumValueA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegQueryInfoKeyA>("advapi32.RegQueryInfoKeyA", ERROR_ACCESS_DENIED, 0),
        Fails<advapi32, &Advapi32Table::RegFlushKey>("advapi32.RegFlushKey", ERROR_ACCESS_DENIED, 0),
        // Privileges and the user
        Fails<advapi32, &Advapi32Table::OpenProcessToken>("advapi32.OpenProcessToken", FALSE, ERROR_ACCESS_DENIED,
                                                          [](const char* n, BOOL r, auto... a) {
                                                            if (r) Track(TGroup::Handle, n, *Arg<2>(a...));
                                                          }),
        Fails<advapi32, &Advapi32Table::LookupPrivilegeValueA>("advapi32.LookupPrivilegeValueA", FALSE,
                                                               ERROR_NO_SUCH_PRIVILEGE),
        Fails<advapi32, &Advapi32Table::AdjustTokenPrivileges>("advapi32.AdjustTokenPrivileges", FALSE,
                                                               ERROR_ACCESS_DENIED),
        Fails<advapi32, &Advapi32Table::GetUserNameA>("advapi32.GetUserNameA", FALSE, ERROR_NOT_ENOUGH_MEMORY),
        // Windows, classes, timers, menus, icons
        Fails<user32, &User32Table::RegisterClassExA>("user32.RegisterClassExA", 0, ERROR_NOT_ENOUGH_MEMORY),
        Fails<user32, &User32Table::CreateWindowExA>("user32.CreateWindowExA", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                     [](const char* n, HWND r, auto...) {
                                                       if (r) Track(TGroup::Window, n, r);
                                                     }),
        Releases<user32, &User32Table::DestroyWindow>("user32.DestroyWindow",
                                                      [](const char*, BOOL, HWND w) { Untrack(TGroup::Window, w); }),
        Fails<user32, &User32Table::SetTimer>("user32.SetTimer", 0, ERROR_NOT_ENOUGH_MEMORY,
                                              [](const char* n, UINT_PTR r, HWND w, UINT_PTR id, UINT, TIMERPROC) {
                                                if (r) Track(TGroup::Timer, n, w, w ? id : r);
                                              }),
        Releases<user32, &User32Table::KillTimer>(
            "user32.KillTimer", [](const char*, BOOL, HWND w, UINT_PTR id) { Untrack(TGroup::Timer, w, id); }),
        Fails<user32, &User32Table::GetDC>("user32.GetDC", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                           [](const char* n, HDC r, HWND) {
                                             if (r) Track(TGroup::WindowDC, n, r);
                                           }),
        Fails<user32, &User32Table::GetWindowDC>("user32.GetWindowDC", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                 [](const char* n, HDC r, HWND) {
                                                   if (r) Track(TGroup::WindowDC, n, r);
                                                 }),
        Releases<user32, &User32Table::ReleaseDC>("user32.ReleaseDC",
                                                  [](const char*, int, HWND, HDC dc) { Untrack(TGroup::WindowDC, dc); }),
        Fails<user32, &User32Table::CreatePopupMenu>("user32.CreatePopupMenu", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                     [](const char* n, HMENU r) {
                                                       if (r) Track(TGroup::Menu, n, r);
                                                     }),
        Releases<user32, &User32Table::DestroyMenu>("user32.DestroyMenu",
                                                    [](const char*, BOOL, HMENU m) { Untrack(TGroup::Menu, m); }),
        Fails<user32, &User32Table::InsertMenuItemA>("user32.InsertMenuItemA", FALSE, ERROR_NOT_ENOUGH_MEMORY),
        Fails<user32, &User32Table::CopyIcon>("user32.CopyIcon", nullptr, ERROR_NOT_ENOUGH_MEMORY, icon),
        Fails<user32, &User32Table::CreateIconIndirect>("user32.CreateIconIndirect", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                        icon),
        Fails<user32, &User32Table::CreateIconFromResourceEx>("user32.CreateIconFromResourceEx", nullptr,
                                                              ERROR_NOT_ENOUGH_MEMORY, icon),
        Fails<user32, &User32Table::LoadImageA>(
            "user32.LoadImageA", nullptr, ERROR_NOT_ENOUGH_MEMORY,
            [](const char* n, HANDLE r, HINSTANCE, LPCSTR, UINT type, int, int, UINT flags) {
              if (!r || (flags & LR_SHARED)) return;
              if (type == IMAGE_ICON || type == IMAGE_CURSOR) Track(TGroup::Icon, n, r);
              else if (type == IMAGE_BITMAP) Track(TGroup::Gdi, n, r);
            }),
        Releases<user32, &User32Table::DestroyIcon>("user32.DestroyIcon",
                                                    [](const char*, BOOL, HICON h) { Untrack(TGroup::Icon, h); }),
        Fails<user32, &User32Table::MessageBoxA>("user32.MessageBoxA", 0, ERROR_NOT_ENOUGH_MEMORY),
        Fails<user32, &User32Table::PostMessageA>("user32.PostMessageA", FALSE, ERROR_NOT_ENOUGH_QUOTA),
        Fails<user32, &User32Table::EnumWindows>("user32.EnumWindows", FALSE, ERROR_NOT_ENOUGH_MEMORY),
        Fails<user32, &User32Table::MsgWaitForMultipleObjects>("user32.MsgWaitForMultipleObjects", WAIT_FAILED,
                                                               ERROR_INVALID_HANDLE),
        // Desktop, cursor and keyboard settings
        Fails<user32, &User32Table::SystemParametersInfoA>("user32.SystemParametersInfoA", FALSE,
                                                           ERROR_ACCESS_DENIED),
        Fails<user32, &User32Table::GetCursorPos>("user32.GetCursorPos", FALSE, ERROR_ACCESS_DENIED),
        Fails<user32, &User32Table::SetCursorPos>("user32.SetCursorPos", FALSE, ERROR_ACCESS_DENIED),
        Fails<user32, &User32Table::ClipCursor>("user32.ClipCursor", FALSE, ERROR_ACCESS_DENIED),
        Fails<user32, &User32Table::GetKeyboardState>("user32.GetKeyboardState", FALSE, ERROR_ACCESS_DENIED),
        Fails<user32, &User32Table::SetKeyboardState>("user32.SetKeyboardState", FALSE, ERROR_ACCESS_DENIED),
        Fails<user32, &User32Table::ExitWindowsEx>("user32.ExitWindowsEx", FALSE, ERROR_PRIVILEGE_NOT_HELD),
        // GDI objects and device contexts
        Fails<gdi32, &Gdi32Table::CreateCompatibleDC>("gdi32.CreateCompatibleDC", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                      [](const char* n, HDC r, HDC) {
                                                        if (r) Track(TGroup::MemoryDC, n, r);
                                                      }),
        Releases<gdi32, &Gdi32Table::DeleteDC>("gdi32.DeleteDC",
                                               [](const char*, BOOL, HDC dc) { Untrack(TGroup::MemoryDC, dc); }),
        Fails<gdi32, &Gdi32Table::CreateCompatibleBitmap>("gdi32.CreateCompatibleBitmap", nullptr,
                                                          ERROR_NOT_ENOUGH_MEMORY, gdi),
        Fails<gdi32, &Gdi32Table::CreateBitmap>("gdi32.CreateBitmap", nullptr, ERROR_NOT_ENOUGH_MEMORY, gdi),
        Fails<gdi32, &Gdi32Table::CreateDIBSection>("gdi32.CreateDIBSection", nullptr, ERROR_NOT_ENOUGH_MEMORY, gdi),
        Fails<gdi32, &Gdi32Table::CreateSolidBrush>("gdi32.CreateSolidBrush", nullptr, ERROR_NOT_ENOUGH_MEMORY, gdi),
        Fails<gdi32, &Gdi32Table::CreatePen>("gdi32.CreatePen", nullptr, ERROR_NOT_ENOUGH_MEMORY, gdi),
        Fails<gdi32, &Gdi32Table::CreateFontIndirectA>("gdi32.CreateFontIndirectA", nullptr, ERROR_NOT_ENOUGH_MEMORY,
                                                       gdi),
        Fails<gdi32, &Gdi32Table::CreateRectRgn>("gdi32.CreateRectRgn", nullptr, ERROR_NOT_ENOUGH_MEMORY, gdi),
        Releases<gdi32, &Gdi32Table::DeleteObject>("gdi32.DeleteObject",
                                                   [](const char*, BOOL, HGDIOBJ h) { Untrack(TGroup::Gdi, h); }),
        Fails<gdi32, &Gdi32Table::GetDIBits>("gdi32.GetDIBits", 0, ERROR_NOT_ENOUGH_MEMORY),
        Fails<gdi32, &Gdi32Table::BitBlt>("gdi32.BitBlt", FALSE, ERROR_NOT_ENOUGH_MEMORY),
        Fails<gdi32, &Gdi32Table::GetObjectA>("gdi32.GetObjectA", 0, ERROR_INVALID_HANDLE),
        // Shell
        Fails<shell32, &Shell32Table::SHFileOperationA>("shell32.SHFileOperationA", ERROR_ACCESS_DENIED, 0),
        Fails<shell32, &Shell32Table::ShellExecuteExA>(
            "shell32.ShellExecuteExA", FALSE, ERROR_FILE_NOT_FOUND,
            [](const char* n, BOOL r, SHELLEXECUTEINFOA* info) {
              if (r && info && (info->fMask & SEE_MASK_NOCLOSEPROCESS) && info->hProcess)
                Track(TGroup::Handle, n, info->hProcess);
            },
            [](SHELLEXECUTEINFOA* info) -> BOOL {
              if (info) info->hInstApp = reinterpret_cast<HINSTANCE>(SE_ERR_FNF);
              return FALSE;
            }),
        Fails<shell32, &Shell32Table::Shell_NotifyIconA>("shell32.Shell_NotifyIconA", FALSE, ERROR_TIMEOUT),
        Fails<shell32, &Shell32Table::Shell_NotifyIconW>("shell32.Shell_NotifyIconW", FALSE, ERROR_TIMEOUT),
        Fails<shell32, &Shell32Table::DragQueryFileA>("shell32.DragQueryFileA", 0, ERROR_INVALID_HANDLE),
        // Version records and sound
        Fails<version, &VersionTable::GetFileVersionInfoSizeW>("version.GetFileVersionInfoSizeW", 0,
                                                               ERROR_NOT_ENOUGH_MEMORY),
        Fails<version, &VersionTable::GetFileVersionInfoW>("version.GetFileVersionInfoW", FALSE,
                                                           ERROR_NOT_ENOUGH_MEMORY),
        Fails<version, &VersionTable::VerQueryValueW>("version.VerQueryValueW", FALSE, ERROR_RESOURCE_TYPE_NOT_FOUND),
        Fails<winmm, &WinmmTable::sndPlaySoundA>("winmm.sndPlaySoundA", FALSE, ERROR_NOT_ENOUGH_MEMORY),
        Fails<winmm, &WinmmTable::PlaySoundA>("winmm.PlaySoundA", FALSE, ERROR_NOT_ENOUGH_MEMORY),
        // Common dialogs: a failed dialog returns FALSE; the error query then names the error
        // (its failure is an error code where there was none).
        Fails<comdlg32, &Comdlg32Table::GetOpenFileNameA>("comdlg32.GetOpenFileNameA", FALSE, 0),
        Fails<comdlg32, &Comdlg32Table::GetSaveFileNameA>("comdlg32.GetSaveFileNameA", FALSE, 0),
        Fails<comdlg32, &Comdlg32Table::ChooseColorA>("comdlg32.ChooseColorA", FALSE, 0),
        Fails<comdlg32, &Comdlg32Table::CommDlgExtendedError>("comdlg32.CommDlgExtendedError",
                                                              static_cast<DWORD>(CDERR_MEMALLOCFAILURE), 0),
        // COM (the calls return their HRESULT)
        Fails<ole32, &Ole32Table::CoInitializeEx>("ole32.CoInitializeEx", E_OUTOFMEMORY, 0),
        Fails<ole32, &Ole32Table::CoCreateInstance>("ole32.CoCreateInstance", E_OUTOFMEMORY, 0, nullptr,
                                                    [](REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* object) -> HRESULT {
                                                      if (object) *object = nullptr;
                                                      return E_OUTOFMEMORY;
                                                    }),
    };
  }();
  return entries;
}

// ---- Modal windows a failure brings up (a message box, a dialog form): closed after a while, so
// a run never waits on one

struct TBoxCloser {
  UINT_PTR Timer = 0;
  std::map<HWND, ULONGLONG> Seen;  // box and when it was first met
  std::vector<HWND> AtStart;
};

TBoxCloser* gCloser = nullptr;

// A modal window of this process: shown, enabled, with its owner disabled while it is up.
bool IsModalWindow(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  const HWND owner = ::GetWindow(window, GW_OWNER);
  return pid == ::GetCurrentProcessId() && ::IsWindowVisible(window) && ::IsWindowEnabled(window) && owner &&
         !::IsWindowEnabled(owner);
}

BOOL CALLBACK CloseStaleBox(HWND window, LPARAM) {
  if (!IsModalWindow(window)) return TRUE;
  for (HWND old : gCloser->AtStart)
    if (old == window) return TRUE;
  const ULONGLONG now = ::GetTickCount64();
  auto [it, fresh] = gCloser->Seen.emplace(window, now);
  // Dialogs a scenario answers itself go within a moment; this one is stale.
  if (!fresh && now - it->second > 700) {
    std::string text;
    char buf[1024];
    char cls[16] = {};
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (::GetClassNameA(child, cls, sizeof cls) && std::strcmp(cls, "Static") == 0 &&
          ::GetWindowTextA(child, buf, sizeof buf) > 0)
        text += buf;
    }
    S().Boxes.push_back(text);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    gCloser->Seen.erase(it);
  }
  return TRUE;
}

void CALLBACK CloserTick(HWND, UINT, UINT_PTR, DWORD) {
  if (gCloser) ::EnumWindows(&CloseStaleBox, 0);
}

BOOL CALLBACK ListShowing(HWND window, LPARAM data) {
  if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// ---- Resources

// Drops what went with its window (children, timers, menus) and counts what is live per group.
std::map<TGroup, int> LiveCounts() {
  TState& s = S();
  for (auto it = s.Live.begin(); it != s.Live.end();) {
    const TResource& r = it->first;
    const bool gone = (r.Group == TGroup::Window && !::IsWindow(reinterpret_cast<HWND>(r.A))) ||
                      (r.Group == TGroup::Timer && r.A && !::IsWindow(reinterpret_cast<HWND>(r.A))) ||
                      (r.Group == TGroup::Menu && !::IsMenu(reinterpret_cast<HMENU>(r.A)));
    it = gone ? s.Live.erase(it) : std::next(it);
  }
  std::map<TGroup, int> counts;
  for (const auto& [r, origin] : s.Live) ++counts[r.Group];
  return counts;
}

// The resources made by run that are still live, for the failure message.
std::string LeakList(int run) {
  std::string list;
  for (const auto& [r, origin] : S().Live)
    if (origin.Run == run) list += std::string(list.empty() ? "" : ", ") + kGroupNames[static_cast<int>(r.Group)] +
                                   " from " + origin.Entry;
  return list;
}

struct TRunResult {
  TFaultOutcome Outcome;
  std::string Before;
  std::string After;
  std::vector<std::string> Escaped;
  bool Came = false;
  std::string Entry;
};

TRunResult RunOnce(const TFaultScenario& scenario, int failAt, int run) {
  TState& s = S();
  TRunResult result;
  {
    TSweepPause pause;
    if (scenario.Reset) scenario.Reset();
    if (scenario.State) result.Before = scenario.State();
  }
  s.Run = run;
  s.Calls = 0;
  s.FailAt = failAt;
  s.FailedEntry.clear();
  s.BoundaryExceptions.clear();
  s.Boxes.clear();
  s.Armed = true;
  const TFaultRun faultRun(failAt);
  try {
    result.Outcome = scenario.Run(faultRun);
  } catch (const std::exception& e) {
    result.Escaped.push_back(std::string("escaped: ") + e.what());
  } catch (...) {
    result.Escaped.push_back("escaped: an exception of no known type");
  }
  s.Armed = false;
  for (const std::string& message : s.BoundaryExceptions)
    result.Escaped.push_back("reached the application's handler: " + message);
  result.Came = !s.FailedEntry.empty();
  result.Entry = s.FailedEntry;
  TSweepPause pause;
  if (scenario.State) result.After = scenario.State();
  return result;
}

}  // namespace

// ---- Public

const std::string& TFaultRun::FailedEntry() const { return S().FailedEntry; }

bool TFaultRun::Failed(std::string_view name) const {
  const std::string& entry = FailedEntry();
  return entry.size() >= name.size() && entry.compare(entry.size() - name.size(), name.size(), name) == 0;
}

const std::vector<std::string>& TFaultRun::Boxes() const { return S().Boxes; }

TSweepFigures& TSweepFigures::operator+=(const TSweepFigures& o) {
  Scenarios += o.Scenarios;
  Calls += o.Calls;
  Injected += o.Injected;
  Crashes += o.Crashes;
  Leaks += o.Leaks;
  HalfWritten += o.HalfWritten;
  Silent += o.Silent;
  return *this;
}

TSweepPause::TSweepPause() : FWas(S().Armed) { S().Armed = false; }
TSweepPause::~TSweepPause() { S().Armed = FWas; }

void RecordBoundaryException(const std::string& message) {
  if (S().Installed) S().BoundaryExceptions.push_back(message);
}

TFaultOutcome Caught(const std::function<TFaultOutcome()>& work) {
  try {
    return work();
  } catch (const Exception& e) {
    TFaultOutcome outcome;
    outcome.Message = e.Message();
    outcome.Reported = !outcome.Message.empty();  // a report needs its text
    return outcome;
  }
}

TFaultOutcome Raises(const std::function<void()>& work) {
  return Caught([&] {
    work();
    return TFaultOutcome();
  });
}

TSweepFigures SweepWith(const TFaultScenario& scenario, void (*boundary)(bool install)) {
  TState& s = S();
  const auto started = std::chrono::steady_clock::now();
  TSweepFigures figures;
  figures.Scenarios = 1;
  for (const TEntry& e : Entries()) e.Install();
  s.Installed = true;
  s.Live.clear();
  if (boundary) boundary(true);
  TBoxCloser closer;
  ::EnumWindows(&ListShowing, reinterpret_cast<LPARAM>(&closer.AtStart));
  gCloser = &closer;
  closer.Timer = ::SetTimer(nullptr, 0, 100, &CloserTick);

  // The first run fills the process's caches (window classes, the parking window); the second
  // is the unfailed run every failed one is compared with.
  TRunResult warm = RunOnce(scenario, 0, 0);
  for (const std::string& e : warm.Escaped) ADD_FAILURE() << scenario.Name << ", unfailed run: " << e;
  std::map<TGroup, int> baseline = LiveCounts();
  const TRunResult clean = RunOnce(scenario, 0, 1);
  const int calls = s.Calls;
  figures.Calls = calls;
  for (const std::string& e : clean.Escaped) ADD_FAILURE() << scenario.Name << ", unfailed run: " << e;
  if (clean.Outcome.Reported)
    ADD_FAILURE() << scenario.Name << ": the unfailed run reported a failure: " << clean.Outcome.Message;
  if (clean.After != warm.After)
    ADD_FAILURE() << scenario.Name << ": two unfailed runs left different states:\n"
                  << warm.After << "\n--- and ---\n"
                  << clean.After;
  if (LiveCounts() != baseline) ADD_FAILURE() << scenario.Name << ", unfailed run leaks: " << LeakList(1);
  baseline = LiveCounts();

  std::map<std::string, int> failedEntries;
  // KYT_SWEEP_VERBOSE=1 prints what every failed run reported.
  const bool verbose = std::getenv("KYT_SWEEP_VERBOSE") != nullptr;
  for (int k = 1; k <= calls; ++k) {
    const TRunResult r = RunOnce(scenario, k, k + 1);
    if (!r.Came) continue;  // a run that took another path made fewer calls
    if (verbose)
      std::printf("[ SWEEP    ]   call %d (%s): %s \"%s\", result \"%s\"\n", k, r.Entry.c_str(),
                  r.Outcome.Reported ? "reported" : r.Outcome.Unreportable ? "unreportable" : "quiet",
                  r.Outcome.Message.c_str(), r.Outcome.Result.substr(0, 120).c_str());
    ++figures.Injected;
    ++failedEntries[r.Entry];
    const std::string where = scenario.Name + ", call " + std::to_string(k) + " (" + r.Entry + ") failing";
    if (!r.Escaped.empty()) {
      ++figures.Crashes;
      for (const std::string& e : r.Escaped) ADD_FAILURE() << where << ": " << e;
    }
    const std::map<TGroup, int> live = LiveCounts();
    bool leaked = false;
    for (const auto& [group, count] : live) leaked = leaked || count > baseline[group];
    if (leaked) {
      ++figures.Leaks;
      ADD_FAILURE() << where << ": leaks " << LeakList(k + 1);
    }
    baseline = live;
    if (r.After != r.Before && r.After != clean.After && r.Outcome.AsDocumented.empty()) {
      ++figures.HalfWritten;
      ADD_FAILURE() << where << ": left a state neither before nor done:\n" << r.After;
    }
    const bool changed = r.Outcome.Result != clean.Outcome.Result || r.After != clean.After;
    if (changed && !r.Outcome.Reported && !r.Outcome.Unreportable && r.Outcome.AsDocumented.empty()) {
      ++figures.Silent;
      ADD_FAILURE() << where << ": changed the result without a report (result \"" << r.Outcome.Result
                    << "\", unfailed \"" << clean.Outcome.Result << "\")";
    }
  }

  ::KillTimer(nullptr, closer.Timer);
  gCloser = nullptr;
  if (boundary) boundary(false);
  s.Installed = false;
  for (auto it = Entries().rbegin(); it != Entries().rend(); ++it) it->Uninstall();
  s.Totals += figures;

  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  std::string entries;
  for (const auto& [name, count] : failedEntries)
    entries += (entries.empty() ? "" : " ") + name.substr(name.find('.') + 1) + "x" + std::to_string(count);
  std::printf("[ SWEEP    ] %s: %d fallible calls, %d failed in turn, %d crashes, %d leaks, %d half-written, "
              "%d silent (%lld ms) [%s]\n",
              scenario.Name.c_str(), calls, figures.Injected, figures.Crashes, figures.Leaks, figures.HalfWritten,
              figures.Silent, static_cast<long long>(ms.count()), entries.c_str());
  return figures;
}

const TSweepFigures& SweepTotals() { return S().Totals; }

void PrintSweepSummary() {
  const TSweepFigures& t = S().Totals;
  if (t.Scenarios == 0) return;
  std::printf("Fault sweep: %d scenarios, %d injected failures, %d crashes, %d leaks, %d half-written states, "
              "%d silent failures\n",
              t.Scenarios, t.Injected, t.Crashes, t.Leaks, t.HalfWritten, t.Silent);
}

// ---- Persistent state

std::string FileState(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  ::CloseHandle(file);
  return text;
}

std::string FolderState(const std::string& dir) {
  std::string state;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return "<no folder>";
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = dir + "\\" + name;
    state += name + (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "\\{" + FolderState(full) + "}"
                                                                       : "=" + FileState(full)) + "\n";
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return state;
}

namespace {
void CollectValues(HKEY key, const std::string& path, std::string& out) {
  char name[16384];
  BYTE data[65536];
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
    if (::RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
    out += path + "\\" + std::string(name, nameLen) + " (" + std::to_string(type) + ") = ";
    for (DWORD b = 0; b < dataLen; ++b) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x", data[b]);
      out += hex;
    }
    out += "\n";
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = sizeof name;
    if (::RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    if (::RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    CollectValues(sub, path + "\\" + std::string(name, nameLen), out);
    ::RegCloseKey(sub);
  }
}
}  // namespace

std::string RegistryState(const std::string& key, HKEY root) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::string();
  std::string out;
  CollectValues(opened, "", out);
  ::RegCloseKey(opened);
  return out;
}

void DeleteRegistryTree(const std::string& key, HKEY root) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS) {
    char name[16384];
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
      DWORD nameLen = sizeof name;
      if (::RegEnumKeyExA(opened, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      children.emplace_back(name, nameLen);
    }
    ::RegCloseKey(opened);
    for (const std::string& child : children) DeleteRegistryTree(key + "\\" + child, root);
  }
  ::RegDeleteKeyA(root, key.c_str());
}

}  // namespace kyt::test
