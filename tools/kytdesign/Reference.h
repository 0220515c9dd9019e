// Reference: the reference pages of the palette's components, one Markdown page per component
// and an index. Properties and events come from the published tables the form designer and the
// form files use; methods and descriptions from the comments of the components' headers, read
// from the source tree, each property and event described by the comment above its entry in the
// Publish function; the example from the region of the tests or the showcase marked for the
// component. Nothing in them is written by hand, so they cannot drift from the code.
#ifndef KYT_TOOLS_KYTDESIGN_REFERENCE_H
#define KYT_TOOLS_KYTDESIGN_REFERENCE_H

#include <string>
#include <vector>

namespace kyt {

// One generated file: its name in the reference folder and its whole text.
struct TReferenceFile {
  std::string Name;
  std::string Text;
};

// The folders of the source tree whose headers declare the package's classes.
const std::vector<std::string>& ReferenceSourceFolders();
// The folders of the component model's headers, read for the members its classes publish to
// every component (Name, Tag).
const std::vector<std::string>& ReferenceBaseFolders();
// The folders searched, with their subfolders, for marked examples (.cpp and .h files).
const std::vector<std::string>& ReferenceExampleFolders();

// A page per palette component of both pages, in palette order, then the index (README.md),
// which groups the components by what they are for. sourceDir is the project's source folder.
// Raises EDesignCommandError when a palette class has no header there, and, with a line for
// each, when a component, or a property or event it publishes, has no description, when a
// component has no example or two, and when an example's markers are broken or name no
// component. Register() must have filled the design tables.
std::vector<TReferenceFile> MakeReferenceFiles(const std::string& sourceDir);

}  // namespace kyt

#endif  // KYT_TOOLS_KYTDESIGN_REFERENCE_H
