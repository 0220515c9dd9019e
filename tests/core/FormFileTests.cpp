// Tests of the form-file writer and reader: format, round trips, loading order, bad input.
#include "host/core/FormFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

std::string Lf(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

class FormFile : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    Log().clear();
  }
  void TearDown() override {
    EXPECT_EQ(TTestComponent::LiveCount(), 0);
    EXPECT_EQ(TTestForm::LiveCount(), 0);
  }

  static std::unique_ptr<TTestForm> Read(const std::string& text, TComponent* owner = nullptr) {
    TComponent* root = ReadComponentText(text, "Test.kfm", owner);
    return std::unique_ptr<TTestForm>(ObjectCast<TTestForm>(root));
  }
  static TTestComponent* Child(const TComponent& form, const char* name) {
    return ObjectCast<TTestComponent>(form.FindComponent(name));
  }
};

bool IsAsciiOnly(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

TTestComponent* Add(TComponent* owner, const char* name) {
  auto* c = new TTestComponent(owner);
  c->SetName(name);
  return c;
}

// ---- Writer

TEST_F(FormFile, WriterEmitsDeclarationOrderAndLeavesOutDefaults) {
  TTestForm form(nullptr);
  form.SetName("Main");
  form.SetCaption("Hello");
  TTestComponent* c = Add(&form, "First");
  c->SetCaption("It's");
  c->SetCount(3);
  c->Settings()->SetPath("C:\\x");
  EXPECT_EQ(Lf(WriteComponentText(form)),
            "object Main: TTestForm\n"
            "  Caption = 'Hello'\n"
            "  object First: TTestComponent\n"
            "    Count = 3\n"
            "    Caption = 'It''s'\n"
            "    Settings.Path = 'C:\\x'\n"
            "  end\n"
            "end\n");
}

TEST_F(FormFile, WriterUsesCrLfLineEnds) {
  TTestForm form(nullptr);
  form.SetName("Main");
  EXPECT_EQ(WriteComponentText(form), "object Main: TTestForm\r\n  Caption = ''\r\nend\r\n");
}

TEST_F(FormFile, WriterFormatsEveryValueKind) {
  TTestForm form(nullptr);
  form.SetName("Main");
  TTestComponent* c = Add(&form, "First");
  TTestComponent* second = Add(&form, "Second");
  c->SetSmall(200);
  c->SetFlag(false);
  c->SetLetter('z');
  c->SetMode(tmFast);
  c->SetOptions({toBold, toUnderline});
  c->SetColor(clRed);
  second->SetColor(ColorOf(0x123456));
  c->Lines()->Add("first");
  c->Lines()->Add("second");
  c->Items()->Add()->SetCaption("one");
  c->Items()->Add()->SetWeight(2);
  c->SetBuddy(second);
  c->SetIcon({0x00, 0xFF});
  c->SetOnChange(TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form));
  c->Settings()->Inner()->SetFlag(true);
  c->Settings()->Inner()->Lines()->Add("deep");
  const std::string text = Lf(WriteComponentText(form));
  for (const char* expected : {
           "    Small = 200\n", "    Flag = False\n", "    Letter = 'z'\n", "    Mode = tmFast\n",
           "    Options = [toBold, toUnderline]\n", "    Color = clRed\n", "    Color = 1193046\n",
           "    Lines.Strings = (\n      'first'\n      'second')\n",
           "    Items = <\n      item\n        Caption = 'one'\n      end\n      item\n        Caption = ''\n"
           "        Weight = 2\n      end>\n",
           "    Buddy = Second\n", "    Icon = {\n      00FF}\n", "    OnChange = ItemChanged\n",
           "    Settings.Inner.Flag = True\n", "    Settings.Inner.Lines.Strings = (\n      'deep')\n"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "in\n" << text;
  c->SetBuddy(nullptr);
}

TEST_F(FormFile, WriterQuotesControlCharactersAsCodes) {
  TTestForm form(nullptr);
  form.SetName("Main");
  form.SetCaption("a'b\r\nc\x01\xE9");
  EXPECT_NE(WriteComponentText(form).find("Caption = 'a''b'#13#10'c'#1#233\r\n"), std::string::npos);
}

TEST_F(FormFile, WriterSplitsLongStringsWithPlus) {
  TTestForm form(nullptr);
  form.SetName("Main");
  form.SetCaption(std::string(150, 'x'));
  const std::string text = Lf(WriteComponentText(form));
  EXPECT_NE(text.find("  Caption = '" + std::string(64, 'x') + "' +\n    '" + std::string(64, 'x') + "' +\n    '" +
                      std::string(22, 'x') + "'\n"),
            std::string::npos)
      << text;
  auto back = Read(text);
  EXPECT_EQ(back->Caption(), std::string(150, 'x'));
}

TEST_F(FormFile, WriterRefusesAStringTheReaderWouldRefuse) {
  TTestForm form(nullptr);
  form.SetName("Main");
  form.SetCaption(std::string(kMaxFormStringSize, 'x'));
  const std::string text = WriteComponentText(form);
  TTestForm back(nullptr);
  ReadRootText(back, text, "big.kfm");
  EXPECT_EQ(back.Caption().size(), kMaxFormStringSize);
  form.SetCaption(std::string(kMaxFormStringSize + 1, 'x'));
  EXPECT_THROW(WriteComponentText(form), EWriteError);
}

TEST_F(FormFile, WriterLeavesOutEventsThatNameNoMethodOfTheRoot) {
  TTestForm form(nullptr), otherForm(nullptr);
  form.SetName("Main");
  TTestComponent* c = Add(&form, "First");
  c->SetOnChange(TNotifyEvent::Bind<&TTestForm::ItemChanged>(&otherForm));
  EXPECT_EQ(WriteComponentText(form).find("OnChange"), std::string::npos);
}

TEST_F(FormFile, WriterStoresTheHandlerAStandInReplaced) {
  TTestForm form(nullptr);
  form.SetName("Main");
  form.SetOnChange(TNotifyEvent::Bind<&TTestForm::OtherChanged>(&form));
  {
    TSlotTaker first(form);
    TSlotTaker second(form);
    EXPECT_NE(Lf(WriteComponentText(form)).find("  OnChange = OtherChanged\n"), std::string::npos);
  }
  TSlotTaker alone(form);
  EXPECT_NE(Lf(WriteComponentText(form)).find("  OnChange = OtherChanged\n"), std::string::npos);
  TTestForm noHandler(nullptr);
  TSlotTaker empty(noHandler);
  EXPECT_EQ(WriteComponentText(noHandler).find("OnChange"), std::string::npos);
}

TEST_F(FormFile, WriterLeavesOutStoredNeverAndWritesStoredIfWhenItHolds) {
  TTestForm form(nullptr);
  form.SetName("Main");
  TTestComponent* c = Add(&form, "First");
  c->SetAbout("about box");
  EXPECT_EQ(WriteComponentText(form).find("About"), std::string::npos);
  EXPECT_EQ(WriteComponentText(form).find("Hint"), std::string::npos);
  c->SetHint("tip");
  EXPECT_NE(WriteComponentText(form).find("Hint = 'tip'"), std::string::npos);
}

// ---- Round trips

TEST_F(FormFile, RoundTripRestoresEveryKindAndWritesTheSameText) {
  TTestForm form(nullptr);
  form.SetName("Main");
  form.SetWidth(640);
  form.Lines()->Add("root line");
  TTestComponent* c = Add(&form, "First");
  TTestComponent* second = Add(&form, "Second");
  c->SetCount(-5);
  c->SetBig(int64_t{1} << 40);
  c->SetWide(65535);
  c->SetLetter('#');
  c->SetCaption("");
  c->SetMode(tmOff);
  c->SetOptions({});
  c->SetColor(clInfoBk);
  c->Lines()->Add("'quoted'");
  c->Lines()->Add("");
  c->Items()->Add()->SetCaption("one");
  c->SetBuddy(second);
  c->SetIcon(std::vector<uint8_t>(100, 0xAB));
  c->SetOnChange(TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form));
  c->Settings()->SetDepth(9);
  second->SetBuddy(c);
  const std::string text = WriteComponentText(form);

  auto back = Read(text);
  TTestComponent* r = Child(*back, "First");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(back->Width(), 640);
  EXPECT_EQ(back->Lines()->Get(0), "root line");
  EXPECT_EQ(r->Count(), -5);
  EXPECT_EQ(r->Big(), int64_t{1} << 40);
  EXPECT_EQ(r->Wide(), 65535);
  EXPECT_EQ(r->Letter(), '#');
  EXPECT_EQ(r->Mode(), tmOff);
  EXPECT_TRUE(r->Options().Empty());
  EXPECT_EQ(r->Color(), clInfoBk);
  EXPECT_EQ(r->Lines()->Text(), "'quoted'\r\n\r\n");
  ASSERT_EQ(r->Items()->Count(), 1);
  EXPECT_EQ(r->Items()->Items(0)->Caption(), "one");
  EXPECT_EQ(r->Buddy(), Child(*back, "Second"));
  EXPECT_EQ(Child(*back, "Second")->Buddy(), r);
  EXPECT_EQ(r->Icon(), std::vector<uint8_t>(100, 0xAB));
  EXPECT_EQ(r->OnChange(), TNotifyEvent::Bind<&TTestForm::ItemChanged>(back.get()));
  EXPECT_EQ(r->Settings()->Depth(), 9);
  EXPECT_EQ(WriteComponentText(*back), text);
  c->SetBuddy(nullptr);
  second->SetBuddy(nullptr);
}

TEST_F(FormFile, NestedComponentsAreReadInFileOrderOwnedByTheRoot) {
  auto form = Read(
      "object Main: TTestForm\n"
      "  object A: TTestComponent\n"
      "  end\n"
      "  object B: TTestDerived\n"
      "    Extra = 1\n"
      "  end\n"
      "  object TTestComponent\n"
      "  end\n"
      "end\n");
  ASSERT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(0)->Name(), "A");
  EXPECT_EQ(form->Components(1)->ClassName(), "TTestDerived");
  EXPECT_EQ(ObjectCast<TTestDerived>(form->Components(1))->Extra(), 1);
  EXPECT_EQ(form->Components(2)->Name(), "");
  EXPECT_EQ(form->Components(0)->Owner(), form.get());
}

