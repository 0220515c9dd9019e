// Tests of inherited forms and frames: an ancestor's file and a descendant's read into one form,
// the writer's differences, child order, and the errors of a descendant that does not fit.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

std::string Lf(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

const char* const kBase =
    "object Main: TTestForm\n"
    "  Caption = 'Base'\n"
    "  OnChange = ItemChanged\n"
    "  object A: TTestComponent\n"
    "    Count = 1\n"
    "    Buddy = B\n"
    "  end\n"
    "  object B: TTestComponent\n"
    "    Count = 2\n"
    "    Zoom = 1.5\n"
    "  end\n"
    "end\n";

class FormInherited : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    Log().clear();
  }
  void TearDown() override {
    EXPECT_EQ(TTestComponent::LiveCount(), 0);
    EXPECT_EQ(TTestForm::LiveCount(), 0);
  }

  static std::unique_ptr<TTestDerivedForm> ReadDerived(const std::string& ancestor, const std::string& descendant) {
    auto form = std::make_unique<TTestDerivedForm>(nullptr);
    ReadRootTexts(*form, {TFormText{ancestor, "Base.kfm"}, TFormText{descendant, "Derived.kfm"}});
    return form;
  }
  static std::unique_ptr<TComponent> ReadAncestor(const std::string& ancestor) {
    return std::unique_ptr<TComponent>(ReadComponentText(ancestor, "Base.kfm", nullptr));
  }
};

// A descendant's file, and the whole form it makes with kBase (as a plain file would hold it).
// Each descendant is written as the writer writes it, so it is also what writing the form with
// kBase as its ancestor gives.
struct TInheritedCase {
  const char* Name;
  const char* Descendant;
  const char* Whole;
};
const TInheritedCase kCases[] = {
    {"NothingChanged", "inherited Main: TTestDerivedForm\nend\n",
     "object Main: TTestDerivedForm\n  Caption = 'Base'\n  OnChange = ItemChanged\n"
     "  object A: TTestComponent\n    Count = 1\n    Buddy = B\n  end\n"
     "  object B: TTestComponent\n    Count = 2\n    Zoom = 1.5\n  end\nend\n"},
    {"ValuesOverridden",
     "inherited Main: TTestDerivedForm\n  Caption = 'Derived'\n"
     "  inherited B: TTestComponent\n    Caption = 'b'\n    Zoom = -0.25\n  end\nend\n",
     "object Main: TTestDerivedForm\n  Caption = 'Derived'\n  OnChange = ItemChanged\n"
     "  object A: TTestComponent\n    Count = 1\n    Buddy = B\n  end\n"
     "  object B: TTestComponent\n    Count = 2\n    Caption = 'b'\n    Zoom = -0.25\n  end\nend\n"},
    {"ValuesBackToTheirDefaults",
     "inherited Main: TTestDerivedForm\n  OnChange = nil\n"
     "  inherited A: TTestComponent\n    Count = 0\n    Buddy = nil\n  end\n"
     "  inherited B: TTestComponent\n    Zoom = 0.0\n  end\nend\n",
     "object Main: TTestDerivedForm\n  Caption = 'Base'\n"
     "  object A: TTestComponent\n  end\n"
     "  object B: TTestComponent\n    Count = 2\n  end\nend\n"},
    {"ComponentAdded",
     "inherited Main: TTestDerivedForm\n  object C: TTestComponent\n    Caption = ''\n    Settings.Path = ''\n"
     "    Buddy = A\n  end\nend\n",
     "object Main: TTestDerivedForm\n  Caption = 'Base'\n  OnChange = ItemChanged\n"
     "  object A: TTestComponent\n    Count = 1\n    Buddy = B\n  end\n"
     "  object B: TTestComponent\n    Count = 2\n    Zoom = 1.5\n  end\n"
     "  object C: TTestComponent\n    Buddy = A\n  end\nend\n"},
    {"ChildMovedFirst", "inherited Main: TTestDerivedForm\n  inherited B: TTestComponent [0]\n  end\nend\n",
     "object Main: TTestDerivedForm\n  Caption = 'Base'\n  OnChange = ItemChanged\n"
     "  object B: TTestComponent\n    Count = 2\n    Zoom = 1.5\n  end\n"
     "  object A: TTestComponent\n    Count = 1\n    Buddy = B\n  end\nend\n"},
    {"ComponentAddedBetween", "inherited Main: TTestDerivedForm\n  object C: TTestComponent [1]\n"
     "    Caption = ''\n    Settings.Path = ''\n  end\nend\n",
     "object Main: TTestDerivedForm\n  Caption = 'Base'\n  OnChange = ItemChanged\n"
     "  object A: TTestComponent\n    Count = 1\n    Buddy = B\n  end\n"
     "  object C: TTestComponent\n  end\n"
     "  object B: TTestComponent\n    Count = 2\n    Zoom = 1.5\n  end\nend\n"},
};

class FormInheritedCase : public FormInherited, public ::testing::WithParamInterface<TInheritedCase> {};

