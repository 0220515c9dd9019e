// KYTTStoreData: the data store's common frame, its two back-ends and the scrambled strings.
#include "persistence/KYTTStoreData.h"

#include <algorithm>

#include "host/rtl/IniFiles.h"
#include "host/rtl/Registry.h"
#include "host/rtl/WideText.h"

namespace kyt {

namespace {

// Form files create the store's classes by name, so the unit makes them known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTDataStore::StaticClass(), &TKYTRegistry::StaticClass(),
                   &TKYTIniFile::StaticClass(), &TKYTStoreData::StaticClass()});
  return true;
}();

}  // namespace

// TKYTRegistry / TKYTIniFile

void TKYTRegistry::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TKYTRegistry*>(source)) {
    FRootkey = other->FRootkey;
    FPath = other->FPath;
    FSection = other->FSection;
    return;
  }
  inherited::Assign(source);
}

void TKYTIniFile::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TKYTIniFile*>(source)) {
    FFilename = other->FFilename;
    FSection = other->FSection;
    return;
  }
  inherited::Assign(source);
}

// TKYTDataStore

TKYTDataStore::TKYTDataStore() {
  FRegistry = new TKYTRegistry();
  try {
    FInifile = new TKYTIniFile();
  } catch (...) {
    delete FRegistry;
    throw;
  }
}

TKYTDataStore::~TKYTDataStore() {
  delete FInifile;
  delete FRegistry;
}

void TKYTDataStore::SetRegistry(TKYTRegistry* value) {
  if (value != FRegistry) FRegistry->Assign(value);
}

void TKYTDataStore::SetInifile(TKYTIniFile* value) {
  if (value != FInifile) FInifile->Assign(value);
}

void TKYTDataStore::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TKYTDataStore*>(source)) {
    if (other == this) return;
    FErrorInt = other->FErrorInt;
    FErrorStr = other->FErrorStr;
    FErrorBool = other->FErrorBool;
    FOnError = other->FOnError;
    FEnabled = other->FEnabled;
    FDatatype = other->FDatatype;
    FRegistry->Assign(other->FRegistry);
    FInifile->Assign(other->FInifile);
    return;
  }
  inherited::Assign(source);
}

void TKYTDataStore::DoFix() {
  std::string path = FRegistry->Path();
  std::replace(path.begin(), path.end(), '/', '\\');
  FRegistry->SetPath(path);
}

std::string TKYTDataStore::GetSection() const {
  return FDatatype == sIniFile ? FInifile->Section() : FRegistry->Section();
}

void TKYTDataStore::FireError() {
  if (FOnError) FOnError(this);
}

// The frame of every operation: DoFix (unless told not to), the enabled switch, the empty
// section, the empty location, then one back-end object created for this call only. Returns
// whether the back-end was reached.
template <class Op>
bool TKYTDataStore::Run(bool fixPath, TAccess access, const std::string& name,
                        const std::string* value, Op&& op) {
  if (fixPath) DoFix();
  if (!FEnabled) return false;
  const std::string section = GetSection();
  if (section.empty()) {
    FireError();
    return false;
  }
  // Both back-ends keep text as the platform's wide text: a name or text value holding a byte that
  // is no character there (it would become U+FFFD) is refused, not stored changed.
  const auto refused = [&](bool kept) {
    if (!kept && access != TAccess::QuietRead) FireError();
    return !kept;
  };
  const bool exact = access == TAccess::Section ||
                     (IsExactText(name) && (!value || access == TAccess::WriteBytes || IsExactText(*value)));
  if (FDatatype == sIniFile) {
    const std::string fileName = FInifile->Filename();
    if (fileName.empty()) return false;
    // A name or value the ini format cannot keep is refused before anything is opened.
    if (refused(access == TAccess::Section ||
                (TIniFile::IsValidIdent(name) && (!value || TIniFile::IsValidValue(*value)) && exact)))
      return false;
    TIniFile ini(fileName);
    op(ini, section);
    return true;
  }
  const std::string path = FRegistry->Path();
  if (path.empty() || refused(exact)) return false;
  TRegIniFile reg(path, KYTHKeys[FRegistry->Rootkey()]);
  op(reg, section);
  return true;
}

std::string TKYTDataStore::ReadStr(const std::string& Name) {
  std::string result = FErrorStr;
  if (!Run(true, TAccess::Read, Name, nullptr,
           [&](auto& f, const std::string& s) { result = f.ReadString(s, Name, FErrorStr); }))
    return result;
  if (result == FErrorStr) FireError();
  return result;
}

