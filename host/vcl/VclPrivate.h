// VclPrivate: internals shared by the units of the visual runtime. Private: not for components.
#ifndef KYT_HOST_VCL_VCLPRIVATE_H
#define KYT_HOST_VCL_VCLPRIVATE_H

#include <string>
#include <vector>

#include "host/os/Win.h"

namespace kyt::vcl_private {

// The module the runtime registers its window classes in.
HINSTANCE Instance();
// Registers a window class of the runtime once (a class already registered is fine).
void RegisterOwnClass(const std::string& name, WNDPROC proc, UINT style, HBRUSH background);
// Disables the enabled, visible top-level windows of this thread except keep; returns them.
std::vector<HWND> DisableTaskWindows(HWND keep);
void EnableTaskWindows(const std::vector<HWND>& windows);

// Scoped re-enabling of windows disabled by DisableTaskWindows.
class TaskWindowsDisabler {
 public:
  explicit TaskWindowsDisabler(HWND keep) : FWindows(DisableTaskWindows(keep)) {}
  ~TaskWindowsDisabler() { EnableTaskWindows(FWindows); }
  TaskWindowsDisabler(const TaskWindowsDisabler&) = delete;
  TaskWindowsDisabler& operator=(const TaskWindowsDisabler&) = delete;

 private:
  std::vector<HWND> FWindows;
};

}  // namespace kyt::vcl_private

#endif  // KYT_HOST_VCL_VCLPRIVATE_H
