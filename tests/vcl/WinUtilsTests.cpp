// Tests of object instances (methods as real window procedures) and utility windows.
#include "host/vcl/WinUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/core/Exceptions.h"
#include "tests/vcl/VclTestSupport.h"

namespace kyt {
namespace {

static_assert(sizeof(TMessage::WParam) == sizeof(void*) && sizeof(TMessage::LParam) == sizeof(void*) &&
              sizeof(TMessage::Result) == sizeof(void*));

constexpr UINT kPing = WM_APP + 17;

HWND MakeStatic() {
  return ::CreateWindowExA(0, "Static", "instance host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           ::GetModuleHandleA(nullptr), nullptr);
}

TEST(ObjectInstance, ServesAsTheWindowProcedureOfARealWindow) {
  HWND window = MakeStatic();
  ASSERT_TRUE(window);
  const int before = ObjectInstanceCount();
  std::vector<TMessage> seen;
  WNDPROC previous = nullptr;
  WNDPROC instance = MakeObjectInstance([&](TMessage& m) {
    seen.push_back(m);
    if (m.Msg == kPing) m.Result = static_cast<LRESULT>(m.WParam + m.LParam);
    else m.Result = ::CallWindowProcA(previous, window, m.Msg, m.WParam, m.LParam);
  });
  EXPECT_EQ(ObjectInstanceCount(), before + 1);
  previous = reinterpret_cast<WNDPROC>(os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(instance)));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(os::user32.GetWindowLongPtrA(window, GWLP_WNDPROC)), instance);

  EXPECT_EQ(::SendMessageA(window, kPing, 40, 2), 42);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().Msg, kPing);
  EXPECT_EQ(seen.back().WParam, 40u);
  EXPECT_EQ(seen.back().LParam, 2);
  // Messages it passes on still reach the system class.
  ::SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
  EXPECT_EQ(vcltest::TextOf(window), "changed");

  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  FreeObjectInstance(instance);
  EXPECT_EQ(ObjectInstanceCount(), before);
  ::DestroyWindow(window);
}

TEST(ObjectInstance, PointerWidthValuesPassUnchanged) {
  HWND window = MakeStatic();
  TMessage got;
  WNDPROC instance = MakeObjectInstance([&](TMessage& m) {
    got = m;
    m.Result = static_cast<LRESULT>(~static_cast<uintptr_t>(m.LParam));
  });
  WNDPROC previous =
      reinterpret_cast<WNDPROC>(os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(instance)));
  const auto big = static_cast<WPARAM>(reinterpret_cast<uintptr_t>(&got));
  const LRESULT r = ::SendMessageA(window, kPing, big, static_cast<LPARAM>(big));
  EXPECT_EQ(got.WParam, big);
  EXPECT_EQ(static_cast<WPARAM>(got.LParam), big);
  EXPECT_EQ(static_cast<uintptr_t>(r), ~static_cast<uintptr_t>(big));
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  FreeObjectInstance(instance);
  ::DestroyWindow(window);
}

TEST(ObjectInstance, FreedSlotsAreHandedOutAgainAndExhaustionRaises) {
  const int before = ObjectInstanceCount();
  std::vector<WNDPROC> all;
  bool raised = false;
  try {
    for (int i = 0; i < kMaxObjectInstances + 1; ++i) all.push_back(MakeObjectInstance([](TMessage&) {}));
  } catch (const EOutOfResources&) {
    raised = true;
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(ObjectInstanceCount(), kMaxObjectInstances);
  EXPECT_EQ(static_cast<int>(all.size()), kMaxObjectInstances - before);
  // Every instance is a different function.
  std::vector<WNDPROC> sorted = all;
  std::sort(sorted.begin(), sorted.end(), [](WNDPROC a, WNDPROC b) {
    return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
  });
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  WNDPROC freed = all.back();
  all.pop_back();
  FreeObjectInstance(freed);
  WNDPROC again = MakeObjectInstance([](TMessage&) {});
  EXPECT_EQ(again, freed);
  all.push_back(again);
  for (WNDPROC p : all) FreeObjectInstance(p);
  EXPECT_EQ(ObjectInstanceCount(), before);
}

TEST(ObjectInstance, FreeingItselfWhileRunningIsDeferredToTheEndOfTheCall) {
  HWND window = MakeStatic();
  const int before = ObjectInstanceCount();
  WNDPROC instance = nullptr;
  int calls = 0;
  instance = MakeObjectInstance([&](TMessage& m) {
    ++calls;
    if (m.Msg == kPing) {
      FreeObjectInstance(instance);
      m.Result = 7;  // the method still runs to its end
    }
  });
  WNDPROC previous =
      reinterpret_cast<WNDPROC>(os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(instance)));
  EXPECT_EQ(::SendMessageA(window, kPing, 0, 0), 7);
  EXPECT_EQ(ObjectInstanceCount(), before);
  // The released instance no longer calls the method; the window gets default handling.
  const int callsAfterFree = calls;
  ::SendMessageA(window, kPing, 0, 0);
  EXPECT_EQ(calls, callsAfterFree);
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  ::DestroyWindow(window);
}

TEST(ObjectInstance, ExceptionInTheMethodStopsAtTheBoundaryAndReachesOnException) {
  vcltest::ExceptionCatcher caught;
  HWND window = MakeStatic();
  WNDPROC instance = MakeObjectInstance([](TMessage& m) {
    if (m.Msg == kPing) throw Exception("thrown inside a window procedure");
  });
  WNDPROC previous =
      reinterpret_cast<WNDPROC>(os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(instance)));
  EXPECT_NO_THROW(::SendMessageA(window, kPing, 0, 0));
  EXPECT_EQ(caught.Count(), 1);
  EXPECT_EQ(caught.LastMessage(), "thrown inside a window procedure");
  os::user32.SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  FreeObjectInstance(instance);
  ::DestroyWindow(window);
}

TEST(ObjectInstance, FreeIgnoresNullAndForeignProcedures) {
  const int before = ObjectInstanceCount();
  FreeObjectInstance(nullptr);
  FreeObjectInstance(&::DefWindowProcA);
  EXPECT_EQ(ObjectInstanceCount(), before);
}

TEST(UtilityWindow, DeliversMessagesToTheMethodUntilDeallocated) {
  const int before = ObjectInstanceCount();
  std::vector<UINT> seen;
  HWND window = nullptr;
  window = AllocateHWnd([&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == kPing) m.Result = 99;
    else m.Result = ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
  });
  ASSERT_TRUE(::IsWindow(window));
  EXPECT_EQ(vcltest::ClassOf(window), "TPUtilWindow");
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(::GetParent(window), nullptr);
  EXPECT_EQ(ObjectInstanceCount(), before + 1);
  EXPECT_EQ(::SendMessageA(window, kPing, 0, 0), 99);
  ::PostMessageA(window, kPing, 0, 0);
  seen.clear();
  vcltest::PumpApp([&] { return !seen.empty(); });
  EXPECT_EQ(seen, std::vector<UINT>{kPing});

  seen.clear();
  DeallocateHWnd(window);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_TRUE(seen.empty());  // not even WM_DESTROY reaches the method
  EXPECT_EQ(ObjectInstanceCount(), before);
  DeallocateHWnd(nullptr);
}

}  // namespace
}  // namespace kyt
