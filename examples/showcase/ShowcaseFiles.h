// ShowcaseFiles: the main form's file components at work in a folder of the showcase's own: the
// log file writes and clears a log, the text replace rewrites a file line by line, the dropped
// files component receives a drop of those files, and the file execute component runs a command
// and waits for it.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEFILES_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEFILES_H

#include "host/core/Component.h"

namespace kyt {

// Uses LogFile1, TextReplace1, DroppedFiles1 and FileExecute1 of form and prints what each did
// (their handlers on the form print the rest). The folder is removed again. Returns false when
// a component did not do its part.
bool RunShowcaseFiles(TComponent* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEFILES_H