void TKYTDataStore::ReadStrs(TStrings* List) {
  Run(true, TAccess::Section, std::string(), nullptr,
      [&](auto& f, const std::string& s) { f.ReadSectionValues(s, List); });
}

std::string TKYTDataStore::ReadCrypt(const std::string& Name) {
  std::string result = FErrorStr;
  if (!Run(true, TAccess::Read, Name, nullptr,
           [&](auto& f, const std::string& s) { result = f.ReadByteString(s, Name, FErrorStr); }))
    return result;
  // The error value read is result itself: OnError may free the store's holder, and the store.
  if (result == FErrorStr) {
    FireError();
    return result;
  }
  return KYTUnscramble(result);
}

void TKYTDataStore::WriteCrypt(const std::string& Name, const std::string& Value) {
  const std::string scrambled = KYTScramble(Value);
  Run(true, TAccess::WriteBytes, Name, &scrambled,
      [&](auto& f, const std::string& s) { f.WriteByteString(s, Name, scrambled); });
}

void TKYTDataStore::WriteStr(const std::string& Name, const std::string& Value) {
  Run(true, TAccess::Write, Name, &Value,
      [&](auto& f, const std::string& s) { f.WriteString(s, Name, Value); });
}

int32_t TKYTDataStore::ReadInt(const std::string& Name) {
  int32_t result = FErrorInt;
  if (!Run(true, TAccess::Read, Name, nullptr,
           [&](auto& f, const std::string& s) { result = f.ReadInteger(s, Name, FErrorInt); }))
    return result;
  if (result == FErrorInt) FireError();
  return result;
}

void TKYTDataStore::WriteInt(const std::string& Name, int32_t Value) {
  const std::string text = std::to_string(Value);
  Run(true, TAccess::Write, Name, &text,
      [&](auto& f, const std::string& s) { f.WriteInteger(s, Name, Value); });
}

bool TKYTDataStore::ReadBool(const std::string& Name) {
  bool result = FErrorBool;
  Run(true, TAccess::QuietRead, Name, nullptr,
      [&](auto& f, const std::string& s) { result = f.ReadBool(s, Name, FErrorBool); });
  return result;
}

void TKYTDataStore::WriteBool(const std::string& Name, bool Value) {
  const std::string text = Value ? "1" : "0";
  Run(true, TAccess::Write, Name, &text,
      [&](auto& f, const std::string& s) { f.WriteBool(s, Name, Value); });
}

void TKYTDataStore::Erase() {
  Run(false, TAccess::Section, std::string(), nullptr,
      [&](auto& f, const std::string& s) { f.EraseSection(s); });
}

void TKYTDataStore::DeleteKey(const std::string& Name) {
  Run(true, TAccess::Write, Name, nullptr,
      [&](auto& f, const std::string& s) { f.DeleteKey(s, Name); });
}

void TKYTDataStore::WriteAll(const std::function<void()>& writes) {
  DoFix();
  const std::string section = GetSection();
  const bool ini = FDatatype == sIniFile;
  // Writes that reach no back-end change nothing there to put back.
  if (FWritingAll || !FEnabled || section.empty() || (ini ? FInifile->Filename() : FRegistry->Path()).empty()) {
    writes();
    return;
  }
  struct TFlag {
    bool& Flag;
    ~TFlag() { Flag = false; }
  } writingAll{FWritingAll = true};
  if (ini) {
    const TIniFile file(FInifile->Filename());
    const std::optional<std::string> before = file.SaveFile();
    try {
      writes();
    } catch (...) {
      file.RestoreFile(before);
      throw;
    }
    return;
  }
  // Where TRegIniFile keeps the section: below the path, or from the root for "\section".
  std::string path = FRegistry->Path();
  if (!path.empty() && path.front() == '\\') path.erase(0, 1);
  const std::string key = section.front() == '\\' ? section.substr(1) : path + "\\" + section;
  TRegistry registry(KEY_QUERY_VALUE | KEY_SET_VALUE);
  registry.SetRootKey(KYTHKeys[FRegistry->Rootkey()]);
  const TRegistry::TKeyImage before = registry.SaveKey(key);
  try {
    writes();
  } catch (...) {
    registry.RestoreKey(key, before);
    throw;
  }
}

// TKYTStoreData

TKYTStoreData::TKYTStoreData(TComponent* AOwner) : inherited(AOwner) {
  FDataStore = new TKYTDataStore();
}

TKYTStoreData::~TKYTStoreData() { delete FDataStore; }

void TKYTStoreData::SetDataStore(TKYTDataStore* value) {
  if (value != FDataStore) FDataStore->Assign(value);
}

}  // namespace kyt
