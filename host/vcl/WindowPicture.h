// WindowPicture: a window's look as pixels, and pixels as a PNG file, for screenshots of a form.
#ifndef KYT_HOST_VCL_WINDOWPICTURE_H
#define KYT_HOST_VCL_WINDOWPICTURE_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/os/Win.h"

namespace kyt {

// Pixels as red, green and blue bytes, rows from the top.
struct TPixels {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Rgb;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  // The pixel at x, y as a COLORREF (0x00BBGGRR).
  COLORREF At(int32_t x, int32_t y) const;
};

// The window as the screen shows it now, frame included; empty pixels when it cannot be read
// (no window, a window of no size, no memory for the bitmap).
TPixels CaptureWindow(HWND window);

// A PNG file of the pixels: 8-bit RGB, one zlib stream of fixed-code deflate blocks. Raises
// EInvalidGraphic for empty pixels or a buffer that does not match the size.
std::vector<uint8_t> EncodePng(const TPixels& pixels);

// Writes EncodePng's bytes; false when the file cannot be written (nothing is left behind).
bool SavePng(const TPixels& pixels, const std::string& fileName);

}  // namespace kyt

#endif  // KYT_HOST_VCL_WINDOWPICTURE_H
