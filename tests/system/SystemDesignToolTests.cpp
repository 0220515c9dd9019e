// The system components in the real design tool (kytdesign.exe as a child process): each can be
// added, inspected and set, and the execute tests act as they would in a form designer. The
// exit-windows execute test is always answered No: it never reaches the system request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/rtl/DateTime.h"
#include "tests/support/FormText.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

class SystemDesignTool : public ::testing::Test {
 protected:
  void SetUp() override {
    form = sandbox.File("Unit1.kfm");
    Ok({"new", form});
  }
  std::string Ok(const std::vector<std::string>& args) {
    const TToolRun run = RunDesignTool(sandbox.Path(), args);
    EXPECT_EQ(run.ExitCode, 0u) << args[0] << ": " << run.Err;
    return run.Out;
  }
  std::string Add(const char* cls, const char* name) {
    std::string added = Ok({"add", form, cls, name});
    while (!added.empty() && (added.back() == '\n' || added.back() == '\r')) added.pop_back();
    EXPECT_EQ(added, name);
    return Ok({"inspect", form, name});
  }
  std::string FormFile() const { return ReadWholeFile(form); }

  TSandbox sandbox;
  std::string form;
};

TEST_F(SystemDesignTool, TimeTriggerShowsTheClockAndKeepsTheTriggerInLocaleForm) {
  const std::string shown = Add("TKYTTimeTrigger", "Alarm");
  EXPECT_EQ(InspectValue(shown, "About"), "(KYT System Components)");
  EXPECT_NE(InspectValue(shown, "CurrentTime"), "");
  EXPECT_EQ(InspectValue(shown, "CheckForTrigger"), "False");
  EXPECT_EQ(InspectValue(shown, "DesignExecute"), "<missing>");
  Ok({"set", form, "Alarm.TriggerTime", "14:30"});
  Ok({"set", form, "Alarm.CheckForTrigger", "True"});
  const std::string after = Ok({"inspect", form, "Alarm"});
  EXPECT_EQ(InspectValue(after, "TriggerTime"), TimeToStr(EncodeTime(14, 30, 0, 0)));
  EXPECT_EQ(InspectValue(after, "CheckForTrigger"), "True");
  EXPECT_NE(FormFile().find("CheckForTrigger = True"), std::string::npos) << FormFile();
  EXPECT_NE(RunDesignTool(sandbox.Path(), {"test", form, "Alarm"}).ExitCode, 0u) << "it has no execute test";
}

TEST_F(SystemDesignTool, CDTriggersHookTheDesignedFormAndShowTheirEvents) {
  const std::string shown = Add("TKYTCDTriggers", "Discs");
  EXPECT_EQ(InspectValue(shown, "AfterInsert"), "");
  EXPECT_EQ(InspectValue(shown, "AfterRemove"), "");
  Ok({"set", form, "Discs.AfterInsert", "DiscsAfterInsert"});
  EXPECT_NE(FormFile().find("AfterInsert = DiscsAfterInsert"), std::string::npos) << FormFile();
}

TEST_F(SystemDesignTool, SystemKeysShowTheDesignersOwnLocks) {
  const std::string shown = Add("TKYTSystemKeys", "Keys");
  for (const char* lock : {"CapsLock", "NumLock", "ScrollLock"}) {
    const std::string v = InspectValue(shown, lock);
    EXPECT_TRUE(v == "True" || v == "False") << lock << " = " << v;
  }
  Ok({"set", form, "Keys.CapsLock", "True"});  // the tool's own thread table only
  EXPECT_EQ(FormFile().find("Lock"), std::string::npos) << FormFile();
}

TEST_F(SystemDesignTool, ExitWindowsExecuteTestAsksFirstAndNoEndsIt) {
  const std::string shown = Add("TKYTExitWindows", "Exit");
  EXPECT_EQ(InspectValue(shown, "ExitType"), "xLogoff");
  EXPECT_EQ(InspectValue(shown, "DesignExecute"), "(Execute Test)");
  Ok({"set", form, "Exit.ExitType", "xReboot"});
  Ok({"set", form, "Exit.ConfirmMessage", "Restart from the designer?"});
  const std::string after = Ok({"inspect", form, "Exit"});
  EXPECT_EQ(InspectValue(after, "ExitType"), "xReboot");
  // The execute test runs only while the question is certain to come, and is answered No.
  ASSERT_EQ(InspectValue(after, "Confirm"), "True");
  std::vector<std::string> texts;
  const TToolRun run = RunDesignTool(sandbox.Path(), {"test", form, "Exit"}, "&No", &texts);
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  bool asked = false;
  for (const std::string& t : texts) asked = asked || t.find("Restart from the designer?") != std::string::npos;
  EXPECT_TRUE(asked);
  EXPECT_NE(FormFile().find("ExitType = xReboot"), std::string::npos) << FormFile();
}

