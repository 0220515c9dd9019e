// SeamCalls: counts the platform calls a piece of work makes through the OS seam, so a ratio can
// be read beside what does not vary from run to run: how many calls each side makes.
#ifndef KYT_BENCH_SEAMCALLS_H
#define KYT_BENCH_SEAMCALLS_H

#include <type_traits>

#include "host/os/OsSeam.h"

namespace kyt::bench {

inline long gSeamCalls = 0;

// One counting trampoline per entry; WINAPI pointers only, so on i686 the convention is kept.
template <auto& Table, auto Member, class Fn = std::remove_reference_t<decltype(Table.*Member)>>
struct TCountedEntry {
  static_assert(sizeof(Fn) == 0, "only WINAPI entries are counted");
};

template <auto& Table, auto Member, class R, class... A>
struct TCountedEntry<Table, Member, R(WINAPI*)(A...)> {
  static inline R(WINAPI* Next)(A...) = nullptr;
  static R WINAPI Call(A... a) {
    ++gSeamCalls;
    return Next(a...);
  }
  static void Install() {
    Next = Table.*Member;
    Table.*Member = &Call;
  }
  static void Uninstall() { Table.*Member = Next; }
};

// While in scope, every call of the listed entries counts in gSeamCalls.
template <class... Entries>
class TSeamCounting {
 public:
  TSeamCounting() { (Entries::Install(), ...); }
  ~TSeamCounting() { (Entries::Uninstall(), ...); }
  TSeamCounting(const TSeamCounting&) = delete;
  TSeamCounting& operator=(const TSeamCounting&) = delete;
};

// The registry calls of advapi32.
using TRegistryCounting = TSeamCounting<
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegCloseKey>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegCreateKeyExA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegDeleteKeyA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegDeleteValueA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegEnumKeyExA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegEnumValueA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegFlushKey>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegOpenKeyExA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegQueryInfoKeyA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegQueryValueExA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegQueryValueExW>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegSetValueExA>,
    TCountedEntry<os::advapi32, &os::Advapi32Table::RegSetValueExW>>;

// The window enumeration and window text calls of user32.
using TWindowCounting = TSeamCounting<
    TCountedEntry<os::user32, &os::User32Table::EnumWindows>,
    TCountedEntry<os::user32, &os::User32Table::GetClassNameA>,
    TCountedEntry<os::user32, &os::User32Table::GetWindowTextA>>;

// Calls per operation of work() run operations times, counted by Counting.
template <class Counting, class Work>
double CallsPerOperation(int operations, Work&& work) {
  Counting counting;
  const long before = gSeamCalls;
  work();
  return operations > 0 ? static_cast<double>(gSeamCalls - before) / operations : 0;
}

}  // namespace kyt::bench

#endif
