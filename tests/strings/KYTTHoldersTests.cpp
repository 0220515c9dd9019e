// Tests of the string and joke holders: the built-in lines, the picks and the form files.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/core/FormFile.h"
#include "host/rtl/Random.h"
#include "host/vcl/Forms.h"
#include "strings/KYTTHolders.h"
#include "tests/support/DesignToolRun.h"

namespace kyt {
namespace {

class THoldersTestForm : public TForm {
  KYT_CLASS(THoldersTestForm, TForm)
 public:
  explicit THoldersTestForm(TComponent* owner) : TForm(owner) {}
};

const bool kFormRegistered = [] {
  RegisterClass(THoldersTestForm::StaticClass());
  return true;
}();

TEST(JokeHolder, StartsWithSixtyTwoDistinctPlainOneLiners) {
  TKYTJokeHolder jokes(nullptr);
  ASSERT_EQ(jokes.Items()->Count(), 62);
  std::set<std::string> seen;
  for (int i = 0; i < jokes.Items()->Count(); ++i) {
    const std::string line = jokes.Items()->Strings(i);
    EXPECT_GE(line.size(), 16u) << line;
    EXPECT_LE(line.size(), 102u) << line;
    for (unsigned char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "not plain ASCII: " << line;
    EXPECT_TRUE(seen.insert(line).second) << "twice: " << line;
  }
  EXPECT_EQ(seen.count("E Pluribus Modem"), 1u);
  EXPECT_EQ(seen.count("Does fuzzy logic tickle?"), 1u);
}

TEST(JokeHolder, GetoneGivesALineByIndexAndEmptyOutside) {
  TKYTJokeHolder jokes(nullptr);
  EXPECT_EQ(jokes.Getone(0), kKYTJokes[0]);
  EXPECT_EQ(jokes.Getone(61), kKYTJokes[61]);
  EXPECT_EQ(jokes.Getone(62), "");
  EXPECT_EQ(jokes.Getone(-1), "");
  TStringList mine;
  mine.Add("only");
  jokes.SetStrings(&mine);
  EXPECT_EQ(jokes.Getone(0), "only");
  EXPECT_EQ(jokes.Getone(1), "");
  mine.Add("later");
  EXPECT_EQ(jokes.Items()->Count(), 1) << "the setter copies the lines";
}

TEST(JokeHolder, GetanyPicksALineAndReseedsTheSharedGenerator) {
  TKYTJokeHolder jokes(nullptr);
  std::set<std::string> all;
  for (int i = 0; i < jokes.Items()->Count(); ++i) all.insert(jokes.Items()->Strings(i));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(all.count(jokes.Getany()), 1u);

  jokes.Items()->Clear();
  RandSeed = 12345;
  EXPECT_EQ(jokes.Getany(), "");
  EXPECT_NE(RandSeed, 12345u) << "an empty holder still re-seeds from the clock";
}

TEST(Holders, AFormStoresTheLinesAndAnEmptyJokeListStaysEmpty) {
  THoldersTestForm form(nullptr);
  form.SetName("HoldersForm");
  auto* strings = new TKYTStringHolder(&form);
  strings->SetName("Strings1");
  auto* jokes = new TKYTJokeHolder(&form);
  jokes->SetName("Jokes1");
  auto* cleared = new TKYTJokeHolder(&form);
  cleared->SetName("Jokes2");
  EXPECT_EQ(strings->Items()->Count(), 0);
  strings->Items()->SetText("alpha\r\nbeta\r\n");
  jokes->Items()->Delete(0);
  cleared->Items()->Clear();
  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("Items.Strings = ()"), std::string::npos) << text;
  EXPECT_EQ(text.find(kKYTJokes[0]), std::string::npos) << "the deleted first line came back\n" << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;

  THoldersTestForm loaded(nullptr);
  ReadRootText(loaded, text, "holders.kfm");
  auto* strings2 = ObjectCast<TKYTStringHolder>(loaded.FindComponent("Strings1"));
  auto* jokes2 = ObjectCast<TKYTJokeHolder>(loaded.FindComponent("Jokes1"));
  auto* cleared2 = ObjectCast<TKYTJokeHolder>(loaded.FindComponent("Jokes2"));
  ASSERT_TRUE(strings2 && jokes2 && cleared2);
  EXPECT_EQ(strings2->Items()->Text(), "alpha\r\nbeta\r\n");
  EXPECT_EQ(jokes2->Items()->Count(), 61);
  EXPECT_EQ(jokes2->Getone(0), kKYTJokes[1]);
  EXPECT_EQ(cleared2->Items()->Count(), 0);
  EXPECT_EQ(WriteComponentText(loaded), text);

  // An empty string holder stores no Items (it starts empty anyway).
  strings2->Items()->Clear();
  const std::string emptied = WriteComponentText(loaded);
  const size_t block = emptied.find("object Strings1: TKYTStringHolder");
  ASSERT_NE(block, std::string::npos);
  EXPECT_GT(emptied.find("Items", block), emptied.find("end", block)) << emptied;
}

TEST(HoldersInDesignTool, AddInspectAndSet) {
  ASSERT_TRUE(DesignToolRun::ToolBuilt()) << DesignToolRun::ToolPath();
  DesignToolRun tool("holders");
  ASSERT_TOOL_OK(tool.Run({"new", "Unit1.kfm"}));
  ASSERT_TOOL_OUT(tool.Run({"add", "Unit1.kfm", "TKYTStringHolder"}), "StringHolder1\n");
  ASSERT_TOOL_OUT(tool.Run({"add", "Unit1.kfm", "TKYTJokeHolder"}), "JokeHolder1\n");
  ASSERT_TOOL_OK(tool.Run({"set", "Unit1.kfm", "StringHolder1.Items", "typed in"}));
  const auto inspect = tool.Run({"inspect", "Unit1.kfm", "JokeHolder1"});
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "Items"), "Items = (TStringList)  (read-only)") << inspect.Out;
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "About"), "About = (KYT System Components)  (read-only)");
  const std::string text = tool.ReadText("Unit1.kfm");
  EXPECT_NE(text.find("'typed in'"), std::string::npos) << text;
  EXPECT_NE(text.find("'E Pluribus Modem'"), std::string::npos) << "a new joke holder stores its lines\n" << text;
}

}  // namespace
}  // namespace kyt
