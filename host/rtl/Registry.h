// Registry: TRegistry, the run-time library's view of one open registry key, and TRegIniFile,
// which keeps ini-style sections as sub-keys of its key and every value as text.
// Queries answer quietly (false, "", a default); the family's checked operations raise
// ERegistryException ("Failed to set data for 'X'", "Failed to get data for 'X'", "Invalid data
// type for 'X'", "Failed to create key X"). Keys are owned by UniqueHKey and close on every path.
#ifndef KYT_HOST_RTL_REGISTRY_H
#define KYT_HOST_RTL_REGISTRY_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/core/Strings.h"
#include "host/os/Handles.h"

namespace kyt {

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
  FILETIME FileTime{};
};

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

class TRegistry {
 public:
  TRegistry();  // RootKey HKEY_CURRENT_USER, Access KEY_ALL_ACCESS, no key open
  explicit TRegistry(REGSAM access);
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Properties
  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY value);  // closes the current key
  HKEY CurrentKey() const { return Key(); }  // borrowed; null when none is open
  const std::string& CurrentPath() const { return FDeferred ? FDeferredKey : FCurrentPath; }
  REGSAM Access() const { return FAccess; }
  void SetAccess(REGSAM value) { FAccess = value; }
  // When false, CloseKey flushes the key to disk first (RegFlushKey).
  bool LazyWrite() const { return FLazyWrite; }
  void SetLazyWrite(bool value) { FLazyWrite = value; }

  // Methods
  // A key starting with '\' is taken from the root; otherwise from the current key when one is
  // open. On success the opened key becomes the current key; on failure nothing changes.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  // Creates a key (true also when it exists); raises "Failed to create key X" when it cannot.
  bool CreateKey(const std::string& key);
  void CloseKey();
  bool KeyExists(const std::string& key);
  bool ValueExists(const std::string& name);
  bool DeleteKey(const std::string& key);  // with all its sub-keys
  bool DeleteValue(const std::string& name);
  bool HasSubKeys();
  bool GetKeyInfo(TRegKeyInfo& value);
  bool GetDataInfo(const std::string& name, TRegDataInfo& value);
  int GetDataSize(const std::string& name);  // -1 when the value is missing
  TRegDataType GetDataType(const std::string& name);
  // Fill (after clearing) a list with the current key's value or sub-key names.
  void GetValueNames(TStrings& strings);
  void GetKeyNames(TStrings& strings);
  void GetValueNames(TStrings* strings) { GetValueNames(*strings); }
  void GetKeyNames(TStrings* strings) { GetKeyNames(*strings); }
  std::vector<std::string> ValueNames();
  std::vector<std::string> KeyNames();

  // A missing value reads as ""; a value that is not a string raises "Invalid data type".
  std::string ReadString(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
  void WriteExpandString(const std::string& name, const std::string& value);
  // REG_DWORD values; a missing value raises "Failed to get data", another type "Invalid data
  // type".
  int ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, int value);
  bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
  // Binary data: the bytes read (at most bufSize), raising when the value is missing, larger
  // than the buffer or not binary.
  int ReadBinaryData(const std::string& name, void* buffer, int bufSize);
  void WriteBinaryData(const std::string& name, const void* buffer, int bufSize);

  // A key as the registry keeps it: whether it is there, and each value's name, type and bytes.
  struct TRawValue {
    std::string Name;
    DWORD Type = REG_NONE;
    std::string Data;
  };
  struct TKeyImage {
    bool Exists = false;
    std::vector<TRawValue> Values;
  };
  // One value of the current key as the registry keeps it, so that RestoreValue can put it back
  // exactly; nullopt when it is not there. Raises "Failed to get data for 'X'" when it is there
  // but cannot be read.
  std::optional<TRawValue> ReadRawValue(const std::string& name);
  // Puts a value of the current key back as ReadRawValue found it (deleted when it was not
  // there). Best effort, for undoing a change; false when it could not.
  bool RestoreValue(const std::string& name, const std::optional<TRawValue>& value);
  // Reads key (below the root key) whole, so that RestoreKey can put it back exactly; raises
  // ERegistryException when it is there but it or one of its values cannot be read.
  TKeyImage SaveKey(const std::string& key);
  // Puts key back as SaveKey found it: its values written again and any other value deleted, or
  // the key deleted when it was not there (a key with sub-keys of its own stays). Best effort,
  // for undoing a change that failed halfway; false when something could not be put back.
  bool RestoreKey(const std::string& key, const TKeyImage& image);

 protected:
  // The key relative names start from: the current key when open and the name is relative.
  HKEY GetBaseKey(bool relative) const;
  // Opens key (relative or from the root) with access; empty when it cannot be opened.
  os::UniqueHKey GetKey(const std::string& key, REGSAM access) const;
  // Makes key the current key (taking ownership) with the path it was opened by.
  void ChangeKey(os::UniqueHKey key, const std::string& path);
  // Names the key (from the root) to open, creating it when missing, at its first use, so an
  // object that only reads, or opens sub-keys by full path, never opens it at all.
  void DeferOpenKey(const std::string& key);
  bool Deferred() const { return FDeferred; }

  // Value access on any open key, shared with TRegIniFile.
  static void PutString(HKEY key, const std::string& name, const std::string& value, DWORD type);
  // Reads a string or DWORD value as text; false when the value is missing or unreadable.
  // Other types raise "Invalid data type" (DWORDs too, unless dwordAsText).
  static bool GetText(HKEY key, const std::string& name, std::string& text, bool dwordAsText);
  static void CollectNames(HKEY key, bool values, std::vector<std::string>& names);
  static bool DeleteTree(HKEY base, const std::string& key);

 private:
  HKEY Key() const;  // the current key, opening a deferred one first

  HKEY FRootKey = HKEY_CURRENT_USER;
  mutable os::UniqueHKey FCurrentKey;
  mutable std::string FCurrentPath;
  mutable bool FDeferred = false;
  mutable std::string FDeferredKey;
  REGSAM FAccess = KEY_ALL_ACCESS;
  bool FLazyWrite = true;
};

