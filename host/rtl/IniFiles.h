// IniFiles: TIniFile, ini files through the platform's private-profile functions.
// The file name goes to the platform unchanged, so a bare name lives in the Windows directory.
// Reads answer quietly with the default; writes raise EIniFileException, both when the file
// cannot be written ("Unable to write to <file>": the platform refuses, or the file is read-only)
// and, before anything is written, when a section, name or value would break the file's lines.
#ifndef KYT_HOST_RTL_INIFILES_H
#define KYT_HOST_RTL_INIFILES_H

#include <optional>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/core/Strings.h"

namespace kyt {

class EIniFileException : public Exception {
  using Exception::Exception;
};

class TIniFile {
 public:
  explicit TIniFile(const std::string& fileName) : FFileName(fileName) {}
  virtual ~TIniFile() = default;
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  // Properties
  const std::string& FileName() const { return FFileName; }

  // Checks of what may be written. A section must be non-empty and hold no ']', CR, LF or zero;
  // a name must be non-empty, hold no '=', CR, LF or zero and not start with '[' or ';'; a value
  // must hold no CR, LF or zero.
  static bool IsValidSection(const std::string& section);
  static bool IsValidIdent(const std::string& ident);
  static bool IsValidValue(const std::string& value);

  // Methods. The platform trims blanks around names and values and a pair of quotes around a
  // value, so such text reads back trimmed. Integers and Booleans are stored as text (decimal
  // digits; "1"/"0"); a value that is not a number reads as the default, "0x" hex is accepted.
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue);
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Byte strings (scrambled values): each byte is stored as the character code page 1252 gives
  // it, through the wide calls, so that all 256 byte values survive whatever the process's code
  // page, and values written by a process of code page 1252 read the same.
  std::string ReadByteString(const std::string& section, const std::string& ident,
                             const std::string& defaultValue);
  void WriteByteString(const std::string& section, const std::string& ident, const std::string& bytes);
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  void ReadSection(const std::string& section, TStrings& strings);   // value names
  void ReadSections(TStrings& strings);                               // section names
  void ReadSectionValues(const std::string& section, TStrings& strings);  // "name=value" lines
  void ReadSection(const std::string& section, TStrings* strings) { ReadSection(section, *strings); }
  void ReadSections(TStrings* strings) { ReadSections(*strings); }
  void ReadSectionValues(const std::string& section, TStrings* strings) {
    ReadSectionValues(section, *strings);
  }
  std::vector<std::string> SectionNames();
  std::vector<std::string> ValueNames(const std::string& section);
  void EraseSection(const std::string& section);  // raises when the platform refuses
  // Removes one value; quiet, as the family's DeleteKey (an invalid name removes nothing).
  void DeleteKey(const std::string& section, const std::string& ident);
  bool SectionExists(const std::string& section);  // true when it holds at least one value
  bool ValueExists(const std::string& section, const std::string& ident);
  void UpdateFile();  // asks the platform to write out anything it caches
  // The file's bytes as they lie on disk, so that RestoreFile can put it back exactly; nullopt
  // when there is no file. Raises EIniFileException when it is there but cannot be read.
  std::optional<std::string> SaveFile() const;
  // Puts the file back as SaveFile found it: the bytes written again, or the file deleted. Best
  // effort, for undoing a change that failed halfway; false when it could not.
  bool RestoreFile(const std::optional<std::string>& image) const;

 private:
  bool FileUsable() const;
  // Where the profile functions keep the file: a bare name lives in the Windows directory.
  std::string ProfilePath() const;
  // The bytes after "ident=" in section of the file as it lies on disk, blanks trimmed; nullopt
  // when there is no such value.
  std::optional<std::string> RawValue(const std::string& section, const std::string& ident) const;
  void CheckWrite(const std::string& section, const std::string* ident,
                  const std::string* value) const;
  [[noreturn]] void WriteFailed() const;
  std::vector<std::string> ReadList(const char* section) const;

  std::string FFileName;
};

}  // namespace kyt

#endif  // KYT_HOST_RTL_INIFILES_H
