// Tests of published-property metadata: order, kinds, ranges, stored rules, generic access.
#include "host/core/Persistent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

std::vector<std::string> PropertyNames(const TClassInfo& cls) {
  std::vector<std::string> names;
  for (const TPropInfo* p : cls.Properties()) names.push_back(p->Name());
  return names;
}

const TPropInfo& Prop(const TPersistent& obj, const char* name) {
  const TPropInfo* p = obj.ClassType().FindProperty(name);
  if (!p) throw Exception(std::string("no property ") + name);
  return *p;
}

TEST(PublishedProperty, DeclarationOrderWithInheritedFirst) {
  const std::vector<std::string> names = PropertyNames(TTestDerived::StaticClass());
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[1], "Tag");
  EXPECT_EQ(names[2], "Count");
  EXPECT_EQ(names.back(), "Extra");
}

TEST(PublishedProperty, ClassWithoutPublishInheritsTheTableUnchanged) {
  EXPECT_EQ(PropertyNames(TTestPlain::StaticClass()), PropertyNames(TTestComponent::StaticClass()));
  EXPECT_EQ(TTestPlain::StaticClass().Properties(), TTestComponent::StaticClass().Properties());
}

TEST(PublishedProperty, KindsAndTypeNamesComeFromTheGetters) {
  TTestComponent c(nullptr);
  struct TExpect {
    const char* Name;
    TPropKind Kind;
    const char* TypeName;
  };
  const TExpect expected[] = {
      {"Count", pkInteger, "Integer"},   {"Small", pkInteger, "Byte"},      {"Wide", pkInteger, "Word"},
      {"Big", pkInteger, "Int64"},       {"Flag", pkBoolean, "Boolean"},    {"Letter", pkChar, "Char"},
      {"Caption", pkString, "string"},   {"Mode", pkEnum, "TTestMode"},     {"Options", pkSet, "set of TTestOption"},
      {"Color", pkColor, "TColor"},      {"Settings", pkClass, ""},         {"Lines", pkStrings, ""},
      {"Items", pkCollection, ""},       {"Buddy", pkComponentRef, ""},     {"Icon", pkBinary, "TBinary"},
      {"About", pkString, "TKYTAboutStr"}, {"OnChange", pkEvent, "TMethod"}, {"Zoom", pkFloat, "Double"},
      {"Stamp", pkFloat, "TDateTime"},
  };
  for (const TExpect& e : expected) {
    const TPropInfo& p = Prop(c, e.Name);
    EXPECT_EQ(p.Kind(), e.Kind) << e.Name;
    if (*e.TypeName) {
      EXPECT_EQ(p.TypeName(), e.TypeName) << e.Name;
    }
  }
  EXPECT_EQ(Prop(c, "Settings").ObjectClass(), &TTestSettings::StaticClass());
  EXPECT_EQ(Prop(c, "Items").ObjectClass(), &TTestItems::StaticClass());
}

// Declares Caption again, in another case, and adds one property.
class TTestRedeclaring : public TTestComponent {
  KYT_CLASS(TTestRedeclaring, TTestComponent)
 public:
  static void Publish(TPublisher<TTestRedeclaring>& p) {
    p.Property("CAPTION", &TTestRedeclaring::Caption, &TTestRedeclaring::SetCaption).MaxLength(3);
    p.Property("Last", &TTestRedeclaring::Last, &TTestRedeclaring::SetLast).Default(0);
  }
  using TTestComponent::TTestComponent;
  int32_t Last() const { return FLast; }
  void SetLast(int32_t v) { FLast = v; }

 private:
  int32_t FLast = 0;
};

std::string WithCase(std::string s, bool upper) {
  for (char& ch : s) ch = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(ch)) : std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

