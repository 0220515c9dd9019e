// KYTTTextReplace: the line-by-line copy under the application's control.
#include "files/KYTTTextReplace.h"

#include "host/core/ComponentRef.h"
#include "host/core/Exceptions.h"
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

void TKYTTextReplace::CloseBoth() noexcept {
  CloseQuietly(FOutput);
  CloseQuietly(FSource);
}

bool TKYTTextReplace::Execute() {
  if (FFileTo.empty() || FFileFrom.empty()) throw Exception("Filename not supplied");
  TComponentRef<TKYTTextReplace> self(this);
  TCloseOnError closeOnError(self, &TKYTTextReplace::CloseBoth);
  FLineNo = 1;
  // The source first: while it is open for reading, the output cannot be the same file, and a
  // missing source fails before the output is created or emptied.
  FSource.AssignFile(FFileFrom);
  FSource.Reset();
  FOutput.AssignFile(FFileTo);
  FOutput.Rewrite();
  bool result = false;
  while (!FSource.Eof()) {
    FWriteLine = true;
    FSource.ReadLn(FCurrentLine);
    Application->ProcessMessages();
    if (!self) return false;  // freed with its form: the files closed with it
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
  closeOnError.Disarm();
  return result;
}

void TKYTTextReplace::AddNewString(const std::string& S) {
  if (FWriteLine) FOutput.WriteLn(S);
}

}  // namespace kyt
