// Tests of class identity, Assign, checked casts and the class registry.
#include "host/core/Persistent.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

TEST(Persistent, ClassNameAndInheritance) {
  TTestDerived c(nullptr);
  EXPECT_EQ(c.ClassName(), "TTestDerived");
  EXPECT_TRUE(c.InheritsFrom(TTestComponent::StaticClass()));
  EXPECT_TRUE(c.InheritsFrom(TComponent::StaticClass()));
  EXPECT_TRUE(c.InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(c.InheritsFrom(TStrings::StaticClass()));
  EXPECT_EQ(TTestDerived::StaticClass().Parent(), &TTestComponent::StaticClass());
  const TComponent& asBase = c;
  EXPECT_EQ(&asBase.ClassType(), &TTestDerived::StaticClass());
}

TEST(Persistent, AssignWithoutSupportRaisesNamingBothClasses) {
  TTestSettings settings;
  TStringList list;
  try {
    settings.Assign(&list);
    FAIL() << "expected EConvertError";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TStringList to a TTestSettings");
  }
}

TEST(Persistent, ObjectCastChecksTheClass) {
  TTestComponent c(nullptr);
  TObject* obj = &c;
  EXPECT_EQ(ObjectCast<TComponent>(obj), &c);
  EXPECT_THROW(ObjectCast<TStrings>(obj), EInvalidCast);
  EXPECT_EQ(ObjectCast<TComponent>(static_cast<TObject*>(nullptr)), nullptr);
}

TEST(ClassRegistry, FindsRegisteredClassesIgnoringCase) {
  RegisterTestClasses();
  EXPECT_EQ(FindClass("ttestcomponent"), &TTestComponent::StaticClass());
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  EXPECT_NO_THROW(RegisterClass(TTestComponent::StaticClass()));  // twice is fine
}

class TImpostor : public TComponent {
 public:
  using TComponent::TComponent;
  static const TClassInfo& StaticClass() {
    static const TClassInfo info{std::type_identity<TImpostor>{}, "TTestComponent", &TComponent::StaticClass()};
    return info;
  }
};

TEST(ClassRegistry, AnotherClassUnderATakenNameRaises) {
  RegisterTestClasses();
  EXPECT_THROW(RegisterClass(TImpostor::StaticClass()), EFilerError);
  EXPECT_EQ(FindClass("TTestComponent"), &TTestComponent::StaticClass());
}

TEST(ClassRegistry, FactoriesMatchTheConstructors) {
  const TClassInfo& component = TTestComponent::StaticClass();
  EXPECT_TRUE(component.CanCreateComponent());
  TComponent owner(nullptr);
  TComponent* created = component.CreateComponent(&owner);
  EXPECT_EQ(created->ClassName(), "TTestComponent");
  EXPECT_EQ(created->Owner(), &owner);
  EXPECT_TRUE(TTestItem::StaticClass().CanCreateItem());
  EXPECT_TRUE(TTestSettings::StaticClass().CanCreatePersistent());
  EXPECT_FALSE(TStrings::StaticClass().CanCreatePersistent());  // abstract
  EXPECT_THROW(TStrings::StaticClass().CreatePersistent(), EFilerError);
  EXPECT_FALSE(TCollection::StaticClass().CanCreatePersistent());
  std::unique_ptr<TPersistent> settings(TTestSettings::StaticClass().CreatePersistent());
  EXPECT_EQ(settings->ClassName(), "TTestSettings");
}

TEST(Exceptions, ReadErrorCarriesFileLineColumnAndReason) {
  EReadError e("Main.kfm", 3, 14, "unknown property Foo");
  EXPECT_EQ(e.Message(), "Main.kfm(3,14): unknown property Foo");
  EXPECT_EQ(e.Line(), 3);
  EXPECT_EQ(e.Column(), 14);
  EXPECT_EQ(e.Reason(), "unknown property Foo");
  EInOutError io("Disk full", 112);
  EXPECT_EQ(io.ErrorCode(), 112);
  EXPECT_STREQ(io.what(), "Disk full");
}

// ---- Stand-ins in event slots

TEST(MethodStandIn, ChainLeadsToTheReplacedHandlerAndSetsItInnermost) {
  TTestForm form(nullptr);
  const TNotifyEvent own = TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form);
  const TNotifyEvent other = TNotifyEvent::Bind<&TTestForm::OtherChanged>(&form);
  form.SetOnChange(own);
  TSlotTaker first(form);
  TSlotTaker second(form);
  EXPECT_EQ(StoodInMethod(form.OnChange().Method()), own.Method());
  EXPECT_TRUE(MethodChainHolds(form.OnChange().Method(), first.Own().Method()));
  EXPECT_FALSE(MethodChainHolds(first.Own().Method(), second.Own().Method()));
  EXPECT_FALSE(SetStoodInMethod(own.Method(), other.Method()));  // no stand-in: the caller sets it

  EXPECT_TRUE(SetStoodInMethod(form.OnChange().Method(), other.Method()));
  EXPECT_EQ(form.OnChange(), second.Own());
  EXPECT_EQ(first.Kept(), other);
  form.OnChange()(&form);
  EXPECT_EQ(form.ChangedSenders, std::vector<TObject*>{&form});
}

TEST(MethodStandIn, ChainStaysWholeWhicheverStandInLeavesFirst) {
  for (bool firstLeavesFirst : {true, false}) {
    TTestForm form(nullptr);
    const TNotifyEvent own = TNotifyEvent::Bind<&TTestForm::ItemChanged>(&form);
    form.SetOnChange(own);
    auto first = std::make_unique<TSlotTaker>(form);
    auto second = std::make_unique<TSlotTaker>(form);
    if (firstLeavesFirst) {
      first.reset();
      EXPECT_EQ(second->Kept(), own);  // handed what the leaving one kept
      EXPECT_EQ(StoodInMethod(form.OnChange().Method()), own.Method());
      second.reset();
    } else {
      second.reset();
      EXPECT_EQ(form.OnChange(), first->Own());
      first.reset();
    }
    EXPECT_EQ(form.OnChange(), own);
  }
}

}  // namespace
}  // namespace kyt::test
