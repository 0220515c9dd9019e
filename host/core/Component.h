// Component: TComponent, the owned, named, streamable object every component derives from.
#ifndef KYT_HOST_CORE_COMPONENT_H
#define KYT_HOST_CORE_COMPONENT_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Persistent.h"
#include "host/core/Sets.h"

namespace kyt {

enum TComponentStateFlag : uint8_t {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csFreeNotification, csUpdating
};
KYT_ENUM_INFO(TComponentStateFlag, "csLoading", "csReading", "csWriting", "csDestroying",
              "csDesigning", "csFreeNotification", "csUpdating")
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation : uint8_t { opInsert, opRemove };
KYT_ENUM_INFO(TOperation, "opInsert", "opRemove")

class TReader;
class TWriter;

class TComponent : public TPersistent {
  KYT_CLASS(TComponent, TPersistent)
 public:
  static void Publish(TPublisher<TComponent>& p) {
    // The component's name, unique among its owner's components: the form file, FindComponent and
    // the event handlers' names use it.
    p.Property("Name", &TComponent::Name, &TComponent::SetName).TypeName("TComponentName");
    // A number for the application's own use; the component never reads it.
    p.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
  }

  // Inserts itself into owner (and takes the owner's designing state).
  explicit TComponent(TComponent* owner);
  // Tells free-notification clients, frees owned components last-first, leaves its owner.
  ~TComponent() override;

  // Properties
  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // A valid name (core::IsValidName: an identifier, non-ASCII letters allowed) unique
  // (case-insensitive) among the owner's components, or empty; EComponentError otherwise.
  void SetName(const std::string& name);
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t tag) { FTag = tag; }

  // Owned components, in creation order.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // EListError when index is out of range.
  TComponent* Components(int index) const;
  // Position in the owner's list; -1 without owner.
  int ComponentIndex() const;
  void SetComponentIndex(int index);
  // Case-insensitive; null when no owned component has that name (an empty name finds nothing).
  TComponent* FindComponent(const std::string& name) const;

  // Methods
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last created first, each through FreeComponent.
  void DestroyComponents();
  // Runs just before the object is deleted by FreeComponent, while it is still whole (its
  // most-derived overrides run). The base marks it and its components csDestroying.
  virtual void BeforeDestruction();

  TComponentState ComponentState() const { return FComponentState; }
  // Sets or clears csDesigning, on the owned components too when setChildren.
  void SetDesigning(bool value, bool setChildren = true);

  // Asks that component be told through Notification(this, opRemove) before this one goes.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TPersistent* GetOwner() const override;

  // Where the form designer shows a component that is not a control (x and y on the designed
  // form). Stored as Left and Top lines of the component's block only once the designer (or a
  // form file) set it; a running application keeps it and never acts on it.
  struct TDesignPosition {
    int32_t Left = 0;
    int32_t Top = 0;
  };
  bool HasDesignPosition() const { return FHasDesignPosition; }
  TDesignPosition DesignPosition() const { return FDesignPosition; }
  void SetDesignPosition(int32_t left, int32_t top) {
    FDesignPosition = {left, top};
    FHasDesignPosition = true;
  }

  // Streaming hooks: the components written as nested blocks of this one when writing root
  // (by default the root's owned components) and the enclosing component a read block had.
  virtual void GetChildren(std::vector<TComponent*>& children, const TComponent& root) const;
  virtual void SetParentComponent(TComponent* parent);
  virtual TComponent* GetParentComponent() const;
  virtual bool HasParent() const;

 protected:
  // Told when component is inserted into or removed from this one's list, or (opRemove) when
  // a component this one asked about goes away. The base passes it on to owned components.
  virtual void Notification(TComponent* component, TOperation operation);
  // Runs after a form file assigned every component's properties; clears csLoading.
  virtual void Loaded();
  // Raises EComponentError when newName clashes with another owned component.
  virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);
  // Hook for descendants that must accept only some children; raises to refuse.
  virtual void ValidateInsert(TComponent* component);
  // Marks this one and its owned components csDestroying.
  void Destroying();
  void SetComponentState(TComponentStateFlag flag, bool on);

  friend class TReader;
  friend class TWriter;

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void AddFreeNotifyLink(TComponent* component);
  void RemoveFreeNotifyLink(TComponent* component);
  void RemoveFreeNotifications();

  TComponent* FOwner = nullptr;
  std::string FName;
  int32_t FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  TDesignPosition FDesignPosition;
  bool FHasDesignPosition = false;
};

// Frees a component as its owner does: BeforeDestruction while it is whole, then delete.
// A null component is not an error.
void FreeComponent(TComponent* component);

}  // namespace kyt

#endif
