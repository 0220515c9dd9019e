// Types: TPoint and TRect, the runtime's point and rectangle. They have the platform's POINT and
// RECT layout, so a TRect& can be handed to a call that fills a RECT, and convert both ways.
#ifndef KYT_HOST_RTL_TYPES_H
#define KYT_HOST_RTL_TYPES_H

#include <cstddef>
#include <cstdint>

#include "host/os/Win.h"

namespace kyt {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;

  constexpr TPoint() = default;
  constexpr TPoint(int32_t x, int32_t y) : X(x), Y(y) {}
  constexpr TPoint(const POINT& p) : X(p.x), Y(p.y) {}  // NOLINT: implicit, like the platform's
  constexpr operator POINT() const { return POINT{X, Y}; }
  POINT* AsPOINT() { return reinterpret_cast<POINT*>(this); }
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  constexpr TRect() = default;
  constexpr TRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
      : Left(left), Top(top), Right(right), Bottom(bottom) {}
  constexpr TRect(const TPoint& topLeft, const TPoint& bottomRight)
      : Left(topLeft.X), Top(topLeft.Y), Right(bottomRight.X), Bottom(bottomRight.Y) {}
  constexpr TRect(const RECT& r) : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}  // NOLINT
  constexpr operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
  // The same storage seen as the platform's record, for calls that fill or read one in place.
  RECT* AsRECT() { return reinterpret_cast<RECT*>(this); }
  const RECT* AsRECT() const { return reinterpret_cast<const RECT*>(this); }

  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  // Whether p lies inside, the right and bottom edges excluded (as PtInRect).
  constexpr bool Contains(const TPoint& p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

static_assert(sizeof(TPoint) == sizeof(POINT) && offsetof(TPoint, Y) == offsetof(POINT, y));
static_assert(sizeof(TRect) == sizeof(RECT) && offsetof(TRect, Top) == offsetof(RECT, top) &&
              offsetof(TRect, Right) == offsetof(RECT, right) && offsetof(TRect, Bottom) == offsetof(RECT, bottom));

constexpr TPoint Point(int32_t x, int32_t y) { return {x, y}; }
constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) { return {left, top, right, bottom}; }
// A rectangle from its top-left corner and size.
constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {left, top, left + width, top + height};
}

}  // namespace kyt

#endif  // KYT_HOST_RTL_TYPES_H
