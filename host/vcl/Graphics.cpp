// Graphics: fonts (a LOGFONT made on demand) and icons (one owned HICON, .ico bytes for streaming).
#include "host/vcl/Graphics.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "host/os/OsSeam.h"

namespace kyt {

COLORREF ColorToRGB(TColor color) {
  const uint32_t v = static_cast<uint32_t>(ColorValue(color));
  if (v & 0x80000000u) return os::user32.GetSysColor(static_cast<int>(v & 0xFF));
  return v & 0x00FFFFFFu;
}

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    HDC dc = os::user32.GetDC(nullptr);
    int value = dc ? os::gdi32.GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) os::user32.ReleaseDC(nullptr, dc);
    return value > 0 ? value : 96;
  }();
  return ppi;
}

// ---------------------------------------------------------------------------------------- TFont

TFont::TFont() : FName("MS Sans Serif"), FHeight(-os::kernel32.MulDiv(8, ScreenPixelsPerInch(), 72)) {}

TFont::~TFont() = default;

void TFont::SetName(const std::string& value) {
  if (value == FName || value.empty()) return;
  FName = value;
  Changed();
}

int32_t TFont::Size() const { return -os::kernel32.MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int32_t value) { SetHeight(-os::kernel32.MulDiv(value, ScreenPixelsPerInch(), 72)); }

void TFont::SetHeight(int32_t value) {
  if (value == FHeight) return;
  FHeight = value;
  Changed();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == FStyle) return;
  FStyle = value;
  Changed();
}

void TFont::SetPitch(TFontPitch value) {
  if (value == FPitch) return;
  FPitch = value;
  Changed();
}

void TFont::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
  return lf;
}

HFONT TFont::Handle() const {
  if (!FHandle) {
    LOGFONTA lf = LogFont();
    FHandle.reset(os::gdi32.CreateFontIndirectA(&lf));
  }
  return FHandle.get();
}

