// Tests of the OS seam: scoped overrides record calls and put the previous entry back.
#include <gtest/gtest.h>

#include <vector>

#include "host/os/OsSeam.h"

namespace {

std::vector<UINT> g_beeps;

BOOL WINAPI FakeBeep(UINT type) {
  g_beeps.push_back(type);
  return TRUE;
}

BOOL WINAPI OtherFakeBeep(UINT type) {
  g_beeps.push_back(type + 1);
  return FALSE;
}

}  // namespace

TEST(OsSeam, EntriesDefaultToTheRealFunctions) {
  EXPECT_EQ(kyt::os::user32.MessageBeep, &::MessageBeep);
  EXPECT_EQ(kyt::os::kernel32.GetTickCount, &::GetTickCount);
  EXPECT_EQ(kyt::os::advapi32.RegOpenKeyExA, &::RegOpenKeyExA);
  EXPECT_EQ(kyt::os::shell32.SHFileOperationA, &::SHFileOperationA);
  EXPECT_EQ(kyt::os::version.VerQueryValueA, &::VerQueryValueA);
  EXPECT_EQ(kyt::os::winmm.sndPlaySoundA, &::sndPlaySoundA);
  EXPECT_EQ(kyt::os::gdi32.SetROP2, &::SetROP2);
  EXPECT_EQ(kyt::os::ole32.CoCreateInstance, &::CoCreateInstance);
}

TEST(OsSeam, OverrideRecordsCallAndRestoresEntry) {
  g_beeps.clear();
  {
    kyt::os::ScopedOverride beep(kyt::os::user32.MessageBeep, &FakeBeep);
    EXPECT_TRUE(kyt::os::user32.MessageBeep(MB_ICONHAND));
    EXPECT_EQ(beep.Previous(), &::MessageBeep);
  }
  ASSERT_EQ(g_beeps.size(), 1u);
  EXPECT_EQ(g_beeps[0], static_cast<UINT>(MB_ICONHAND));
  EXPECT_EQ(kyt::os::user32.MessageBeep, &::MessageBeep);
}

TEST(OsSeam, NestedOverridesRestoreInReverseOrder) {
  g_beeps.clear();
  {
    kyt::os::ScopedOverride outer(kyt::os::user32.MessageBeep, &FakeBeep);
    {
      kyt::os::ScopedOverride inner(kyt::os::user32.MessageBeep, &OtherFakeBeep);
      EXPECT_FALSE(kyt::os::user32.MessageBeep(10));
    }
    EXPECT_EQ(kyt::os::user32.MessageBeep, &FakeBeep);
    EXPECT_TRUE(kyt::os::user32.MessageBeep(10));
  }
  EXPECT_EQ(kyt::os::user32.MessageBeep, &::MessageBeep);
  EXPECT_EQ(g_beeps, (std::vector<UINT>{11, 10}));
}

TEST(OsSeam, OverrideAcceptsCapturelessLambda) {
  static DWORD fakeTicks = 0;
  {
    kyt::os::ScopedOverride ticks(kyt::os::kernel32.GetTickCount,
                                  []() -> DWORD WINAPI { return ++fakeTicks; });
    EXPECT_EQ(kyt::os::kernel32.GetTickCount(), 1u);
    EXPECT_EQ(kyt::os::kernel32.GetTickCount(), 2u);
  }
  EXPECT_EQ(kyt::os::kernel32.GetTickCount, &::GetTickCount);
}

TEST(OsSeam, WindowLongPtrEntriesStoreAPointerSizedValue) {
  HWND wnd = kyt::os::user32.CreateWindowExA(0, "STATIC", "seam", WS_POPUP, 0, 0, 10, 10, nullptr,
                                             nullptr, nullptr, nullptr);
  if (!wnd) GTEST_SKIP() << "no display: CreateWindowExA failed with " << ::GetLastError();
  static int marker = 0;
  LONG_PTR value = reinterpret_cast<LONG_PTR>(&marker);
  kyt::os::user32.SetWindowLongPtrA(wnd, GWLP_USERDATA, value);
  EXPECT_EQ(kyt::os::user32.GetWindowLongPtrA(wnd, GWLP_USERDATA), value);
  kyt::os::user32.DestroyWindow(wnd);
}

namespace {
// Captured by a static constructor of this unit: the seam is ready before ordinary static objects.
struct EarlyCaller {
  EarlyCaller() : tick(kyt::os::kernel32.GetTickCount), ticks(tick ? tick() : 0) {}
  decltype(kyt::os::kernel32.GetTickCount) tick;
  DWORD ticks;
};
EarlyCaller g_early;
}  // namespace

TEST(OsSeam, TablesAreReadyForStaticConstructors) {
  EXPECT_EQ(g_early.tick, &::GetTickCount);
  EXPECT_NE(g_early.ticks, 0u);
}
