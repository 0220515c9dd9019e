// KYTSystemClasses: every class kyt_system registers. An executable linking the library links this
// table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its registration.
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

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_system_classes[] = {
    &kyt::TKYTCDTriggers::StaticClass,
    &kyt::TKYTDriveVolume::StaticClass,
    &kyt::TKYTExitWindows::StaticClass,
    &kyt::TKYTResourceInfo::StaticClass,
    &kyt::TKYTScreenSaver::StaticClass,
    &kyt::TKYTSystemDetails::StaticClass,
    &kyt::TKYTSystemKeys::StaticClass,
    &kyt::TKYTTimeTrigger::StaticClass,
    &kyt::TKYTVersionDetails::StaticClass,
    &kyt::TKYTWallPaper::StaticClass,
    &kyt::TKYTWavePlayer::StaticClass,
};
