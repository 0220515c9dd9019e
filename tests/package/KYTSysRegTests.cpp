// Tests of the package's registration: its tables, its five editors, the lookup of its editors
// among the designer's, and the palette bitmaps. The designer's framework has tests of its own.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/KYTSysReg.h"
#include "framework/KYTSystem.h"
#include "framework/KYTTFormHook.h"
#include "host/core/Strings.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

const std::vector<std::string> kPage1 = {
    "TKYTExitWindows", "TKYTFileExecute", "TKYTTopMost", "TKYTOnlyOne", "TKYTMsgDlg", "TKYTMsgBox",
    "TKYTMsgSelect", "TKYTStartup", "TKYTScreenSaver", "TKYTTimeTrigger", "TKYTWallPaper", "TKYTFormHook",
    "TKYTMouseController", "TKYTWavePlayer", "TKYTCDTriggers", "TKYTVersionDetails", "TKYTSystemKeys",
    "TKYTMultiLists"};
const std::vector<std::string> kPage2 = {
    "TKYTFormSizes", "TKYTFormAspect", "TKYTDriveVolume", "TKYTApplication", "TKYTStoreData",
    "TKYTIllegalAbort", "TKYTFormSaver", "TKYTLogFile", "TKYTTextReplace", "TKYTSystemTray",
    "TKYTFileProperties", "TKYTFileOperator", "TKYTDroppedFiles", "TKYTSystemDetails", "TKYTFileCollector",
    "TKYTStringHolder", "TKYTJokeHolder", "TKYTFormExplode", "TKYTResourceInfo"};

std::vector<std::string> Names(const std::vector<TPaletteEntry>& entries) {
  std::vector<std::string> names;
  for (const TPaletteEntry& e : entries) names.push_back(e.ClassName);
  return names;
}

// Test components: an executable one that counts its runs and a data holder for the editors.
std::vector<UINT> gBeeps;
BOOL WINAPI RecordBeep(UINT type) {
  gBeeps.push_back(type);
  return TRUE;
}

class TCountingExec : public TKYTAdvancedExecComponent {
  KYT_CLASS(TCountingExec, TKYTAdvancedExecComponent)
 public:
  using TKYTAdvancedExecComponent::TKYTAdvancedExecComponent;
  bool Execute() override {
    inherited::Execute();
    ++Runs;
    DesigningWhenRun = ComponentState().Contains(csDesigning);
    return true;
  }
  int Runs = 0;
  bool DesigningWhenRun = false;
};

enum TLookupOption : uint8_t { loFirst, loSecond, loThird };
KYT_ENUM_INFO(TLookupOption, "loFirst", "loSecond", "loThird")

// Sub-object published as a class property.
class TLookupSettings : public TPersistent {
  KYT_CLASS(TLookupSettings, TPersistent)
 public:
  static void Publish(TPublisher<TLookupSettings>& p) {
    p.Property("Path", &TLookupSettings::Path, &TLookupSettings::SetPath);
  }
  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& v) { FPath = v; }
  void Assign(const TPersistent* source) override {
    if (auto* s = dynamic_cast<const TLookupSettings*>(source)) FPath = s->FPath;
    else inherited::Assign(source);
  }

 private:
  std::string FPath;
};

