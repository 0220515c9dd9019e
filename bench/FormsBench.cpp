// The form-behaviour hooks on a resize and a min-max message, against a plain subclassed window
// procedure doing the same arithmetic; and the explode animation's time per outline against
// plain Rectangle calls in the inverting mode on the same screen context.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchSupport.h"
#include "forms/KYTTFormAspect.h"
#include "forms/KYTTFormExplode.h"
#include "forms/KYTTFormSizes.h"
#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"

namespace kyt {
namespace {

constexpr int kMessages = 20000;
constexpr int kRounds = kyt::bench::kMinPairs;
constexpr int kSteps = 400;

// The plain side: a subclassed procedure with the hooks' arithmetic, no component around it.
WNDPROC gPlainOld = nullptr;
LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZING && lParam) {
    RECT window{}, client{};
    os::user32.GetWindowRect(wnd, &window);
    os::user32.GetClientRect(wnd, &client);
    const int64_t dx = (window.right - window.left) - client.right;
    const int64_t dy = (window.bottom - window.top) - client.bottom;
    auto* r = reinterpret_cast<RECT*>(lParam);
    r->bottom = static_cast<LONG>((r->right - r->left - dx) * 42 / 40 + r->top + dy);
    return 0;
  }
  if (msg == WM_GETMINMAXINFO && lParam) {
    const LRESULT result = os::user32.CallWindowProcA(gPlainOld, wnd, msg, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = 300;
    info->ptMaxTrackSize.y = 900;
    return result;
  }
  return os::user32.CallWindowProcA(gPlainOld, wnd, msg, wParam, lParam);
}

double SendSizing(HWND wnd) {
  return bench::TimeMs([&] {
    for (int i = 0; i < kMessages; ++i) {
      RECT r{100, 100, 500 + (i & 63), 400};
      os::user32.SendMessageA(wnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
    }
  });
}

double SendMinMax(HWND wnd) {
  return bench::TimeMs([&] {
    for (int i = 0; i < kMessages; ++i) {
      MINMAXINFO info{};
      info.ptMaxSize = {1000, 700};
      os::user32.SendMessageA(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    }
  });
}

int Main() {
  auto* hooked = new TForm(Application);
  auto* plain = new TForm(Application);
  hooked->SetBounds(100, 100, 400, 300);
  plain->SetBounds(100, 100, 400, 300);
  auto* aspect = new TKYTFormAspect(hooked);
  HWND plainWnd = plain->Handle();
  gPlainOld = reinterpret_cast<WNDPROC>(
      os::user32.SetWindowLongPtrA(plainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlainProc)));

  // Both sides must compute the same rectangle.
  RECT a{100, 100, 508, 400}, b = a;
  os::user32.SendMessageA(hooked->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&a));
  os::user32.SendMessageA(plainWnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&b));
  if (!os::user32.EqualRect(&a, &b)) {
    std::printf("bench_forms: the two sides disagree on the sizing rectangle\n");
    return 1;
  }

  std::vector<double> aspectMs, plainSizingMs;
  for (int round = 0; round < kRounds; ++round) {
    aspectMs.push_back(SendSizing(hooked->Handle()));
    plainSizingMs.push_back(SendSizing(plainWnd));
  }
  const bench::TRatioStats aspectStats = bench::StatsOf(aspectMs, plainSizingMs);
  delete aspect;
  auto* sizes = new TKYTFormSizes(hooked);
  sizes->SetMinWidth(300);
  sizes->SetMaxHeight(900);
  std::vector<double> sizesMs, plainMinMaxMs;
  for (int round = 0; round < kRounds; ++round) {
    sizesMs.push_back(SendMinMax(hooked->Handle()));
    plainMinMaxMs.push_back(SendMinMax(plainWnd));
  }
  const bench::TRatioStats sizesStats = bench::StatsOf(sizesMs, plainMinMaxMs);
  delete sizes;
  os::user32.SetWindowLongPtrA(plainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gPlainOld));
  std::printf("bench_forms: %d WM_SIZING, aspect hook %.1f ms, plain procedure %.1f ms (medians)\n", kMessages,
              aspectStats.OursMs, aspectStats.PlainMs);
  std::printf("bench_forms: %d WM_GETMINMAXINFO, size-limit hook %.1f ms, plain procedure %.1f ms (medians)\n",
              kMessages, sizesStats.OursMs, sizesStats.PlainMs);
  bench::Report("bench_forms", "aspect hook on WM_SIZING against a plain window procedure", aspectStats,
                bench::kBookkeeping);
  bench::Report("bench_forms", "size-limit hook on WM_GETMINMAXINFO against a plain procedure", sizesStats,
                bench::kBookkeeping);

  // The animation on the screen context it is given: an outline and a round of pending messages
  // each. The plain side does the same work: Rectangle, then a PeekMessage loop; the drawing
  // alone is shown beside it.
  auto* explode = new TKYTFormExplode(hooked);
  const int outlines = 2 * (kSteps + 1) + 2;
  std::vector<double> explodeMs, rectangleMs, drawOnlyMs;
  const auto plainOutline = [](HDC dc, int i) {
    os::gdi32.Rectangle(dc, 498 - i % 200, 348 - i % 150, 502 + i % 200, 352 + i % 150);
  };
  {
    os::ScopedWindowDC screen(nullptr);
    os::ScopedSelectObject pen(screen.get(), os::gdi32.GetStockObject(BLACK_PEN));
    os::ScopedSelectObject brush(screen.get(), os::gdi32.GetStockObject(NULL_BRUSH));
    os::ScopedROP2 mode(screen.get(), R2_NOTXORPEN);
    for (int round = 0; round < kRounds; ++round) {
      explodeMs.push_back(bench::TimeMs([&] { explode->ShowForm(screen.get(), hooked, kSteps); }));
      rectangleMs.push_back(bench::TimeMs([&] {
        for (int i = 0; i < outlines; ++i) {
          plainOutline(screen.get(), i);
          MSG msg;
          while (os::user32.PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            os::user32.TranslateMessage(&msg);
            os::user32.DispatchMessageA(&msg);
          }
        }
      }));
      drawOnlyMs.push_back(bench::TimeMs([&] {
        for (int i = 0; i < outlines; ++i) plainOutline(screen.get(), i);
      }));
    }
  }
  const bench::TRatioStats explodeStats = bench::StatsOf(explodeMs, rectangleMs);
  std::printf("bench_forms: explode %.2f us per outline, plain Rectangle and PeekMessage loop %.2f us, "
              "Rectangle alone %.2f us (%d outlines)\n",
              explodeStats.OursMs * 1000.0 / outlines, explodeStats.PlainMs * 1000.0 / outlines,
              bench::Quantile(drawOnlyMs, 0.5) * 1000.0 / outlines, outlines);
  bench::Report("bench_forms", "explode outline against Rectangle and a PeekMessage loop", explodeStats,
                bench::kBookkeeping);
  delete hooked;
  delete plain;
  return 0;
}

}  // namespace
}  // namespace kyt

int main() { return kyt::Main(); }
