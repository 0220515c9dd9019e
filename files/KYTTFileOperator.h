// KYTTFileOperator: copies, moves, deletes or renames a list of files in one call of the shell's
// file-operation service, with the shell's own progress and confirmation dialogs.
#ifndef KYT_FILES_KYTTFILEOPERATOR_H
#define KYT_FILES_KYTTFILEOPERATOR_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/core/Sets.h"
#include "host/core/Strings.h"
#include "host/core/TypeInfo.h"
#include "host/os/Win.h"

namespace kyt {

// Types

// The operation Execute performs. Scoped: its member names are also the runtime's DeleteFile
// and RenameFile functions.
enum class TKYTFileFunction : uint8_t { CopyFile, DeleteFile, MoveFile, RenameFile };
KYT_ENUM_INFO(TKYTFileFunction, "CopyFile", "DeleteFile", "MoveFile", "RenameFile")

// One shell flag each; the member order is not the order of the bits (KYTFileFlagBits maps them).
enum TKYTFileFlag : uint8_t {
  opAllowUndo,
  opConfirmMouse,
  opFilesOnly,
  opMultiDestFiles,
  opNoConfirmation,
  opNoConfirmMkDir,
  opRenameOnCollision,
  opSilent,
  opSimpleProgress,
  opWantMappingHandle
};
KYT_ENUM_INFO(TKYTFileFlag, "opAllowUndo", "opConfirmMouse", "opFilesOnly", "opMultiDestFiles",
              "opNoConfirmation", "opNoConfirmMkDir", "opRenameOnCollision", "opSilent",
              "opSimpleProgress", "opWantMappingHandle")
using TKYTFileFlags = TSet<TKYTFileFlag>;

// The shell flag bit of each TKYTFileFlag, indexed by ordinal.
inline constexpr FILEOP_FLAGS KYTFileFlagBits[] = {
    FOF_ALLOWUNDO,      FOF_CONFIRMMOUSE,       FOF_FILESONLY, FOF_MULTIDESTFILES,
    FOF_NOCONFIRMATION, FOF_NOCONFIRMMKDIR,     FOF_RENAMEONCOLLISION,
    FOF_SILENT,         FOF_SIMPLEPROGRESS,     FOF_WANTMAPPINGHANDLE};

// The shell function code of each TKYTFileFunction, indexed by ordinal.
inline constexpr UINT KYTFileFunctionCodes[] = {FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME};

class TKYTFileOperator : public TKYTExecuteComponent {
  KYT_CLASS(TKYTFileOperator, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTFileOperator>& p) {
    // The file names or wildcard patterns to work on, one a line, relative to DirFrom.
    p.Property("FilesFrom", &TKYTFileOperator::FilesFrom, &TKYTFileOperator::SetFilesFrom);
    // The folder the files are taken from.
    p.Property("DirFrom", &TKYTFileOperator::DirFrom, &TKYTFileOperator::SetDirFrom);
    // The target folder of a copy or move, or the new name of a rename.
    p.Property("DirTo", &TKYTFileOperator::DirTo, &TKYTFileOperator::SetDirTo);
    // What Execute does with the files: copy, delete, move or rename.
    p.Property("Operation", &TKYTFileOperator::Operation, &TKYTFileOperator::SetOperation)
        .Default(TKYTFileFunction::CopyFile);
    // The shell's options for the operation: undo, confirmations, progress display, renaming on
    // collision.
    p.Property("Flags", &TKYTFileOperator::GetFlags, &TKYTFileOperator::SetFlags)
        .Default(TKYTFileFlags{opAllowUndo, opNoConfirmMkDir});
    // Fired after a rename completed.
    p.Property("OnSuccessRename", &TKYTFileOperator::OnSuccessRename, &TKYTFileOperator::SetOnSuccessRename);
    // Fired after a copy completed.
    p.Property("OnSuccessCopy", &TKYTFileOperator::OnSuccessCopy, &TKYTFileOperator::SetOnSuccessCopy);
    // Fired after a delete completed.
    p.Property("OnSuccessDelete", &TKYTFileOperator::OnSuccessDelete, &TKYTFileOperator::SetOnSuccessDelete);
    // Fired after a move completed.
    p.Property("OnSuccessMove", &TKYTFileOperator::OnSuccessMove, &TKYTFileOperator::SetOnSuccessMove);
    // Fired after a rename failed or was cancelled.
    p.Property("OnFailRename", &TKYTFileOperator::OnFailRename, &TKYTFileOperator::SetOnFailRename);
    // Fired after a copy failed or was cancelled.
    p.Property("OnFailCopy", &TKYTFileOperator::OnFailCopy, &TKYTFileOperator::SetOnFailCopy);
    // Fired after a delete failed or was cancelled.
    p.Property("OnFailDelete", &TKYTFileOperator::OnFailDelete, &TKYTFileOperator::SetOnFailDelete);
    // Fired after a move failed or was cancelled.
    p.Property("OnFailMove", &TKYTFileOperator::OnFailMove, &TKYTFileOperator::SetOnFailMove);
    // Fired after every operation, following its success or failure event.
    p.Property("OnDone", &TKYTFileOperator::OnDone, &TKYTFileOperator::SetOnDone);
  }

