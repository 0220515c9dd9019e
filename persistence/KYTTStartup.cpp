// KYTTStartup: adding and removing the application's entry in the machine's Run list.
#include "persistence/KYTTStartup.h"

#include "host/rtl/Registry.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTStartup::StaticClass());
  return true;
}();

}  // namespace

std::string KYTRunCommand(const std::string& exePath) {
  if (exePath.find(' ') == std::string::npos) return exePath;
  return "\"" + exePath + "\"";
}

TKYTStartup::TKYTStartup(TComponent* AOwner) : inherited(AOwner) {}

void TKYTStartup::SetUniqueName(const std::string& value) {
  if (value != FUniqueName) FUniqueName = value;
}

void TKYTStartup::SetAutoStartup(bool Value) {
  if (Value == FAutoStartup) return;
  FAutoStartup = Value;
  if (ComponentState().Contains(csDesigning)) return;
  InstallApp(Value);
}

bool TKYTStartup::InstallApp(bool Install) {
  if (FUniqueName.empty()) return false;
  try {
    // An entry without a program would start nothing: no name, no entry.
    const std::string exeName = Install ? Application->ExeName() : std::string();
    if (Install && exeName.empty()) return false;
    // Only the rights the calls below need: a user who may not do everything to the key still may.
    TRegistry registry(KEY_QUERY_VALUE | KEY_SET_VALUE);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    // Without the Run key open, a write would land elsewhere: the entry is simply not made.
    if (!registry.OpenKey(kKYTRunKey, true)) return false;
    if (Install) {
      if (registry.ValueExists(FUniqueName)) return false;
      registry.WriteString(FUniqueName, KYTRunCommand(exeName));
      return true;
    }
    if (!registry.ValueExists(FUniqueName)) return false;
    return registry.DeleteValue(FUniqueName);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace kyt
