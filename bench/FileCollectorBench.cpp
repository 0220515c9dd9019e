// The file collector against a plain recursive FindFirstFileA walk that sorts its result, on a
// tree of 3,000 files in 60 folders and on one flat folder of 20,000 files. Prints both ratios
// (target <= 1.5: a quadratic sorted insert would show on the flat folder).
#include <algorithm>
#include <cstring>  // _stricmp
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/FilesBenchSupport.h"
#include "files/KYTTFileCollector.h"
#include "host/core/TypeInfo.h"

namespace {

using namespace kyt;

constexpr int kRounds = 9;

// Every file below dir, full paths, sorted at the end without regard to ASCII case, as the
// collector orders names (a locale's comparison would cost the plain side far more).
void PlainWalk(const std::string& dir, std::vector<std::string>& out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = os::kernel32.FindFirstFileA((dir + "*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") PlainWalk(dir + name + "\\", out);
    } else {
      out.push_back(dir + name);
    }
  } while (os::kernel32.FindNextFileA(h, &fd));
  os::kernel32.FindClose(h);
}

size_t PlainSorted(const std::string& root) {
  std::vector<std::string> files;
  PlainWalk(root, files);
  std::sort(files.begin(), files.end(),
            [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
  return files.size();
}

bool Measure(const char* what, const std::string& root, size_t expected) {
  TKYTFileCollector collector(nullptr);
  collector.SetInitialDirectory(root);
  collector.SetFileMask("*.*");
  size_t plainCount = 0;
  const bench::TRatioStats stats = bench::PairRatios(
      kRounds, [&] { collector.Execute(); }, [&] { plainCount = PlainSorted(root); });
  const auto found = static_cast<size_t>(collector.LocatedObjects()->Count());
  if (plainCount != expected || found != expected) {
    std::printf("bench_filecollector: %s: found %zu and %zu files, not %zu\n", what, found,
                plainCount, expected);
    return false;
  }
  std::printf("bench_filecollector: %s (%zu files) %.1f ms against %.1f ms plain, medians of %d pairs\n", what,
              expected, stats.OursMs, stats.PlainMs, std::max(kRounds, bench::kMinPairs));
  bench::Report("bench_filecollector", what, stats, bench::kMoreWork);
  return true;
}

}  // namespace

int main() {
  bench::ScratchFolder tree("collector-tree");
  size_t treeFiles = 0;
  for (int a = 0; a < 6; ++a) {
    const std::string top = tree.Path() + "\\dir" + std::to_string(a);
    os::kernel32.CreateDirectoryA(top.c_str(), nullptr);
    for (int b = 0; b < 10; ++b) {
      const std::string sub = top + "\\sub" + std::to_string(b);
      os::kernel32.CreateDirectoryA(sub.c_str(), nullptr);
      for (int f = 0; f < 50; ++f, ++treeFiles)
        if (!bench::MakeFile(sub + "\\File" + std::to_string(f) + ".txt")) return 1;
    }
  }
  bench::ScratchFolder flat("collector-flat");
  constexpr size_t kFlatFiles = 20000;
  for (size_t f = 0; f < kFlatFiles; ++f)
    if (!bench::MakeFile(flat.Path() + "\\f" + std::to_string(f) + ".dat")) return 1;

  const bool ok = Measure("tree of 3,000 files in 60 folders, against a FindFirstFileA walk and a sort", tree.Path() + "\\", treeFiles) &&
                  Measure("flat folder of 20,000 files, the same", flat.Path() + "\\", kFlatFiles);
  return ok ? 0 : 1;
}
