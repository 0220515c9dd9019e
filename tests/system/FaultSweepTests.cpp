// Fault sweeps of the system components: each fallible platform call of their main work fails
// once. Information the platform refuses shows as the component's documented error value or
// event; a change it refuses is reported, or the property still shows the system as it is. Every
// desktop setting, keyboard state and registry value a run touches is put back before the next.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "system/KYTTCDTriggers.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTExitWindows.h"
#include "system/KYTTResourceInfo.h"
#include "system/KYTTScreenSaver.h"
#include "system/KYTTSystemDetails.h"
#include "system/KYTTSystemKeys.h"
#include "system/KYTTTimeTrigger.h"
#include "system/KYTTVersionDetails.h"
#include "system/KYTTWallPaper.h"
#include "system/KYTTWavePlayer.h"
#include "tests/support/FaultSweep.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

using namespace test;

TEST(SystemSweep, CDTriggersOnAFormReadsAndWritesOrRaises) {
  EXPECT_SWEEP_CLEAN(Sweep(FormFileScenario("CDTriggers", "object SweepForm: TForm\n  object CD1: TKYTCDTriggers\n  end\nend\n")));
}

TEST(SystemSweep, DriveVolumeShowsTheVolumeOrReportsEachValueItCannot) {
  int errors = 0;
  TFaultScenario s{"DriveVolume", [&](const TFaultRun& run) {
                     errors = 0;
                     TOwned<TKYTDriveVolume> drive(new TKYTDriveVolume(nullptr));  // reads drive C: (a box on error)
                     drive->SetOnError(TKYTOnDriveVolumeError::FromFunction(
                         [](void* count, int32_t) { ++*static_cast<int*>(count); }, &errors));
                     drive->SetDrive('C');
                     return ReportedIf(errors > 0 || !run.Boxes().empty(),
                                       drive->VolumeLabel() + "|" + drive->SerialNumber() + "|" + drive->FileSystemName());
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

// The session is never really ended: the request goes to a stand-in that accepts it.
BOOL WINAPI AcceptExit(UINT, DWORD) { return TRUE; }

TEST(SystemSweep, ExitWindowsAsksTheSystemAndSaysWhetherItAccepted) {
  os::ScopedOverride exit(os::user32.ExitWindowsEx, &AcceptExit);
  TFaultScenario s{"ExitWindows", [&](const TFaultRun&) {
                     TOwned<TKYTExitWindows> exitWindows(new TKYTExitWindows(nullptr));
                     const bool accepted = exitWindows->Execute();
                     TSweepPause pause;
                     MSG quit;
                     while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
                     }  // the application terminated itself on acceptance
                     return ReportedIf(!accepted, accepted ? "accepted" : exitWindows->LastFailure());
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(SystemSweep, ResourceInfoRefreshesOrShowsZeroForTheDrive) {
  TFaultScenario s{"ResourceInfo", [&](const TFaultRun&) {
                     bool noDrive = false;
                     std::string result;
                     TFaultOutcome out = Raises([&] {
                       TOwned<TKYTResourceInfo> info(new TKYTResourceInfo(nullptr));
                       info->SetAll();
                       // "0 MB" is the figure of a drive that cannot be read.
                       noDrive = info->CurrDriveSize() == "0 MB";
                       result = info->PhysMemTotal().empty() ? "no memory figures" : "figures";
                     });
                     out.Reported = out.Reported || noDrive;
                     out.Result = result;
                     return out;
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(SystemSweep, ScreenSaverTimeOutIsSetOrStillShowsTheSystemsOwn) {
  UINT saved = 0;
  ::SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &saved, 0);
  const int32_t wanted = saved == 420 ? 480 : 420;
  auto restore = [&] { ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, saved, nullptr, 0); };
  TFaultScenario s{"ScreenSaver", [&](const TFaultRun&) {
                     TOwned<TKYTScreenSaver> saver(new TKYTScreenSaver(nullptr));
                     saver->SetSeconds(wanted);
                     const int32_t now = saver->Seconds();
                     return ReportedIf(now != wanted, std::to_string(now));
                   },
                   [] {
                     UINT now = 0;
                     ::SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &now, 0);
                     return std::to_string(now);
                   },
                   restore};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  restore();
}

TEST(SystemSweep, SystemDetailsGathersOrShowsItsErrorTexts) {
  TFaultScenario s{"SystemDetails", [&](const TFaultRun&) {
                     TOwned<TKYTSystemDetails> details(new TKYTSystemDetails(nullptr));
                     const std::string text = details->Organisation() + "|" + details->RegisteredOwner() + "|" +
                                              details->OS() + "|" + details->WinVersion() + "|" + details->Build() +
                                              "|" + details->TotalMemory() + "|" + details->DriveC() + "|" +
                                              details->ProgramFilesDir() + "|" + details->SystemRoot() + "|" +
                                              details->Username() + "|" + details->ComputerName() + "|" +
                                              details->ScreenWidth() + "x" + details->ScreenHeight();
                     return ReportedIf(text.find("Error on locating") != std::string::npos ||
                                           text.find("not logged on") != std::string::npos,
                                       text);
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(SystemSweep, SystemKeysSwitchesCapsLockOrKeepsShowingWhatItWasGiven) {
  std::array<BYTE, 256> saved{};
  ::GetKeyboardState(saved.data());
  TFaultScenario s{"SystemKeys", [&](const TFaultRun& run) {
                     TOwned<TKYTSystemKeys> keys(new TKYTSystemKeys(nullptr));
                     const bool wanted = !keys->CapsLock();
                     keys->SetCapsLock(wanted);
                     // A setter cannot report; the property takes the value given (documented).
                     TFaultOutcome out = ReportedIf(false, (::GetKeyState(VK_CAPITAL) & 1) == wanted ? "switched" : "not");
                     out.Unreportable = run.Failed("KeyboardState");
                     return out;
                   },
                   nullptr, [&] { ::SetKeyboardState(saved.data()); }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  ::SetKeyboardState(saved.data());
}

TEST(SystemSweep, TimeTriggerStartsItsClockOrRaises) {
  TFaultScenario s{"TimeTrigger", [&](const TFaultRun&) {
                     std::string result;
                     TFaultOutcome out = Raises([&] {
                       TOwned<TKYTTimeTrigger> trigger(new TKYTTimeTrigger(nullptr));
                       trigger->TimerCheckForTrigger(nullptr);
                       result = trigger->CurrentDate().empty() ? "no date" : "ticking";
                     });
                     out.Result = result;
                     return out;
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(SystemSweep, VersionDetailsReadsTheRecordOrKeepsTheValues) {
  TFaultScenario s{"VersionDetails", [&](const TFaultRun& run) {
                     TOwned<TKYTVersionDetails> version(new TKYTVersionDetails(nullptr));
                     TFaultOutcome out = ReportedIf(false, version->CompanyName() + "|" + version->FileVersion() +
                                                               "|" + version->ProductName());
                     // Documented: a record that cannot be loaded leaves every value as it was.
                     out.Unreportable = run.Failed();
                     return out;
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

// The wallpaper request goes to a stand-in: the desktop key is real (and put back), the picture
// the system shows is never changed.
BOOL WINAPI AcceptWallpaper(UINT action, UINT param, PVOID value, UINT flags) {
  if (action == SPI_SETDESKWALLPAPER) return TRUE;
  return ::SystemParametersInfoA(action, param, value, flags);
}

TEST(SystemSweep, WallPaperChangesTheDesktopSettingsTogetherOrNotAtAll) {
  TSandbox sandbox;
  const std::string picture = sandbox.File("sweep.bmp");
  ASSERT_TRUE(WriteBitmapFile(picture));
  const char* desktop = "Control Panel\\desktop";
  std::optional<TRegistrySnapshot> saved;
  os::ScopedOverride spi(os::user32.SystemParametersInfoA, &AcceptWallpaper);
  TFaultScenario s{"WallPaper", [&](const TFaultRun&) {
                     TOwned<TKYTWallPaper> wall(new TKYTWallPaper(nullptr));
                     wall->SetFilename(picture);
                     wall->SetTiled(true);
                     bool shown = false;
                     TFaultOutcome out = Raises([&] { shown = wall->Execute(); });
                     out.Reported = out.Reported || !shown;
                     return out;
                   },
                   [&] {
                     return ReadRegistryText(HKEY_CURRENT_USER, desktop, "TileWallPaper") + "|" +
                            ReadRegistryText(HKEY_CURRENT_USER, desktop, "Wallpaper");
                   },
                   [&] {
                     saved.reset();
                     saved.emplace(HKEY_CURRENT_USER, desktop, std::vector<std::string>{"TileWallPaper", "Wallpaper"});
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(SystemSweep, WavePlayerPlaysOrSaysFalse) {
  TSandbox sandbox;
  const std::string wave = sandbox.File("sweep.wav");
  ASSERT_TRUE(WriteWaveFile(wave));
  TFaultScenario s{"WavePlayer", [&](const TFaultRun&) {
                     TOwned<TKYTWavePlayer> player(new TKYTWavePlayer(nullptr));
                     player->SetWaveFile(wave);
                     player->SetAsynchronously(true);
                     return ReportedIf(!player->Execute());
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  ::sndPlaySoundA(nullptr, 0);
}

}  // namespace
}  // namespace kyt
