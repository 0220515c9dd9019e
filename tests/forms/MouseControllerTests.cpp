// Tests of the mouse controller on the real cursor clip. The clip is desktop-wide: every test
// puts it and the cursor back, and the executable holds a CTest resource lock on the cursor.
#include "forms/KYTTMouseController.h"

#include <gtest/gtest.h>

#include "host/rtl/Types.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "tests/forms/BehaviourTestSupport.h"
#include "tests/support/MessagePump.h"

namespace kyt {
namespace {

using ftest::Place;

TRect CurrentClip() {
  RECT r{};
  ::GetClipCursor(&r);
  return r;
}
TPoint Cursor() {
  POINT p{};
  ::GetCursorPos(&p);
  return p;
}
TRect WholeScreen() { return Rect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)); }

class MouseController : public ::testing::Test {
 protected:
  void SetUp() override {
    ::ClipCursor(nullptr);
    cursorBefore = Cursor();
    form = NewForm<TBehaviourTestForm>(Application);
    mouse = new TKYTMouseController(form);
  }
  void TearDown() override {
    FreeComponent(form);
    ::ClipCursor(nullptr);
    ::SetCursorPos(cursorBefore.X, cursorBefore.Y);
  }
  TPoint cursorBefore;
  TBehaviourTestForm* form = nullptr;
  TKYTMouseController* mouse = nullptr;
};

TEST_F(MouseController, FenceMovesAnOutsideCursorToItsCornerAndHoldsIt) {
  mouse->PositionAt(50, 50);
  EXPECT_EQ(Cursor(), Point(50, 50));
  mouse->FenceAt(Rect(100, 100, 300, 200));
  EXPECT_EQ(Cursor(), Point(100, 100));
  EXPECT_EQ(CurrentClip(), Rect(100, 100, 300, 200));
  ::SetCursorPos(1000, 1000);
  EXPECT_EQ(Cursor(), Point(299, 199));

  // Inside already: the cursor stays where it is.
  mouse->PositionAt(150, 150);
  mouse->FenceAt(Rect(120, 120, 400, 400));
  EXPECT_EQ(Cursor(), Point(150, 150));
  // An empty rectangle changes nothing.
  mouse->FenceAt(Rect(10, 10, 10, 50));
  EXPECT_EQ(CurrentClip(), Rect(120, 120, 400, 400));
  mouse->StopFencing();
  EXPECT_EQ(CurrentClip(), WholeScreen());
}

TEST_F(MouseController, ControlsGiveTheirClientAreaAndNullDoesNothing) {
  Place(form, 380, 270, 300, 200);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  Place(panel, 10, 10, 200, 100);
  form->Show();
  const TPoint origin = panel->ClientOrigin();
  const RECT client = panel->ClientRect();
  mouse->FenceAtControl(panel);
  EXPECT_EQ(CurrentClip(), Rect(origin.X, origin.Y, origin.X + client.right, origin.Y + client.bottom));
  mouse->StopFencing();
  mouse->PositionAtControl(panel);
  EXPECT_EQ(Cursor(), origin);

  mouse->PositionAt(5, 5);
  mouse->FenceAtControl(nullptr);
  mouse->PositionAtControl(nullptr);
  EXPECT_EQ(CurrentClip(), WholeScreen());
  EXPECT_EQ(Cursor(), Point(5, 5));
}

TEST_F(MouseController, CancelModeAndDestructionReleaseTheFence) {
  mouse->FenceAt(Rect(100, 100, 300, 200));
  ::SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(CurrentClip(), WholeScreen());
  // Set by someone else: still released when the component goes.
  RECT other{200, 200, 400, 400};
  ::ClipCursor(&other);
  delete mouse;
  EXPECT_EQ(CurrentClip(), WholeScreen());
}

}  // namespace
}  // namespace kyt
