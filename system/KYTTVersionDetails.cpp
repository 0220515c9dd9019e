// KYTTVersionDetails: loading the version record and choosing its string table.
#include "system/KYTTVersionDetails.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTVersionDetails::StaticClass());
  return true;
}();

constexpr uint16_t kUSEnglish = 1033;

// The loaded record. Every answer of a query is checked against it: a failed or empty query, or
// one pointing outside the record, gives nothing.
class TVersionRecord {
 public:
  explicit TVersionRecord(std::vector<char> data) : FData(std::move(data)) {}

  // The bytes of a value; false when the query fails or answers with no data.
  bool Query(const std::string& subBlock, const char*& value, size_t& length) const {
    void* found = nullptr;
    UINT size = 0;
    if (!os::version.VerQueryValueA(FData.data(), subBlock.c_str(), &found, &size) || !found || size == 0)
      return false;
    const char* begin = FData.data();
    const char* end = begin + FData.size();
    const char* at = static_cast<const char*>(found);
    if (at < begin || at >= end) return false;
    value = at;
    length = std::min<size_t>(size, static_cast<size_t>(end - at));
    return true;
  }

  // A text value up to its first zero, never beyond the length the query gave.
  std::string Text(const std::string& subBlock) const {
    const char* value = nullptr;
    size_t length = 0;
    if (!Query(subBlock, value, length)) return {};
    return std::string(value, strnlen(value, length));
  }

 private:
  std::vector<char> FData;
};

// Language and code page of the string table to read.
void ChooseTranslation(const TVersionRecord& record, uint16_t& language, uint16_t& codePage) {
  language = kUSEnglish;
  codePage = 0;
  const char* table = nullptr;
  size_t length = 0;
  if (!record.Query("\\VarFileInfo\\Translation", table, length)) return;
  for (size_t i = 0; i + 4 <= length; i += 4) {
    uint16_t entry[2];
    std::memcpy(entry, table + i, sizeof entry);
    language = entry[0];
    codePage = entry[1];
    if (language == kUSEnglish) return;
  }
}

}  // namespace

TKYTVersionDetails::TKYTVersionDetails(TComponent* AOwner) : TKYTSystemsComponent(AOwner) { ReInitialize(); }

TKYTVersionDetails::~TKYTVersionDetails() = default;

void TKYTVersionDetails::SetDesign(const std::string&) {}

std::string TKYTVersionDetails::StringTablePrefix(uint16_t language, uint16_t codePage) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%04X%04X", language, codePage);
  return std::string("\\StringFileInfo\\") + hex + "\\";
}

void TKYTVersionDetails::ReInitialize() {
  const std::string path = Application->ExeName();
  DWORD handle = 0;
  const DWORD size = os::version.GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return;
  std::vector<char> data(size);
  if (!os::version.GetFileVersionInfoA(path.c_str(), handle, size, data.data())) return;
  const TVersionRecord record(std::move(data));

  uint16_t language = 0, codePage = 0;
  ChooseTranslation(record, language, codePage);
  const std::string prefix = StringTablePrefix(language, codePage);
  FCompanyName = record.Text(prefix + "CompanyName");
  FFileDescription = record.Text(prefix + "FileDescription");
  FFileVersion = record.Text(prefix + "FileVersion");
  FInternalName = record.Text(prefix + "InternalName");
  FLegalCopyright = record.Text(prefix + "LegalCopyRight");
  FOriginalFilename = record.Text(prefix + "OriginalFileName");
  FProductName = record.Text(prefix + "ProductName");
  FProductVersion = record.Text(prefix + "ProductVersion");
}

}  // namespace kyt
