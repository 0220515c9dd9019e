// Tests of TCollection/TCollectionItem: item class, order, typed access, Assign, owners.
#include "host/core/Collection.h"

#include <gtest/gtest.h>

#include "tests/core/TestComponents.h"

namespace kyt::test {
namespace {

std::vector<std::string> Captions(const TTestItems& items) {
  std::vector<std::string> out;
  for (int i = 0; i < items.Count(); ++i) out.push_back(items.Items(i)->Caption());
  return out;
}

TEST(Collection, AddCreatesItemsOfTheItemClass) {
  TTestItems items(nullptr);
  TTestItem* item = items.Add();
  EXPECT_EQ(items.Count(), 1);
  EXPECT_EQ(&items.ItemClass(), &TTestItem::StaticClass());
  EXPECT_EQ(item->Collection(), &items);
  EXPECT_EQ(item->ClassName(), "TTestItem");
  EXPECT_EQ(items.Items(0), item);
}

TEST(Collection, InsertDeleteAndIndex) {
  TTestItems items(nullptr);
  items.Add()->SetCaption("a");
  items.Add()->SetCaption("c");
  items.Insert(1)->SetCaption("b");
  EXPECT_EQ(Captions(items), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(items.Items(2)->Index(), 2);
  items.Items(0)->SetIndex(2);
  EXPECT_EQ(Captions(items), (std::vector<std::string>{"b", "c", "a"}));
  items.Delete(1);
  EXPECT_EQ(Captions(items), (std::vector<std::string>{"b", "a"}));
  EXPECT_THROW(items.Delete(2), EListError);
  EXPECT_THROW(items.Items(-1), EListError);
  EXPECT_THROW(items.Insert(5), EListError);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
}

TEST(Collection, DeletingAnItemRemovesItFromItsCollection) {
  TTestItems items(nullptr);
  TTestItem* first = items.Add();
  items.Add()->SetCaption("second");
  delete first;
  ASSERT_EQ(items.Count(), 1);
  EXPECT_EQ(items.Items(0)->Caption(), "second");
}

TEST(Collection, ItemIdsAreUniqueAndFindable) {
  TTestItems items(nullptr);
  TTestItem* a = items.Add();
  TTestItem* b = items.Add();
  EXPECT_NE(a->ID(), b->ID());
  EXPECT_EQ(items.FindItemID(b->ID()), b);
  delete a;
  EXPECT_NE(items.Add()->ID(), b->ID());
}

TEST(Collection, AssignCopiesItemsAndTheirProperties) {
  TTestItems source(nullptr), dest(nullptr);
  TTestItem* item = source.Add();
  item->SetCaption("first");
  item->SetWeight(3);
  source.Add()->SetCaption("second");
  dest.Add()->SetCaption("old");
  dest.Assign(&source);
  ASSERT_EQ(dest.Count(), 2);
  EXPECT_EQ(Captions(dest), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(dest.Items(0)->Weight(), 3);
  EXPECT_NE(dest.Items(0), source.Items(0));
}

TEST(Collection, AssignFromAnotherClassRaises) {
  TTestItems items(nullptr);
  TStringList list;
  EXPECT_THROW(items.Assign(&list), EConvertError);
  TTestItem* item = items.Add();
  EXPECT_THROW(item->Assign(&list), EConvertError);
}

TEST(Collection, OwnersFormAChain) {
  TTestComponent owner(nullptr);
  TTestItem* item = owner.Items()->Add();
  EXPECT_EQ(item->GetOwner(), owner.Items());
  EXPECT_EQ(owner.Items()->GetOwner(), &owner);
  EXPECT_EQ(owner.Items()->Owner(), &owner);
}

TEST(Collection, DisplayNameDefaultsToTheClassName) {
  TTestItems items(nullptr);
  TTestItem* item = items.Add();
  EXPECT_EQ(item->DisplayName(), "TTestItem");
  item->SetDisplayName("Shown");
  EXPECT_EQ(item->DisplayName(), "Shown");
}

TEST(Collection, ItemsWithoutACollectionStandAlone) {
  TTestItem loose(nullptr);
  EXPECT_EQ(loose.Index(), -1);
  EXPECT_EQ(loose.GetOwner(), nullptr);
  TTestItems items(nullptr);
  auto* moved = new TTestItem(nullptr);
  moved->SetCollection(&items);
  EXPECT_EQ(items.Count(), 1);
}

}  // namespace
}  // namespace kyt::test
