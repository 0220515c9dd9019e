// DialogTestUtils: small window queries shared by the dialog tests (child lookup, rectangles in
// client coordinates, centring checks).
#ifndef KYT_TESTS_DIALOGS_DIALOGTESTUTILS_H
#define KYT_TESTS_DIALOGS_DIALOGTESTUTILS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/os/Win.h"
#include "tests/support/DialogAnswerer.h"

namespace kyt {

// The n-th direct child of parent built on the given system class ("Static", "ComboBox", ...).
inline HWND FindChild(HWND parent, const char* systemClass, int n = 0) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char real[64] = {};
    ::RealGetWindowClassA(child, real, sizeof real);
    if (_stricmp(real, systemClass) == 0 && n-- == 0) return child;
  }
  return nullptr;
}

// The button child whose caption is exactly caption.
inline HWND FindButton(HWND parent, const std::string& caption) {
  for (int i = 0;; ++i) {
    HWND button = FindChild(parent, "Button", i);
    if (!button || WindowText(button) == caption) return button;
  }
}

// A child's window rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child) {
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

inline bool HasText(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Centred within one pixel (odd differences round either way).
inline void ExpectCentredHorizontally(const RECT& r) {
  const int screen = ::GetSystemMetrics(SM_CXSCREEN);
  EXPECT_LE(std::abs(r.left - (screen - Width(r)) / 2), 1) << "left " << r.left;
}
inline void ExpectCentredVertically(const RECT& r) {
  const int screen = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs(r.top - (screen - Height(r)) / 2), 1) << "top " << r.top;
}

// Top-level windows of this process with that class name.
inline int CountTopLevelOfClass(const std::string& className) {
  int count = 0;
  for (HWND w : ProcessTopLevelWindows(false))
    if (WindowClass(w) == className) ++count;
  return count;
}

}  // namespace kyt

#endif  // KYT_TESTS_DIALOGS_DIALOGTESTUTILS_H
