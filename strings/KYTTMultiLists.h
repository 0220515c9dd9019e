// KYTTMultiLists: any number of string lists on a form, typed in at design time, stored with the
// form and read by position at run time.
#ifndef KYT_STRINGS_KYTTMULTILISTS_H
#define KYT_STRINGS_KYTTMULTILISTS_H

#include <string>
#include <vector>

#include "framework/KYTSystem.h"
#include "host/core/Collection.h"
#include "host/core/Strings.h"

namespace kyt {

class TKYTMultiLists;

// One list of the collection. It belongs to a TKYTStringLists owned by a TKYTMultiLists; any
// other collection, or none, is refused with EInvalidCast.
class TKYTStringList : public TCollectionItem {
  KYT_CLASS(TKYTStringList, TCollectionItem)
 public:
  static void Publish(TPublisher<TKYTStringList>& p) {
    p.Property("Strings", &TKYTStringList::Strings, &TKYTStringList::SetStrings);
  }

  explicit TKYTStringList(TCollection* Collection);
  ~TKYTStringList() override;

  // Properties
  // The item's lines, owned; the setter copies the lines given.
  TStrings* Strings() const { return FStrings; }
  void SetStrings(TStrings* value);

  // Methods
  // "Stringlist" for every item, whatever its place or content.
  std::string DisplayName() const override;

 private:
  TStringList* FStrings = nullptr;
};

// A list that carries a flag of the application's own. The collection creates one only when a
// form holds it (an item stored with HasBoolean) or the application asks for it.
class TKYTBetaStringList : public TKYTStringList {
  KYT_CLASS(TKYTBetaStringList, TKYTStringList)
 public:
  static void Publish(TPublisher<TKYTBetaStringList>& p) {
    p.Property("HasBoolean", &TKYTBetaStringList::HasBoolean, &TKYTBetaStringList::SetHasBoolean)
        .Stored(TStored::Always);
  }

  using TKYTStringList::TKYTStringList;

  // Properties
  bool HasBoolean() const { return FHasBoolean; }
  void SetHasBoolean(bool value) { FHasBoolean = value; }

 private:
  bool FHasBoolean = false;
};

// The lists of a TKYTMultiLists, in order; GetOwner is that component.
class TKYTStringLists : public TCollection {
  KYT_CLASS(TKYTStringLists, TCollection)
 public:
  explicit TKYTStringLists(TKYTMultiLists* Owner);

  // Methods
  // Asks the user "Which" (OK or Cancel) and, whatever the answer, adds one plain list. Streaming,
  // Assign and the designer's collection editor add through TCollection::Add and ask nothing.
  // Null when the component (and so this collection) was freed while the box was up.
  TKYTStringList* Add();
  // Item Index as a list; EListError outside 0..Count-1.
  TKYTStringList* GeTKYTStringList(int Index) const;
  // Copies Value into item Index (the item stays, its content is replaced).
  void SeTKYTStringList(int Index, TKYTStringList* Value);
  // An item stored with HasBoolean is read back as a TKYTBetaStringList.
  const TClassInfo& ReadItemClass(const std::vector<std::string>& storedNames) const override;
};

// Keeps any number of string lists with the form, typed in the form designer and read by
// position at run time.
class TKYTMultiLists : public TKYTSystemsComponent {
  KYT_CLASS(TKYTMultiLists, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTMultiLists>& p) {
    // The string lists, each with its own lines, read by position at run time.
    p.Property("Lists", &TKYTMultiLists::Lists, &TKYTMultiLists::SetKYTStringLists);
  }

  explicit TKYTMultiLists(TComponent* AOwner);
  ~TKYTMultiLists() override;

  // Properties
  // Owned; the setter copies the items (and their lines) of the collection given.
  TKYTStringLists* Lists() const { return FLists; }
  void SetKYTStringLists(TKYTStringLists* value);

 private:
  TKYTStringLists* FLists = nullptr;
};

}  // namespace kyt

#endif  // KYT_STRINGS_KYTTMULTILISTS_H
