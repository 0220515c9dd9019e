// Tests of the wallpaper component against the real desktop settings, which each test puts back
// as it found them (the registry values and the wallpaper the system shows).
#include "system/KYTTWallPaper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/MediaFiles.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/support/SeamOverride.h"
#include "tests/system/SystemTestSupport.h"

namespace kyt {
namespace {

constexpr const char* kDesktop = "Control Panel\\desktop";

std::string DesktopValue(const char* name) { return ReadRegistryText(HKEY_CURRENT_USER, kDesktop, name); }

void SetDesktopValue(const char* name, const std::string& value) {
  ::RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

// What happened, in order: the change event and each wallpaper request with the tiling value
// the desktop key held at that moment.
std::vector<std::string>* gSteps = nullptr;
BOOL gAnswer = TRUE;
BOOL WINAPI RecordingSystemParametersInfoA(UINT action, UINT param, PVOID value, UINT flags) {
  if (action != SPI_SETDESKWALLPAPER) return ::SystemParametersInfoA(action, param, value, flags);
  gSteps->push_back("request '" + std::string(static_cast<const char*>(value)) + "' param " + std::to_string(param) +
                    " flags " + std::to_string(flags) + " tile " + DesktopValue("TileWallPaper") + " wallpaper '" +
                    DesktopValue("Wallpaper") + "'");
  return gAnswer;
}

LSTATUS WINAPI RefuseDesktopKey(HKEY root, LPCSTR key, DWORD options, REGSAM access, PHKEY result) {
  if (key && std::string(key).find("Control Panel") != std::string::npos) return ERROR_ACCESS_DENIED;
  return ::RegOpenKeyExA(root, key, options, access, result);
}

struct TChangeLog {
  void Change(TObject*) { gSteps->push_back("OnChange"); }
};

class WallPaper : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, shown, 0);
    gSteps = &steps;
    gAnswer = TRUE;
    picture = sandbox.File("desk.bmp");
    ASSERT_TRUE(WriteBitmapFile(picture));
  }
  void TearDown() override {
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, shown, 0);
    desktop.Restore();
    gSteps = nullptr;
  }

  TRegistrySnapshot desktop{HKEY_CURRENT_USER, kDesktop, {"TileWallPaper", "Wallpaper"}};
  char shown[MAX_PATH] = {};
  TSandbox sandbox;
  std::string picture;
  std::vector<std::string> steps;
  TChangeLog changes;
  TComponent owner{nullptr};
};

TEST_F(WallPaper, StartsTiledWithoutAFile) {
  TKYTWallPaper paper(&owner);
  EXPECT_TRUE(paper.Tiled());
  EXPECT_EQ(paper.Filename(), "");
  EXPECT_EQ(paper.About(), "(About)");
}

TEST_F(WallPaper, AtRunTimeOnlyAnExistingFileIsTaken) {
  TKYTWallPaper paper(&owner);
  paper.SetFilename(sandbox.File("missing.bmp"));
  EXPECT_EQ(paper.Filename(), "");
  paper.SetFilename(picture);
  EXPECT_EQ(paper.Filename(), picture);
  paper.SetFilename(sandbox.File("missing.bmp"));
  EXPECT_EQ(paper.Filename(), picture);
}

TEST_F(WallPaper, InTheDesignerAnyNameIsTakenButNoneTooLongForTheSystem) {
  TComponent designed(nullptr);
  designed.SetDesigning(true);
  TKYTWallPaper paper(&designed);
  paper.SetFilename("X:\\made\\elsewhere.bmp");
  EXPECT_EQ(paper.Filename(), "X:\\made\\elsewhere.bmp");
  const std::string fits = "C:\\" + std::string(kKYTWallPaperPathLength - 3, 'a');
  paper.SetFilename(fits);
  EXPECT_EQ(paper.Filename(), fits);
  paper.SetFilename(fits + "b");  // one character more than the buffer holds: refused, not cut
  EXPECT_EQ(paper.Filename(), fits);
  EXPECT_FALSE(TKYTWallPaper::SetWallPaper(fits + "b", true));
  EXPECT_TRUE(steps.empty());
}

// A zero inside the name would show the picture the part before it names: refused, and the
// desktop values stay as they were.
TEST_F(WallPaper, ANameWithAZeroInsideIsRefusedAndChangesNothing) {
  os::ScopedOverride record(os::user32.SystemParametersInfoA, &RecordingSystemParametersInfoA);
  SetDesktopValue("TileWallPaper", "1");
  SetDesktopValue("Wallpaper", "before.bmp");
  EXPECT_FALSE(TKYTWallPaper::SetWallPaper(picture + std::string("\0.txt", 5), false));
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(DesktopValue("TileWallPaper"), "1");
  EXPECT_EQ(DesktopValue("Wallpaper"), "before.bmp");
}

