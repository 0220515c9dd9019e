// Tests of window pictures: the PNG encoder's output is taken apart again by an independent
// reader (chunks, checksums and an inflater for the blocks the encoder writes), and a shown
// form is captured and its pixels compared with the colours it paints.
#include "host/vcl/WindowPicture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "host/core/FormFile.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/StdCtrls.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using vcltest::PumpApp;

uint32_t BigEndian(const std::vector<uint8_t>& d, size_t at) {
  if (at + 4 > d.size()) throw std::runtime_error("truncated");
  return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
}

uint32_t BitwiseCrc32(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

class BitReader {
 public:
  explicit BitReader(const std::vector<uint8_t>& d, size_t start) : FData(d), FPos(start) {}
  uint32_t Bit() {
    if (FPos >= FData.size()) throw std::runtime_error("deflate data ends early");
    const uint32_t b = (FData[FPos] >> FBit) & 1u;
    if (++FBit == 8) FBit = 0, ++FPos;
    return b;
  }
  uint32_t Bits(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= Bit() << i;
    return v;
  }
  uint32_t Code(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 1 | Bit();
    return v;
  }
  void AlignToByte() {
    if (FBit) FBit = 0, ++FPos;
  }
  size_t Position() const { return FPos; }
  void Skip(size_t n) { FPos += n; }

 private:
  const std::vector<uint8_t>& FData;
  size_t FPos;
  int FBit = 0;
};

int FixedSymbol(BitReader& r) {
  uint32_t v = r.Code(7);
  if (v <= 23) return 256 + static_cast<int>(v);
  v = v << 1 | r.Bit();
  if (v >= 0x30 && v <= 0xBF) return static_cast<int>(v - 0x30);
  if (v >= 0xC0 && v <= 0xC7) return 280 + static_cast<int>(v - 0xC0);
  v = v << 1 | r.Bit();
  return 144 + static_cast<int>(v - 0x190);
}

// Inflates stored and fixed-code blocks (the encoder writes nothing else) from a zlib stream.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& zlib) {
  static const int kLength[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const int kLengthBits[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  if (zlib.size() < 6 || (zlib[0] * 256 + zlib[1]) % 31 != 0 || (zlib[0] & 0x0F) != 8)
    throw std::runtime_error("not a zlib header");
  BitReader r(zlib, 2);
  std::vector<uint8_t> out;
  for (bool last = false; !last;) {
    last = r.Bits(1) != 0;
    const uint32_t type = r.Bits(2);
    if (type == 0) {
      r.AlignToByte();
      const uint32_t n = zlib[r.Position()] | zlib[r.Position() + 1] << 8;
      r.Skip(4);
      out.insert(out.end(), zlib.begin() + static_cast<std::ptrdiff_t>(r.Position()),
                 zlib.begin() + static_cast<std::ptrdiff_t>(r.Position() + n));
      r.Skip(n);
      continue;
    }
    if (type != 1) throw std::runtime_error("unexpected block type");
    for (int symbol = FixedSymbol(r); symbol != 256; symbol = FixedSymbol(r)) {
      if (symbol < 256) {
        out.push_back(static_cast<uint8_t>(symbol));
        continue;
      }
      if (symbol > 285) throw std::runtime_error("bad length code");
      const int length = kLength[symbol - 257] + static_cast<int>(r.Bits(kLengthBits[symbol - 257]));
      const int code = static_cast<int>(r.Code(5));
      if (code > 29) throw std::runtime_error("bad distance code");
      const int extra = code < 4 ? 0 : code / 2 - 1;
      const int base = code < 4 ? code + 1 : ((2 + code % 2) << extra) + 1;
      const size_t distance = static_cast<size_t>(base + static_cast<int>(r.Bits(extra)));
      if (distance > out.size()) throw std::runtime_error("distance before the start");
      for (int i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
    }
  }
  r.AlignToByte();
  uint32_t a = 1, b = 0;
  for (uint8_t byte : out) a = (a + byte) % 65521, b = (b + a) % 65521;
  if (BigEndian(zlib, r.Position()) != (b << 16 | a)) throw std::runtime_error("Adler-32 differs");
  return out;
}

// The pixels a PNG holds, checking every chunk's CRC on the way.
TPixels DecodePng(const std::vector<uint8_t>& png) {
  static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), png.begin()))
    throw std::runtime_error("no PNG signature");
  TPixels pixels;
  std::vector<uint8_t> zlib;
  bool ended = false;
  for (size_t at = 8; !ended;) {
    const uint32_t length = BigEndian(png, at);
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4), png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    if (at + 12 + length > png.size()) throw std::runtime_error("chunk " + type + " runs past the end");
    if (BitwiseCrc32(&png[at + 4], length + 4) != BigEndian(png, at + 8 + length)) throw std::runtime_error("bad CRC in " + type);
    const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
    if (type == "IHDR") {
      pixels.Width = static_cast<int32_t>(BigEndian(png, at + 8));
      pixels.Height = static_cast<int32_t>(BigEndian(png, at + 12));
      if (std::vector<uint8_t>(data + 8, data + 13) != std::vector<uint8_t>{8, 2, 0, 0, 0})
        throw std::runtime_error("not 8-bit RGB");
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), data, data + length);
    }
    ended = type == "IEND";
    at += 12 + length;
  }
  const std::vector<uint8_t> raw = Inflate(zlib);
  const size_t row = static_cast<size_t>(pixels.Width) * 3;
  if (raw.size() != (row + 1) * static_cast<size_t>(pixels.Height)) throw std::runtime_error("wrong amount of pixel data");
  for (int32_t y = 0; y < pixels.Height; ++y) {
    const size_t start = static_cast<size_t>(y) * (row + 1);
    if (raw[start] != 0) throw std::runtime_error("unexpected filter");
    pixels.Rgb.insert(pixels.Rgb.end(), raw.begin() + static_cast<std::ptrdiff_t>(start + 1),
                      raw.begin() + static_cast<std::ptrdiff_t>(start + 1 + row));
  }
  return pixels;
}

