// KYTFilesClasses: every class kyt_files registers. An executable linking the library links this
// table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its registration.
#include "files/KYTTDroppedFiles.h"
#include "files/KYTTFileCollector.h"
#include "files/KYTTFileExecute.h"
#include "files/KYTTFileOperator.h"
#include "files/KYTTFileProperties.h"
#include "files/KYTTLogFile.h"
#include "files/KYTTTextReplace.h"

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_files_classes[] = {
    &kyt::TKYTDroppedFiles::StaticClass,
    &kyt::TKYTFileCollector::StaticClass,
    &kyt::TKYTFileExecute::StaticClass,
    &kyt::TKYTFileOperator::StaticClass,
    &kyt::TKYTFileProperties::StaticClass,
    &kyt::TKYTLogFile::StaticClass,
    &kyt::TKYTTextReplace::StaticClass,
};
