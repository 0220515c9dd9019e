// Tests of decimal numbers in form files and of floating-point properties: what the reader makes
// of each spelling, that every double comes back bit for bit, and when a value is stored.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <limits>
#include <memory>

#include "host/core/FormFile.h"
#include "host/core/FormTree.h"
#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

using Limits = std::numeric_limits<double>;

class FormDecimal : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
  void TearDown() override { EXPECT_EQ(TTestComponent::LiveCount(), 0); }

  static std::unique_ptr<TComponent> ReadChild(const std::string& body) {
    return std::unique_ptr<TComponent>(
        ReadComponentText("object Main: TTestForm\n  object A: TTestComponent\n" + body + "  end\nend\n", "D.kfm", nullptr));
  }
  static const TTestComponent& A(const TComponent& form) { return *ObjectCast<TTestComponent>(form.FindComponent("A")); }
};

uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

// Each spelling the family's designers write, with the double it stands for.
struct TSpelling {
  const char* Text;
  double Value;
};
const TSpelling kSpellings[] = {
    {"14.000000000000000000", 14.0},
    {"41966.651846273090000000", 41966.65184627309},
    {"-1746.25", -1746.25},
    {"+7e-1", 0.7},
    {"-2.5E3", -2500.0},
    {"3", 3.0},                                                  // an integer stands for its decimal
    {"99999999999999999999.5", 99999999999999999999.5},          // digits beyond 64 bits
    {"1.5s", 1.5},
    {"0.1s", static_cast<double>(0.1f)},                         // a single keeps a float's value
    {"0d", 0.0},
    {"12.5c", 12.5},
    {"1.23456C", 1.2346},                                        // a currency keeps four decimals
    {"2F", 2.0},
    {"5e-324", Limits::denorm_min()},
    {"-0.0", -0.0},
};

TEST_F(FormDecimal, EverySpellingReadsAsItsDouble) {
  for (const TSpelling& s : kSpellings) {
    const auto form = ReadChild(std::string("    Zoom = ") + s.Text + "\n");
    EXPECT_EQ(Bits(A(*form).Zoom()), Bits(s.Value)) << s.Text << " read as " << A(*form).Zoom();
  }
}

TEST_F(FormDecimal, ListItemsTakeDecimalsBesideIntegers) {
  formtext::TFormTree tree;
  const std::string text = "object Main: TTestForm\n  Values = (100.000000000000000000 -1746.25 7 1.5s)\nend\n";
  formtext::ParseForm(text, "D.kfm", tree);
  const auto items = tree.ElementsOf(tree.PropsOf(tree.Root.Props)[0].Value);
  ASSERT_EQ(items.size(), 4u);
  const double expected[] = {100.0, -1746.25, 0, 1.5};
  for (size_t i = 0; i < items.size(); ++i) {
    if (i == 2) {
      EXPECT_EQ(items[i].Kind, formtext::TValueKind::Integer);
      EXPECT_EQ(items[i].Int, 7);
      continue;
    }
    EXPECT_EQ(items[i].Kind, formtext::TValueKind::Float) << i;
    EXPECT_EQ(std::bit_cast<double>(items[i].Int), expected[i]) << i;
  }
}

// Values at the edges of a double and those that need all 17 digits.
const double kEdges[] = {
    0.1, 1.0 / 3.0, 0.1 + 0.2, 2.0 / 3.0 * 1e-300, 123456789.12345679, 41966.65184627309,
    Limits::max(), -Limits::max(), Limits::min(), -Limits::min(), Limits::denorm_min(), -Limits::denorm_min(),
    -0.0, 1e21, 1e22, 9007199254740993.0, 4.35, -1746.25, 1.7976931348623155e308, std::nextafter(1.0, 2.0),
};

TEST_F(FormDecimal, EveryDoubleWritesAndReadsBackBitForBit) {
  for (const double v : kEdges) {
    TTestForm form(nullptr);
    auto* c = new TTestComponent(&form);
    c->SetName("A");
    c->SetZoom(v);
    c->SetStamp(-v);
    const std::string written = WriteComponentText(form);
    const auto again = std::unique_ptr<TComponent>(ReadComponentText(written, "D.kfm", nullptr));
    EXPECT_EQ(Bits(A(*again).Zoom()), Bits(v)) << written;
    EXPECT_EQ(Bits(A(*again).Stamp()), Bits(-v)) << written;
    EXPECT_EQ(written.find(','), std::string::npos) << written;
  }
}

TEST_F(FormDecimal, WriterUsesAPointUnderALocaleWithAComma) {
  const std::string kept = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "German_Germany.1252") && !std::setlocale(LC_ALL, "de_DE.UTF-8"))
    GTEST_SKIP() << "no German locale here";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  TTestForm form(nullptr);
  auto* c = new TTestComponent(&form);
  c->SetName("A");
  c->SetZoom(-1746.25);
  const std::string written = WriteComponentText(form);
  const auto again = std::unique_ptr<TComponent>(ReadComponentText(written, "D.kfm", nullptr));
  std::setlocale(LC_ALL, kept.c_str());
  EXPECT_NE(written.find("Zoom = -1746.25\r\n"), std::string::npos) << written;
  EXPECT_EQ(A(*again).Zoom(), -1746.25);
}

// Stored unless 0 (a negative zero is kept), and as the Stored condition says.
struct TStoredCase {
  double Zoom;
  double Stamp;
  const char* Lines;  // what the writer writes of both
};
const TStoredCase kStoredCases[] = {
    {0.0, 0.0, ""},
    {-0.0, 0.0, "    Zoom = -0.0\n"},
    {14.0, 2.5, "    Zoom = 14.0\n    Stamp = 2.5\n"},
    {1e300, 1.0, "    Zoom = 1e+300\n"},  // the condition leaves Stamp 1 out
};

TEST_F(FormDecimal, StoredUnlessZeroOrAsTheConditionSays) {
  for (const TStoredCase& s : kStoredCases) {
    TTestForm form(nullptr);
    auto* c = new TTestComponent(&form);
    c->SetName("A");
    c->SetZoom(s.Zoom);
    c->SetStamp(s.Stamp);
    // Only the floating-point lines: the rest is the same in every case.
    std::string written, line;
    for (char ch : WriteComponentText(form)) {
      if (ch == '\r') continue;
      line += ch;
      if (ch != '\n') continue;
      if (line.find("Zoom") != std::string::npos || line.find("Stamp") != std::string::npos) written += line;
      line.clear();
    }
    EXPECT_EQ(written, s.Lines) << s.Zoom;
  }
}

TEST_F(FormDecimal, ValuesThatAreNotFiniteAreRefusedByTheWriter) {
  for (const double v : {Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN()}) {
    TTestForm form(nullptr);
    (new TTestComponent(&form))->SetZoom(v);
    EXPECT_THROW(WriteComponentText(form), EWriteError);
  }
}

TEST_F(FormDecimal, InspectorTextIsTheShortestWithAPoint) {
  TTestComponent c(nullptr);
  const TPropInfo& zoom = *c.ClassType().FindProperty("Zoom");
  zoom.SetValueText(&c, " 0.30000000000000004 ");
  EXPECT_EQ(zoom.ValueText(&c), "0.30000000000000004");
  EXPECT_EQ(Bits(c.Zoom()), Bits(0.1 + 0.2));
  EXPECT_THROW(zoom.SetValueText(&c, "0,5"), EConvertError);
  EXPECT_EQ(Bits(c.Zoom()), Bits(0.1 + 0.2));
}

}  // namespace
}  // namespace kyt::test
