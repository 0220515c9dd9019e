// KYTTCDTriggers: decoding the device-change broadcast.
#include "system/KYTTCDTriggers.h"

#include <dbt.h>

#include "host/core/ComponentRef.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTCDTriggers::StaticClass());
  return true;
}();

constexpr int kDriveLetters = 26;
}  // namespace

char TKYTCDTriggers::GetFirstDriveLetter(uint32_t unitMask) {
  for (int drive = 0; drive < kDriveLetters; ++drive)
    if (unitMask & (1u << drive)) return static_cast<char>('A' + drive);
  return 0;
}

void TKYTCDTriggers::Hooked(TMessage& Message) {
  if (Message.Msg != WM_DEVICECHANGE) {
    inherited::Hooked(Message);
    return;
  }
  TKYTWMDeviceChange notice{Message.Msg, Message.WParam, Message.LParam, 0};
  const TComponentRef<TKYTCDTriggers> self(this);  // the handlers may free the component
  try {
    WMDeviceChange(notice);
  } catch (...) {
    Application->HandleException(self.Get());
  }
  // A descendant answers through the record (BROADCAST_QUERY_DENY refuses a removal query).
  Message.Result = notice.Result;
}

void TKYTCDTriggers::WMDeviceChange(TKYTWMDeviceChange& Message) {
  const bool arrival = Message.Event == DBT_DEVICEARRIVAL;
  if (!arrival && Message.Event != DBT_DEVICEREMOVECOMPLETE) return;
  // The size is checked before anything past it is read.
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(Message.dbh);
  if (!header || header->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) return;
  if (header->dbch_devicetype != DBT_DEVTYP_VOLUME) return;
  const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
  if (!(volume->dbcv_flags & DBTF_MEDIA)) return;
  const char drive = GetFirstDriveLetter(volume->dbcv_unitmask);
  if (!drive) return;
  if (arrival) FAfterInsert(this, drive);
  else FAfterRemove(this, drive);
}

}  // namespace kyt