TEST_F(FormFile, DottedNamesReachOwnedSubObjects) {
  auto form = Read(
      "object Main: TTestForm\n"
      "  object A: TTestComponent\n"
      "    Settings.Path = 'Software\\KYT'\n"
      "    Settings.Inner.Flag = True\n"
      "    Settings.Inner.Lines.Strings = ('x' 'y')\n"
      "    Lines = ('plain form')\n"
      "  end\n"
      "end\n");
  TTestComponent* a = Child(*form, "A");
  EXPECT_EQ(a->Settings()->Path(), "Software\\KYT");
  EXPECT_TRUE(a->Settings()->Inner()->Flag());
  EXPECT_EQ(a->Settings()->Inner()->Lines()->Count(), 2);
  EXPECT_EQ(a->Lines()->Get(0), "plain form");
}

TEST_F(FormFile, ValuesAcceptHexNegativeJoinedAndCodedForms) {
  auto form = Read(
      "object Main: TTestForm\n"
      "  Caption = 'a' + 'b'#65#$42\n"
      "  object A: TTestComponent\n"
      "    Count = -$10\n"
      "    Color = $000000FF\n"
      "    Letter = #9\n"
      "    Options = []\n"
      "    Flag = false\n"
      "  end\n"
      "end\n");
  EXPECT_EQ(form->Caption(), "abAB");
  TTestComponent* a = Child(*form, "A");
  EXPECT_EQ(a->Count(), -16);
  EXPECT_EQ(a->Color(), clRed);
  EXPECT_EQ(a->Letter(), '\t');
  EXPECT_TRUE(a->Options().Empty());
  EXPECT_FALSE(a->Flag());
}

