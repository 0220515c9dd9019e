// Component: ownership, names, notifications and destruction order of TComponent.
#include "host/core/Component.h"

#include <algorithm>

namespace kyt {

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && !core::IsValidName(name))
    throw EComponentError("'" + name + "' is not a valid component name");
  if (FOwner) FOwner->ValidateRename(this, FName, name);
  else ValidateRename(nullptr, FName, name);
  if (!FOwner) {
    FName = name;
    return;
  }
  FOwner->UnindexName(this);
  FName = name;
  FOwner->IndexName(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (!FOwner) return;
  auto& list = FOwner->FComponents;
  const int current = ComponentIndex();
  index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
  if (current < 0 || current == index) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
  FOwner->RebuildListeners();
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  auto it = FNameIndex.find(name);
  return it == FNameIndex.end() ? nullptr : it->second;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) return;
  if (component->FOwner == this) return;
  // Validate first, so a refused component stays with its previous owner.
  ValidateInsert(component);
  ValidateRename(component, std::string(), component->FName);
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  Insert(component);
  if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::DestroyComponents() {
  // Take each one out before deleting it, so a destructor that frees a sibling is safe. Only a
  // component that asked for free notification is announced to the others, which are going too.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    last->BeforeDestruction();
    if (last->FComponentState.Contains(csFreeNotification)) RemoveComponent(last);
    else Remove(last);
    delete last;
  }
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
  IndexName(component);
  // Its class is not known yet (it may still be in its base constructor): it listens until a
  // later notification finds it without reason to.
  FListeners.push_back(component);
  component->FListening = true;
  if (FComponents.size() == 1 && FOwner) FOwner->Listen(this);
}

void TComponent::Remove(TComponent* component) {
  // Searched from the end: components mostly go last-first.
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), component);
  if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
  UnindexName(component);
  if (component->FListening) {
    auto listener = std::find(FListeners.rbegin(), FListeners.rend(), component);
    if (listener != FListeners.rend()) FListeners.erase(std::next(listener).base());
    component->FListening = false;
  }
  component->FOwner = nullptr;
}

void TComponent::IndexName(TComponent* component) {
  if (!component->FName.empty()) FNameIndex.emplace(component->FName, component);
}

void TComponent::UnindexName(TComponent* component) {
  if (component->FName.empty()) return;
  auto it = FNameIndex.find(component->FName);
  if (it != FNameIndex.end() && it->second == component) FNameIndex.erase(it);
}

bool TComponent::ReactsToNotification() const {
  return ClassType().OverridesNotification() || !FComponents.empty() || !FFreeNotifies.empty();
}

void TComponent::Listen(TComponent* component) {
  if (component->FListening) return;
  component->FListening = true;
  if (!FComponents.empty() && FComponents.back() == component) FListeners.push_back(component);
  else RebuildListeners();
}

void TComponent::RebuildListeners() {
  FListeners.clear();
  for (TComponent* c : FComponents)
    if (c->FListening) FListeners.push_back(c);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  SetComponentState(csDesigning, value);
  if (!setChildren) return;
  for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetComponentState(TComponentStateFlag flag, bool on) {
  if (on) FComponentState.Include(flag);
  else FComponentState.Exclude(flag);
}

void TComponent::BeforeDestruction() { Destroying(); }

void FreeComponent(TComponent* component) {
  if (!component) return;
  component->BeforeDestruction();
  delete component;
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  // Components of one owner hear of each other through the owner already.
  if (!FOwner || component->FOwner != FOwner) {
    AddFreeNotifyLink(component);
    component->AddFreeNotifyLink(this);
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveFreeNotifyLink(component);
  component->RemoveFreeNotifyLink(this);
}

void TComponent::AddFreeNotifyLink(TComponent* component) {
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) != FFreeNotifies.end()) return;
  FFreeNotifies.push_back(component);
  if (FFreeNotifies.size() == 1 && FOwner) FOwner->Listen(this);
}

void TComponent::RemoveFreeNotifyLink(TComponent* component) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
  if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::RemoveFreeNotifications() {
  // Each client is unlinked before it is told, so a client that frees itself is harmless.
  while (!FFreeNotifies.empty()) {
    TComponent* client = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    client->RemoveFreeNotifyLink(this);
    client->Notification(this, opRemove);
  }
}

TPersistent* TComponent::GetOwner() const { return FOwner; }

void TComponent::GetChildren(std::vector<TComponent*>& children, const TComponent& root) const {
  if (&root != this) return;
  for (TComponent* c : FComponents)
    if (!c->HasParent()) children.push_back(c);
}

void TComponent::SetParentComponent(TComponent*) {}

TComponent* TComponent::GetParentComponent() const { return nullptr; }

bool TComponent::HasParent() const { return false; }

void TComponent::SetChildOrder(TComponent* child, TComponent* place) {
  if (!child || !place || child == place || child->FOwner != place->FOwner) return;
  if (child->HasParent() || place->HasParent()) return;
  child->SetComponentIndex(place->ComponentIndex());
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  // Links are mutual: with an empty list of its own this one has none to drop.
  if (operation == opRemove && component && !FFreeNotifies.empty()) RemoveFreeNotification(component);
  // Last to first; a component told of a removal may free itself or a sibling, so the index
  // is kept within the list as it shrinks. One without reason to react leaves the listeners,
  // except the component inserted now, which may still be in its base constructor. (A base
  // constructor that makes its owner notify again is judged by the class built so far.)
  size_t i = FListeners.size();
  while (i > 0) {
    --i;
    if (i < FListeners.size()) {
      TComponent* c = FListeners[i];
      if (c == component || c->ReactsToNotification()) {
        c->Notification(component, operation);
      } else {
        FListeners.erase(FListeners.begin() + static_cast<std::ptrdiff_t>(i));
        c->FListening = false;
      }
    }
    if (i > FListeners.size()) i = FListeners.size();
  }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName) {
  (void)curName;
  if (!component) return;
  TComponent* existing = FindComponent(newName);
  if (existing && existing != component) throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::ValidateInsert(TComponent*) {}

}  // namespace kyt
