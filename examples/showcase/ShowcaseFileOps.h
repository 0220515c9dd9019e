// ShowcaseFileOps: the showcase's file components on the main form (a file operator, a file
// collector and a file properties component), working in a scratch folder of the showcase's own
// under the temporary folder, which it removes again.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEFILEOPS_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEFILEOPS_H

#include "host/core/Component.h"

namespace kyt {

// Copies two files with FileOperator1, collects the copies with FileCollector1 and shows one of
// them through FileProperties1, printing what each did. Returns false when one of them did not
// do its part.
bool RunShowcaseFileOps(TComponent* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEFILEOPS_H
