// KYTTStoreData: a small key/value store for application settings kept in the registry or in
// an ini file, and the component that carries one on a form.
#ifndef KYT_PERSISTENCE_KYTTSTOREDATA_H
#define KYT_PERSISTENCE_KYTTSTOREDATA_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/core/Persistent.h"
#include "host/core/Strings.h"
#include "host/core/TypeInfo.h"
#include "host/os/Win.h"
#include "persistence/KYTScramble.h"

namespace kyt {

// Types

// Root key of the registry back-end; KYTHKeys maps each member to its handle.
enum TKYTRootKey : uint8_t {
  hkeyClassesRoot,
  hkeyCurrentUser,
  hkeyLocalMachine,
  hkeyUsers,
  hkeyCurrentConfig,
  hkeyDynData
};
KYT_ENUM_INFO(TKYTRootKey, "hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers",
              "hkeyCurrentConfig", "hkeyDynData")

// Which back-end a data store uses.
enum TKYTDatatype : uint8_t { sRegistry, sIniFile };
KYT_ENUM_INFO(TKYTDatatype, "sRegistry", "sIniFile")

// Root-key handles indexed by TKYTRootKey. HKEY_PERFORMANCE_DATA has no member.
inline const std::array<HKEY, 6> KYTHKeys = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
                                             HKEY_LOCAL_MACHINE, HKEY_USERS,
                                             HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};


// Registry location: the values live in the key Path\Section below the root key.
class TKYTRegistry : public TPersistent {
  KYT_CLASS(TKYTRegistry, TPersistent)
 public:
  static void Publish(TPublisher<TKYTRegistry>& p) {
    p.Property("Rootkey", &TKYTRegistry::Rootkey, &TKYTRegistry::SetRootkey)
        .Default(hkeyCurrentUser);
    p.Property("Path", &TKYTRegistry::Path, &TKYTRegistry::SetPath);
    p.Property("Section", &TKYTRegistry::Section, &TKYTRegistry::SetSection);
  }

  TKYTRegistry() = default;

  // Properties
  TKYTRootKey Rootkey() const { return FRootkey; }
  void SetRootkey(TKYTRootKey value) { FRootkey = value; }
  std::string Path() const { return FPath; }
  void SetPath(const std::string& value) { FPath = value; }
  std::string Section() const { return FSection; }
  void SetSection(const std::string& value) { FSection = value; }

  // Methods
  void Assign(const TPersistent* source) override;

 private:
  TKYTRootKey FRootkey = hkeyCurrentUser;
  std::string FPath = "Software\\Company\\Product";
  std::string FSection = "MySection";
};

// Ini-file location: the values live in [Section] of the file Filename.
class TKYTIniFile : public TPersistent {
  KYT_CLASS(TKYTIniFile, TPersistent)
 public:
  static void Publish(TPublisher<TKYTIniFile>& p) {
    p.Property("Filename", &TKYTIniFile::Filename, &TKYTIniFile::SetFilename);
    p.Property("Section", &TKYTIniFile::Section, &TKYTIniFile::SetSection);
  }

  TKYTIniFile() = default;

  // Properties
  std::string Filename() const { return FFilename; }
  void SetFilename(const std::string& value) { FFilename = value; }
  std::string Section() const { return FSection; }
  void SetSection(const std::string& value) { FSection = value; }

  // Methods
  void Assign(const TPersistent* source) override;

 private:
  std::string FFilename = "MyFile.ini";
  std::string FSection = "MySection";
};

// Typed reads and writes of named values in one section of the registry or an ini file. Every
// operation opens its back-end, does one thing and closes it again; nothing is cached.
class TKYTDataStore : public TPersistent {
  KYT_CLASS(TKYTDataStore, TPersistent)
 public:
  static void Publish(TPublisher<TKYTDataStore>& p) {
    p.Property("ErrorInt", &TKYTDataStore::ErrorInt, &TKYTDataStore::SetErrorInt);
    p.Property("ErrorStr", &TKYTDataStore::ErrorStr, &TKYTDataStore::SetErrorStr);
    p.Property("ErrorBool", &TKYTDataStore::ErrorBool, &TKYTDataStore::SetErrorBool);
    p.Property("OnError", &TKYTDataStore::OnError, &TKYTDataStore::SetOnError);
    p.Property("Enabled", &TKYTDataStore::Enabled, &TKYTDataStore::SetEnabled).Default(true);
    p.Property("Datatype", &TKYTDataStore::Datatype, &TKYTDataStore::SetDatatype)
        .Default(sRegistry);
    p.Property("Registry", &TKYTDataStore::Registry, &TKYTDataStore::SetRegistry);
    p.Property("Inifile", &TKYTDataStore::Inifile, &TKYTDataStore::SetInifile);
  }

  TKYTDataStore();
  ~TKYTDataStore() override;
  TKYTDataStore(const TKYTDataStore&) = delete;
  TKYTDataStore& operator=(const TKYTDataStore&) = delete;

