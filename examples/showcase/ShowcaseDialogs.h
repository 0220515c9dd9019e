// ShowcaseDialogs: the showcase's message dialog components (a message box, a text query and a
// selection dialog) placed on the main form and executed unattended, each dialog answered with
// its default button by the showcase itself.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEDIALOGS_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEDIALOGS_H

#include "host/core/Component.h"

namespace kyt {

// Creates MsgBox1, MsgDlg1 and MsgSelect1 owned by owner, executes each and prints what it
// answered on standard output. Returns false when a dialog could not be answered.
bool RunShowcaseDialogs(TComponent* owner);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEDIALOGS_H