TEST(PublishedProperty, FindPropertyFindsEachPublishedOneInAnyCaseAndNothingElse) {
  for (const TClassInfo* cls : {&TComponent::StaticClass(), &TTestComponent::StaticClass(), &TTestPlain::StaticClass(),
                                &TTestDerived::StaticClass(), &TTestRedeclaring::StaticClass(),
                                &TTestItem::StaticClass(), &TTestSettings::StaticClass()}) {
    for (const TPropInfo* p : cls->Properties()) {
      EXPECT_EQ(cls->FindProperty(p->Name()), p) << cls->Name() << "." << p->Name();
      EXPECT_EQ(cls->FindProperty(WithCase(p->Name(), true)), p) << cls->Name() << "." << p->Name();
      EXPECT_EQ(cls->FindProperty(WithCase(p->Name(), false)), p) << cls->Name() << "." << p->Name();
      EXPECT_EQ(cls->FindProperty(p->Name() + "s"), nullptr) << cls->Name() << "." << p->Name();
      EXPECT_EQ(cls->FindProperty(p->Name().substr(1)), nullptr) << cls->Name() << "." << p->Name();
    }
    EXPECT_EQ(cls->FindProperty(""), nullptr) << cls->Name();
  }
  EXPECT_EQ(TObject::StaticClass().FindProperty("Name"), nullptr);
  EXPECT_EQ(TTestDerived::StaticClass().FindProperty("Extra"), TTestDerived::StaticClass().Properties().back());
  EXPECT_EQ(TTestComponent::StaticClass().FindProperty("Extra"), nullptr);
}

TEST(PublishedProperty, RedeclaredPropertyReplacesTheInheritedOneInPlace) {
  const auto& base = TTestComponent::StaticClass().Properties();
  const auto& own = TTestRedeclaring::StaticClass().Properties();
  ASSERT_EQ(own.size(), base.size() + 1);
  const TPropInfo* caption = TTestRedeclaring::StaticClass().FindProperty("Caption");
  ASSERT_NE(caption, nullptr);
  EXPECT_NE(caption, TTestComponent::StaticClass().FindProperty("Caption"));
  const auto at = std::find(own.begin(), own.end(), caption);
  ASSERT_NE(at, own.end());
  EXPECT_EQ(base[static_cast<size_t>(at - own.begin())]->Name(), "Caption");
  TTestRedeclaring c(nullptr);
  caption->SetStr(&c, "abcdef");
  EXPECT_EQ(c.Caption(), "abc");
}

TEST(PublishedProperty, NarrowIntegersRefuseValuesOutOfRange) {
  TTestComponent c(nullptr);
  EXPECT_THROW(Prop(c, "Small").SetOrd(&c, 256), ERangeError);
  EXPECT_THROW(Prop(c, "Small").SetOrd(&c, -1), ERangeError);
  EXPECT_THROW(Prop(c, "Wide").SetOrd(&c, 65536), ERangeError);
  EXPECT_THROW(Prop(c, "Count").SetOrd(&c, int64_t{1} << 31), ERangeError);
  EXPECT_THROW(Prop(c, "Mode").SetOrd(&c, 3), ERangeError);
  EXPECT_THROW(Prop(c, "Options").SetOrd(&c, 8), ERangeError);
  Prop(c, "Small").SetOrd(&c, 255);
  Prop(c, "Wide").SetOrd(&c, 65535);
  EXPECT_EQ(c.Small(), 255);
  EXPECT_EQ(c.Wide(), 65535);
}

TEST(PublishedProperty, OrdinalValuesEqualToTheirDefaultAreNotStored) {
  TTestComponent c(nullptr);
  for (const char* name : {"Count", "Small", "Wide", "Big", "Flag", "Letter", "Mode", "Options", "Color"})
    EXPECT_FALSE(Prop(c, name).IsStored(&c)) << name;
  c.SetCount(1);
  c.SetSmall(9);
  c.SetWide(9);
  c.SetBig(-1);
  c.SetFlag(false);
  c.SetLetter('z');
  c.SetMode(tmFast);
  c.SetOptions({});
  c.SetColor(clBlack);
  for (const char* name : {"Count", "Small", "Wide", "Big", "Flag", "Letter", "Mode", "Options", "Color"})
    EXPECT_TRUE(Prop(c, name).IsStored(&c)) << name;
}

