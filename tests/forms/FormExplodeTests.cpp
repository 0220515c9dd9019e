// Tests of the explode animation on real forms: the outlines drawn on the screen, the form's own
// handlers, the takeover of its events, a form freed in the middle of an animation.
#include "forms/KYTTFormExplode.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "host/core/ComponentRef.h"
#include "host/core/FormFile.h"
#include "host/rtl/Types.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "tests/forms/BehaviourTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

using ftest::Place;

// Every outline drawn while a recorder lives, passed on to the real Rectangle.
std::vector<TRect>* gOutlines = nullptr;
int gScreenDCs = 0;  // screen contexts taken and not yet given back

BOOL WINAPI RecordRectangle(HDC dc, int left, int top, int right, int bottom) {
  if (gOutlines) gOutlines->push_back(Rect(left, top, right, bottom));
  return ::Rectangle(dc, left, top, right, bottom);
}
HDC WINAPI CountGetDC(HWND window) {
  HDC dc = ::GetDC(window);
  if (dc && !window) ++gScreenDCs;
  return dc;
}
int WINAPI CountReleaseDC(HWND window, HDC dc) {
  if (!window) --gScreenDCs;
  return ::ReleaseDC(window, dc);
}

struct OutlineRecorder {
  std::vector<TRect> Outlines;
  ScopedOverride<decltype(&::Rectangle)> Draw{os::gdi32.Rectangle, &RecordRectangle};
  ScopedOverride<decltype(&::GetDC)> Take{os::user32.GetDC, &CountGetDC};
  ScopedOverride<decltype(&::ReleaseDC)> Give{os::user32.ReleaseDC, &CountReleaseDC};
  OutlineRecorder() {
    gOutlines = &Outlines;
    gScreenDCs = 0;
  }
  ~OutlineRecorder() { gOutlines = nullptr; }
};

COLORREF ScreenPixel(int x, int y) {
  HDC dc = ::GetDC(nullptr);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(nullptr, dc);
  return c;
}

TRect Step(const TRect& r, const TRect& d, int times) {
  return {r.Left + d.Left * times, r.Top + d.Top * times, r.Right + d.Right * times, r.Bottom + d.Bottom * times};
}

// The outlines one animation draws: n + 1 from `from` by `step`, then `single`, then the same
// n + 1 again and `single` again.
std::vector<TRect> Animation(const TRect& from, const TRect& step, int n, const TRect& single) {
  std::vector<TRect> pass;
  for (int i = 0; i <= n; ++i) pass.push_back(Step(from, step, i));
  std::vector<TRect> all = pass;
  all.push_back(single);
  all.insert(all.end(), pass.begin(), pass.end());
  all.push_back(single);
  return all;
}

class FormExplode : public ::testing::Test {
 protected:
  void SetUp() override {
    form = NewForm<TBehaviourTestForm>(Application);
    formRef.Reset(form);
    Place(form, 300, 200, 400, 300);
    form->AssignOwnHandlers();
  }
  void TearDown() override {
    if (formRef) FreeComponent(form);
    PumpPending();
  }
  // Shows the form and waits until it has painted (which arms the next hide animation).
  void ShowAndPaint() {
    const int paints = form->Paints;
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return form->Paints > paints; }));
  }

  TBehaviourTestForm* form = nullptr;
  TComponentRef<TBehaviourTestForm> formRef;
};

