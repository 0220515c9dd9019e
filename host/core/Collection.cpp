// Collection: item lifetime, order and copying of TCollection and TCollectionItem.
#include "host/core/Collection.h"

#include <algorithm>

namespace kyt {

// ---- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
  if (FCollection == collection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || current == index) return;
  auto& items = FCollection->FItems;
  index = std::clamp(index, 0, static_cast<int>(items.size()) - 1);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  Changed(true);
}

std::string TCollectionItem::DisplayName() const { return FDisplayName.empty() ? ClassName() : FDisplayName; }

void TCollectionItem::SetDisplayName(const std::string& name) { FDisplayName = name; }

// Items of one line of classes copy what they publish in common, whichever is the descendant:
// a plain item copied into a flagged one gives its lines and leaves the flag.
void TCollectionItem::Assign(const TPersistent* source) {
  if (source && (source->InheritsFrom(ClassType()) || InheritsFrom(source->ClassType()))) {
    CopyPublishedProperties(*source, *this);
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->UpdateCount() == 0) FCollection->Update(allItems ? nullptr : this);
}

// ---- TCollection

TCollection::TCollection(const TClassInfo& itemClass, TPersistent* owner) : FItemClass(&itemClass), FOwner(owner) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no Update calls into a half-destroyed owner
  Clear();
}

TCollectionItem* TCollection::Add() { return AddOfClass(*FItemClass); }

TCollectionItem* TCollection::AddOfClass(const TClassInfo& itemClass) {
  if (!itemClass.InheritsFrom(*FItemClass))
    throw EInvalidCast("Invalid class typecast: " + itemClass.Name() + " is not a " + FItemClass->Name());
  TCollectionItem* item = itemClass.CreateItem(this);
  if (item->Collection() != this) item->SetCollection(this);
  return item;
}

const TClassInfo& TCollection::ReadItemClass(const std::vector<std::string>&) const { return *FItemClass; }

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TCollection::Delete(int index) {
  CheckIndex(index);
  delete FItems[static_cast<size_t>(index)];
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

TCollectionItem* TCollection::Items(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == id) return item;
  return nullptr;
}

void TCollection::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TCollection*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    // Each copy is of its source item's class where this collection may hold it, as a form file
    // read would make it: copying and the form file agree.
    for (TCollectionItem* item : other->FItems) {
      const TClassInfo& cls = item->ClassType().InheritsFrom(*FItemClass) ? item->ClassType() : *FItemClass;
      AddOfClass(cls)->Assign(item);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it != FItems.end()) FItems.erase(it);
  item->FCollection = nullptr;
  Changed();
}

}  // namespace kyt
