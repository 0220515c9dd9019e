// Tests of TKYTResourceInfo: real figures checked by form and range (they move while the machine
// is busy), exact arithmetic through replaced seam entries, the lock keys through the thread's
// keyboard state (put back afterwards), and the timer's ticks waited for by state.
#include "system/KYTTResourceInfo.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/rtl/DateTime.h"
#include "host/vcl/ExtCtrls.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

bool Matches(const std::string& text, const char* pattern) { return std::regex_match(text, std::regex(pattern)); }

int64_t Number(const std::string& text) { return std::stoll(text); }

// Puts the thread's keyboard state back when the test ends.
class KeyboardStateGuard {
 public:
  KeyboardStateGuard() { ::GetKeyboardState(FSaved.data()); }
  ~KeyboardStateGuard() { ::SetKeyboardState(FSaved.data()); }
  void SetToggled(int key, bool on) {
    std::array<BYTE, 256> state{};
    ::GetKeyboardState(state.data());
    state[key] = static_cast<BYTE>(on ? (state[key] | 1) : (state[key] & ~1));
    ::SetKeyboardState(state.data());
  }

 private:
  std::array<BYTE, 256> FSaved{};
};

TEST(ResourceInfo, NewComponentShowsEveryFigureInItsFormAndRunsItsTimer) {
  const std::string dateBefore = DateToStr(Date());
  TKYTResourceInfo info(nullptr);
  const std::string dateAfter = DateToStr(Date());
  EXPECT_TRUE(Matches(info.MemoryPercInUse(), "\\d{1,3} Percent")) << info.MemoryPercInUse();
  EXPECT_LE(Number(info.MemoryPercInUse()), 100);
  for (const std::string* kb : {&info.PhysMemTotal(), &info.PhysMemFree(), &info.VirtualMemUsed()})
    EXPECT_TRUE(Matches(*kb, "\\d+ KB")) << *kb;
  for (const std::string* mb : {&info.PageFileUsed(), &info.CurrDriveFree(), &info.CurrDriveSize()})
    EXPECT_TRUE(Matches(*mb, "\\d+ MB")) << *mb;

  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  ::GlobalMemoryStatus(&memory);
  EXPECT_EQ(info.PhysMemTotal(), std::to_string(static_cast<uint64_t>(memory.dwTotalPhys) / 1024) + " KB");
  EXPECT_LE(Number(info.PhysMemFree()), Number(info.PhysMemTotal()));
  ULARGE_INTEGER total{};
  ASSERT_TRUE(::GetDiskFreeSpaceExA(nullptr, nullptr, &total, nullptr));
  EXPECT_EQ(info.CurrDriveSize(), std::to_string(total.QuadPart / 1024000) + " MB");
  EXPECT_LE(Number(info.CurrDriveFree()), Number(info.CurrDriveSize()));

  EXPECT_FALSE(info.CurrentTime().empty());
  EXPECT_TRUE(info.CurrentDate() == dateBefore || info.CurrentDate() == dateAfter) << info.CurrentDate();
  ASSERT_NE(info.Timer(), nullptr);
  EXPECT_TRUE(info.Timer()->Enabled());
  EXPECT_EQ(info.Timer()->Interval(), 1000u);
  EXPECT_EQ(info.Timer()->Owner(), &info);
}

// ---- Exact arithmetic

MEMORYSTATUS g_memory{};
DWORD g_memoryLength = 0;
void WINAPI FakeMemory(LPMEMORYSTATUS status) {
  g_memoryLength = status->dwLength;
  *status = g_memory;
}

