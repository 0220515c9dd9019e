// TestMain.cpp: the GoogleTest entry point of every Windows test executable.
#include <cstdio>

#include <gtest/gtest.h>

#include "host/os/Win.h"
#include "tests/support/HeapCheck.h"

namespace kyt::test {
void PrintSweepSummary();  // FaultSweep.h; declared here so the main needs no runtime headers
}  // namespace kyt::test

namespace {

// A write into a freed block during a test ends the run at that test, not some tests later.
class TFreedBlockCheck : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { kyt::CheckFreedBlocks(); }
};

// The program's last line sums the fault sweeps it ran, if any.
class TSweepSummary : public ::testing::EmptyTestEventListener {
  void OnTestProgramEnd(const ::testing::UnitTest&) override { kyt::test::PrintSweepSummary(); }
};

}  // namespace

int main(int argc, char** argv) {
  // A crash or a missing medium must fail the test, never wait on an error box.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // Output reaches the CTest log promptly even when the run is cut short.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  // Every test runs as the package's applications do: with the UTF-8 manifest.
  if (::GetACP() != CP_UTF8) {
    std::printf("TestMain: the process's code page is %u, not UTF-8: the manifest is missing\n", ::GetACP());
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TFreedBlockCheck);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TSweepSummary);
  return RUN_ALL_TESTS();
}
