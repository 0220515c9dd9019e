// Registry.cpp: TRegistry and TRegIniFile over the advapi32 registry functions of the OS seam.
#include "host/rtl/Registry.h"

#include <cstring>

#include "host/rtl/RtlPrivate.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"

namespace kyt {

using os::advapi32;
using rtl_private::NoZero;

namespace {

[[noreturn]] void SetDataFailed(const std::string& name) {
  throw ERegistryException("Failed to set data for '" + name + "'");
}
[[noreturn]] void GetDataFailed(const std::string& name) {
  throw ERegistryException("Failed to get data for '" + name + "'");
}
[[noreturn]] void InvalidType(const std::string& name) {
  throw ERegistryException("Invalid data type for '" + name + "'");
}

bool IsRelative(const std::string& key) { return key.empty() || key[0] != '\\'; }

TRegDataType DataTypeOf(DWORD type) {
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

}  // namespace

// TRegistry

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  if (value == FRootKey) return;
  CloseKey();
  FRootKey = value;
}

HKEY TRegistry::GetBaseKey(bool relative) const {
  HKEY current = Key();
  return (current && relative) ? current : FRootKey;
}

os::UniqueHKey TRegistry::GetKey(const std::string& key, REGSAM access) const {
  bool relative = IsRelative(key);
  std::string s = relative ? key : key.substr(1);
  os::UniqueHKey result;
  if (!NoZero(s)) return result;
  if (advapi32.RegOpenKeyExA(GetBaseKey(relative), s.c_str(), 0, access, result.put()) !=
      ERROR_SUCCESS)
    result.release();
  return result;
}

HKEY TRegistry::Key() const {
  if (FDeferred) {
    std::string key = FDeferredKey;
    FDeferred = false;
    FDeferredKey.clear();
    const_cast<TRegistry*>(this)->OpenKey(key, true);
  }
  return FCurrentKey.get();
}

void TRegistry::DeferOpenKey(const std::string& key) {
  CloseKey();
  FDeferred = true;
  FDeferredKey = IsRelative(key) ? key : key.substr(1);
}

void TRegistry::ChangeKey(os::UniqueHKey key, const std::string& path) {
  CloseKey();
  FCurrentKey = std::move(key);
  FCurrentPath = path;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  bool relative = IsRelative(key);
  std::string s = relative ? key : key.substr(1);
  if (!NoZero(s)) return false;
  os::UniqueHKey opened;
  LONG rc;
  if (!canCreate || s.empty()) {
    rc = advapi32.RegOpenKeyExA(GetBaseKey(relative), s.c_str(), 0, FAccess, opened.put());
  } else {
    DWORD disposition = 0;
    rc = advapi32.RegCreateKeyExA(GetBaseKey(relative), s.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, FAccess, nullptr, opened.put(),
                                  &disposition);
  }
  if (rc != ERROR_SUCCESS) {
    opened.release();
    return false;
  }
  if (Key() && relative && !FCurrentPath.empty()) s = FCurrentPath + "\\" + s;
  ChangeKey(std::move(opened), s);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  REGSAM saved = FAccess;
  FAccess = KEY_READ;
  bool result = OpenKey(key, false);
  FAccess = saved;
  return result;
}

bool TRegistry::CreateKey(const std::string& key) {
  bool relative = IsRelative(key);
  std::string s = relative ? key : key.substr(1);
  os::UniqueHKey created;
  DWORD disposition = 0;
  if (!NoZero(s) ||
      advapi32.RegCreateKeyExA(GetBaseKey(relative), s.c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, FAccess, nullptr, created.put(),
                               &disposition) != ERROR_SUCCESS) {
    created.release();
    throw ERegistryException("Failed to create key " + key);
  }
  return true;
}

void TRegistry::CloseKey() {
  FDeferred = false;
  FDeferredKey.clear();
  if (FCurrentKey) {
    if (!FLazyWrite) advapi32.RegFlushKey(FCurrentKey.get());
    FCurrentKey.reset();
  }
  FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
  return static_cast<bool>(GetKey(key, KEY_READ));
}

bool TRegistry::ValueExists(const std::string& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

bool TRegistry::DeleteTree(HKEY base, const std::string& key) {
  {
    os::UniqueHKey target;
    if (advapi32.RegOpenKeyExA(base, key.c_str(), 0, KEY_READ, target.put()) != ERROR_SUCCESS)
      return false;
    std::vector<std::string> children;
    CollectNames(target.get(), false, children);
    for (const std::string& child : children) DeleteTree(target.get(), child);
  }
  return advapi32.RegDeleteKeyA(base, key.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& key) {
  bool relative = IsRelative(key);
  std::string s = relative ? key : key.substr(1);
  // An empty name would mean the base key itself: never deleted by accident.
  if (s.empty() || !NoZero(s)) return false;
  return DeleteTree(GetBaseKey(relative), s);
}

bool TRegistry::DeleteValue(const std::string& name) {
  if (!Key() || !NoZero(name)) return false;
  return advapi32.RegDeleteValueA(Key(), name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& value) {
  value = TRegKeyInfo();
  if (!Key()) return false;
  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValue = 0, maxData = 0;
  if (advapi32.RegQueryInfoKeyA(Key(), nullptr, nullptr, nullptr, &subKeys,
                                &maxSubKey, nullptr, &values, &maxValue, &maxData, nullptr,
                                &value.FileTime) != ERROR_SUCCESS)
    return false;
  value.NumSubKeys = static_cast<int>(subKeys);
  value.MaxSubKeyLen = static_cast<int>(maxSubKey);
  value.NumValues = static_cast<int>(values);
  value.MaxValueLen = static_cast<int>(maxValue);
  value.MaxDataLen = static_cast<int>(maxData);
  return true;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& value) {
  value = TRegDataInfo();
  if (!Key() || !NoZero(name)) return false;
  DWORD type = 0, size = 0;
  if (advapi32.RegQueryValueExA(Key(), name.c_str(), nullptr, &type, nullptr,
                                &size) != ERROR_SUCCESS)
    return false;
  value.RegData = DataTypeOf(type);
  value.DataSize = static_cast<int>(size);
  return true;
}

int TRegistry::GetDataSize(const std::string& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.RegData : rdUnknown;
}

void TRegistry::CollectNames(HKEY key, bool values, std::vector<std::string>& names) {
  names.clear();
  if (!key) return;
  DWORD count = 0, maxLen = 0;
  LONG rc = values ? advapi32.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, &count, &maxLen, nullptr, nullptr, nullptr)
                   : advapi32.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &maxLen,
                                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return;
  std::string buf(static_cast<size_t>(maxLen) + 1, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD len = static_cast<DWORD>(buf.size());
    rc = values ? advapi32.RegEnumValueA(key, index, buf.data(), &len, nullptr, nullptr, nullptr,
                                         nullptr)
                : advapi32.RegEnumKeyExA(key, index, buf.data(), &len, nullptr, nullptr, nullptr,
                                         nullptr);
    if (rc == ERROR_MORE_DATA && buf.size() < 65536) {
      // A longer name appeared since the count was taken: grow and read the same entry again.
      buf.assign(buf.size() * 2, '\0');
      --index;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(buf.data(), len);
  }
}

std::vector<std::string> TRegistry::ValueNames() {
  std::vector<std::string> names;
  CollectNames(Key(), true, names);
  return names;
}

std::vector<std::string> TRegistry::KeyNames() {
  std::vector<std::string> names;
  CollectNames(Key(), false, names);
  return names;
}

void TRegistry::GetValueNames(TStrings& strings) {
  std::vector<std::string> names = ValueNames();
  rtl_private::FillList(strings, names);
}

void TRegistry::GetKeyNames(TStrings& strings) {
  std::vector<std::string> names = KeyNames();
  rtl_private::FillList(strings, names);
}

void TRegistry::PutString(HKEY key, const std::string& name, const std::string& value,
                          DWORD type) {
  // A zero inside the name or the text would silently cut it, a byte that is no character would
  // be stored as U+FFFD: both refused.
  if (!key || !NoZero(name) || !NoZero(value) || value.size() >= 0x7FFFFFFF || !IsExactText(name) ||
      !IsExactText(value))
    SetDataFailed(name);
  if (advapi32.RegSetValueExA(key, name.c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    SetDataFailed(name);
}

bool TRegistry::GetText(HKEY key, const std::string& name, std::string& text, bool dwordAsText) {
  if (!key || !NoZero(name)) return false;
  // Most values fit the first buffer, so a read costs one call; a longer one is read again with
  // the size the registry reported (and again if it grew meanwhile).
  char first[256];
  std::string heap;
  char* data = first;
  DWORD type = 0, size = sizeof first;
  LONG rc = advapi32.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &size);
  for (int attempt = 0; rc == ERROR_MORE_DATA && attempt < 8; ++attempt) {
    heap.assign(static_cast<size_t>(size) + 1, '\0');
    data = heap.data();
    size = static_cast<DWORD>(heap.size());
    rc = advapi32.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &size);
  }
  if (rc != ERROR_SUCCESS) return false;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    text = rtl_private::UpToZero(data, size);
    return true;
  }
  if (type == REG_DWORD && dwordAsText && size == sizeof(DWORD)) {
    DWORD v;
    std::memcpy(&v, data, sizeof v);
    text = std::to_string(static_cast<int32_t>(v));
    return true;
  }
  if (size == 0) {  // an empty value of any type reads as empty text
    text.clear();
    return true;
  }
  InvalidType(name);
}

std::string TRegistry::ReadString(const std::string& name) {
  std::string text;
  return GetText(Key(), name, text, false) ? text : std::string();
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  PutString(Key(), name, value, REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  PutString(Key(), name, value, REG_EXPAND_SZ);
}

int TRegistry::ReadInteger(const std::string& name) {
  if (!Key() || !NoZero(name)) GetDataFailed(name);
  DWORD value = 0, type = 0, size = sizeof value;
  LONG rc = advapi32.RegQueryValueExA(Key(), name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(&value), &size);
  if (rc == ERROR_MORE_DATA) InvalidType(name);
  if (rc != ERROR_SUCCESS) GetDataFailed(name);
  if (type != REG_DWORD || size != sizeof value) InvalidType(name);
  return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  if (!Key() || !NoZero(name)) SetDataFailed(name);
  DWORD v = static_cast<DWORD>(value);
  if (advapi32.RegSetValueExA(Key(), name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS)
    SetDataFailed(name);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int bufSize) {
  if (!Key() || !NoZero(name) || bufSize < 0) GetDataFailed(name);
  DWORD type = 0, size = static_cast<DWORD>(bufSize);
  if (advapi32.RegQueryValueExA(Key(), name.c_str(), nullptr, &type,
                                static_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    GetDataFailed(name);
  if (type != REG_BINARY && type != REG_NONE) InvalidType(name);
  return static_cast<int>(size);
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int bufSize) {
  if (!Key() || !NoZero(name) || bufSize < 0) SetDataFailed(name);
  if (advapi32.RegSetValueExA(Key(), name.c_str(), 0, REG_BINARY,
                              static_cast<const BYTE*>(buffer),
                              static_cast<DWORD>(bufSize)) != ERROR_SUCCESS)
    SetDataFailed(name);
}

std::optional<TRegistry::TRawValue> TRegistry::ReadRawValue(const std::string& name) {
  if (!Key() || !NoZero(name)) GetDataFailed(name);
  TRawValue value{name, REG_NONE, std::string(256, '\0')};
  for (int attempt = 0;; ++attempt) {
    DWORD size = static_cast<DWORD>(value.Data.size());
    const LONG rc = advapi32.RegQueryValueExA(Key(), name.c_str(), nullptr, &value.Type,
                                              reinterpret_cast<BYTE*>(value.Data.data()), &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (rc == ERROR_MORE_DATA && attempt < 8) {
      value.Data.assign(static_cast<size_t>(size) + 1, '\0');
      continue;
    }
    if (rc != ERROR_SUCCESS) GetDataFailed(name);
    value.Data.resize(size);
    return value;
  }
}

bool TRegistry::RestoreValue(const std::string& name, const std::optional<TRawValue>& value) {
  if (!Key() || !NoZero(name)) return false;
  if (!value) {
    const LONG rc = advapi32.RegDeleteValueA(Key(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }
  return advapi32.RegSetValueExA(Key(), name.c_str(), 0, value->Type,
                                 reinterpret_cast<const BYTE*>(value->Data.data()),
                                 static_cast<DWORD>(value->Data.size())) == ERROR_SUCCESS;
}

TRegistry::TKeyImage TRegistry::SaveKey(const std::string& key) {
  TKeyImage image;
  os::UniqueHKey opened;
  const LONG rc = NoZero(key) ? advapi32.RegOpenKeyExA(FRootKey, key.c_str(), 0, KEY_QUERY_VALUE, opened.put())
                              : ERROR_INVALID_PARAMETER;
  if (rc == ERROR_FILE_NOT_FOUND) {
    opened.release();
    return image;
  }
  if (rc != ERROR_SUCCESS) {
    opened.release();
    GetDataFailed(key);
  }
  image.Exists = true;
  DWORD count = 0, maxName = 0, maxData = 0;
  if (advapi32.RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
    GetDataFailed(key);
  std::string name(static_cast<size_t>(maxName) + 1, '\0');
  std::string data(static_cast<size_t>(maxData) + 1, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD nameLen = static_cast<DWORD>(name.size()), dataLen = static_cast<DWORD>(data.size()), type = 0;
    const LONG got = advapi32.RegEnumValueA(opened.get(), index, name.data(), &nameLen, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data.data()), &dataLen);
    if (got == ERROR_NO_MORE_ITEMS) break;
    if (got == ERROR_MORE_DATA && name.size() < 65536 && data.size() < (64u << 20)) {
      // A value grew since the sizes were taken: read the same one again with more room.
      name.assign(name.size() * 2, '\0');
      data.assign(data.size() * 2, '\0');
      --index;
      continue;
    }
    if (got != ERROR_SUCCESS) GetDataFailed(key);
    image.Values.push_back({std::string(name.data(), nameLen), type, std::string(data.data(), dataLen)});
  }
  return image;
}

bool TRegistry::RestoreKey(const std::string& key, const TKeyImage& image) {
  if (!NoZero(key)) return false;
  if (!image.Exists) {
    const LONG rc = advapi32.RegDeleteKeyA(FRootKey, key.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }
  os::UniqueHKey opened;
  DWORD disposition = 0;
  if (advapi32.RegCreateKeyExA(FRootKey, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, opened.put(), &disposition) != ERROR_SUCCESS) {
    opened.release();
    return false;
  }
  bool whole = true;
  std::vector<std::string> now;
  CollectNames(opened.get(), true, now);
  for (const std::string& name : now) {
    bool kept = false;
    for (const TRawValue& v : image.Values) kept = kept || v.Name == name;
    if (!kept) whole = advapi32.RegDeleteValueA(opened.get(), name.c_str()) == ERROR_SUCCESS && whole;
  }
  for (const TRawValue& v : image.Values)
    whole = advapi32.RegSetValueExA(opened.get(), v.Name.c_str(), 0, v.Type,
                                    reinterpret_cast<const BYTE*>(v.Data.data()),
                                    static_cast<DWORD>(v.Data.size())) == ERROR_SUCCESS &&
            whole;
  return whole;
}

// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& fileName) : FFileName(fileName) {
  DeferOpenKey(fileName);
}

TRegIniFile::TRegIniFile(const std::string& fileName, HKEY rootKey) : FFileName(fileName) {
  SetRootKey(rootKey);
  DeferOpenKey(fileName);
}

bool TRegIniFile::SectionPath(const std::string& section, HKEY& base, std::string& name) const {
  if (!IsRelative(section)) {
    base = RootKey();
    name = section.substr(1);
    return true;
  }
  if (Deferred()) {
    // The file's own key is not open: reach the section from the root in one step.
    const std::string& key = CurrentPath();
    base = RootKey();
    name = key.empty() ? section : section.empty() ? key : key + "\\" + section;
    return true;
  }
  // Without its own key (it could not be opened) the file would spill its sections into the
  // root key: refused.
  if (!CurrentKey() && !FFileName.empty()) return false;
  base = GetBaseKey(true);
  name = section;
  return true;
}

os::UniqueHKey TRegIniFile::OpenSection(const std::string& section, REGSAM access) const {
  os::UniqueHKey key;
  HKEY base;
  std::string name;
  if (!SectionPath(section, base, name) || !NoZero(name)) return key;
  if (advapi32.RegOpenKeyExA(base, name.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
    key.release();
    EnsureFileKey();
  }
  return key;
}

void TRegIniFile::EnsureFileKey() const {
  // Like the family's, the file's own key exists once the object was used, even if only read;
  // it is created on the first miss so that a hit still costs one call. Failure is not an error.
  if (!Deferred() || FFileKeyEnsured || CurrentPath().empty() || !NoZero(CurrentPath())) return;
  FFileKeyEnsured = true;
  os::UniqueHKey key;
  DWORD disposition = 0;
  if (advapi32.RegCreateKeyExA(RootKey(), CurrentPath().c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, key.put(),
                               &disposition) != ERROR_SUCCESS)
    key.release();
}

os::UniqueHKey TRegIniFile::CreateSection(const std::string& section) const {
  HKEY base;
  std::string name;
  if (!SectionPath(section, base, name)) throw ERegistryException("Failed to create key " + FFileName);
  os::UniqueHKey key;
  DWORD disposition = 0;
  if (!NoZero(name) ||
      advapi32.RegCreateKeyExA(base, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.put(),
                               &disposition) != ERROR_SUCCESS) {
    key.release();
    throw ERegistryException("Failed to create key " + name);
  }
  return key;
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  os::UniqueHKey key = OpenSection(section, KEY_QUERY_VALUE);
  std::string text;
  if (key && GetText(key.get(), ident, text, true)) return text;
  return defaultValue;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
  os::UniqueHKey key = CreateSection(section);
  PutString(key.get(), ident, value, REG_SZ);
}

namespace {
constexpr UINT kByteCodePage = 1252;  // whose characters stand for the bytes of a byte string
}  // namespace

std::string TRegIniFile::ReadByteString(const std::string& section, const std::string& ident,
                                        const std::string& defaultValue) {
  os::UniqueHKey key = OpenSection(section, KEY_QUERY_VALUE);
  if (!key || !NoZero(ident)) return defaultValue;
  const std::wstring name = WideFromText(ident);
  std::wstring text(256, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0, size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LONG rc = advapi32.RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(text.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      text.assign(size / sizeof(wchar_t) + 1, L'\0');
      continue;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return TextFromWide(text, kByteCodePage);
  }
  return defaultValue;
}

void TRegIniFile::WriteByteString(const std::string& section, const std::string& ident,
                                  const std::string& bytes) {
  os::UniqueHKey key = CreateSection(section);
  const std::wstring text = WideFromText(bytes, kByteCodePage);
  if (!NoZero(ident) || !NoZero(bytes) || text.size() >= 0x3FFFFFFF) SetDataFailed(ident);
  if (advapi32.RegSetValueExW(key.get(), WideFromText(ident).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    SetDataFailed(ident);
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident,
                             int defaultValue) {
  os::UniqueHKey key = OpenSection(section, KEY_QUERY_VALUE);
  std::string text;
  if (!key || !GetText(key.get(), ident, text, true)) return defaultValue;
  return StrToIntDef(text, defaultValue);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident,
                           bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TRegIniFile::ReadSection(const std::string& section, TStrings& strings) {
  std::vector<std::string> names;
  os::UniqueHKey key = OpenSection(section, KEY_READ);
  CollectNames(key.get(), true, names);
  rtl_private::FillList(strings, names);
}

void TRegIniFile::ReadSections(TStrings& strings) {
  std::vector<std::string> names;
  os::UniqueHKey key = OpenSection("", KEY_READ);
  CollectNames(key.get(), false, names);
  rtl_private::FillList(strings, names);
}

void TRegIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
  std::vector<std::string> lines;
  os::UniqueHKey key = OpenSection(section, KEY_READ);
  std::vector<std::string> names;
  CollectNames(key.get(), true, names);
  for (const std::string& n : names) {
    std::string text;
    if (!GetText(key.get(), n, text, true)) text.clear();
    lines.push_back(n + "=" + text);
  }
  rtl_private::FillList(strings, lines);
}

void TRegIniFile::EraseSection(const std::string& section) {
  // An empty section is the file's own key: never erased by accident.
  HKEY base;
  std::string name;
  if (section.empty() || section == "\\" || !SectionPath(section, base, name) || name.empty() ||
      !NoZero(name))
    return;
  DeleteTree(base, name);
  EnsureFileKey();
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  os::UniqueHKey key = OpenSection(section, KEY_SET_VALUE);
  if (key && NoZero(ident)) advapi32.RegDeleteValueA(key.get(), ident.c_str());
}

}  // namespace kyt
