// KYTTOnlyOne: counting the application windows of running copies and acting on the count.
#include "forms/KYTTOnlyOne.h"

#include <cstring>
#include <string>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Application.h"

namespace kyt {

namespace {

int gLiveGuards = 0;

// Names and titles are read into buffers of 256 characters (the terminating zero included) of
// any script.
constexpr int kNameBuffer = 255 * kMaxBytesPerChar + 1;

[[noreturn]] void RefuseSecondGuard() {
  std::string message = "You can have only one class of type\r\n" + TKYTOnlyOne::StaticClass().Name() +
                        "\r\n in a project and it must be on the Mainform";
  message = CutToWideLength(message, 255);
  throw KYTTOnlyOne::EKYTDuplicateError(message);
}

[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTOnlyOne::StaticClass());
  return true;
}();

// What the enumeration compares each window with, and what it found.
struct TSearch {
  HWND Own = nullptr;
  char ClassName[kNameBuffer] = {};
  char Title[kNameBuffer] = {};
  TKYTInstanceCount Found;
};

// A window whose class name or title reads as nothing never matches.
bool Matches(HWND window, const TSearch& search) {
  char name[kNameBuffer] = {};
  if (os::user32.GetClassNameA(window, name, kNameBuffer) <= 0 || std::strcmp(name, search.ClassName) != 0)
    return false;
  char title[kNameBuffer] = {};
  return os::user32.GetWindowTextA(window, title, kNameBuffer) > 0 && std::strcmp(title, search.Title) == 0;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TSearch*>(data);
  if (Matches(window, search)) {
    ++search.Found.Count;
    if (window != search.Own) search.Found.Other = window;  // the last one met wins
  }
  return TRUE;
}

bool EndsThisCopy(TKYTAction action) { return action == aRestoreAndExit || action == aExit; }
bool RestoresOther(TKYTAction action) { return action == aRestoreAndExit || action == aRestore; }

}  // namespace

TKYTOnlyOne::TKYTOnlyOne(TComponent* AOwner)
    : TKYTProcessSlot(gLiveGuards, &RefuseSecondGuard), TKYTSystemsComponent(AOwner) {}

TKYTOnlyOne::~TKYTOnlyOne() = default;

void TKYTOnlyOne::Loaded() {
  inherited::Loaded();
  if (!ComponentState().Contains(csDesigning)) CheckPrevInstances();
}

TKYTInstanceCount TKYTOnlyOne::CountInstances() {
  TSearch search;
  if (!Application) return search.Found;
  search.Own = Application->Handle();
  os::user32.GetWindowTextA(search.Own, search.Title, kNameBuffer);
  os::user32.GetClassNameA(search.Own, search.ClassName, kNameBuffer);
  // The callback neither raises nor calls out of this unit, so nothing can cross the boundary.
  os::user32.EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

void TKYTOnlyOne::CheckPrevInstances() {
  const TKYTInstanceCount found = CountInstances();
  if (FInstances >= found.Count) return;
  // A handler may change OnExceed, or free the component: then the action set before it holds.
  TKYTAction action = FOnExceed;
  const TComponentRef<TKYTOnlyOne> self(this);
  FOnExceeded(this, found.Count);
  if (self) action = FOnExceed;
  if (RestoresOther(action)) BringBack(found.Other);
  if (EndsThisCopy(action)) Halt(0);
}

void TKYTOnlyOne::BringBack(HWND other) {
  // With no other copy (Instances 0 and this copy alone) there is nothing to bring forward.
  if (!other) return;
  HWND popup = os::user32.GetLastActivePopup(other);
  os::user32.BringWindowToTop(other);
  if (popup && os::user32.IsIconic(popup)) os::user32.ShowWindow(popup, SW_RESTORE);
  else os::user32.SetForegroundWindow(popup ? popup : other);
}

}  // namespace kyt
