// KYTTFileProperties: reading one file's properties and writing back attributes, stamp and
// extension.
#include "files/KYTTFileProperties.h"

#include <limits>

#include "host/rtl/DateTime.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTFileProperties::StaticClass()});
  return true;
}();

// The attribute bits the component writes; the others keep what the file has.
constexpr int kWritableBits = faReadOnly | faHidden | faSysFile | faArchive;
// The bits that convert one to one with the first six set members.
constexpr int kSetBits = 0x3F;

// A name part that would rename into another folder or stream, or that no file can carry.
bool HasPathOrStreamChar(const std::string& s) {
  return s.find_first_of("\\/:*?\"<>|") != std::string::npos;
}

// The name part cut before its first dot.
std::string NameBeforeFirstDot(const std::string& name) { return name.substr(0, name.find('.')); }

// The file's last-write stamp as a date-time; false when it cannot be opened or the stamp holds
// no valid date (a file dated before 1980 has no packed stamp). Opened sharing reads and
// writes, so a file open elsewhere still shows its stamp.
bool ReadStamp(const std::string& fileName, TDateTime& stamp) {
  os::UniqueFile file = FileOpen(fileName, fmOpenRead | fmShareDenyNone);
  if (!file) return false;
  const int age = FileGetDate(file.get());
  if (age == -1) return false;
  try {
    stamp = FileDateToDateTime(age);
  } catch (const EConvertError&) {
    return false;
  }
  return true;
}

// The four-character "SHRA" text of a set of attributes.
std::string ShortText(TFileType attributes) {
  std::string text = "----";
  if (attributes.Contains(ftReadOnly)) text[2] = 'R';
  if (attributes.Contains(ftHidden)) text[1] = 'H';
  if (attributes.Contains(ftSystem)) text[0] = 'S';
  if (attributes.Contains(ftArchive)) text[3] = 'A';
  return text;
}

}  // namespace

void TKYTFileProperties::RefreshState() {
  // A name the platform cannot expand is kept as it is: the file is still the one shown.
  if (!FFilename.empty()) {
    const std::string full = ExpandFileName(FFilename);
    if (!full.empty()) FFilename = full;
  }
  const std::string name = ExtractFileName(FFilename);
  FNameOnly = NameBeforeFirstDot(name);
  FNameAndExtension = name;
  FPath = ExtractFilePath(FFilename);
  FExtension = ExtractFileExt(FFilename);
  FAttributes = GeTFileProperties();
  FAttributesShort = ShortText(FAttributes);
  FSize = GetFileSize(FFilename);
  TDateTime stamp = 0;
  if (!FFilename.empty() && ReadStamp(FFilename, stamp)) {
    FDate = DateToStr(stamp);
    FTime = TimeToStr(stamp);
  } else {
    FDate.clear();
    FTime.clear();
  }
}

TFileType TKYTFileProperties::GeTFileProperties() const {
  const int attr = FFilename.empty() ? -1 : FileGetAttr(FFilename);
  if (attr < 0) return TFileType();
  return TFileType::FromBits(static_cast<uint64_t>(attr & kSetBits));
}

int32_t TKYTFileProperties::GetFileSize(const std::string& Name) {
  if (Name.empty()) return -1;
  TSearchRec search;
  if (FindFirst(ExpandFileName(Name), faAnyFile, search) != 0) return -1;
  // A file of 2 GiB or more would wrap, even to -1 ("not found"): the largest Integer instead.
  if (search.Size > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(search.Size);
}

void TKYTFileProperties::SetFilename(const std::string& value) {
  if (value == FFilename) return;
  FFilename = FileExists(value) ? value : std::string();
  RefreshState();
}

void TKYTFileProperties::SeTFileProperties(TFileType value) {
  if (value == FAttributes || Designing()) return;
  const int current = FileGetAttr(FFilename);
  if (current < 0) return;
  const int wanted = static_cast<int>(value.Bits()) & kWritableBits;
  int bits = (current & ~kWritableBits) | wanted;
  // The platform reads no bits at all as "leave them": the normal attribute says "none".
  if (bits == 0) bits = FILE_ATTRIBUTE_NORMAL;
  if (FileSetAttr(FFilename, bits) == 0) RefreshState();
}

void TKYTFileProperties::SetFileDate(const std::string& value) {
  if (value != FDate) SetFileDateTime(value, true);
}

void TKYTFileProperties::SetFileTime(const std::string& value) {
  if (value != FTime) SetFileDateTime(value, false);
}

void TKYTFileProperties::SetFileDateTime(const std::string& value, bool isDate) {
  if (value.empty() || FFilename.empty() || Designing()) return;
  const TDateTime stamp = StrToDateTime(isDate ? value + " " + FTime : FDate + " " + value);
  // A date the packed stamp cannot hold (before 1980, after 2107) leaves the file as it is.
  const int age = DateTimeToFileDate(stamp);
  if (age != 0) {
    os::UniqueFile file = FileOpen(FFilename, fmOpenReadWrite | fmShareDenyNone);
    if (file) FileSetDate(file.get(), age);
  }
  RefreshState();
}

void TKYTFileProperties::SetFileExt(const std::string& value) {
  if (value == FExtension) return;
  if (value.empty()) {
    FExtension = ExtractFileExt(FFilename);
    return;
  }
  if (Designing() || FFilename.empty() || HasPathOrStreamChar(value)) return;
  std::string extension = value.front() == '.' ? value : "." + value;
  extension = CutToWideLength(extension, 4);  // the dot and three characters, never part of one
  const std::string newName = AnsiUpperCase(ChangeFileExt(FFilename, extension));
  if (newName != FFilename && RenameFile(FFilename, newName)) {
    FFilename = newName;
    RefreshState();
  }
}

void TKYTFileProperties::SetFilePath(const std::string&) { FPath = ExtractFilePath(FFilename); }

void TKYTFileProperties::SetFilenameExt(const std::string&) {
  FNameAndExtension = ExtractFileName(FFilename);
}

void TKYTFileProperties::SetFilenameAlone(const std::string&) {
  FNameOnly = NameBeforeFirstDot(ExtractFileName(FFilename));
}

void TKYTFileProperties::SetFileAttrShort(const std::string&) {
  FAttributesShort = ShortText(FAttributes);
}

void TKYTFileProperties::SetFileSize(int32_t) { FSize = GetFileSize(FFilename); }

}  // namespace kyt
