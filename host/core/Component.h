// Component: TComponent, the owned, named, streamable object every component derives from.
#ifndef KYT_HOST_CORE_COMPONENT_H
#define KYT_HOST_CORE_COMPONENT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/core/Persistent.h"
#include "host/core/Sets.h"

namespace kyt {

enum TComponentStateFlag : uint8_t {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csFreeNotification, csUpdating,
  csInline  // a frame embedded in a form: its components come from its own form file
};
KYT_ENUM_INFO(TComponentStateFlag, "csLoading", "csReading", "csWriting", "csDestroying",
              "csDesigning", "csFreeNotification", "csUpdating", "csInline")
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
  // Case-insensitive, constant time on average; null when no owned component has that name (an
  // empty name finds nothing).
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
  // Puts child where place stands among this one's children (as GetChildren lists them), for
  // the `[n]` of an inherited form file. The base moves components without a parent in their
  // owner's list; children of two different lists stay as they are.
  virtual void SetChildOrder(TComponent* child, TComponent* place);

 protected:
  // Told when component is inserted into or removed from this one's list, or (opRemove) when
  // a component this one asked about goes away. The base passes it on to the owned components
  // for which the call does something (see ReactsToNotification), last to first. A class that
  // overrides it declares KYT_CLASS, so that its class info says so.
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
  // Whether Notification on this one does anything now: its class overrides it, or the base
  // class has owned components to pass it to or free-notification links to drop.
  bool ReactsToNotification() const;
  // Puts component back among the listeners after it gained components or links.
  void Listen(TComponent* component);
  void RebuildListeners();
  void IndexName(TComponent* component);
  void UnindexName(TComponent* component);

  struct TNameHash {
    size_t operator()(std::string_view s) const { return core::TextHash(s); }
  };
  struct TNameEqual {
    bool operator()(std::string_view a, std::string_view b) const { return core::SameText(a, b); }
  };

  TComponent* FOwner = nullptr;
  std::string FName;
  int32_t FTag = 0;
  std::vector<TComponent*> FComponents;
  // The owned components by name (named ones only); names are unique here, so one each.
  std::unordered_map<std::string, TComponent*, TNameHash, TNameEqual> FNameIndex;
  // The owned components that may react to Notification, in FComponents' order. A component
  // stays here until a notification finds it without reason to react (see ReactsToNotification).
  std::vector<TComponent*> FListeners;
  bool FListening = false;
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
