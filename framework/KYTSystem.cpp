// KYTSystem: base classes and the beep mapping.
#include "framework/KYTSystem.h"

#include <iterator>

#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"

namespace kyt {

namespace {
// MessageBeep argument per member, in ordinal order; bNone makes no call.
constexpr unsigned kBeepArguments[] = {
    0,                   // bNone (unused)
    MB_OK,               // bDefault: the default sound, not the simple beep (-1)
    MB_ICONASTERISK,     // bAsterix
    MB_ICONEXCLAMATION,  // bExclamation
    MB_ICONQUESTION,     // bQuestion
    MB_ICONHAND,         // bCriticalStop
};
static_assert(sizeof(TKYTBeeptype) == 1, "TKYTBeeptype is stored in one byte");
static_assert(MB_OK == 0 && MB_ICONASTERISK == 0x40 && MB_ICONEXCLAMATION == 0x30 &&
              MB_ICONQUESTION == 0x20 && MB_ICONHAND == 0x10);
static_assert(std::size(kBeepArguments) == bCriticalStop + 1);

// At most the short string's length in characters, never cut inside one.
std::string CutShort(const std::string& value) { return CutToWideLength(value, kKYTShortStrLength); }
}  // namespace

bool KYTBeepArgument(TKYTBeeptype beep, unsigned& argument) {
  if (beep == bNone || beep > bCriticalStop) return false;
  argument = kBeepArguments[beep];
  return true;
}

void KYTPlayBeep(TKYTBeeptype beep) {
  unsigned argument = 0;
  if (KYTBeepArgument(beep, argument)) os::user32.MessageBeep(argument);
}

// ---- TKYTSystemsComponent

TKYTSystemsComponent::TKYTSystemsComponent(TComponent* owner) : TComponent(owner), FAbout("(About)") {}

void TKYTSystemsComponent::SetAbout(const TKYTAboutStr& value) { FAbout = CutShort(value); }

// ---- TKYTExecuteComponent

void TKYTExecuteComponent::SetDesignExecute(const TKYTExecSysStr& value) { FDesignExecute = CutShort(value); }

bool TKYTExecuteComponent::Execute() { return false; }

// ---- TKYTAdvancedExecComponent

bool TKYTAdvancedExecComponent::Execute() {
  inherited::Execute();
  KYTPlayBeep(FSound);
  return false;
}

// ---- TKYTProcessSlot

TKYTProcessSlot::TKYTProcessSlot(int& liveCount, void (*refuse)()) : FLiveCount(liveCount) {
  if (++FLiveCount > 1) {
    --FLiveCount;
    refuse();
    throw EComponentError("Only one such component may exist");  // refuse must raise
  }
}

}  // namespace kyt
