// Tests of the system keys on this thread's real keyboard-state table, which each test puts back
// as it found it.
#include "system/KYTTSystemKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/support/SeamOverride.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

using TTable = std::array<BYTE, 256>;

TTable CurrentTable() {
  TTable t{};
  ::GetKeyboardState(t.data());
  return t;
}

int gWrites = 0;
BOOL WINAPI CountingSetKeyboardState(LPBYTE table) {
  ++gWrites;
  return ::SetKeyboardState(table);
}
// A read that fails after scribbling over the caller's buffer.
BOOL WINAPI FailingGetKeyboardState(PBYTE table) {
  std::fill(table, table + 256, BYTE{0xFF});
  return FALSE;
}

class SystemKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = CurrentTable();
    gWrites = 0;
  }
  void TearDown() override { ::SetKeyboardState(saved.data()); }

  // Sets the three lock entries of the table (and nothing else).
  void SetLocks(BYTE caps, BYTE num, BYTE scroll) {
    TTable t = CurrentTable();
    t[VK_CAPITAL] = caps;
    t[VK_NUMLOCK] = num;
    t[VK_SCROLL] = scroll;
    ::SetKeyboardState(t.data());
  }

  TTable saved{};
  TComponent owner{nullptr};
};

TEST_F(SystemKeys, ReadsEachLockByItsToggleBitAtConstruction) {
  SetLocks(0x01, 0x00, 0x80);  // Caps on; Scroll held down but off
  TKYTSystemKeys keys(&owner);
  EXPECT_TRUE(keys.CapsLock());
  EXPECT_FALSE(keys.NumLock());
  EXPECT_FALSE(keys.ScrollLock());
  SetLocks(0x00, 0x81, 0x01);
  TKYTSystemKeys again(&owner);
  EXPECT_FALSE(again.CapsLock());
  EXPECT_TRUE(again.NumLock());
  EXPECT_TRUE(again.ScrollLock());
  EXPECT_TRUE(keys.CapsLock()) << "a later change of the table is not followed";
}

TEST_F(SystemKeys, SettingALockWritesOnlyItsEntry) {
  SetLocks(0x81, 0x01, 0x00);
  TTable before = CurrentTable();
  // reference example: TKYTSystemKeys
  TKYTSystemKeys keys(&owner);
  keys.SetNumLock(false);
  // end of reference example
  TTable after = CurrentTable();
  EXPECT_EQ(after[VK_NUMLOCK], 0);
  EXPECT_EQ(::GetKeyState(VK_NUMLOCK) & 1, 0);
  before[VK_NUMLOCK] = 0;
  EXPECT_EQ(after, before);
  EXPECT_FALSE(keys.NumLock());

  keys.SetCapsLock(true);  // the held-down bit goes, the toggle stays
  EXPECT_EQ(CurrentTable()[VK_CAPITAL], 0x01);
  keys.SetScrollLock(true);
  EXPECT_EQ(CurrentTable()[VK_SCROLL], 0x01);
  EXPECT_EQ(::GetKeyState(VK_SCROLL) & 1, 1);
  EXPECT_TRUE(keys.ScrollLock());
}

TEST_F(SystemKeys, SettingTheSameValueStillRewritesTheTable) {
  SetLocks(0x00, 0x00, 0x01);
  TKYTSystemKeys keys(&owner);
  os::ScopedOverride count(os::user32.SetKeyboardState, &CountingSetKeyboardState);
  keys.SetScrollLock(true);
  keys.SetScrollLock(true);
  EXPECT_EQ(gWrites, 2);
}

TEST_F(SystemKeys, AFailedReadNeverWritesTheTable) {
  SetLocks(0x01, 0x01, 0x01);
  const TTable before = CurrentTable();
  os::ScopedOverride fail(os::user32.GetKeyboardState, &FailingGetKeyboardState);
  os::ScopedOverride count(os::user32.SetKeyboardState, &CountingSetKeyboardState);
  TKYTSystemKeys keys(&owner);
  EXPECT_FALSE(keys.CapsLock());
  EXPECT_FALSE(keys.NumLock());
  EXPECT_FALSE(keys.ScrollLock());
  keys.SetCapsLock(true);
  EXPECT_TRUE(keys.CapsLock()) << "the property still takes the value given";
  EXPECT_EQ(gWrites, 0);
  EXPECT_EQ(CurrentTable(), before);
}

TEST_F(SystemKeys, NothingIsStoredSoLoadingAFormSwitchesNoLock) {
  RegisterClasses({&TSystemTestForm::StaticClass(), &TKYTSystemKeys::StaticClass()});
  SetLocks(0x01, 0x01, 0x00);
  TSystemTestForm root(nullptr);
  root.SetDesigning(true);
  (new TKYTSystemKeys(&root))->SetName("Keys");
  const std::string text = FormText(root);
  EXPECT_EQ(text.find("Lock"), std::string::npos) << text;
  SetLocks(0x00, 0x00, 0x01);
  const TTable before = CurrentTable();
  TSystemTestForm loaded(nullptr);
  ReadFormText(loaded, text);
  auto* keys = ObjectCast<TKYTSystemKeys>(loaded.FindComponent("Keys"));
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(CurrentTable(), before);
  EXPECT_FALSE(keys->CapsLock());
  EXPECT_TRUE(keys->ScrollLock());
}

}  // namespace
}  // namespace kyt
