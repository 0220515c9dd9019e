// KYTTSystemDetails: gathering the machine's facts through the OS seam and the runtime.
#include "system/KYTTSystemDetails.h"

#include <array>
#include <cstdint>

#include "host/os/OsSeam.h"
#include "host/rtl/Registry.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTSystemDetails::StaticClass());
  return true;
}();

// A value of another type than text would raise; that one value stays empty instead, so the
// component (and the form it is on) still loads.
std::string ReadTextValue(TRegistry& reg, const char* name) {
  try {
    return reg.ReadString(name);
  } catch (const Exception&) {
    return {};
  }
}

std::string TextUpToZero(const char* buffer, size_t capacity) {
  size_t n = 0;
  while (n < capacity && buffer[n]) ++n;
  return std::string(buffer, n);
}

}  // namespace

TKYTSystemDetails::TKYTSystemDetails(TComponent* AOwner) : TKYTSystemsComponent(AOwner) {
  ReadRegistryValues();
  ReadProcessor();
  ReadVersion();
  ReadMemoryAndDrive();
  ReadScreen();
}

// Read-only: a standard user may not open the machine's key for writing, and the key is never
// created. A missing key leaves the four values empty.
void TKYTSystemDetails::ReadRegistryValues() {
  TRegistry reg(KEY_READ);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  reg.OpenKeyReadOnly(kKYTSystemDetailsKey);
  FOrganisation = ReadTextValue(reg, "RegisteredOrganization");
  FOwner = ReadTextValue(reg, "RegisteredOwner");
  FProgramFilesDir = ReadTextValue(reg, "ProgramFilesDir");
  FSystemRoot = ReadTextValue(reg, "SystemRoot");
}

void TKYTSystemDetails::ReadProcessor() {
  SYSTEM_INFO info{};
  os::kernel32.GetSystemInfo(&info);
  switch (info.dwProcessorType) {
    case PROCESSOR_INTEL_386: FCPU = "Intel 386"; break;
    case PROCESSOR_INTEL_486: FCPU = "Intel 486"; break;
    case PROCESSOR_INTEL_PENTIUM: FCPU = "Intel Pentium"; break;
    default: FCPU.clear(); break;
  }
}

void TKYTSystemDetails::ReadVersion() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!os::kernel32.GetVersionExA(&version)) {
    // Unknown, as for a platform the texts do not know: the empty record would read as
    // "Windows 3.1" version 0.0.
    FOS.clear();
    FWinVersion.clear();
    FBuild.clear();
    return;
  }
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s: FOS = "Windows 3.1"; break;
    case VER_PLATFORM_WIN32_WINDOWS: FOS = "Windows 95"; break;
    case VER_PLATFORM_WIN32_NT: FOS = "Windows NT"; break;
    default: FOS.clear(); break;
  }
  FWinVersion = std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion);
  FBuild = std::to_string(version.dwBuildNumber & 0xFFFF);
}

void TKYTSystemDetails::ReadMemoryAndDrive() {
  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  os::kernel32.GlobalMemoryStatus(&memory);
  FTotalMemory = std::to_string(static_cast<uint64_t>(memory.dwTotalPhys) / 1024) + " KB";
  // One size query: its answer is the figure shown.
  const int64_t size = DiskSize(3);
  FDriveC = size == -1 ? std::string() : std::to_string(size / 1024 / 1024) + " MB";
}

void TKYTSystemDetails::ReadScreen() {
  FScreenHeight = std::to_string(Screen->Height());
  FScreenWidth = std::to_string(Screen->Width());
}

std::string TKYTSystemDetails::GetUName() const {
  std::array<char, 255 * kMaxBytesPerChar + 1> buffer{};  // 255 characters of any script
  DWORD size = static_cast<DWORD>(buffer.size() - 1);
  if (!os::advapi32.GetUserNameA(buffer.data(), &size)) return "User not logged on";
  return TextUpToZero(buffer.data(), buffer.size());
}

std::string TKYTSystemDetails::GetCName() const {
  std::array<char, 255 * kMaxBytesPerChar + 1> buffer{};  // 255 characters of any script
  DWORD size = static_cast<DWORD>(buffer.size() - 1);
  if (!os::kernel32.GetComputerNameA(buffer.data(), &size)) return "Error on locating Computername";
  return TextUpToZero(buffer.data(), buffer.size());
}

void TKYTSystemDetails::SetSelfString(const std::string&) { ReadScreen(); }

}  // namespace kyt
