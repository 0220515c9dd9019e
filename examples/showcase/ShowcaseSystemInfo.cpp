// ShowcaseSystemInfo: reads the system information components of the main form.
#include "examples/showcase/ShowcaseSystemInfo.h"

#include <cstdio>
#include <string>

#include "examples/showcase/ShowcaseBoard.h"
#include "examples/showcase/ShowcaseMainForm.h"
#include "host/os/OsSeam.h"
#include "system/KYTTDriveVolume.h"
#include "system/KYTTResourceInfo.h"
#include "system/KYTTSystemDetails.h"
#include "system/KYTTVersionDetails.h"

namespace kyt {

namespace {

// A drive letter the machine does not have, from its drive bit mask; 0 when all are in use.
char MissingDrive() {
  const DWORD drives = os::kernel32.GetLogicalDrives();
  for (char letter = 'Y'; letter >= 'D'; --letter)
    if (!(drives & (1u << (letter - 'A')))) return letter;
  return 0;
}

bool ReportSystemDetails(TShowcaseMainForm* form) {
  // reference example: TKYTSystemDetails
  auto* details = ObjectCast<TKYTSystemDetails>(form->FindComponent("SystemDetails1"));
  Report(*details, "SystemDetails1: " + details->OS() + " " + details->WinVersion() + " build " + details->Build() +
         ", processor '" + details->CPU() + "', memory " + details->TotalMemory() + ", drive C: " +
         details->DriveC() + ", screen " + details->ScreenWidth() + "x" + details->ScreenHeight());
  // end of reference example
  Report(*details, "SystemDetails1: user " + details->Username() + " on " + details->ComputerName() + ", owner '" +
         details->RegisteredOwner() + "', organisation '" + details->Organisation() + "', programs in " +
         details->ProgramFilesDir());
  return !details->WinVersion().empty() && !details->TotalMemory().empty();
}

bool ReportVersionDetails(TShowcaseMainForm* form) {
  // reference example: TKYTVersionDetails
  auto* version = ObjectCast<TKYTVersionDetails>(form->FindComponent("VersionDetails1"));
  Report(*version, "VersionDetails1: " + version->ProductName() + " " + version->ProductVersion() + ", " +
         version->FileDescription() + " " + version->FileVersion() + " (" + version->OriginalFilename() + ") by " +
         version->CompanyName() + "; " + version->LegalCopyright());
  // end of reference example
  return version->OriginalFilename() == "showcase.exe";
}

// The drive-volume component reported drive C: through AfterUpdate when the form was read.
bool ReportDriveVolume(TShowcaseMainForm* form) {
  auto* volume = ObjectCast<TKYTDriveVolume>(form->FindComponent("DriveVolume1"));
  bool ok = form->TakeDriveErrors(nullptr) == 0 && !volume->FileSystemName().empty();
  const char missing = MissingDrive();
  if (missing) {
    volume->SetDrive(missing);
    int32_t error = 0;
    const int errors = form->TakeDriveErrors(&error);
    Report(*volume, "DriveVolume1: drive " + std::string(1, missing) + ": is missing; OnError was raised " +
           std::to_string(errors) + " times with error " + std::to_string(error));
    ok = ok && errors == 10;
    volume->SetDrive('C');
  }
  return ok;
}

bool ReportResourceInfo(TShowcaseMainForm* form) {
  auto* info = ObjectCast<TKYTResourceInfo>(form->FindComponent("ResourceInfo1"));
  Report(*info, "ResourceInfo1: " + info->CurrentDate() + " " + info->CurrentTime() + ", memory load " +
         info->MemoryPercInUse() + ", physical " + info->PhysMemFree() + " free of " + info->PhysMemTotal() +
         ", page file used " + info->PageFileUsed() + ", virtual used " + info->VirtualMemUsed());
  Report(*info, "ResourceInfo1: current drive " + info->CurrDriveFree() + " free of " + info->CurrDriveSize() +
         " (MB of 1,024,000 bytes); Caps Lock " + (info->CapsLock() ? "on" : "off") + ", Num Lock " +
         (info->NumLock() ? "on" : "off") + ", Scroll Lock " + (info->ScrollLock() ? "on" : "off"));
  return !info->PhysMemTotal().empty();
}

}  // namespace

bool RunShowcaseSystemInfo(TShowcaseMainForm* form) {
  bool ok = ReportSystemDetails(form);
  ok = ReportVersionDetails(form) && ok;
  ok = ReportDriveVolume(form) && ok;
  ok = ReportResourceInfo(form) && ok;
  return ok;
}

}  // namespace kyt
