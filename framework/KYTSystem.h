// KYTSystem: the three base classes every component of the package descends from, with the
// About and DesignExecute entries the form designer attaches its editors to.
#ifndef KYT_FRAMEWORK_KYTSYSTEM_H
#define KYT_FRAMEWORK_KYTSYSTEM_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/core/Component.h"

namespace kyt {

// Short-string types of at most 37 characters. Each has its own type name in the published
// property table, so the designer attaches the about and execute-test editors to them alone.
using TKYTAboutStr = std::string;
using TKYTExecSysStr = std::string;
inline constexpr size_t kKYTShortStrLength = 37;

// The beep TKYTAdvancedExecComponent::Execute plays; stored in one byte.
enum TKYTBeeptype : uint8_t { bNone, bDefault, bAsterix, bExclamation, bQuestion, bCriticalStop };
KYT_ENUM_INFO(TKYTBeeptype, "bNone", "bDefault", "bAsterix", "bExclamation", "bQuestion", "bCriticalStop")

// The MessageBeep argument of a beep type; false for bNone (no call is made) or an invalid value.
bool KYTBeepArgument(TKYTBeeptype beep, unsigned& argument);
// Plays the beep through the OS seam's MessageBeep; bNone is silent. The result is ignored.
void KYTPlayBeep(TKYTBeeptype beep);

// Root base of the package: carries the read-only About entry ("(About)", never stored).
class TKYTSystemsComponent : public TComponent {
  KYT_CLASS(TKYTSystemsComponent, TComponent)
 public:
  static void Publish(TPublisher<TKYTSystemsComponent>& p) {
    // Shows "(About)" in the object inspector, whose editor opens the package's about message;
    // never stored.
    p.Property("About", &TKYTSystemsComponent::About, &TKYTSystemsComponent::SetAbout)
        .TypeName("TKYTAboutStr").MaxLength(kKYTShortStrLength).Stored(TStored::Never);
  }

  // Sets About to "(About)". The family stores it before the inherited constructor runs; here
  // the base runs first, which cannot matter since nothing reads About during it.
  explicit TKYTSystemsComponent(TComponent* owner);

  // Properties
  const TKYTAboutStr& About() const { return FAbout; }
  // A plain field; text beyond 37 characters is cut as a short string cuts it.
  void SetAbout(const TKYTAboutStr& value);

 protected:
  TKYTAboutStr FAbout;
};

// Base of components with an action: Execute, tried out in the designer through DesignExecute.
class TKYTExecuteComponent : public TKYTSystemsComponent {
  KYT_CLASS(TKYTExecuteComponent, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTExecuteComponent>& p) {
    // The object inspector's execute test: its editor runs Execute in the form designer; never
    // stored.
    p.Property("DesignExecute", &TKYTExecuteComponent::DesignExecute, &TKYTExecuteComponent::SetDesignExecute)
        .TypeName("TKYTExecSysStr").MaxLength(kKYTShortStrLength).Stored(TStored::Never);
  }

  using TKYTSystemsComponent::TKYTSystemsComponent;

  // Properties
  // Never read by the component; exists to carry the execute-test editor.
  const TKYTExecSysStr& DesignExecute() const { return FDesignExecute; }
  void SetDesignExecute(const TKYTExecSysStr& value);

  // Methods
  // Performs the component's action; true when it was carried out. The base does nothing.
  virtual bool Execute();

 protected:
  TKYTExecSysStr FDesignExecute;
};

// Base of the dialog components: Execute first plays the Sound beep.
class TKYTAdvancedExecComponent : public TKYTExecuteComponent {
  KYT_CLASS(TKYTAdvancedExecComponent, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTAdvancedExecComponent>& p) {
    // The beep played, without waiting for it, when Execute starts; bNone plays none.
    p.Property("Sound", &TKYTAdvancedExecComponent::Sound, &TKYTAdvancedExecComponent::SetSound).Default(bNone);
  }

  using TKYTExecuteComponent::TKYTExecuteComponent;

  // Properties
  TKYTBeeptype Sound() const { return FSound; }
  void SetSound(TKYTBeeptype value) { FSound = value; }

  // Methods
  // Plays Sound (once, not waiting for it) and returns false; overrides call it first.
  bool Execute() override;

 protected:
  TKYTBeeptype FSound = bNone;
};

// The live-object count of a component that a process may hold only once. Declared as the
// component's first base, it takes its place before the component joins its owner, so a refused
// second object never shows in the owner's list; a later step of the construction that raises,
// and the destructor, give the place back.
class TKYTProcessSlot {
 public:
  TKYTProcessSlot(const TKYTProcessSlot&) = delete;
  TKYTProcessSlot& operator=(const TKYTProcessSlot&) = delete;

 protected:
  // refuse raises the component's own error; it is called when the slot is already taken.
  TKYTProcessSlot(int& liveCount, void (*refuse)());
  ~TKYTProcessSlot() { --FLiveCount; }

 private:
  int& FLiveCount;
};

}  // namespace kyt

#endif  // KYT_FRAMEWORK_KYTSYSTEM_H
