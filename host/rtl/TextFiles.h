// TextFiles: checked text files of the family's runtime, in the system's 8-bit code page.
// Every failure raises EInOutError: operating-system failures with the OS error code and its
// standard message, misuse with the family's own codes (102 file not assigned, 103 file not
// open, 104 not open for input, 105 not open for output). The file is closed on every path.
#ifndef KYT_HOST_RTL_TEXTFILES_H
#define KYT_HOST_RTL_TEXTFILES_H

#include <string>
#include <string_view>

#include "host/os/Handles.h"

namespace kyt {

// Codes of the family's runtime for misuse of a text file (not OS error codes).
constexpr int ioFileNotAssigned = 102;
constexpr int ioFileNotOpen = 103;
constexpr int ioFileNotOpenForInput = 104;
constexpr int ioFileNotOpenForOutput = 105;

class TextFile {
 public:
  enum class TMode { Closed, Input, Output };

  TextFile() = default;
  explicit TextFile(std::string fileName) : FName(std::move(fileName)) {}
  // Closes an open file; output still buffered is written, and a failure then is dropped
  // (call CloseFile to see it).
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Properties
  const std::string& FileName() const { return FName; }
  TMode Mode() const { return FMode; }
  bool IsOpen() const { return FMode != TMode::Closed; }

  // Methods
  // Names the file for the next Reset/Rewrite/Append; an open file is closed first.
  void AssignFile(const std::string& fileName);
  void Reset();    // opens an existing file for reading
  void Rewrite();  // creates the file, or empties an existing one, for writing
  // Opens an existing file for writing after its last character (a trailing Ctrl+Z end marker
  // is removed first); a missing file fails with the OS error, as the family's Append does.
  void Append();
  // Reads up to the next line end (CR LF, LF or CR) and consumes it; at the end of the file it
  // gives an empty string.
  std::string ReadLn();
  void ReadLn(std::string& line) { line = ReadLn(); }
  bool Eof();  // input only: true when no character is left
  void Write(std::string_view text);
  void WriteLn(std::string_view text = {});  // the text and CR LF
  // Hands the buffered output to the operating system (other programs then see it).
  void Flush();
  void CloseFile();  // closing a file that is not open raises code 103

 private:
  void Open(DWORD access, DWORD share, DWORD disposition, TMode mode);
  void CheckOutput();
  void CheckInput();
  void FillBuffer();
  void WriteThrough(const char* data, size_t size);

  std::string FName;
  TMode FMode = TMode::Closed;
  os::UniqueFile FHandle;
  std::string FBuffer;   // output waiting to be written, or input read ahead
  size_t FPos = 0;       // next unread input character in FBuffer
  bool FAtEnd = false;   // the OS reported the end of the input
};

// The family's procedural spelling of the same operations.
inline void AssignFile(TextFile& f, const std::string& fileName) { f.AssignFile(fileName); }
inline void Reset(TextFile& f) { f.Reset(); }
inline void Rewrite(TextFile& f) { f.Rewrite(); }
inline void Append(TextFile& f) { f.Append(); }
inline void ReadLn(TextFile& f, std::string& line) { f.ReadLn(line); }
inline void Write(TextFile& f, std::string_view text) { f.Write(text); }
inline void WriteLn(TextFile& f, std::string_view text = {}) { f.WriteLn(text); }
inline bool Eof(TextFile& f) { return f.Eof(); }
inline void Flush(TextFile& f) { f.Flush(); }
inline void CloseFile(TextFile& f) { f.CloseFile(); }

}  // namespace kyt

#endif  // KYT_HOST_RTL_TEXTFILES_H