TEST_F(FormFile, TextsAndNamesWrittenInPiecesReadWhole) {
  auto form = Read(
      "object Main: TTestForm\r"
      "  Caption = 'it''s'#13'x'\r"
      "  Lines.Strings = ('a''1' 'b''2'\r'c''3' 'plain' #65'b' 'end')\r"
      "  object A: TTestComponent\r"
      "    Settings . Inner . Flag = True\r"
      "    Settings.Inner.Lines . Strings = ('x')\r"
      "    Caption = 'last'\r"
      "  end\r"
      "  object B: TTestComponent\r"
      "    Buddy = A\r"
      "  end\r"
      "end\r");
  EXPECT_EQ(form->Caption(), "it's\rx");
  EXPECT_EQ(form->Lines()->Text(), "a'1\r\nb'2\r\nc'3\r\nplain\r\nAb\r\nend\r\n");
  TTestComponent* a = Child(*form, "A");
  EXPECT_TRUE(a->Settings()->Inner()->Flag());
  EXPECT_EQ(a->Settings()->Inner()->Lines()->Text(), "x\r\n");
  EXPECT_EQ(a->Caption(), "last");
  EXPECT_EQ(Child(*form, "B")->Buddy(), a);
}

TEST_F(FormFile, ReferencesFindTheirComponentInAnyCaseAmongMany) {
  constexpr int kCount = 300;
  std::string text = "object Main: TTestForm\n";
  for (int i = 0; i < kCount; ++i) {
    text += "  object Item" + std::to_string(i) + ": TTestComponent\n";
    const int target = (i * 7 + 3) % kCount;
    text += "    Buddy = " + std::string(i % 2 ? "ITEM" : "item") + std::to_string(target) + "\n";
    if (i % 50 == 0) text += "    object TTestComponent\n    end\n";  // unnamed, never a target
    text += "  end\n";
  }
  text += "  object Last: TTestComponent\n    Buddy = nil\n  end\nend\n";
  auto form = Read(text);
  for (int i = 0; i < kCount; ++i) {
    const std::string name = "Item" + std::to_string(i);
    const std::string target = "Item" + std::to_string((i * 7 + 3) % kCount);
    EXPECT_EQ(Child(*form, name.c_str())->Buddy(), Child(*form, target.c_str())) << name;
  }
  EXPECT_EQ(Child(*form, "Last")->Buddy(), nullptr);
}

// The reader tries the class and the property order of the last object of a class first; a
// guess that does not fit must never be taken.
struct TShapeCase {
  const char* Class;
  std::vector<std::pair<const char*, const char*>> Props;  // in file order
};

TEST_F(FormFile, PropertiesAndClassesAreFoundWhateverOrderSiblingsUse) {
  const std::vector<TShapeCase> shapes = {
      {"TTestComponent", {{"Count", "1"}, {"Caption", "'a'"}, {"Small", "3"}}},
      {"TTestDerived", {{"Caption", "'b'"}, {"Extra", "9"}, {"Count", "2"}}},
      {"TTestComponent", {{"Small", "4"}, {"Count", "3"}}},
      {"TTestComponent", {{"Caption", "'d'"}, {"Count", "4"}, {"Small", "5"}, {"Wide", "6"}}},
      {"TTestPlain", {{"Wide", "7"}, {"Caption", "'e'"}}},
      {"TTestComponent", {{"Items", "<item Weight = 1 Caption = 'x' end item Caption = 'y' Weight = 2 end>"}, {"Count", "6"}}},
  };
  std::string text = "object Main: TTestForm\n";
  for (size_t i = 0; i < shapes.size(); ++i) {
    text += "  object C" + std::to_string(i) + ": " + shapes[i].Class + "\n";
    for (const auto& [name, value] : shapes[i].Props) text += "    " + std::string(name) + " = " + value + "\n";
    text += "  end\n";
  }
  auto form = Read(text + "end\n");
  for (size_t i = 0; i < shapes.size(); ++i) {
    const TComponent* c = form->Components(static_cast<int>(i));
    EXPECT_EQ(c->ClassName(), shapes[i].Class);
    for (const auto& [name, value] : shapes[i].Props) {
      const TPropInfo* prop = c->ClassType().FindProperty(name);
      ASSERT_NE(prop, nullptr);
      const std::string expected = value[0] == '\'' ? std::string(value + 1, std::strlen(value) - 2) : value;
      if (prop->Kind() != pkCollection) EXPECT_EQ(prop->ValueText(c), expected) << c->Name() << "." << name;
    }
  }
  const TTestItems* items = Child(*form, "C5")->Items();
  ASSERT_EQ(items->Count(), 2);
  EXPECT_EQ(items->Items(0)->Caption(), "x");
  EXPECT_EQ(items->Items(1)->Weight(), 2);
}

