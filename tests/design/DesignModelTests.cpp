// Tests of the designer model with the package registered, headless: the inspector's entries and
// verbs of every palette component, undo and redo over mixed changes, positions in the file,
// refused changes, the designed components' real design-time effects, the clipboard and saving.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "host/core/FormFile.h"
#include "host/design/DesignModel.h"
#include "host/vcl/Forms.h"
#include "package/KYTSysReg.h"
#include "persistence/KYTTIllegalAbort.h"
#include "tests/support/MessagePump.h"
#include "tests/support/NonAscii.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

const std::string kKey = test::kTestsKey + "\\DesignModel";

// The form class of the files these tests write, as the application that loads them has it.
class TModelForm : public TForm {
  KYT_CLASS(TModelForm, TForm)
 public:
  explicit TModelForm(TComponent* owner) : TForm(owner) {}
};

// A component whose setter refuses a value when its Tag is 1, so that a set on several selected
// changes the first and fails on the second.
class TPickyPart : public TComponent {
  KYT_CLASS(TPickyPart, TComponent)
 public:
  static void Publish(TPublisher<TPickyPart>& p) { p.Property("Text", &TPickyPart::Text, &TPickyPart::SetText); }
  explicit TPickyPart(TComponent* owner) : TComponent(owner) {}
  const std::string& Text() const { return FText; }
  void SetText(const std::string& value) {
    if (Tag() == 1 && !value.empty()) throw EPropertyError("Picky refuses " + value);
    FText = value;
  }

 private:
  std::string FText;
};

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

const TInspectorLine* Entry(const std::vector<TInspectorLine>& lines, const std::string& path) {
  for (const TInspectorLine& line : lines)
    if (line.Path == path) return &line;
  return nullptr;
}

std::vector<std::string> Captions(const std::vector<TDesignVerb>& verbs) {
  std::vector<std::string> out;
  for (const TDesignVerb& v : verbs) out.push_back(v.Caption);
  return out;
}

class DesignModel : public ::testing::Test {
 protected:
  void SetUp() override {
    Register();
    folder = test::SandboxPath(std::string("design model ") +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    file = folder + "\\Unit1.kfm";
  }
  void TearDown() override {
    model.reset();
    for (const char* name : {"\\Unit1.kfm", "\\Unit1.~kfm", "\\Unit1.kfm.kytdesign-tmp", "\\Broken.kfm"})
      ::DeleteFileA((folder + name).c_str());
    ::RemoveDirectoryA(folder.c_str());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey.c_str());
  }

  std::unique_ptr<TDesignModel> model = std::make_unique<TDesignModel>();
  std::string folder, file;
};

// The detector keeps its marker below the suite's key, never in the store's default place.
void KeepMarkerInTestKey(TDesignSession& s, TComponent* abort) {
  s.Select({abort});
  s.SetValue("ParamStore.Registry.Path", kKey);
  s.SetValue("ParamStore.Registry.Section", "Design");
}

