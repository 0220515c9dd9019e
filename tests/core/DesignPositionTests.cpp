// The designer's place of components without Left and Top properties in form files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

const std::string kPlaced =
    "object Main: TTestForm\r\n"
    "  Caption = 'x'\r\n"
    "  object A: TTestComponent\r\n"
    "    Count = 3\r\n"
    "    Caption = ''\r\n"
    "    Settings.Path = ''\r\n"
    "    Left = 24\r\n"
    "    Top = 16\r\n"
    "  end\r\n"
    "  object B: TTestComponent\r\n"
    "    Caption = ''\r\n"
    "    Settings.Path = ''\r\n"
    "  end\r\n"
    "end\r\n";

class DesignPosition : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
  void TearDown() override { EXPECT_EQ(TTestComponent::LiveCount(), 0); }
};

// Catches a reader that refuses the lines or a writer that drops them or adds them to others.
TEST_F(DesignPosition, IsReadKeptAndWrittenBackOnlyWhereItWasGiven) {
  std::unique_ptr<TComponent> root(ReadComponentText(kPlaced, "Placed.kfm", nullptr));
  TComponent* a = root->FindComponent("A");
  ASSERT_TRUE(a->HasDesignPosition());
  EXPECT_EQ(a->DesignPosition().Left, 24);
  EXPECT_EQ(a->DesignPosition().Top, 16);
  EXPECT_FALSE(root->FindComponent("B")->HasDesignPosition());
  EXPECT_EQ(WriteComponentText(*root), kPlaced);
}

// Catches a writer that writes the place only in one order or forgets a component set later.
TEST_F(DesignPosition, SetByTheDesignerIsWrittenAfterThePublishedProperties) {
  TTestForm form(nullptr);
  form.SetName("Main");
  auto* c = new TTestComponent(&form);
  c->SetName("C");
  c->SetCount(2);
  c->SetDesignPosition(-8, 400);
  EXPECT_EQ(WriteComponentText(form),
            "object Main: TTestForm\r\n  Caption = ''\r\n  object C: TTestComponent\r\n    Count = 2\r\n"
            "    Caption = ''\r\n    Settings.Path = ''\r\n    Left = -8\r\n    Top = 400\r\n  end\r\nend\r\n");
}

struct TBadPlace {
  const char* Name;
  const char* Body;
  const char* Reason;
};
const TBadPlace kBadPlaces[] = {
    {"StringForLeft", "    Left = 'x'\n", "integer expected"},
    {"TopOutOfRange", "    Top = 2147483648\n", "out of range"},
    {"DottedLeft", "    Left.X = 1\n", "unknown property Left"},
};

class DesignPositionBad : public ::testing::TestWithParam<TBadPlace> {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

// Catches a reader that takes any value for the place or lets a dotted name through.
TEST_P(DesignPositionBad, IsRefusedWithItsReason) {
  const std::string text = std::string("object Main: TTestForm\n  object A: TTestComponent\n") + GetParam().Body +
                           "  end\nend\n";
  try {
    std::unique_ptr<TComponent> root(ReadComponentText(text, "Bad.kfm", nullptr));
    FAIL() << "accepted";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Line(), 3) << e.Message();
    EXPECT_NE(e.Reason().find(GetParam().Reason), std::string::npos) << e.Message();
  }
  EXPECT_EQ(TTestComponent::LiveCount(), 0);
}
INSTANTIATE_TEST_SUITE_P(Values, DesignPositionBad, ::testing::ValuesIn(kBadPlaces),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace kyt::test
