// ShowcaseSystem: the main form's system components at work: the time trigger fires, the CD
// triggers hear a disc notice, the lock states are read, a tone plays in the background, and the
// components that would change the machine (log off, wallpaper, screen saver) are shown
// configured, never carried out.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASESYSTEM_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASESYSTEM_H


namespace kyt {

class TShowcaseMainForm;

// Runs the system components Alarm, Discs, Keys, Logoff, Paper, ScreenSaver1 and Chime of form and
// prints what each did. Returns false when one did not do its part.
bool RunShowcaseSystem(TShowcaseMainForm* form);

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASESYSTEM_H
