// ShowcaseForms: the showcase's form-behaviour components on the main form (aspect ratio, size
// limits, top-most, mouse fence; the explode animation reports from its own event), each tried
// once unattended and put back as it was.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEFORMS_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEFORMS_H

#include "host/vcl/Forms.h"

namespace kyt {

// Uses Aspect1, Sizes1, TopMost1 and Mouse1 of form and prints what each did. Returns false
// when one of them did not do its part.
bool RunShowcaseForms(TForm* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEFORMS_H