TEST(PublishedProperty, StringWithoutDefaultIsAlwaysStoredEvenEmpty) {
  TTestComponent c(nullptr);
  EXPECT_TRUE(Prop(c, "Caption").IsStored(&c));
}

TEST(PublishedProperty, ListsCollectionsBinaryReferencesAndEventsAreStoredWhenNotEmpty) {
  TTestComponent c(nullptr), other(nullptr);
  TTestForm form(nullptr);
  for (const char* name : {"Lines", "Items", "Icon", "Buddy", "OnChange"})
    EXPECT_FALSE(Prop(c, name).IsStored(&c)) << name;
  c.Lines()->Add("x");
  c.Items()->Add();
  c.SetIcon({1});
  c.SetBuddy(&other);
  c.SetOnChange(TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form));
  for (const char* name : {"Lines", "Items", "Icon", "Buddy", "OnChange"})
    EXPECT_TRUE(Prop(c, name).IsStored(&c)) << name;
  c.SetBuddy(nullptr);
}

TEST(PublishedProperty, NeverAndPredicateRulesDecide) {
  TTestComponent c(nullptr);
  c.SetAbout("shown in the inspector only");
  EXPECT_FALSE(Prop(c, "About").IsStored(&c));
  EXPECT_FALSE(Prop(c, "Hint").IsStored(&c));
  c.SetHint("tip");
  EXPECT_TRUE(Prop(c, "Hint").IsStored(&c));
  EXPECT_TRUE(Prop(c, "Settings").IsStored(&c));  // sub-objects always write their sub-properties
}

TEST(PublishedProperty, MaxLengthCutsLongerStrings) {
  TTestComponent c(nullptr);
  Prop(c, "About").SetStr(&c, "0123456789ABCDEF");
  EXPECT_EQ(c.About(), "0123456789");
  EXPECT_EQ(Prop(c, "About").MaxLength(), 10u);
}

TEST(PublishedProperty, ValueTextGivesTheInspectorForm) {
  TTestComponent c(nullptr), buddy(nullptr);
  buddy.SetName("Pal");
  c.SetBuddy(&buddy);
  c.SetOptions({toBold, toUnderline});
  c.SetColor(ColorOf(0x123456));
  c.SetLetter('\r');
  EXPECT_EQ(Prop(c, "Flag").ValueText(&c), "True");
  EXPECT_EQ(Prop(c, "Mode").ValueText(&c), "tmSlow");
  EXPECT_EQ(Prop(c, "Options").ValueText(&c), "[toBold, toUnderline]");
  EXPECT_EQ(Prop(c, "Color").ValueText(&c), "$00123456");
  EXPECT_EQ(Prop(c, "Letter").ValueText(&c), "#13");
  EXPECT_EQ(Prop(c, "Buddy").ValueText(&c), "Pal");
  EXPECT_EQ(Prop(c, "Lines").ValueText(&c), "(TStringList)");
  c.SetBuddy(nullptr);
}

TEST(PublishedProperty, DeclaredDefaultsAndStoredConditionsReadAsTheReferenceShowsThem) {
  const TPropInfo& flag = *TTestComponent::StaticClass().FindProperty("Flag");
  const TPropInfo& options = *TTestComponent::StaticClass().FindProperty("Options");
  const TPropInfo& color = *TTestComponent::StaticClass().FindProperty("Color");
  const TPropInfo& letter = *TTestComponent::StaticClass().FindProperty("Letter");
  const TPropInfo& mode = *TTestComponent::StaticClass().FindProperty("Mode");
  EXPECT_EQ(flag.OrdinalText(flag.DefaultOrd()), "True");
  EXPECT_EQ(options.OrdinalText(options.DefaultOrd()), "[toBold]");
  EXPECT_EQ(color.OrdinalText(color.DefaultOrd()), "clBtnFace");
  EXPECT_EQ(letter.OrdinalText(letter.DefaultOrd()), "a");
  EXPECT_EQ(mode.OrdinalText(mode.DefaultOrd()), "tmSlow");
  EXPECT_EQ(mode.OrdinalText(99), "") << "an ordinal out of the enumeration has no name";
  EXPECT_EQ(TTestComponent::StaticClass().FindProperty("Caption")->OrdinalText(1), "");
  EXPECT_TRUE(TTestComponent::StaticClass().FindProperty("Hint")->HasStoredCondition());
  EXPECT_FALSE(TTestComponent::StaticClass().FindProperty("About")->HasStoredCondition());
}

