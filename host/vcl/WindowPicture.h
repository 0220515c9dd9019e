// WindowPicture: a window's look as pixels, and pixels as a PNG file, for screenshots of a form.
#ifndef KYT_HOST_VCL_WINDOWPICTURE_H
#define KYT_HOST_VCL_WINDOWPICTURE_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/os/Win.h"

namespace kyt {

// Pixels as blue, green and red bytes, rows from the top without padding: the order of a DIB
// and of the imaging component's 24-bit BGR format, so neither side converts.
struct TPixels {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Bgr;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  // The pixel at x, y as a COLORREF (0x00BBGGRR).
  COLORREF At(int32_t x, int32_t y) const;
};

// The window as the screen shows it now, frame included; empty pixels when it cannot be read
// (no window, a window of no size, no memory for the bitmap).
TPixels CaptureWindow(HWND window);

// Writes the pixels as a 24-bit PNG file through the platform's imaging component (WIC). Raises
// EInvalidGraphic for empty pixels or a buffer that does not match the size; false when the
// file cannot be written or the component is missing, and then no half-written file is left.
// The calling thread's COM is left as it was found.
bool SavePng(const TPixels& pixels, const std::string& fileName);

}  // namespace kyt

#endif  // KYT_HOST_VCL_WINDOWPICTURE_H
