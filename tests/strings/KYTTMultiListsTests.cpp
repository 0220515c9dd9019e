// Tests of the string-list collection: the "Which" box of Add (answered on the real window),
// typed access, copying, the item's collection check and form files with both item classes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/core/FormFile.h"
#include "host/vcl/Forms.h"
#include "strings/KYTTMultiLists.h"
#include "tests/support/DesignToolRun.h"
#include "tests/support/DialogAnswerer.h"

namespace kyt {
namespace {

class TListsTestForm : public TForm {
  KYT_CLASS(TListsTestForm, TForm)
 public:
  explicit TListsTestForm(TComponent* owner) : TForm(owner) {}
};

const bool kFormRegistered = [] {
  RegisterClass(TListsTestForm::StaticClass());
  return true;
}();

// Adds an item through the inherited add, as streaming and the designer do (no box).
TKYTStringList* AddQuietly(TKYTStringLists& lists) {
  return static_cast<TKYTStringList*>(static_cast<TCollection&>(lists).Add());
}

TKYTStringList* AddLines(TKYTStringLists& lists, const std::string& text) {
  TKYTStringList* item = AddQuietly(lists);
  item->Strings()->SetText(text);
  return item;
}

std::string LinesOf(TKYTStringLists& lists, int index) {
  return lists.GeTKYTStringList(index)->Strings()->Text();
}

TEST(MultiLists, AddAsksWhichOnceAndAddsOneListWhateverTheAnswer) {
  TKYTMultiLists multi(nullptr);
  for (const char* button : {"OK", "Cancel"}) {
    DialogAnswerer answer(Press(button));
    TKYTStringList* item = multi.Lists()->Add();
    EXPECT_TRUE(answer.Answered()) << answer.FailureReason();
    EXPECT_EQ(answer.SeenTitle(), "Which");
    EXPECT_EQ(answer.SeenText(), "Which");
    EXPECT_EQ(answer.SeenButtons().size(), 2u);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ClassName(), "TKYTStringList");
    EXPECT_EQ(item->Collection(), multi.Lists());
  }
  EXPECT_EQ(multi.Lists()->Count(), 2);
}

TEST(MultiLists, TypedAccessCopiesAndChecksTheIndex) {
  TKYTMultiLists multi(nullptr);
  TKYTStringLists& lists = *multi.Lists();
  TKYTStringList* first = AddLines(lists, "a\r\nb\r\n");
  AddLines(lists, "c\r\n");
  EXPECT_EQ(lists.GeTKYTStringList(0), first);
  EXPECT_EQ(lists.GetOwner(), &multi);
  EXPECT_EQ(first->DisplayName(), "Stringlist");
  EXPECT_EQ(lists.GeTKYTStringList(1)->DisplayName(), "Stringlist");

  lists.SeTKYTStringList(0, lists.GeTKYTStringList(1));
  EXPECT_EQ(lists.GeTKYTStringList(0), first) << "the item stays; its content is replaced";
  EXPECT_EQ(LinesOf(lists, 0), "c\r\n");
  lists.GeTKYTStringList(1)->Strings()->Add("d");
  EXPECT_EQ(LinesOf(lists, 0), "c\r\n") << "the lines were copied, not shared";

  EXPECT_THROW(lists.GeTKYTStringList(2), EListError);
  EXPECT_THROW(lists.GeTKYTStringList(-1), EListError);
  EXPECT_THROW(lists.SeTKYTStringList(2, first), EListError);
}

TEST(MultiLists, AnItemOutsideTheListsOfAComponentIsRefused) {
  EXPECT_THROW(TKYTStringList(nullptr), EInvalidCast);
  TCollection plain(TKYTStringList::StaticClass());
  EXPECT_THROW(plain.Add(), EInvalidCast);
  EXPECT_EQ(plain.Count(), 0) << "a refused item leaves nothing behind";
  TKYTStringLists ownerless(nullptr);
  EXPECT_THROW(static_cast<TCollection&>(ownerless).Add(), EInvalidCast);
  EXPECT_EQ(ownerless.Count(), 0);
}

TEST(MultiLists, AssigningListsCopiesItemsAndLines) {
  TKYTMultiLists source(nullptr), copy(nullptr);
  AddLines(*source.Lists(), "one\r\n");
  AddLines(*source.Lists(), "two\r\nthree\r\n");
  AddLines(*copy.Lists(), "old\r\n");
  copy.SetKYTStringLists(source.Lists());
  ASSERT_EQ(copy.Lists()->Count(), 2);
  EXPECT_EQ(LinesOf(*copy.Lists(), 1), "two\r\nthree\r\n");
  source.Lists()->GeTKYTStringList(0)->Strings()->SetText("changed");
  source.Lists()->Delete(1);
  EXPECT_EQ(LinesOf(*copy.Lists(), 0), "one\r\n");
  EXPECT_EQ(copy.Lists()->Count(), 2);
}

TEST(MultiLists, FlaggedItemsCopyAsTheFormFileKeepsThem) {
  TKYTMultiLists source(nullptr);
  AddLines(*source.Lists(), "plain\r\n");
  auto* flagged = static_cast<TKYTBetaStringList*>(source.Lists()->AddOfClass(TKYTBetaStringList::StaticClass()));
  flagged->Strings()->SetText("flagged");
  flagged->SetHasBoolean(true);

  // A plain list copied into a flagged item gives its lines; the item keeps its class and flag.
  source.Lists()->SeTKYTStringList(1, source.Lists()->GeTKYTStringList(0));
  EXPECT_EQ(LinesOf(*source.Lists(), 1), "plain\r\n");
  EXPECT_TRUE(flagged->HasBoolean());
  flagged->Strings()->SetText("flagged");

  // The whole collection copies each item with its class, as writing and reading a form does.
  TKYTMultiLists copy(nullptr);
  copy.SetKYTStringLists(source.Lists());
  ASSERT_EQ(copy.Lists()->Count(), 2);
  const auto* copied = dynamic_cast<TKYTBetaStringList*>(copy.Lists()->GeTKYTStringList(1));
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->HasBoolean());
  EXPECT_EQ(LinesOf(*copy.Lists(), 1), "flagged\r\n");
  EXPECT_EQ(dynamic_cast<TKYTBetaStringList*>(copy.Lists()->GeTKYTStringList(0)), nullptr);
}

