// StartProcess.h: CreateProcessA for tests that run a program of the project as a child.
#ifndef KYT_TESTS_SUPPORT_STARTPROCESS_H
#define KYT_TESTS_SUPPORT_STARTPROCESS_H

#include <string>

#include "host/os/Win.h"

namespace kyt {

// Starts commandLine in folder (empty: this process's current folder). Under a loaded Wine a
// start is now and then refused at once; that is never what a test is about, so a refused start
// is tried again a few times. Returns 0 once started, else the last start's error code.
DWORD StartProcess(const std::string& commandLine, const std::string& folder, STARTUPINFOA& si,
                   PROCESS_INFORMATION& pi, bool inheritHandles);

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_STARTPROCESS_H
