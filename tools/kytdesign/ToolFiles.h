// ToolFiles: whole-file reading and the safe replacement of a file the design tool writes.
#ifndef KYT_TOOLS_KYTDESIGN_TOOLFILES_H
#define KYT_TOOLS_KYTDESIGN_TOOLFILES_H

#include <string>

namespace kyt {

// An existing file (not a folder).
bool FileExistsNow(const std::string& path);
// The file's bytes; a file that cannot be opened raises EDesignCommandError naming what it is.
std::string ReadWholeFile(const std::string& path, const std::string& what);
// Writes the whole text next to the file, then renames it over the file, so a failed write
// leaves the old file as it was. Raises EDesignCommandError.
void ReplaceFile(const std::string& path, const std::string& text);

}  // namespace kyt

#endif  // KYT_TOOLS_KYTDESIGN_TOOLFILES_H
