// KYTTSystemKeys: the keyboard lock states through the thread's keyboard-state table.
#include "system/KYTTSystemKeys.h"

#include <array>

#include "host/os/OsSeam.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTSystemKeys::StaticClass());
  return true;
}();

using TKeyboardTable = std::array<BYTE, 256>;
constexpr BYTE kToggled = 0x01;

// The table, or false when the platform could not give it (the table is then all zero).
bool ReadTable(TKeyboardTable& table) {
  table.fill(0);
  return os::user32.GetKeyboardState(table.data()) != FALSE;
}
}  // namespace

TKYTSystemKeys::TKYTSystemKeys(TComponent* AOwner) : inherited(AOwner) {
  TKeyboardTable table;
  if (!ReadTable(table)) return;
  FCapsLock = table[VK_CAPITAL] & kToggled;
  FNumLock = table[VK_NUMLOCK] & kToggled;
  FScrollLock = table[VK_SCROLL] & kToggled;
}

void TKYTSystemKeys::WriteLock(int virtualKey, bool on) {
  TKeyboardTable table;
  if (!ReadTable(table)) return;
  table[virtualKey] = on ? kToggled : 0;
  os::user32.SetKeyboardState(table.data());
}

void TKYTSystemKeys::SetCapsLock(bool value) {
  WriteLock(VK_CAPITAL, value);
  FCapsLock = value;
}

void TKYTSystemKeys::SetNumLock(bool value) {
  WriteLock(VK_NUMLOCK, value);
  FNumLock = value;
}

void TKYTSystemKeys::SetScrollLock(bool value) {
  WriteLock(VK_SCROLL, value);
  FScrollLock = value;
}

}  // namespace kyt
