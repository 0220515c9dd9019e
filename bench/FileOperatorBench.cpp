// The file operator copying a list of 100 files, against one direct SHFileOperationA call with
// the same double-NUL list and flags. Prints the time ratio (target <= 1.1).
#include <algorithm>
#include <vector>
#include <cstdio>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/FilesBenchSupport.h"
#include "files/KYTTFileOperator.h"

namespace {

constexpr int kFiles = 100;
constexpr int kRounds = 25;

std::string Name(int i) { return "file" + std::to_string(i) + ".txt"; }

}  // namespace

int main() {
  using namespace kyt;
  bench::ScratchFolder scratch("fileop");
  const std::string src = scratch.Path() + "\\src", dst = scratch.Path() + "\\dst";
  os::kernel32.CreateDirectoryA(src.c_str(), nullptr);
  for (int i = 0; i < kFiles; ++i) {
    if (!bench::MakeFile(src + "\\" + Name(i))) {
      std::printf("bench_fileoperator: cannot create the source files\n");
      return 1;
    }
  }
  const FILEOP_FLAGS flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;

  int failures = 0;
  auto plain = [&] {
    std::string from;
    for (int i = 0; i < kFiles; ++i) from += src + "\\" + Name(i) + '\0';
    from += '\0';
    std::string to = dst + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = flags;
    op.lpszProgressTitle = "Copying...";
    if (os::shell32.SHFileOperationA(&op) != 0) ++failures;
  };
  TKYTFileOperator component(nullptr);
  component.SetFlags({opSilent, opNoConfirmation, opNoConfirmMkDir});
  component.SetDirFrom(src);
  component.SetDirTo(dst);
  for (int i = 0; i < kFiles; ++i) component.FilesFrom()->Add(Name(i));
  auto viaComponent = [&] {
    if (!component.Execute()) ++failures;
  };
  auto clean = [&] { bench::RemoveTree(dst); };

  // Alternate the two so that a busy machine disturbs both alike.
  std::vector<double> componentMs, plainMs;
  const int pairs = std::max(kRounds, bench::kMinPairs);
  for (int r = 0; r < pairs; ++r) {
    componentMs.push_back(bench::TimeMs(viaComponent));
    clean();
    plainMs.push_back(bench::TimeMs(plain));
    clean();
  }
  const bench::TRatioStats stats = bench::StatsOf(componentMs, plainMs);
  if (failures) {
    std::printf("bench_fileoperator: %d copies failed\n", failures);
    return 1;
  }
  std::printf("bench_fileoperator: copy of %d files %.1f ms against %.1f ms direct, medians of %d pairs\n", kFiles,
              stats.OursMs, stats.PlainMs, pairs);
  bench::Report("bench_fileoperator", "copy of 50 files, against SHFileOperationA with the same list", stats,
                bench::kBookkeeping);
  return 0;
}