TEST_F(FormExplode, ShowGrowsOutlinesOnTheScreenFromTheMiddleAndErasesThem) {
  // Sampled once more by the form's own OnShow: after the animation, before the form appears.
  std::vector<COLORREF> before, between, after;
  struct OwnShow {
    std::function<void()> Sample;
    void Shown(TObject*) { Sample(); }
  } ownShow;
  form->SetOnShow(TNotifyEvent::Bind<&OwnShow::Shown>(&ownShow));
  auto* explode = new TKYTFormExplode(form);
  EXPECT_EQ(explode->NoOfSteps(), 40);
  EXPECT_EQ(explode->ShowType(), onAlways);
  EXPECT_EQ(explode->OnShowType(), wsFormMiddle);
  EXPECT_EQ(explode->OnCloseType(), wsFormMiddle);
  // The first outline's corner and the last one's, sampled on the real screen before the first
  // pass and between the passes.
  int calls = 0;
  const TRect start(498, 348, 502, 352);
  const TRect last = Step(start, TRect(-4, -3, 4, 3), 40);
  auto sample = [&](std::vector<COLORREF>& into) {
    into = {ScreenPixel(start.Left, start.Top), ScreenPixel(last.Left, last.Top)};
  };
  struct Sampler {
    std::function<void()> First, Second;
    int* Calls;
    void Points(TObject*, int32_t&, int32_t&, int32_t&, int32_t&) { (++*Calls == 1 ? First : Second)(); }
  } sampler{[&] { sample(before); }, [&] { sample(between); }, &calls};
  explode->SetOnGetPoints(TKYTOnGetPoints::Bind<&Sampler::Points>(&sampler));
  ownShow.Sample = [&] { sample(after); };

  OutlineRecorder recorder;
  form->Show();
  EXPECT_EQ(calls, 2);
  const TRect formRect(300, 200, 700, 500);
  // Increments (-198 / 40, -148 / 40, 198 / 40, 148 / 40), truncated toward zero.
  EXPECT_EQ(recorder.Outlines, Animation(start, TRect(-4, -3, 4, 3), 40, formRect));
  EXPECT_EQ(recorder.Outlines.size(), 84u);
  ASSERT_EQ(before.size(), 2u);
  ASSERT_EQ(between.size(), 2u);
  ASSERT_EQ(after.size(), 2u);
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(between[i], before[i] ^ 0xFFFFFFu) << "outline " << i;
    EXPECT_EQ(after[i], before[i]) << "outline " << i;
  }
  EXPECT_EQ(gScreenDCs, 0);
  // The form's own handler ran once and is back in its slot until the next paint.
  EXPECT_EQ(form->OnShow(), TNotifyEvent::Bind<&OwnShow::Shown>(&ownShow));
}

TEST_F(FormExplode, HideAfterAPaintShrinksToTheEndAndArmsTheNextShow) {
  auto* explode = new TKYTFormExplode(form);
  explode->SetNoOfSteps(4);
  explode->SetOnCloseType(wsScreenTopLeft);
  ShowAndPaint();
  EXPECT_EQ(form->OnShow(), TNotifyEvent::Bind<&TKYTFormExplode::MyOnShow>(explode));  // hooked again
  OutlineRecorder recorder;
  form->Log.clear();
  form->Hide();
  // From the form (300, 200, 700, 500) to (0, 0, 5, 5) in four steps: the increments are
  // (300 / 4, 200 / 4, 695 / 4, 495 / 4) truncated, taken off the form's rectangle.
  const TRect back(-75, -50, -173, -123);
  EXPECT_EQ(recorder.Outlines, Animation(TRect(300, 200, 700, 500), back, 4, TRect(0, 0, 5, 5)));
  EXPECT_EQ(form->Log, std::vector<std::string>{"FormHide"});

  // Armed again: the next show animates; a hide before the form painted does not.
  recorder.Outlines.clear();
  form->Show();
  EXPECT_EQ(recorder.Outlines.size(), 12u);
  recorder.Outlines.clear();
  form->Hide();
  EXPECT_TRUE(recorder.Outlines.empty());
  EXPECT_EQ(gScreenDCs, 0);
}

TEST_F(FormExplode, ShowTypeChoosesTheSideAndTheFormsOwnHandlersAlwaysRun) {
  // reference example: TKYTFormExplode
  auto* explode = new TKYTFormExplode(form);
  explode->SetNoOfSteps(2);
  explode->SetShow(onShow);
  // end of reference example
  OutlineRecorder recorder;
  ShowAndPaint();
  EXPECT_EQ(recorder.Outlines.size(), 8u);
  recorder.Outlines.clear();
  form->Hide();
  EXPECT_TRUE(recorder.Outlines.empty());

  explode->SetShow(onHide);
  ShowAndPaint();
  EXPECT_TRUE(recorder.Outlines.empty());
  form->Hide();
  EXPECT_EQ(recorder.Outlines.size(), 8u);
  std::vector<std::string> showsAndHides;
  for (const std::string& entry : form->Log)
    if (entry != "FormPaint") showsAndHides.push_back(entry);
  EXPECT_EQ(showsAndHides, (std::vector<std::string>{"FormShow", "FormHide", "FormShow", "FormHide"}));
}

TEST_F(FormExplode, NoStepsCountsAsOneAndACustomRectangleStartsTheShow) {
  auto* explode = new TKYTFormExplode(form);
  explode->SetNoOfSteps(0);
  explode->SetOnShowType(wsCustompoint);
  explode->SetCustomLeft(100);
  explode->SetCustomTop(100);
  explode->SetCustomRight(110);
  explode->SetCustomBottom(110);
  OutlineRecorder recorder;
  form->Show();
  const TRect custom(100, 100, 110, 110);
  EXPECT_EQ(recorder.Outlines, Animation(custom, TRect(200, 100, 590, 390), 1, TRect(300, 200, 700, 500)));
}

