// KYTTFileCollector: the depth-first search, sorted per folder, with the message processing
// between folders.
#include "files/KYTTFileCollector.h"

#include <algorithm>

#include "host/core/TypeInfo.h"
#include "host/rtl/SysUtils.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTFileCollector::StaticClass()});
  return true;
}();

// Order of one folder's entries: without regard to case; names that differ only in case (a
// case-sensitive folder can hold both) are both kept, in byte order.
bool EntryLess(const std::string& a, const std::string& b) {
  const int byText = core::CompareText(a, b);
  return byText != 0 ? byText < 0 : a < b;
}

void SortEntries(std::vector<std::string>& entries) {
  std::sort(entries.begin(), entries.end(), EntryLess);
  entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
}

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

// Masks that match every name: one search then gives both folders and files.
bool MatchesEverything(const std::string& mask) { return mask == "*" || mask == "*.*"; }

}  // namespace

TKYTFileCollector::TKYTFileCollector(TComponent* AOwner)
    : inherited(AOwner), FLocatedObjects(new TStringList) {}

TKYTFileCollector::~TKYTFileCollector() { delete FLocatedObjects; }

void TKYTFileCollector::SetLocatedObjects(TStrings* value) {
  if (value != FLocatedObjects) FLocatedObjects->Assign(value);
}

bool TKYTFileCollector::Execute() {
  FLocatedObjects->Clear();
  if (FInitialDirectory.empty()) FInitialDirectory = GetCurrentDir();
  // Expanded first: a relative root would otherwise give "full" paths that depend on the
  // current folder at the time each folder is searched.
  std::string root = ExpandFileName(IncludeTrailingBackslash(FInitialDirectory));
  if (root.empty()) root = FInitialDirectory;
  FInitialDirectory = IncludeTrailingBackslash(ExtractFileDir(IncludeTrailingBackslash(root)));
  return Scandirectory(FInitialDirectory);
}

bool TKYTFileCollector::Scandirectory(const std::string& Directory) {
  const TComponentRef<TKYTFileCollector> self(this);
  return ScanTree(Directory, self);
}

bool TKYTFileCollector::ScanTree(const std::string& directory,
                                 const TComponentRef<TKYTFileCollector>& self) {
  bool result = false;
  // Anything handled here may free this component (its form closed): stop without touching it.
  if (Application) Application->ProcessMessages();
  if (!self) return result;
  FOnDirectoryFound(this);
  if (!self) return result;

  std::vector<std::string> folders, files;
  ListFolder(directory, folders, files);
  for (const std::string& file : files) {
    FLocatedObjects->Add(file);
    result = true;
    FOnFileFound(this, file);
    if (!self) return result;
  }
  for (const std::string& folder : folders) {
    ScanTree(folder, self);
    if (!self) return result;
  }
  return result;
}

void TKYTFileCollector::ListFolder(const std::string& directory, std::vector<std::string>& folders,
                                   std::vector<std::string>& files) const {
  const bool onePass = MatchesEverything(FFileMask);
  TSearchRec search;
  for (int found = FindFirst(directory + "*.*", faAnyFile, search); found == 0;
       found = FindNext(search)) {
    if (search.Attr & faDirectory) {
      if (!IsDotEntry(search.Name)) folders.push_back(directory + search.Name + "\\");
    } else if (onePass && !(search.Attr & faVolumeID)) {
      files.push_back(directory + search.Name);
    }
  }
  FindClose(search);
  if (!onePass && !FFileMask.empty()) {
    for (int found = FindFirst(directory + FFileMask, faAnyFile, search); found == 0;
         found = FindNext(search)) {
      if (!(search.Attr & (faDirectory | faVolumeID))) files.push_back(directory + search.Name);
    }
    FindClose(search);
  }
  SortEntries(folders);
  SortEntries(files);
}

}  // namespace kyt
