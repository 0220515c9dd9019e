// Tests of the base classes: About, DesignExecute, Execute and the Sound beep, and what a saved
// form keeps of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/KYTSystem.h"
#include "host/core/FormFile.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

static_assert(sizeof(TKYTBeeptype) == 1);
static_assert(bNone == 0 && bDefault == 1 && bAsterix == 2 && bExclamation == 3 && bQuestion == 4 &&
              bCriticalStop == 5);

// Every MessageBeep argument since the last reset.
std::vector<UINT> gBeeps;
BOOL WINAPI RecordBeep(UINT type) {
  gBeeps.push_back(type);
  return TRUE;
}

class KYTSystemBeep : public ::testing::Test {
 protected:
  void SetUp() override { gBeeps.clear(); }
  os::ScopedOverride<decltype(os::user32.MessageBeep)> beep{os::user32.MessageBeep, &RecordBeep};
};

// A component with an action, as the dialog components are.
class TBeepingComponent : public TKYTAdvancedExecComponent {
  KYT_CLASS(TBeepingComponent, TKYTAdvancedExecComponent)
 public:
  using TKYTAdvancedExecComponent::TKYTAdvancedExecComponent;
  bool Execute() override {
    inherited::Execute();
    ++Runs;
    return true;
  }
  int Runs = 0;
};

// A plain executable component using the base Execute.
class TPlainExecComponent : public TKYTExecuteComponent {
  KYT_CLASS(TPlainExecComponent, TKYTExecuteComponent)
 public:
  using TKYTExecuteComponent::TKYTExecuteComponent;
};

// The root of the test form files.
class TSystemTestRoot : public TComponent {
  KYT_CLASS(TSystemTestRoot, TComponent)
 public:
  TSystemTestRoot() : TComponent(nullptr) {}
  explicit TSystemTestRoot(TComponent* owner) : TComponent(owner) {}
};

void RegisterTestClasses() {
  RegisterClasses({&TSystemTestRoot::StaticClass(), &TBeepingComponent::StaticClass(),
                   &TPlainExecComponent::StaticClass(), &TKYTSystemsComponent::StaticClass(),
                   &TKYTExecuteComponent::StaticClass(), &TKYTAdvancedExecComponent::StaticClass()});
}

TEST_F(KYTSystemBeep, FreshComponentIsSilent) {
  TKYTAdvancedExecComponent component(nullptr);
  EXPECT_EQ(component.Sound(), bNone);
  EXPECT_FALSE(component.Execute());
  EXPECT_TRUE(gBeeps.empty());
}

TEST_F(KYTSystemBeep, EachSoundPassesItsFixedArgument) {
  const std::pair<TKYTBeeptype, UINT> mapping[] = {
      {bDefault, 0x00}, {bAsterix, 0x40}, {bExclamation, 0x30}, {bQuestion, 0x20}, {bCriticalStop, 0x10}};
  for (auto [sound, argument] : mapping) {
    gBeeps.clear();
    TKYTAdvancedExecComponent component(nullptr);
    component.SetSound(sound);
    EXPECT_FALSE(component.Execute());
    ASSERT_EQ(gBeeps.size(), 1u) << EnumInfo<TKYTBeeptype>().Members[sound];
    EXPECT_EQ(gBeeps[0], argument) << EnumInfo<TKYTBeeptype>().Members[sound];
  }
}

TEST_F(KYTSystemBeep, DefaultSoundIsNotTheSimpleBeep) {
  TKYTAdvancedExecComponent component(nullptr);
  component.SetSound(bDefault);
  component.Execute();
  ASSERT_EQ(gBeeps.size(), 1u);
  EXPECT_EQ(gBeeps[0], 0u);
  EXPECT_NE(gBeeps[0], 0xFFFFFFFFu);
}

TEST_F(KYTSystemBeep, OverrideBeepsOncePerExecuteBeforeItsOwnWork) {
  TBeepingComponent component(nullptr);
  component.SetSound(bQuestion);
  EXPECT_TRUE(component.Execute());
  EXPECT_TRUE(component.Execute());
  EXPECT_EQ(gBeeps, (std::vector<UINT>{0x20, 0x20}));
  EXPECT_EQ(component.Runs, 2);
}

TEST_F(KYTSystemBeep, BaseExecuteDoesNothing) {
  TPlainExecComponent component(nullptr);
  EXPECT_FALSE(component.Execute());
  EXPECT_TRUE(gBeeps.empty());
}

TEST(KYTSystem, BeepArgumentTableRefusesSilentAndInvalidMembers) {
  unsigned argument = 77;
  EXPECT_FALSE(KYTBeepArgument(bNone, argument));
  EXPECT_FALSE(KYTBeepArgument(static_cast<TKYTBeeptype>(6), argument));
  EXPECT_EQ(argument, 77u);
  EXPECT_TRUE(KYTBeepArgument(bCriticalStop, argument));
  EXPECT_EQ(argument, 0x10u);
}

