// Tests of TKYTDriveVolume: drive C: read for real and compared with the platform's answer, a
// missing drive letter failing for real, and a drive without a medium produced through the seam.
// Tests that meet the error boxes either assign OnError or answer every box.
#include "system/KYTTDriveVolume.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/SeamOverride.h"

namespace kyt {
namespace {

// Counts the update events and records the errors reported to OnError.
struct TVolumeLog : TObject {
  int Before = 0;
  int After = 0;
  std::vector<int32_t> Errors;
  void BeforeUpdate(TObject*) { ++Before; }
  void AfterUpdate(TObject*) { ++After; }
  void Error(int32_t number) { Errors.push_back(number); }
  void Attach(TKYTDriveVolume& volume) {
    volume.SetBeforeUpdate(TNotifyEvent::Bind<&TVolumeLog::BeforeUpdate>(this));
    volume.SetAfterUpdate(TNotifyEvent::Bind<&TVolumeLog::AfterUpdate>(this));
    volume.SetOnError(TKYTOnDriveVolumeError::Bind<&TVolumeLog::Error>(this));
  }
};

// A drive letter this machine does not have (the scan reads only the drive bit mask).
char MissingDrive() {
  const DWORD drives = ::GetLogicalDrives();
  for (char letter = 'Y'; letter >= 'D'; --letter)
    if (!(drives & (1u << (letter - 'A')))) return letter;
  return 0;
}

TEST(DriveVolume, NewComponentShowsDriveCAsThePlatformReportsIt) {
  char label[MAX_PATH + 1] = {}, fileSystem[MAX_PATH + 1] = {};
  DWORD serial = 0, maxLength = 0, flags = 0;
  ASSERT_TRUE(::GetVolumeInformationA("C:\\", label, sizeof label, &serial, &maxLength, &flags, fileSystem,
                                      sizeof fileSystem));
  TKYTDriveVolume volume(nullptr);
  EXPECT_EQ(volume.CurrentDrive(), 'C');
  EXPECT_EQ(volume.SerialNumber(), TKYTDriveVolume::FormatSerialNumber(serial));
  EXPECT_EQ(volume.FileSystemName(), CharUpperA(fileSystem));
  EXPECT_EQ(volume.VolumeLabel(), CharUpperA(label));
  EXPECT_EQ(volume.FileSystemFlags(), static_cast<int32_t>(flags));
  EXPECT_EQ(volume.CaseSensitive(), (flags & 0x1) != 0);
  EXPECT_EQ(volume.CasePreserved(), (flags & 0x2) != 0);
  EXPECT_EQ(volume.StoredUniCodeOnDisk(), (flags & 0x4) != 0);
  EXPECT_EQ(volume.PersistentACLS(), (flags & 0x8) != 0);
  EXPECT_EQ(volume.FileCompression(), (flags & 0x10) != 0);
  EXPECT_EQ(volume.VolumeIsCompressed(), (flags & 0x8000) != 0);
  EXPECT_EQ(volume.GetVolumeSerialNumber(), volume.SerialNumber());
  EXPECT_EQ(volume.GetVolumeFileSystemName(), volume.FileSystemName());
  EXPECT_EQ(volume.GetVolumeFileSystemFlags(), volume.FileSystemFlags());
}

TEST(DriveVolume, SerialKeepsLeadingZerosAndUsesUpperCaseHex) {
  EXPECT_EQ(TKYTDriveVolume::FormatSerialNumber(0x00AB12CD), "00AB:12CD");
  EXPECT_EQ(TKYTDriveVolume::FormatSerialNumber(0x1A2B3C4D), "1A2B:3C4D");
  EXPECT_EQ(TKYTDriveVolume::FormatSerialNumber(0), "0000:0000");
  EXPECT_EQ(TKYTDriveVolume::FormatSerialNumber(0xFFFFFFFF), "FFFF:FFFF");
}

TEST(DriveVolume, MissingDriveFailsForRealTenTimesThroughOnError) {
  const char missing = MissingDrive();
  ASSERT_NE(missing, 0) << "every letter D-Y is in use";
  TKYTDriveVolume volume(nullptr);
  TVolumeLog log;
  log.Attach(volume);
  volume.SetDrive(static_cast<char>(missing - 'A' + 'a'));
  EXPECT_EQ(volume.CurrentDrive(), missing) << "a lower-case letter selects its drive";
  ASSERT_EQ(log.Errors.size(), 10u);
  for (int32_t e : log.Errors) EXPECT_EQ(e, log.Errors[0]);
  EXPECT_NE(log.Errors[0], 0);
  EXPECT_EQ(log.Before, 1);
  EXPECT_EQ(log.After, 1);
  EXPECT_EQ(volume.VolumeLabel(), "");
  EXPECT_EQ(volume.SerialNumber(), "");
  EXPECT_EQ(volume.FileSystemName(), "");
  EXPECT_EQ(volume.FileSystemFlags(), 0);
  EXPECT_FALSE(volume.CasePreserved() || volume.CaseSensitive() || volume.StoredUniCodeOnDisk() ||
               volume.PersistentACLS() || volume.FileCompression() || volume.VolumeIsCompressed());

  // Back to C: everything is filled again; other characters keep the drive but still refresh.
  log.Errors.clear();
  volume.SetDrive('c');
  EXPECT_EQ(volume.CurrentDrive(), 'C');
  EXPECT_TRUE(log.Errors.empty());
  EXPECT_NE(volume.FileSystemName(), "");
  for (char other : {'1', '?', 'C', '\0'}) {
    volume.SetDrive(other);
    EXPECT_EQ(volume.CurrentDrive(), 'C') << int(other);
  }
  EXPECT_EQ(log.Before, 6);
  EXPECT_EQ(log.After, 6);
}

// A removable drive without a medium: every query fails with ERROR_NOT_READY. It records the
// error mode in force during the query.
UINT g_modeDuringQuery = 0;
int g_volumeQueries = 0;
struct TFakeVolume {
  bool NoMedium = false;
  DWORD Serial = 0x00AB12CD;
  const char* Label = "data disk";
  const char* FileSystem = "fat32";
  DWORD Flags = 0x8000 | 0x10 | 0x1;
} g_fake;

BOOL WINAPI FakeVolume(LPCSTR root, LPSTR label, DWORD labelSize, LPDWORD serial, LPDWORD maxLength, LPDWORD flags,
                       LPSTR fileSystem, DWORD fileSystemSize) {
  ++g_volumeQueries;
  g_modeDuringQuery = ::GetErrorMode();
  if (!root || std::string(root).size() != 3) return FALSE;
  if (g_fake.NoMedium) {
    ::SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  if (label) lstrcpynA(label, g_fake.Label, static_cast<int>(labelSize));
  if (fileSystem) lstrcpynA(fileSystem, g_fake.FileSystem, static_cast<int>(fileSystemSize));
  if (serial) *serial = g_fake.Serial;
  if (maxLength) *maxLength = 255;
  if (flags) *flags = g_fake.Flags;
  return TRUE;
}

// Restoring the error mode must not be what the error number is read from.
UINT WINAPI ClobberingErrorMode(UINT mode) {
  const UINT old = ::SetErrorMode(mode);
  ::SetLastError(1234);
  return old;
}

class DriveVolumeFake : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fake = TFakeVolume{};
    g_volumeQueries = 0;
    g_modeDuringQuery = 0;
    modeBefore = ::SetErrorMode(0);
    ::SetErrorMode(modeBefore);
  }
  void TearDown() override {
    EXPECT_EQ(::GetErrorMode(), modeBefore) << "the error mode is put back";
    ::SetErrorMode(modeBefore);
  }
  UINT modeBefore = 0;
  ScopedOverride<decltype(os::kernel32.GetVolumeInformationA)> volumeQuery{os::kernel32.GetVolumeInformationA,
                                                                           &FakeVolume};
  ScopedOverride<decltype(os::kernel32.SetErrorMode)> errorMode{os::kernel32.SetErrorMode, &ClobberingErrorMode};
};

TEST_F(DriveVolumeFake, ShowsLabelAndFileSystemInUpperCaseAndEachFlag) {
  TKYTDriveVolume volume(nullptr);
  EXPECT_EQ(g_modeDuringQuery & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
  EXPECT_EQ(volume.VolumeLabel(), "DATA DISK");
  EXPECT_EQ(volume.FileSystemName(), "FAT32");
  EXPECT_EQ(volume.SerialNumber(), "00AB:12CD");
  EXPECT_EQ(volume.FileSystemFlags(), 0x8011);
  EXPECT_TRUE(volume.VolumeIsCompressed());
  EXPECT_TRUE(volume.FileCompression());
  EXPECT_TRUE(volume.CaseSensitive());
  EXPECT_FALSE(volume.CasePreserved());
  EXPECT_FALSE(volume.StoredUniCodeOnDisk());
  EXPECT_FALSE(volume.PersistentACLS());
  EXPECT_EQ(volume.GetVolumeLabel(), "DATA DISK");

  // A flags word with the top bit set is published as a negative integer.
  g_fake.Flags = 0x80000002u;
  volume.UpdateIntegerInfo(0);
  EXPECT_EQ(volume.FileSystemFlags(), static_cast<int32_t>(0x80000002u));
  EXPECT_FALSE(volume.CasePreserved()) << "only the flags value was re-read";
  volume.UpdateBoolInfo(false);
  EXPECT_TRUE(volume.CasePreserved());
  EXPECT_FALSE(volume.VolumeIsCompressed());
}

TEST_F(DriveVolumeFake, AssigningADataEntryReReadsItsGroupWithoutUpdateEvents) {
  TKYTDriveVolume volume(nullptr);
  TVolumeLog log;
  log.Attach(volume);
  g_fake.Label = "second";
  const TPropInfo* label = volume.ClassType().FindProperty("VolumeLabel");
  label->SetStr(&volume, "typed text");
  EXPECT_EQ(volume.VolumeLabel(), "SECOND");
  volume.ClassType().FindProperty("SerialNumber")->SetStr(&volume, "1234:5678");
  EXPECT_EQ(volume.SerialNumber(), "00AB:12CD");
  volume.ClassType().FindProperty("CaseSensitive")->SetOrd(&volume, 0);
  EXPECT_TRUE(volume.CaseSensitive());
  EXPECT_EQ(log.Before, 0);
  EXPECT_EQ(log.After, 0);
}

TEST_F(DriveVolumeFake, DriveWithoutMediumReportsTenErrorsToOnErrorAndShowsNoBox) {
  TKYTDriveVolume volume(nullptr);
  TVolumeLog log;
  log.Attach(volume);
  g_fake.NoMedium = true;
  const auto windowsBefore = ProcessTopLevelWindows(true).size();
  volume.SetDrive('E');
  EXPECT_EQ(log.Errors, std::vector<int32_t>(10, ERROR_NOT_READY));
  EXPECT_EQ(ProcessTopLevelWindows(true).size(), windowsBefore);
  EXPECT_EQ(volume.CurrentDrive(), 'E');
  EXPECT_EQ(volume.VolumeLabel(), "");
  EXPECT_EQ(volume.SerialNumber(), "");
  EXPECT_EQ(volume.FileSystemName(), "");
  EXPECT_EQ(volume.FileSystemFlags(), 0);
  EXPECT_FALSE(volume.VolumeIsCompressed() || volume.CaseSensitive() || volume.FileCompression());
  EXPECT_EQ(log.Before, 1);
  EXPECT_EQ(log.After, 1) << "AfterUpdate still follows the failures";

  // Each single query reports its own failure once.
  log.Errors.clear();
  EXPECT_EQ(volume.GetVolumeLabel(), "");
  EXPECT_EQ(volume.GetVolumeFileSystemFlags(), 0);
  EXPECT_EQ(log.Errors.size(), 2u);
}

// A handler that raises.
struct TRaisingHandler : TObject {
  int Calls = 0;
  void Error(int32_t) {
    ++Calls;
    throw Exception("handler failed");
  }
};

TEST_F(DriveVolumeFake, ErrorModeIsPutBackWhenTheHandlerRaises) {
  TKYTDriveVolume volume(nullptr);
  TRaisingHandler handler;
  volume.SetOnError(TKYTOnDriveVolumeError::Bind<&TRaisingHandler::Error>(&handler));
  g_fake.NoMedium = true;
  EXPECT_THROW(volume.SetDrive('F'), Exception);
  EXPECT_EQ(handler.Calls, 1);
  EXPECT_EQ(::GetErrorMode(), modeBefore);
}

// Answers every warning box of the drive-volume component from a thread timer, which keeps
// firing inside each box's modal loop, and records their texts.
class TBoxAnswerer {
 public:
  TBoxAnswerer() {
    active = this;
    FTimer = ::SetTimer(nullptr, 0, 10, &TBoxAnswerer::Tick);
  }
  ~TBoxAnswerer() {
    ::KillTimer(nullptr, FTimer);
    active = nullptr;
  }
  std::vector<std::string> Texts;
  std::vector<UINT> Styles;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!active) return;
    for (HWND w : ProcessTopLevelWindows(true)) {
      if (WindowClass(w) != "#32770" || WindowText(w) != "TKYTDriveVolume" || w == active->FLast) continue;
      active->FLast = w;
      active->Texts.push_back(WindowText(::GetDlgItem(w, 0xFFFF)));
      HWND ok = ::GetDlgItem(w, IDOK);
      ::SendMessageA(ok ? ok : w, ok ? BM_CLICK : WM_CLOSE, 0, 0);
    }
  }
  static inline TBoxAnswerer* active = nullptr;
  UINT_PTR FTimer = 0;
  HWND FLast = nullptr;
};

