// Tests of the code-page conversion: UTF-8 both ways, the replaceable conversion, names.
#include "host/core/CodePage.h"

#include <gtest/gtest.h>

#include "host/core/Exceptions.h"
#include "host/core/TypeInfo.h"

namespace kyt::test {
namespace {

struct TUtf8Case {
  const char* Name;
  std::string Bytes;
  bool Valid;
  std::u16string Units;  // when valid
};

const TUtf8Case kUtf8Cases[] = {
    {"Ascii", "a~", true, u"a~"},
    {"TwoBytes", "\xC3\xA9", true, u"\u00E9"},
    {"ThreeBytes", "\xE4\xB8\xAD", true, u"\u4E2D"},
    {"FourBytesMakeAPair", "\xF0\x9F\x98\x80", true, u"\xD83D\xDE00"},
    {"StrayTrailByte", "a\x80", false, u""},
    {"OverlongTwoBytes", "\xC0\xAF", false, u""},
    {"OverlongThreeBytes", "\xE0\x80\xAF", false, u""},
    {"EncodedSurrogate", "\xED\xA0\x80", false, u""},
    {"BeyondU10FFFF", "\xF4\x90\x80\x80", false, u""},
    {"Truncated", "\xE2\x82", false, u""},
    {"LeadWithoutTrail", "\xC3z", false, u""},
};

class Utf8 : public ::testing::TestWithParam<TUtf8Case> {};

TEST_P(Utf8, DecodesWellFormedTextOnlyAndEncodesItBack) {
  const TUtf8Case& c = GetParam();
  std::u16string units;
  EXPECT_EQ(Utf8ToUtf16(c.Bytes, units), c.Valid);
  if (!c.Valid) return;
  EXPECT_EQ(units, c.Units);
  std::string back;
  Utf16ToUtf8(units, back);
  EXPECT_EQ(back, c.Bytes);
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8, ::testing::ValuesIn(kUtf8Cases),
                         [](const ::testing::TestParamInfo<TUtf8Case>& info) { return std::string(info.param.Name); });

TEST(CodePage, LoneSurrogatesBecomeTheReplacementCharacter) {
  std::string text;
  Utf16ToUtf8(u"a\xD83D" u"b\xDE00", text);
  EXPECT_EQ(text, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

bool RefuseAll(std::string_view, std::u16string&) { return false; }
void Question(std::u16string_view units, std::string& text) { text.append(units.size(), '?'); }

TEST(CodePage, AnInstalledConversionIsUsedUntilTheDefaultIsPutBack) {
  EXPECT_TRUE(CodePageIsUtf8());
  EXPECT_THROW(SetCodePageConversion({&RefuseAll, nullptr}), EConvertError);
  const TCodePageConversion saved = SetCodePageConversion({&RefuseAll, &Question});
  EXPECT_FALSE(CodePageIsUtf8());
  EXPECT_FALSE(core::IsValidName("Caf\xC3\xA9"));  // not text in this code page
  EXPECT_TRUE(core::IsValidName("Cafe"));
  SetCodePageConversion(saved);
  EXPECT_TRUE(CodePageIsUtf8());
}

struct TNameCase {
  std::string Text;
  bool Valid;
};

std::string Times(const std::string& text, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += text;
  return out;
}

class Names : public ::testing::TestWithParam<TNameCase> {};

// Letters and digits of any script, at most 255 characters however many bytes they take; spaces,
// dashes, zero-width characters and emoji are refused as their ASCII look-alikes are.
TEST_P(Names, AllowLettersOfAnyScriptButNoPunctuation) {
  EXPECT_EQ(core::IsValidName(GetParam().Text), GetParam().Valid) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Identifiers, Names,
    ::testing::Values(TNameCase{"Button1", true}, TNameCase{"_x", true},
                      TNameCase{"\xD0\x9A\xD0\xBD\xD0\xBE\xD0\xBF\xD0\xBA\xD0\xB0", true},
                      TNameCase{"\xE6\x8C\x89\xE9\x92\xAE" "2", true}, TNameCase{"1a", false},
                      TNameCase{"a b", false}, TNameCase{"a\xC3", false}, TNameCase{"", false},
                      TNameCase{"a\u00A0b", false}, TNameCase{"a\u3000b", false}, TNameCase{"a\u2014b", false},
                      TNameCase{"a\u200Bb", false}, TNameCase{"a\U0001F600", false}, TNameCase{"\u00A0", false},
                      TNameCase{"\u00E9t\u00E9_\u03BB", true}, TNameCase{Times("\u65E5", 255), true},
                      TNameCase{Times("\u65E5", 256), false}, TNameCase{Times("a", 255), true},
                      TNameCase{Times("a", 256), false}));

}  // namespace
}  // namespace kyt::test
