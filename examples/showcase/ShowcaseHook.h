// ShowcaseHook: a form hook that counts the messages a showcase form receives and reports a few
// interesting ones on standard output.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEHOOK_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEHOOK_H

namespace kyt {

class TForm;

// Places a TKYTFormHook named "MessageHook" on form; every message the form receives from then
// on is counted.
void AttachShowcaseFormHook(TForm* form);
// Prints what the hook on form has counted so far (nothing when form has none).
void ReportShowcaseFormHook(TForm* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEHOOK_H