class TLookupBase : public TKYTSystemsComponent {
  KYT_CLASS(TLookupBase, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TLookupBase>& p) {
    p.Property("Text", &TLookupBase::Text, &TLookupBase::SetText);
    p.Property("Other", &TLookupBase::Other, &TLookupBase::SetOther);
    p.Property("Flag", &TLookupBase::Flag, &TLookupBase::SetFlag).Default(false);
    p.Property("Count", &TLookupBase::Count, &TLookupBase::SetCount).Default(0);
    p.Property("Options", &TLookupBase::Options, &TLookupBase::SetOptions);
    p.Property("Settings", &TLookupBase::Settings, &TLookupBase::SetSettings);
    p.Property("Lines", &TLookupBase::Lines, &TLookupBase::SetLines);
    p.Property("Partner", &TLookupBase::Partner, &TLookupBase::SetPartner);
    p.Property("Colour", &TLookupBase::Colour, &TLookupBase::SetColour);
  }
  explicit TLookupBase(TComponent* owner) : TKYTSystemsComponent(owner) {}
  ~TLookupBase() override { delete FLines; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& v) { FText = v; }
  const std::string& Other() const { return FOther; }
  void SetOther(const std::string& v) { FOther = v; }
  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }
  int32_t Count() const { return FCount; }
  void SetCount(int32_t v) { FCount = v; }
  TSet<TLookupOption> Options() const { return FOptions; }
  void SetOptions(TSet<TLookupOption> v) { FOptions = v; }
  TLookupSettings* Settings() const { return FSettings.get(); }
  void SetSettings(TLookupSettings* v) { FSettings->Assign(v); }
  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* v) { FLines->Assign(v); }
  TLookupBase* Partner() const { return FPartner; }
  void SetPartner(TLookupBase* v) { FPartner = v; }
  TColor Colour() const { return FColour; }
  void SetColour(TColor v) { FColour = v; }

 private:
  std::string FText, FOther;
  bool FFlag = false;
  int32_t FCount = 0;
  TSet<TLookupOption> FOptions;
  std::unique_ptr<TLookupSettings> FSettings = std::make_unique<TLookupSettings>();
  TStrings* FLines = new TStringList();
  TLookupBase* FPartner = nullptr;
  TColor FColour = clWhite;
};

// Restores the package's own tables after a test added registrations.
class KYTSysReg : public ::testing::Test {
 protected:
  void SetUp() override { Register(); }
  void TearDown() override { Register(); }
  const TPropInfo& Prop(const TClassInfo& cls, const char* name) {
    const TPropInfo* p = cls.FindProperty(name);
    EXPECT_NE(p, nullptr) << name;
    return *p;
  }
  std::string EditorFor(const TClassInfo& cls, const char* name) { return GetEditorClass(Prop(cls, name), cls).Name; }
  std::unique_ptr<TPropertyEditor> Entry(std::vector<TPersistent*> selection, const std::string& path) {
    return FindInspectorEntry(&designer, selection, path);
  }
  TForm root{nullptr};
  TFormDesigner designer{&root};
};

TEST_F(KYTSysReg, PalettePagesListEveryComponentInRegistrationOrder) {
  EXPECT_EQ(Names(PalettePage(kKYTPage1)), kPage1);
  EXPECT_EQ(Names(PalettePage(kKYTPage2)), kPage2);
  ASSERT_EQ(DesignTables().Palette.size(), 37u);
  EXPECT_EQ(DesignTables().Palette[17].Page, "KYT System");
  EXPECT_EQ(DesignTables().Palette[18].Page, "KYT System 2");
}

TEST_F(KYTSysReg, BuiltComponentsAreAvailableAndKnownToStreaming) {
  EXPECT_EQ(FindPaletteClass("TKYTFormHook"), &TKYTFormHook::StaticClass());
  EXPECT_EQ(FindPaletteClass("tkytformhook"), &TKYTFormHook::StaticClass());
  EXPECT_EQ(FindClass("TKYTFormHook"), &TKYTFormHook::StaticClass());
  EXPECT_EQ(FindPaletteClass("TKYTNoSuchThing"), nullptr);
  for (const TPaletteEntry& e : DesignTables().Palette) {
    if (!e.Available()) continue;
    EXPECT_EQ(e.Class->Name(), e.ClassName);
    EXPECT_EQ(FindClass(e.ClassName), e.Class) << e.ClassName;
    EXPECT_TRUE(e.Class->InheritsFrom(TKYTSystemsComponent::StaticClass())) << e.ClassName;
  }
}

