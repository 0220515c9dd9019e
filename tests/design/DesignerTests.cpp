// Tests of the designer's framework without any package: the editor lookup's precedence, the
// base editors' texts, multi-selection in the inspector, event entries of a plain designer and
// the Standard page of the host's controls.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/core/FormFile.h"
#include "host/core/Strings.h"
#include "host/design/Designer.h"
#include "host/design/PropertyEditors.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {
namespace {

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

class TLookupBase : public TComponent {
  KYT_CLASS(TLookupBase, TComponent)
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
    p.Property("OnChange", &TLookupBase::OnChange, &TLookupBase::SetOnChange);
  }
  explicit TLookupBase(TComponent* owner) : TComponent(owner) {}
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
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

 private:
  std::string FText, FOther;
  bool FFlag = false;
  int32_t FCount = 0;
  TSet<TLookupOption> FOptions;
  std::unique_ptr<TLookupSettings> FSettings = std::make_unique<TLookupSettings>();
  TStrings* FLines = new TStringList();
  TLookupBase* FPartner = nullptr;
  TColor FColour = clWhite;
  TNotifyEvent FOnChange;
};

class TLookupDerived : public TLookupBase {
  KYT_CLASS(TLookupDerived, TLookupBase)
 public:
  using TLookupBase::TLookupBase;
};

// Two editors of the test's own, to tell registrations apart.
class TFirstTestEditor : public TStringProperty {
  KYT_PROPERTY_EDITOR(TFirstTestEditor, TStringProperty)
};
class TSecondTestEditor : public TStringProperty {
  KYT_PROPERTY_EDITOR(TSecondTestEditor, TStringProperty)
};

// Starts and ends with empty tables: the designer's own registrations only.
class Designer : public ::testing::Test {
 protected:
  void SetUp() override { ClearDesignTables(); }
  void TearDown() override { ClearDesignTables(); }
  const TPropInfo& Prop(const TClassInfo& cls, const char* name) {
    const TPropInfo* p = cls.FindProperty(name);
    EXPECT_NE(p, nullptr) << name;
    return *p;
  }
  std::string EditorFor(const TClassInfo& cls, const char* name) { return GetEditorClass(Prop(cls, name), cls).Name; }
  std::unique_ptr<TPropertyEditor> Entry(std::vector<TPersistent*> selection, const std::string& path) {
    return FindInspectorEntry(&designer, selection, path);
  }
  TComponent root{nullptr};
  TFormDesigner designer{&root};
};

TEST_F(Designer, WithoutRegistrationsEachKindGetsItsBaseEditor) {
  const TClassInfo& base = TLookupBase::StaticClass();
  EXPECT_EQ(EditorFor(base, "Name"), "TComponentNameProperty");
  EXPECT_EQ(EditorFor(base, "Tag"), "TIntegerProperty");
  EXPECT_EQ(EditorFor(base, "Text"), "TStringProperty");
  EXPECT_EQ(EditorFor(base, "Flag"), "TBoolProperty");
  EXPECT_EQ(EditorFor(base, "Options"), "TSetProperty");
  EXPECT_EQ(EditorFor(base, "Settings"), "TClassProperty");
  EXPECT_EQ(EditorFor(base, "Lines"), "TStringsProperty");
  EXPECT_EQ(EditorFor(base, "Partner"), "TComponentProperty");
  EXPECT_EQ(EditorFor(base, "Colour"), "TColorProperty");
  EXPECT_EQ(EditorFor(base, "OnChange"), "TMethodProperty");
}

