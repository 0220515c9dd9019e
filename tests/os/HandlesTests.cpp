// Tests of the owning handle wrappers and scoped restorers, on real handles.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "host/os/Handles.h"
#include "tests/support/NonAscii.h"

namespace {

using kyt::os::UniqueFile;
using kyt::os::UniqueHKey;

static_assert(!std::is_copy_constructible_v<UniqueFile> && !std::is_copy_assignable_v<UniqueFile>);
static_assert(std::is_move_constructible_v<UniqueFile> && std::is_move_assignable_v<UniqueFile>);
static_assert(!std::is_copy_constructible_v<kyt::os::ScopedErrorMode>);

class Handles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kyt::test::SandboxPath("os " + std::to_string(::GetCurrentProcessId()));
    ::CreateDirectoryA(dir_.c_str(), nullptr);
    file_ = dir_ + "\\exclusive.bin";
  }
  void TearDown() override {
    ::DeleteFileA(file_.c_str());
    ::RemoveDirectoryA(dir_.c_str());
  }
  // Opens the file with no sharing: a second open fails while the first is alive.
  UniqueFile OpenExclusive() {
    return UniqueFile(::CreateFileA(file_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  std::string dir_;
  std::string file_;
};

std::vector<HKEY> g_closedKeys;
LONG WINAPI RecordingRegCloseKey(HKEY key) {
  g_closedKeys.push_back(key);
  return ::RegCloseKey(key);
}

}  // namespace

TEST_F(Handles, FileIsClosedWhenWrapperDies) {
  {
    UniqueFile first = OpenExclusive();
    ASSERT_TRUE(first);
    UniqueFile second = OpenExclusive();
    EXPECT_FALSE(second);
  }
  UniqueFile again = OpenExclusive();
  EXPECT_TRUE(again);
}

TEST_F(Handles, MoveTransfersOwnership) {
  UniqueFile target;
  EXPECT_FALSE(target);
  {
    UniqueFile source = OpenExclusive();
    ASSERT_TRUE(source);
    HANDLE raw = source.get();
    target = std::move(source);
    EXPECT_FALSE(source);  // NOLINT(bugprone-use-after-move): moved-from is empty by contract
    EXPECT_EQ(target.get(), raw);
  }
  EXPECT_FALSE(OpenExclusive()) << "the moved-to wrapper still owns the open file";
  target.reset();
  EXPECT_TRUE(OpenExclusive());
}

TEST_F(Handles, ReleaseGivesUpOwnershipWithoutClosing) {
  HANDLE raw;
  {
    UniqueFile file = OpenExclusive();
    raw = file.release();
    EXPECT_FALSE(file);
  }
  EXPECT_FALSE(OpenExclusive());
  EXPECT_TRUE(::CloseHandle(raw));
  EXPECT_TRUE(OpenExclusive());
}

TEST_F(Handles, ResetKeepsTheLastError) {
  UniqueFile file = OpenExclusive();
  ASSERT_TRUE(file);
  ::SetLastError(1234);
  file.reset();
  EXPECT_EQ(::GetLastError(), 1234u);
}

TEST(HandlesKey, KeyIsClosedThroughTheSeamExactlyOnce) {
  g_closedKeys.clear();
  kyt::os::ScopedOverride close(kyt::os::advapi32.RegCloseKey, &RecordingRegCloseKey);
  HKEY raw = nullptr;
  {
    UniqueHKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    raw = key.get();
    UniqueHKey moved(std::move(key));
    UniqueHKey assigned;
    assigned = std::move(moved);
  }
  ASSERT_EQ(g_closedKeys.size(), 1u);
  EXPECT_EQ(g_closedKeys[0], raw);
}

TEST(HandlesKey, PutClosesThePreviousKey) {
  g_closedKeys.clear();
  kyt::os::ScopedOverride close(kyt::os::advapi32.RegCloseKey, &RecordingRegCloseKey);
  UniqueHKey key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  HKEY first = key.get();
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  ASSERT_EQ(g_closedKeys.size(), 1u);
  EXPECT_EQ(g_closedKeys[0], first);
}

TEST(HandlesErrorMode, ScopedErrorModeRestoresThePreviousMode) {
  UINT before = ::SetErrorMode(0);
  ::SetErrorMode(before);
  {
    kyt::os::ScopedErrorMode mode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    UINT now = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(now & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
  }
  UINT after = ::SetErrorMode(before);
  EXPECT_EQ(after, before);
}

// A COM reference is released once, by the wrapper that holds it last, never by one moved from.
TEST(HandlesCom, ReferenceIsReleasedOnceByItsLastOwner) {
  IStream* raw = nullptr;
  ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &raw), S_OK);
  raw->AddRef();  // the test's own reference, which tells how many are left
  {
    kyt::os::UniqueCom<IStream> first(raw);
    kyt::os::UniqueCom<IStream> second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
  }
  EXPECT_EQ(raw->Release(), 0u);
}
