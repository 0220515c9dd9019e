// Fault sweep of the design tool's add and set, called in process: every fallible platform call
// of a command fails once; the command then raises with a message and leaves the form file as it
// was, or does its whole work.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/FaultSweep.h"
#include "tests/support/NonAscii.h"
#include "tools/kytdesign/Commands.h"

namespace kyt {
namespace {

using namespace test;

struct TCommandCase {
  const char* Name;
  std::vector<std::string> Prepare;  // after "new", run once to make the file the command starts from
  std::vector<std::string> Command;  // the file's place is given by "FILE"
};

class DesignToolSweep : public ::testing::TestWithParam<TCommandCase> {};

TEST_P(DesignToolSweep, ACommandChangesTheFileWholeOrRaisesAndLeavesIt) {
  const std::string folder = SandboxPath(std::string("tools sweep ") + GetParam().Name);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string file = folder + "\\Unit1.kfm";
  auto withFile = [&](std::vector<std::string> args) {
    for (std::string& a : args)
      if (a == "FILE") a = file;
    return args;
  };
  std::ostringstream ignored;
  ::DeleteFileA(file.c_str());
  RunDesignCommand({"new", file}, ignored);
  if (!GetParam().Prepare.empty()) RunDesignCommand(withFile(GetParam().Prepare), ignored);
  const std::string start = FileState(file);
  TFaultScenario s{std::string("kytdesign.") + GetParam().Name,
                   [&](const TFaultRun&) {
                     std::ostringstream out;
                     TFaultOutcome outcome = Raises([&] { RunDesignCommand(withFile(GetParam().Command), out); });
                     outcome.Result = out.str();
                     return outcome;
                   },
                   [&] { return FolderState(folder); },
                   [&] {
                     HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                     DWORD written = 0;
                     ::WriteFile(h, start.data(), static_cast<DWORD>(start.size()), &written, nullptr);
                     ::CloseHandle(h);
                     ::DeleteFileA((file + ".kytdesign-tmp").c_str());
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  ::DeleteFileA(file.c_str());
  ::DeleteFileA((file + ".kytdesign-tmp").c_str());
  ::RemoveDirectoryA(folder.c_str());
}

INSTANTIATE_TEST_SUITE_P(Commands, DesignToolSweep,
                         ::testing::Values(TCommandCase{"add", {}, {"add", "FILE", "TKYTFormHook", "Hook1"}},
                                           TCommandCase{"set",
                                                        {"add", "FILE", "TKYTFormHook", "Hook1"},
                                                        {"set", "FILE", "Hook1.Tag", "5"}}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace kyt
