// KYTTVersionDetails: loading the version record and choosing its string table.
#include "system/KYTTVersionDetails.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTVersionDetails::StaticClass());
  return true;
}();

constexpr uint16_t kUSEnglish = 1033;

// The loaded record, queried through the wide call: the ANSI one converts a text in place and,
// where the room it finds is too small (a translation table before the string table), answers
// nothing. Every answer of a query is checked against the record: a failed or empty query, or
// one pointing outside the record, gives nothing.
class TVersionRecord {
 public:
  explicit TVersionRecord(std::vector<char> data) : FData(std::move(data)) {}

  // The bytes of a value, at most `size` units of `unit` bytes; false when the query fails or
  // answers with no data.
  bool Query(const std::string& subBlock, size_t unit, const char*& value, size_t& length) const {
    void* found = nullptr;
    UINT size = 0;
    if (!os::version.VerQueryValueW(FData.data(), WideFromText(subBlock).c_str(), &found, &size) || !found ||
        size == 0)
      return false;
    const char* begin = FData.data();
    const char* end = begin + FData.size();
    const char* at = static_cast<const char*>(found);
    if (at < begin || at >= end) return false;
    value = at;
    length = std::min<size_t>(size_t{size} * unit, static_cast<size_t>(end - at)) / unit * unit;
    return length > 0;
  }

  // A text value up to its first zero, never beyond the length the query gave (in characters).
  std::string Text(const std::string& subBlock) const {
    const char* value = nullptr;
    size_t length = 0;
    if (!Query(subBlock, sizeof(wchar_t), value, length)) return {};
    std::wstring text(length / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value, length);
    return TextFromWide(std::wstring_view(text.c_str()));
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
  if (!record.Query("\\VarFileInfo\\Translation", 1, table, length)) return;
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
  const std::wstring widePath = WideFromText(path);
  const DWORD size = os::version.GetFileVersionInfoSizeW(widePath.c_str(), &handle);
  if (size == 0) return;
  std::vector<char> data(size);
  if (!os::version.GetFileVersionInfoW(widePath.c_str(), handle, size, data.data())) return;
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