TEST_P(FormInheritedCase, ReadsToTheWholeFormAndWritesOnlyTheDifferences) {
  const TInheritedCase& c = GetParam();
  const auto form = ReadDerived(kBase, c.Descendant);
  const std::unique_ptr<TComponent> whole(ReadComponentText(c.Whole, "Whole.kfm", nullptr));
  const std::string wholeText = WriteComponentText(*whole);
  EXPECT_EQ(WriteComponentText(*form), wholeText);
  const auto ancestor = ReadAncestor(kBase);
  const std::string written = WriteComponentText(*form, *ancestor);
  EXPECT_EQ(Lf(written), c.Descendant);
  // And what was written reads back to the same form.
  EXPECT_EQ(WriteComponentText(*ReadDerived(kBase, written)), wholeText);
}

INSTANTIATE_TEST_SUITE_P(Descendants, FormInheritedCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TInheritedCase>& info) { return std::string(info.param.Name); });

TEST_F(FormInherited, LoadedRunsOnceAfterEveryFileIsRead) {
  const auto form = ReadDerived(kBase, "inherited Main: TTestDerivedForm\n  inherited A: TTestComponent\n    Count = 9\n  end\nend\n");
  int loadedA = 0;
  for (const std::string& entry : Log()) loadedA += entry == "Loaded:A";
  EXPECT_EQ(loadedA, 1);
  EXPECT_TRUE(ObjectCast<TTestComponent>(form->FindComponent("A"))->ComponentState().Empty());
  EXPECT_EQ(ObjectCast<TTestComponent>(form->FindComponent("A"))->Count(), 9);
}

TEST_F(FormInherited, AChangeInTheAncestorReachesEveryDescendantThatKeepsItsValue) {
  const std::string keeps = "inherited Main: TTestDerivedForm\n  inherited A: TTestComponent\n    Caption = 'own'\n  end\nend\n";
  const std::string overrides = "inherited Main: TTestDerivedForm\n  Caption = 'Mine'\n  inherited A: TTestComponent\n    Count = 7\n  end\nend\n";
  std::string changed = kBase;
  changed.replace(changed.find("'Base'"), 6, "'Changed'");
  changed.replace(changed.find("Count = 1"), 9, "Count = 4");
  const auto first = ReadDerived(changed, keeps);
  const auto second = ReadDerived(changed, overrides);
  EXPECT_EQ(first->Caption(), "Changed");
  EXPECT_EQ(ObjectCast<TTestComponent>(first->FindComponent("A"))->Count(), 4);
  EXPECT_EQ(second->Caption(), "Mine");
  EXPECT_EQ(ObjectCast<TTestComponent>(second->FindComponent("A"))->Count(), 7);
}

// A descendant that does not fit its ancestor: refused where it stands, nothing left behind.
struct TMisfit {
  const char* Name;
  const char* Descendant;
  int Line;
  int Column;
  const char* Reason;
};
const TMisfit kMisfits[] = {
    {"ComponentTheAncestorLacks", "inherited Main: TTestDerivedForm\n  inherited C: TTestComponent\n  end\nend\n", 2, 3,
     "inherited component C is not in the ancestor's form"},
    {"ComponentOfAnotherClass", "inherited Main: TTestDerivedForm\n  inherited A: TTestDerived\n  end\nend\n", 2, 3,
     "inherited component A is a TTestComponent in the ancestor's form, not a TTestDerived"},
    {"DescendantStartingWithObject", "object Main: TTestDerivedForm\nend\n", 1, 1, "starts with 'inherited'"},
    {"DescendantOfAnotherClass", "inherited Main: TTestComponent\nend\n", 1, 1, "does not match TTestDerivedForm"},
    {"NewComponentNamedLikeAnInheritedOne", "inherited Main: TTestDerivedForm\n  object A: TTestComponent\n  end\nend\n", 2, 3,
     "already exists"},
    {"DecimalForAnInheritedInteger", "inherited Main: TTestDerivedForm\n  inherited A: TTestComponent\n    Count = 2.0\n  end\nend\n",
     3, 13, "a decimal number for an integer property"},
};

class FormInheritedMisfit : public FormInherited, public ::testing::WithParamInterface<TMisfit> {};

TEST_P(FormInheritedMisfit, IsRefusedWithItsPlaceAndLeavesTheFormAsItWas) {
  const TMisfit& m = GetParam();
  TTestDerivedForm form(nullptr);
  form.SetCaption("kept");
  try {
    ReadRootTexts(form, {TFormText{kBase, "Base.kfm"}, TFormText{m.Descendant, "Derived.kfm"}});
    FAIL() << "accepted";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.FileName(), "Derived.kfm");
    EXPECT_EQ(e.Line(), m.Line) << e.Message();
    EXPECT_EQ(e.Column(), m.Column) << e.Message();
    EXPECT_NE(e.Reason().find(m.Reason), std::string::npos) << e.Message();
  }
  EXPECT_EQ(form.Caption(), "kept");
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_TRUE(form.ComponentState().Empty());
}

