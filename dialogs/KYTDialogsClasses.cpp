// KYTDialogsClasses: every class kyt_dialogs registers. An executable linking the library links
// this table (CLASS_TABLE in cmake/KytTargets.cmake), and through it each unit and its
// registration.
#include "dialogs/KYTTMessages.h"

namespace {
using TClassGetter = const kyt::TClassInfo& (*)();
}  // namespace

extern "C" const TClassGetter kyt_dialogs_classes[] = {
    &kyt::TKYTMsgBox::StaticClass,
    &kyt::TKYTMsgDlg::StaticClass,
    &kyt::TKYTMsgSelect::StaticClass,
};
