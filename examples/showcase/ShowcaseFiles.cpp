// ShowcaseFiles: the file components of the showcase's main form at work.
#include "examples/showcase/ShowcaseFiles.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "examples/showcase/ShowcaseBoard.h"
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileExecute.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"
#include "host/os/OsSeam.h"
#include "host/os/Win.h"

#include <shlobj.h>  // DROPFILES
#include "host/rtl/SysUtils.h"
#include "host/rtl/TextFiles.h"
#include "host/vcl/Forms.h"

namespace kyt {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  TextFile file(path);
  file.Reset();
  while (!file.Eof()) lines.push_back(file.ReadLn());
  file.CloseFile();
  return lines;
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  TextFile file(path);
  file.Rewrite();
  for (const std::string& line : lines) file.WriteLn(line);
  file.CloseFile();
}

// %TEMP%\kyt-showcase-files, emptied of what the showcase puts there and removed at the end.
class TShowcaseFolder {
 public:
  TShowcaseFolder() {
    char temp[MAX_PATH] = {};
    os::kernel32.GetTempPathA(MAX_PATH, temp);
    FPath = std::string(temp) + "kyt-showcase-files";
    Clean();
    CreateDir(FPath);
  }
  ~TShowcaseFolder() {
    Clean();
    RemoveDir(FPath);
  }
  TShowcaseFolder(const TShowcaseFolder&) = delete;
  TShowcaseFolder& operator=(const TShowcaseFolder&) = delete;
  std::string operator/(const char* name) const { return FPath + "\\" + name; }

 private:
  void Clean() const {
    for (const char* name : {"showcase.log", "colours.txt", "colors.txt"}) DeleteFile(FPath + "\\" + name);
  }
  std::string FPath;
};

bool ShowLogFile(TComponent* form, const TShowcaseFolder& folder) {
  // reference example: TKYTLogFile
  auto* log = ObjectCast<TKYTLogFile>(form->FindComponent("LogFile1"));
  log->SetLogFile(folder / "showcase.log");
  log->Log("showcase started");
  log->Log("files demonstrated");
  // end of reference example
  const std::vector<std::string> lines = ReadLines(log->LogFile());
  Report(*log, "LogFile1: " + std::to_string(lines.size()) + " lines in " + log->LogFile() + ":");
  for (const std::string& line : lines) Report("  | " + line);
  log->ClearLog();
  const size_t left = ReadLines(log->LogFile()).size();
  Report(*log, "LogFile1: cleared, " + std::to_string(left) + " line left (the header)");
  return lines.size() == 3 && left == 1;
}

bool ShowTextReplace(TComponent* form, const TShowcaseFolder& folder) {
  // reference example: TKYTTextReplace
  auto* replace = ObjectCast<TKYTTextReplace>(form->FindComponent("TextReplace1"));
  replace->SetFileFrom(folder / "colours.txt");
  replace->SetFileTo(folder / "colors.txt");
  WriteLines(replace->FileFrom(), {"# favourite colours", "red colour", "green colour", "blue colour"});
  const bool result = replace->Execute();
  // end of reference example
  const std::vector<std::string> lines = ReadLines(replace->FileTo());
  Report(*replace, std::string("TextReplace1: Execute returned ") + (result ? "true" : "false") + "; " +
         replace->FileTo() + " holds:");
  for (const std::string& line : lines) Report("  | " + line);
  return result && lines.size() == 4;
}

// A drop of names as the shell hands one to a window; the component finishes it.
HDROP MakeDrop(const std::vector<std::string>& names) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& n : names) size += n.size() + 1;
  HGLOBAL memory = os::kernel32.GlobalAlloc(GHND, size);
  if (!memory) return nullptr;
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

bool ShowDroppedFiles(TComponent* form, const TShowcaseFolder& folder) {
  auto* dropped = ObjectCast<TKYTDroppedFiles>(form->FindComponent("DroppedFiles1"));
  auto* window = ObjectCast<TForm>(form);
  const bool accepts = (os::user32.GetWindowLongA(window->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  Report(*dropped, std::string("DroppedFiles1: the main form ") + (accepts ? "accepts" : "does not accept") +
         " dropped files; the showcase drops two files on it");
  HDROP drop = MakeDrop({folder / "colours.txt", folder / "colors.txt"});
  os::user32.SendMessageA(window->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  return accepts && dropped->DroppedItems()->Count() == 2;
}

bool ShowFileExecute(TComponent* form) {
  auto* exec = ObjectCast<TKYTFileExecute>(form->FindComponent("FileExecute1"));
  Report(*exec, "FileExecute1: runs '" + exec->Filename() + " " + exec->ExeParameters() + "' with verb '" +
         exec->Verb() + "', show command " + std::to_string(exec->ShowCommand()) +
         (exec->Wait() ? ", waiting for it" : ""));
  const bool result = exec->Execute();
  Report(*exec, std::string("FileExecute1: Execute returned ") + (result ? "true" : "false") +
         (result && exec->Wait() ? " after the command had ended" : ""));
  return result;
}

}  // namespace

bool RunShowcaseFiles(TComponent* form) {
  TShowcaseFolder folder;
  bool ok = true;
  try {
    ok = ShowLogFile(form, folder) && ok;
    ok = ShowTextReplace(form, folder) && ok;
    ok = ShowDroppedFiles(form, folder) && ok;
    ok = ShowFileExecute(form) && ok;
  } catch (const Exception& e) {
    Report("a file component failed: " + e.Message());
    ok = false;
  }
  return ok;
}

}  // namespace kyt
