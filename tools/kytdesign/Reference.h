// Reference: the reference pages of the palette's components, one Markdown page per component
// and an index. Properties and events come from the published tables the form designer and the
// form files use; methods and descriptions from the comments of the components' headers, read
// from the source tree. Nothing in them is written by hand, so they cannot drift from the code.
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

// A page per palette component of both pages, in palette order, then the index (README.md).
// sourceDir is the project's source folder; a palette class no header there defines raises
// EDesignCommandError. Register() must have filled the design tables.
std::vector<TReferenceFile> MakeReferenceFiles(const std::string& sourceDir);

}  // namespace kyt

#endif  // KYT_TOOLS_KYTDESIGN_REFERENCE_H