  // Flags start as opAllowUndo and opNoConfirmMkDir.
  explicit TKYTFileOperator(TComponent* AOwner);
  ~TKYTFileOperator() override;

  // Properties
  // File names or wildcard patterns relative to DirFrom, one a line; an empty line ends the list.
  TStrings* FilesFrom() const { return FFilesFrom; }
  void SetFilesFrom(TStrings* value);  // copies the lines
  // Source folder; Execute gives it a trailing backslash, which it keeps.
  const std::string& DirFrom() const { return FDirFrom; }
  void SetDirFrom(const std::string& value) { FDirFrom = value; }
  // Target folder of a copy or move, the new name of a rename; required by every operation.
  const std::string& DirTo() const { return FDirTo; }
  void SetDirTo(const std::string& value) { FDirTo = value; }
  TKYTFileFunction Operation() const { return FOperation; }
  void SetOperation(TKYTFileFunction value) { FOperation = value; }
  // Kept as the shell's flags word only; the set and the word convert one to one.
  TKYTFileFlags GetFlags() const;
  void SetFlags(TKYTFileFlags value);
  FILEOP_FLAGS FlagsWord() const { return FFlagsWord; }

  // Events
  TNotifyEvent OnSuccessRename() const { return FOnSuccessRename; }
  void SetOnSuccessRename(TNotifyEvent value) { FOnSuccessRename = value; }
  TNotifyEvent OnSuccessCopy() const { return FOnSuccessCopy; }
  void SetOnSuccessCopy(TNotifyEvent value) { FOnSuccessCopy = value; }
  TNotifyEvent OnSuccessDelete() const { return FOnSuccessDelete; }
  void SetOnSuccessDelete(TNotifyEvent value) { FOnSuccessDelete = value; }
  TNotifyEvent OnSuccessMove() const { return FOnSuccessMove; }
  void SetOnSuccessMove(TNotifyEvent value) { FOnSuccessMove = value; }
  TNotifyEvent OnFailRename() const { return FOnFailRename; }
  void SetOnFailRename(TNotifyEvent value) { FOnFailRename = value; }
  TNotifyEvent OnFailCopy() const { return FOnFailCopy; }
  void SetOnFailCopy(TNotifyEvent value) { FOnFailCopy = value; }
  TNotifyEvent OnFailDelete() const { return FOnFailDelete; }
  void SetOnFailDelete(TNotifyEvent value) { FOnFailDelete = value; }
  TNotifyEvent OnFailMove() const { return FOnFailMove; }
  void SetOnFailMove(TNotifyEvent value) { FOnFailMove = value; }
  // After the success or failure event of every Execute that reached the operation.
  TNotifyEvent OnDone() const { return FOnDone; }
  void SetOnDone(TNotifyEvent value) { FOnDone = value; }

  // Methods
  // Runs the operation on the list; true when the shell reports success and nothing was
  // cancelled. An empty DirTo raises "Directory Information is invalid", a DirFrom that cannot
  // be made current "Can not locate current Directory"; neither raises an event.
  bool Execute() override;
  // Sets or clears one shell bit of the flags word; reads one back.
  void SetOperFlag(FILEOP_FLAGS flag, bool on);
  bool GetOperFlag(FILEOP_FLAGS flag) const { return (FFlagsWord & flag) != 0; }

 private:
  // The double-NUL source list for sourceDir; empty when no line names a file.
  std::string SourceList(const std::string& sourceDir) const;
  // The success or failure event of the operation Execute started, then OnDone.
  void RaiseOutcome(TKYTFileFunction operation, bool success);

  TStrings* FFilesFrom = nullptr;
  std::string FDirFrom;
  std::string FDirTo;
  TKYTFileFunction FOperation = TKYTFileFunction::CopyFile;
  FILEOP_FLAGS FFlagsWord = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
  TNotifyEvent FOnSuccessRename, FOnSuccessCopy, FOnSuccessDelete, FOnSuccessMove;
  TNotifyEvent FOnFailRename, FOnFailCopy, FOnFailDelete, FOnFailMove;
  TNotifyEvent FOnDone;
};

}  // namespace kyt

#endif  // KYT_FILES_KYTTFILEOPERATOR_H