TEST_F(DesignModel, EveryComponentShowsAboutAndTheExecuteComponentsExecuteTestHiddenWithTwo) {
  const std::set<std::string> execute = {"TKYTExitWindows", "TKYTFileExecute", "TKYTMsgDlg",   "TKYTMsgBox",
                                         "TKYTMsgSelect",   "TKYTScreenSaver", "TKYTWallPaper", "TKYTWavePlayer",
                                         "TKYTFileOperator", "TKYTFileCollector"};
  TDesignSession& s = model->New();
  std::vector<TComponent*> placed;
  for (const TPaletteEntry& e : DesignTables().Palette) {
    placed.push_back(s.Place(e.ClassName, 8, 8));
    if (e.ClassName == "TKYTIllegalAbort") KeepMarkerInTestKey(s, placed.back());
  }
  ASSERT_EQ(placed.size(), 37u);
  int executes = 0;
  for (size_t i = 0; i < placed.size(); ++i) {
    const std::string cls = placed[i]->ClassName();
    const bool executable = execute.contains(cls);
    executes += executable;
    s.Select({placed[i]});
    const auto lines = s.Properties();
    const TInspectorLine* about = Entry(lines, "About");
    ASSERT_NE(about, nullptr) << cls;
    EXPECT_EQ(about->Value, "(KYT System Components)") << cls;
    EXPECT_TRUE(about->ReadOnly) << cls;
    const TInspectorLine* test = Entry(lines, "DesignExecute");
    EXPECT_EQ(test ? test->Value : "<hidden>", executable ? "(Execute Test)" : "<hidden>") << cls;
    std::vector<std::string> single = {"About", "Execute Test", "Delete", "Cut", "Copy", "Paste"};
    if (!executable) single.erase(single.begin() + 1);
    EXPECT_EQ(Captions(s.Verbs()), single) << cls;

    s.Select({placed[i], placed[(i + 1) % placed.size()]});
    const auto both = s.Properties();
    EXPECT_NE(Entry(both, "About"), nullptr) << cls;
    EXPECT_EQ(Entry(both, "DesignExecute"), nullptr) << cls;
    EXPECT_EQ(Captions(s.Verbs()), (std::vector<std::string>{"About", "Delete", "Cut", "Copy", "Paste"})) << cls;
  }
  EXPECT_EQ(executes, 10);
}

TEST_F(DesignModel, MixedChangesUndoneOneByOneGiveBackEachTextAndRedoneTheLast) {
  TDesignSession& s = model->New();
  auto at = [&](const char* name) { return s.Find(name); };
  const std::vector<std::function<void()>> changes = {
      [&] { s.Place("TKYTFormHook", 10, 10); },
      [&] { s.Place("TKYTStringHolder", 40, 10); },
      [&] { s.Move(at("FormHook1"), 60, 70); },
      [&] { s.Select({at("FormHook1")}), s.SetValue("Tag", "3"); },
      [&] { s.Select({at("FormHook1"), at("StringHolder1")}), s.SetValue("Tag", "9"); },
      [&] { s.Select({at("FormHook1")}), s.Paste(s.CopySelection()); },
      [&] { s.Select({at("StringHolder1")}), s.SetValue("Name", "Holder"); },
      [&] { s.Place("TKYTLogFile", 5, 5); },
      [&] { s.Select({at("Holder")}), s.DeleteSelection(); },
      [&] { s.Select({&s.Form()}), s.SetValue("Caption", "Designed"); },
      [&] { s.Move(at("LogFile1"), 100, 20); },
      [&] { s.Select({at("LogFile1")}), model->SetClipboard(s.CutSelection()); },
      [&] { s.Paste(model->Clipboard()); },
      [&] { s.Place("TKYTJokeHolder"); },
      [&] { s.Select({at("JokeHolder1")}), s.SetValue("Tag", "4"); },
      [&] { s.Move(&s.Form(), 33, 44); },
      [&] { s.Place("TKYTFileOperator", 1, 2); },
      [&] { s.Select({at("FormHook2")}), s.RunVerb("Delete"); },
      [&] { s.Select({at("FormHook1")}), s.SetValue("OnMessage", "FormHook1Message"); },
      [&] { s.Select({at("JokeHolder1")}), s.SetValue("Items", "one\r\ntwo"); },
  };
  std::vector<std::string> texts{s.Text()};
  for (size_t i = 0; i < changes.size(); ++i) {
    changes[i]();
    s.Idle();
    ASSERT_NE(s.Text(), texts.back()) << "change " << i << " changed nothing";
    texts.push_back(s.Text());
  }
  ASSERT_EQ(s.UndoCount(), changes.size());
  for (size_t i = changes.size(); i-- > 0;) {
    s.Undo();
    ASSERT_EQ(s.Text(), texts[i]) << "after undoing change " << i;
    ASSERT_EQ(WriteComponentText(s.Form()), texts[i]);
  }
  EXPECT_FALSE(s.CanUndo());
  EXPECT_FALSE(s.Modified());
  while (s.CanRedo()) s.Redo();
  EXPECT_EQ(s.Text(), texts.back());
  EXPECT_TRUE(s.Modified());
}

