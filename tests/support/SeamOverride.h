// SeamOverride.h: lets a test replace one OS-seam entry for a scope:
//   kyt::os::ScopedOverride o(kyt::os::user32.MessageBeep, &FakeBeep);
#ifndef KYT_TESTS_SUPPORT_SEAMOVERRIDE_H
#define KYT_TESTS_SUPPORT_SEAMOVERRIDE_H

#if __has_include("host/os/OsSeam.h")
#include "host/os/OsSeam.h"

namespace kyt {
using os::ScopedOverride;
}  // namespace kyt
#endif

#endif  // KYT_TESTS_SUPPORT_SEAMOVERRIDE_H