TEST_F(SystemDesignTool, WallPaperExecuteTestChangesTheDesktopSettings) {
  TRegistrySnapshot desktop(HKEY_CURRENT_USER, "Control Panel\\desktop", {"TileWallPaper", "Wallpaper"});
  char shownPaper[MAX_PATH] = {};
  ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, shownPaper, 0);
  const std::string picture = sandbox.File("designer.bmp");
  ASSERT_TRUE(WriteBitmapFile(picture));
  const std::string shown = Add("TKYTWallPaper", "Paper");
  EXPECT_EQ(InspectValue(shown, "Tiled"), "True");
  EXPECT_EQ(InspectValue(shown, "DesignExecute"), "(Execute Test)");
  Ok({"set", form, "Paper.Filename", "Q:\\elsewhere.bmp"});  // the designer takes any name
  EXPECT_EQ(InspectValue(Ok({"inspect", form, "Paper"}), "Filename"), "Q:\\elsewhere.bmp");
  Ok({"set", form, "Paper.Filename", picture});
  Ok({"set", form, "Paper.Tiled", "False"});
  Ok({"test", form, "Paper"});
  const std::string tile = ReadRegistryText(HKEY_CURRENT_USER, "Control Panel\\desktop", "TileWallPaper");
  const std::string paper = ReadRegistryText(HKEY_CURRENT_USER, "Control Panel\\desktop", "Wallpaper");
  ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, shownPaper, 0);
  desktop.Restore();
  EXPECT_EQ(tile, "0");
  EXPECT_EQ(paper, picture);
}

TEST_F(SystemDesignTool, ScreenSaverShowsAndChangesTheLiveSettings) {
  // Settings changed without writing the profile are not reliably seen by other processes of
  // the prefix, so each check reads what the tool itself saw; the test's own settings go back.
  UINT active = 0, seconds = 0;
  ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  ::SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
  const std::string shown = Add("TKYTScreenSaver", "Saver");
  const std::string isActive = InspectValue(shown, "Active");
  EXPECT_TRUE(isActive == "True" || isActive == "False") << isActive;
  EXPECT_NE(InspectValue(shown, "Seconds"), "<missing>");
  EXPECT_EQ(InspectValue(shown, "DesignExecute"), "(Execute Test)");
  Ok({"set", form, "Saver.Seconds", "780"});
  const std::string text = FormFile();
  // Under Wine the start command does nothing; on Windows the designer's test would start it.
  const TToolRun run = RunDesignTool(sandbox.Path(), {"test", form, "Saver"});
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active, nullptr, SPIF_SENDWININICHANGE);
  ::SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, seconds, nullptr, SPIF_SENDWININICHANGE);
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_NE(text.find("Seconds = 780"), std::string::npos) << text;
  EXPECT_NE(text.find("Active = "), std::string::npos) << text;
}

TEST_F(SystemDesignTool, WavePlayerExecuteTestPlaysTheFile) {
  const std::string wave = sandbox.File("designer.wav");
  ASSERT_TRUE(WriteWaveFile(wave, 50));
  const std::string shown = Add("TKYTWavePlayer", "Player");
  EXPECT_EQ(InspectValue(shown, "Asynchronously"), "True");
  EXPECT_EQ(InspectValue(shown, "WaveFile"), "");
  EXPECT_EQ(InspectValue(shown, "DesignExecute"), "(Execute Test)");
  Ok({"set", form, "Player.WaveFile", wave});
  Ok({"test", form, "Player"});
  // A long path is written in pieces joined with +, its non-ASCII characters as # codes.
  EXPECT_NE(test::ReadableFormText(FormFile()).find("WaveFile = '" + wave + "'"), std::string::npos) << FormFile();
}

}  // namespace
}  // namespace kyt
