// Tests of TCollection/TCollectionItem: item class, order, typed access, Assign, owners.
#include "host/core/Collection.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/core/FormFile.h"

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

// A collection whose items are of two classes: an item stored with Flag is a TFlaggedItem.
class TFlaggedItem : public TTestItem {
  KYT_CLASS(TFlaggedItem, TTestItem)
 public:
  static void Publish(TPublisher<TFlaggedItem>& p) {
    p.Property("Flag", &TFlaggedItem::Flag, &TFlaggedItem::SetFlag);
  }
  using TTestItem::TTestItem;
  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }

 private:
  bool FFlag = false;
};

class TMixedItems : public TTestItems {
  KYT_CLASS(TMixedItems, TTestItems)
 public:
  using TTestItems::TTestItems;
  const TClassInfo& ReadItemClass(const std::vector<std::string>& storedNames) const override {
    for (const std::string& name : storedNames)
      if (name == "Flag") return TFlaggedItem::StaticClass();
    return ItemClass();
  }
};

class TMixedHolder : public TComponent {
  KYT_CLASS(TMixedHolder, TComponent)
 public:
  static void Publish(TPublisher<TMixedHolder>& p) {
    p.Property("Items", &TMixedHolder::Items, &TMixedHolder::SetItems);
  }
  using TComponent::TComponent;
  TMixedItems* Items() const { return FItems.get(); }
  void SetItems(const TMixedItems* v) { FItems->Assign(v); }

 private:
  std::unique_ptr<TMixedItems> FItems = std::make_unique<TMixedItems>(this);
};

TEST(Collection, AddOfClassTakesDescendantsOfTheItemClassOnly) {
  TTestItems items(nullptr);
  EXPECT_EQ(items.AddOfClass(TFlaggedItem::StaticClass())->ClassName(), "TFlaggedItem");
  EXPECT_THROW(items.AddOfClass(TTestInner::StaticClass()), EInvalidCast);
  EXPECT_EQ(items.Count(), 1);
}

TEST(Collection, AFormFileReadsBackItemsOfTheClassTheCollectionChooses) {
  RegisterClass(TMixedHolder::StaticClass());
  TMixedHolder source(nullptr);
  source.SetName("Holder");
  source.Items()->Add()->SetCaption("plain");
  auto* flagged = static_cast<TFlaggedItem*>(source.Items()->AddOfClass(TFlaggedItem::StaticClass()));
  flagged->SetCaption("flagged");
  flagged->SetFlag(true);
  const std::string text = WriteComponentText(source);
  ASSERT_NE(text.find("Flag = True"), std::string::npos) << text;

  std::unique_ptr<TComponent> read(ReadComponentText(text, "mixed.kfm", nullptr));
  auto* holder = dynamic_cast<TMixedHolder*>(read.get());
  ASSERT_NE(holder, nullptr);
  ASSERT_EQ(holder->Items()->Count(), 2);
  EXPECT_EQ(holder->Items()->Items(0)->ClassName(), "TTestItem");
  auto* back = dynamic_cast<TFlaggedItem*>(holder->Items()->Items(1));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Caption(), "flagged");
  EXPECT_TRUE(back->Flag());
  EXPECT_EQ(WriteComponentText(*holder), text);
}

}  // namespace
}  // namespace kyt::test