TEST_F(KYTSysReg, RegistrationStepsRunInTheirOrder) {
  const std::vector<std::string>& steps = DesignTables().Steps;
  ASSERT_EQ(steps.size(), 8u);
  EXPECT_EQ(steps[0].rfind("RegisterClasses TKYTDataStore", 0), 0u) << steps[0];
  EXPECT_EQ(steps[1], "RegisterPropertyEditor TKYTAboutStr, TKYTSystemsComponent, 'About', TKYTAboutSystemComponent");
  EXPECT_EQ(steps[2].rfind("RegisterComponents KYT System: TKYTExitWindows, ", 0), 0u) << steps[2];
  EXPECT_EQ(steps[3].rfind("RegisterComponents KYT System 2: TKYTFormSizes, ", 0), 0u) << steps[3];
  EXPECT_EQ(steps[4], "RegisterPropertyEditor TKYTExecSysStr, TKYTExecuteComponent, 'DesignExecute', TKYTExecSystemProperty");
  EXPECT_EQ(steps[5], "RegisterPropertyEditor string, TKYTDriveVolume, '', TKYTROStringProperty");
  EXPECT_EQ(steps[6], "RegisterPropertyEditor Boolean, TKYTDriveVolume, '', TKYTROBooleanproperty");
  EXPECT_EQ(steps[7], "RegisterPropertyEditor Integer, TKYTDriveVolume, '', TKYTROIntegerProperty");
  EXPECT_EQ(DesignTables().StreamedClasses, (std::vector<std::string>{"TKYTDataStore"}));
}

TEST_F(KYTSysReg, EditorTableHoldsTheFiveEditorsInOrder) {
  const std::vector<TEditorRegistration>& editors = DesignTables().Editors;
  ASSERT_EQ(editors.size(), 5u);
  const char* expected[][4] = {
      {"TKYTAboutStr", "TKYTSystemsComponent", "About", "TKYTAboutSystemComponent"},
      {"TKYTExecSysStr", "TKYTExecuteComponent", "DesignExecute", "TKYTExecSystemProperty"},
      {"string", "TKYTDriveVolume", "", "TKYTROStringProperty"},
      {"Boolean", "TKYTDriveVolume", "", "TKYTROBooleanproperty"},
      {"Integer", "TKYTDriveVolume", "", "TKYTROIntegerProperty"}};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(editors[i].TypeName, expected[i][0]);
    EXPECT_EQ(editors[i].ComponentClassName, expected[i][1]);
    EXPECT_EQ(editors[i].PropertyName, expected[i][2]);
    EXPECT_STREQ(editors[i].Editor->Name, expected[i][3]);
  }
  EXPECT_EQ(editors[0].ComponentClass, &TKYTSystemsComponent::StaticClass());
  EXPECT_EQ(editors[1].ComponentClass, &TKYTExecuteComponent::StaticClass());
}

TEST_F(KYTSysReg, RegisteringAgainGivesTheSameTables) {
  const size_t steps = DesignTables().Steps.size();
  Register();
  EXPECT_EQ(DesignTables().Steps.size(), steps);
  EXPECT_EQ(DesignTables().Palette.size(), 37u);
  EXPECT_EQ(DesignTables().Editors.size(), 5u);
}

