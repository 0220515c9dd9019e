// Tests of TPoint and TRect: the platform's layout, conversions both ways, size and containment.
#include "host/rtl/Types.h"

#include <gtest/gtest.h>

namespace kyt {
namespace {

TEST(Types, RectAndPointConvertToAndFromThePlatformRecords) {
  const TRect r = Bounds(10, 20, 300, 200);
  EXPECT_EQ(r, Rect(10, 20, 310, 220));
  EXPECT_EQ(r.Width(), 300);
  EXPECT_EQ(r.Height(), 200);
  const RECT platform = r;
  EXPECT_EQ(platform.right, 310);
  EXPECT_EQ(TRect(platform), r);
  const POINT p = Point(3, 4);
  EXPECT_EQ(TPoint(p), Point(3, 4));
  EXPECT_EQ(r.TopLeft(), Point(10, 20));
  EXPECT_EQ(r.BottomRight(), Point(310, 220));
}

TEST(Types, ContainsExcludesTheRightAndBottomEdgesAsThePlatformDoes) {
  const TRect r = Rect(0, 0, 10, 10);
  for (const TPoint p : {Point(0, 0), Point(9, 9), Point(10, 5), Point(5, 10), Point(-1, 0)}) {
    const RECT platform = r;
    EXPECT_EQ(r.Contains(p), ::PtInRect(&platform, p) != FALSE) << p.X << "," << p.Y;
  }
  EXPECT_TRUE(Rect(5, 5, 5, 9).IsEmpty());
}

TEST(Types, APlatformCallFillsARectInPlace) {
  TRect r = Rect(-1, -1, -1, -1);
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, r.AsRECT(), 0));
  EXPECT_GT(r.Width(), 0);
  EXPECT_GT(r.Height(), 0);
}

}  // namespace
}  // namespace kyt