TEST_F(FormFile, ReferencesReachComponentsTheFileDidNotCreate) {
  TTestForm form(nullptr);
  TTestComponent* existing = Add(&form, "Existing");
  ReadRootText(form, "object Main: TTestForm\n  object A: TTestComponent\n    Buddy = existing\n  end\nend\n", "Main.kfm");
  EXPECT_EQ(Child(form, "A")->Buddy(), existing);
}

// ---- Loading order and flags

TEST_F(FormFile, ReaderAssignsWhileLoadingAndReadingThenClearsTheFlags) {
  auto form = Read("object Main: TTestForm\n  object A: TTestComponent\n    Count = 2\n  end\nend\n");
  TTestComponent* a = Child(*form, "A");
  EXPECT_EQ(a->SetCountCalls, 1);
  EXPECT_TRUE(a->SetCountSawLoading);
  EXPECT_TRUE(a->ComponentState().Empty());
  EXPECT_TRUE(form->ComponentState().Empty());
}

TEST_F(FormFile, LoadedRunsForEveryComponentAfterAllAssignmentsInCreationOrder) {
  auto form = Read(
      "object Main: TTestForm\n"
      "  object A: TTestComponent\n"
      "    Buddy = B\n"
      "  end\n"
      "  object B: TTestComponent\n"
      "  end\n"
      "end\n");
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded:Main", "Loaded:A", "Loaded:B"}));
  TTestComponent* a = Child(*form, "A");
  EXPECT_EQ(a->LoadedSawBuddy, "B");  // forward reference resolved before any Loaded
  EXPECT_TRUE(a->LoadedSawLoading);
  EXPECT_TRUE(form->LoadedCalled);
}

TEST_F(FormFile, ReferenceToTheRootIsOfTheWrongClassHere) {
  EXPECT_THROW(Read("object Main: TTestForm\n  object A: TTestComponent\n    Buddy = Main\n  end\nend\n"), EReadError);
}

TEST_F(FormFile, DesigningOwnerMakesEveryReadComponentDesigning) {
  TComponent designer(nullptr);
  designer.SetDesigning(true);
  TComponent* root = ReadComponentText("object Main: TTestForm\n  object A: TTestComponent\n  end\nend\n", "x", &designer);
  EXPECT_TRUE(root->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(root->Components(0)->ComponentState().Contains(csDesigning));
  EXPECT_EQ(root->Owner(), &designer);
}

// ---- Events by name

TEST_F(FormFile, EventsResolveToTheRootsPublishedMethods) {
  auto form = Read(
      "object Main: TTestForm\n"
      "  OnChange = OtherChanged\n"
      "  object A: TTestComponent\n"
      "    OnChange = ItemChanged\n"
      "  end\n"
      "end\n");
  TTestComponent* a = Child(*form, "A");
  a->OnChange()(a);
  form->OnChange()(form.get());
  EXPECT_EQ(form->ChangedSenders, (std::vector<TObject*>{a, form.get()}));
}

// ---- Filling an existing root

TEST_F(FormFile, ReadRootTextFillsAnExistingRoot) {
  TTestForm form(nullptr);
  ReadRootText(form, "object Main: TTestForm\n  Width = 320\n  object A: TTestComponent\n  end\nend\n", "Main.kfm");
  EXPECT_EQ(form.Name(), "Main");
  EXPECT_EQ(form.Width(), 320);
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_TRUE(form.LoadedCalled);
  EXPECT_TRUE(form.ComponentState().Empty());
}

TEST_F(FormFile, ReadRootTextRefusesAFileOfAnotherClass) {
  TTestForm form(nullptr);
  try {
    ReadRootText(form, "object Main: TTestComponent\nend\n", "Main.kfm");
    FAIL() << "expected EReadError";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Line(), 1);
    EXPECT_NE(e.Reason().find("does not match"), std::string::npos);
  }
}

TEST_F(FormFile, FailedReadPutsAnExistingRootBack) {
  TTestForm form(nullptr);
  form.SetName("Before");
  form.SetCaption("before");
  form.SetWidth(5);
  form.Lines()->Add("keep");
  form.SetOnChange(TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form));
  Add(&form, "Existing");
  const auto handler = form.OnChange();
  EXPECT_THROW(ReadRootText(form,
                            "object Main: TTestForm\n"
                            "  Caption = 'after'\n"
                            "  Width = 7\n"
                            "  Lines.Strings = ('x')\n"
                            "  OnChange = OtherChanged\n"
                            "  object A: TTestComponent\n"
                            "    Count = 1\n"
                            "  end\n"
                            "  object B: TTestComponent\n"
                            "    NoSuchProperty = 1\n"
                            "  end\n"
                            "end\n",
                            "Main.kfm"),
               EReadError);
  EXPECT_EQ(form.Name(), "Before");
  EXPECT_EQ(form.Caption(), "before");
  EXPECT_EQ(form.Width(), 5);
  EXPECT_EQ(form.Lines()->Text(), "keep\r\n");
  EXPECT_EQ(form.OnChange(), handler);
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0)->Name(), "Existing");
  EXPECT_TRUE(form.ComponentState().Empty());
  EXPECT_EQ(TTestComponent::LiveCount(), 1);
}

TEST_F(FormFile, FailedReadOfAnExistingRootThatLoadedAlreadyStillFreesEverything) {
  TTestForm form(nullptr);
  EXPECT_THROW(ReadRootText(form,
                            "object Main: TTestForm\n"
                            "  object A: TTestComponent\n  end\n"
                            "  object F: TTestFailingLoaded\n  end\n"
                            "end\n",
                            "Main.kfm"),
               EReadError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.Name(), "");
}

