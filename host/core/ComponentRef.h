// ComponentRef: a weak reference to a component that becomes null when the component is freed.
// Code that runs the message loop in the middle of a component's own work (a search per folder,
// a rewrite per line, an animation per outline) holds one: a form closed with caFree is freed
// inside that loop, and with it the component, so after every ProcessMessages and every event
// it raises the code checks the reference and stops without touching the component when null.
#ifndef KYT_HOST_CORE_COMPONENTREF_H
#define KYT_HOST_CORE_COMPONENTREF_H

#include "host/core/Component.h"

namespace kyt {

// The untyped part: an ownerless watcher that asks its target for free notification.
class TComponentWatch : private TComponent {
 public:
  explicit TComponentWatch(TComponent* target = nullptr) : TComponent(nullptr) { Reset(target); }
  ~TComponentWatch() override { Reset(nullptr); }
  TComponentWatch(const TComponentWatch&) = delete;
  TComponentWatch& operator=(const TComponentWatch&) = delete;

  TComponent* Get() const { return FTarget; }
  // Watches another component (null: none); the previous one is let go.
  void Reset(TComponent* target) {
    if (target == FTarget) return;
    if (FTarget) FTarget->RemoveFreeNotification(this);
    FTarget = target;
    if (FTarget) FTarget->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component == FTarget) FTarget = nullptr;
  }

 private:
  TComponent* FTarget = nullptr;
};

// Typed weak reference: `TComponentRef<TKYTFileCollector> self(this); ... if (!self) return;`.
// Not copyable: each holder keeps its own watch for as long as it needs it.
template <class T>
class TComponentRef {
 public:
  explicit TComponentRef(T* target = nullptr) : FWatch(target) {}
  T* Get() const { return static_cast<T*>(FWatch.Get()); }
  T* operator->() const { return Get(); }
  T& operator*() const { return *Get(); }
  explicit operator bool() const { return FWatch.Get() != nullptr; }
  void Reset(T* target) { FWatch.Reset(target); }

 private:
  TComponentWatch FWatch;
};

}  // namespace kyt

#endif  // KYT_HOST_CORE_COMPONENTREF_H
