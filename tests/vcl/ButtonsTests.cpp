// Tests of the speed button: the pixels it draws for each state and look, and its click.
#include "host/vcl/Buttons.h"

#include <gtest/gtest.h>

#include "host/vcl/Forms.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using vcltest::PumpApp;

COLORREF PixelOf(HWND window, int x, int y) {
  HDC dc = ::GetDC(window);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return c;
}

struct Clicks {
  int Count = 0;
  void Click(TObject*) { ++Count; }
};

// The glyph (16 by 16, red top-left and yellow bottom-right quarters) sits in the middle of a
// 40 by 40 button, one pixel further down and right while pressed; the corner shows the edge.
TEST(SpeedButton, DrawsItsGlyphAndTheEdgeOfItsState) {
  struct Case {
    bool Flat;
    bool Pressed;
    int Corner;  // system colour of pixel (0, 0)
  };
  const Case cases[] = {
      {true, false, COLOR_BTNFACE},
      {true, true, COLOR_BTNSHADOW},
      {false, false, COLOR_BTNHIGHLIGHT},
      {false, true, COLOR_BTNSHADOW},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    form.SetBounds(60, 60, 200, 120);
    auto* button = new TSpeedButton(&form);
    button->SetParent(&form);
    button->SetBounds(8, 8, 40, 40);
    button->SetFlat(c.Flat);
    button->SetGlyphResource("SPEEDGLYPH");
    form.Show();
    HWND window = button->Handle();
    if (c.Pressed) ::SendMessageA(window, BM_SETSTATE, TRUE, 0);
    ::UpdateWindow(window);
    const int at = 12 + (c.Pressed ? 1 : 0);
    const auto drawn = [&] { return PixelOf(window, at + 3, at + 3) == RGB(255, 0, 0); };
    EXPECT_TRUE(PumpApp(drawn)) << c.Flat << c.Pressed;
    EXPECT_EQ(PixelOf(window, at + 12, at + 12), RGB(255, 255, 0));
    EXPECT_EQ(PixelOf(window, at - 1, at + 3), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PixelOf(window, 0, 0), ::GetSysColor(c.Corner)) << c.Flat << c.Pressed;
  }
}

TEST(SpeedButton, AClickRunsOnClickAndAMissingGlyphIsRefused) {
  TForm form(nullptr);
  auto* button = new TSpeedButton(&form);
  button->SetParent(&form);
  button->SetGlyphResource("SPEEDGLYPH");
  Clicks clicks;
  button->SetOnClick(TNotifyEvent::Bind<&Clicks::Click>(&clicks));
  form.Show();
  ::SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks.Count, 1);
  HBITMAP glyph = button->Glyph();
  EXPECT_THROW(button->SetGlyphResource("NOSUCHGLYPH"), EResNotFound);
  EXPECT_EQ(button->GlyphResource(), "SPEEDGLYPH");
  EXPECT_EQ(button->Glyph(), glyph);
  button->SetGlyphResource("");
  EXPECT_EQ(button->Glyph(), nullptr);
}

}  // namespace
}  // namespace kyt
