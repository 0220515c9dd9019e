// KYTTDriveVolume: the volume information of one drive (label, serial number, file-system name
// and flags) as read-only properties, refreshed whenever the drive is chosen.
#ifndef KYT_SYSTEM_KYTTDRIVEVOLUME_H
#define KYT_SYSTEM_KYTTDRIVEVOLUME_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"

namespace kyt {

// Types

// A failed volume query, with the platform's error number. It carries no sender.
using TKYTOnDriveVolumeError = TEvent<int32_t>;

// The file-system flag bits the Boolean properties show.
inline constexpr uint32_t kKYTCaseSensitive = 0x1;
inline constexpr uint32_t kKYTCasePreserved = 0x2;
inline constexpr uint32_t kKYTUnicodeOnDisk = 0x4;
inline constexpr uint32_t kKYTPersistentAcls = 0x8;
inline constexpr uint32_t kKYTFileCompression = 0x10;
inline constexpr uint32_t kKYTVolumeIsCompressed = 0x8000;

// Starts on drive C: (also when loaded from a form file: no value, not even the drive, is
// stored). Every failed query is reported through OnError or, without a handler, by a warning
// box, once for each value it could not fill: an unreadable drive gives ten reports per full
// refresh, as the family has it. The designer shows the data entries read-only.
class TKYTDriveVolume : public TKYTSystemsComponent {
  KYT_CLASS(TKYTDriveVolume, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTDriveVolume>& p) {
    using C = TKYTDriveVolume;
    const auto flag = [&](const char* name, auto getter) {
      p.Property(name, getter, &C::UpdateBoolInfo).Stored(TStored::Never);
    };
    // Whether the volume is compressed.
    flag("VolumeIsCompressed", &C::VolumeIsCompressed);
    // Whether the file system keeps the letter case of names as written.
    flag("CasePreserved", &C::CasePreserved);
    // Whether the file system tells names apart by letter case.
    flag("CaseSensitive", &C::CaseSensitive);
    // Whether the file system stores names in Unicode.
    flag("StoredUniCodeOnDisk", &C::StoredUniCodeOnDisk);
    // Whether the file system keeps access-control lists.
    flag("PersistentACLS", &C::PersistentACLS);
    // Whether the file system can compress single files.
    flag("FileCompression", &C::FileCompression);
    // The drive's volume label, in upper case.
    p.Property("VolumeLabel", &C::VolumeLabel, &C::UpdateStringInfo).Stored(TStored::Never);
    // The volume's serial number, as "1A2B:3C4D".
    p.Property("SerialNumber", &C::SerialNumber, &C::UpdateStringInfo).Stored(TStored::Never);
    // The name of the file system, such as NTFS or FAT32.
    p.Property("FileSystemName", &C::FileSystemName, &C::UpdateStringInfo).Stored(TStored::Never);
    // All the file system's flags as one number.
    p.Property("FileSystemFlags", &C::FileSystemFlags, &C::UpdateIntegerInfo).Stored(TStored::Never);
    // The drive letter shown; choosing another reads all values again.
    p.Property("CurrentDrive", &C::CurrentDrive, &C::SetDrive).Stored(TStored::Never);
    // Fired after the values were read again.
    p.Property("AfterUpdate", &C::AfterUpdate, &C::SetAfterUpdate);
    // Fired before the values are read again.
    p.Property("BeforeUpdate", &C::BeforeUpdate, &C::SetBeforeUpdate);
    // Fired with the system's error number for each value that could not be read; without a handler
    // a warning box shows.
    p.Property("OnError", &C::OnError, &C::SetOnError);
  }

  explicit TKYTDriveVolume(TComponent* AOwner);

  // Properties
  bool VolumeIsCompressed() const { return FVolumeIsCompressed; }
  bool CasePreserved() const { return FCasePreserved; }
  bool CaseSensitive() const { return FCaseSensitive; }
  bool StoredUniCodeOnDisk() const { return FStoredUniCodeOnDisk; }
  bool PersistentACLS() const { return FPersistentACLS; }
  bool FileCompression() const { return FFileCompression; }
  // Upper case.
  const std::string& VolumeLabel() const { return FVolumeLabel; }
  // "1A2B:3C4D".
  const std::string& SerialNumber() const { return FSerialNumber; }
  // Upper case.
  const std::string& FileSystemName() const { return FFileSystemName; }
  // The flags as the platform gives them, published as a signed integer.
  int32_t FileSystemFlags() const { return FFileSystemFlags; }
  // Always an upper-case letter.
  char CurrentDrive() const { return FCurrentDrive; }
  // Takes a letter a-z or A-Z (other characters keep the drive) and refreshes in every case.
  void SetDrive(char value);

  // Events
  const TNotifyEvent& AfterUpdate() const { return FAfterUpdate; }
  void SetAfterUpdate(const TNotifyEvent& value) { FAfterUpdate = value; }
  const TNotifyEvent& BeforeUpdate() const { return FBeforeUpdate; }
  void SetBeforeUpdate(const TNotifyEvent& value) { FBeforeUpdate = value; }
  const TKYTOnDriveVolumeError& OnError() const { return FOnError; }
  void SetOnError(const TKYTOnDriveVolumeError& value) { FOnError = value; }

  // Methods
  // Full refresh: BeforeUpdate, the Boolean, string and flags groups, AfterUpdate.
  void UpdateAll();
  // Setters of the data entries: each re-reads its own group (the value given is ignored) and
  // raises no update events.
  void UpdateBoolInfo(bool value);
  void UpdateStringInfo(const std::string& value);
  void UpdateIntegerInfo(int32_t value);
  // Queries of the current drive; each reports its failure and then gives "" or 0.
  std::string GetVolumeLabel();
  std::string GetVolumeSerialNumber();
  std::string GetVolumeFileSystemName();
  int32_t GetVolumeFileSystemFlags();

  // "0000:0000" form of a serial number.
  static std::string FormatSerialNumber(uint32_t serial);

 protected:
  // Reports one failure: OnError when assigned, otherwise the warning box.
  void ProcessError(int32_t errorNumber);

 private:
  // What one volume query gave; on failure, the platform's error number.
  struct TVolumeInfo {
    bool Ok = false;
    uint32_t Error = 0;
    std::string Label;
    std::string FileSystem;
    uint32_t Serial = 0;
    uint32_t Flags = 0;
  };
  TVolumeInfo QueryVolume(bool withLabel, bool withFileSystem) const;
  // Fill one group from a query; a failed query is reported once for every value of the group.
  // Each returns false when a report of the failure freed the component.
  bool ApplyBoolInfo(const TVolumeInfo& info);
  bool ApplyStringInfo(const TVolumeInfo& info);
  bool ApplyIntegerInfo(const TVolumeInfo& info);
  // Reports a failed query count times; true when the query succeeded.
  bool Check(const TVolumeInfo& info, int count);

  bool FVolumeIsCompressed = false;
  bool FCasePreserved = false;
  bool FCaseSensitive = false;
  bool FStoredUniCodeOnDisk = false;
  bool FPersistentACLS = false;
  bool FFileCompression = false;
  std::string FVolumeLabel;
  std::string FSerialNumber;
  std::string FFileSystemName;
  int32_t FFileSystemFlags = 0;
  char FCurrentDrive = 'C';
  TNotifyEvent FAfterUpdate;
  TNotifyEvent FBeforeUpdate;
  TKYTOnDriveVolumeError FOnError;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTDRIVEVOLUME_H
