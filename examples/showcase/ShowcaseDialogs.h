// ShowcaseDialogs: the showcase's message dialog components (a message box, a text query and a
// selection dialog) on the main form, executed unattended, each dialog answered with its default
// button by the showcase itself.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEDIALOGS_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEDIALOGS_H

#include "host/core/Component.h"

namespace kyt {

// Executes the components MsgBox1, MsgDlg1 and MsgSelect1 of form, each dialog answered with its
// default button, and prints what Execute returned (their handlers print the rest). Returns
// false when a dialog could not be answered.
bool RunShowcaseDialogs(TComponent* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEDIALOGS_H