// ---- Files

TEST_F(FormFile, FileVariantsWriteAndReadTheSameForm) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "kyt_core_formfile_test.kfm";
  {
    TTestForm form(nullptr);
    form.SetName("Main");
    form.SetCaption("on disk");
    Add(&form, "A")->SetCount(8);
    WriteComponentFile(form, path.string());
  }
  std::unique_ptr<TComponent> back(ReadComponentFile(path.string(), nullptr));
  EXPECT_EQ(ObjectCast<TTestForm>(back.get())->Caption(), "on disk");
  EXPECT_EQ(Child(*back, "A")->Count(), 8);
  TTestForm filled(nullptr);
  ReadRootFile(filled, path.string());
  EXPECT_EQ(filled.Caption(), "on disk");
  std::filesystem::remove(path);
  EXPECT_THROW(ReadComponentFile(path.string(), nullptr), EInOutError);
}

// ---- Text outside ASCII

struct TTextCase {
  const char* Name;
  std::string FileValue;  // as the Caption of a form file
  std::string Text;       // what the reader makes of it (UTF-8 here)
  std::string Written;    // what the writer makes of Text
};

const std::string kMark = "\xEF\xBB\xBF";

const TTextCase kTextCases[] = {
    {"Cyrillic", "#1058#1077#1089#1090", "\u0422\u0435\u0441\u0442", "#1058#1077#1089#1090"},
    {"CyrillicHex", "#$0422'x'", "\u0422x", "#1058'x'"},
    {"Cjk", "'<'#20013#25991'>'", "<\u4E2D\u6587>", "'<'#20013#25991'>'"},
    {"OutsideTheBmp", "#55357#56832", "\U0001F600", "#55357#56832"},
    {"OldByteCode", "'caf'#233", "caf\u00E9", "'caf'#233"},
    {"ControlsAndQuotes", "'it''s'#13#10#9", "it's\r\n\t", "'it''s'#13#10#9"},
    {"RawUtf8AfterMark", "'Gr\u00FC\u00DFe \U0001F600'", "Gr\u00FC\u00DFe \U0001F600", "'Gr'#252#223'e '#55357#56832"},
};

class FormFileText : public FormFile, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(FormFileText, ReadsCodesAsUtf16AndWritesEveryNonAsciiCharacterAsCodes) {
  const TTextCase& c = GetParam();
  const bool raw = !IsAsciiOnly(c.FileValue);
  auto form = Read((raw ? kMark : "") + "object Main: TTestForm\n  Caption = " + c.FileValue + "\nend\n");
  EXPECT_EQ(form->Caption(), c.Text);
  const std::string written = WriteComponentText(*form);
  EXPECT_NE(written.find("  Caption = " + c.Written + "\r\n"), std::string::npos) << written;
  EXPECT_EQ(written.rfind("object", 0), 0u) << "an ASCII file has no mark";
  EXPECT_EQ(Read(written)->Caption(), c.Text);
}

INSTANTIATE_TEST_SUITE_P(Codes, FormFileText, ::testing::ValuesIn(kTextCases),
                         [](const ::testing::TestParamInfo<TTextCase>& info) { return std::string(info.param.Name); });

// A byte that is no text (a line of a code page 1252 file) is written as the code of its value;
// the characters around it keep theirs, so valid text never reads back as Latin-1.
TEST_F(FormFile, WritesAStrayByteAloneAsTheCodeOfItsValue) {
  const struct {
    std::string Caption, Written, ReadBack;
  } cases[] = {
      {"\u65E5\u672C\xFF\u8A9E \u041F\u0440", "#26085#26412#255#35486' '#1055#1088", "\u65E5\u672C\u00FF\u8A9E \u041F\u0440"},
      {"caf\xE9", "'caf'#233", "caf\u00E9"},
      {"\xE6\x97 x", "#230#151' x'", "\u00E6\u0097 x"},  // a character cut short: both its bytes
      {"ok\xF0\x9F\x98\x80\x80", "'ok'#55357#56832#128", "ok\U0001F600\u0080"},
  };
  for (const auto& c : cases) {
    TTestForm form(nullptr);
    form.SetCaption(c.Caption);
    const std::string written = WriteComponentText(form);
    EXPECT_NE(written.find("  Caption = " + c.Written + "\r\n"), std::string::npos) << written;
    EXPECT_EQ(Read(written)->Caption(), c.ReadBack);
  }
}

TEST_F(FormFile, LongNonAsciiTextIsSplitBetweenSurrogatePairs) {
  TTestForm form(nullptr);
  std::string text = std::string(63, 'x');
  for (int i = 0; i < 40; ++i) text += "\U0001F600";
  form.SetCaption(text);
  const std::string written = WriteComponentText(form);
  EXPECT_NE(written.find(std::string(63, 'x') + "' +\r\n"), std::string::npos) << written;
  EXPECT_EQ(Read(written)->Caption(), text);
}

TEST_F(FormFile, NonAsciiNamesMakeTheFileUtf8WithAMark) {
  TTestForm form(nullptr);
  form.SetName("\u0424\u043E\u0440\u043C\u0430");
  TTestComponent* button = Add(&form, "\u041A\u043D\u043E\u043F\u043A\u0430");
  Add(&form, "Other")->SetBuddy(button);
  const std::string written = WriteComponentText(form);
  EXPECT_EQ(written.rfind(kMark + "object \u0424\u043E\u0440\u043C\u0430: TTestForm\r\n", 0), 0u) << written;
  auto back = Read(written);
  EXPECT_EQ(back->Name(), form.Name());
  EXPECT_EQ(Child(*back, "Other")->Buddy(), Child(*back, button->Name().c_str()));
  EXPECT_EQ(WriteComponentText(*back), written);
}

