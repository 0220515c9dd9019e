// The file components against the plain platform calls doing the same work: log lines against a
// plain open-append-close per line, a 100,000-line text replace against a plain read-line,
// write-line loop with the same message processing, collecting a 2,000-file drop against a plain
// DragQueryFileA loop, and file execute with wait against ShellExecuteExA, wait and close, with
// the process's handle count checked after 1,000 runs. The started program is this benchmark
// itself with the argument --child, which ends at once.
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileExecute.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"
#include "host/os/OsSeam.h"
#include "host/os/Win.h"

#include <shlobj.h>  // DROPFILES
#include "host/rtl/DateTime.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/TextFiles.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"

namespace {

using namespace kyt;
using kyt::bench::PairRatios;
using kyt::bench::TimeMs;

constexpr int kRounds = 5;

std::string BenchFolder() {
  char temp[MAX_PATH] = {};
  os::kernel32.GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "kyt-bench-files";
  CreateDir(folder);
  return folder;
}

std::string SelfPath() {
  char path[MAX_PATH] = {};
  os::kernel32.GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

void Print(const char* name, const bench::TRatioStats& ms, double target, const char* unit) {
  std::printf("bench_files: %s: component %.1f ms, plain %.1f ms %s (medians)\n", name, ms.OursMs, ms.PlainMs, unit);
  bench::Report("bench_files", name, ms, target);
}

// --- log file ---------------------------------------------------------------------------------

void PlainAppend(const std::string& path, const std::string& line) {
  HANDLE file = os::kernel32.CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  os::kernel32.WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  os::kernel32.CloseHandle(file);
}

bool BenchLog(const std::string& folder, TComponent* owner) {
  constexpr int kLines = 2000;
  const std::string ours = folder + "\\ours.log", plain = folder + "\\plain.log";
  auto* log = new TKYTLogFile(owner);
  log->SetLogFile(ours);
  log->SetLogTime(true);
  log->SetLogDate(true);
  const bench::TRatioStats ms = PairRatios(
      kRounds,
      [&] {
        DeleteFile(ours);
        for (int i = 0; i < kLines; ++i) log->Log("line of the benchmark");
      },
      [&] {
        DeleteFile(plain);
        for (int i = 0; i < kLines; ++i) {
          const TDateTime now = Now();
          PlainAppend(plain, " " + TimeToStr(now) + " " + DateToStr(now) + " line of the benchmark");
        }
      });
  const bool same = FileAge(ours) != -1 && FileAge(plain) != -1;
  Print("log file: 2,000 lines against CreateFile, WriteFile and CloseHandle each", ms, bench::kBookkeeping, "for 2,000 lines");
  DeleteFile(ours);
  DeleteFile(plain);
  return same;
}

int64_t ReadWholeSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!os::kernel32.GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// --- text replace -----------------------------------------------------------------------------

void Uppercase(TObject*, std::string& line, int32_t, bool&) {
  for (char& c : line) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
}

bool BenchTextReplace(const std::string& folder, TComponent* owner) {
  constexpr int kLines = 100000;
  const std::string source = folder + "\\source.txt", ours = folder + "\\ours.txt",
                    plain = folder + "\\plain.txt";
  {
    TextFile file(source);
    file.Rewrite();
    for (int i = 0; i < kLines; ++i) file.WriteLn("line " + std::to_string(i) + " of the source text");
    file.CloseFile();
  }
  auto* replace = new TKYTTextReplace(owner);
  replace->SetFileFrom(source);
  replace->SetFileTo(ours);
  replace->SetBeforeWrite(TKYTBeforeWrite::FromFunction(
      [](void*, TObject* s, std::string& l, int32_t n, bool& w) { Uppercase(s, l, n, w); }, nullptr));
  const bench::TRatioStats ms = PairRatios(
      kRounds, [&] { replace->Execute(); },
      [&] {
        TextFile in(source), out(plain);
        in.Reset();
        out.Rewrite();
        bool write = true;
        while (!in.Eof()) {
          std::string line = in.ReadLn();
          Application->ProcessMessages();
          Uppercase(nullptr, line, 0, write);
          out.WriteLn(line);
        }
        out.CloseFile();
        in.CloseFile();
      });
  Print("text replace of 100,000 lines against reading and writing them", ms, bench::kBookkeeping, "for 100,000 lines");
  const bool same = FileAge(ours) != -1 && ReadWholeSize(ours) == ReadWholeSize(plain);
  DeleteFile(source);
  DeleteFile(ours);
  DeleteFile(plain);
  return same;
}

// --- dropped files ----------------------------------------------------------------------------

HDROP MakeDrop(const std::vector<std::string>& names) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& n : names) size += n.size() + 1;
  HGLOBAL memory = os::kernel32.GlobalAlloc(GHND, size);
  auto* block = static_cast<DROPFILES*>(os::kernel32.GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  char* at = reinterpret_cast<char*>(block) + sizeof(DROPFILES);
  for (const std::string& n : names) {
    std::memcpy(at, n.c_str(), n.size() + 1);
    at += n.size() + 1;
  }
  os::kernel32.GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

bool BenchDrop() {
  std::vector<std::string> names;
  for (int i = 0; i < 2000; ++i) names.push_back("C:\\Users\\bench\\Documents\\folder " + std::to_string(i % 17) + "\\file number " + std::to_string(i) + ".txt");
  TForm form(nullptr);
  auto* dropped = new TKYTDroppedFiles(&form);
  std::vector<std::string> plainItems;
  std::vector<double> ours, plain;
  for (int r = 0; r < bench::kMinPairs; ++r) {
    HDROP drop = MakeDrop(names);
    ours.push_back(TimeMs([&] { dropped->DropFiles(drop); }));
    drop = MakeDrop(names);
    plain.push_back(TimeMs([&] {
      plainItems.clear();
      std::vector<char> buffer(128);
      const UINT count = os::shell32.DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        const UINT length = os::shell32.DragQueryFileA(drop, i, nullptr, 0);
        if (length + 1 > buffer.size()) buffer.resize(length + 1);
        const UINT got = os::shell32.DragQueryFileA(drop, i, buffer.data(), static_cast<UINT>(buffer.size()));
        plainItems.emplace_back(buffer.data(), got);
      }
      os::shell32.DragFinish(drop);
    }));
  }
  Print("drop of 2,000 files against DragQueryFileA per name", bench::StatsOf(ours, plain), bench::kBookkeeping, "for 2,000 files");
  return dropped->DroppedItems()->Count() == 2000 && plainItems.size() == 2000;
}

// --- file execute -----------------------------------------------------------------------------

void PlainExecute(const std::string& self) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = self.c_str();
  info.lpParameters = "--child";
  info.nShow = SW_SHOWNORMAL;
  if (!os::shell32.ShellExecuteExA(&info)) return;
  if (info.hProcess) {
    os::kernel32.WaitForSingleObject(info.hProcess, INFINITE);
    os::kernel32.CloseHandle(info.hProcess);
  }
}

