// KYTPersistenceClasses: every class kyt_persistence registers. An executable linking the library
// links this table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its
// registration.
#include "persistence/KYTTFormSaver.h"
#include "persistence/KYTTIllegalAbort.h"
#include "persistence/KYTTStartup.h"
#include "persistence/KYTTStoreData.h"

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_persistence_classes[] = {
    &kyt::TKYTFormSaver::StaticClass,
    &kyt::TKYTIllegalAbort::StaticClass,
    &kyt::TKYTStartup::StaticClass,
    &kyt::TKYTStoreData::StaticClass,
    &kyt::TKYTDataStore::StaticClass,
    &kyt::TKYTRegistry::StaticClass,
    &kyt::TKYTIniFile::StaticClass,
};
