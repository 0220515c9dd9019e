// Tests of fonts, icons and colour conversion against the real GDI objects.
#include "host/vcl/Graphics.h"

#include <gtest/gtest.h>

#include "host/core/FormFile.h"
#include "host/vcl/Forms.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

LOGFONTA LogFontOf(HFONT font) {
  LOGFONTA lf{};
  ::GetObjectA(font, sizeof(lf), &lf);
  return lf;
}

TEST(Font, StartsAsEightPointMsSansSerif) {
  TFont font;
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -::MulDiv(8, ScreenPixelsPerInch(), 72));
  EXPECT_TRUE(font.Style().Empty());
  EXPECT_EQ(font.Color(), clWindowText);
}

TEST(Font, HandleDescribesTheFontAndIsRemadeAfterAChange) {
  TFont font;
  font.SetName("Arial");
  font.SetSize(12);
  font.SetStyle(TFontStyles{fsBold, fsItalic});
  HFONT first = font.Handle();
  ASSERT_TRUE(first);
  LOGFONTA lf = LogFontOf(first);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfHeight, -::MulDiv(12, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(font.Handle(), first);  // unchanged font, same handle

  font.SetStyle(TFontStyles{fsUnderline});
  HFONT second = font.Handle();
  lf = LogFontOf(second);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfItalic);
}

TEST(Font, ChangesRaiseOnChangeAndAssignCopiesEverything) {
  struct Counter {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
  } counter;
  TFont a;
  a.SetOnChange(TNotifyEvent::Bind<&Counter::Changed>(&counter));
  a.SetSize(10);
  a.SetSize(10);  // same value: no change
  EXPECT_EQ(counter.Count, 1);
  TFont b;
  b.SetName("Courier New");
  b.SetColor(clRed);
  b.SetStyle(TFontStyles{fsStrikeOut});
  a.Assign(&b);
  EXPECT_EQ(counter.Count, 2);
  EXPECT_TRUE(a.SameAs(b));
  EXPECT_EQ(a.Name(), "Courier New");
  EXPECT_EQ(a.Color(), clRed);
}

TEST(Colour, SystemColoursAreLookedUp) {
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ColorToRGB(clBtnFace), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clInfoBk), ::GetSysColor(COLOR_INFOBK));
}

HICON SystemIconCopy() { return ::CopyIcon(::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))); }

TEST(Icon, EmptyUntilGivenAHandleWhichItOwns) {
  TIcon icon;
  EXPECT_TRUE(icon.Empty());
  EXPECT_EQ(icon.Handle(), nullptr);
  EXPECT_TRUE(icon.Data().empty());
  HICON h = SystemIconCopy();
  ASSERT_TRUE(h);
  icon.SetHandle(h);
  EXPECT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Handle(), h);
  EXPECT_EQ(icon.Width(), ::GetSystemMetrics(SM_CXICON));
  os::UniqueHIcon taken = icon.ReleaseHandle();
  EXPECT_EQ(taken.get(), h);
  EXPECT_TRUE(icon.Empty());
}

TEST(Icon, AssignCopiesTheImageIntoAHandleOfItsOwn) {
  TIcon a;
  a.SetHandle(SystemIconCopy());
  TIcon b;
  b.Assign(&a);
  ASSERT_FALSE(b.Empty());
  EXPECT_NE(b.Handle(), a.Handle());
  EXPECT_EQ(b.Width(), a.Width());
  TIcon empty;
  b.Assign(&empty);
  EXPECT_TRUE(b.Empty());
}

TEST(Icon, DataRoundTripsThroughIcoBytes) {
  TIcon a;
  a.SetHandle(SystemIconCopy());
  const std::vector<uint8_t> data = a.Data();
  ASSERT_GT(data.size(), 22u);
  EXPECT_EQ(data[0], 0);
  EXPECT_EQ(data[2], 1);  // ICONDIR type 1: icon
  TIcon b;
  b.SetData(data);
  ASSERT_FALSE(b.Empty());
  EXPECT_EQ(b.Width(), a.Width());
  EXPECT_EQ(b.Height(), a.Height());
  EXPECT_EQ(b.Data(), data);  // bytes read are given back unchanged
  b.SetData({});
  EXPECT_TRUE(b.Empty());
}

TEST(Icon, RefusesBytesThatAreNotAnIcon) {
  TIcon icon;
  EXPECT_THROW(icon.SetData({1, 2, 3, 4, 5, 6, 7, 8}), EInvalidGraphic);
  EXPECT_TRUE(icon.Empty());
  EXPECT_THROW(icon.LoadFromResourceName(nullptr, "NO_SUCH_ICON"), EResNotFound);
}

TEST(Icon, StreamsAsBinaryDataInAFormFile) {
  TForm form(nullptr);
  form.SetName("IconForm");
  form.Icon()->SetHandle(SystemIconCopy());
  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("Icon.Data = {"), std::string::npos) << text;

  TForm copy(nullptr);
  ReadRootText(copy, text, "IconForm.kfm");
  ASSERT_FALSE(copy.Icon()->Empty());
  EXPECT_EQ(copy.Icon()->Width(), form.Icon()->Width());
  EXPECT_EQ(copy.Icon()->Data(), form.Icon()->Data());
}

}  // namespace
}  // namespace kyt