bool BenchExecute(TComponent* owner, int handleRuns) {
  const std::string self = SelfPath();
  auto* exec = new TKYTFileExecute(owner);
  exec->SetFilename(self);
  exec->SetExeParameters("--child");
  exec->SetExeStyle(osOpen);
  exec->SetWait(true);
  constexpr int kStarts = 20;
  exec->Execute();  // warm-up of both sides
  PlainExecute(self);
  const bench::TRatioStats ms = PairRatios(
      kRounds, [&] { for (int i = 0; i < kStarts; ++i) exec->Execute(); },
      [&] { for (int i = 0; i < kStarts; ++i) PlainExecute(self); });
  Print("20 program starts with wait against ShellExecuteExA and a wait", ms, bench::kBookkeeping, "for 20 starts with wait");
  DWORD before = 0, after = 0;
  ::GetProcessHandleCount(::GetCurrentProcess(), &before);
  bool allStarted = true;
  for (int i = 0; i < handleRuns; ++i) allStarted = exec->Execute() && allStarted;
  ::GetProcessHandleCount(::GetCurrentProcess(), &after);
  std::printf("bench_files: handle count %lu before and %lu after %d runs with wait%s\n", before, after,
              handleRuns, allStarted ? "" : " (some did not start)");
  return allStarted && after == before;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return 0;
  int handleRuns = 1000;
  if (argc > 2 && std::strcmp(argv[1], "--handle-runs") == 0) handleRuns = std::atoi(argv[2]);
  const std::string folder = BenchFolder();
  TComponent owner(nullptr);
  bool ok = true;
  ok = BenchLog(folder, &owner) && ok;
  ok = BenchTextReplace(folder, &owner) && ok;
  ok = BenchDrop() && ok;
  ok = BenchExecute(&owner, handleRuns) && ok;
  RemoveDir(folder);
  if (!ok) std::printf("bench_files: a side did not do its work\n");
  return ok ? 0 : 1;
}
