// WinUtils: the window message record, methods turned into real window procedures
// (object instances) and hidden utility windows whose messages go to a method.
#ifndef KYT_HOST_VCL_WINUTILS_H
#define KYT_HOST_VCL_WINUTILS_H

#include <functional>

#include "host/os/Handles.h"
#include "host/os/Win.h"

namespace kyt {

class TObject;

// The platform's message record with the target's widths (WPARAM/LPARAM carry pointers on x86_64).
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A method that handles one message and leaves the window procedure's result in Result.
// Bind a member with a lambda ([this](TMessage& m) { WndProc(m); }) or a TEvent<TMessage&>.
using TWndMethod = std::function<void(TMessage&)>;

// Number of object instances that can be alive at once.
inline constexpr int kMaxObjectInstances = 2048;

// Methods

// Returns a real WNDPROC that fills a TMessage (Result 0) for each call, calls method with it
// and returns its Result. The window handle is not passed: the method's object knows its window.
// An exception escaping the method is handed to Application->HandleException at this boundary.
// Raises EOutOfResources when every instance is in use.
WNDPROC MakeObjectInstance(TWndMethod method);
// Releases an instance; null and pointers that are not instances are ignored. Releasing an
// instance while its method runs is allowed: the method is dropped once that call returns.
void FreeObjectInstance(WNDPROC instance);
// Instances currently handed out (for tests and diagnostics).
int ObjectInstanceCount();

// Creates a hidden top-level window (class "TPUtilWindow") whose every message after creation
// goes to method. The method does default handling itself, typically
// `m.Result = DefWindowProcA(handle, m.Msg, m.WParam, m.LParam)` for messages it ignores.
HWND AllocateHWnd(TWndMethod method);
// Destroys a window made by AllocateHWnd and releases its instance; its method sees no more
// messages (not even WM_DESTROY). Null is ignored.
void DeallocateHWnd(HWND window);

namespace detail {
struct UtilWindowCloser {
  static HWND Empty() noexcept { return nullptr; }
  static void Close(HWND window) noexcept { DeallocateHWnd(window); }
};
}  // namespace detail
// Owns a window made by AllocateHWnd.
using UniqueUtilWindow = os::UniqueHandle<HWND, detail::UtilWindowCloser>;

// For catch blocks at Win32 boundaries (window procedures, timer and enumeration callbacks):
// hands the exception being handled to Application->HandleException(sender). Never throws.
void HandleBoundaryException(TObject* sender) noexcept;

}  // namespace kyt

#endif  // KYT_HOST_VCL_WINUTILS_H
