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
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    // Without the Run key open, a write would land elsewhere: the entry is simply not made.
    if (!registry.OpenKey(kKYTRunKey, true)) return false;
    if (Install) {
      if (registry.ValueExists(FUniqueName)) return false;
      registry.WriteString(FUniqueName, KYTRunCommand(Application->ExeName()));
      return true;
    }
    if (!registry.ValueExists(FUniqueName)) return false;
    return registry.DeleteValue(FUniqueName);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace kyt
