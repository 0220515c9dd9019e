// RegistrySnapshot.h: remembers some values of a registry key (their type and data, or that
// they were missing) and puts them back when it goes out of scope, for tests that change values
// they do not own (the desktop settings).
#ifndef KYT_TESTS_SUPPORT_REGISTRYSNAPSHOT_H
#define KYT_TESTS_SUPPORT_REGISTRYSNAPSHOT_H

#include <string>
#include <vector>

#include "host/os/Win.h"

namespace kyt {

class TRegistrySnapshot {
 public:
  TRegistrySnapshot(HKEY root, std::string key, std::vector<std::string> valueNames);
  ~TRegistrySnapshot() { Restore(); }
  TRegistrySnapshot(const TRegistrySnapshot&) = delete;
  TRegistrySnapshot& operator=(const TRegistrySnapshot&) = delete;

  // Writes the remembered values back and deletes those that were missing.
  void Restore();
  // The remembered text of a string value ("" when missing or not a string).
  std::string SavedText(const std::string& valueName) const;

 private:
  struct Value {
    std::string Name;
    bool Present = false;
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
  };
  HKEY FRoot;
  std::string FKey;
  std::vector<Value> FValues;
};

// The text of a string value, or "" when the key or value is missing.
std::string ReadRegistryText(HKEY root, const std::string& key, const std::string& valueName);

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_REGISTRYSNAPSHOT_H
