// KYTTResourceInfo: the refresh of every figure and the timer that repeats it.
#include "system/KYTTResourceInfo.h"

#include <cmath>

#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/rtl/DateTime.h"
#include "host/vcl/ExtCtrls.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTResourceInfo::StaticClass());
  return true;
}();

constexpr uint32_t kInterval = 1000;
constexpr int64_t kDriveUnit = 1024000;

std::string Truncated(double value, const char* unit) {
  return std::to_string(static_cast<int64_t>(std::trunc(value))) + unit;
}

}  // namespace

TKYTResourceInfo::TKYTResourceInfo(TComponent* AOwner) : TKYTSystemsComponent(AOwner) {
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TKYTResourceInfo::CheckInfo>(this));
  SetAll();
}

// The timer goes first, so no tick reaches a component being destroyed.
TKYTResourceInfo::~TKYTResourceInfo() {
  delete FTimer;
  FTimer = nullptr;
}

std::string TKYTResourceInfo::DriveText(int64_t bytes) { return std::to_string(bytes / kDriveUnit) + " MB"; }

std::string TKYTResourceInfo::PageFileText(uint64_t total, uint64_t available) {
  return Truncated(static_cast<double>(total) / 1024 / 1024 - static_cast<double>(available) / 1024 / 1024, " MB");
}

std::string TKYTResourceInfo::VirtualMemText(uint64_t total, uint64_t available) {
  return Truncated(static_cast<double>(total) / 1024 - static_cast<double>(available) / 1024, " KB");
}

void TKYTResourceInfo::SetAll(const std::string&) {
  ReadMemory();
  ReadLocks();
  ReadDrive();
  if (FTimer->Interval() != kInterval) FTimer->SetInterval(kInterval);
  if (!FTimer->Enabled()) FTimer->SetEnabled(true);
  // One reading of the clock: two would pair the old time with the new date across midnight.
  const TDateTime clock = Now();
  FCurrentTime = TimeToStr(clock);
  FCurrentDate = DateToStr(clock);
}

void TKYTResourceInfo::ReadMemory() {
  FMemoryStatus = MEMORYSTATUS{};
  FMemoryStatus.dwLength = sizeof FMemoryStatus;
  os::kernel32.GlobalMemoryStatus(&FMemoryStatus);
  const MEMORYSTATUS& m = FMemoryStatus;
  FMemoryPercInUse = std::to_string(m.dwMemoryLoad) + " Percent";
  FPhysMemTotal = std::to_string(static_cast<uint64_t>(m.dwTotalPhys) / 1024) + " KB";
  FPhysMemFree = std::to_string(static_cast<uint64_t>(m.dwAvailPhys) / 1024) + " KB";
  FPageFileUsed = PageFileText(m.dwTotalPageFile, m.dwAvailPageFile);
  FVirtualMemUsed = VirtualMemText(m.dwTotalVirtual, m.dwAvailVirtual);
}

void TKYTResourceInfo::ReadLocks() {
  SetNum(false);
  Setcaps(false);
  SetScroll(false);
}

// Both figures come from one query of the current drive; an unreadable drive counts as -1
// bytes, which the unit turns into 0.
void TKYTResourceInfo::ReadDrive() {
  ULARGE_INTEGER available{}, total{};
  bool ok;
  {
    os::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ok = os::kernel32.GetDiskFreeSpaceExA(nullptr, &available, &total, nullptr);
  }
  FCurrDriveFree = DriveText(ok ? static_cast<int64_t>(available.QuadPart) : -1);
  FCurrDriveSize = DriveText(ok ? static_cast<int64_t>(total.QuadPart) : -1);
}

void TKYTResourceInfo::Setcaps(bool) { FCapsLock = os::user32.GetKeyState(VK_CAPITAL) & 1; }
void TKYTResourceInfo::SetNum(bool) { FNumLock = os::user32.GetKeyState(VK_NUMLOCK) & 1; }
void TKYTResourceInfo::SetScroll(bool) { FScrollLock = os::user32.GetKeyState(VK_SCROLL) & 1; }

void TKYTResourceInfo::CheckInfo(TObject*) {
  SetAll();
  if (FOnNewValues) FOnNewValues(this);
}

}  // namespace kyt