TEST(KYTSystem, AboutReadsAboutAndDesignExecuteStartsEmpty) {
  TPlainExecComponent component(nullptr);
  EXPECT_EQ(component.About(), "(About)");
  EXPECT_EQ(component.DesignExecute(), "");
}

TEST(KYTSystem, ShortStringsAreCutAt37Characters) {
  TPlainExecComponent component(nullptr);
  const std::string long50(50, 'x');
  component.SetAbout(long50);
  component.SetDesignExecute(long50);
  EXPECT_EQ(component.About(), std::string(37, 'x'));
  EXPECT_EQ(component.DesignExecute(), std::string(37, 'x'));
  // The generic property access used by streaming and the inspector cuts the same way.
  const TPropInfo* about = component.ClassType().FindProperty("About");
  ASSERT_NE(about, nullptr);
  about->SetStr(&component, long50 + "y");
  EXPECT_EQ(component.About().size(), 37u);
}

TEST(KYTSystem, PublishedTablesCarryTheEditorTypeNames) {
  const TClassInfo& cls = TKYTAdvancedExecComponent::StaticClass();
  const TPropInfo* about = cls.FindProperty("About");
  const TPropInfo* execute = cls.FindProperty("DesignExecute");
  const TPropInfo* sound = cls.FindProperty("Sound");
  ASSERT_TRUE(about && execute && sound);
  EXPECT_EQ(about->TypeName(), "TKYTAboutStr");
  EXPECT_EQ(execute->TypeName(), "TKYTExecSysStr");
  EXPECT_EQ(sound->TypeName(), "TKYTBeeptype");
  EXPECT_EQ(about->MaxLength(), 37u);
  EXPECT_EQ(execute->MaxLength(), 37u);
  EXPECT_EQ(sound->Kind(), pkEnum);
  EXPECT_TRUE(sound->HasDefault());
  EXPECT_EQ(sound->DefaultOrd(), bNone);
  // Inherited entries come first, in declaration order.
  std::vector<std::string> names;
  for (const TPropInfo* p : cls.Properties()) names.push_back(p->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "About", "DesignExecute", "Sound"}));
}

TEST(KYTSystem, SavedFormKeepsOnlySoundAndOnlyWhenNotNone) {
  RegisterTestClasses();
  TSystemTestRoot root;
  root.SetName("SystemRoot");
  auto* loud = new TBeepingComponent(&root);
  loud->SetName("Loud");
  loud->SetSound(bExclamation);
  loud->SetAbout("changed about");
  loud->SetDesignExecute("changed execute");
  auto* quiet = new TBeepingComponent(&root);
  quiet->SetName("Quiet");
  quiet->SetAbout("changed too");
  auto* plain = new TKYTSystemsComponent(&root);
  plain->SetName("Plain");

  const std::string text = WriteComponentText(root);
  EXPECT_EQ(text.find("About"), std::string::npos) << text;
  EXPECT_EQ(text.find("DesignExecute"), std::string::npos) << text;
  EXPECT_NE(text.find("Sound = bExclamation"), std::string::npos) << text;
  EXPECT_EQ(text.find("Sound"), text.rfind("Sound")) << "only one Sound line expected:\n" << text;

  TSystemTestRoot copy;
  ReadRootText(copy, text, "system.kfm");
  auto* loudCopy = dynamic_cast<TBeepingComponent*>(copy.FindComponent("Loud"));
  auto* quietCopy = dynamic_cast<TBeepingComponent*>(copy.FindComponent("Quiet"));
  ASSERT_TRUE(loudCopy && quietCopy);
  EXPECT_NE(copy.FindComponent("Plain"), nullptr);
  EXPECT_EQ(loudCopy->Sound(), bExclamation);
  EXPECT_EQ(quietCopy->Sound(), bNone);
  EXPECT_EQ(loudCopy->About(), "(About)");
  EXPECT_EQ(loudCopy->DesignExecute(), "");
}

TEST(KYTSystem, LoadedFormAssignsSoundAndKeepsAboutFromConstruction) {
  RegisterTestClasses();
  TSystemTestRoot root;
  ReadRootText(root,
               "object SystemRoot: TSystemTestRoot\n"
               "  object Loud: TBeepingComponent\n"
               "    Sound = bCriticalStop\n"
               "  end\n"
               "end\n",
               "typed.kfm");
  auto* loud = dynamic_cast<TBeepingComponent*>(root.FindComponent("Loud"));
  ASSERT_NE(loud, nullptr);
  EXPECT_EQ(loud->Sound(), bCriticalStop);
  EXPECT_EQ(loud->About(), "(About)");
}

}  // namespace
}  // namespace kyt