TEST_F(FormExplode, EveryWipeTypeGivesItsRectangleAndOnGetPointsMayMoveIt) {
  auto* explode = new TKYTFormExplode(form);
  Place(form, 100, 50, 101, 203);
  explode->SetCustomLeft(7);
  explode->SetCustomTop(8);
  explode->SetCustomRight(9);
  explode->SetCustomBottom(10);
  const int sw = Screen->Width(), sh = Screen->Height();
  const int h = sw / 2 % 2 == 0 || sw % 2 == 0 ? sw / 2 : sw / 2 + 1;
  const int v = sh / 2 % 2 == 0 || sh % 2 == 0 ? sh / 2 : sh / 2 + 1;
  const TRect expected[] = {
      {100, 50, 201, 50},   {100, 253, 201, 253}, {100, 50, 100, 253}, {201, 50, 201, 253},
      {0, 0, sw, 0},        {0, sh, sw, sh},      {0, 0, 0, sh},       {sw, 0, sw, sh},
      {100, 50, 105, 55},   {100, 248, 105, 253}, {201, 50, 196, 55},  {201, 253, 196, 248},
      {0, 0, 5, 5},         {0, sh - 5, 5, sh},   {sw, 0, sw - 5, 5},  {sw, sh, sw - 5, sh - 5},
      // Width 101: half is 50.5, rounded to 50; height 203: 101.5, rounded to 102.
      {148, 150, 152, 154}, {h - 2, v - 2, h + 2, v + 2}, {7, 8, 9, 10}};
  for (int wipe = wsFormTopBorder; wipe <= wsCustompoint; ++wipe) {
    TRect r;
    explode->GetSrect(r.Left, r.Top, r.Right, r.Bottom, static_cast<TKYTWipeType>(wipe));
    EXPECT_EQ(r, expected[wipe]) << GetEnumName(EnumInfo<TKYTWipeType>(), wipe);
  }
  struct Mover {
    void Points(TObject*, int32_t& l, int32_t& t, int32_t& r, int32_t& b) { l += 1; t += 2; r += 3; b += 4; }
  } mover;
  explode->SetOnGetPoints(TKYTOnGetPoints::Bind<&Mover::Points>(&mover));
  for (int wipe = wsFormTopBorder; wipe <= wsCustompoint; ++wipe) {
    TRect r;
    explode->GetSrect(r.Left, r.Top, r.Right, r.Bottom, static_cast<TKYTWipeType>(wipe));
    const TRect& e = expected[wipe];
    EXPECT_EQ(r, TRect(e.Left + 1, e.Top + 2, e.Right + 3, e.Bottom + 4));
  }
  Place(form, 100, 50, 103, 200);
  explode->SetOnGetPoints({});
  TRect middle;
  explode->GetSrect(middle.Left, middle.Top, middle.Right, middle.Bottom, wsFormMiddle);
  EXPECT_EQ(middle.Left, 100 + 52 - 2);  // 51.5 rounds to 52
}

TEST_F(FormExplode, OnGetPointsThatRaisesLeavesNoOutlineAndGivesTheScreenBack) {
  auto* explode = new TKYTFormExplode(form);
  explode->SetNoOfSteps(3);
  struct Raiser {
    int Calls = 0;
    void Points(TObject*, int32_t&, int32_t&, int32_t&, int32_t&) {
      if (++Calls == 2) throw std::runtime_error("no points");
    }
  } raiser;
  explode->SetOnGetPoints(TKYTOnGetPoints::Bind<&Raiser::Points>(&raiser));
  const COLORREF corner = ScreenPixel(498, 348);
  OutlineRecorder recorder;
  EXPECT_THROW(form->Show(), std::runtime_error);
  EXPECT_EQ(gScreenDCs, 0);
  EXPECT_EQ(recorder.Outlines.size(), 8u);  // four drawn, four drawn again to erase them
  EXPECT_EQ(ScreenPixel(498, 348), corner);
}

TEST_F(FormExplode, ModalFormFreedByItsCloseInTheHideAnimationStopsIt) {
  // The first paint ends the modal loop; closing frees the form, once the hide animation lets
  // the application handle its messages.
  struct Closer {
    TBehaviourTestForm* Form;
    void Close(TObject*, TCloseAction& action) { action = caFree; }
    void Paint(TObject*) { Form->SetModalResult(mrOk); }
  } closer{form};
  form->SetOnClose(TCloseEvent::Bind<&Closer::Close>(&closer));
  form->SetOnPaint(TNotifyEvent::Bind<&Closer::Paint>(&closer));
  auto* explode = new TKYTFormExplode(form);
  TComponentRef<TKYTFormExplode> explodeRef(explode);
  OutlineRecorder recorder;
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_FALSE(formRef);
  EXPECT_FALSE(explodeRef);
  EXPECT_EQ(gScreenDCs, 0);
  // The show animation ran whole; the hide animation stopped early and took its outlines back.
  ASSERT_GT(recorder.Outlines.size(), 84u);
  EXPECT_LT(recorder.Outlines.size(), 84u + 84u);
  EXPECT_EQ((recorder.Outlines.size() - 84) % 2, 0u);
}