TEST_F(DriveVolumeFake, WithoutOnErrorEachOfTheTenFailuresShowsAWarningBox) {
  TKYTDriveVolume volume(nullptr);
  g_fake.NoMedium = true;
  TBoxAnswerer answer;
  volume.SetDrive('e');
  ASSERT_EQ(answer.Texts.size(), 10u);
  for (const std::string& text : answer.Texts) EXPECT_EQ(text, "Error 21 in Drive Volume Information !");
  EXPECT_EQ(volume.FileSystemName(), "");
}

TEST_F(DriveVolumeFake, ConstructorOnAnUnreadableDriveCShowsTheBoxesToo) {
  g_fake.NoMedium = true;
  TBoxAnswerer answer;
  TKYTDriveVolume volume(nullptr);
  EXPECT_EQ(answer.Texts.size(), 10u);
  EXPECT_EQ(volume.CurrentDrive(), 'C');
}

// ---- Form files

class TVolumeRoot : public TComponent {
  KYT_CLASS(TVolumeRoot, TComponent)
 public:
  static void PublishMethods(TMethodPublisher<TVolumeRoot>& m) {
    m.Method<&TVolumeRoot::VolumeUpdated>("VolumeUpdated");
    m.Method<&TVolumeRoot::VolumeError>("VolumeError");
  }
  using TComponent::TComponent;
  void VolumeUpdated(TObject*) { ++Updates; }
  void VolumeError(int32_t) { ++Errors; }
  int Updates = 0;
  int Errors = 0;
};