void TFont::Assign(const TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    if (SameAs(*f)) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FPitch = f->FPitch;
    FColor = f->FColor;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::SameAs(const TFont& other) const {
  return FName == other.FName && FHeight == other.FHeight && FStyle == other.FStyle &&
         FPitch == other.FPitch && FColor == other.FColor;
}

void TFont::Changed() {
  FHandle.reset();
  FOnChange(this);
}

// ---------------------------------------------------------------------------------------- TIcon

namespace {

#pragma pack(push, 1)
struct IconDir {
  uint16_t Reserved;
  uint16_t Type;
  uint16_t Count;
};
struct IconDirEntry {
  uint8_t Width;
  uint8_t Height;
  uint8_t ColorCount;
  uint8_t Reserved;
  uint16_t Planes;
  uint16_t BitCount;
  uint32_t BytesInRes;
  uint32_t ImageOffset;
};
#pragma pack(pop)
static_assert(sizeof(IconDir) == 6 && sizeof(IconDirEntry) == 16);

template <class T>
void Append(std::vector<uint8_t>& out, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof(T));
}

// Encodes an icon handle as an .ico file with one 32-bit image and its mask.
std::vector<uint8_t> EncodeIcon(HICON icon) {
  ICONINFO info{};
  if (!os::user32.GetIconInfo(icon, &info)) return {};
  os::UniqueHBitmap color(info.hbmColor);
  os::UniqueHBitmap mask(info.hbmMask);
  BITMAP bm{};
  HBITMAP sizeSource = info.hbmColor ? info.hbmColor : info.hbmMask;
  if (!os::gdi32.GetObjectA(sizeSource, sizeof(bm), &bm)) return {};
  const int w = bm.bmWidth;
  const int h = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  if (w <= 0 || h <= 0 || w > 256 || h > 256) return {};

  HDC screen = os::user32.GetDC(nullptr);
  std::vector<uint8_t> xorBits(static_cast<size_t>(w) * h * 4);
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof(bih);
  bih.biWidth = w;
  bih.biHeight = h;
  bih.biPlanes = 1;
  bih.biBitCount = 32;
  bih.biCompression = BI_RGB;
  if (info.hbmColor) {
    BITMAPINFO bi{};
    bi.bmiHeader = bih;
    os::gdi32.GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(h), xorBits.data(), &bi, DIB_RGB_COLORS);
  } else {
    // A monochrome icon: draw its image into a 32-bit bitmap.
    BITMAPINFO bi{};
    bi.bmiHeader = bih;
    void* bits = nullptr;
    os::UniqueHBitmap dib(os::gdi32.CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    os::UniqueHDC mem(os::gdi32.CreateCompatibleDC(screen));
    if (dib && mem && bits) {
      HGDIOBJ old = os::gdi32.SelectObject(mem.get(), dib.get());
      os::user32.DrawIconEx(mem.get(), 0, 0, icon, w, h, 0, nullptr, DI_IMAGE);
      os::gdi32.GdiFlush();
      std::memcpy(xorBits.data(), bits, xorBits.size());
      os::gdi32.SelectObject(mem.get(), old);
    }
  }
  // The mask as a 1-bit bottom-up bitmap, rows padded to 32 bits.
  const size_t maskStride = static_cast<size_t>((w + 31) / 32) * 4;
  std::vector<uint8_t> andBits(maskStride * h);
  {
    struct {
      BITMAPINFOHEADER Header;
      RGBQUAD Colors[2];
    } mi{};
    mi.Header = bih;
    mi.Header.biBitCount = 1;
    mi.Header.biHeight = info.hbmColor ? h : 2 * h;
    std::vector<uint8_t> all(maskStride * static_cast<size_t>(mi.Header.biHeight));
    os::gdi32.GetDIBits(screen, info.hbmMask, 0, static_cast<UINT>(mi.Header.biHeight), all.data(),
                        reinterpret_cast<BITMAPINFO*>(&mi), DIB_RGB_COLORS);
    // For monochrome icons the AND mask is the upper half, which is the second half bottom-up.
    const size_t offset = info.hbmColor ? 0 : maskStride * h;
    std::memcpy(andBits.data(), all.data() + offset, andBits.size());
  }
  os::user32.ReleaseDC(nullptr, screen);

  BITMAPINFOHEADER imageHeader = bih;
  imageHeader.biHeight = 2 * h;
  imageHeader.biSizeImage = static_cast<DWORD>(xorBits.size() + andBits.size());
  std::vector<uint8_t> out;
  Append(out, IconDir{0, 1, 1});
  IconDirEntry entry{};
  entry.Width = static_cast<uint8_t>(w == 256 ? 0 : w);
  entry.Height = static_cast<uint8_t>(h == 256 ? 0 : h);
  entry.Planes = 1;
  entry.BitCount = 32;
  entry.BytesInRes = static_cast<uint32_t>(sizeof(imageHeader) + xorBits.size() + andBits.size());
  entry.ImageOffset = sizeof(IconDir) + sizeof(IconDirEntry);
  Append(out, entry);
  Append(out, imageHeader);
  out.insert(out.end(), xorBits.begin(), xorBits.end());
  out.insert(out.end(), andBits.begin(), andBits.end());
  return out;
}

// Makes an icon from .ico bytes, choosing the entry closest to the system icon size.
HICON DecodeIcon(const std::vector<uint8_t>& data) {
  if (data.size() < sizeof(IconDir)) return nullptr;
  IconDir dir;
  std::memcpy(&dir, data.data(), sizeof(dir));
  if (dir.Reserved != 0 || dir.Type != 1 || dir.Count == 0) return nullptr;
  if (data.size() < sizeof(IconDir) + static_cast<size_t>(dir.Count) * sizeof(IconDirEntry)) return nullptr;
  const int want = os::user32.GetSystemMetrics(SM_CXICON);
  int best = -1;
  int bestScore = 0;
  for (int i = 0; i < dir.Count; ++i) {
    IconDirEntry e;
    std::memcpy(&e, data.data() + sizeof(IconDir) + i * sizeof(IconDirEntry), sizeof(e));
    if (e.ImageOffset > data.size() || e.BytesInRes > data.size() - e.ImageOffset || e.BytesInRes < 40) continue;
    const int w = e.Width == 0 ? 256 : e.Width;
    const int score = (w > want ? w - want : want - w) * 64 + (64 - (e.BitCount > 63 ? 63 : e.BitCount));
    if (best < 0 || score < bestScore) {
      best = i;
      bestScore = score;
    }
  }
  if (best < 0) return nullptr;
  IconDirEntry e;
  std::memcpy(&e, data.data() + sizeof(IconDir) + best * sizeof(IconDirEntry), sizeof(e));
  auto* bits = const_cast<PBYTE>(data.data() + e.ImageOffset);
  const int w = e.Width == 0 ? 256 : e.Width;
  const int h = e.Height == 0 ? 256 : e.Height;
  return os::user32.CreateIconFromResourceEx(bits, e.BytesInRes, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR);
}

}  // namespace

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle.get()) return;
  FHandle.reset(icon);
  FData.clear();
  Changed();
}

