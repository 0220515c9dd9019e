// Tests of the dropped-files component with real drops: a DROPFILES block built here and sent
// to the form as WM_DROPFILES, read back by the shell's own DragQueryFileA.
#include "files/KYTTDroppedFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/core/FormFile.h"
#include "host/os/Win.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/support/NonAscii.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

using filestest::MakeDrop;

// Counts DragFinish calls and finishes each drop for real.
int gFinished = 0;
void WINAPI CountingFinish(HDROP drop) {
  ++gFinished;
  ::DragFinish(drop);
}

// The events of a drop, in order, with what DroppedItems held at OnStartDrop.
struct DropLog {
  TKYTDroppedFiles* Component = nullptr;
  std::vector<std::string> Events;
  std::vector<std::string> ItemsAtStart;
  bool RaiseOnDrop = false;
  void Start(TObject* sender) {
    EXPECT_EQ(sender, Component);
    Events.push_back("start");
    for (int i = 0; i < Component->DroppedItems()->Count(); ++i)
      ItemsAtStart.push_back(Component->DroppedItems()->Strings(i));
  }
  void Drop(TObject*, const std::string& item) {
    Events.push_back("drop " + item);
    if (RaiseOnDrop) throw Exception("handler failed");
  }
  void End(TObject*) { Events.push_back("end"); }
};

class DroppedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    gFinished = 0;
    form = new TForm(nullptr);
    // reference example: TKYTDroppedFiles
    dropped = new TKYTDroppedFiles(form);
    log.Component = dropped;
    dropped->SetOnStartDrop(TNotifyEvent::Bind<&DropLog::Start>(&log));
    dropped->SetOnDrop(TKYTOnDrop::Bind<&DropLog::Drop>(&log));
    dropped->SetOnEndDrop(TNotifyEvent::Bind<&DropLog::End>(&log));
    // end of reference example
  }
  void TearDown() override { delete form; }

  // Sends a drop of names to the form; the component finishes the handle.
  void Drop(const std::vector<std::string>& names) {
    ScopedOverride finish(os::shell32.DragFinish, &CountingFinish);
    ::SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < dropped->DroppedItems()->Count(); ++i)
      items.push_back(dropped->DroppedItems()->Strings(i));
    return items;
  }
  bool AcceptsFiles() const {
    return (::GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  }

  TForm* form = nullptr;
  TKYTDroppedFiles* dropped = nullptr;
  DropLog log;
};

TEST_F(DroppedFiles, ThreeFilesGiveThreeItemsBetweenOneStartAndOneEnd) {
  const std::vector<std::string> names{"C:\\Docs\\a.txt", "C:\\Docs\\b.doc", "D:\\c"};
  Drop(names);
  EXPECT_EQ(Items(), names);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"start", "drop C:\\Docs\\a.txt",
                                                  "drop C:\\Docs\\b.doc", "drop D:\\c", "end"}));
  EXPECT_EQ(gFinished, 1);

  log.Events.clear();
  Drop({"E:\\next.bin"});
  EXPECT_EQ(log.ItemsAtStart, names);  // OnStartDrop still saw the previous drop
  EXPECT_EQ(Items(), std::vector<std::string>{"E:\\next.bin"});
  EXPECT_EQ(gFinished, 2);
}

TEST_F(DroppedFiles, NamesAndExtensionsComeFromTheLastPathPart) {
  const std::vector<std::string> names{"C:\\Docs\\report.final.txt", "C:\\Docs\\README",
                                       "C:\\my.dir\\plain", "C:\\my.dir\\x.y", "bare.name",
                                       "trailing\\"};
  dropped->SetCollectBy(dFullName);
  Drop(names);
  EXPECT_EQ(Items(), (std::vector<std::string>{"report.final.txt", "README", "plain", "x.y",
                                               "bare.name", ""}));
  dropped->SetCollectBy(dExtension);
  Drop(names);
  EXPECT_EQ(Items(), (std::vector<std::string>{"final.txt", "", "", "y", "name", ""}));
  EXPECT_EQ(log.Events.size(), 2u * (names.size() + 2));  // every file gets its OnDrop
}

TEST_F(DroppedFiles, LongAndNonAsciiPathsAreCollectedWhole) {
  const std::string folder = "C:\\" + std::string(150, 'd');
  std::string cjk;
  for (int i = 0; i < 10; ++i) cjk += test::kCjk;  // 80 characters, 240 bytes
  const std::vector<std::string> names{"C:\\short.txt", folder + "\\" + std::string(200, 'n') + ".txt",
                                       "C:\\" + std::string(126, 'x'), "C:\\" + std::string(124, 'y'),
                                       "C:\\Docs\\" + test::kNonAsciiName + ".txt", "C:\\" + cjk + "\\" + test::kCyrillic};
  Drop(names);
  EXPECT_EQ(Items(), names);
}