TEST(DriveVolumeFormFile, KeepsOnlyTheEventsAndStartsOnDriveCWhenLoaded) {
  const char missing = MissingDrive();
  ASSERT_NE(missing, 0);
  RegisterClasses({&TVolumeRoot::StaticClass(), &TKYTDriveVolume::StaticClass()});
  TVolumeRoot root(nullptr);
  root.SetName("InfoForm");
  root.SetDesigning(true);
  // reference example: TKYTDriveVolume
  auto* volume = new TKYTDriveVolume(&root);
  volume->SetName("DriveVolume1");
  volume->SetOnError(TKYTOnDriveVolumeError::Bind<&TVolumeRoot::VolumeError>(&root));
  volume->SetAfterUpdate(TNotifyEvent::Bind<&TVolumeRoot::VolumeUpdated>(&root));
  volume->SetBeforeUpdate(TNotifyEvent::Bind<&TVolumeRoot::VolumeUpdated>(&root));
  volume->SetDrive(missing);
  // end of reference example
  EXPECT_EQ(root.Errors, 10);
  const std::string text = WriteComponentText(root);
  const std::string block = text.substr(text.find("object DriveVolume1"));
  int stored = 0;
  for (size_t at = block.find(" = "); at != std::string::npos; at = block.find(" = ", at + 1)) ++stored;
  EXPECT_EQ(stored, 3) << block;
  EXPECT_NE(block.find("AfterUpdate = VolumeUpdated"), std::string::npos) << block;
  EXPECT_NE(block.find("BeforeUpdate = VolumeUpdated"), std::string::npos) << block;
  EXPECT_NE(block.find("OnError = VolumeError"), std::string::npos) << block;

  TVolumeRoot copy(nullptr);
  ReadRootText(copy, text, "volume.kfm");
  auto* loaded = ObjectCast<TKYTDriveVolume>(copy.FindComponent("DriveVolume1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->CurrentDrive(), 'C');
  EXPECT_NE(loaded->FileSystemName(), "");
  EXPECT_EQ(copy.Errors, 0);
  loaded->SetDrive(missing);
  EXPECT_EQ(copy.Errors, 10);
  EXPECT_EQ(copy.Updates, 2);
}

}  // namespace
}  // namespace kyt