  // Properties
  int32_t ErrorInt() const { return FErrorInt; }
  void SetErrorInt(int32_t value) { FErrorInt = value; }
  std::string ErrorStr() const { return FErrorStr; }
  void SetErrorStr(const std::string& value) { FErrorStr = value; }
  bool ErrorBool() const { return FErrorBool; }
  void SetErrorBool(bool value) { FErrorBool = value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  TKYTDatatype Datatype() const { return FDatatype; }
  void SetDatatype(TKYTDatatype value) { FDatatype = value; }
  // The location objects are owned; their setters copy the settings given.
  TKYTRegistry* Registry() const { return FRegistry; }
  void SetRegistry(TKYTRegistry* value);
  TKYTIniFile* Inifile() const { return FInifile; }
  void SetInifile(TKYTIniFile* value);

  // Events
  // Fired with Sender = this data store for a missing value or an empty section.
  TNotifyEvent OnError() const { return FOnError; }
  void SetOnError(TNotifyEvent value) { FOnError = value; }

  // Methods
  std::string ReadStr(const std::string& Name);
  // Clears List and fills it with one "name=value" line per value of the section.
  void ReadStrs(TStrings* List);
  std::string ReadCrypt(const std::string& Name);
  void WriteCrypt(const std::string& Name, const std::string& Value);
  void WriteStr(const std::string& Name, const std::string& Value);
  int32_t ReadInt(const std::string& Name);
  void WriteInt(const std::string& Name, int32_t Value);
  bool ReadBool(const std::string& Name);
  void WriteBool(const std::string& Name, bool Value);
  void Erase();
  void DeleteKey(const std::string& Name);
  // Runs writes (Write* and DeleteKey calls on this store) as one change of the section: when one
  // of them raises, the section (the registry key, or the whole ini file) is put back as it was
  // and the error goes on, so the store holds all of the values or none. Inside another WriteAll
  // it simply runs the writes.
  void WriteAll(const std::function<void()>& writes);
  // Turns every '/' of Registry.Path into '\', in place.
  void DoFix();
  // Inifile.Section for the ini back-end, Registry.Section otherwise.
  std::string GetSection() const;

  void Assign(const TPersistent* source) override;

 private:
  // What an operation does with its value name, which decides how an ini name the format
  // cannot keep is answered: reads that report a missing value and writes fire OnError,
  // ReadBool stays silent as it does for a missing value; section operations take no name.
  // WriteBytes writes a scrambled value, bytes that are no text.
  enum class TAccess { Read, QuietRead, Write, WriteBytes, Section };
  template <class Op>
  bool Run(bool fixPath, TAccess access, const std::string& name, const std::string* value,
           Op&& op);
  void FireError();

  int32_t FErrorInt = 0;
  std::string FErrorStr = "Error";
  bool FErrorBool = false;
  TNotifyEvent FOnError;
  bool FEnabled = true;
  TKYTDatatype FDatatype = sRegistry;
  TKYTRegistry* FRegistry = nullptr;
  TKYTIniFile* FInifile = nullptr;
  bool FWritingAll = false;
};

// The component that carries one data store on a form; every call passes straight through.
class TKYTStoreData : public TKYTSystemsComponent {
  KYT_CLASS(TKYTStoreData, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTStoreData>& p) {
    // Kept with the form for older forms but never fired; DataStore.OnError reports the store's
    // errors.
    p.Property("OnError", &TKYTStoreData::OnError, &TKYTStoreData::SetOnError);
    // The store itself: registry key or ini file, the values read on errors, Enabled and OnError.
    p.Property("DataStore", &TKYTStoreData::DataStore, &TKYTStoreData::SetDataStore);
  }

  explicit TKYTStoreData(TComponent* AOwner);
  ~TKYTStoreData() override;

  // Properties
  TKYTDataStore* DataStore() const { return FDataStore; }
  void SetDataStore(TKYTDataStore* value);

  // Events
  // Stored with the form but never fired: errors are reported through DataStore.OnError.
  TNotifyEvent OnError() const { return FOnError; }
  void SetOnError(TNotifyEvent value) { FOnError = value; }

  // Methods
  std::string ReadStr(const std::string& Name) { return FDataStore->ReadStr(Name); }
  std::string ReadCrypt(const std::string& Name) { return FDataStore->ReadCrypt(Name); }
  int32_t ReadInt(const std::string& Name) { return FDataStore->ReadInt(Name); }
  bool ReadBool(const std::string& Name) { return FDataStore->ReadBool(Name); }
  void WriteStr(const std::string& Name, const std::string& Value) {
    FDataStore->WriteStr(Name, Value);
  }
  void WriteCrypt(const std::string& Name, const std::string& Value) {
    FDataStore->WriteCrypt(Name, Value);
  }
  void WriteInt(const std::string& Name, int32_t Value) { FDataStore->WriteInt(Name, Value); }
  void ReadStrs(TStrings* List) { FDataStore->ReadStrs(List); }
  void WriteBool(const std::string& Name, bool Value) { FDataStore->WriteBool(Name, Value); }
  void DeleteKey(const std::string& Name) { FDataStore->DeleteKey(Name); }
  void Erase() { FDataStore->Erase(); }

 private:
  TNotifyEvent FOnError;
  TKYTDataStore* FDataStore = nullptr;
};

}  // namespace kyt

#endif  // KYT_PERSISTENCE_KYTTSTOREDATA_H
