// TextFiles.cpp: buffered text files over CreateFileA/ReadFile/WriteFile with checked results.
#include "host/rtl/TextFiles.h"

#include "host/core/Exceptions.h"
#include "host/rtl/RtlPrivate.h"
#include "host/rtl/SysUtils.h"

namespace kyt {

using os::kernel32;

namespace {

constexpr size_t kBufferSize = 4096;

[[noreturn]] void Misuse(int code) {
  const char* text = code == ioFileNotAssigned       ? "File not assigned"
                     : code == ioFileNotOpen          ? "File not open"
                     : code == ioFileNotOpenForInput  ? "File not open for input"
                                                      : "File not open for output";
  throw EInOutError(text, code);
}

[[noreturn]] void RaiseLast() { RaiseInOutError(static_cast<int>(kernel32.GetLastError())); }

}  // namespace

TextFile::~TextFile() {
  if (FMode == TMode::Output && !FBuffer.empty()) {
    try {
      WriteThrough(FBuffer.data(), FBuffer.size());
    } catch (const EInOutError&) {
      // A destructor cannot report; CloseFile is the checked way to close.
    }
  }
  // FHandle closes the file.
}

void TextFile::AssignFile(const std::string& fileName) {
  if (IsOpen()) CloseFile();
  FName = fileName;
}

void TextFile::Open(DWORD access, DWORD share, DWORD disposition, TMode mode) {
  if (IsOpen()) CloseFile();
  if (FName.empty()) Misuse(ioFileNotAssigned);
  if (DWORD code = rtl_private::CheckPath(FName)) RaiseInOutError(static_cast<int>(code));
  os::UniqueFile handle(kernel32.CreateFileA(FName.c_str(), access, share, nullptr, disposition,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) RaiseLast();
  FHandle = std::move(handle);
  FBuffer.clear();
  FPos = 0;
  FAtEnd = false;
  FMode = mode;
}

void TextFile::Reset() { Open(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, TMode::Input); }

void TextFile::Rewrite() { Open(GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, TMode::Output); }

void TextFile::Append() {
  Open(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, TMode::Output);
  try {
    // A Ctrl+Z that is the file's last byte is an end-of-file mark: new lines go where it stood.
    // One anywhere else is data and stays. Reading the last byte leaves the file at its end; an
    // empty file refuses the seek to it and is at its end already. Two calls per open: a log
    // opens its file for every line.
    LARGE_INTEGER last;
    if (!kernel32.SetFilePointerEx(FHandle.get(), LARGE_INTEGER{.QuadPart = -1}, &last, FILE_END)) {
      if (kernel32.GetLastError() != ERROR_NEGATIVE_SEEK) RaiseLast();
      return;
    }
    char byte = 0;
    DWORD got = 0;
    if (!kernel32.ReadFile(FHandle.get(), &byte, 1, &got, nullptr)) RaiseLast();
    if (got == 1 && byte == '\x1A') {
      if (!kernel32.SetFilePointerEx(FHandle.get(), last, nullptr, FILE_BEGIN)) RaiseLast();
      if (!kernel32.SetEndOfFile(FHandle.get())) RaiseLast();
    }
  } catch (...) {
    FHandle.reset();
    FMode = TMode::Closed;
    throw;
  }
}

void TextFile::CheckOutput() {
  if (FMode == TMode::Closed) Misuse(ioFileNotOpen);
  if (FMode != TMode::Output) Misuse(ioFileNotOpenForOutput);
}

void TextFile::CheckInput() {
  if (FMode == TMode::Closed) Misuse(ioFileNotOpen);
  if (FMode != TMode::Input) Misuse(ioFileNotOpenForInput);
}

void TextFile::FillBuffer() {
  FBuffer.erase(0, FPos);
  FPos = 0;
  if (FAtEnd) return;
  size_t have = FBuffer.size();
  FBuffer.resize(have + kBufferSize);
  DWORD got = 0;
  if (!kernel32.ReadFile(FHandle.get(), FBuffer.data() + have, static_cast<DWORD>(kBufferSize),
                         &got, nullptr)) {
    FBuffer.resize(have);
    RaiseLast();
  }
  FBuffer.resize(have + got);
  if (got == 0) FAtEnd = true;
}

std::string TextFile::ReadLn() {
  CheckInput();
  std::string line;
  for (;;) {
    if (FPos >= FBuffer.size()) {
      FillBuffer();
      if (FPos >= FBuffer.size()) return line;  // end of file
    }
    size_t stop = FBuffer.find_first_of("\r\n", FPos);
    if (stop == std::string::npos) {
      line.append(FBuffer, FPos, std::string::npos);
      FPos = FBuffer.size();
      continue;
    }
    line.append(FBuffer, FPos, stop - FPos);
    char c = FBuffer[stop];
    FPos = stop + 1;
    if (c == '\r') {
      if (FPos >= FBuffer.size()) FillBuffer();
      if (FPos < FBuffer.size() && FBuffer[FPos] == '\n') ++FPos;
    }
    return line;
  }
}

bool TextFile::Eof() {
  CheckInput();
  if (FPos < FBuffer.size()) return false;
  FillBuffer();
  return FPos >= FBuffer.size();
}

void TextFile::WriteThrough(const char* data, size_t size) {
  while (size > 0) {
    DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD done = 0;
    if (!kernel32.WriteFile(FHandle.get(), data, chunk, &done, nullptr)) RaiseLast();
    if (done == 0) RaiseInOutError(ERROR_DISK_FULL);
    data += done;
    size -= done;
  }
}

void TextFile::Write(std::string_view text) {
  CheckOutput();
  FBuffer.append(text);
  if (FBuffer.size() >= kBufferSize) Flush();
}

void TextFile::WriteLn(std::string_view text) {
  CheckOutput();
  FBuffer.append(text);
  FBuffer.append("\r\n");
  if (FBuffer.size() >= kBufferSize) Flush();
}

void TextFile::Flush() {
  if (FMode == TMode::Closed) Misuse(ioFileNotOpen);
  if (FMode != TMode::Output || FBuffer.empty()) return;
  std::string pending;
  pending.swap(FBuffer);
  WriteThrough(pending.data(), pending.size());
}

void TextFile::CloseFile() {
  if (FMode == TMode::Closed) Misuse(ioFileNotOpen);
  TMode mode = FMode;
  FMode = TMode::Closed;
  os::UniqueFile handle = std::move(FHandle);
  std::string pending;
  pending.swap(FBuffer);
  FPos = 0;
  if (mode == TMode::Output && !pending.empty()) {
    FHandle = std::move(handle);  // WriteThrough writes through FHandle
    try {
      WriteThrough(pending.data(), pending.size());
    } catch (...) {
      FHandle.reset();
      throw;
    }
    handle = std::move(FHandle);
  }
  HANDLE raw = handle.release();
  if (!kernel32.CloseHandle(raw)) RaiseLast();
}

}  // namespace kyt
