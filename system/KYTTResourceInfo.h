// KYTTResourceInfo: live resource figures (memory load and use, page file, virtual memory, space
// on the current drive, the lock keys, time and date) refreshed once a second.
#ifndef KYT_SYSTEM_KYTTRESOURCEINFO_H
#define KYT_SYSTEM_KYTTRESOURCEINFO_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/os/Win.h"

namespace kyt {

class TTimer;

// The drive figures count units of 1,024,000 bytes and call them "MB", as the family does, so
// they read about 2.4 % above true mebibytes. The owned timer ticks every second from the
// constructor on, in the designer too; each tick refreshes every figure, then raises
// OnNewValues. Refreshes caused by assignments raise nothing.
class TKYTResourceInfo : public TKYTSystemsComponent {
  KYT_CLASS(TKYTResourceInfo, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTResourceInfo>& p) {
    using C = TKYTResourceInfo;
    const auto text = [&](const char* name, auto getter) {
      p.Property(name, getter, &C::SetAll).Stored(TStored::Never);
    };
    // The time at the last refresh.
    text("CurrentTime", &C::CurrentTime);
    // The date at the last refresh.
    text("CurrentDate", &C::CurrentDate);
    // Fired once a second, after every value was refreshed.
    p.Property("OnNewValues", &C::OnNewValues, &C::SetOnNewValues);
    // The free space of the current drive, in MB.
    text("CurrDriveFree", &C::CurrDriveFree);
    // The size of the current drive, in MB.
    text("CurrDriveSize", &C::CurrDriveSize);
    // Whether Caps Lock is on.
    p.Property("CapsLock", &C::CapsLock, &C::Setcaps).Stored(TStored::Never);
    // Whether Num Lock is on.
    p.Property("NumLock", &C::NumLock, &C::SetNum).Stored(TStored::Never);
    // Whether Scroll Lock is on.
    p.Property("ScrollLock", &C::ScrollLock, &C::SetScroll).Stored(TStored::Never);
    // How much of the memory is in use, in per cent.
    text("MemoryPercInUse", &C::MemoryPercInUse);
    // The free physical memory, in KB.
    text("PhysMemFree", &C::PhysMemFree);
    // The total physical memory, in KB.
    text("PhysMemTotal", &C::PhysMemTotal);
    // The part of the page file in use, in MB.
    text("PageFileUsed", &C::PageFileUsed);
    // The virtual memory the application uses, in KB.
    text("VirtualMemUsed", &C::VirtualMemUsed);
  }

  explicit TKYTResourceInfo(TComponent* AOwner);
  ~TKYTResourceInfo() override;

  // Properties
  const std::string& CurrentTime() const { return FCurrentTime; }
  const std::string& CurrentDate() const { return FCurrentDate; }
  // "<n> MB" in units of 1,024,000 bytes; "0 MB" when the drive cannot be read.
  const std::string& CurrDriveFree() const { return FCurrDriveFree; }
  const std::string& CurrDriveSize() const { return FCurrDriveSize; }
  bool CapsLock() const { return FCapsLock; }
  bool NumLock() const { return FNumLock; }
  bool ScrollLock() const { return FScrollLock; }
  const std::string& MemoryPercInUse() const { return FMemoryPercInUse; }
  const std::string& PhysMemFree() const { return FPhysMemFree; }
  const std::string& PhysMemTotal() const { return FPhysMemTotal; }
  const std::string& PageFileUsed() const { return FPageFileUsed; }
  const std::string& VirtualMemUsed() const { return FVirtualMemUsed; }
  // The owned timer (for inspection; the component starts and frees it).
  TTimer* Timer() const { return FTimer; }

  // Events
  const TNotifyEvent& OnNewValues() const { return FOnNewValues; }
  void SetOnNewValues(const TNotifyEvent& value) { FOnNewValues = value; }

  // Methods
  // The full refresh, and the setter of every text property (the value is ignored).
  void SetAll(const std::string& value = {});
  // Setters of the lock entries: each re-reads its own key only (the value is ignored).
  void Setcaps(bool value);
  void SetNum(bool value);
  void SetScroll(bool value);
  // The timer's handler: a full refresh, then OnNewValues.
  void CheckInfo(TObject* Sender);

  // The figures' texts, from one memory snapshot and the drive's byte counts (-1: unreadable).
  static std::string DriveText(int64_t bytes);
  static std::string PageFileText(uint64_t total, uint64_t available);
  static std::string VirtualMemText(uint64_t total, uint64_t available);

 private:
  void ReadMemory();
  void ReadLocks();
  void ReadDrive();

  TTimer* FTimer = nullptr;
  MEMORYSTATUS FMemoryStatus{};
  std::string FCurrentTime;
  std::string FCurrentDate;
  std::string FCurrDriveFree;
  std::string FCurrDriveSize;
  bool FCapsLock = false;
  bool FNumLock = false;
  bool FScrollLock = false;
  std::string FMemoryPercInUse;
  std::string FPhysMemFree;
  std::string FPhysMemTotal;
  std::string FPageFileUsed;
  std::string FVirtualMemUsed;
  TNotifyEvent FOnNewValues;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTRESOURCEINFO_H