TEST(PublishedProperty, SetValueTextParsesTheInspectorForm) {
  TTestComponent c(nullptr);
  Prop(c, "Mode").SetValueText(&c, "TMFAST");
  Prop(c, "Options").SetValueText(&c, "[toItalic]");
  Prop(c, "Color").SetValueText(&c, "clRed");
  Prop(c, "Flag").SetValueText(&c, "false");
  Prop(c, "Count").SetValueText(&c, "-12");
  Prop(c, "Icon").SetValueText(&c, "00FF");
  EXPECT_EQ(c.Mode(), tmFast);
  EXPECT_EQ(c.Options(), TTestOptions{toItalic});
  EXPECT_EQ(c.Color(), clRed);
  EXPECT_FALSE(c.Flag());
  EXPECT_EQ(c.Count(), -12);
  EXPECT_EQ(c.Icon(), (std::vector<uint8_t>{0x00, 0xFF}));
  EXPECT_THROW(Prop(c, "Mode").SetValueText(&c, "tmNone"), EConvertError);
  EXPECT_THROW(Prop(c, "Count").SetValueText(&c, "12x"), EConvertError);
  EXPECT_THROW(Prop(c, "Small").SetValueText(&c, "300"), ERangeError);
}

TEST(PublishedProperty, WrongAccessKindRaises) {
  TTestComponent c(nullptr);
  EXPECT_THROW(Prop(c, "Caption").GetOrd(&c), EConvertError);
  EXPECT_THROW(Prop(c, "Count").GetStr(&c), EConvertError);
  EXPECT_THROW(Prop(c, "Count").GetObject(&c), EConvertError);
}

TEST(PublishedProperty, EventOfAnotherSignatureIsRefused) {
  TTestComponent c(nullptr);
  TTestForm form(nullptr);
  const TMethod counted = TEvent<TObject*, int&>::Bind<&TTestForm::Counted>(&form).Method();
  EXPECT_THROW(Prop(c, "OnChange").SetMethod(&c, counted), EConvertError);
  const TMethod changed = TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form).Method();
  Prop(c, "OnChange").SetMethod(&c, changed);
  c.OnChange()(&c);
  ASSERT_EQ(form.ChangedSenders.size(), 1u);
  EXPECT_EQ(form.ChangedSenders[0], &c);
}

TEST(PublishedProperty, ReferenceOfTheWrongClassIsRefused) {
  TTestComponent c(nullptr);
  TComponent plain(nullptr);
  EXPECT_THROW(Prop(c, "Buddy").SetObject(&c, &plain), EInvalidCast);
}

TEST(PublishedProperty, CopyPublishedPropertiesCopiesSubObjectsByValue) {
  TTestComponent a(nullptr), b(nullptr);
  a.SetCount(4);
  a.Settings()->SetPath("x");
  a.Settings()->Inner()->Lines()->Add("inner");
  a.Lines()->Add("line");
  a.Items()->Add()->SetCaption("item");
  CopyPublishedProperties(a, b);
  EXPECT_EQ(b.Count(), 4);
  EXPECT_EQ(b.Settings()->Path(), "x");
  EXPECT_EQ(b.Settings()->Inner()->Lines()->Get(0), "inner");
  EXPECT_EQ(b.Lines()->Get(0), "line");
  EXPECT_EQ(b.Items()->Items(0)->Caption(), "item");
  EXPECT_NE(b.Settings(), a.Settings());
}

