// Tests of the aspect-ratio hook: sizing records sent to a real form as the window manager would
// send them, the min-max record as the hook leaves it, and a real maximise.
#include "forms/KYTTFormAspect.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/core/Exceptions.h"
#include "host/vcl/Application.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "tests/forms/BehaviourTestSupport.h"
#include "tests/support/MessagePump.h"

namespace kyt {
namespace {

using ftest::Place;

class FormAspect : public ::testing::Test {
 protected:
  void SetUp() override {
    form = NewForm<TBehaviourTestForm>(Application);
    Place(form, 100, 100, 408, 447);
    dx = form->Width() - form->ClientWidth();
    dy = form->Height() - form->ClientHeight();
  }
  void TearDown() override { FreeComponent(form); }

  // Sends WM_SIZING for edge with r, as the platform does while a border is dragged.
  TRect Sizing(int edge, TRect r, LRESULT* result = nullptr) {
    const LRESULT res = ::SendMessageA(form->Handle(), WM_SIZING, edge, reinterpret_cast<LPARAM>(r.AsRECT()));
    if (result) *result = res;
    return r;
  }
  // Sends WM_GETMINMAXINFO with a record whose maximised size is (w, h) and whose other fields
  // hold a pattern; returns the record as the form leaves it.
  MINMAXINFO MinMax(int w, int h) {
    MINMAXINFO info;
    memset(&info, 0x5A, sizeof(info));
    info.ptMaxSize = {w, h};
    ::SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }

