// ShowcaseHook: a form hook that counts the messages a showcase form receives and reports a few
// interesting ones on standard output.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEHOOK_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEHOOK_H

namespace kyt {

class TForm;

// Places a TKYTFormHook named "MessageHook" on form; every message the form receives from then
// on is counted. Reports what it saw when the form frees it (with the form).
void AttachShowcaseFormHook(TForm* form);

// Shows a form with the hook, moves and resizes it, then closes it; false when it failed.
bool RunShowcaseFormHook();

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEHOOK_H