TEST_F(KYTSysReg, LookupPicksThePackageEditorsAndTheBaseEditors) {
  const TClassInfo& exec = TCountingExec::StaticClass();
  EXPECT_EQ(EditorFor(exec, "About"), "TKYTAboutSystemComponent");
  EXPECT_EQ(EditorFor(exec, "DesignExecute"), "TKYTExecSystemProperty");
  EXPECT_EQ(EditorFor(exec, "Sound"), "TEnumProperty");
  EXPECT_EQ(EditorFor(exec, "Name"), "TComponentNameProperty");
  EXPECT_EQ(EditorFor(exec, "Tag"), "TIntegerProperty");
  EXPECT_EQ(EditorFor(TKYTFormHook::StaticClass(), "About"), "TKYTAboutSystemComponent");
  EXPECT_EQ(EditorFor(TKYTFormHook::StaticClass(), "OnMessage"), "TMethodProperty");
  const TClassInfo& base = TLookupBase::StaticClass();
  EXPECT_EQ(EditorFor(base, "Text"), "TStringProperty");
  EXPECT_EQ(EditorFor(base, "Flag"), "TBoolProperty");
  EXPECT_EQ(EditorFor(base, "Options"), "TSetProperty");
  EXPECT_EQ(EditorFor(base, "Settings"), "TClassProperty");
  EXPECT_EQ(EditorFor(base, "Lines"), "TStringsProperty");
  EXPECT_EQ(EditorFor(base, "Partner"), "TComponentProperty");
  EXPECT_EQ(EditorFor(base, "Colour"), "TColorProperty");
  // A component that is no execute component has no execute-test editor to find.
  EXPECT_EQ(base.FindProperty("DesignExecute"), nullptr);
}

TEST_F(KYTSysReg, ReadOnlyDataEditorsAddReadOnlyToTheirBase) {
  // The drive volume's registrations, applied to a stand-in class.
  const TClassInfo& base = TLookupBase::StaticClass();
  RegisterPropertyEditor("string", &base, "TLookupBase", "", TKYTROStringProperty::StaticEditorClass());
  RegisterPropertyEditor("Boolean", &base, "TLookupBase", "", TKYTROBooleanproperty::StaticEditorClass());
  RegisterPropertyEditor("Integer", &base, "TLookupBase", "", TKYTROIntegerProperty::StaticEditorClass());
  TLookupBase component(&root);
  component.SetName("Volume");
  component.SetText("LABEL");
  component.SetFlag(true);
  component.SetCount(42);
  auto text = Entry({&component}, "Text");
  auto flag = Entry({&component}, "Flag");
  auto count = Entry({&component}, "Count");
  EXPECT_STREQ(text->EditorClass().Name, "TKYTROStringProperty");
  EXPECT_EQ(text->GetAttributes(), (TPropertyAttributes{paMultiSelect, paRevertable, paReadOnly}));
  EXPECT_EQ(flag->GetAttributes(), (TPropertyAttributes{paMultiSelect, paRevertable, paReadOnly}));
  EXPECT_EQ(count->GetAttributes(), (TPropertyAttributes{paMultiSelect, paRevertable, paReadOnly}));
  EXPECT_EQ(text->GetValue(), "LABEL");
  EXPECT_EQ(flag->GetValue(), "True");
  EXPECT_EQ(count->GetValue(), "42");
  EXPECT_THROW(InspectorSetText(*text, "X"), EPropertyError);
  EXPECT_THROW(InspectorSetText(*count, "1"), EPropertyError);
  EXPECT_EQ(component.Text(), "LABEL");
  EXPECT_EQ(component.Count(), 42);
  // Entries of other types keep their normal editors; About keeps the about editor.
  EXPECT_STREQ(Entry({&component}, "Options")->EditorClass().Name, "TSetProperty");
  EXPECT_STREQ(Entry({&component}, "About")->EditorClass().Name, "TKYTAboutSystemComponent");
  EXPECT_STREQ(Entry({&component}, "Name")->EditorClass().Name, "TComponentNameProperty");
}

TEST_F(KYTSysReg, AboutEntryShowsTheCollectionNameWhateverTheFieldHolds) {
  TCountingExec component(&root);
  component.SetAbout("something else");
  auto about = Entry({&component}, "About");
  EXPECT_EQ(about->GetValue(), "(KYT System Components)");
  EXPECT_EQ(about->GetAttributes(), (TPropertyAttributes{paDialog, paMultiSelect, paReadOnly}));
  EXPECT_THROW(InspectorSetText(*about, "typed"), EPropertyError);
  EXPECT_EQ(component.About(), "something else");
}

