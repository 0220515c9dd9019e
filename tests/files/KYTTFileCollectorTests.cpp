// Tests of the file collector on real folder trees in a sandbox folder.
#include "files/KYTTFileCollector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "host/vcl/Forms.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

using filestest::Sandbox;
using filestest::ScopedCurrentDir;
using Lines = std::vector<std::string>;

Lines LinesOf(const TStrings* list) {
  Lines out;
  for (int i = 0; i < list->Count(); ++i) out.push_back(list->Strings(i));
  return out;
}

// Counts the folders and records the files the collector reports.
struct Reports {
  int Folders = 0;
  Lines Files;
  TComponent* FreeOnFolder = nullptr;  // released (as a form closing) at the first folder
  void Folder(TObject*) {
    ++Folders;
    if (auto* form = dynamic_cast<TCustomForm*>(FreeOnFolder)) form->Release();
  }
  void File(TObject*, const std::string& name) { Files.push_back(name); }
};

void Listen(TKYTFileCollector& c, Reports& r) {
  c.SetOnDirectoryFound(TNotifyEvent::Bind<&Reports::Folder>(&r));
  c.SetOnFileFound(TKYTOnFileFound::Bind<&Reports::File>(&r));
}

// root: b.TXT a.txt c.dat, Zed\z.txt, alpha\x.txt alpha\deep\y.txt, .hid\h.txt (hidden)
void MakeTree(const Sandbox& box) {
  box.File("b.TXT");
  box.File("a.txt");
  box.File("c.dat");
  box.File("Zed\\z.txt");
  box.File("alpha\\x.txt");
  box.File("alpha\\deep\\y.txt");
  box.File("hid\\h.txt");
  ::SetFileAttributesA((box / "hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                  FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileCollector, CollectsEachFolderSortedThenItsSubfoldersDepthFirst) {
  Sandbox box;
  MakeTree(box);
  TKYTFileCollector c(nullptr);
  Reports r;
  Listen(c, r);
  c.SetInitialDirectory(box.Path());
  c.SetFileMask("*.txt");
  EXPECT_TRUE(c.Execute());
  const std::string d = box.Path() + "\\";
  const Lines expected{d + "a.txt", d + "b.TXT", d + "alpha\\x.txt", d + "alpha\\deep\\y.txt",
                       d + "hid\\h.txt", d + "Zed\\z.txt"};
  EXPECT_EQ(LinesOf(c.LocatedObjects()), expected);
  EXPECT_EQ(r.Files, expected);
  EXPECT_EQ(r.Folders, 5);
  EXPECT_EQ(c.InitialDirectory(), d);

  // Every name matches a match-all mask; a second run starts afresh.
  c.SetFileMask("*.*");
  r = Reports();
  EXPECT_TRUE(c.Execute());
  EXPECT_EQ(c.LocatedObjects()->Count(), 7);
  EXPECT_EQ(c.LocatedObjects()->Strings(2), d + "c.dat");
}

TEST(FileCollector, FilesOnlyInSubfoldersAreCollectedButExecuteIsFalse) {
  Sandbox box;
  box.File("top.dat");
  box.File("sub\\one.txt");
  TKYTFileCollector c(nullptr);
  c.SetInitialDirectory(box.Path());
  c.SetFileMask("*.txt");
  EXPECT_FALSE(c.Execute());
  EXPECT_EQ(LinesOf(c.LocatedObjects()), Lines{box / "sub\\one.txt"});
}

TEST(FileCollector, AnEmptyMaskStillVisitsEveryFolder) {
  Sandbox box;
  MakeTree(box);
  TKYTFileCollector c(nullptr);
  Reports r;
  Listen(c, r);
  c.SetInitialDirectory(box.Path());
  EXPECT_FALSE(c.Execute());
  EXPECT_EQ(c.LocatedObjects()->Count(), 0);
  EXPECT_EQ(r.Folders, 5);
}

TEST(FileCollector, NormalisesTheInitialDirectoryToAFullPathWithABackslash) {
  Sandbox box;
  ScopedCurrentDir keep;
  box.File("sub\\f.txt");
  TKYTFileCollector c(nullptr);
  c.SetFileMask("*.txt");
  for (const std::string& given : {box / "sub", box / "sub\\"}) {
    c.SetInitialDirectory(given);
    EXPECT_TRUE(c.Execute()) << given;
    EXPECT_EQ(c.InitialDirectory(), box / "sub\\");
  }
  // Empty: the current folder.
  ASSERT_TRUE(SetCurrentDir(box / "sub"));
  c.SetInitialDirectory("");
  EXPECT_TRUE(c.Execute());
  EXPECT_EQ(c.InitialDirectory(), box / "sub\\");
  // Relative: expanded first, so the paths do not depend on the folder current later.
  ASSERT_TRUE(SetCurrentDir(box.Path()));
  c.SetInitialDirectory("sub");
  EXPECT_TRUE(c.Execute());
  EXPECT_EQ(c.InitialDirectory(), box / "sub\\");
  EXPECT_EQ(LinesOf(c.LocatedObjects()), Lines{box / "sub\\f.txt"});
}

TEST(FileCollector, AMissingFolderGivesNothing) {
  Sandbox box;
  TKYTFileCollector c(nullptr);
  c.LocatedObjects()->Add("old");
  c.SetInitialDirectory(box / "missing");
  c.SetFileMask("*.*");
  EXPECT_FALSE(c.Execute());
  EXPECT_EQ(c.LocatedObjects()->Count(), 0);
}

// A folder listing the platform cannot produce here (Wine folders ignore case): two names that
// differ only in case, and one folder.
struct FakeListing {
  std::vector<std::pair<std::string, DWORD>> Entries{
      {"b.txt", 0}, {"A.txt", 0}, {"a.txt", 0}, {"Sub", FILE_ATTRIBUTE_DIRECTORY}};
  size_t Next = 0;
};
FakeListing* gListing = nullptr;

void FillFind(WIN32_FIND_DATAA* data) {
  const auto& e = gListing->Entries[gListing->Next++];
  *data = WIN32_FIND_DATAA{};
  data->dwFileAttributes = e.second;
  std::snprintf(data->cFileName, sizeof data->cFileName, "%s", e.first.c_str());
}
HANDLE WINAPI FakeFindFirst(LPCSTR path, LPWIN32_FIND_DATAA data) {
  // Only the top folder has entries.
  if (std::string(path).find("Sub") != std::string::npos) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  gListing->Next = 0;
  FillFind(data);
  return reinterpret_cast<HANDLE>(0x4242);
}
BOOL WINAPI FakeFindNext(HANDLE, LPWIN32_FIND_DATAA data) {
  if (gListing->Next == gListing->Entries.size()) {
    ::SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  FillFind(data);
  return TRUE;
}
BOOL WINAPI FakeFindClose(HANDLE) { return TRUE; }

TEST(FileCollector, NamesThatDifferOnlyInCaseAreBothKept) {
  FakeListing listing;
  gListing = &listing;
  os::ScopedOverride first(os::kernel32.FindFirstFileA, &FakeFindFirst);
  os::ScopedOverride next(os::kernel32.FindNextFileA, &FakeFindNext);
  os::ScopedOverride close(os::kernel32.FindClose, &FakeFindClose);
  TKYTFileCollector c(nullptr);
  c.SetInitialDirectory("Q:\\top\\");
  c.SetFileMask("*.*");
  EXPECT_TRUE(c.Execute());
  EXPECT_EQ(LinesOf(c.LocatedObjects()), (Lines{"Q:\\top\\A.txt", "Q:\\top\\a.txt", "Q:\\top\\b.txt"}));
  gListing = nullptr;
}

TEST(FileCollector, StopsAtOnceWhenItsFormIsFreedDuringTheSearch) {
  Sandbox box;
  MakeTree(box);
  auto* form = new TForm(nullptr);
  TComponentRef<TForm> formRef(form);
  auto* c = new TKYTFileCollector(form);
  TComponentRef<TKYTFileCollector> ref(c);
  Reports r;
  r.FreeOnFolder = form;
  Listen(*c, r);
  c->SetInitialDirectory(box.Path());
  c->SetFileMask("*.txt");
  EXPECT_TRUE(c->Execute());  // the first folder's files were collected
  EXPECT_FALSE(formRef);
  EXPECT_FALSE(ref);
  EXPECT_EQ(r.Folders, 1);
  EXPECT_EQ(r.Files.size(), 2u);
  if (formRef) delete form;
}

// A handler that frees the collector directly: nothing more is reported.
struct FreeOnFile {
  TComponent* Target = nullptr;
  int Seen = 0;
  void File(TObject*, const std::string&) {
    if (++Seen == 1) delete Target;
  }
};

TEST(FileCollector, AFileHandlerThatFreesTheCollectorEndsTheSearch) {
  Sandbox box;
  MakeTree(box);
  auto* c = new TKYTFileCollector(nullptr);
  TComponentRef<TKYTFileCollector> ref(c);
  FreeOnFile handler{c};
  c->SetOnFileFound(TKYTOnFileFound::Bind<&FreeOnFile::File>(&handler));
  c->SetInitialDirectory(box.Path());
  c->SetFileMask("*.txt");
  EXPECT_TRUE(c->Execute());
  EXPECT_FALSE(ref);
  EXPECT_EQ(handler.Seen, 1);
}

}  // namespace
}  // namespace kyt