  TBehaviourTestForm* form = nullptr;
  int dx = 0, dy = 0;
};

TEST_F(FormAspect, SideDragsKeepTheClientAreaAt40To42) {
  auto* aspect = new TKYTFormAspect(form);
  EXPECT_TRUE(aspect->Enabled());
  EXPECT_TRUE(aspect->Client());
  EXPECT_EQ(aspect->RatioWidth(), 1);
  EXPECT_EQ(aspect->RatioHeight(), 1);
  LRESULT result = -1;
  // Right edge: client width 400 gives client height 420; the bottom moves.
  EXPECT_EQ(Sizing(WMSZ_RIGHT, Rect(100, 100, 100 + 400 + dx, 300), &result), Rect(100, 100, 500 + dx, 100 + 420 + dy));
  EXPECT_EQ(result, 0);
  // Bottom edge: client height 420 gives client width 400; the right moves.
  EXPECT_EQ(Sizing(WMSZ_BOTTOM, Rect(100, 100, 900, 100 + 420 + dy)), Rect(100, 100, 500 + dx, 520 + dy));
  // Client width 41: 41 * 42 / 40 = 43.05, truncated.
  EXPECT_EQ(Sizing(WMSZ_RIGHT, Rect(0, 0, 41 + dx, 5)).Bottom, 43 + dy);
}

TEST_F(FormAspect, AnOwnerThatIsNoFormSizesItsWholeWindowAndRefusesClient) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* aspect = new TKYTFormAspect(panel);
  EXPECT_FALSE(aspect->Client());
  EXPECT_THROW(aspect->SetClient(true), EInvalidCast);
  EXPECT_FALSE(aspect->Client());
  TRect r = Rect(0, 0, 400, 5);
  ::SendMessageA(panel->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(r.AsRECT()));
  EXPECT_EQ(r, Rect(0, 0, 400, 420));
}

TEST_F(FormAspect, EveryEdgeMovesTheSideOfItsTable) {
  auto* aspect = new TKYTFormAspect(form);
  aspect->SetClient(false);
  // A window of 400 x 600 dragged at each edge; width 400 wants height 420, height 600 wants
  // width 571 (600 * 40 / 42 = 571.4).
  const TRect r(1000, 1000, 1400, 1600);
  const struct {
    int Edge;
    TRect Expected;
  } cases[] = {
      {WMSZ_LEFT, {1000, 1180, 1400, 1600}},   {WMSZ_RIGHT, {1000, 1000, 1400, 1420}},
      {WMSZ_TOP, {829, 1000, 1400, 1600}},     {WMSZ_TOPLEFT, {829, 1000, 1400, 1600}},
      {WMSZ_TOPRIGHT, {1000, 1180, 1400, 1600}}, {WMSZ_BOTTOM, {1000, 1000, 1571, 1600}},
      {WMSZ_BOTTOMLEFT, {1000, 1000, 1400, 1420}}, {WMSZ_BOTTOMRIGHT, {1000, 1000, 1571, 1600}},
      {0, r},                                   {9, r},
  };
  for (const auto& c : cases) EXPECT_EQ(Sizing(c.Edge, r), c.Expected) << "edge " << c.Edge;
}

TEST_F(FormAspect, EventsChangeTheFrameAndTheRectangle) {
  auto* aspect = new TKYTFormAspect(form);
  struct Handlers {
    void NoFrame(TObject*, int32_t& x, int32_t& y) { x = y = 0; }
    void Shift(TObject*, TRect& r) { r.Left += 7; }
  } handlers;
  aspect->SetOnClientModified(TKYTOnClientModified::Bind<&Handlers::NoFrame>(&handlers));
  // A client ratio with no frame is the whole-window ratio.
  EXPECT_EQ(Sizing(WMSZ_RIGHT, Rect(0, 0, 400, 5)), Rect(0, 0, 400, 420));
  aspect->SetBeforeResizing(TKYTBeforeResizing::Bind<&Handlers::Shift>(&handlers));
  EXPECT_EQ(Sizing(WMSZ_RIGHT, Rect(0, 0, 400, 5)), Rect(7, 0, 400, 420));
  aspect->SetOnClientModified({});
  aspect->SetBeforeResizing({});
  aspect->SetEnabled(false);
  EXPECT_EQ(Sizing(WMSZ_RIGHT, Rect(0, 0, 400, 5)), Rect(0, 0, 400, 5));
}

TEST_F(FormAspect, MaximisedSizeFollowsTheRatioWithinTheScreen) {
  const MINMAXINFO plain = MinMax(1000, 700);
  // reference example: TKYTFormAspect
  auto* aspect = new TKYTFormAspect(form);
  aspect->SetRatioWidth(16);
  aspect->SetRatioHeight(9);
  // end of reference example
  MINMAXINFO info = MinMax(1000, 700);
  EXPECT_EQ(info.ptMaxSize.x, 1000 + dx);
  EXPECT_EQ(info.ptMaxSize.y, 562 + dy);  // 1000 * 9 / 16
  EXPECT_EQ(memcmp(&info.ptMinTrackSize, &plain.ptMinTrackSize, sizeof(POINT) * 2), 0);
  // Taller than the screen: the height is the platform's and the width follows.
  aspect->SetRatioWidth(1);
  aspect->SetRatioHeight(2);
  info = MinMax(1000, 700);
  ASSERT_GT(2000, ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(info.ptMaxSize.x, 350 + dx);
  EXPECT_EQ(info.ptMaxSize.y, 700 + dy);

  // A real maximise of a whole-window 1 : 1 form: a square as high as the platform allows.
  aspect->SetClient(false);
  aspect->SetRatioWidth(1);
  aspect->SetRatioHeight(1);
  form->Show();
  ::ShowWindow(form->Handle(), SW_MAXIMIZE);
  PumpPending();
  RECT window{};
  ::GetWindowRect(form->Handle(), &window);
  EXPECT_EQ(window.right - window.left, window.bottom - window.top);
  EXPECT_LT(window.right - window.left, ::GetSystemMetrics(SM_CXSCREEN));
  ::ShowWindow(form->Handle(), SW_RESTORE);
}

TEST_F(FormAspect, ZeroRatiosAndNullRecordsPassTheMessageOnUntouched) {
  const MINMAXINFO plain = MinMax(1000, 700);
  auto* aspect = new TKYTFormAspect(form);
  for (int bad : {0, -3}) {
    aspect->SetRatioWidth(bad);
    aspect->SetRatioHeight(1);
    EXPECT_EQ(aspect->RatioWidth(), bad);  // stored as given
    MINMAXINFO info = MinMax(1000, 700);
    EXPECT_EQ(memcmp(&info, &plain, sizeof(info)), 0);
    aspect->SetRatioWidth(1);
    aspect->SetRatioHeight(bad);
    info = MinMax(1000, 700);
    EXPECT_EQ(memcmp(&info, &plain, sizeof(info)), 0);
    EXPECT_EQ(Sizing(WMSZ_RIGHT, Rect(0, 0, 400, 5)), Rect(0, 0, 400, 5));
  }
  aspect->SetRatioHeight(1);
  // Any process can send these with no record at all.
  ::SendMessageA(form->Handle(), WM_SIZING, WMSZ_RIGHT, 0);
  ::SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, 0);
  // Coordinates far out of any screen do not overflow.
  const TRect huge = Sizing(WMSZ_RIGHT, Rect(-2000000000, 0, 2000000000, 0));
  EXPECT_EQ(huge.Bottom, 2147483647);
}

}  // namespace
}  // namespace kyt
