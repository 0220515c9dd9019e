// KYTTSystemDetails: facts about the machine and the operating system (registered owner and
// organisation, processor, platform and version, memory, size of drive C:, system folders, user,
// computer and screen) gathered into read-only text properties.
#ifndef KYT_SYSTEM_KYTTSYSTEMDETAILS_H
#define KYT_SYSTEM_KYTTSYSTEMDETAILS_H

#include <string>

#include "framework/KYTSystem.h"

namespace kyt {

// The registry key the four registry values come from, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kKYTSystemDetailsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Every value except the user and computer names is gathered once, by the constructor (in the
// designer too); those two are asked for on every read. Assigning any property changes nothing
// but re-reads the screen size. The processor and platform texts only know the 386, 486 and
// Pentium types and the Win32s, Windows 95 and NT platforms, so they read empty on today's
// machines; they are kept as the family has them. A fact the platform will not give (a version,
// a registry value, the drive's size) reads empty too.
class TKYTSystemDetails : public TKYTSystemsComponent {
  KYT_CLASS(TKYTSystemDetails, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTSystemDetails>& p) {
    using C = TKYTSystemDetails;
    const auto info = [&](const char* name, auto getter) {
      p.Property(name, getter, &C::SetSelfString).Stored(TStored::Never);
    };
    // The organisation Windows is registered to.
    info("Organisation", &C::Organisation);
    // The person Windows is registered to.
    info("Owner", &C::RegisteredOwner);
    // The processor type, for the processors the component knows; empty for others.
    info("CPU", &C::CPU);
    // The platform: Windows 3.1, Windows 95 or Windows NT.
    info("OS", &C::OS);
    // The Windows version, as "major.minor".
    info("WinVersion", &C::WinVersion);
    // The Windows build number.
    info("Build", &C::Build);
    // The machine's physical memory, in KB.
    info("TotalMemory", &C::TotalMemory);
    // The size of drive C:, in MB.
    info("DriveC", &C::DriveC);
    // The Program Files folder.
    info("ProgramFilesDir", &C::ProgramFilesDir);
    // The Windows folder.
    info("SystemRoot", &C::SystemRoot);
    // The name of the user logged on.
    info("Username", &C::GetUName);
    // The computer's network name.
    info("ComputerName", &C::GetCName);
    // The screen's width in pixels.
    info("ScreenWidth", &C::ScreenWidth);
    // The screen's height in pixels.
    info("ScreenHeight", &C::ScreenHeight);
  }

  explicit TKYTSystemDetails(TComponent* AOwner);

  // Properties
  const std::string& Organisation() const { return FOrganisation; }
  // Published as Owner; named so that it does not hide TComponent::Owner().
  const std::string& RegisteredOwner() const { return FOwner; }
  const std::string& CPU() const { return FCPU; }
  const std::string& OS() const { return FOS; }
  const std::string& WinVersion() const { return FWinVersion; }
  const std::string& Build() const { return FBuild; }
  const std::string& TotalMemory() const { return FTotalMemory; }
  const std::string& DriveC() const { return FDriveC; }
  const std::string& ProgramFilesDir() const { return FProgramFilesDir; }
  const std::string& SystemRoot() const { return FSystemRoot; }
  // The user name, or "User not logged on"; asked for on every read.
  std::string GetUName() const;
  std::string Username() const { return GetUName(); }
  // The computer name, or "Error on locating Computername"; asked for on every read.
  std::string GetCName() const;
  std::string ComputerName() const { return GetCName(); }
  const std::string& ScreenWidth() const { return FScreenWidth; }
  const std::string& ScreenHeight() const { return FScreenHeight; }

  // The setter of every property: the value is ignored; the screen size is read again.
  void SetSelfString(const std::string& value);

 private:
  void ReadRegistryValues();
  void ReadProcessor();
  void ReadVersion();
  void ReadMemoryAndDrive();
  void ReadScreen();

  std::string FOrganisation;
  std::string FOwner;
  std::string FCPU;
  std::string FOS;
  std::string FWinVersion;
  std::string FBuild;
  std::string FTotalMemory;
  std::string FDriveC;
  std::string FProgramFilesDir;
  std::string FSystemRoot;
  std::string FScreenWidth;
  std::string FScreenHeight;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTSYSTEMDETAILS_H