TEST_F(Designer, LookupPrefersTheMostSpecificClassThenTheLatest) {
  const TClassInfo& base = TLookupBase::StaticClass();
  const TClassInfo& derived = TLookupDerived::StaticClass();
  // Registered for the derived class first, then for the base: the derived one still wins there.
  RegisterPropertyEditor("string", &derived, "TLookupDerived", "", TFirstTestEditor::StaticEditorClass());
  RegisterPropertyEditor("string", &base, "TLookupBase", "", TStringProperty::StaticEditorClass());
  EXPECT_EQ(EditorFor(derived, "Text"), "TFirstTestEditor");
  EXPECT_EQ(EditorFor(base, "Text"), "TStringProperty");
  // Among registrations for the same class the latest wins.
  RegisterPropertyEditor("string", &base, "TLookupBase", "", TFirstTestEditor::StaticEditorClass());
  EXPECT_EQ(EditorFor(base, "Text"), "TFirstTestEditor");
  // A named property beats the type-wide registration of the same class.
  RegisterPropertyEditor("string", &base, "TLookupBase", "Other", TSecondTestEditor::StaticEditorClass());
  RegisterPropertyEditor("string", &base, "TLookupBase", "", TStringProperty::StaticEditorClass());
  EXPECT_EQ(EditorFor(base, "Other"), "TSecondTestEditor");
  EXPECT_EQ(EditorFor(base, "Text"), "TStringProperty");
  // A class that is not built matches nothing.
  RegisterPropertyEditor("Boolean", nullptr, "TNotBuiltYet", "", TFirstTestEditor::StaticEditorClass());
  EXPECT_EQ(EditorFor(base, "Flag"), "TBoolProperty");
  // Clearing the tables leaves the designer's own registrations.
  ClearDesignTables();
  EXPECT_EQ(EditorFor(derived, "Text"), "TStringProperty");
  EXPECT_EQ(EditorFor(derived, "Name"), "TComponentNameProperty");
}

TEST_F(Designer, SeveralSelectedShareOnlyCommonEntriesAndBlankDifferentValues) {
  TComponent plain(&root);
  TLookupBase data(&root);
  TLookupBase data2(&root);
  data.SetTag(3);
  data2.SetTag(4);
  data.SetCount(5);
  data2.SetCount(5);
  std::vector<std::string> paths;
  for (const TInspectorLine& l : InspectorLines(&designer, {&plain, &data})) paths.push_back(l.Path);
  EXPECT_EQ(paths, (std::vector<std::string>{"Tag"}));  // Name is never shared
  for (const TInspectorLine& l : InspectorLines(&designer, {&data, &data2})) {
    if (l.Path == "Tag") {
      EXPECT_EQ(l.Value, "");
    }
    if (l.Path == "Count") {
      EXPECT_EQ(l.Value, "5");
    }
  }
  // Typing into a multi-selection sets every selected component.
  auto tag = Entry({&data, &data2}, "Tag");
  InspectorSetText(*tag, "9");
  EXPECT_EQ(data.Tag(), 9);
  EXPECT_EQ(data2.Tag(), 9);
}

TEST_F(Designer, BaseEditorsShowAndTakeTheirValueTexts) {
  TLookupBase component(&root), partner(&root);
  component.SetName("Data");
  partner.SetName("Buddy");
  InspectorSetText(*Entry({&component}, "Count"), "$10");
  EXPECT_EQ(component.Count(), 16);
  EXPECT_THROW(InspectorSetText(*Entry({&component}, "Count"), "ten"), EPropertyError);
  InspectorSetText(*Entry({&component}, "Flag"), "true");
  EXPECT_TRUE(component.Flag());
  EXPECT_THROW(InspectorSetText(*Entry({&component}, "Flag"), "yes"), EPropertyError);
  InspectorSetText(*Entry({&component}, "Options"), "[loFirst, loThird]");
  EXPECT_EQ(Entry({&component}, "Options")->GetValue(), "[loFirst, loThird]");
  InspectorSetText(*Entry({&component}, "Options.loSecond"), "True");
  InspectorSetText(*Entry({&component}, "Options.loFirst"), "False");
  EXPECT_EQ(component.Options(), (TSet<TLookupOption>{loSecond, loThird}));
  InspectorSetText(*Entry({&component}, "Settings.Path"), "Software\\KYT");
  EXPECT_EQ(component.Settings()->Path(), "Software\\KYT");
  EXPECT_EQ(Entry({&component}, "Settings")->GetValue(), "(TLookupSettings)");
  EXPECT_THROW(InspectorSetText(*Entry({&component}, "Settings"), "x"), EPropertyError);
  InspectorSetText(*Entry({&component}, "Lines"), "one\ntwo");
  EXPECT_EQ(component.Lines()->Count(), 2);
  EXPECT_EQ(Entry({&component}, "Lines")->GetValue(), "(TStringList)");
  InspectorSetText(*Entry({&component}, "Partner"), "Buddy");
  EXPECT_EQ(component.Partner(), &partner);
  EXPECT_EQ(Entry({&component}, "Partner")->GetValue(), "Buddy");
  EXPECT_THROW(InspectorSetText(*Entry({&component}, "Partner"), "Nobody"), EPropertyError);
  InspectorSetText(*Entry({&component}, "Partner"), "");
  EXPECT_EQ(component.Partner(), nullptr);
  InspectorSetText(*Entry({&component}, "Colour"), "clRed");
  EXPECT_EQ(component.Colour(), clRed);
  EXPECT_EQ(Entry({&component}, "Colour")->GetValue(), "clRed");
  EXPECT_THROW(Entry({&component}, "NoSuchThing"), EPropertyError);
  EXPECT_THROW(Entry({&component}, "Settings.NoSuchThing"), EPropertyError);
}

