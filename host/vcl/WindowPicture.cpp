// WindowPicture: the capture through a 32-bit DIB section, and a small PNG encoder. Screenshots
// of forms are mostly flat colour repeated along rows and from row to row, which a greedy LZ77
// over fixed deflate codes already shrinks well, so no dynamic Huffman tables are built.
#include "host/vcl/WindowPicture.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Graphics.h"

namespace kyt {

namespace {

// ---- deflate with the fixed codes (RFC 1951, 3.2.6)

class TBitWriter {
 public:
  explicit TBitWriter(std::vector<uint8_t>& out) : FOut(out) {}
  // The low count bits of value, first bit first.
  void Bits(uint32_t value, int count) {
    FBuffer |= static_cast<uint64_t>(value) << FCount;
    FCount += count;
    while (FCount >= 8) {
      FOut.push_back(static_cast<uint8_t>(FBuffer));
      FBuffer >>= 8;
      FCount -= 8;
    }
  }
  // A Huffman code, which is sent most significant bit first.
  void Code(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    Bits(reversed, length);
  }
  void Flush() {
    if (FCount > 0) FOut.push_back(static_cast<uint8_t>(FBuffer));
    FBuffer = 0;
    FCount = 0;
  }

 private:
  std::vector<uint8_t>& FOut;
  uint64_t FBuffer = 0;
  int FCount = 0;
};

void LiteralOrLength(TBitWriter& w, int symbol) {
  if (symbol < 144) w.Code(0x30 + symbol, 8);
  else if (symbol < 256) w.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280) w.Code(symbol - 256, 7);
  else w.Code(0xC0 + symbol - 280, 8);
}

constexpr std::array<uint16_t, 29> kLengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                               2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistanceBase{1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                                 33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(TBitWriter& w, int length, int distance) {
  int l = 28;
  while (kLengthBase[l] > length) --l;
  LiteralOrLength(w, 257 + l);
  w.Bits(length - kLengthBase[l], kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  w.Code(d, 5);
  w.Bits(distance - kDistanceBase[d], kDistanceExtra[d]);
}

constexpr int kWindow = 32768;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kMaxChain = 48;
constexpr int kHashBits = 15;

uint32_t Hash3(const uint8_t* p) {
  return ((p[0] << 16 | p[1] << 8 | p[2]) * 2654435761u) >> (32 - kHashBits);
}

// One final block of fixed codes; greedy matches found through hash chains.
void Deflate(const std::vector<uint8_t>& data, std::vector<uint8_t>& out) {
  TBitWriter w(out);
  w.Bits(1, 1);  // final block
  w.Bits(1, 2);  // fixed codes
  const int n = static_cast<int>(data.size());
  std::vector<int> head(size_t{1} << kHashBits, -1);
  std::vector<int> previous(kWindow, -1);
  const auto insert = [&](int at) {
    if (at + kMinMatch > n) return;
    const uint32_t h = Hash3(&data[at]);
    previous[at % kWindow] = head[h];
    head[h] = at;
  };
  for (int at = 0; at < n;) {
    int bestLength = 0, bestDistance = 0;
    if (at + kMinMatch <= n) {
      const int limit = std::min(kMaxMatch, n - at);
      int candidate = head[Hash3(&data[at])];
      for (int chain = 0; candidate >= 0 && at - candidate <= kWindow && chain < kMaxChain; ++chain) {
        int length = 0;
        while (length < limit && data[candidate + length] == data[at + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = at - candidate;
          if (length == limit) break;
        }
        const int next = previous[candidate % kWindow];
        if (next >= candidate) break;  // the slot was reused by a newer position
        candidate = next;
      }
    }
    if (bestLength >= kMinMatch) {
      Match(w, bestLength, bestDistance);
      for (int i = 0; i < bestLength; ++i) insert(at + i);
      at += bestLength;
    } else {
      LiteralOrLength(w, data[at]);
      insert(at);
      ++at;
    }
  }
  LiteralOrLength(w, 256);  // end of block
  w.Flush();
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char (&type)[5], const std::vector<uint8_t>& data) {
  PutBigEndian(png, static_cast<uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBigEndian(png, Crc32(&png[start], png.size() - start));
}

}  // namespace

COLORREF TPixels::At(int32_t x, int32_t y) const {
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) * 3;
  return RGB(Rgb[i], Rgb[i + 1], Rgb[i + 2]);
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
      pixels.Rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
      const auto* bgra = static_cast<const uint8_t*>(bits);
      for (size_t i = 0, n = static_cast<size_t>(w) * static_cast<size_t>(h); i < n; ++i) {
        pixels.Rgb[i * 3] = bgra[i * 4 + 2];
        pixels.Rgb[i * 3 + 1] = bgra[i * 4 + 1];
        pixels.Rgb[i * 3 + 2] = bgra[i * 4];
      }
    }
  }
  os::user32.ReleaseDC(window, source);
  return pixels;
}

std::vector<uint8_t> EncodePng(const TPixels& pixels) {
  const size_t row = static_cast<size_t>(pixels.Width) * 3;
  if (pixels.Empty() || pixels.Rgb.size() != row * static_cast<size_t>(pixels.Height))
    throw EInvalidGraphic("No picture to encode: " + std::to_string(pixels.Width) + "x" +
                          std::to_string(pixels.Height) + " with " + std::to_string(pixels.Rgb.size()) + " bytes");
  // Every row starts with its filter type; 0 leaves the bytes as they are.
  std::vector<uint8_t> raw;
  raw.reserve((row + 1) * static_cast<size_t>(pixels.Height));
  for (int32_t y = 0; y < pixels.Height; ++y) {
    raw.push_back(0);
    const auto start = pixels.Rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(y));
    raw.insert(raw.end(), start, start + static_cast<std::ptrdiff_t>(row));
  }
  std::vector<uint8_t> zlib{0x78, 0x01};  // deflate, 32 KB window, no dictionary
  Deflate(raw, zlib);
  PutBigEndian(zlib, Adler32(raw));

  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(pixels.Width));
  PutBigEndian(header, static_cast<uint32_t>(pixels.Height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", {});
  return png;
}

bool SavePng(const TPixels& pixels, const std::string& fileName) {
  const std::vector<uint8_t> png = EncodePng(pixels);
  os::UniqueFile file(os::kernel32.CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  const bool ok = os::kernel32.WriteFile(file.get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
                  written == png.size();
  file.reset();
  if (!ok) os::kernel32.DeleteFileA(fileName.c_str());
  return ok;
}

}  // namespace kyt
