// SysUtils: the run-time library's file, directory, drive, string and error utilities on Win32.
// Names and results follow the family's run-time library: queries answer quietly (false, -1, an
// empty string), operations that the family checks raise EInOutError or EConvertError.
#ifndef KYT_HOST_RTL_SYSUTILS_H
#define KYT_HOST_RTL_SYSUTILS_H

#include <cstdint>
#include <string>

#include "host/core/Exceptions.h"
#include "host/os/Handles.h"
#include "host/os/Win.h"

namespace kyt {

// An operating-system call failed; raised by RaiseLastOSError.
// Message(): "System Error.  Code: <n>.\r\n<standard message>".
class EOSError : public Exception {
 public:
  EOSError(std::string msg, int errorCode) : Exception(std::move(msg)), FErrorCode(errorCode) {}
  int ErrorCode() const { return FErrorCode; }

 private:
  int FErrorCode;
};

// File attribute bits (the platform's low six attribute bits).
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

// FileOpen modes: one access mode or-ed with one share mode.
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

// File names. The delimiters are '\' and ':' (a drive); lead bytes of the system code page are
// skipped so a trail byte equal to '\' is not taken for one.
std::string ExtractFilePath(const std::string& fileName);   // up to and with the last delimiter
std::string ExtractFileDir(const std::string& fileName);    // the same without a trailing '\' (root kept)
std::string ExtractFileName(const std::string& fileName);   // after the last delimiter
std::string ExtractFileExt(const std::string& fileName);    // from the last '.' of the name part, with it
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string IncludeTrailingBackslash(const std::string& s);  // "" becomes "\"
std::string ExcludeTrailingBackslash(const std::string& s);
// The full path of a name relative to the current directory; empty when the platform cannot
// expand it (a name with a zero character, or a result longer than the platform's limit).
std::string ExpandFileName(const std::string& fileName);

// Queries: false or -1 on any failure (missing file, bad name, path too long).
bool FileExists(const std::string& fileName);       // an existing file, not a directory
bool DirectoryExists(const std::string& name);
int FileGetAttr(const std::string& fileName);       // the attribute bits, or -1
int FileAge(const std::string& fileName);           // packed local DOS date-time stamp, or -1

// Operations that report by result: true on success, false with GetLastError telling why.
bool RenameFile(const std::string& oldName, const std::string& newName);
bool DeleteFile(const std::string& fileName);
bool CreateDir(const std::string& dir);
bool RemoveDir(const std::string& dir);
bool SetCurrentDir(const std::string& dir);
// Creates dir and every missing parent; false when one cannot be created. An empty dir raises
// EInOutError ("Unable to create directory"), as the family does.
bool ForceDirectories(const std::string& dir);
// 0 on success, else the Win32 error code.
int FileSetAttr(const std::string& fileName, int attr);

// Handle-level file access. FileOpen/FileCreate hand ownership over (an empty handle on failure,
// GetLastError tells why); the others borrow the handle.
os::UniqueFile FileOpen(const std::string& fileName, unsigned mode);
os::UniqueFile FileCreate(const std::string& fileName);  // creates or truncates, read-write
void FileClose(os::UniqueFile& file);
int FileRead(HANDLE file, void* buffer, int count);        // bytes read, or -1
int FileWrite(HANDLE file, const void* buffer, int count);  // bytes written, or -1
int64_t FileSeek(HANDLE file, int64_t offset, int origin);  // origin 0/1/2; new position or -1
int FileGetDate(HANDLE file);                 // packed local DOS stamp of the last write, or -1
int FileSetDate(HANDLE file, int age);        // 0 on success, else the Win32 error code
int FileSetDate(const std::string& fileName, int age);

// Directory search. FindHandle owns the search; FindClose (or the record's end) closes it.
struct TSearchRec {
  int Time = 0;          // packed local DOS date-time stamp of the last write
  int64_t Size = 0;      // file size in bytes
  int Attr = 0;          // attribute bits
  std::string Name;      // name without directory
  int ExcludeAttr = 0;   // special attributes not asked for in FindFirst's mask
  os::UniqueFindHandle FindHandle;
  WIN32_FIND_DATAA FindData{};
};
// 0 when an entry matched (F holds it), else the Win32 error code (ERROR_FILE_NOT_FOUND,
// ERROR_NO_MORE_FILES, ERROR_PATH_NOT_FOUND...). Entries with hidden, system, volume or directory
// bits are returned only when the mask asks for them; normal files always match.
int FindFirst(const std::string& path, int attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// Drives: 0 = current, 1 = A, 2 = B, 3 = C... Bytes as int64, -1 when the drive cannot be read.
int64_t DiskFree(int drive);
int64_t DiskSize(int drive);

// Current directory. ChDir raises EInOutError with the OS error code on failure (the family's
// I/O-result check); SetCurrentDir reports by result.
std::string GetCurrentDir();
void ChDir(const std::string& dir);

// Strings in the process's 8-bit code page; case follows the user's locale for all of Unicode.
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
std::string IntToStr(int64_t value);
// Decimal, or hexadecimal after '$' or "0x"; leading blanks and a sign allowed. StrToInt raises
// EConvertError "'<s>' is not a valid integer value" for text that is not a 32-bit integer.
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int defaultValue);
int64_t StrToInt64(const std::string& s);
bool TryStrToInt(const std::string& s, int& value);
bool TryStrToInt64(const std::string& s, int64_t& value);

// Errors. SysErrorMessage gives the platform's standard text for a Win32 error code (without the
// final period and line break); RaiseLastOSError raises EOSError for GetLastError (or a code).
std::string SysErrorMessage(int errorCode);
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(int errorCode);
// Raises EInOutError for a code with its standard message ("I/O error <n>" when it has none).
[[noreturn]] void RaiseInOutError(int errorCode);

}  // namespace kyt

#endif  // KYT_HOST_RTL_SYSUTILS_H