TEST_F(DesignModel, KeepsTheLatestThousandStepsAndUndoesToTheOldestKept) {
  TDesignSession& s = model->New();
  TComponent* hook = s.Place("TKYTFormHook", 0, 0);
  std::string afterFifth;
  for (int i = 1; i <= 1004; ++i) {
    s.Move(hook, i, i);
    if (i == 4) afterFifth = s.Text();   // the place is step 1, so step 5 is this one
  }
  EXPECT_EQ(s.UndoCount(), kMaxUndoSteps);
  while (s.CanUndo()) s.Undo();
  EXPECT_EQ(s.Text(), afterFifth);
}

TEST_F(DesignModel, PositionsRoundTripAndTheRuntimeReaderAcceptsTheFile) {
  TDesignSession& s = model->New("TModelForm");
  s.Place("TKYTFormHook", 24, 16, "Hook");
  s.Place("TKYTStringHolder", "Plain");
  s.SaveAs(file);
  const std::string text = ReadText(file);
  EXPECT_NE(text.find("object Hook: TKYTFormHook\r\n    Left = 24\r\n    Top = 16\r\n  end"), std::string::npos) << text;
  EXPECT_NE(text.find("object Plain: TKYTStringHolder\r\n  end"), std::string::npos) << text;

  TModelForm running(nullptr);
  ReadRootText(running, text, file);
  EXPECT_EQ(running.FindComponent("Hook")->DesignPosition().Left, 24);
  EXPECT_EQ(running.FindComponent("Hook")->DesignPosition().Top, 16);
  EXPECT_FALSE(running.FindComponent("Plain")->HasDesignPosition());

  TDesignModel other;
  TComponent* hook = other.Open(file).Find("Hook");
  EXPECT_EQ(hook->DesignPosition().Left, 24);
  EXPECT_EQ(other.Open(file).Text(), text);
}

// Changes a component refuses: the error reaches the caller and the form, its history and the
// modified flag stay as they were.
TEST_F(DesignModel, ARefusedChangeLeavesTheFormAndItsHistory) {
  struct TCase {
    const char* Name;
    std::function<void(TDesignSession&)> Change;
    const char* Message;
  };
  const std::vector<TCase> cases = {
      {"second guard", [](TDesignSession& s) { s.Place("TKYTOnlyOne", 5, 5); }, ""},
      {"second application", [](TDesignSession& s) { s.Place("TKYTApplication", 5, 5); }, ""},
      {"name taken", [](TDesignSession& s) { s.Place("TKYTFormHook", 5, 5, "Guard"); }, "Guard"},
      {"bad number on both", [](TDesignSession& s) {
         s.Select({s.Find("Hook"), s.Find("Guard")});
         s.SetValue("Tag", "many");
       }, "many"},
      {"read-only entry", [](TDesignSession& s) {
         s.Select({s.Find("Volume")});
         s.SetValue("VolumeLabel", "x");
       }, "read-only"},
      {"broken paste", [](TDesignSession& s) { s.Paste("object Hook: TKYTFormHook\n  Tag = 'x\nend\n"); }, "clipboard(2,"},
      {"delete the form", [](TDesignSession& s) { s.Select({&s.Form()}), s.DeleteSelection(); }, "form"},
      {"second of two refuses", [](TDesignSession& s) {
         s.Select({s.Find("Easy"), s.Find("Picky")});
         s.SetValue("Text", "new");
       }, "Picky refuses new"},
  };
  RegisterComponents("Tests", {TPaletteEntry{"", "TPickyPart", &TPickyPart::StaticClass()}});
  TDesignSession& s = model->New();
  s.Place("TPickyPart", 5, 5, "Easy");
  s.Place("TPickyPart", 6, 6, "Picky");
  s.SetValue("Tag", "1");
  s.Place("TKYTOnlyOne", 1, 1, "Guard");
  s.Place("TKYTApplication", 2, 2, "App");
  s.Place("TKYTFormHook", 3, 3, "Hook");
  s.Place("TKYTDriveVolume", 4, 4, "Volume");
  for (const TCase& c : cases) {
    const std::string before = s.Text();
    const size_t undo = s.UndoCount();
    std::string message = "<nothing raised>";
    try {
      c.Change(s);
    } catch (const Exception& e) {
      message = e.Message();
    }
    EXPECT_NE(message, "<nothing raised>") << c.Name;
    EXPECT_NE(message.find(c.Message), std::string::npos) << c.Name << ": " << message;
    EXPECT_EQ(s.Text(), before) << c.Name;
    EXPECT_EQ(WriteComponentText(s.Form()), before) << c.Name;
    EXPECT_EQ(s.UndoCount(), undo) << c.Name;
  }
  // The guard that stayed is the only one: undoing its placing and redoing it works.
  while (s.CanUndo()) s.Undo();
  while (s.CanRedo()) s.Redo();
  EXPECT_NE(s.Form().FindComponent("Guard"), nullptr);
}