int64_t g_free = 0, g_total = 0;
bool g_driveFails = false;
BOOL WINAPI FakeDisk(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free) {
  if (g_driveFails) {
    ::SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  if (available) available->QuadPart = static_cast<ULONGLONG>(g_free);
  if (total) total->QuadPart = static_cast<ULONGLONG>(g_total);
  if (free) free->QuadPart = static_cast<ULONGLONG>(g_free);
  return TRUE;
}

class ResourceInfoFigures : public ::testing::Test {
 protected:
  void SetUp() override {
    g_memory = MEMORYSTATUS{};
    g_memory.dwMemoryLoad = 37;
    g_memory.dwTotalPhys = 67108864;
    g_memory.dwAvailPhys = 1023;
    g_memory.dwTotalPageFile = static_cast<SIZE_T>(100.9 * 1024 * 1024);
    g_memory.dwAvailPageFile = static_cast<SIZE_T>(50.2 * 1024 * 1024);
    g_memory.dwTotalVirtual = 2147352576;  // 2 GB less 128 KB
    g_memory.dwAvailVirtual = 2147352576 - 5 * 1024 - 512;
    g_free = 1048576000;
    g_total = 1023999;
    g_driveFails = false;
  }
  ScopedOverride<decltype(os::kernel32.GlobalMemoryStatus)> memory{os::kernel32.GlobalMemoryStatus, &FakeMemory};
  ScopedOverride<decltype(os::kernel32.GetDiskFreeSpaceExA)> disk{os::kernel32.GetDiskFreeSpaceExA, &FakeDisk};
};

TEST_F(ResourceInfoFigures, FormatsOneSnapshotWithTheFamilysUnits) {
  TKYTResourceInfo info(nullptr);
  EXPECT_EQ(g_memoryLength, sizeof(MEMORYSTATUS));
  EXPECT_EQ(info.MemoryPercInUse(), "37 Percent");
  EXPECT_EQ(info.PhysMemTotal(), "65536 KB");
  EXPECT_EQ(info.PhysMemFree(), "0 KB");
  EXPECT_EQ(info.PageFileUsed(), "50 MB") << "100.9 - 50.2 = 50.7, truncated";
  EXPECT_EQ(info.VirtualMemUsed(), "5 KB") << "5.5 KB truncated";
  EXPECT_EQ(info.CurrDriveFree(), "1024 MB") << "units of 1,024,000 bytes";
  EXPECT_EQ(info.CurrDriveSize(), "0 MB") << "1,023,999 bytes";
}

TEST_F(ResourceInfoFigures, UnreadableDriveShowsZeroAndHugeFiguresDoNotWrap) {
  g_driveFails = true;
  TKYTResourceInfo info(nullptr);
  EXPECT_EQ(info.CurrDriveFree(), "0 MB");
  EXPECT_EQ(info.CurrDriveSize(), "0 MB");
  g_driveFails = false;
  g_free = 8'000'000'000'000LL;
  g_total = 16'384'000'000'000LL;
  info.SetAll("ignored");
  EXPECT_EQ(info.CurrDriveFree(), "7812500 MB");
  EXPECT_EQ(info.CurrDriveSize(), "16000000 MB");
  EXPECT_EQ(TKYTResourceInfo::PageFileText(0, 0), "0 MB");
  EXPECT_EQ(TKYTResourceInfo::VirtualMemText(0xFFFFFFFFull, 1024), "4194302 KB");
}

TEST_F(ResourceInfoFigures, AssigningATextRefreshesEverythingWithoutOnNewValues) {
  TKYTResourceInfo info(nullptr);
  int raised = 0;
  info.SetOnNewValues(TNotifyEvent::FromFunction([](void* n, TObject*) { ++*static_cast<int*>(n); }, &raised));
  g_memory.dwMemoryLoad = 81;
  g_free = 2048000;
  info.ClassType().FindProperty("CurrentTime")->SetStr(&info, "12:00:00");
  EXPECT_EQ(info.MemoryPercInUse(), "81 Percent");
  EXPECT_EQ(info.CurrDriveFree(), "2 MB");
  EXPECT_NE(info.CurrentTime(), "12:00:00");
  EXPECT_EQ(raised, 0);
}

TEST(ResourceInfo, TimeAndDateComeFromOneReadingOfTheClock) {
  TFakeClock clock;
  TKYTResourceInfo info(nullptr);
  clock.Set(2026, 3, 14, 23, 59, 59, 999);
  clock.StepEveryReading(1);  // a second reading would fall on the next day
  info.SetAll("");
  EXPECT_EQ(info.CurrentTime(), TimeToStr(EncodeTime(23, 59, 59, 0)));
  EXPECT_EQ(info.CurrentDate(), DateToStr(EncodeDate(2026, 3, 14)));
}

// ---- Lock keys

TEST(ResourceInfo, LockEntriesReadTheKeysAndCannotSwitchThem) {
  KeyboardStateGuard keyboard;
  keyboard.SetToggled(VK_CAPITAL, false);
  keyboard.SetToggled(VK_NUMLOCK, true);
  keyboard.SetToggled(VK_SCROLL, false);
  TKYTResourceInfo info(nullptr);
  EXPECT_FALSE(info.CapsLock());
  EXPECT_TRUE(info.NumLock());
  EXPECT_FALSE(info.ScrollLock());

  info.ClassType().FindProperty("CapsLock")->SetOrd(&info, 1);
  EXPECT_FALSE(info.CapsLock()) << "assigning true does not switch Caps Lock on";
  EXPECT_EQ(::GetKeyState(VK_CAPITAL) & 1, 0);

  // Each setter re-reads its own key only.
  keyboard.SetToggled(VK_CAPITAL, true);
  keyboard.SetToggled(VK_SCROLL, true);
  info.Setcaps(false);
  EXPECT_TRUE(info.CapsLock());
  EXPECT_FALSE(info.ScrollLock());
  info.SetScroll(false);
  EXPECT_TRUE(info.ScrollLock());
  keyboard.SetToggled(VK_NUMLOCK, false);
  info.SetAll();
  EXPECT_FALSE(info.NumLock());
}

// ---- The timer

struct TTickLog : TObject {
  int Ticks = 0;
  TObject* Sender = nullptr;
  void NewValues(TObject* sender) {
    ++Ticks;
    Sender = sender;
  }
};

TEST(ResourceInfo, EachTickRefreshesTheFiguresThenRaisesOnNewValues) {
  KeyboardStateGuard keyboard;
  keyboard.SetToggled(VK_SCROLL, false);
  TKYTResourceInfo info(nullptr);
  TTickLog log;
  info.SetOnNewValues(TNotifyEvent::Bind<&TTickLog::NewValues>(&log));
  keyboard.SetToggled(VK_SCROLL, true);
  EXPECT_FALSE(info.ScrollLock()) << "nothing changes before the tick";
  ASSERT_TRUE(PumpUntil([&] { return log.Ticks >= 1; }, 10000));
  EXPECT_EQ(log.Sender, &info);
  EXPECT_TRUE(info.ScrollLock());
}

TEST(ResourceInfo, TicksRefreshWithoutAHandlerAndStopWhenDestroyed) {
  KeyboardStateGuard keyboard;
  keyboard.SetToggled(VK_SCROLL, false);
  auto* silent = new TKYTResourceInfo(nullptr);
  auto* destroyed = new TKYTResourceInfo(nullptr);
  TTickLog gone, witness;
  destroyed->SetOnNewValues(TNotifyEvent::Bind<&TTickLog::NewValues>(&gone));
  const HWND timerWindow = destroyed->Timer()->WindowHandle();
  delete destroyed;
  EXPECT_FALSE(::IsWindow(timerWindow));
  TKYTResourceInfo running(nullptr);
  running.SetOnNewValues(TNotifyEvent::Bind<&TTickLog::NewValues>(&witness));
  keyboard.SetToggled(VK_SCROLL, true);
  ASSERT_TRUE(PumpUntil([&] { return witness.Ticks >= 2; }, 15000));
  EXPECT_EQ(gone.Ticks, 0);
  EXPECT_TRUE(silent->ScrollLock()) << "the silent one ticked too";
  delete silent;
}

// ---- Form files

class TResourceRoot : public TComponent {
  KYT_CLASS(TResourceRoot, TComponent)
 public:
  static void PublishMethods(TMethodPublisher<TResourceRoot>& m) { m.Method<&TResourceRoot::NewValues>("NewValues"); }
  using TComponent::TComponent;
  void NewValues(TObject*) { ++Ticks; }
  int Ticks = 0;
};

TEST(ResourceInfoFormFile, StoresOnlyTheHandlerAndNotItsTimer) {
  RegisterClasses({&TResourceRoot::StaticClass(), &TKYTResourceInfo::StaticClass()});
  TResourceRoot root(nullptr);
  root.SetName("InfoForm");
  auto* info = new TKYTResourceInfo(&root);
  info->SetName("ResourceInfo1");
  info->SetOnNewValues(TNotifyEvent::Bind<&TResourceRoot::NewValues>(&root));
  const std::string text = WriteComponentText(root);
  const std::string block = text.substr(text.find("object ResourceInfo1"));
  EXPECT_NE(block.find("OnNewValues = NewValues"), std::string::npos) << text;
  int stored = 0;
  for (size_t at = text.find(" = "); at != std::string::npos; at = text.find(" = ", at + 1)) ++stored;
  EXPECT_EQ(stored, 1) << text;
  EXPECT_EQ(text.find("TTimer"), std::string::npos) << text;

  TResourceRoot copy(nullptr);
  ReadRootText(copy, text, "resources.kfm");
  auto* loaded = ObjectCast<TKYTResourceInfo>(copy.FindComponent("ResourceInfo1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_FALSE(loaded->PhysMemTotal().empty());
  ASSERT_TRUE(PumpUntil([&] { return copy.Ticks >= 1; }, 10000));
}

}  // namespace
}  // namespace kyt
