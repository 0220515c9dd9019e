// KYTTTextReplace: the line-by-line copy under the application's control.
#include "files/KYTTTextReplace.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "host/core/ComponentRef.h"
#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {
// Form files create the component by name, so the unit makes it known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTTextReplace::StaticClass());
  return true;
}();

void CloseQuietly(TextFile& file) noexcept {
  try {
    if (file.IsOpen()) file.CloseFile();
  } catch (...) {
    // The error that ended the run is the one the caller sees.
  }
}

// The name made full, or the name itself where it cannot be (its open then reports why).
std::string FullName(const std::string& name) {
  const std::string full = ExpandFileName(name);
  return full.empty() ? name : full;
}

// Closes both files when a run ends by an exception, unless the component is gone (its files
// went with it).
class TCloseOnError {
 public:
  TCloseOnError(const TComponentRef<TKYTTextReplace>& self, void (TKYTTextReplace::*close)() noexcept)
      : FSelf(self), FClose(close) {}
  ~TCloseOnError() {
    if (FArmed && FSelf) (FSelf.Get()->*FClose)();
  }
  TCloseOnError(const TCloseOnError&) = delete;
  TCloseOnError& operator=(const TCloseOnError&) = delete;
  void Disarm() { FArmed = false; }

 private:
  const TComponentRef<TKYTTextReplace>& FSelf;
  void (TKYTTextReplace::*FClose)() noexcept;
  bool FArmed = true;
};
}  // namespace

TKYTTextReplace::~TKYTTextReplace() {
  // Freed in the middle of a run (its form closed while messages were processed): the output
  // written so far still replaces FileTo, as the run's end would have done.
  CloseBoth();
}

void TKYTTextReplace::CloseBoth() noexcept {
  CloseQuietly(FOutput);
  CloseQuietly(FSource);
  if (FPending.empty()) return;
  const std::string pending = std::exchange(FPending, std::string());
  if (!os::kernel32.MoveFileExA(pending.c_str(), FTarget.c_str(), MOVEFILE_REPLACE_EXISTING))
    os::kernel32.DeleteFileA(pending.c_str());
}

void TKYTTextReplace::DropOutput() noexcept {
  CloseQuietly(FOutput);
  CloseQuietly(FSource);
  if (!FPending.empty()) os::kernel32.DeleteFileA(std::exchange(FPending, std::string()).c_str());
}

void TKYTTextReplace::OpenOutput() {
  // FileTo must take writing and must not be the source, which, open for reading, refuses it:
  // both are asked before anything is written.
  bool ordinaryFile = true;
  {
    const os::UniqueFile probe = FileOpen(FTarget, fmOpenWrite | fmShareDenyNone);
    if (!probe) {
      const DWORD error = os::kernel32.GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) RaiseInOutError(static_cast<int>(error));
    } else {
      ordinaryFile = os::kernel32.GetFileType(probe.get()) == FILE_TYPE_DISK;
    }
  }
  // A device (NUL, a port) or a pipe cannot be replaced by a file: it is written as it is.
  if (ordinaryFile) FPending = CreatePending();
  FOutput.AssignFile(ordinaryFile ? FPending : FTarget);
  FOutput.Rewrite();
}

// In FileTo's folder, so the replace stays on one volume, and no longer than FileTo's own name
// (where that leaves room for one), so every FileTo the platform takes has a pending name it
// takes too. Made with CREATE_NEW: the file is this run's own, never one that was there.
std::string TKYTTextReplace::CreatePending() const {
  const std::string folder = ExtractFilePath(FTarget);
  const size_t room = std::clamp<size_t>(WideLength(ExtractFileName(FTarget)), 1, 9);
  const std::string mark = room > 1 ? "~" : "";
  const size_t digits = room - mark.size();
  const uint32_t seed = os::kernel32.GetTickCount() ^ (os::kernel32.GetCurrentProcessId() << 12);
  DWORD error = ERROR_FILE_EXISTS;
  for (uint32_t attempt = 0; attempt < 256; ++attempt) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(seed + attempt * 0x9E3779B1u));
    const std::string name = folder + mark + (hex + 8 - digits);
    const os::UniqueFile created(os::kernel32.CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created) return name;
    error = os::kernel32.GetLastError();
    // Taken by a file, or by a folder or a file being deleted: another name is tried.
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) break;
  }
  RaiseInOutError(static_cast<int>(error));
}

void TKYTTextReplace::CommitOutput() {
  if (FPending.empty()) return;  // written in place
  const std::string pending = std::exchange(FPending, std::string());
  if (!os::kernel32.MoveFileExA(pending.c_str(), FTarget.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = os::kernel32.GetLastError();
    os::kernel32.DeleteFileA(pending.c_str());
    RaiseInOutError(static_cast<int>(error));
  }
}

bool TKYTTextReplace::Execute() {
  if (FFileTo.empty() || FFileFrom.empty()) throw Exception("Filename not supplied");
  TComponentRef<TKYTTextReplace> self(this);
  TCloseOnError closeOnError(self, &TKYTTextReplace::CloseBoth);
  FLineNo = 1;
  // Both names are made full once: a handler that changes the current folder between lines
  // does not move the run's files.
  FTarget = FullName(FFileTo);
  // The source first: while it is open for reading, the output cannot be the same file, and a
  // missing source fails before the output is made.
  FSource.AssignFile(FullName(FFileFrom));
  FSource.Reset();
  bool result = false;
  try {
    OpenOutput();
    while (!FSource.Eof()) {
      FWriteLine = true;
      FSource.ReadLn(FCurrentLine);
      Application->ProcessMessages();
      if (!self) return false;  // freed with its form: its destructor finished the output
      // Past the limit the rest is still read (and messages processed), but nothing is passed on.
      if (FUseNoOfLines && FLineNo > FNoOfLinesOnly) continue;
      FBeforeWrite(this, FCurrentLine, FLineNo, FWriteLine);
      if (!self) return false;
      if (FWriteLine) FOutput.WriteLn(FCurrentLine);
      ++FLineNo;
      result = true;
    }
    FOutput.CloseFile();
    FSource.CloseFile();
  } catch (const EInOutError&) {
    // A file that failed leaves FileTo as it was: the output made so far goes.
    if (self) DropOutput();
    throw;
  }
  closeOnError.Disarm();
  CommitOutput();
  return result;
}

void TKYTTextReplace::AddNewString(const std::string& S) {
  if (FWriteLine) FOutput.WriteLn(S);
}

}  // namespace kyt
