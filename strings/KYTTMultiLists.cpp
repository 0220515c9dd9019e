// KYTTMultiLists: the collection of string lists, its items and the component that owns it.
#include "strings/KYTTMultiLists.h"

#include "host/core/ComponentRef.h"

#include "host/core/TypeInfo.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClasses({&TKYTMultiLists::StaticClass(), &TKYTStringList::StaticClass(),
                   &TKYTBetaStringList::StaticClass()});
  return true;
}();

// Whether collection is a list collection owned by a multi-lists component.
bool IsListsOfAComponent(TCollection* collection) {
  auto* lists = dynamic_cast<TKYTStringLists*>(collection);
  return lists && dynamic_cast<TKYTMultiLists*>(lists->GetOwner());
}

}  // namespace

// ---- TKYTStringList

TKYTStringList::TKYTStringList(TCollection* Collection) : inherited(Collection) {
  // Thrown after the base inserted the item: its destructor takes it out again.
  if (!IsListsOfAComponent(Collection))
    throw EInvalidCast("Invalid class typecast: a string list belongs to the lists of a "
                       "TKYTMultiLists");
  FStrings = new TStringList();
}

TKYTStringList::~TKYTStringList() { delete FStrings; }

void TKYTStringList::SetStrings(TStrings* value) {
  if (value != FStrings) FStrings->Assign(value);
}

std::string TKYTStringList::DisplayName() const { return "Stringlist"; }

// ---- TKYTStringLists

TKYTStringLists::TKYTStringLists(TKYTMultiLists* Owner)
    : TCollection(TKYTStringList::StaticClass(), Owner) {}

TKYTStringList* TKYTStringLists::Add() {
  // A message handled while the box is up may free the component, and with it this collection.
  const TComponentRef<TComponent> holder(dynamic_cast<TComponent*>(GetOwner()));
  const bool held = static_cast<bool>(holder);
  Application->MessageBox("Which", "Which", MB_OKCANCEL);
  if (held && !holder) return nullptr;
  return static_cast<TKYTStringList*>(TCollection::Add());
}

TKYTStringList* TKYTStringLists::GeTKYTStringList(int Index) const {
  return static_cast<TKYTStringList*>(Items(Index));
}

void TKYTStringLists::SeTKYTStringList(int Index, TKYTStringList* Value) {
  Items(Index)->Assign(Value);
}

const TClassInfo& TKYTStringLists::ReadItemClass(
    const std::vector<std::string>& storedNames) const {
  for (const std::string& name : storedNames)
    if (core::SameText(name, "HasBoolean")) return TKYTBetaStringList::StaticClass();
  return ItemClass();
}

// ---- TKYTMultiLists

TKYTMultiLists::TKYTMultiLists(TComponent* AOwner) : inherited(AOwner) {
  FLists = new TKYTStringLists(this);
}

TKYTMultiLists::~TKYTMultiLists() {
  delete FLists;
  FLists = nullptr;
}

void TKYTMultiLists::SetKYTStringLists(TKYTStringLists* value) {
  if (value != FLists) FLists->Assign(value);
}

}  // namespace kyt