TEST_F(DroppedFiles, HandleIsFinishedOnceWhenAHandlerRaises) {
  std::vector<std::string> errors;
  struct Catcher {
    std::vector<std::string>* Errors;
    void Exception_(TObject*, const Exception& e) { Errors->push_back(e.Message()); }
  } catcher{&errors};
  const auto previous = Application->OnException();
  Application->SetOnException(TExceptionEvent::Bind<&Catcher::Exception_>(&catcher));
  log.RaiseOnDrop = true;
  Drop({"C:\\one", "C:\\two"});
  Application->SetOnException(previous);
  EXPECT_EQ(gFinished, 1);
  EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
  EXPECT_EQ(log.Events, (std::vector<std::string>{"start", "drop C:\\one"}));
}

TEST_F(DroppedFiles, ANullDropHandleIsIgnored) {
  ScopedOverride finish(os::shell32.DragFinish, &CountingFinish);
  EXPECT_EQ(::SendMessageA(form->Handle(), WM_DROPFILES, 0, 0), 0);
  EXPECT_TRUE(log.Events.empty());
  EXPECT_EQ(gFinished, 0);
}

TEST_F(DroppedFiles, AFormFreedByAHandlerEndsTheDropAndFinishesTheHandle) {
  struct Freer {
    TForm** Form;
    void Drop(TObject*, const std::string&) {
      delete *Form;
      *Form = nullptr;
    }
  } freer{&form};
  dropped->SetOnDrop(TKYTOnDrop::Bind<&Freer::Drop>(&freer));
  const HWND window = form->Handle();
  ScopedOverride finish(os::shell32.DragFinish, &CountingFinish);
  ::SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\a", "C:\\b"})), 0);
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(gFinished, 1);
  EXPECT_EQ(log.Events, std::vector<std::string>{"start"});
}

TEST_F(DroppedFiles, ActiveSwitchesTheFormsAcceptanceAtOnce) {
  EXPECT_FALSE(dropped->Active());
  EXPECT_FALSE(AcceptsFiles());
  dropped->SetActive(true);
  EXPECT_TRUE(AcceptsFiles());
  dropped->SetActive(false);
  EXPECT_FALSE(AcceptsFiles());

  form->SetDesigning(true);  // the designer makes no exception
  dropped->SetActive(true);
  EXPECT_TRUE(AcceptsFiles());
}

TEST_F(DroppedFiles, FreeingTheLastActiveComponentStopsTheFormAccepting) {
  auto* second = new TKYTDroppedFiles(form);
  second->SetActive(true);
  dropped->SetActive(true);
  delete second;
  EXPECT_TRUE(AcceptsFiles()) << "the other component still takes drops";
  delete dropped;
  dropped = nullptr;
  EXPECT_FALSE(AcceptsFiles());
}

TEST_F(DroppedFiles, OtherMessagesStillReachTheForm) {
  form->SetCaption("before");
  ::SendMessageA(form->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("after"));
  char text[32] = {};
  ::GetWindowTextA(form->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "after");
}

TEST(DroppedFilesOwner, OnlyAFormWillDo) {
  TComponent plain(nullptr);
  EXPECT_THROW(TKYTDroppedFiles{&plain}, EInvalidCast);
  EXPECT_EQ(plain.ComponentCount(), 0);
  EXPECT_THROW(TKYTDroppedFiles{nullptr}, EInvalidCast);
}

TEST(DroppedFilesFormFile, ActiveFromTheFileRegistersTheLoadedWindow) {
  RegisterClasses({&TForm::StaticClass(), &TKYTDroppedFiles::StaticClass()});
  TForm source(nullptr);
  source.SetName("DropForm");
  auto* component = new TKYTDroppedFiles(&source);
  component->SetName("Dropped1");
  component->SetActive(true);
  component->SetCollectBy(dExtension);
  component->DroppedItems()->Add("not stored");
  const std::string text = WriteComponentText(source);
  EXPECT_NE(text.find("Active = True"), std::string::npos) << text;
  EXPECT_NE(text.find("CollectBy = dExtension"), std::string::npos) << text;
  EXPECT_EQ(text.find("DroppedItems"), std::string::npos) << text;

  TForm copy(nullptr);
  ReadRootText(copy, text, "dropped.kfm");
  auto* loaded = ObjectCast<TKYTDroppedFiles>(copy.FindComponent("Dropped1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->Active());
  EXPECT_EQ(loaded->CollectBy(), dExtension);
  EXPECT_TRUE(::GetWindowLongA(copy.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(WriteComponentText(copy), text);
}

}  // namespace
}  // namespace kyt
