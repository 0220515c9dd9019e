// TRegIniFile writing and then reading 1,000 values, against the plain registry calls that do the
// same open-write-close (and open-read-close) per value. Prints the time ratio (target <= 1.3).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "host/os/OsSeam.h"
#include "host/rtl/Registry.h"

namespace {

using Clock = std::chrono::steady_clock;
using kyt::os::advapi32;

const std::string kPath = "Software\\KYT\\Bench\\RegIni";
const std::string kSection = "MySection";
constexpr int kValues = 1000;
constexpr int kRounds = 7;

// A tiny timing helper: the best of several rounds, which is the least disturbed by the machine.
template <class F>
double BestMs(F run, std::vector<double>& samples) {
  Clock::time_point start = Clock::now();
  run();
  double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  samples.push_back(ms);
  return *std::min_element(samples.begin(), samples.end());
}

std::vector<std::string> g_names, g_values;
int g_errors = 0;

void Clean() {
  kyt::TRegistry reg;
  if (reg.OpenKey("Software\\KYT\\Bench", false)) reg.DeleteKey("RegIni");
}

void Plain() {
  const std::string path = kPath + "\\" + kSection;
  for (int i = 0; i < kValues; ++i) {
    HKEY key = nullptr;
    if (advapi32.RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                 nullptr, &key, nullptr) != ERROR_SUCCESS) {
      ++g_errors;
      continue;
    }
    const std::string& v = g_values[i];
    advapi32.RegSetValueExA(key, g_names[i].c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(v.c_str()),
                            static_cast<DWORD>(v.size() + 1));
    advapi32.RegCloseKey(key);
  }
  for (int i = 0; i < kValues; ++i) {
    HKEY key = nullptr;
    if (advapi32.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
      ++g_errors;
      continue;
    }
    char buf[256];
    DWORD type = 0, size = sizeof buf;
    if (advapi32.RegQueryValueExA(key, g_names[i].c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
        g_values[i] != buf)
      ++g_errors;
    advapi32.RegCloseKey(key);
  }
}

// One TRegIniFile for the whole run.
void RegIniShared() {
  kyt::TRegIniFile ini(kPath);
  for (int i = 0; i < kValues; ++i) ini.WriteString(kSection, g_names[i], g_values[i]);
  for (int i = 0; i < kValues; ++i)
    if (ini.ReadString(kSection, g_names[i], "") != g_values[i]) ++g_errors;
}

// A TRegIniFile per value, as the data store uses it (every operation opens and closes).
void RegIniPerValue() {
  for (int i = 0; i < kValues; ++i) {
    kyt::TRegIniFile ini(kPath, HKEY_CURRENT_USER);
    ini.WriteString(kSection, g_names[i], g_values[i]);
  }
  for (int i = 0; i < kValues; ++i) {
    kyt::TRegIniFile ini(kPath, HKEY_CURRENT_USER);
    if (ini.ReadString(kSection, g_names[i], "") != g_values[i]) ++g_errors;
  }
}

}  // namespace

int main() {
  for (int i = 0; i < kValues; ++i) {
    g_names.push_back("Value" + std::to_string(i));
    g_values.push_back("text of value " + std::to_string(i));
  }
  std::vector<double> plain, shared, perValue;
  double plainMs = 0, sharedMs = 0, perValueMs = 0;
  // Interleaved rounds, each on a freshly emptied key, so both sides see the same registry.
  for (int round = 0; round < kRounds; ++round) {
    Clean();
    plainMs = BestMs(Plain, plain);
    Clean();
    sharedMs = BestMs(RegIniShared, shared);
    Clean();
    perValueMs = BestMs(RegIniPerValue, perValue);
  }
  Clean();
  std::printf("regini: plain open-write-close, open-read-close of %d values: %.2f ms\n", kValues,
              plainMs);
  std::printf("regini: TRegIniFile write then read of %d values: %.2f ms\n", kValues, sharedMs);
  std::printf("regini: a TRegIniFile per value (data store use): %.2f ms\n", perValueMs);
  kyt::bench::Report("bench_regini", "TRegIniFile write and read against open-write-close per value",
                kyt::bench::Ratio(sharedMs, plainMs), kyt::bench::kBookkeeping);
  kyt::bench::Report("bench_regini", "a TRegIniFile per value (the data store's use), the same",
                kyt::bench::Ratio(perValueMs, plainMs), kyt::bench::kBookkeeping);
  if (g_errors) std::printf("regini: %d values did not read back\n", g_errors);
  return g_errors ? 1 : 0;
}
