// Tests of window pictures: pictures saved as PNG files are read back with the platform's own
// decoder and compared byte for byte, and a shown form is captured and its pixels compared with
// the colours it paints.
#include "host/vcl/WindowPicture.h"

#include <gtest/gtest.h>

#include <wincodec.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/core/FormFile.h"
#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/StdCtrls.h"
#include "tests/support/NonAscii.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

using os::UniqueCom;
using vcltest::PumpApp;

// What the platform's decoder reads from a file: its container, its frame's own pixel format
// and the pixels as 24-bit BGR.
struct TDecoded {
  bool Png = false;
  bool Bgr24 = false;
  TPixels Pixels;
};

TDecoded ReadPicture(const std::string& path) {
  TDecoded decoded;
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    UniqueCom<IWICImagingFactory> factory;
    UniqueCom<IWICBitmapDecoder> decoder;
    UniqueCom<IWICBitmapFrameDecode> frame;
    UniqueCom<IWICFormatConverter> converter;
    GUID container{}, format{};
    UINT width = 0, height = 0;
    HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory.put()));
    if (SUCCEEDED(hr))
      hr = factory.get()->CreateDecoderFromFilename(WideFromText(path).c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, decoder.put());
    if (SUCCEEDED(hr)) hr = decoder.get()->GetContainerFormat(&container);
    if (SUCCEEDED(hr)) hr = decoder.get()->GetFrame(0, frame.put());
    if (SUCCEEDED(hr)) hr = frame.get()->GetPixelFormat(&format);
    if (SUCCEEDED(hr)) hr = frame.get()->GetSize(&width, &height);
    if (SUCCEEDED(hr)) hr = factory.get()->CreateFormatConverter(converter.put());
    if (SUCCEEDED(hr))
      hr = converter.get()->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                       0.0, WICBitmapPaletteTypeCustom);
    std::vector<uint8_t> bytes(size_t{width} * 3 * height);
    if (SUCCEEDED(hr))
      hr = converter.get()->CopyPixels(nullptr, width * 3, static_cast<UINT>(bytes.size()), bytes.data());
    if (SUCCEEDED(hr)) {
      decoded.Png = IsEqualGUID(container, GUID_ContainerFormatPng);
      decoded.Bgr24 = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR);
      decoded.Pixels = TPixels{static_cast<int32_t>(width), static_cast<int32_t>(height), std::move(bytes)};
    }
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return decoded;
}

std::string FileText(const std::string& path) {
  std::ifstream file(std::filesystem::path(WideFromText(path)), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
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
      p.Bgr.insert(p.Bgr.end(), {static_cast<uint8_t>(y % 2 ? 10 : v), static_cast<uint8_t>(noisy ? v ^ 0x5A : 200), v});
    }
  }
  return p;
}

// Pictures go into a folder of their own whose name is in several scripts.
class WindowPictureFile : public ::testing::Test {
 protected:
  void SetUp() override {
    FFolder = test::SandboxPath("window picture " + std::to_string(::GetCurrentProcessId()));
    ::CreateDirectoryW(WideFromText(FFolder).c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& name : {"picture.png", "kept.png", "in com.png"})
      ::DeleteFileW(WideFromText(Path(name)).c_str());
    ::RemoveDirectoryW(WideFromText(FFolder).c_str());
  }
  std::string Path(const std::string& name) const { return FFolder + "\\" + name; }
  std::string FFolder;
};

TEST_F(WindowPictureFile, PngHoldsThePixelsExactly) {
  const std::string path = Path("picture.png");
  for (const TPixels& original : {Pattern(1, 1), Pattern(97, 61), Pattern(400, 300),
                                  TPixels{640, 480, std::vector<uint8_t>(640 * 480 * 3, 0xC0)}}) {
    ASSERT_TRUE(SavePng(original, path)) << original.Width << "x" << original.Height;
    const TDecoded decoded = ReadPicture(path);
    EXPECT_TRUE(decoded.Png) << original.Width << "x" << original.Height;
    EXPECT_TRUE(decoded.Bgr24) << original.Width << "x" << original.Height;
    EXPECT_EQ(decoded.Pixels.Width, original.Width);
    EXPECT_EQ(decoded.Pixels.Height, original.Height);
    EXPECT_EQ(decoded.Pixels.Bgr, original.Bgr) << original.Width << "x" << original.Height;
  }
  // The last one, flat grey, takes a small part of its bytes.
  EXPECT_LT(FileText(path).size(), 640u * 480u * 3u / 100u);
}

TEST_F(WindowPictureFile, RefusesPixelsThatAreNoPicture) {
  EXPECT_THROW(SavePng(TPixels{}, Path("picture.png")), EInvalidGraphic);
  EXPECT_THROW(SavePng(TPixels{2, 2, std::vector<uint8_t>(11)}, Path("picture.png")), EInvalidGraphic);
  EXPECT_EQ(::GetFileAttributesW(WideFromText(Path("picture.png")).c_str()), INVALID_FILE_ATTRIBUTES);
}

// A file that cannot be written, or no imaging component, fails; a file of that name stays as it was.
TEST_F(WindowPictureFile, FailsWithoutTheImagingComponentAndKeepsAnOlderFile) {
  const std::string path = Path("kept.png");
  ASSERT_TRUE(SavePng(Pattern(8, 8), path));
  const std::string before = FileText(path);
  EXPECT_FALSE(SavePng(Pattern(8, 8), Path("no such folder\\picture.png")));
  os::ScopedOverride noClass(os::ole32.CoCreateInstance,
                             [](REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* out) -> HRESULT WINAPI {
                               *out = nullptr;
                               return REGDB_E_CLASSNOTREG;
                             });
  EXPECT_FALSE(SavePng(Pattern(16, 16), path));
  EXPECT_EQ(FileText(path), before);
}

// The thread's COM is left as found: none stays none, and a thread in the multithreaded model
// keeps it and still saves.
TEST_F(WindowPictureFile, LeavesTheThreadsComAsItFoundIt) {
  ASSERT_TRUE(SavePng(Pattern(4, 4), Path("picture.png")));
  const HRESULT mta = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(mta, S_OK) << "SavePng left COM initialised";
  EXPECT_TRUE(SavePng(Pattern(4, 4), Path("in com.png")));
  if (SUCCEEDED(mta)) ::CoUninitialize();
  EXPECT_TRUE(ReadPicture(Path("in com.png")).Png);
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

  char temp[MAX_PATH * 3] = {};
  ::GetTempPathA(sizeof temp, temp);
  const std::string path = std::string(temp) + "kyt-window-picture.png";
  ASSERT_TRUE(SavePng(pixels, path));
  const TDecoded saved = ReadPicture(path);
  ::DeleteFileA(path.c_str());
  EXPECT_TRUE(saved.Png);
  EXPECT_EQ(saved.Pixels.Bgr, pixels.Bgr);
  EXPECT_TRUE(CaptureWindow(nullptr).Empty());
}

}  // namespace
}  // namespace kyt
