// Collection: TCollection, an owned list of items of one class, and TCollectionItem.
#ifndef KYT_HOST_CORE_COLLECTION_H
#define KYT_HOST_CORE_COLLECTION_H

#include <string>
#include <vector>

#include "host/core/Persistent.h"

namespace kyt {

class TCollection;

// One item of a collection; inserts itself into the collection it is created for.
class TCollectionItem : public TPersistent {
  KYT_CLASS(TCollectionItem, TPersistent)
 public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item into another collection (or none).
  void SetCollection(TCollection* collection);
  // Position in the collection; -1 without one. SetIndex moves the item.
  int Index() const;
  void SetIndex(int index);
  // Unique within the collection, given on insertion.
  int ID() const { return FID; }
  // Text shown by editors: the class name unless set.
  virtual std::string DisplayName() const;
  virtual void SetDisplayName(const std::string& name);
  // An item of the same line of classes (either may be the descendant): copies the published
  // properties both have; otherwise as TPersistent.
  void Assign(const TPersistent* source) override;
  TPersistent* GetOwner() const override;

 protected:
  // Tells the collection that this item changed (all items when allItems).
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
  std::string FDisplayName;
};

class TCollection : public TPersistent {
  KYT_CLASS(TCollection, TPersistent)
 public:
  // itemClass must be a TCollectionItem descendant with a TCollection* constructor.
  explicit TCollection(const TClassInfo& itemClass, TPersistent* owner = nullptr);
  ~TCollection() override;

  // Creates an item of ItemClass at the end (no other side effect).
  TCollectionItem* Add();
  // Creates an item of itemClass, ItemClass or a descendant of it, at the end; another class
  // raises EInvalidCast.
  TCollectionItem* AddOfClass(const TClassInfo& itemClass);
  // The class of an item a form file holds, told by the names of its stored properties. A
  // collection whose items may be of several classes chooses here; the default is ItemClass.
  virtual const TClassInfo& ReadItemClass(const std::vector<std::string>& storedNames) const;
  // Creates an item at index.
  TCollectionItem* Insert(int index);
  // Deletes the item; EListError when index is out of range.
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // EListError when index is out of range.
  TCollectionItem* Items(int index) const;
  TCollectionItem* FindItemID(int id) const;
  const TClassInfo& ItemClass() const { return *FItemClass; }
  TPersistent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }

  // A collection: replaces the items with copies of its items, each of its item's class where
  // ItemClass allows it (else of ItemClass) and copied by Assign.
  void Assign(const TPersistent* source) override;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

 protected:
  // Told when item (null: the whole collection) changed, outside BeginUpdate/EndUpdate.
  virtual void Update(TCollectionItem* item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void CheckIndex(int index) const;

  const TClassInfo* FItemClass;
  TPersistent* FOwner;
  std::vector<TCollectionItem*> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};

// A collection of T items with typed access; TKYTItems : public TOwnedCollection<TKYTItem>.
template <class T>
class TOwnedCollection : public TCollection {
 public:
  explicit TOwnedCollection(TPersistent* owner) : TCollection(T::StaticClass(), owner) {}
  T* Add() { return static_cast<T*>(TCollection::Add()); }
  T* Insert(int index) { return static_cast<T*>(TCollection::Insert(index)); }
  T* Items(int index) const { return static_cast<T*>(TCollection::Items(index)); }
};

}  // namespace kyt

#endif
