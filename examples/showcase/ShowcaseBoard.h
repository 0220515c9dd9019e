// ShowcaseBoard: what the showcase's components did. Every report goes to standard output; a
// report about a component also becomes that component's line on the main form's two lists,
// one per palette page, so the window shows what each component of the package just did.
#ifndef KYT_EXAMPLES_SHOWCASE_SHOWCASEBOARD_H
#define KYT_EXAMPLES_SHOWCASE_SHOWCASEBOARD_H

#include <string>
#include <vector>

namespace kyt {

class TComponent;
class TListBox;

// Prints "showcase: <what>".
void Report(const std::string& what);
// Prints it and shows it as the line of the component's class (the latest report stays).
void Report(const TComponent& component, const std::string& what);

// One waiting line per palette component: the first page's in page1, the second's in page2.
// The lists must outlive every later report.
void SetUpBoard(TListBox& page1, TListBox& page2);
// The palette classes no report has named yet.
std::vector<std::string> SilentComponents();

}  // namespace kyt

#endif  // KYT_EXAMPLES_SHOWCASE_SHOWCASEBOARD_H
