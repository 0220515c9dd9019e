// KYTFrameworkClasses: every class kyt_framework registers. An executable linking the library links
// this table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its
// registration.
#include "framework/KYTTFormHook.h"

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_framework_classes[] = {
    &kyt::TKYTFormHook::StaticClass,
};
