// Tests of the text replace component on real files: what BeforeWrite sees and may change, the
// line limit, each instance's own files, failures that leave the output untouched and both files
// closed, and a form freed while a run processes messages.
#include "files/KYTTTextReplace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/core/FormFile.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/files/SandboxFolder.h"

namespace kyt {
namespace {

using ftest::ReadWholeFile;
using ftest::SandboxFolder;
using ftest::WriteWholeFile;

std::string Numbered(int count, const char* ending = "\r\n") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + ending;
  return text;
}

// What a BeforeWrite handler saw, and what it does to each line.
struct Handler {
  TKYTTextReplace* Replace = nullptr;
  std::vector<std::pair<std::string, int>> Seen;
  bool DropAll = false;
  bool Shout = false;
  std::string HeaderText;
  std::string AfterDrop;
  void BeforeWrite(TObject* sender, std::string& line, int32_t lineNo, bool& writeLine) {
    EXPECT_EQ(sender, Replace);
    EXPECT_TRUE(writeLine);
    Seen.emplace_back(line, lineNo);
    if (lineNo == 1 && !HeaderText.empty()) Replace->AddNewString(HeaderText);
    if (Shout) line += "!";
    if (DropAll) writeLine = false;
    if (!AfterDrop.empty()) Replace->AddNewString(AfterDrop);  // written nothing once dropped
  }
};

class TextReplace : public ::testing::Test {
 protected:
  TextReplace() : sandbox(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    replace = new TKYTTextReplace(&owner);
    handler.Replace = replace;
    replace->SetBeforeWrite(TKYTBeforeWrite::Bind<&Handler::BeforeWrite>(&handler));
    from = sandbox / "from.txt";
    to = sandbox / "to.txt";
    replace->SetFileFrom(from);
    replace->SetFileTo(to);
  }
  SandboxFolder sandbox;
  TComponent owner{nullptr};
  TKYTTextReplace* replace = nullptr;
  Handler handler;
  std::string from, to;
};

TEST_F(TextReplace, CopiesEveryLineThroughTheHandlerWithCrLf) {
  WriteWholeFile(from, "alpha\nbeta\r\ngamma");  // mixed endings, no final line break
  handler.Shout = true;
  EXPECT_TRUE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), "alpha!\r\nbeta!\r\ngamma!\r\n");
  const std::vector<std::pair<std::string, int>> expected{{"alpha", 1}, {"beta", 2}, {"gamma", 3}};
  EXPECT_EQ(handler.Seen, expected);
}

TEST_F(TextReplace, EmptySourceGivesAnEmptyOutputAndFalse) {
  WriteWholeFile(from, "");
  WriteWholeFile(to, "old content");
  EXPECT_FALSE(replace->Execute());
  EXPECT_TRUE(ftest::FileIsThere(to));
  EXPECT_EQ(ReadWholeFile(to), "");
  EXPECT_TRUE(handler.Seen.empty());
}

TEST_F(TextReplace, LineLimitPassesOnlyTheFirstLines) {
  WriteWholeFile(from, Numbered(10));
  replace->SetUseNoOfLines(true);
  replace->SetNoOfLinesOnly(3);
  EXPECT_TRUE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), Numbered(3));
  ASSERT_EQ(handler.Seen.size(), 3u);
  EXPECT_EQ(handler.Seen.back(), (std::pair<std::string, int>{"line 3", 3}));

  handler.Seen.clear();
  replace->SetNoOfLinesOnly(0);
  EXPECT_FALSE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), "");
  EXPECT_TRUE(handler.Seen.empty());
}

TEST_F(TextReplace, DroppedLinesAreNotWrittenNorAreLinesAddedAfterTheDrop) {
  WriteWholeFile(from, Numbered(4));
  handler.DropAll = true;
  handler.AfterDrop = "never";
  EXPECT_TRUE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), "");
  EXPECT_EQ(handler.Seen.size(), 4u);
}

TEST_F(TextReplace, AddedStringsGoAheadOfTheCurrentLine) {
  WriteWholeFile(from, Numbered(2));
  handler.HeaderText = "# header";
  EXPECT_TRUE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), "# header\r\n" + Numbered(2));
}

TEST_F(TextReplace, AddNewStringOutsideARun) {
  TKYTTextReplace& fresh = *new TKYTTextReplace(&owner);
  EXPECT_NO_THROW(fresh.AddNewString("before any run"));  // write flag still false
  WriteWholeFile(from, Numbered(1));
  replace->Execute();
  EXPECT_THROW(replace->AddNewString("after the run"), EInOutError);  // the output is closed
  EXPECT_EQ(ReadWholeFile(to), Numbered(1));
}