TEST(MultiLists, AFormReadsBackEveryListInOrderWithoutAsking) {
  TListsTestForm form(nullptr);
  form.SetName("ListsForm");
  auto* multi = new TKYTMultiLists(&form);
  multi->SetName("Lists1");
  AddLines(*multi->Lists(), "first line\r\nsecond line\r\n");
  AddLines(*multi->Lists(), "");
  AddLines(*multi->Lists(), "it's third\r\n");
  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("Strings.Strings = (\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("About"), std::string::npos) << text;

  DialogAnswerer noBox(Press("OK").Timeout(300));
  TListsTestForm loaded(nullptr);
  ReadRootText(loaded, text, "lists.kfm");
  noBox.Wait(300);
  EXPECT_FALSE(noBox.Answered()) << "reading a form showed a box";
  auto* back = ObjectCast<TKYTMultiLists>(loaded.FindComponent("Lists1"));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Lists()->Count(), 3);
  EXPECT_EQ(LinesOf(*back->Lists(), 0), "first line\r\nsecond line\r\n");
  EXPECT_EQ(LinesOf(*back->Lists(), 1), "");
  EXPECT_EQ(LinesOf(*back->Lists(), 2), "it's third\r\n");
  EXPECT_EQ(WriteComponentText(loaded), text);
}

TEST(MultiLists, AFormHoldingAFlaggedListReadsBackWhole) {
  TListsTestForm form(nullptr);
  form.SetName("ListsForm");
  auto* multi = new TKYTMultiLists(&form);
  multi->SetName("Lists1");
  AddLines(*multi->Lists(), "plain\r\n");
  auto* flagged = static_cast<TKYTBetaStringList*>(
      multi->Lists()->AddOfClass(TKYTBetaStringList::StaticClass()));
  flagged->Strings()->SetText("flagged\r\n");
  auto* unflagged = static_cast<TKYTBetaStringList*>(
      multi->Lists()->AddOfClass(TKYTBetaStringList::StaticClass()));
  flagged->SetHasBoolean(true);
  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("HasBoolean = True"), std::string::npos) << text;
  EXPECT_NE(text.find("HasBoolean = False"), std::string::npos) << "always stored\n" << text;
  (void)unflagged;

  TListsTestForm loaded(nullptr);
  ASSERT_NO_THROW(ReadRootText(loaded, text, "flagged.kfm"));
  auto* back = ObjectCast<TKYTMultiLists>(loaded.FindComponent("Lists1"));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Lists()->Count(), 3);
  EXPECT_EQ(back->Lists()->GeTKYTStringList(0)->ClassName(), "TKYTStringList");
  auto* first = dynamic_cast<TKYTBetaStringList*>(back->Lists()->GeTKYTStringList(1));
  auto* second = dynamic_cast<TKYTBetaStringList*>(back->Lists()->GeTKYTStringList(2));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(first->HasBoolean());
  EXPECT_FALSE(second->HasBoolean());
  EXPECT_EQ(LinesOf(*back->Lists(), 1), "flagged\r\n");
  EXPECT_EQ(WriteComponentText(loaded), text);
}

TEST(MultiListsInDesignTool, AddInspectAndSetWithoutAsking) {
  ASSERT_TRUE(DesignToolRun::ToolBuilt()) << DesignToolRun::ToolPath();
  DesignToolRun tool("multilists");
  ASSERT_TOOL_OK(tool.Run({"new", "Unit1.kfm"}));
  ASSERT_TOOL_OUT(tool.Run({"add", "Unit1.kfm", "TKYTMultiLists"}), "MultiLists1\n");
  // The collection editor adds two lists; a box would keep the tool from ending.
  const auto added = tool.Run({"set", "Unit1.kfm", "MultiLists1.Lists", "2"});
  ASSERT_EQ(added.ExitCode, 0u) << added.Err;
  ASSERT_TOOL_OK(tool.Run({"set", "Unit1.kfm", "MultiLists1.Lists[1].Strings", "second list"}));
  const auto inspect = tool.Run({"inspect", "Unit1.kfm", "MultiLists1"});
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "Lists[0]"), "Lists[0] = 0 - Stringlist  (read-only)") << inspect.Out;
  EXPECT_EQ(DesignToolRun::InspectLine(inspect.Out, "Lists[1]"), "Lists[1] = 1 - Stringlist  (read-only)") << inspect.Out;

  TListsTestForm loaded(nullptr);
  // The tool's form is a TForm1; the runtime reads it into a form class of this test.
  std::string text = tool.ReadText("Unit1.kfm");
  const size_t root = text.find(": TForm1");
  ASSERT_NE(root, std::string::npos) << text;
  text.replace(root, 8, ": TListsTestForm");
  ReadRootText(loaded, text, "Unit1.kfm");
  auto* back = ObjectCast<TKYTMultiLists>(loaded.FindComponent("MultiLists1"));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Lists()->Count(), 2);
  EXPECT_EQ(LinesOf(*back->Lists(), 1), "second list\r\n");
}

}  // namespace
}  // namespace kyt
