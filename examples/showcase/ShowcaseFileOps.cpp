// ShowcaseFileOps: the main form's file components at work in a scratch folder.
#include "examples/showcase/ShowcaseFileOps.h"

#include <cstdio>
#include <string>

#include "examples/showcase/ShowcaseBoard.h"
#include "files/KYTTFileCollector.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTFileProperties.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"

namespace kyt {
namespace {

void RemoveTree(const std::string& dir) {
  TSearchRec search;
  for (int found = FindFirst(dir + "\\*.*", faAnyFile, search); found == 0; found = FindNext(search)) {
    if (search.Name == "." || search.Name == "..") continue;
    const std::string path = dir + "\\" + search.Name;
    if (search.Attr & faDirectory) RemoveTree(path);
    else DeleteFile(path);
  }
  FindClose(search);
  RemoveDir(dir);
}

bool WriteText(const std::string& path, const std::string& text) {
  os::UniqueFile file = FileCreate(path);
  return file && FileWrite(file.get(), text.data(), static_cast<int>(text.size())) ==
                     static_cast<int>(text.size());
}

// The scratch folder, and the current folder the file operator changes, for the length of a run.
class TScratch {
 public:
  TScratch()
      : FSaved(GetCurrentDir()),
        FPath(IncludeTrailingBackslash(TempFolder()) + "kyt-showcase-files-" +
              std::to_string(os::kernel32.GetCurrentProcessId())) {
    RemoveTree(FPath);
    ForceDirectories(FPath + "\\source");
  }
  ~TScratch() {
    SetCurrentDir(FSaved);
    RemoveTree(FPath);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  const std::string& Path() const { return FPath; }

 private:
  static std::string TempFolder() {
    char temp[MAX_PATH + 1] = {};
    os::kernel32.GetTempPathA(sizeof temp, temp);
    return temp;
  }
  std::string FSaved;
  std::string FPath;
};

}  // namespace

bool RunShowcaseFileOps(TComponent* form) {
  auto* op = ObjectCast<TKYTFileOperator>(form->FindComponent("FileOperator1"));
  auto* collector = ObjectCast<TKYTFileCollector>(form->FindComponent("FileCollector1"));
  auto* props = ObjectCast<TKYTFileProperties>(form->FindComponent("FileProperties1"));
  TScratch scratch;
  const std::string source = scratch.Path() + "\\source", copies = scratch.Path() + "\\copies";
  if (!WriteText(source + "\\notes.txt", "notes") || !WriteText(source + "\\report.txt", "a short report") ||
      !WriteText(source + "\\left-behind.dat", "not on the list")) {
    Report("file components: the scratch folder could not be filled");
    return false;
  }

  // reference example: TKYTFileOperator
  op->SetDirFrom(source);
  op->SetDirTo(copies);
  const bool copied = op->Execute();
  // end of reference example
  Report(*op, std::string("FileOperator1: Execute returned ") + (copied ? "true" : "false"));

  // reference example: TKYTFileCollector
  collector->SetInitialDirectory(scratch.Path());
  const bool atRoot = collector->Execute();
  // end of reference example
  Report(*collector, "FileCollector1: " + std::to_string(collector->LocatedObjects()->Count()) + " files match " +
         collector->FileMask() + " below " + collector->InitialDirectory() + " (Execute returned " +
         (atRoot ? "true" : "false") + ": none lies in the folder itself)");

  // reference example: TKYTFileProperties
  props->SetFilename(copies + "\\report.txt");
  Report(*props, "FileProperties1: " + props->NameAndExtension() + " in " + props->Path() + ", " +
         std::to_string(props->Size()) + " bytes, attributes " + props->AttributesShort() + ", written " +
         props->Date() + " " + props->Time());
  props->SetFileExt("log");
  // end of reference example
  Report(*props, "FileProperties1: renamed by its extension to " + props->NameAndExtension());

  return copied && collector->LocatedObjects()->Count() == 4 && props->Size() == 14 &&
         FileExists(copies + "\\report.log");
}

}  // namespace kyt
