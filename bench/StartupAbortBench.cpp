// The startup entry's add and remove, and the illegal-abort detector's start (read and raise
// the marker) and end (lower it), against the plain registry calls doing the same work. The
// entry names a made-up program (the seam's GetModuleFileNameA is replaced), never this one.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/SeamCalls.h"
#include "host/os/OsSeam.h"
#include "host/os/Win.h"
#include "persistence/KYTTIllegalAbort.h"
#include "persistence/KYTTStartup.h"

namespace {

constexpr int kRounds = 200;
constexpr int kPairs = 15;
const std::string kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kAbortKey = "Software\\KYT\\Bench\\IllegalAbort";
const std::string kAbortSection = kAbortKey + "\\Run";
const std::string kFakeExe = "C:\\KYT Bench\\No Such Program.exe";

DWORD WINAPI FakeModuleFileName(HMODULE, LPSTR buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(kFakeExe.size());
  if (size <= length) return 0;
  std::memcpy(buffer, kFakeExe.c_str(), length + 1);
  return length;
}

bool ValueExists(HKEY key, const char* name) {
  return kyt::os::advapi32.RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

// Open the Run key, look for the value, write it (or delete it), close: what InstallApp does.
void PlainInstall(const std::string& name, bool install) {
  HKEY key = nullptr;
  if (kyt::os::advapi32.RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  const bool exists = ValueExists(key, name.c_str());
  if (install && !exists) {
    const std::string text = "\"" + kFakeExe + "\"";
    kyt::os::advapi32.RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(text.c_str()),
                                     static_cast<DWORD>(text.size() + 1));
  } else if (!install && exists) {
    kyt::os::advapi32.RegDeleteValueA(key, name.c_str());
  }
  kyt::os::advapi32.RegCloseKey(key);
}

void PlainWriteMarker(const char* text) {
  HKEY key = nullptr;
  if (kyt::os::advapi32.RegCreateKeyExA(HKEY_CURRENT_USER, kAbortSection.c_str(), 0, nullptr, 0,
                                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  kyt::os::advapi32.RegSetValueExA(key, kyt::kKYTIllegalAbortMarker, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text),
                                   static_cast<DWORD>(std::strlen(text) + 1));
  kyt::os::advapi32.RegCloseKey(key);
}

// One start (read the marker, raise it) and one end (lower it), each an open-use-close.
void PlainStartAndEnd() {
  HKEY key = nullptr;
  if (kyt::os::advapi32.RegOpenKeyExA(HKEY_CURRENT_USER, kAbortSection.c_str(), 0,
                                      KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    char buffer[32];
    DWORD size = sizeof buffer;
    kyt::os::advapi32.RegQueryValueExA(key, kyt::kKYTIllegalAbortMarker, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    kyt::os::advapi32.RegCloseKey(key);
  }
  PlainWriteMarker("1");
  PlainWriteMarker("0");
}

void ComponentStartAndEnd() {
  kyt::TKYTIllegalAbort detector(nullptr);
  detector.ParamStore()->Registry()->SetPath(kAbortKey);
  detector.ParamStore()->Registry()->SetSection("Run");
  detector.Loaded();
}

void DeleteRunValue(const std::string& name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  ::RegDeleteValueA(key, name.c_str());
  ::RegCloseKey(key);
}

void DeleteAbortKey() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kAbortKey.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kAbortKey.c_str());
}

}  // namespace

int main() {
  using namespace kyt;
  os::ScopedOverride fakeExe(os::kernel32.GetModuleFileNameA, &FakeModuleFileName);
  const std::string name = "KYTBench Startup " + std::to_string(::GetCurrentProcessId());

  TKYTStartup startup(nullptr);
  startup.SetUniqueName(name);
  // Warm-up, and proof that the component does the work it is timed for.
  if (!startup.InstallApp(true) || !startup.InstallApp(false)) {
    std::printf("bench_startupabort: the startup entry was not written and removed\n");
    DeleteRunValue(name);
    return 1;
  }
  const auto componentEntry = [&] {
    for (int i = 0; i < kRounds; ++i) {
      startup.InstallApp(true);
      startup.InstallApp(false);
    }
  };
  const auto plainEntry = [&] {
    for (int i = 0; i < kRounds; ++i) {
      PlainInstall(name, true);
      PlainInstall(name, false);
    }
  };
  const bench::TRatioStats entry = bench::PairRatios(kPairs, componentEntry, plainEntry);
  const bench::TCalls entryCalls{bench::CallsPerOperation<bench::TRegistryCounting>(kRounds, componentEntry),
                                 bench::CallsPerOperation<bench::TRegistryCounting>(kRounds, plainEntry)};
  DeleteRunValue(name);
  std::printf("bench_startupabort: startup entry add+remove x%d: component %.2f ms, plain %.2f ms (medians)\n",
              kRounds, entry.OursMs, entry.PlainMs);
  bench::Report("bench_startupabort", "Run entry added and removed against RegSetValueEx and RegDeleteValue", entry,
                bench::kBookkeeping, entryCalls);

  DeleteAbortKey();
  ComponentStartAndEnd();
  const auto componentMarker = [&] {
    for (int i = 0; i < kRounds; ++i) ComponentStartAndEnd();
  };
  const auto plainMarker = [&] {
    for (int i = 0; i < kRounds; ++i) PlainStartAndEnd();
  };
  const bench::TRatioStats marker = bench::PairRatios(kPairs, componentMarker, plainMarker);
  const bench::TCalls markerCalls{bench::CallsPerOperation<bench::TRegistryCounting>(kRounds, componentMarker),
                                  bench::CallsPerOperation<bench::TRegistryCounting>(kRounds, plainMarker)};
  DeleteAbortKey();
  std::printf("bench_startupabort: illegal-abort start+end x%d: component %.2f ms, plain %.2f ms (medians)\n",
              kRounds, marker.OursMs, marker.PlainMs);
  bench::Report("bench_startupabort", "abort marker set and cleared against the same registry calls", marker,
                bench::kBookkeeping, markerCalls);
  return 0;
}
