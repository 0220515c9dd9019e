// Fault sweeps of the system components: each fallible platform call of their main work fails
// once. Information the platform refuses shows as the component's documented error value or
// event; a change it refuses is reported, or the property still shows the system as it is. Every
// desktop setting, keyboard state and registry value a run touches is put back before the next.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
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
#include "tests/support/MessagePump.h"
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
  TFaultScenario s{"DriveVolume", [&](const TFaultRun&) {
                     return Caught([&] {
                       errors = 0;
                       std::optional<TSweepPause> setUp(std::in_place);  // the handler comes after the first read
                       TOwned<TKYTDriveVolume> drive(new TKYTDriveVolume(nullptr));
                       setUp.reset();
                       drive->SetOnError(TKYTOnDriveVolumeError::FromFunction(
                           [](void* count, int32_t) { ++*static_cast<int*>(count); }, &errors));
                       drive->SetDrive('C');
                       return ReportedIf(errors > 0,
                                         drive->VolumeLabel() + "|" + drive->SerialNumber() + "|" + drive->FileSystemName());
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

// The session is never really ended: the request goes to a stand-in that accepts it.
BOOL WINAPI AcceptExit(UINT, DWORD) { return TRUE; }

TEST(SystemSweep, ExitWindowsAsksTheSystemAndSaysWhetherItAccepted) {
  os::ScopedOverride exit(os::user32.ExitWindowsEx, &AcceptExit);
  TFaultScenario s{"ExitWindows", [&](const TFaultRun&) {
                     return Caught([&] {
                       TOwned<TKYTExitWindows> exitWindows(new TKYTExitWindows(nullptr));
                       exitWindows->SetConfirm(false);
                       const bool accepted = exitWindows->Execute();
                       TSweepPause pause;
                       PumpPending();
                       TakeQuitMessage();  // the application terminated itself on acceptance
                       return ReportedIf(!accepted, accepted ? "accepted" : exitWindows->LastFailure());
                     });
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
                     return Caught([&] {
                       TOwned<TKYTScreenSaver> saver(new TKYTScreenSaver(nullptr));
                       saver->SetSeconds(wanted);
                       const int32_t now = saver->Seconds();
                       return ReportedIf(now != wanted, std::to_string(now));
                     });
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
  TFaultScenario s{"SystemDetails", [&](const TFaultRun& run) {
                     return Caught([&] {
                       TOwned<TKYTSystemDetails> details(new TKYTSystemDetails(nullptr));
                       const std::string text = details->Organisation() + "|" + details->RegisteredOwner() + "|" +
                                                details->OS() + "|" + details->WinVersion() + "|" + details->Build() +
                                                "|" + details->TotalMemory() + "|" + details->DriveC() + "|" +
                                                details->ProgramFilesDir() + "|" + details->SystemRoot() + "|" +
                                                details->Username() + "|" + details->ComputerName() + "|" +
                                                details->ScreenWidth() + "x" + details->ScreenHeight();
                       TFaultOutcome out = ReportedIf(text.find("Error on locating") != std::string::npos ||
                                                          text.find("not logged on") != std::string::npos,
                                                      text);
                       // The other facts have no error text: one the platform will not give reads empty.
                       out.Unreportable = run.Failed() && !out.Reported;
                       return out;
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

TEST(SystemSweep, SystemKeysSwitchesCapsLockOrKeepsShowingWhatItWasGiven) {
  std::array<BYTE, 256> saved{};
  ::GetKeyboardState(saved.data());
  TFaultScenario s{"SystemKeys", [&](const TFaultRun& run) {
                     return Caught([&] {
                       TOwned<TKYTSystemKeys> keys(new TKYTSystemKeys(nullptr));
                       const bool wanted = !keys->CapsLock();
                       keys->SetCapsLock(wanted);
                       // A setter cannot report; the property takes the value given (documented).
                       TFaultOutcome out = ReportedIf(false, (::GetKeyState(VK_CAPITAL) & 1) == wanted ? "switched" : "not");
                       out.Unreportable = run.Failed("KeyboardState");
                       return out;
                     });
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
                     return Caught([&] {
                       TOwned<TKYTVersionDetails> version(new TKYTVersionDetails(nullptr));
                       TFaultOutcome out = ReportedIf(false, version->CompanyName() + "|" + version->FileVersion() +
                                                                 "|" + version->ProductName());
                       // Documented: a record that cannot be loaded leaves every value as it was.
                       out.Unreportable = run.Failed();
                       return out;
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
}

// The wallpaper request goes to a stand-in that records the picture in the user's profile, as
// the system does: the desktop key is real (and put back), the picture shown never changes.
BOOL WINAPI AcceptWallpaper(UINT action, UINT param, PVOID value, UINT flags) {
  if (action != SPI_SETDESKWALLPAPER) return ::SystemParametersInfoA(action, param, value, flags);
  const char* picture = static_cast<const char*>(value);
  if (flags & SPIF_UPDATEINIFILE)
    ::RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\desktop", "Wallpaper", REG_SZ, picture,
                      static_cast<DWORD>(std::strlen(picture) + 1));
  return TRUE;
}

TEST(SystemSweep, WallPaperChangesTheDesktopSettingsTogetherOrNotAtAll) {
  TSandbox sandbox;
  const std::string picture = sandbox.File("sweep.bmp");
  ASSERT_TRUE(WriteBitmapFile(picture));
  const char* desktop = "Control Panel\\desktop";
  std::optional<TRegistrySnapshot> saved;
  os::ScopedOverride spi(os::user32.SystemParametersInfoA, &AcceptWallpaper);
  TFaultScenario s{"WallPaper", [&](const TFaultRun& run) {
                     TOwned<TKYTWallPaper> wall(new TKYTWallPaper(nullptr));
                     {
                       TSweepPause setUp;  // the work is Execute; the name is checked when set
                       wall->SetFilename(picture);
                     }
                     wall->SetTiled(true);
                     bool shown = false;
                     TFaultOutcome out = Raises([&] { shown = wall->Execute(); });
                     out.Reported = out.Reported || !shown;
                     if (run.Failed("RegOpenKeyExA")) out.AsDocumented = "a desktop key that cannot be opened is left alone";
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
                     return Caught([&] {
                       TOwned<TKYTWavePlayer> player(new TKYTWavePlayer(nullptr));
                       player->SetWaveFile(wave);
                       player->SetAsynchronously(true);
                       return ReportedIf(!player->Execute());
                     });
                   }};
  EXPECT_SWEEP_CLEAN(Sweep(s));
  ::sndPlaySoundA(nullptr, 0);
}

}  // namespace
}  // namespace kyt
