// KYTTLogFile: the log file component.
#include "files/KYTTLogFile.h"

#include "host/core/ComponentRef.h"
#include "host/core/Exceptions.h"
#include "host/os/Win.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/TextFiles.h"

namespace kyt {

namespace {
// Form files create the component by name, so the unit makes it known as it loads.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTLogFile::StaticClass());
  return true;
}();
// Opens an existing log for appending; false when there is no log yet. Asking the file system
// whether the file exists first would look the path up twice for every line.
bool OpenToAppend(TextFile& file) {
  try {
    file.Append();
    return true;
  } catch (const EInOutError& e) {
    if (e.ErrorCode() == ERROR_FILE_NOT_FOUND) return false;
    throw;
  }
}

}  // namespace

TKYTLogFile::TKYTLogFile(TComponent* AOwner)
    : TKYTSystemsComponent(AOwner),
      FHeader("Generic Log File for my Application"),
      FSpecial("Logged by User") {}

std::string TKYTLogFile::FormatLine(const std::string& Msg, TDateTime now) const {
  std::string prefix = FLogSpecial ? FSpecial : std::string();
  if (FLogTime) prefix += " " + TimeToStr(now);
  if (FLogDate) prefix += " " + DateToStr(now);
  return prefix.empty() ? Msg : prefix + " " + Msg;
}

void TKYTLogFile::Log(const std::string& Msg) {
  if (FLogFile.empty()) return;
  // One reading of the clock: a line written at midnight must not pair the old day's time with
  // the new day's date.
  const std::string line = FormatLine(Msg, Now());
  TextFile file(FLogFile);  // closed by its destructor on every path
  if (OpenToAppend(file)) {
    file.WriteLn(line);
    file.Flush();
    file.CloseFile();
    return;
  }
  file.Rewrite();
  try {
    if (FLogHeader) file.WriteLn(FHeader);
    file.WriteLn(line);
    file.Flush();
    file.CloseFile();
  } catch (const EInOutError&) {
    // A log this call created holds nothing worth keeping: without it the next call starts the
    // file again, header first.
    try {
      if (file.IsOpen()) file.CloseFile();
    } catch (const EInOutError&) {
      // The error that ended the call is the one the caller sees.
    }
    DeleteFile(FLogFile);
    throw;
  }
}

void TKYTLogFile::ClearLog() {
  if (FLogFile.empty()) return;
  TComponentRef<TKYTLogFile> self(this);
  FOnClear(this);
  if (!self) return;  // the handler freed the component (and its form)
  if (!FileExists(FLogFile)) return;
  TextFile file(FLogFile);
  file.Rewrite();
  if (FLogHeader) file.WriteLn(FHeader);
  file.Flush();
  file.CloseFile();
}

}  // namespace kyt
