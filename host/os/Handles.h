// Handles.h: owning wrappers for OS handles, all from one template, plus scoped restorers for
// temporary OS state (a selected GDI object, a borrowed DC, the error mode).
// Closers call through the OS seam and keep GetLastError intact for the caller.
#ifndef KYT_HOST_OS_HANDLES_H
#define KYT_HOST_OS_HANDLES_H

#include <type_traits>
#include <utility>

#include "host/os/OsSeam.h"

namespace kyt::os {

// A Closer provides `static H Empty() noexcept` (the value that means "no handle") and
// `static void Close(H) noexcept` (called only for non-empty handles).
template <class H, class Closer>
class UniqueHandle {
 public:
  using handle_type = H;

  UniqueHandle() noexcept : h_(Closer::Empty()) {}
  explicit UniqueHandle(H h) noexcept : h_(h) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  // Methods

  H get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != Closer::Empty(); }

  // Gives the handle up without closing it.
  H release() noexcept { return std::exchange(h_, Closer::Empty()); }

  // Closes the current handle (if any) and takes h; the last error survives the close.
  void reset(H h = Closer::Empty()) noexcept {
    H old = std::exchange(h_, h);
    if (old != Closer::Empty()) {
      DWORD err = kernel32.GetLastError();
      Closer::Close(old);
      kernel32.SetLastError(err);
    }
  }

  // Closes the current handle and returns the address to receive a new one (out-parameters).
  H* put() noexcept {
    reset();
    return &h_;
  }

 private:
  H h_;
};

namespace detail {
template <class H>
struct NullEmpty {
  static H Empty() noexcept { return H{}; }
};
struct InvalidHandleEmpty {
  static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
};
struct HKeyCloser : NullEmpty<HKEY> {
  static void Close(HKEY h) noexcept { advapi32.RegCloseKey(h); }
};
struct FindCloser : InvalidHandleEmpty {
  static void Close(HANDLE h) noexcept { kernel32.FindClose(h); }
};
struct FileCloser : InvalidHandleEmpty {
  static void Close(HANDLE h) noexcept { kernel32.CloseHandle(h); }
};
struct HandleObjCloser : NullEmpty<HANDLE> {
  static void Close(HANDLE h) noexcept { kernel32.CloseHandle(h); }
};
struct HIconCloser : NullEmpty<HICON> {
  static void Close(HICON h) noexcept { user32.DestroyIcon(h); }
};
struct HMenuCloser : NullEmpty<HMENU> {
  static void Close(HMENU h) noexcept { user32.DestroyMenu(h); }
};
struct HWndCloser : NullEmpty<HWND> {
  static void Close(HWND h) noexcept { user32.DestroyWindow(h); }
};
template <class G>
struct GdiCloser : NullEmpty<G> {
  static void Close(G h) noexcept { gdi32.DeleteObject(h); }
};
struct HDCDeleter : NullEmpty<HDC> {
  static void Close(HDC h) noexcept { gdi32.DeleteDC(h); }
};
struct HGlobalCloser : NullEmpty<HGLOBAL> {
  static void Close(HGLOBAL h) noexcept { kernel32.GlobalFree(h); }
};
struct HModuleCloser : NullEmpty<HMODULE> {
  static void Close(HMODULE h) noexcept { kernel32.FreeLibrary(h); }
};
template <class I>
struct ComReleaser : NullEmpty<I*> {
  static void Close(I* p) noexcept { p->Release(); }
};
}  // namespace detail

using UniqueHKey = UniqueHandle<HKEY, detail::HKeyCloser>;
using UniqueFindHandle = UniqueHandle<HANDLE, detail::FindCloser>;    // FindFirstFileA
using UniqueFile = UniqueHandle<HANDLE, detail::FileCloser>;          // CreateFileA
using UniqueHandleObj = UniqueHandle<HANDLE, detail::HandleObjCloser>; // processes, mutexes, events
using UniqueHIcon = UniqueHandle<HICON, detail::HIconCloser>;
using UniqueHMenu = UniqueHandle<HMENU, detail::HMenuCloser>;
using UniqueHWnd = UniqueHandle<HWND, detail::HWndCloser>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, detail::GdiCloser<HGDIOBJ>>;
template <class G>
using UniqueGdi = UniqueHandle<G, detail::GdiCloser<G>>;  // typed: UniqueGdi<HFONT>
using UniqueHFont = UniqueGdi<HFONT>;
using UniqueHBrush = UniqueGdi<HBRUSH>;
using UniqueHPen = UniqueGdi<HPEN>;
using UniqueHBitmap = UniqueGdi<HBITMAP>;
using UniqueHRgn = UniqueGdi<HRGN>;
using UniqueHDC = UniqueHandle<HDC, detail::HDCDeleter>;  // CreateCompatibleDC (not GetDC)
using UniqueHGlobal = UniqueHandle<HGLOBAL, detail::HGlobalCloser>;
using UniqueHModule = UniqueHandle<HMODULE, detail::HModuleCloser>;  // LoadLibraryA
template <class I>
using UniqueCom = UniqueHandle<I*, detail::ComReleaser<I>>;  // one reference to a COM interface

static_assert(!std::is_copy_constructible_v<UniqueHKey> && !std::is_copy_assignable_v<UniqueHKey>);
static_assert(std::is_nothrow_move_constructible_v<UniqueHKey> &&
              std::is_nothrow_move_assignable_v<UniqueHKey>);
static_assert(!std::is_copy_constructible_v<UniqueFile>);
static_assert(sizeof(UniqueHKey) == sizeof(HKEY));

// A DC borrowed with GetDC and given back with ReleaseDC (window 0 = the screen).
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND wnd) noexcept : wnd_(wnd), dc_(user32.GetDC(wnd)) {}
  ~ScopedWindowDC() {
    if (dc_) user32.ReleaseDC(wnd_, dc_);
  }
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND wnd_;
  HDC dc_;
};

// Selects a GDI object into a DC for the scope and selects the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(gdi32.SelectObject(dc, obj)) {}
  ~ScopedSelectObject() {
    if (old_ && old_ != HGDI_ERROR) gdi32.SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Sets a DC's drawing mode (SetROP2) for the scope and puts the previous one back.
class ScopedROP2 {
 public:
  ScopedROP2(HDC dc, int mode) noexcept : dc_(dc), old_(gdi32.SetROP2(dc, mode)) {}
  ~ScopedROP2() {
    if (old_) gdi32.SetROP2(dc_, old_);
  }
  ScopedROP2(const ScopedROP2&) = delete;
  ScopedROP2& operator=(const ScopedROP2&) = delete;

 private:
  HDC dc_;
  int old_;
};

// Sets the process error mode for the scope (e.g. SEM_FAILCRITICALERRORS around a drive probe).
class ScopedErrorMode {
 public:
  explicit ScopedErrorMode(UINT mode) noexcept : old_(kernel32.SetErrorMode(mode)) {}
  ~ScopedErrorMode() { kernel32.SetErrorMode(old_); }
  ScopedErrorMode(const ScopedErrorMode&) = delete;
  ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

 private:
  UINT old_;
};

}  // namespace kyt::os

#endif  // KYT_HOST_OS_HANDLES_H