TEST_F(WallPaper, ExecuteWritesTheTilingFirstThenShowsThePictureThenRecordsIt) {
  os::ScopedOverride record(os::user32.SystemParametersInfoA, &RecordingSystemParametersInfoA);
  SetDesktopValue("TileWallPaper", "1");
  SetDesktopValue("Wallpaper", "before.bmp");
  // reference example: TKYTWallPaper
  TKYTWallPaper paper(&owner);
  paper.SetTiled(false);
  paper.SetFilename(picture);
  paper.SetOnChange(TNotifyEvent::Bind<&TChangeLog::Change>(&changes));
  EXPECT_TRUE(paper.Execute());
  // end of reference example
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0], "OnChange");
  EXPECT_EQ(steps[1], "request '" + picture + "' param 1 flags 1 tile 0 wallpaper 'before.bmp'");
  EXPECT_EQ(DesktopValue("TileWallPaper"), "0");
  EXPECT_EQ(DesktopValue("Wallpaper"), picture);
}

TEST_F(WallPaper, ExecuteAppliesThePictureForReal) {
  TKYTWallPaper paper(&owner);
  paper.SetFilename(picture);
  EXPECT_TRUE(paper.Execute());
  EXPECT_EQ(DesktopValue("TileWallPaper"), "1");
  EXPECT_EQ(DesktopValue("Wallpaper"), picture);
  TKYTWallPaper none(&owner);
  EXPECT_TRUE(none.Execute());  // an empty name removes the wallpaper
  EXPECT_EQ(DesktopValue("Wallpaper"), "");
}

TEST_F(WallPaper, ExecuteReportsARefusalOfTheSystem) {
  os::ScopedOverride record(os::user32.SystemParametersInfoA, &RecordingSystemParametersInfoA);
  gAnswer = FALSE;
  TKYTWallPaper paper(&owner);
  paper.SetFilename(picture);
  EXPECT_FALSE(paper.Execute());
  EXPECT_EQ(steps.size(), 1u);
}

TEST_F(WallPaper, ADesktopKeyThatCannotBeOpenedIsLeftAlone) {
  os::ScopedOverride record(os::user32.SystemParametersInfoA, &RecordingSystemParametersInfoA);
  SetDesktopValue("TileWallPaper", "7");
  SetDesktopValue("Wallpaper", "kept.bmp");
  os::ScopedOverride refuse(os::advapi32.RegOpenKeyExA, &RefuseDesktopKey);
  TKYTWallPaper paper(&owner);
  paper.SetTiled(false);
  paper.SetFilename(picture);
  EXPECT_NO_THROW(EXPECT_TRUE(paper.Execute()));
  EXPECT_EQ(steps.size(), 1u);
  EXPECT_EQ(DesktopValue("TileWallPaper"), "7");
  EXPECT_EQ(DesktopValue("Wallpaper"), "kept.bmp");
}

TEST_F(WallPaper, FormFileKeepsTheNameOnlyWhereTheFileExists) {
  RegisterClasses({&TSystemTestForm::StaticClass(), &TKYTWallPaper::StaticClass()});
  TSystemTestForm root(nullptr);
  root.SetDesigning(true);
  auto* plain = new TKYTWallPaper(&root);
  plain->SetName("Plain");
  auto* here = new TKYTWallPaper(&root);
  here->SetName("Here");
  here->SetTiled(false);
  here->SetFilename(picture);
  auto* elsewhere = new TKYTWallPaper(&root);
  elsewhere->SetName("Elsewhere");
  elsewhere->SetFilename(sandbox.File("not-on-this-machine.bmp"));
  const std::string text = FormText(root);
  const size_t plainAt = text.find("object Plain"), hereAt = text.find("object Here");
  EXPECT_EQ(text.substr(plainAt, hereAt - plainAt).find("Tiled"), std::string::npos) << text;
  EXPECT_EQ(text.substr(plainAt, hereAt - plainAt).find("Filename"), std::string::npos) << text;
  EXPECT_NE(text.find("Tiled = False"), std::string::npos) << text;

  TSystemTestForm loaded(nullptr);
  ReadFormText(loaded, text);
  EXPECT_EQ(ObjectCast<TKYTWallPaper>(loaded.FindComponent("Here"))->Filename(), picture);
  EXPECT_FALSE(ObjectCast<TKYTWallPaper>(loaded.FindComponent("Here"))->Tiled());
  EXPECT_EQ(ObjectCast<TKYTWallPaper>(loaded.FindComponent("Elsewhere"))->Filename(), "");
}

}  // namespace
}  // namespace kyt