TEST_F(DesignModel, TheIllegalAbortMarkerIsUpWhileItsFormIsOpen) {
  TDesignSession& made = model->New();
  KeepMarkerInTestKey(made, made.Place("TKYTIllegalAbort", 8, 8, "Abort"));
  made.SaveAs(file);
  model->Close(made);
  const std::string key = kKey + "\\Design";
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, key, kKYTIllegalAbortMarker), "0");
  TDesignSession& opened = model->Open(file);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, key, kKYTIllegalAbortMarker), "1");
  model->Close(opened);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, key, kKYTIllegalAbortMarker), "0");
  EXPECT_TRUE(model->Sessions().empty());
}

TEST_F(DesignModel, ASetWithSeveralSelectedSetsAllAndOneUndoPutsThemBack) {
  TDesignSession& s = model->New();
  std::vector<TComponent*> hooks = {s.Place("TKYTFormHook"), s.Place("TKYTFormHook"), s.Place("TKYTLogFile")};
  const std::string before = s.Text();
  s.Select(hooks);
  s.SetValue("Tag", "7");
  for (TComponent* c : hooks) EXPECT_EQ(c->Tag(), 7) << c->Name();
  s.Undo();
  EXPECT_EQ(s.Text(), before);
  for (const char* name : {"FormHook1", "FormHook2", "LogFile1"}) EXPECT_EQ(s.Find(name)->Tag(), 0);
}

TEST_F(DesignModel, PasteRenamesTakenNamesAndLandsFurtherOn) {
  TDesignSession& s = model->New();
  TComponent* hook = s.Place("TKYTFormHook", 20, 30);
  s.SetValue("Tag", "5");
  s.Select({hook, s.Place("TKYTStringHolder", 1, 1, "Holder")});
  const std::string clip = s.CopySelection();
  EXPECT_EQ(clip.find("object FormHook1"), 0u) << clip;
  const std::vector<TComponent*> pasted = s.Paste(clip);
  ASSERT_EQ(pasted.size(), 2u);
  EXPECT_EQ(pasted[0]->Name(), "FormHook2");
  EXPECT_EQ(pasted[1]->Name(), "StringHolder1");
  EXPECT_EQ(pasted[0]->Tag(), 5);
  EXPECT_EQ(pasted[0]->DesignPosition().Left, 20 + kPasteOffset);
  EXPECT_EQ(pasted[0]->DesignPosition().Top, 30 + kPasteOffset);
  EXPECT_EQ(s.Selection(), pasted);
  // Into another open form (the next free form class) the names are free, so they stay.
  TDesignSession& other = model->New();
  EXPECT_EQ(other.Form().ClassName(), "TForm2");
  EXPECT_EQ(other.Paste(clip)[0]->Name(), "FormHook1");
}

// A ReplaceFileA that fails with gReplaceError, having first made the old file the backup when
// gOldBecomesBackup says so (as the second step's failure leaves it).
DWORD gReplaceError = 0;
bool gOldBecomesBackup = false;
BOOL WINAPI FailingReplaceFile(LPCSTR replaced, LPCSTR, LPCSTR backup, DWORD, LPVOID, LPVOID) {
  if (gOldBecomesBackup) ::MoveFileExA(replaced, backup, MOVEFILE_REPLACE_EXISTING);
  ::SetLastError(gReplaceError);
  return FALSE;
}