TEST_F(TextReplace, MissingNamesAreRefusedBeforeAnyFileIsTouched) {
  WriteWholeFile(to, "untouched");
  for (auto [fileFrom, fileTo] : {std::pair<std::string, std::string>{"", to}, {from, ""}}) {
    replace->SetFileFrom(fileFrom);
    replace->SetFileTo(fileTo);
    try {
      replace->Execute();
      ADD_FAILURE() << "no error raised";
    } catch (const EInOutError&) {
      ADD_FAILURE() << "a file was tried";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Filename not supplied");
    }
  }
  EXPECT_EQ(ReadWholeFile(to), "untouched");
}

TEST_F(TextReplace, AMissingSourceFailsBeforeTheOutputIsCreated) {
  EXPECT_THROW(replace->Execute(), EInOutError);
  EXPECT_FALSE(ftest::FileIsThere(to));
}

TEST_F(TextReplace, TheSourceAsOutputFailsWithoutTruncatingIt) {
  WriteWholeFile(from, Numbered(3));
  replace->SetFileTo(from);
  EXPECT_THROW(replace->Execute(), EInOutError);
  EXPECT_EQ(ReadWholeFile(from), Numbered(3));
  // Both files were closed: the source can be taken exclusively and deleted.
  EXPECT_TRUE(::DeleteFileA(from.c_str()));
}

TEST_F(TextReplace, AHandlerThatRaisesLeavesBothFilesClosed) {
  WriteWholeFile(from, Numbered(3));
  replace->SetBeforeWrite(TKYTBeforeWrite::FromFunction(
      [](void*, TObject*, std::string&, int32_t lineNo, bool&) {
        if (lineNo == 2) throw Exception("handler failed");
      },
      nullptr));
  EXPECT_THROW(replace->Execute(), Exception);
  EXPECT_EQ(ReadWholeFile(to), Numbered(1));  // what was written is on disk
  EXPECT_TRUE(::DeleteFileA(from.c_str()));
  EXPECT_TRUE(::DeleteFileA(to.c_str()));
}

TEST_F(TextReplace, EachInstanceWritesItsOwnOutput) {
  TKYTTextReplace& inner = *new TKYTTextReplace(&owner);
  const std::string innerFrom = sandbox / "inner-from.txt", innerTo = sandbox / "inner-to.txt";
  WriteWholeFile(innerFrom, "inner\r\n");
  inner.SetFileFrom(innerFrom);
  inner.SetFileTo(innerTo);
  WriteWholeFile(from, Numbered(3));
  // The outer run's handler runs a whole second copy in the middle of its own.
  struct Nested {
    TKYTTextReplace* Inner;
    void BeforeWrite(TObject*, std::string&, int32_t lineNo, bool&) {
      if (lineNo == 2) Inner->Execute();
    }
  } nested{&inner};
  replace->SetBeforeWrite(TKYTBeforeWrite::Bind<&Nested::BeforeWrite>(&nested));
  EXPECT_TRUE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), Numbered(3));
  EXPECT_EQ(ReadWholeFile(innerTo), "inner\r\n");
}

// The names in a folder, to see that a run leaves no file of its own behind.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(TextReplace, ASourceNamedAsAnEarlierPendingOutputIsKept) {
  const std::string left = to + ".kyt-tmp";
  WriteWholeFile(left, Numbered(2));
  replace->SetFileFrom(left);
  EXPECT_TRUE(replace->Execute());
  EXPECT_EQ(ReadWholeFile(to), Numbered(2));
  EXPECT_EQ(ReadWholeFile(left), Numbered(2));
  EXPECT_EQ(FolderNames(sandbox.Path()), (std::vector<std::string>{"to.txt", "to.txt.kyt-tmp"}));
}

TEST_F(TextReplace, RelativeNamesHoldWhenAHandlerChangesTheCurrentFolder) {
  char saved[MAX_PATH];
  ASSERT_NE(::GetCurrentDirectoryA(MAX_PATH, saved), 0u);
  const std::string other = sandbox / "other";
  ASSERT_TRUE(::CreateDirectoryA(other.c_str(), nullptr));
  WriteWholeFile(from, Numbered(3));
  WriteWholeFile(to, "old");
  ASSERT_TRUE(::SetCurrentDirectoryA(sandbox.Path().c_str()));
  replace->SetFileFrom("from.txt");
  replace->SetFileTo("to.txt");
  replace->SetBeforeWrite(TKYTBeforeWrite::FromFunction(
      [](void* folder, TObject*, std::string&, int32_t lineNo, bool&) {
        if (lineNo == 2) ::SetCurrentDirectoryA(static_cast<std::string*>(folder)->c_str());
      },
      const_cast<std::string*>(&other)));
  bool result = false;
  EXPECT_NO_THROW(result = replace->Execute());
  ::SetCurrentDirectoryA(saved);
  EXPECT_TRUE(result);
  EXPECT_EQ(ReadWholeFile(to), Numbered(3));
  EXPECT_EQ(FolderNames(sandbox.Path()), (std::vector<std::string>{"from.txt", "other", "to.txt"}));
  EXPECT_TRUE(FolderNames(other).empty());
}

