// KYTTWavePlayer: wave playback through sndPlaySound.
#include "system/KYTTWavePlayer.h"


#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTWavePlayer::StaticClass());
  return true;
}();
}  // namespace

bool TKYTWavePlayer::Execute() { return PlayWave(FWaveFile, FAsynchronously); }

bool TKYTWavePlayer::PlayWave(const std::string& fileName, bool asynchronously) {
  if (!FileExists(fileName)) return false;
  const UINT flags = asynchronously ? SND_ASYNC | SND_NODEFAULT : SND_SYNC | SND_NODEFAULT;
  try {
    return os::winmm.sndPlaySoundA(fileName.c_str(), flags) != FALSE;
  } catch (...) {
    FOnError(this);
    return false;
  }
}

}  // namespace kyt