os::UniqueHIcon TIcon::ReleaseHandle() {
  os::UniqueHIcon result(FHandle.release());
  FData.clear();
  Changed();
  return result;
}

int32_t TIcon::Width() const {
  if (!FHandle) return 0;
  ICONINFO info{};
  if (!os::user32.GetIconInfo(FHandle.get(), &info)) return 0;
  os::UniqueHBitmap color(info.hbmColor);
  os::UniqueHBitmap mask(info.hbmMask);
  BITMAP bm{};
  os::gdi32.GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
  return bm.bmWidth;
}

int32_t TIcon::Height() const {
  if (!FHandle) return 0;
  ICONINFO info{};
  if (!os::user32.GetIconInfo(FHandle.get(), &info)) return 0;
  os::UniqueHBitmap color(info.hbmColor);
  os::UniqueHBitmap mask(info.hbmMask);
  BITMAP bm{};
  os::gdi32.GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
  return info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
}

std::vector<uint8_t> TIcon::Data() const {
  if (!FHandle) return {};
  if (!FData.empty()) return FData;
  return EncodeIcon(FHandle.get());
}

void TIcon::SetData(const std::vector<uint8_t>& value) {
  if (value.empty()) {
    if (!FHandle) return;
    FHandle.reset();
    FData.clear();
    Changed();
    return;
  }
  HICON icon = DecodeIcon(value);
  if (!icon) throw EInvalidGraphic("Invalid icon image");
  FHandle.reset(icon);
  FData = value;
  Changed();
}

void TIcon::Assign(const TPersistent* source) {
  if (!source) {
    if (FHandle) {
      FHandle.reset();
      FData.clear();
      Changed();
    }
    return;
  }
  if (auto* icon = dynamic_cast<const TIcon*>(source)) {
    if (icon == this) return;
    FHandle.reset(icon->FHandle ? os::user32.CopyIcon(icon->FHandle.get()) : nullptr);
    FData = icon->FData;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TIcon::LoadFromResourceName(HINSTANCE module, const std::string& name) {
  HICON icon = static_cast<HICON>(os::user32.LoadImageA(module ? module : os::kernel32.GetModuleHandleA(nullptr),
                                                        name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!icon) throw EResNotFound("Resource " + name + " not found");
  FHandle.reset(icon);
  FData.clear();
  Changed();
}

void TIcon::LoadFromResourceID(HINSTANCE module, int id) {
  HICON icon = static_cast<HICON>(os::user32.LoadImageA(module ? module : os::kernel32.GetModuleHandleA(nullptr),
                                                        MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!icon) throw EResNotFound("Resource " + std::to_string(id) + " not found");
  FHandle.reset(icon);
  FData.clear();
  Changed();
}

void TIcon::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError("Cannot open file " + path, 2);
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  SetData(data);
}

void TIcon::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInOutError("Cannot create file " + path, 5);
  const std::vector<uint8_t> data = Data();
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) throw EInOutError("Cannot write file " + path, 29);
}

void TIcon::Changed() { FOnChange(this); }

}  // namespace kyt
