// KYTFormsClasses: every class kyt_forms registers. An executable linking the library links this
// table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its registration.
#include "forms/KYTTApplication.h"
#include "forms/KYTTFormAspect.h"
#include "forms/KYTTFormExplode.h"
#include "forms/KYTTFormSizes.h"
#include "forms/KYTTMouseController.h"
#include "forms/KYTTOnlyOne.h"
#include "forms/KYTTSystemTray.h"
#include "forms/KYTTTopMost.h"

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_forms_classes[] = {
    &kyt::TKYTApplication::StaticClass,
    &kyt::TKYTFormAspect::StaticClass,
    &kyt::TKYTFormExplode::StaticClass,
    &kyt::TKYTFormSizes::StaticClass,
    &kyt::TKYTMouseController::StaticClass,
    &kyt::TKYTOnlyOne::StaticClass,
    &kyt::TKYTSystemTray::StaticClass,
    &kyt::TKYTTopMost::StaticClass,
};
