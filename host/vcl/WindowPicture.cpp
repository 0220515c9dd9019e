// WindowPicture: the capture through a 32-bit DIB section; the PNG file through the imaging
// component's encoder, which the platform keeps.
#include "host/vcl/WindowPicture.h"

#include <wincodec.h>

#include <cstring>
#include <limits>

#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/Graphics.h"

namespace kyt {

namespace {

using os::UniqueCom;

// COM on the calling thread for the scope. A thread that already has it (in either model) keeps
// it: only an initialisation made here is undone.
class TComScope {
 public:
  TComScope() : FResult(os::ole32.CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComScope() {
    if (SUCCEEDED(FResult)) os::ole32.CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;
  // RPC_E_CHANGED_MODE: the thread is in the multithreaded model already, where WIC works too.
  bool Ready() const { return SUCCEEDED(FResult) || FResult == RPC_E_CHANGED_MODE; }

 private:
  HRESULT FResult;
};

// Encodes the pixels into the file; created tells whether the file was opened (and so may hold
// a part of a picture). Every object is released before it returns, which closes the file.
HRESULT EncodePngFile(const TPixels& pixels, const std::string& fileName, bool& created) {
  created = false;
  const UINT width = static_cast<UINT>(pixels.Width), height = static_cast<UINT>(pixels.Height);
  UniqueCom<IWICImagingFactory> factory;
  HRESULT hr = os::ole32.CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()));
  UniqueCom<IWICStream> stream;
  if (SUCCEEDED(hr)) hr = factory.get()->CreateStream(stream.put());
  if (SUCCEEDED(hr)) hr = stream.get()->InitializeFromFilename(WideFromText(fileName).c_str(), GENERIC_WRITE);
  created = SUCCEEDED(hr);
  UniqueCom<IWICBitmapEncoder> encoder;
  if (SUCCEEDED(hr)) hr = factory.get()->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
  if (SUCCEEDED(hr)) hr = encoder.get()->Initialize(stream.get(), WICBitmapEncoderNoCache);
  UniqueCom<IWICBitmapFrameEncode> frame;
  UniqueCom<IPropertyBag2> options;
  if (SUCCEEDED(hr)) hr = encoder.get()->CreateNewFrame(frame.put(), options.put());
  if (SUCCEEDED(hr)) hr = frame.get()->Initialize(options.get());
  if (SUCCEEDED(hr)) hr = frame.get()->SetSize(width, height);
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(hr)) hr = frame.get()->SetPixelFormat(&format);
  // An encoder may answer with the nearest format it has; the bytes would then be misread.
  if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  const UINT stride = width * 3;
  if (SUCCEEDED(hr))
    hr = frame.get()->WritePixels(height, stride, stride * height, const_cast<BYTE*>(pixels.Bgr.data()));
  if (SUCCEEDED(hr)) hr = frame.get()->Commit();
  if (SUCCEEDED(hr)) hr = encoder.get()->Commit();
  return hr;
}

}  // namespace

COLORREF TPixels::At(int32_t x, int32_t y) const {
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) * 3;
  return RGB(Bgr[i + 2], Bgr[i + 1], Bgr[i]);
}

TPixels CaptureWindow(HWND window) {
  TPixels pixels;
  RECT r{};
  if (!window || !os::user32.GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top) return pixels;
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC source = os::user32.GetWindowDC(window);
  if (!source) return pixels;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  os::UniqueHBitmap dib(os::gdi32.CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  os::UniqueHDC memory(os::gdi32.CreateCompatibleDC(source));
  if (dib && memory && bits) {
    HGDIOBJ old = os::gdi32.SelectObject(memory.get(), dib.get());
    const bool copied = os::gdi32.BitBlt(memory.get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
    os::gdi32.GdiFlush();
    os::gdi32.SelectObject(memory.get(), old);
    if (copied) {
      pixels.Width = w;
      pixels.Height = h;
      const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
      pixels.Bgr.resize(n * 3);
      // The fourth byte of a 32-bit DIB pixel is unused; a PNG with it as alpha would be clear.
      const auto* bgrx = static_cast<const uint8_t*>(bits);
      for (size_t i = 0; i < n; ++i) std::memcpy(&pixels.Bgr[i * 3], &bgrx[i * 4], 3);
    }
  }
  os::user32.ReleaseDC(window, source);
  return pixels;
}

bool SavePng(const TPixels& pixels, const std::string& fileName) {
  const size_t size = static_cast<size_t>(pixels.Width) * 3 * static_cast<size_t>(pixels.Height);
  if (pixels.Empty() || pixels.Bgr.size() != size || size > std::numeric_limits<UINT>::max())
    throw EInvalidGraphic("No picture to encode: " + std::to_string(pixels.Width) + "x" +
                          std::to_string(pixels.Height) + " with " + std::to_string(pixels.Bgr.size()) + " bytes");
  bool created = false;
  HRESULT hr = E_FAIL;
  {
    const TComScope com;
    if (com.Ready()) hr = EncodePngFile(pixels, fileName, created);
  }
  if (FAILED(hr) && created) os::kernel32.DeleteFileA(fileName.c_str());
  return SUCCEEDED(hr);
}

}  // namespace kyt