// The name limit counts characters: 255 of them read back whatever bytes their script takes, and
// a 256th is refused by the reader as by SetName.
TEST_F(FormFile, NamesOfUpTo255CharactersOfAnyScriptReadBack) {
  const auto times = [](const std::string& text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += text;
    return out;
  };
  for (const std::string& name : {times("\u65E5", 86), times("\u65E5", 255), times("a", 255)}) {
    TTestForm form(nullptr);
    form.SetName(name);
    EXPECT_EQ(Read(WriteComponentText(form))->Name(), name);
  }
  for (const std::string& name : {times("\u65E5", 256), times("a", 256)})
    EXPECT_THROW(Read(kMark + "object " + name + ": TTestForm\r\nend\r\n"), EReadError) << name.size();
}

TEST_F(FormFile, CharacterPropertiesKeepBytesOutsideAscii) {
  TTestForm form(nullptr);
  Add(&form, "A")->SetLetter('\xE9');
  const std::string written = WriteComponentText(form);
  EXPECT_NE(written.find("Letter = #233\r\n"), std::string::npos) << written;
  EXPECT_EQ(Child(*Read(written), "A")->Letter(), '\xE9');
}

// A classic single-byte code page, standing in for the one Windows installs: Latin-1, with '?'
// for what it lacks.
bool Latin1ToUtf16(std::string_view text, std::u16string& units) {
  for (char c : text) units += static_cast<unsigned char>(c);
  return true;
}
void Utf16ToLatin1(std::u16string_view units, std::string& text) {
  for (char16_t u : units) text += u <= 0xFF ? static_cast<char>(u) : '?';
}

class FormFileCodePage : public FormFile {
 protected:
  void SetUp() override {
    FormFile::SetUp();
    FSaved = SetCodePageConversion({&Latin1ToUtf16, &Utf16ToLatin1});
  }
  void TearDown() override {
    SetCodePageConversion(FSaved);
    FormFile::TearDown();
  }
  TCodePageConversion FSaved;
};

TEST_F(FormFileCodePage, TextIsReadAndWrittenInTheProcesssCodePage) {
  auto form = Read("object Main: TTestForm\n  Caption = 'caf\xE9 '#233#1058\nend\n");
  EXPECT_EQ(form->Caption(), "caf\xE9 \xE9?");
  EXPECT_EQ(Read(kMark + "object Main: TTestForm\n  Caption = 'caf\xC3\xA9'\nend\n")->Caption(), "caf\xE9");
  form->SetName("Caf\xE9");
  const std::string written = WriteComponentText(*form);
  EXPECT_EQ(written, kMark + "object Caf\xC3\xA9: TTestForm\r\n  Caption = 'caf'#233' '#233'?'\r\nend\r\n");
  EXPECT_EQ(Read(written)->Name(), "Caf\xE9");
}

// ---- Bad input

struct TBadInput {
  const char* Name;
  std::string Text;
  int Line;    // 0: not checked
  int Column;  // 0: not checked
  const char* Reason;
};

std::string Nested(int depth) {
  std::string text = "object Main: TTestForm\n";
  for (int i = 0; i < depth; ++i) text += "object C" + std::to_string(i) + ": TTestComponent\n";
  for (int i = 0; i <= depth; ++i) text += "end\n";
  return text;
}

const std::string kChildHead = "object Main: TTestForm\n  object A: TTestComponent\n";

std::string Wrap(const std::string& childBody) {
  return "object Main: TTestForm\n  object A: TTestComponent\n" + childBody + "  end\nend\n";
}

