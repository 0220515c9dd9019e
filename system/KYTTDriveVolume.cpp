// KYTTDriveVolume: the volume query of the current drive and the reports of its failures.
#include "system/KYTTDriveVolume.h"

#include <array>
#include <cstdio>

#include "host/core/ComponentRef.h"
#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTDriveVolume::StaticClass());
  return true;
}();

// The label and file-system name buffers: the platform's path limit plus one, in characters of
// any script.
constexpr size_t kNameBuffer = (MAX_PATH + 1) * kMaxBytesPerChar;

std::string TextUpToZero(const char* buffer, size_t capacity) {
  size_t n = 0;
  while (n < capacity && buffer[n]) ++n;
  return std::string(buffer, n);
}

}  // namespace

// The drive is set before the inherited constructor in the family; here the field starts as 'C'.
TKYTDriveVolume::TKYTDriveVolume(TComponent* AOwner) : TKYTSystemsComponent(AOwner) { UpdateAll(); }

std::string TKYTDriveVolume::FormatSerialNumber(uint32_t serial) {
  char text[10];
  std::snprintf(text, sizeof text, "%04X:%04X", static_cast<unsigned>(serial >> 16),
                static_cast<unsigned>(serial & 0xFFFF));
  return text;
}

void TKYTDriveVolume::SetDrive(char value) {
  if (value >= 'a' && value <= 'z') value = static_cast<char>(value - 'a' + 'A');
  if (value >= 'A' && value <= 'Z' && value != FCurrentDrive) FCurrentDrive = value;
  UpdateAll();
}

// One query serves the whole refresh; a failure is still reported once per value (ten times).
// A handler (BeforeUpdate, OnError, or a message handled while the error box is up) may free
// the component: the refresh then stops at once.
void TKYTDriveVolume::UpdateAll() {
  const TComponentRef<TKYTDriveVolume> self(this);
  if (FBeforeUpdate) FBeforeUpdate(this);
  if (!self) return;
  const TVolumeInfo info = QueryVolume(true, true);
  if (!ApplyBoolInfo(info) || !ApplyStringInfo(info) || !ApplyIntegerInfo(info)) return;
  if (FAfterUpdate) FAfterUpdate(this);
}

void TKYTDriveVolume::UpdateBoolInfo(bool) { ApplyBoolInfo(QueryVolume(false, false)); }
void TKYTDriveVolume::UpdateStringInfo(const std::string&) { ApplyStringInfo(QueryVolume(true, true)); }
void TKYTDriveVolume::UpdateIntegerInfo(int32_t) { ApplyIntegerInfo(QueryVolume(false, false)); }

bool TKYTDriveVolume::ApplyBoolInfo(const TVolumeInfo& info) {
  const TComponentRef<TKYTDriveVolume> self(this);
  const uint32_t flags = Check(info, 6) ? info.Flags : 0;
  if (!self) return false;
  FCasePreserved = flags & kKYTCasePreserved;
  FCaseSensitive = flags & kKYTCaseSensitive;
  FStoredUniCodeOnDisk = flags & kKYTUnicodeOnDisk;
  FPersistentACLS = flags & kKYTPersistentAcls;
  FFileCompression = flags & kKYTFileCompression;
  FVolumeIsCompressed = flags & kKYTVolumeIsCompressed;
  return true;
}

bool TKYTDriveVolume::ApplyStringInfo(const TVolumeInfo& info) {
  const TComponentRef<TKYTDriveVolume> self(this);
  const bool ok = Check(info, 3);
  if (!self) return false;
  if (ok) {
    FSerialNumber = FormatSerialNumber(info.Serial);
    FVolumeLabel = AnsiUpperCase(info.Label);
    FFileSystemName = AnsiUpperCase(info.FileSystem);
  } else {
    FSerialNumber.clear();
    FVolumeLabel.clear();
    FFileSystemName.clear();
  }
  return true;
}

bool TKYTDriveVolume::ApplyIntegerInfo(const TVolumeInfo& info) {
  const TComponentRef<TKYTDriveVolume> self(this);
  const bool ok = Check(info, 1);
  if (!self) return false;
  FFileSystemFlags = ok ? static_cast<int32_t>(info.Flags) : 0;
  return true;
}

std::string TKYTDriveVolume::GetVolumeLabel() {
  const TVolumeInfo info = QueryVolume(true, false);
  return Check(info, 1) ? AnsiUpperCase(info.Label) : std::string();
}

std::string TKYTDriveVolume::GetVolumeSerialNumber() {
  const TVolumeInfo info = QueryVolume(false, false);
  return Check(info, 1) ? FormatSerialNumber(info.Serial) : std::string();
}

std::string TKYTDriveVolume::GetVolumeFileSystemName() {
  const TVolumeInfo info = QueryVolume(false, true);
  return Check(info, 1) ? AnsiUpperCase(info.FileSystem) : std::string();
}

int32_t TKYTDriveVolume::GetVolumeFileSystemFlags() {
  const TVolumeInfo info = QueryVolume(false, false);
  return Check(info, 1) ? static_cast<int32_t>(info.Flags) : 0;
}

// An empty removable drive fails quietly instead of raising the system's prompt for a disk. The
// error number is taken at once, and the previous error mode is back before anything is
// reported, so a handler that raises cannot leave the process in the quiet mode.
TKYTDriveVolume::TVolumeInfo TKYTDriveVolume::QueryVolume(bool withLabel, bool withFileSystem) const {
  TVolumeInfo info;
  const char root[] = {FCurrentDrive, ':', '\\', '\0'};
  std::array<char, kNameBuffer> label{}, fileSystem{};
  DWORD serial = 0, maxComponent = 0, flags = 0;
  os::ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
  if (os::kernel32.GetVolumeInformationA(root, withLabel ? label.data() : nullptr, withLabel ? kNameBuffer : 0,
                                         &serial, &maxComponent, &flags,
                                         withFileSystem ? fileSystem.data() : nullptr,
                                         withFileSystem ? kNameBuffer : 0)) {
    info.Ok = true;
    info.Label = TextUpToZero(label.data(), label.size());
    info.FileSystem = TextUpToZero(fileSystem.data(), fileSystem.size());
    info.Serial = serial;
    info.Flags = flags;
  } else {
    info.Error = os::kernel32.GetLastError();
  }
  return info;
}

bool TKYTDriveVolume::Check(const TVolumeInfo& info, int count) {
  if (info.Ok) return true;
  const TComponentRef<TKYTDriveVolume> self(this);
  for (int i = 0; i < count && self; ++i) ProcessError(static_cast<int32_t>(info.Error));
  return false;
}

void TKYTDriveVolume::ProcessError(int32_t errorNumber) {
  if (FOnError) {
    FOnError(errorNumber);
    return;
  }
  Application->MessageBox("Error " + std::to_string(errorNumber) + " in Drive Volume Information !",
                          "TKYTDriveVolume", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace kyt
