// RegistrySnapshot.cpp: saving and restoring registry values with the plain API.
#include "tests/support/RegistrySnapshot.h"

#include <utility>

namespace kyt {

TRegistrySnapshot::TRegistrySnapshot(HKEY root, std::string key, std::vector<std::string> valueNames)
    : FRoot(root), FKey(std::move(key)) {
  HKEY opened = nullptr;
  const bool open = ::RegOpenKeyExA(FRoot, FKey.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
  for (std::string& name : valueNames) {
    Value v;
    v.Name = std::move(name);
    DWORD size = 0;
    if (open && ::RegQueryValueExA(opened, v.Name.c_str(), nullptr, &v.Type, nullptr, &size) == ERROR_SUCCESS) {
      v.Data.resize(size);
      v.Present = ::RegQueryValueExA(opened, v.Name.c_str(), nullptr, &v.Type, v.Data.data(), &size) == ERROR_SUCCESS;
      v.Data.resize(size);
    }
    FValues.push_back(std::move(v));
  }
  if (open) ::RegCloseKey(opened);
}

void TRegistrySnapshot::Restore() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(FRoot, FKey.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
  for (const Value& v : FValues) {
    if (v.Present)
      ::RegSetValueExA(opened, v.Name.c_str(), 0, v.Type, v.Data.data(), static_cast<DWORD>(v.Data.size()));
    else
      ::RegDeleteValueA(opened, v.Name.c_str());
  }
  ::RegCloseKey(opened);
}

std::string TRegistrySnapshot::SavedText(const std::string& valueName) const {
  for (const Value& v : FValues) {
    if (v.Name != valueName || !v.Present || (v.Type != REG_SZ && v.Type != REG_EXPAND_SZ)) continue;
    std::string text(v.Data.begin(), v.Data.end());
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
  }
  return "";
}

std::string ReadRegistryText(HKEY root, const std::string& key, const std::string& valueName) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1;
  if (::RegGetValueA(root, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return "";
  return buffer;
}

}  // namespace kyt
