// ShowcaseSettings: the showcase's settings form, whose geometry a TKYTFormSaver keeps between
// runs under HKCU\Software\KYT\Showcase.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASESETTINGS_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASESETTINGS_H

namespace kyt {

// Shows the form (the saver restores what the last run stored), reports where it came up,
// then closes it (the saver stores it again). False when the form could not be shown.
bool RunShowcaseFormSaver();

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASESETTINGS_H
