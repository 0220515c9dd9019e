// KYTStringsClasses: every class kyt_strings registers. An executable linking the library links
// this table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its
// registration.
#include "strings/KYTTHolders.h"
#include "strings/KYTTMultiLists.h"

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_strings_classes[] = {
    &kyt::TKYTStringHolder::StaticClass,
    &kyt::TKYTJokeHolder::StaticClass,
    &kyt::TKYTMultiLists::StaticClass,
    &kyt::TKYTStringList::StaticClass,
    &kyt::TKYTBetaStringList::StaticClass,
};
