// KYTTFileOperator: the flags mapping and one shell file operation per Execute.
#include "files/KYTTFileOperator.h"

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTFileOperator::StaticClass()});
  return true;
}();

static_assert(std::size(KYTFileFlagBits) == opWantMappingHandle + 1);
static_assert(static_cast<int>(TKYTFileFunction::RenameFile) == 3);

const char* ProgressTitle(UINT function) {
  switch (function) {
    case FO_MOVE: return "Moving...";
    case FO_COPY: return "Copying...";
    case FO_DELETE: return "Deleteing...";
    default: return "Renaming...";
  }
}

}  // namespace

TKYTFileOperator::TKYTFileOperator(TComponent* AOwner)
    : inherited(AOwner), FFilesFrom(new TStringList) {}

TKYTFileOperator::~TKYTFileOperator() { delete FFilesFrom; }

void TKYTFileOperator::SetFilesFrom(TStrings* value) {
  if (value != FFilesFrom) FFilesFrom->Assign(value);
}

void TKYTFileOperator::SetOperFlag(FILEOP_FLAGS flag, bool on) {
  if (on) FFlagsWord = static_cast<FILEOP_FLAGS>(FFlagsWord | flag);
  else FFlagsWord = static_cast<FILEOP_FLAGS>(FFlagsWord & ~flag);
}

void TKYTFileOperator::SetFlags(TKYTFileFlags value) {
  for (int i = opAllowUndo; i <= opWantMappingHandle; ++i)
    SetOperFlag(KYTFileFlagBits[i], value.Contains(static_cast<TKYTFileFlag>(i)));
}

TKYTFileFlags TKYTFileOperator::GetFlags() const {
  TKYTFileFlags flags;
  for (int i = opAllowUndo; i <= opWantMappingHandle; ++i)
    if (GetOperFlag(KYTFileFlagBits[i])) flags.Include(static_cast<TKYTFileFlag>(i));
  return flags;
}

std::string TKYTFileOperator::SourceList(const std::string& sourceDir) const {
  std::string list;
  for (int i = 0; i < FFilesFrom->Count(); ++i) {
    const std::string line = FFilesFrom->Strings(i);
    // An empty line would hand the shell the source folder itself (or end its list): it ends
    // the list here, so a stray blank line never takes the whole folder with it.
    if (line.empty()) break;
    // A zero inside a line would end its name there and make the rest another name to act on.
    if (line.find('\0') != std::string::npos) return std::string();
    list += sourceDir + line;
    list.push_back('\0');
  }
  if (!list.empty()) list.push_back('\0');
  return list;
}

bool TKYTFileOperator::Execute() {
  const TKYTFileFunction operation = FOperation;
  const UINT function = KYTFileFunctionCodes[static_cast<int>(operation)];
  if (!FDirFrom.empty() && FDirFrom.back() != '\\') FDirFrom += '\\';
  if (FDirTo.empty()) throw Exception("Directory Information is invalid");
  std::string sourceDir;
  if (!FDirFrom.empty()) {
    // The names are built from the full path: a relative DirFrom made current first would
    // otherwise be applied a second time by the prefix.
    sourceDir = ExpandFileName(FDirFrom);
    if (sourceDir.empty() || !SetCurrentDir(sourceDir))
      throw Exception("Can not locate current Directory");
  }

  const std::string from = SourceList(sourceDir);
  if (from.empty() || FDirTo.find('\0') != std::string::npos) {
    RaiseOutcome(operation, false);
    return false;
  }
  std::string to = FDirTo;
  to.push_back('\0');  // with the string's own terminator: a double-NUL list of one name

  // The record and both lists belong to this call; the shell's dialogs run a message loop in
  // which this component may be freed, so nothing of it is touched afterwards unless it lives.
  SHFILEOPSTRUCTA op{};
  op.hwnd = nullptr;
  op.wFunc = function;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FFlagsWord;
  op.lpszProgressTitle = ProgressTitle(function);
  TComponentRef<TKYTFileOperator> self(this);
  const int result = os::shell32.SHFileOperationA(&op);
  if (op.hNameMappings) os::shell32.SHFreeNameMappings(op.hNameMappings);
  // A run the user cancelled may still return 0: only a clean, complete run is a success.
  const bool success = result == 0 && !op.fAnyOperationsAborted;
  if (!self) return success;
  RaiseOutcome(operation, success);
  return success;
}

void TKYTFileOperator::RaiseOutcome(TKYTFileFunction operation, bool success) {
  static constexpr TNotifyEvent TKYTFileOperator::*kSuccess[] = {
      &TKYTFileOperator::FOnSuccessCopy, &TKYTFileOperator::FOnSuccessDelete,
      &TKYTFileOperator::FOnSuccessMove, &TKYTFileOperator::FOnSuccessRename};
  static constexpr TNotifyEvent TKYTFileOperator::*kFail[] = {
      &TKYTFileOperator::FOnFailCopy, &TKYTFileOperator::FOnFailDelete,
      &TKYTFileOperator::FOnFailMove, &TKYTFileOperator::FOnFailRename};
  const int index = static_cast<int>(operation);
  // A handler may free the component (its form closed): OnDone is then left out.
  TComponentRef<TKYTFileOperator> self(this);
  const TNotifyEvent outcome = this->*(success ? kSuccess : kFail)[index];
  outcome(this);
  if (!self) return;
  const TNotifyEvent done = FOnDone;
  done(this);
}

}  // namespace kyt