// A read-only property is shown but never written through.
class TReadOnlyHolder : public TPersistent {
  KYT_CLASS(TReadOnlyHolder, TPersistent)
 public:
  static void Publish(TPublisher<TReadOnlyHolder>& p) { p.Property("Serial", &TReadOnlyHolder::Serial); }
  int32_t Serial() const { return 42; }
};

TEST(PublishedProperty, ReadOnlyPropertyRefusesWrites) {
  TReadOnlyHolder h;
  const TPropInfo& p = Prop(h, "Serial");
  EXPECT_TRUE(p.IsReadOnly());
  EXPECT_EQ(p.GetOrd(&h), 42);
  EXPECT_THROW(p.SetOrd(&h, 1), EConvertError);
}

TEST(TypeInfo, EnumAndSetNames) {
  const TEnumInfo& info = EnumInfo<TTestOption>();
  EXPECT_EQ(info.Name, "TTestOption");
  EXPECT_EQ(GetEnumName(info, 2), "toUnderline");
  EXPECT_EQ(GetEnumName(info, 3), "");
  EXPECT_EQ(GetEnumValue(info, "TOITALIC"), 1);
  EXPECT_EQ(StringToSet(info, "[toBold, toUnderline]"), 5u);
  EXPECT_EQ(SetToString(info, 0), "[]");
  EXPECT_THROW(StringToSet(info, "[toNone]"), EConvertError);
}

TEST(TypeInfo, ColourNamesAndNumbers) {
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(StringToColor("clinfobk"), clInfoBk);
  EXPECT_EQ(StringToColor("$000000FF"), clRed);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(ColorValue(clBtnFace), static_cast<int32_t>(0x8000000F));
  EXPECT_THROW(StringToColor("clNoSuch"), EConvertError);
}

TEST(TypeInfo, EveryColourNameReadsBackInAnyCase) {
  const TColor named[] = {
      clScrollBar, clBackground, clActiveCaption, clInactiveCaption, clMenu, clWindow, clWindowFrame,
      clMenuText, clWindowText, clCaptionText, clActiveBorder, clInactiveBorder, clAppWorkSpace, clHighlight,
      clHighlightText, clBtnFace, clBtnShadow, clGrayText, clBtnText, clInactiveCaptionText, clBtnHighlight,
      cl3DDkShadow, cl3DLight, clInfoText, clInfoBk, clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple,
      clTeal, clGray, clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite, clNone, clDefault};
  for (TColor c : named) {
    std::string ident;
    ASSERT_TRUE(ColorToIdent(c, ident)) << ColorValue(c);
    for (const std::string& spelled : {ident, WithCase(ident, true), WithCase(ident, false)}) {
      TColor back{};
      EXPECT_TRUE(IdentToColor(spelled, back)) << spelled;
      EXPECT_EQ(back, c) << spelled;
    }
    TColor none{};
    EXPECT_FALSE(IdentToColor(ident + "x", none)) << ident;
    EXPECT_FALSE(IdentToColor(ident.substr(0, ident.size() - 1), none)) << ident;
  }
  TColor alias{};
  EXPECT_TRUE(IdentToColor("clLtGray", alias));
  EXPECT_EQ(alias, clSilver);
  EXPECT_TRUE(IdentToColor("CLDKGRAY", alias));
  EXPECT_EQ(alias, clGray);
  EXPECT_FALSE(IdentToColor("", alias));
}

TEST(Sets, UnionDifferenceIntersectionAndSubset) {
  const TTestOptions ab{toBold, toItalic}, bc{toItalic, toUnderline};
  EXPECT_EQ(ab + bc, (TTestOptions{toBold, toItalic, toUnderline}));
  EXPECT_EQ(ab - bc, TTestOptions{toBold});
  EXPECT_EQ(ab * bc, TTestOptions{toItalic});
  EXPECT_TRUE(TTestOptions{toBold} <= ab);
  EXPECT_FALSE(ab <= bc);
  EXPECT_TRUE(TTestOptions().Empty());
  EXPECT_EQ(TTestOptions::FromBits(ab.Bits()), ab);
}

}  // namespace
}  // namespace kyt::test
