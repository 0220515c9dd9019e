// Storing and restoring a form with 500 controls through the registry, against the plain
// registry calls that do the same open-write-close (and open-read-close) per value.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SeamCalls.h"
#include "host/os/OsSeam.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTFormSaver.h"

namespace {

const std::string kBenchKey = "Software\\KYT\\Bench\\FormSaver";
const std::string kSection = "MySection";
constexpr int kControls = 500;
constexpr int kRounds = 5;

// The value names the saver writes for the form and its controls, in its order.
std::vector<std::string> ValueNames(const kyt::TForm& form) {
  std::vector<std::string> names;
  for (const char* suffix : {"_WindowState", "_Width", "_Height", "_Top", "_Left", "_Visible"})
    names.push_back(form.ClassName() + suffix);
  for (int i = 0; i < form.ControlCount(); ++i) {
    for (const char* suffix : {"_Width", "_Height", "_Top", "_Left", "_Visible"})
      names.push_back(form.Controls(i)->Name() + suffix);
  }
  return names;
}

// One open-write-close per value, as the saver's contract asks, with nothing in between.
void PlainStore(const std::vector<std::string>& names) {
  const std::string path = kBenchKey + "\\" + kSection;
  for (const std::string& name : names) {
    HKEY key = nullptr;
    if (kyt::os::advapi32.RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                          KEY_SET_VALUE, nullptr, &key,
                                          nullptr) != ERROR_SUCCESS)
      continue;
    const std::string text = "100";
    kyt::os::advapi32.RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(text.c_str()),
                                     static_cast<DWORD>(text.size() + 1));
    kyt::os::advapi32.RegCloseKey(key);
  }
}

void PlainRestore(const std::vector<std::string>& names) {
  const std::string path = kBenchKey + "\\" + kSection;
  for (const std::string& name : names) {
    HKEY key = nullptr;
    if (kyt::os::advapi32.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
      continue;
    char buffer[64];
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    kyt::os::advapi32.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    kyt::os::advapi32.RegCloseKey(key);
  }
}

// How many values the section holds: proof that a side did the work it is timed for.
DWORD CountValues() {
  const std::string path = kBenchKey + "\\" + kSection;
  HKEY key = nullptr;
  if (kyt::os::advapi32.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return 0;
  DWORD values = 0;
  kyt::os::advapi32.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     &values, nullptr, nullptr, nullptr, nullptr);
  kyt::os::advapi32.RegCloseKey(key);
  return values;
}

void DeleteBenchKey() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kBenchKey.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kBenchKey.c_str());
}

}  // namespace

int main() {
  using namespace kyt;
  DeleteBenchKey();
  auto* form = new TForm(Application);
  static_cast<TControl*>(form)->SetBounds(20, 20, 800, 600);
  for (int i = 0; i < kControls; ++i) {
    auto* panel = new TPanel(form);
    panel->SetName("Control" + std::to_string(i));
    panel->SetParent(form);
    static_cast<TControl*>(panel)->SetBounds((i % 25) * 30, (i / 25) * 28, 28, 26);
  }
  auto* saver = new TKYTFormSaver(form);
  saver->FormStore()->Registry()->SetPath(kBenchKey);
  const std::vector<std::string> names = ValueNames(*form);

  // One warm-up round of each, so both sides find the key already there. The saver must have
  // written every value it is timed for, and the plain side the same names.
  saver->Store();
  if (CountValues() != names.size()) {
    std::printf("bench_formsaver: the saver stored %lu values, not %zu\n",
                static_cast<unsigned long>(CountValues()), names.size());
    return 1;
  }
  static_cast<TControl*>(form->Controls(7))->SetLeft(1);
  saver->Restore();
  if (form->Controls(7)->Left() != (7 % 25) * 30) {
    std::printf("bench_formsaver: the saver did not restore the controls\n");
    return 1;
  }
  DeleteBenchKey();
  PlainStore(names);
  if (CountValues() != names.size()) {
    std::printf("bench_formsaver: the plain side stored %lu values, not %zu\n",
                static_cast<unsigned long>(CountValues()), names.size());
    return 1;
  }
  PlainRestore(names);

  // Pairs of a store and a restore on each side, interleaved, so that a busy moment of the
  // machine hits both alike.
  const auto saverSide = [&] {
    saver->Store();
    saver->Restore();
  };
  const auto plainSide = [&] {
    PlainStore(names);
    PlainRestore(names);
  };
  const bench::TRatioStats stats = bench::PairRatios(kRounds, saverSide, plainSide);
  const bench::TCalls calls{bench::CallsPerOperation<bench::TRegistryCounting>(1, saverSide),
                            bench::CallsPerOperation<bench::TRegistryCounting>(1, plainSide)};
  delete form;
  DeleteBenchKey();

  std::printf("bench_formsaver: %zu values per store and per restore, %d pairs\n", names.size(),
              std::max(kRounds, bench::kMinPairs));
  std::printf("bench_formsaver: saver %.1f ms, plain registry %.1f ms (medians)\n", stats.OursMs, stats.PlainMs);
  bench::Report("bench_formsaver", "store and restore of a form against the same registry values", stats,
                bench::kMoreWork, calls);
  return 0;
}
