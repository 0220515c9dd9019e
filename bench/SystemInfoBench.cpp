// The system information components against the plain platform calls gathering the same facts:
// system details' construction, version details' re-read, drive volume's full refresh and resource
// info's refresh (its tick). Prints one ratio per component (target <= 1.5).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "host/os/OsSeam.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTResourceInfo.h"
#include "system/KYTTSystemDetails.h"
#include "system/KYTTVersionDetails.h"

namespace kyt {
namespace {

using os::advapi32;
using os::kernel32;
using os::user32;

constexpr int kCalls = 200;
constexpr int kRounds = 9;
size_t g_sink = 0;  // keeps results alive

void PlainSystemDetails() {
  HKEY key = nullptr;
  if (advapi32.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKYTSystemDetailsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    for (const char* name : {"RegisteredOrganization", "RegisteredOwner", "ProgramFilesDir", "SystemRoot"}) {
      char value[256];
      DWORD type = 0, size = sizeof value;
      if (advapi32.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
        g_sink += std::string(value).size();
    }
    advapi32.RegCloseKey(key);
  }
  SYSTEM_INFO info{};
  kernel32.GetSystemInfo(&info);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  kernel32.GetVersionExA(&version);
  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  kernel32.GlobalMemoryStatus(&memory);
  ULARGE_INTEGER total{};
  const UINT mode = kernel32.SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  kernel32.GetDiskFreeSpaceExA("C:\\", nullptr, &total, nullptr);
  kernel32.SetErrorMode(mode);
  g_sink += (std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion)).size() +
            std::to_string(version.dwBuildNumber & 0xFFFF).size() +
            std::to_string(memory.dwTotalPhys / 1024).size() + std::to_string(total.QuadPart >> 20).size() +
            std::to_string(user32.GetSystemMetrics(SM_CYSCREEN)).size() +
            std::to_string(user32.GetSystemMetrics(SM_CXSCREEN)).size() + info.dwProcessorType;
}

void PlainVersionDetails() {
  char path[MAX_PATH + 1] = {};
  kernel32.GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = os::version.GetFileVersionInfoSizeA(path, &handle);
  if (!size) return;
  std::vector<char> data(size);
  if (!os::version.GetFileVersionInfoA(path, handle, size, data.data())) return;
  void* table = nullptr;
  UINT length = 0;
  os::version.VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &table, &length);
  for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyRight",
                           "OriginalFileName", "ProductName", "ProductVersion"}) {
    void* value = nullptr;
    UINT chars = 0;
    if (os::version.VerQueryValueA(data.data(), (std::string("\\StringFileInfo\\040904E4\\") + name).c_str(), &value,
                                   &chars))
      g_sink += std::string(static_cast<const char*>(value)).size();
  }
}

void PlainDriveVolume() {
  char label[MAX_PATH + 1], fileSystem[MAX_PATH + 1];
  DWORD serial = 0, maxLength = 0, flags = 0;
  const UINT mode = kernel32.SetErrorMode(SEM_FAILCRITICALERRORS);
  if (kernel32.GetVolumeInformationA("C:\\", label, sizeof label, &serial, &maxLength, &flags, fileSystem,
                                     sizeof fileSystem)) {
    char text[10];
    std::snprintf(text, sizeof text, "%04X:%04X", static_cast<unsigned>(serial >> 16),
                  static_cast<unsigned>(serial & 0xFFFF));
    std::string l = label, f = fileSystem;
    user32.CharUpperBuffA(l.data(), static_cast<DWORD>(l.size()));
    user32.CharUpperBuffA(f.data(), static_cast<DWORD>(f.size()));
    g_sink += l.size() + f.size() + std::string(text).size() + flags;
  }
  kernel32.SetErrorMode(mode);
}

void PlainResourceInfo() {
  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  kernel32.GlobalMemoryStatus(&memory);
  g_sink += std::to_string(memory.dwMemoryLoad).size() + std::to_string(memory.dwTotalPhys / 1024).size() +
            std::to_string(memory.dwAvailPhys / 1024).size() +
            std::to_string((memory.dwTotalPageFile - memory.dwAvailPageFile) >> 20).size() +
            std::to_string((memory.dwTotalVirtual - memory.dwAvailVirtual) / 1024).size();
  g_sink += (user32.GetKeyState(VK_NUMLOCK) & 1) + (user32.GetKeyState(VK_CAPITAL) & 1) +
            (user32.GetKeyState(VK_SCROLL) & 1);
  ULARGE_INTEGER available{}, total{};
  const UINT mode = kernel32.SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  kernel32.GetDiskFreeSpaceExA(nullptr, &available, &total, nullptr);
  kernel32.SetErrorMode(mode);
  g_sink += std::to_string(available.QuadPart / 1024000).size() + std::to_string(total.QuadPart / 1024000).size();
  char text[128];
  g_sink += kernel32.GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
  g_sink += kernel32.GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, sizeof text);
}

template <class Fn>
void Repeat(Fn&& fn) {
  for (int i = 0; i < kCalls; ++i) fn();
}

// Pairs of the two sides, measured in turn so that load hits both alike.
template <class Plain, class Component>
void Compare(const char* name, Plain&& plain, Component&& component) {
  const bench::TRatioStats stats =
      bench::PairRatios(kRounds, [&] { Repeat(component); }, [&] { Repeat(plain); });
  std::printf("%-16s %8.3f ms plain, %8.3f ms component for %d refreshes (medians)\n", name, stats.PlainMs,
              stats.OursMs, kCalls);
  bench::Report("bench_systeminfo", (std::string(name) + " refresh against the same platform calls").c_str(),
                stats, bench::kMoreWork);
}

int Main() {
  Compare("system details", PlainSystemDetails, [] { TKYTSystemDetails details(nullptr); g_sink += details.Build().size(); });
  TKYTVersionDetails version(nullptr);
  Compare("version details", PlainVersionDetails, [&] { version.ReInitialize(); });
  TKYTDriveVolume volume(nullptr);
  Compare("drive volume", PlainDriveVolume, [&] { volume.UpdateAll(); });
  TKYTResourceInfo info(nullptr);
  Compare("resource info", PlainResourceInfo, [&] { info.SetAll(); });
  return g_sink == 0 ? 1 : 0;
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Main(); }
