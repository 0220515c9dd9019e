// KYTTFileProperties: one file's name parts, attributes, size and time stamp as properties;
// assigning the attributes, date, time or extension changes the file on disk.
#ifndef KYT_FILES_KYTTFILEPROPERTIES_H
#define KYT_FILES_KYTTFILEPROPERTIES_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Sets.h"
#include "host/core/TypeInfo.h"

namespace kyt {

// Types

// One attribute bit each: member i is bit 1 << i for the first six; ftNormal has no bit.
enum TFileAttr : uint8_t { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
KYT_ENUM_INFO(TFileAttr, "ftReadOnly", "ftHidden", "ftSystem", "ftVolumeID", "ftDirectory",
              "ftArchive", "ftNormal")
using TFileType = TSet<TFileAttr>;

class TKYTFileProperties : public TKYTSystemsComponent {
  KYT_CLASS(TKYTFileProperties, TKYTSystemsComponent)
 public:
  // Nothing is stored with the form: every value comes from the file when Filename is set.
  static void Publish(TPublisher<TKYTFileProperties>& p) {
    // The file's last-write date; setting it changes the date on disk.
    p.Property("Date", &TKYTFileProperties::Date, &TKYTFileProperties::SetFileDate).Stored(TStored::Never);
    // The file's last-write time; setting it changes the time on disk.
    p.Property("Time", &TKYTFileProperties::Time, &TKYTFileProperties::SetFileTime).Stored(TStored::Never);
    // The file's extension with its dot; setting it renames the file.
    p.Property("Extension", &TKYTFileProperties::Extension, &TKYTFileProperties::SetFileExt).Stored(TStored::Never);
    // The folder of the file, with a trailing backslash.
    p.Property("Path", &TKYTFileProperties::Path, &TKYTFileProperties::SetFilePath).Stored(TStored::Never);
    // The file's name with its extension, without the folder.
    p.Property("NameAndExtension", &TKYTFileProperties::NameAndExtension, &TKYTFileProperties::SetFilenameExt)
        .Stored(TStored::Never);
    // The file's name without folder and extension.
    p.Property("NameOnly", &TKYTFileProperties::NameOnly, &TKYTFileProperties::SetFilenameAlone)
        .Stored(TStored::Never);
    // The file shown: setting a full path reads all the other properties from it.
    p.Property("Filename", &TKYTFileProperties::Filename, &TKYTFileProperties::SetFilename).Stored(TStored::Never);
    // The file's attributes; setting it changes the read-only, hidden, system and archive bits on
    // disk.
    p.Property("Attributes", &TKYTFileProperties::Attributes, &TKYTFileProperties::SeTFileProperties)
        .Stored(TStored::Never);
    // The attributes as four letters, "SHRA", with "-" for each one clear.
    p.Property("AttributesShort", &TKYTFileProperties::AttributesShort, &TKYTFileProperties::SetFileAttrShort)
        .Stored(TStored::Never);
    // The file's size in bytes; -1 when the file is not found.
    p.Property("Size", &TKYTFileProperties::Size, &TKYTFileProperties::SetFileSize).Stored(TStored::Never);
  }

  using TKYTSystemsComponent::TKYTSystemsComponent;

  // Properties
  // Last-write date and time in the short date and long time formats; empty when the file
  // cannot be opened or its stamp is not a valid date (before 1980, for one). Setting either
  // writes the stamp; a text that does not convert raises EConvertError.
  const std::string& Date() const { return FDate; }
  void SetFileDate(const std::string& value);
  const std::string& Time() const { return FTime; }
  void SetFileTime(const std::string& value);
  // With its dot. Setting renames the file (the whole name upper-cased, at most three letters
  // kept); a value holding a path or stream character does nothing.
  const std::string& Extension() const { return FExtension; }
  void SetFileExt(const std::string& value);
  // The derived name parts: setting one discards the value and recomputes it.
  const std::string& Path() const { return FPath; }
  void SetFilePath(const std::string& value);
  const std::string& NameAndExtension() const { return FNameAndExtension; }
  void SetFilenameExt(const std::string& value);
  const std::string& NameOnly() const { return FNameOnly; }
  void SetFilenameAlone(const std::string& value);
  // The full path of the file shown; empty when no existing file was given.
  const std::string& Filename() const { return FFilename; }
  void SetFilename(const std::string& value);
  // Setting writes the read-only, hidden, system and archive bits; the others are ignored.
  TFileType Attributes() const { return FAttributes; }
  void SeTFileProperties(TFileType value);
  // "SHRA" positions, "-" where a bit is clear; recomputed when set.
  const std::string& AttributesShort() const { return FAttributesShort; }
  void SetFileAttrShort(const std::string& value);
  // Bytes; -1 when the file is not found, the largest Integer for a file of 2 GiB or more.
  int32_t Size() const { return FSize; }
  void SetFileSize(int32_t value);

  // Methods
  // Recomputes every property from Filename.
  void RefreshState();
  // The attributes of the current file; empty when they cannot be read.
  TFileType GeTFileProperties() const;
  // The size of the first entry a search for Name finds, clamped to the Integer range; -1 when
  // there is none.
  static int32_t GetFileSize(const std::string& Name);

 private:
  // Writes a new date (isDate) or time with the other part kept, then refreshes.
  void SetFileDateTime(const std::string& value, bool isDate);
  bool Designing() const { return ComponentState().Contains(csDesigning); }

  std::string FDate;
  std::string FTime;
  std::string FExtension;
  std::string FPath;
  std::string FNameAndExtension;
  std::string FNameOnly;
  std::string FFilename;
  TFileType FAttributes;
  std::string FAttributesShort;
  int32_t FSize = 0;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTFILEPROPERTIES_H