TEST_F(Designer, EventEntryNamesOnlyTheRootsMethodsWithThePlainDesigner) {
  auto* data = new TLookupBase(&root);
  data->SetName("Data");
  auto entry = Entry({data}, "OnChange");
  EXPECT_EQ(entry->GetValue(), "");
  EXPECT_THROW(InspectorSetText(*entry, "DataChange"), EPropertyError);  // the root has no such method
  EXPECT_THROW(InspectorSetText(*entry, "not a name"), EPropertyError);
  EXPECT_FALSE(data->OnChange());
}

// The Standard page: every entry built, known to streaming, with its palette bitmap, and not
// part of the packages' tables (which registering a package empties).
TEST(StandardPage, ListsTheHostsClassesWithTheirBitmaps) {
  ClearDesignTables();
  const std::vector<std::string> expected = {
      "TMainMenu", "TPopupMenu", "TLabel",  "TEdit",       "TMemo",       "TButton",    "TCheckBox",   "TListBox",
      "TComboBox", "TPanel",     "TBitBtn", "TSpeedButton", "TTabControl", "TTimer",    "TOpenDialog", "TSaveDialog",
      "TColorDialog"};
  std::vector<std::string> names;
  for (const TPaletteEntry& e : PalettePage(kStandardPage)) {
    names.push_back(e.ClassName);
    ASSERT_TRUE(e.Available()) << e.ClassName;
    EXPECT_EQ(e.Page, "Standard");
    EXPECT_EQ(FindClass(e.ClassName), e.Class) << e.ClassName;
    EXPECT_EQ(FindPaletteClass(e.ClassName), e.Class) << e.ClassName;
    std::string resource = e.ClassName;
    for (char& c : resource) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    HANDLE image = os::user32.LoadImageA(os::kernel32.GetModuleHandleA(nullptr), resource.c_str(), IMAGE_BITMAP,
                                         0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(image, nullptr) << resource;
    BITMAP bitmap{};
    os::gdi32.GetObjectA(image, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 24) << resource;
    EXPECT_EQ(bitmap.bmHeight, 24) << resource;
    EXPECT_EQ(bitmap.bmBitsPixel, 8) << resource;
    os::gdi32.DeleteObject(image);
  }
  EXPECT_EQ(names, expected);
  EXPECT_TRUE(DesignTables().Palette.empty());
  EXPECT_EQ(FindPaletteClass("tbutton"), FindClass("TButton"));
}

// A designed form holding one of each class of the page is written, read back by name and
// written again to the same text.
TEST(StandardPage, EveryClassIsPlacedAndStreamedOnADesignedForm) {
  TForm form(nullptr);
  form.SetName("Designed");
  form.SetDesigning(true);
  int n = 0;
  for (const TPaletteEntry& e : StandardPalette()) {
    TComponent* c = e.Class->CreateComponent(&form);
    c->SetName("Item" + std::to_string(++n));
    if (auto* control = dynamic_cast<TControl*>(c)) {
      control->SetParent(&form);
      // A label takes the size of its caption (also when read back), so it keeps its own.
      if (auto* label = dynamic_cast<TLabel*>(control)) label->SetCaption("Name:");
      else control->SetBounds(4 * n, 8 * n, 60, 24);
    }
  }
  const std::string text = WriteComponentText(form);
  for (const TPaletteEntry& e : StandardPalette())
    EXPECT_NE(text.find(": " + e.ClassName + "\r\n"), std::string::npos) << e.ClassName << "\n" << text;
  TForm copy(nullptr);
  ReadRootText(copy, text, "Designed.kfm");
  EXPECT_EQ(copy.ComponentCount(), static_cast<int>(StandardPalette().size()));
  copy.SetName("Designed");
  EXPECT_EQ(WriteComponentText(copy), text);
}

}  // namespace
}  // namespace kyt