TPixels Pattern(int32_t width, int32_t height) {
  TPixels p{width, height, {}};
  uint32_t seed = 12345;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      // Noise on the left, flat colour on the right, and the lower half repeats the upper.
      const bool noisy = x < width / 3 && y < height / 2;
      const uint8_t v = noisy ? static_cast<uint8_t>(seed >> 16) : static_cast<uint8_t>(x / 7 * 40);
      p.Rgb.insert(p.Rgb.end(), {v, static_cast<uint8_t>(noisy ? v ^ 0x5A : 200), static_cast<uint8_t>(y % 2 ? 10 : v)});
    }
  }
  return p;
}

TEST(WindowPicture, PngHoldsThePixelsExactlyAndCompressesFlatAreas) {
  for (const TPixels& original : {Pattern(1, 1), Pattern(97, 61), Pattern(400, 300)}) {
    const std::vector<uint8_t> png = EncodePng(original);
    TPixels decoded;
    ASSERT_NO_THROW(decoded = DecodePng(png)) << original.Width << "x" << original.Height;
    EXPECT_EQ(decoded.Width, original.Width);
    EXPECT_EQ(decoded.Height, original.Height);
    EXPECT_EQ(decoded.Rgb, original.Rgb) << original.Width << "x" << original.Height;
  }
  TPixels flat{640, 480, std::vector<uint8_t>(640 * 480 * 3, 0xC0)};
  EXPECT_LT(EncodePng(flat).size(), flat.Rgb.size() / 100);
  EXPECT_EQ(DecodePng(EncodePng(flat)).Rgb, flat.Rgb);

  EXPECT_THROW(EncodePng(TPixels{}), EInvalidGraphic);
  EXPECT_THROW(EncodePng(TPixels{2, 2, std::vector<uint8_t>(11)}), EInvalidGraphic);
}

// Labels read from a form file, one with a font of its own, show their text once painted:
// into a new form, and into one whose window exists already (a component that hooks the form
// makes it while the file is read).
TEST(WindowPicture, LabelsReadFromAFormShowTheirText) {
  RegisterClasses({&TForm::StaticClass(), &TLabel::StaticClass()});
  const std::string text =
      "object LabelForm: TForm\n  Left = 40\n  Top = 40\n  Width = 300\n  Height = 120\n"
      "  object Plain: TLabel\n    Left = 8\n    Top = 8\n    Caption = 'Plain heading'\n  end\n"
      "  object Bold: TLabel\n    Left = 8\n    Top = 40\n    Caption = 'Bold heading'\n"
      "    Font.Style = [fsBold]\n    ParentFont = False\n  end\nend\n";
  for (bool windowFirst : {false, true}) {
    TForm form(nullptr);
    if (windowFirst) form.HandleNeeded();
    ReadRootText(form, text, "labels.kfm");
    form.Show();
    RECT frame{};
    ::GetWindowRect(form.Handle(), &frame);
    for (const char* name : {"Plain", "Bold"}) {
      auto* label = dynamic_cast<TLabel*>(form.FindComponent(name));
      ASSERT_NE(label, nullptr);
      ASSERT_TRUE(label->HandleAllocated()) << name << " has no window" << (windowFirst ? " (window first)" : "");
      RECT r{};
      ASSERT_TRUE(::GetWindowRect(label->Handle(), &r));
      const auto darkPixels = [&] {
        const TPixels pixels = CaptureWindow(form.Handle());
        int dark = 0;
        for (int y = r.top - frame.top; !pixels.Empty() && y < r.bottom - frame.top; ++y)
          for (int x = r.left - frame.left; x < r.right - frame.left; ++x)
            dark += GetRValue(pixels.At(x, y)) < 64;
        return dark;
      };
      EXPECT_TRUE(PumpApp([&] { return darkPixels() > 20; })) << name << " shows no text" << (windowFirst ? " (window first)" : "");
    }
  }
}

TEST(WindowPicture, CapturesAShownFormAsItIsPaintedAndSavesIt) {
  TForm form(nullptr);
  form.SetBounds(40, 40, 240, 180);
  form.SetColor(clBlue);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 60, 40);
  panel->SetColor(clRed);
  form.Show();
  RECT frame{};
  ::GetWindowRect(form.Handle(), &frame);
  POINT origin{0, 0};
  ::ClientToScreen(form.Handle(), &origin);
  const int dx = origin.x - frame.left, dy = origin.y - frame.top;
  TPixels pixels;
  const bool painted = PumpApp([&] {
    pixels = CaptureWindow(form.Handle());
    return !pixels.Empty() && pixels.At(dx + 150, dy + 100) == RGB(0, 0, 255) && pixels.At(dx + 40, dy + 30) == RGB(255, 0, 0);
  });
  ASSERT_TRUE(painted) << "the captured form never showed its colours";
  EXPECT_EQ(pixels.Width, frame.right - frame.left);
  EXPECT_EQ(pixels.Height, frame.bottom - frame.top);

  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "kyt-window-picture.png";
  ASSERT_TRUE(SavePng(pixels, path));
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  ::DeleteFileA(path.c_str());
  EXPECT_EQ(saved, EncodePng(pixels));
  EXPECT_FALSE(SavePng(pixels, std::string(temp) + "no-such-folder\\picture.png"));
  EXPECT_TRUE(CaptureWindow(nullptr).Empty());
}

}  // namespace
}  // namespace kyt