class TRegIniFile : public TRegistry {
 public:
  // Works on the key fileName under HKEY_CURRENT_USER, created when missing. The key itself is
  // opened only when something needs it as the current key (CurrentKey(), the TRegistry
  // methods); section reads and writes reach path\section in one call, so each write costs
  // one create-write-close. A read that misses creates the key (as opening it would have).
  explicit TRegIniFile(const std::string& fileName);
  // The same under another root key (the family sets RootKey and opens the key again).
  TRegIniFile(const std::string& fileName, HKEY rootKey);

  // Properties
  const std::string& FileName() const { return FFileName; }

  // Methods. Sections are sub-keys of the current key; an empty section means the key itself.
  // Reads give the default when the section or value is missing; writes create the section and
  // raise ERegistryException when the section cannot be created or the value not set. Integers
  // and Booleans are stored as text (decimal digits; "1"/"0"); reading one accepts a REG_DWORD
  // too, and text that is not a number gives the default.
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue);
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Byte strings (scrambled values): each byte is stored as the character code page 1252 gives
  // it, through the wide calls, so that all 256 byte values survive whatever the process's code
  // page, and values written by a process of code page 1252 read the same. Reading one that is
  // not text gives the default.
  std::string ReadByteString(const std::string& section, const std::string& ident,
                             const std::string& defaultValue);
  void WriteByteString(const std::string& section, const std::string& ident, const std::string& bytes);
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  void ReadSection(const std::string& section, TStrings& strings);   // value names
  void ReadSections(TStrings& strings);                               // section names
  void ReadSectionValues(const std::string& section, TStrings& strings);  // "name=value" lines
  void ReadSection(const std::string& section, TStrings* strings) { ReadSection(section, *strings); }
  void ReadSections(TStrings* strings) { ReadSections(*strings); }
  void ReadSectionValues(const std::string& section, TStrings* strings) {
    ReadSectionValues(section, *strings);
  }
  void EraseSection(const std::string& section);  // the sub-key with all its values
  void DeleteKey(const std::string& section, const std::string& ident);  // one value

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

 private:
  // Where a section lives: the base key and the name below it (false when the file has no key).
  bool SectionPath(const std::string& section, HKEY& base, std::string& name) const;
  os::UniqueHKey OpenSection(const std::string& section, REGSAM access) const;
  os::UniqueHKey CreateSection(const std::string& section) const;  // raises when it cannot
  void EnsureFileKey() const;

  std::string FFileName;
  mutable bool FFileKeyEnsured = false;
};

}  // namespace kyt

#endif  // KYT_HOST_RTL_REGISTRY_H