const TBadInput kBadInputs[] = {
    {"EmptyFile", "", 1, 1, "empty file"},
    {"OnlyBlanks", "  \r\n\t\n", 3, 1, "empty file"},
    {"UnknownRootClass", "object M: TNope\nend\n", 1, 1, "unknown class TNope"},
    {"UnknownClass", "object Main: TTestForm\n  object A: TNoSuch\n  end\nend\n", 2, 3, "unknown class TNoSuch"},
    {"NotAComponentClass", "object Main: TTestForm\n  object S: TTestSettings\n  end\nend\n", 2, 3, "not a component class"},
    {"UnknownProperty", "object Main: TTestForm\n  Colour = 1\nend\n", 2, 3, "unknown property Colour"},
    {"UnknownSubProperty", Wrap("    Settings.Nope = 1\n"), 3, 5, "unknown property Nope"},
    {"SubPropertyOfAPlainValue", Wrap("    Count.X = 1\n"), 3, 5, "has no sub-properties"},
    {"WrongKindStringForInteger", Wrap("    Count = 'x'\n"), 3, 13, "integer expected"},
    {"WrongKindIntegerForString", "object Main: TTestForm\n  Caption = 12\nend\n", 2, 13, "string expected"},
    {"WrongKindForBoolean", Wrap("    Flag = Maybe\n"), 3, 12, "True or False"},
    {"WrongKindForObject", Wrap("    Settings = 1\n"), 3, 16, "assign its sub-properties"},
    {"WrongKindForList", Wrap("    Lines = 'x'\n"), 3, 13, "list of strings"},
    {"IntegerInStringList", Wrap("    Lines.Strings = ('x' 12)\n"), 3, 26, "string expected"},
    {"ByteOutOfRange", Wrap("    Small = 256\n"), 3, 13, "out of range"},
    {"NegativeByte", Wrap("    Small = -1\n"), 3, 13, "out of range"},
    {"WordOutOfRange", Wrap("    Wide = 65536\n"), 3, 12, "out of range"},
    {"IntegerOutOfRange", Wrap("    Count = 2147483648\n"), 3, 13, "out of range"},
    {"LiteralOverflow", Wrap("    Big = 99999999999999999999\n"), 3, 11, "integer out of range"},
    {"UnknownEnumMember", Wrap("    Mode = tmNone\n"), 3, 12, "not a member of TTestMode"},
    {"UnknownSetMember", Wrap("    Options = [toBold, toNone]\n"), 3, 24, "not a member of TTestOption"},
    {"UnknownColour", Wrap("    Color = clPlaid\n"), 3, 13, "colour expected"},
    {"UnterminatedString", "object Main: TTestForm\n  Caption = 'abc\nend\n", 2, 13, "unterminated string"},
    {"EndsRightAfterAString", "object Main: TTestForm\n  Caption = 'x'", 2, 16, "'end' expected for object Main"},
    {"NumberJoinedToAString", "object Main: TTestForm\r\n  Caption = 'abc' + 12\r\nend\r\n", 2, 21, "string expected after '+'"},
    {"NameJoinedToACodedString", "object Main: TTestForm\r  Caption = 'it''s' + x\rend\r", 2, 23, "string expected after '+'"},
    {"UnresolvedDottedReference", Wrap("    Buddy = Ghost . Town\n"), 3, 13, "unresolved reference Ghost.Town"},
    {"UnterminatedBlock", "object Main: TTestForm\n  Caption = 'x'\n", 3, 1, "'end' expected"},
    {"UnterminatedList", Wrap("    Lines.Strings = ('a'\n"), 3, 21, "unterminated list"},
    {"UnterminatedCollection", kChildHead + "    Items = <\n      item\n", 4, 7, "'end' expected for item"},
    {"UnterminatedCollectionList", kChildHead + "    Items = <\n", 3, 13, "unterminated collection"},
    {"UnterminatedSet", kChildHead + "    Options = [toBold", 3, 15, "unterminated set"},
    {"UnterminatedBinary", kChildHead + "    Icon = {00FF", 3, 12, "unterminated binary data"},
    {"OddBinary", Wrap("    Icon = {0FF}\n"), 3, 12, "odd number of digits"},
    {"BadCharacterCode", "object Main: TTestForm\n  Caption = #65536\nend\n", 2, 13, "character code out of range"},
    {"HexCodeAboveUtf16", "object Main: TTestForm\n  Caption = 'a'#$10000\nend\n", 2, 16, "character code out of range"},
    {"LoneHighSurrogate", "object Main: TTestForm\n  Caption = 'a'#55357'b'\nend\n", 2, 16, "unpaired surrogate"},
    {"HighSurrogateBeforeAnotherCode", "object Main: TTestForm\n  Caption = #55357#65\nend\n", 2, 13, "unpaired surrogate"},
    {"LoneLowSurrogate", "object Main: TTestForm\n  Caption = #$DE00\nend\n", 2, 13, "unpaired surrogate"},
    {"PairSplitByPlus", "object Main: TTestForm\n  Caption = #55357 + #56832\nend\n", 2, 13, "unpaired surrogate"},
    {"RawByteNotUtf8WithoutMark", "object Main: TTestForm\n  Caption = 'caf\xE9'\nend\n", 2, 13, "not valid in the code page"},
    {"RawBytesNotUtf8AfterMark", "\xEF\xBB\xBFobject Main: TTestForm\n  Caption = 'x' 'a\xC3'\nend\n", 2, 17, "not valid UTF-8"},
    {"NonAsciiNameWithoutMark", "object \xD0\xA4: TTestForm\nend\n", 1, 8, "unexpected byte 0xD0"},
    {"NameNotUtf8AfterMark", "\xEF\xBB\xBFobject M\xFF: TTestForm\nend\n", 1, 8, "not valid UTF-8"},
    {"DuplicateComponentName", "object Main: TTestForm\n  object A: TTestComponent\n  end\n  object a: TTestComponent\n  end\nend\n", 4, 3, "already exists"},
    {"InvalidComponentName", "object Main: TTestForm\n  object A: TTestComponent\n    Name = 'not valid'\n  end\nend\n", 3, 5, "not a valid component name"},
    {"NestingTooDeep", Nested(40), 33, 1, "nesting too deep"},
    {"DottedNameTooDeep", Wrap("    " + [] { std::string s = "A"; for (int i = 0; i < 40; ++i) s += ".A"; return s; }() + " = 1\n"), 3, 5, "nesting too deep"},
    {"HugeString", "object Main: TTestForm\n  Caption = '" + std::string(2 * 1024 * 1024, 'x') + "'\nend\n", 2, 13, "string too long"},
    {"HugeJoinedString", "object Main: TTestForm\n  Caption = '" + std::string(700 * 1024, 'x') + "' + '" + std::string(700 * 1024, 'y') + "'\nend\n", 2, 13, "string too long"},
    {"BinaryGarbage", std::string("\x7f" "ELF\x02\x01\x01\x00\x00\x00", 10), 1, 1, "unexpected byte 0x7F"},
    {"GarbageInsideBlock", "object Main: TTestForm\n  \x01\nend\n", 2, 3, "unexpected byte 0x01"},
    {"ZeroByteInsideBlock", std::string("object Main: TTestForm\n  \0\nend\n", 31), 2, 3, "unexpected byte 0x00"},
    {"TextAfterTheEnd", "object Main: TTestForm\nend\nobject X: TTestForm\nend\n", 3, 1, "text after the final 'end'"},
    {"MissingObjectKeyword", "Main: TTestForm\nend\n", 1, 1, "'object' expected"},
    {"MissingEquals", "object Main: TTestForm\n  Caption 'x'\nend\n", 2, 11, "'=' expected"},
    {"UnresolvedReference", Wrap("    Buddy = Ghost\n"), 3, 13, "unresolved reference Ghost"},
    {"UnknownEventHandler", Wrap("    OnChange = NoSuchHandler\n"), 3, 16, "unknown event handler NoSuchHandler"},
    {"EventOfTheWrongSignature", Wrap("    OnChange = Counted\n"), 3, 5, "Incompatible handler"},
    {"CollectionReadTwice", Wrap("    Items = <item end>\n    Items = <item Caption = 'x' end>\n"), 4, 13, "assigned twice"},
    {"ThrowingConstructor", "object Main: TTestForm\n  object A: TTestComponent\n  end\n  object T: TTestThrowing\n  end\nend\n", 4, 3, "no resources"},
    {"DecimalForInteger", Wrap("    Count = 1.5\n"), 3, 13, "a decimal number for an integer property"},
    {"SuffixedNumberForInteger", Wrap("    Big = 0d\n"), 3, 11, "a decimal number for an integer property"},
    {"DecimalForColour", Wrap("    Color = 255.0\n"), 3, 13, "a decimal number for an integer property"},
    {"StringForFloat", Wrap("    Zoom = 'x'\n"), 3, 12, "number expected"},
    {"DecimalBeyondADouble", Wrap("    Zoom = 1e400\n"), 3, 12, "number out of range"},
    {"SingleBeyondAFloat", Wrap("    Zoom = 1e39s\n"), 3, 12, "out of range for a single"},
    {"CurrencyBeyond64Bits", Wrap("    Zoom = 1e15c\n"), 3, 12, "out of range for a currency"},
    {"UnknownSuffix", Wrap("    Zoom = 1.5x\n"), 3, 15, "invalid number"},
    {"LetterAfterASuffix", Wrap("    Zoom = 1.5sd\n"), 3, 16, "invalid number"},
    {"ExponentWithoutDigits", Wrap("    Zoom = 2e\n"), 3, 13, "invalid number"},
    {"HexWithAFraction", Wrap("    Zoom = $1F.5\n"), 3, 15, "property name expected"},
    {"InheritedComponentMissing", "inherited Main: TTestForm\n  inherited Ghost: TTestComponent\n  end\nend\n", 2, 3, "Ghost is not in the ancestor's form"},
    {"InheritedWithoutName", "object Main: TTestForm\n  inherited TTestComponent\n  end\nend\n", 2, 3, "names its component"},
    {"InlineWithoutFormFile", "object Main: TTestForm\n  inline F: TTestFrame\n  end\nend\n", 2, 3, "frame class TTestFrame has no form file"},
    {"ChildOrderNotANumber", "object Main: TTestForm\n  object A: TTestComponent [first]\n  end\nend\n", 2, 29, "child order expected"},
    {"ChildOrderUnclosed", "object Main: TTestForm\n  object A: TTestComponent [1\n  end\nend\n", 3, 3, "']' expected"},
    {"InlineRoot", "inline Main: TTestForm\nend\n", 1, 1, "starts with 'object' or 'inherited'"},
    {"ThrowingLoaded", "object Main: TTestForm\n  object A: TTestComponent\n  end\n  object F: TTestFailingLoaded\n  end\nend\n", 4, 3, "Loaded failed"},
};