TEST_F(FormExplode, AFormReleasedWhileItPaintsGoesOnlyOnceThePaintIsDone) {
  auto* explode = new TKYTFormExplode(form);
  explode->SetNoOfSteps(1);
  ShowAndPaint();
  form->Release();
  // The paint's animation handles the release message while the form is still painting.
  ::RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return !formRef; }));
}

TEST(FormExplodeOwner, MustBeAForm) {
  EXPECT_THROW(TKYTFormExplode(nullptr), EInvalidCast);
  TComponent owner(nullptr);
  EXPECT_THROW(new TKYTFormExplode(&owner), EInvalidCast);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(FormExplode, DestructorPutsBackOnlyItsOwnSlotsAndTwoStayChainedEitherWay) {
  const TNotifyEvent formShow = TNotifyEvent::Bind<&TBehaviourTestForm::FormShow>(form);
  const TNotifyEvent formHide = TNotifyEvent::Bind<&TBehaviourTestForm::FormHide>(form);
  for (bool firstGoesFirst : {true, false}) {
    auto* first = new TKYTFormExplode(form);
    auto* second = new TKYTFormExplode(form);
    first->SetNoOfSteps(1);
    second->SetNoOfSteps(1);
    form->OnPaint()(form);  // a paint renews both takeovers
    form->OnPaint()(form);
    delete (firstGoesFirst ? first : second);
    form->Log.clear();
    OutlineRecorder recorder;
    form->Show();
    EXPECT_EQ(form->Log, std::vector<std::string>{"FormShow"});
    EXPECT_EQ(recorder.Outlines.size(), 6u);  // the one that is left animates once
    form->Hide();
    delete (firstGoesFirst ? second : first);
    EXPECT_EQ(form->OnShow(), formShow);
    EXPECT_EQ(form->OnHide(), formHide);
  }
  // A slot that code assigned after the takeover stays as it is.
  auto* explode = new TKYTFormExplode(form);
  form->SetOnHide({});
  delete explode;
  EXPECT_FALSE(form->OnHide());
  EXPECT_EQ(form->OnShow(), formShow);
}

TEST_F(FormExplode, FormFileStoresTheFormsOwnHandlersAndTheSettings) {
  auto* explode = new TKYTFormExplode(form);
  explode->SetName("Explode1");
  explode->SetNoOfSteps(10);
  explode->SetOnCloseType(wsScreenMiddle);
  form->SetName("ExplodeForm");
  const std::string text = WriteComponentText(*form);
  form->SetName("Original");  // the copy read below takes the name
  EXPECT_NE(text.find("  OnShow = FormShow\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  OnPaint = FormPaint\r\n"), std::string::npos);
  EXPECT_NE(text.find("  OnHide = FormHide\r\n"), std::string::npos);
  const std::string block = text.substr(text.find("object Explode1"));
  EXPECT_NE(block.find("NoOfSteps = 10"), std::string::npos);
  EXPECT_NE(block.find("OnCloseType = wsScreenMiddle"), std::string::npos);
  EXPECT_NE(block.find("CustomLeft = 0"), std::string::npos);  // no declared default: stored
  EXPECT_NE(block.find("CustomBottom = 0"), std::string::npos);
  for (const char* absent : {"ShowType", "OnShowType", "About"})
    EXPECT_EQ(block.find(absent), std::string::npos) << absent;

  // Read back into a fresh form: the component takes the handlers over again and calls them.
  auto* copy = NewForm<TBehaviourTestForm>(Application);
  TComponentRef<TBehaviourTestForm> copyRef(copy);
  ReadRootText(*copy, text, "Explode.kfm");
  auto* readBack = ObjectCast<TKYTFormExplode>(copy->FindComponent("Explode1"));
  ASSERT_NE(readBack, nullptr);
  EXPECT_EQ(readBack->NoOfSteps(), 10);
  EXPECT_EQ(copy->OnShow(), TNotifyEvent::Bind<&TKYTFormExplode::MyOnShow>(readBack));
  EXPECT_EQ(WriteComponentText(*copy), text);
  readBack->SetNoOfSteps(1);
  copy->Show();
  EXPECT_EQ(copy->Log, std::vector<std::string>{"FormShow"});
  FreeComponent(copy);
}

}  // namespace
}  // namespace kyt
