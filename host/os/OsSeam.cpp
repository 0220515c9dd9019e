// OsSeam.cpp: the tables' single definitions.
// The constructors are out of line and not constexpr so that every entry holds the imported
// address itself (what `&::Name` yields in any other unit), not the import thunk a constant
// initialiser would take. The tables are built before ordinary static objects (init_priority)
// because other units may call the seam from their own static constructors.
#include "host/os/OsSeam.h"

namespace kyt::os {

#if defined(__GNUC__)
#define KYT_OS_EARLY __attribute__((init_priority(101)))
#else
#define KYT_OS_EARLY
#endif

User32Table::User32Table() = default;
Gdi32Table::Gdi32Table() = default;
Kernel32Table::Kernel32Table() = default;
Advapi32Table::Advapi32Table() = default;
Shell32Table::Shell32Table() = default;
VersionTable::VersionTable() = default;
WinmmTable::WinmmTable() = default;
Comctl32Table::Comctl32Table() = default;
Comdlg32Table::Comdlg32Table() = default;
Ole32Table::Ole32Table() = default;

User32Table user32 KYT_OS_EARLY;
Gdi32Table gdi32 KYT_OS_EARLY;
Kernel32Table kernel32 KYT_OS_EARLY;
Advapi32Table advapi32 KYT_OS_EARLY;
Shell32Table shell32 KYT_OS_EARLY;
VersionTable version KYT_OS_EARLY;
WinmmTable winmm KYT_OS_EARLY;
Comctl32Table comctl32 KYT_OS_EARLY;
Comdlg32Table comdlg32 KYT_OS_EARLY;
Ole32Table ole32 KYT_OS_EARLY;

// Compile-time checks of the seam's shape and of records whose sizes callers rely on.
static_assert(std::is_same_v<decltype(User32Table::GetWindowLongPtrA), LONG_PTR(WINAPI*)(HWND, int)>);
static_assert(
    std::is_same_v<decltype(User32Table::SetWindowLongPtrA), LONG_PTR(WINAPI*)(HWND, int, LONG_PTR)>);
static_assert(!std::is_copy_constructible_v<ScopedOverride<decltype(User32Table::MessageBeep)>>);
static_assert(!std::is_move_constructible_v<ScopedOverride<decltype(User32Table::MessageBeep)>>);
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(SYSTEMTIME) == 16);
static_assert(sizeof(FILETIME) == 8);
static_assert(sizeof(LONG_PTR) == sizeof(void*));
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*));
#ifdef _WIN64
static_assert(sizeof(MEMORYSTATUS) == 56);
#else
static_assert(sizeof(MEMORYSTATUS) == 32);
#endif

}  // namespace kyt::os