INSTANTIATE_TEST_SUITE_P(Refused, FormInheritedMisfit, ::testing::ValuesIn(kMisfits),
                         [](const ::testing::TestParamInfo<TMisfit>& info) { return std::string(info.param.Name); });

TEST_F(FormInherited, ARefusedDescendantPutsBackComponentsItChanged) {
  TTestDerivedForm form(nullptr);
  ReadRootText(form, kBase, "Base.kfm");
  EXPECT_THROW(ReadRootText(form,
                            "inherited Main: TTestDerivedForm\n  inherited A: TTestComponent\n    Count = 5\n  end\n"
                            "  inherited Ghost: TTestComponent\n  end\nend\n",
                            "Derived.kfm"),
               EReadError);
  const auto* a = ObjectCast<TTestComponent>(form.FindComponent("A"));
  EXPECT_EQ(a->Count(), 1);
  EXPECT_TRUE(a->ComponentState().Empty());
}

TEST_F(FormInherited, WriterRefusesWhatAnInheritedFileCannotSay) {
  const auto ancestor = ReadAncestor(kBase);
  {
    const auto form = ReadDerived(kBase, "inherited Main: TTestDerivedForm\nend\n");
    delete form->FindComponent("B");
    EXPECT_THROW(WriteComponentText(*form, *ancestor), EWriteError);  // B is gone
  }
  {
    TTestDerivedForm form(nullptr);
    (new TTestComponent(&form))->SetName("B");
    (new TTestDerived(&form))->SetName("A");
    EXPECT_THROW(WriteComponentText(form, *ancestor), EWriteError);  // A of another class
  }
}

// ---- Frames

const char* const kFramed =
    "object Main: TTestForm\n"
    "  Caption = ''\n"
    "  inline Frame1: TTestFrame\n"
    "    Caption = 'changed'\n"
    "    inherited Second: TTestComponent [0]\n"
    "    end\n"
    "    inherited Inner: TTestComponent\n"
    "      Count = 2\n"
    "    end\n"
    "  end\n"
    "  inline Frame2: TTestFrame\n"
    "  end\n"
    "end\n";

TEST_F(FormInherited, FramesAreReadFromTheirOwnFileThenChangedAndWrittenBackTheSame) {
  const TTestFrameSource source;
  const std::unique_ptr<TComponent> form(ReadComponentText(kFramed, "Framed.kfm", nullptr));
  const auto* frame = ObjectCast<TTestFrame>(form->FindComponent("Frame1"));
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->ComponentState().Contains(csInline));
  EXPECT_EQ(frame->Caption(), "changed");
  ASSERT_EQ(frame->ComponentCount(), 2);
  EXPECT_EQ(frame->Components(0)->Name(), "Second");
  EXPECT_EQ(ObjectCast<TTestComponent>(frame->FindComponent("Inner"))->Count(), 2);
  const auto* plain = ObjectCast<TTestFrame>(form->FindComponent("Frame2"));
  EXPECT_EQ(plain->Caption(), "frame");
  EXPECT_EQ(ObjectCast<TTestComponent>(plain->FindComponent("Inner"))->Count(), 1);
  EXPECT_EQ(Lf(WriteComponentText(*form)), kFramed);
}

TEST_F(FormInherited, AFrameBlockNamesOnlyComponentsOfItsFrame) {
  const TTestFrameSource source;
  const std::string text = "object Main: TTestForm\n  object A: TTestComponent\n  end\n"
                           "  inline Frame1: TTestFrame\n    inherited A: TTestComponent\n    end\n  end\nend\n";
  try {
    std::unique_ptr<TComponent> form(ReadComponentText(text, "Framed.kfm", nullptr));
    FAIL() << "accepted";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Line(), 5);
    EXPECT_NE(e.Reason().find("A is not in the ancestor's form"), std::string::npos) << e.Message();
  }
}

TEST_F(FormInherited, InitInheritedComponentReadsTheChainTheSourceHas) {
  const TFormFileSource kept = SetFormFileSource([](const TClassInfo& cls, std::string& text, std::string& file) {
    file = cls.Name() + ".kfm";
    if (&cls == &TTestForm::StaticClass()) text = kBase;
    else if (&cls == &TTestDerivedForm::StaticClass()) text = "inherited Main: TTestDerivedForm\n  Caption = 'Derived'\nend\n";
    else return false;
    return true;
  });
  TTestDerivedForm form(nullptr);
  const bool found = InitInheritedComponent(form, TComponent::StaticClass());
  TTestForm plain(nullptr);
  const bool plainFound = InitInheritedComponent(plain, TTestForm::StaticClass());
  SetFormFileSource(kept);
  EXPECT_TRUE(found);
  EXPECT_EQ(form.Caption(), "Derived");
  EXPECT_EQ(form.ComponentCount(), 2);
  EXPECT_FALSE(plainFound);  // below TTestForm there is no class
}

}  // namespace
}  // namespace kyt::test