TEST_F(KYTSysReg, ExecuteEntryShowsExecuteTestAndCannotBeTyped) {
  TCountingExec component(&root);
  auto execute = Entry({&component}, "DesignExecute");
  EXPECT_EQ(execute->GetValue(), "(Execute Test)");
  EXPECT_EQ(execute->GetAttributes(), (TPropertyAttributes{paDialog, paReadOnly}));
  EXPECT_THROW(InspectorSetText(*execute, "typed"), EPropertyError);
  EXPECT_EQ(component.DesignExecute(), "");
}

TEST_F(KYTSysReg, ExecuteTestRunsExecuteOfTheFirstComponentInTheDesigner) {
  gBeeps.clear();
  os::ScopedOverride beep(os::user32.MessageBeep, &RecordBeep);
  root.SetDesigning(true);
  TCountingExec first(&root), second(&root);
  first.SetSound(bExclamation);
  ASSERT_TRUE(first.ComponentState().Contains(csDesigning));
  auto execute = TKYTExecSystemProperty::StaticEditorClass().Create(
      &designer, {&first, &second},
      {first.ClassType().FindProperty("DesignExecute"), second.ClassType().FindProperty("DesignExecute")});
  execute->Edit();
  EXPECT_EQ(first.Runs, 1);
  EXPECT_TRUE(first.DesigningWhenRun);
  EXPECT_EQ(second.Runs, 0);
  EXPECT_EQ(gBeeps, (std::vector<UINT>{0x30}));
}

TEST_F(KYTSysReg, SeveralSelectedShowAboutButHideExecuteTestAndName) {
  TCountingExec first(&root), second(&root);
  first.SetName("First");
  second.SetName("Second");
  std::vector<std::string> single, both;
  for (const TInspectorLine& l : InspectorLines(&designer, {&first})) single.push_back(l.Path);
  for (const TInspectorLine& l : InspectorLines(&designer, {&first, &second})) both.push_back(l.Path);
  EXPECT_EQ(single, (std::vector<std::string>{"Name", "Tag", "About", "DesignExecute", "Sound"}));
  EXPECT_EQ(both, (std::vector<std::string>{"Tag", "About", "Sound"}));
  first.SetAbout("one");
  second.SetAbout("two");
  for (const TInspectorLine& l : InspectorLines(&designer, {&first, &second})) {
    if (l.Path == "About") {
      EXPECT_EQ(l.Value, "(KYT System Components)");
    }
  }
}

TEST_F(KYTSysReg, AboutEditShowsTheAboutMessage) {
  TCountingExec component(&root);
  auto about = Entry({&component}, "About");
  DialogAnswerer answer(Press("OK"));
  about->Edit();
  EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
  EXPECT_NE(answer.SeenText().find("KYT System Components"), std::string::npos) << answer.SeenText();
}

TEST(KYTSysRegBitmaps, EveryComponentHasAPaletteBitmapNamedAfterItsClass) {
  Register();
  ASSERT_EQ(DesignTables().Palette.size(), 37u);
  for (const TPaletteEntry& e : DesignTables().Palette) {
    std::string name = e.ClassName;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    HRSRC resource = os::kernel32.FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(resource, nullptr) << name;
    const auto* info = static_cast<const BITMAPINFOHEADER*>(
        os::kernel32.LockResource(os::kernel32.LoadResource(nullptr, resource)));
    ASSERT_NE(info, nullptr) << name;
    EXPECT_EQ(info->biWidth, 24) << name;
    EXPECT_EQ(info->biHeight, 24) << name;
    EXPECT_EQ(info->biBitCount, 8) << name;
    HANDLE image = os::user32.LoadImageA(os::kernel32.GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION);
    ASSERT_NE(image, nullptr) << name;
    BITMAP bitmap{};
    os::gdi32.GetObjectA(image, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 24) << name;
    EXPECT_EQ(bitmap.bmHeight, 24) << name;
    EXPECT_EQ(bitmap.bmBitsPixel, 8) << name;
    os::gdi32.DeleteObject(image);
  }
}

}  // namespace
}  // namespace kyt
