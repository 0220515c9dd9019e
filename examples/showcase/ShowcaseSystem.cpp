// ShowcaseSystem: the system components of the main form, run unattended.
#include "examples/showcase/ShowcaseSystem.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "examples/showcase/ShowcaseBoard.h"
#include "examples/showcase/ShowcaseMainForm.h"
#include "host/core/TypeInfo.h"
#include "host/os/OsSeam.h"
#include <dbt.h>  // after the Win32 headers it builds on
#include "host/rtl/DateTime.h"
#include "host/rtl/SysUtils.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "system/KYTTCDTriggers.h"
#include "system/KYTTExitWindows.h"
#include "system/KYTTScreenSaver.h"
#include "system/KYTTSystemKeys.h"
#include "system/KYTTTimeTrigger.h"
#include "system/KYTTWallPaper.h"
#include "system/KYTTWavePlayer.h"

namespace kyt {
namespace {

const char* YesNo(bool value) { return value ? "True" : "False"; }

template <class T>
T* Find(TComponent* form, const char* name) {
  return ObjectCast<T>(form->FindComponent(name));
}

// Arms the trigger two seconds ahead and runs the message loop until it fired (OnTrigger
// reports it and disarms it), for at most eight seconds.
bool RunAlarm(TKYTTimeTrigger* alarm) {
  // reference example: TKYTTimeTrigger
  alarm->SetTriggerTime(TimeToStr(Now() + 2.0 / SecsPerDay));
  alarm->SetCheckForTrigger(true);
  // end of reference example
  Report(*alarm, "time trigger armed for " + alarm->TriggerTime() + " (it is " + alarm->CurrentTime() + ")");
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  while (alarm->CheckForTrigger() && std::chrono::steady_clock::now() < until) {
    Application->ProcessMessages();
    os::user32.MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  if (alarm->CheckForTrigger()) Report(*alarm, "time trigger did not fire");
  return !alarm->CheckForTrigger();
}

// A disc notice as the system broadcasts it, sent to the form by the showcase itself.
void SendDiscNotice(TComponent* form, WPARAM event, char drive) {
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << (drive - 'A');
  volume.dbcv_flags = DBTF_MEDIA;
  auto* owner = ObjectCast<TWinControl>(form);
  os::user32.SendMessageA(owner->Handle(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

// A short, quiet tone (8 kHz, 8-bit mono) for the wave player.
bool WriteTone(const std::string& path) {
  const uint32_t samples = 400;
  std::vector<uint8_t> bytes;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto tag = [&](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
  tag("RIFF"), put32(36 + samples), tag("WAVE"), tag("fmt "), put32(16);
  put32(0x00010001), put32(8000), put32(8000), put32(0x00080001);  // PCM mono, rate, align 1, 8 bits
  tag("data"), put32(samples);
  for (uint32_t i = 0; i < samples; ++i) bytes.push_back((i / 8) % 2 ? 0x88 : 0x78);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

bool RunChime(TKYTWavePlayer* chime) {
  char temp[MAX_PATH] = {};
  os::kernel32.GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "kyt-showcase-tone.wav";
  if (!WriteTone(path)) {
    Report(*chime, "wave player: the tone file could not be written");
    return false;
  }
  // reference example: TKYTWavePlayer
  chime->SetWaveFile(path);
  const bool played = chime->Execute();
  // end of reference example
  Report(*chime, std::string("wave player plays ") + path + (chime->Asynchronously() ? " in the background" : "") +
         ": Execute returned " + YesNo(played));
  os::winmm.sndPlaySoundA(nullptr, 0);
  os::kernel32.DeleteFileA(path.c_str());
  return played;
}

}  // namespace

bool RunShowcaseSystem(TShowcaseMainForm* form) {
  bool ok = RunAlarm(Find<TKYTTimeTrigger>(form, "Alarm"));

  Find<TKYTCDTriggers>(form, "Discs");
  const int notices = form->DiscNotices();
  SendDiscNotice(form, DBT_DEVICEARRIVAL, 'E');
  SendDiscNotice(form, DBT_DEVICEREMOVECOMPLETE, 'E');
  if (form->DiscNotices() != notices + 2) {
    Report(*form->FindComponent("Discs"), "CD triggers did not report the disc notices");
    ok = false;
  }

  auto* keys = Find<TKYTSystemKeys>(form, "Keys");
  Report(*keys, std::string("system keys: CapsLock ") + YesNo(keys->CapsLock()) + ", NumLock " + YesNo(keys->NumLock()) +
         ", ScrollLock " + YesNo(keys->ScrollLock()));

  auto* logoff = Find<TKYTExitWindows>(form, "Logoff");
  Report(*logoff, "exit windows configured, not executed: ExitType " +
         GetEnumName(EnumInfo<TKYTExitType>(), logoff->ExitType()) + ", Confirm " + YesNo(logoff->Confirm()) +
         ", ConfirmMessage '" + logoff->ConfirmMessage() + "'");

  auto* paper = Find<TKYTWallPaper>(form, "Paper");
  Report(*paper, std::string("wallpaper configured, not applied: Tiled ") + YesNo(paper->Tiled()) + ", Filename '" +
         paper->Filename() + "' (a missing file is refused at run time)");

  auto* saver = Find<TKYTScreenSaver>(form, "ScreenSaver1");
  Report(*saver, std::string("screen saver settings, left as they are: Active ") + YesNo(saver->Active()) + ", Seconds " +
         std::to_string(saver->Seconds()) + "; not started");

  if (!RunChime(Find<TKYTWavePlayer>(form, "Chime"))) ok = false;
  return ok;
}

}  // namespace kyt