TEST_F(DesignModel, SavingReplacesTheFileAndKeepsThePreviousTextAsBackup) {
  TDesignSession& s = model->New();
  const std::string backup = folder + "\\Unit1.~kfm";
  s.SaveAs(file);
  const std::string first = ReadText(file);
  EXPECT_EQ(first, s.Text());
  EXPECT_EQ(::GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
  s.Place("TKYTFormHook", 1, 1);
  EXPECT_TRUE(s.Modified());
  s.Save();
  EXPECT_FALSE(s.Modified());
  EXPECT_EQ(ReadText(file), s.Text());
  EXPECT_EQ(ReadText(backup), first);
  // A replacement the system refuses leaves file and backup and takes its temporary away; one
  // that stopped after the old file became the backup is finished by hand.
  struct TCase {
    DWORD Error;
    bool OldBecameBackup;
    bool Saves;
  };
  for (const TCase c : {TCase{ERROR_UNABLE_TO_MOVE_REPLACEMENT, false, false}, TCase{ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, true, true}}) {
    s.Move(s.Find("FormHook1"), static_cast<int32_t>(c.Error), 9);
    const std::string old = ReadText(file), oldBackup = ReadText(backup);
    gReplaceError = c.Error;
    gOldBecomesBackup = c.OldBecameBackup;
    ScopedOverride refuse(os::kernel32.ReplaceFileA, &FailingReplaceFile);
    if (c.Saves) EXPECT_NO_THROW(s.Save()) << c.Error;
    else EXPECT_THROW(s.Save(), EDesignError) << c.Error;
    EXPECT_EQ(ReadText(file), c.Saves ? s.Text() : old) << c.Error;
    EXPECT_EQ(ReadText(backup), c.OldBecameBackup ? old : oldBackup) << c.Error;
    EXPECT_EQ(::GetFileAttributesA((file + ".kytdesign-tmp").c_str()), INVALID_FILE_ATTRIBUTES) << c.Error;
    EXPECT_EQ(s.Modified(), !c.Saves) << c.Error;
  }
}

TEST_F(DesignModel, AFileThatDoesNotReadNamesLineAndColumnAndChangesNothing) {
  TDesignSession& s = model->New();
  s.Place("TKYTFormHook", 1, 1);
  const std::string before = s.Text();
  const std::string broken = folder + "\\Broken.kfm";
  WriteText(broken, "object Form1: TForm1\r\n  object Hook: TKYTFormHook\r\n    Tag = 'x\r\n  end\r\nend\r\n");
  try {
    model->Open(broken);
    ADD_FAILURE() << "a broken file opened";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Line(), 3);
    EXPECT_EQ(e.Column(), 11);
    EXPECT_NE(e.Message().find("Broken.kfm(3,11)"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(model->Sessions().size(), 1u);
  EXPECT_EQ(s.Text(), before);
}

TEST_F(DesignModel, EventsApartSelectionLosesAFreedComponentAndShowingTheFormStoresNothing) {
  TDesignSession& s = model->New();
  TComponent* hook = s.Place("TKYTFormHook", 1, 1);
  s.SetValue("OnMessage", "HookMessage");
  std::vector<std::string> events;
  for (const TInspectorLine& line : s.Events()) events.push_back(line.Path + " = " + line.Value);
  EXPECT_EQ(events, (std::vector<std::string>{"OnMessage = HookMessage"}));
  EXPECT_EQ(Entry(s.Properties(), "OnMessage"), nullptr);
  EXPECT_NE(Entry(s.Properties(), "Tag"), nullptr);
  s.Select({&s.Form(), hook});
  FreeComponent(hook);   // freed behind the model's back, as a component freeing itself would be
  EXPECT_EQ(s.Selection(), (std::vector<TComponent*>{&s.Form()}));
  const std::string before = WriteComponentText(s.Form());
  s.Form().Show();
  EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(s.Form().Handle()) != FALSE; }));
  EXPECT_EQ(WriteComponentText(s.Form()), before);
  s.Form().Hide();
}

}  // namespace
}  // namespace kyt
