// ShowcaseSystemInfo: the showcase's system information components (system details, version
// details, drive volume and resource info) on the main form, read and reported.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASESYSTEMINFO_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASESYSTEMINFO_H

namespace kyt {

class TShowcaseMainForm;

// Prints what SystemDetails1, VersionDetails1, DriveVolume1 and ResourceInfo1 of form show, and
// lets the drive-volume component meet a drive letter the machine does not have. Returns false
// when a component did not do its part.
bool RunShowcaseSystemInfo(TShowcaseMainForm* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASESYSTEMINFO_H