class FormFileBadInput : public ::testing::TestWithParam<TBadInput> {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

TEST_P(FormFileBadInput, IsRefusedWithPositionAndFreesEverything) {
  const TBadInput& input = GetParam();
  try {
    std::unique_ptr<TComponent> root(ReadComponentText(input.Text, "Bad.kfm", nullptr));
    FAIL() << "accepted: " << input.Name;
  } catch (const EReadError& e) {
    EXPECT_EQ(e.FileName(), "Bad.kfm");
    if (input.Line) {
      EXPECT_EQ(e.Line(), input.Line) << e.Message();
    }
    if (input.Column) {
      EXPECT_EQ(e.Column(), input.Column) << e.Message();
    }
    EXPECT_NE(e.Reason().find(input.Reason), std::string::npos) << e.Message();
    EXPECT_EQ(e.Message().rfind("Bad.kfm(", 0), 0u);
  }
  EXPECT_EQ(TTestComponent::LiveCount(), 0);
  EXPECT_EQ(TTestForm::LiveCount(), 0);
}

TEST_P(FormFileBadInput, LeavesAnExistingRootAsItWas) {
  const TBadInput& input = GetParam();
  TTestForm form(nullptr);
  form.SetCaption("kept");
  form.SetWidth(11);
  try {
    ReadRootText(form, input.Text, "Bad.kfm");
    FAIL() << "accepted: " << input.Name;
  } catch (const EReadError&) {
  }
  EXPECT_EQ(form.Caption(), "kept");
  EXPECT_EQ(form.Width(), 11);
  EXPECT_EQ(form.Name(), "");
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_TRUE(form.ComponentState().Empty());
  EXPECT_EQ(TTestComponent::LiveCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Refused, FormFileBadInput, ::testing::ValuesIn(kBadInputs),
                         [](const ::testing::TestParamInfo<TBadInput>& info) { return std::string(info.param.Name); });

TEST_F(FormFile, FileAboveTheSizeLimitIsRefused) {
  const std::string text = "object Main: TTestForm\n" + std::string(kMaxFormFileSize, ' ') + "end\n";
  EXPECT_THROW(ReadComponentText(text, "Big.kfm", nullptr), EReadError);
}

}  // namespace
}  // namespace kyt::test