TEST_F(TextReplace, OutputsThePlatformTakesAreWritten) {
  WriteWholeFile(from, Numbered(2));
  // The longest name the platform takes, and a device written in place.
  const std::string longest = sandbox.Path() + "\\" + std::string(MAX_PATH - 2 - sandbox.Path().size(), 'n');
  for (const std::string& output : {longest, std::string("NUL")}) {
    SCOPED_TRACE(output.size());
    replace->SetFileTo(output);
    bool result = false;
    EXPECT_NO_THROW(result = replace->Execute());
    EXPECT_TRUE(result);
  }
  EXPECT_EQ(ReadWholeFile(longest), Numbered(2));
  EXPECT_EQ(FolderNames(sandbox.Path()).size(), 2u);  // the source and the long output only
}

constexpr UINT kFreeFormMessage = WM_APP + 0x515;

TEST_F(TextReplace, AFormFreedDuringTheMessageProcessingStopsTheRunAtOnce) {
  WriteWholeFile(from, Numbered(50));
  auto* form = new TForm(nullptr);
  auto* onForm = new TKYTTextReplace(form);
  onForm->SetFileFrom(from);
  onForm->SetFileTo(to);
  struct Counter {
    int lines = 0;
    HWND window = nullptr;
    void BeforeWrite(TObject*, std::string&, int32_t lineNo, bool&) {
      ++lines;
      if (lineNo == 3) ::PostMessageA(window, kFreeFormMessage, 0, 0);
    }
  } counter;
  // The window that frees the form when the run's message processing reaches the post.
  struct Closer {
    TForm* form;
    void Handle(TMessage& m) {
      if (m.Msg == kFreeFormMessage) {
        delete form;
        form = nullptr;
      } else {
        m.Result = ::DefWindowProcA(nullptr, m.Msg, m.WParam, m.LParam);
      }
    }
  } closer{form};
  HWND window = AllocateHWnd([&closer](TMessage& m) { closer.Handle(m); });
  counter.window = window;
  onForm->SetBeforeWrite(TKYTBeforeWrite::Bind<&Counter::BeforeWrite>(&counter));
  EXPECT_FALSE(onForm->Execute());
  DeallocateHWnd(window);
  EXPECT_EQ(closer.form, nullptr);
  EXPECT_EQ(counter.lines, 3);
  // The freed component's files were closed with it.
  EXPECT_EQ(ReadWholeFile(to), Numbered(3));
  EXPECT_TRUE(::DeleteFileA(to.c_str()));
  EXPECT_TRUE(::DeleteFileA(from.c_str()));
}

}  // namespace
}  // namespace kyt

namespace kyt {
namespace {

TEST(TextReplaceFormFile, StoresNamesAndTheLimitWhenSet) {
  RegisterClasses({&TKYTTextReplace::StaticClass()});
  TComponent root(nullptr);
  root.SetName("Root");
  auto* plain = new TKYTTextReplace(&root);
  plain->SetName("Plain");
  auto* full = new TKYTTextReplace(&root);
  full->SetName("Full");
  full->SetFileFrom("in.txt");
  full->SetFileTo("out.txt");
  full->SetUseNoOfLines(true);
  full->SetNoOfLinesOnly(7);
  const std::string text = WriteComponentText(root);
  const auto start = text.find("object Plain"), end = text.find("object Full");
  const std::string plainBlock = text.substr(start, end - start);
  for (const char* absent : {"FileFrom", "FileTo", "UseNoOfLines", "NoOfLinesOnly", "BeforeWrite"})
    EXPECT_EQ(plainBlock.find(absent), std::string::npos) << absent << " in\n" << plainBlock;
  TComponent copy(nullptr);
  ReadRootText(copy, text, "replace.kfm");
  auto* loaded = ObjectCast<TKYTTextReplace>(copy.FindComponent("Full"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->FileFrom(), "in.txt");
  EXPECT_EQ(loaded->FileTo(), "out.txt");
  EXPECT_TRUE(loaded->UseNoOfLines());
  EXPECT_EQ(loaded->NoOfLinesOnly(), 7);
  EXPECT_EQ(WriteComponentText(copy), text);
}

}  // namespace
}  // namespace kyt
