// FormFile: the text form-file reader and writer (object blocks, properties, nested components).
// A file's text is read in the order of its units: FormLexer makes tokens, FormParser a tree of
// them (FormTree), FormReader the components and their properties; FormWriter writes them back.
#ifndef KYT_HOST_CORE_FORMFILE_H
#define KYT_HOST_CORE_FORMFILE_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "host/core/Component.h"

namespace kyt {

// Limits that keep a hostile file from exhausting the machine; above them reading is refused.
inline constexpr size_t kMaxFormFileSize = 16u * 1024u * 1024u;   // whole file, bytes
inline constexpr size_t kMaxFormStringSize = 1024u * 1024u;       // one string or binary value
inline constexpr int kMaxFormNesting = 32;                        // objects, items, dotted names
inline constexpr size_t kMaxFormListItems = 1u << 20;             // lines of one list, items of one collection

// The whole form of root as text: root's published properties and its children as nested
// object blocks. Raises EWriteError when a value cannot be written.
std::string WriteComponentText(const TComponent& root);
// Reads a form and creates its root (owned by owner) through the class registry.
// A malformed file raises EReadError and leaves nothing it created behind.
TComponent* ReadComponentText(const std::string& text, const std::string& fileName, TComponent* owner);
// Fills an existing root whose class name must match the file's; on failure the root's published
// properties are put back and every component the reader created is freed.
void ReadRootText(TComponent& root, const std::string& text, const std::string& fileName);

// Inherited forms. A form class derived from another that has a form file of its own has a file
// that starts with `inherited` and holds only what differs: its `inherited` blocks change the
// components the ancestor's file made, its `object` blocks add new ones, and `[n]` after a class
// name gives a child's place among its parent's children.
struct TFormText {
  std::string Text;
  std::string FileName;
};
// Reads the form files of root's class and its ancestors, the farthest ancestor's first (an
// `object` file), then each descendant's (`inherited` files), all or nothing; Loaded runs once,
// after the last. Each file's root class is root's own class or one of its ancestors.
void ReadRootTexts(TComponent& root, const std::vector<TFormText>& files);
// A descendant form's file: only what differs from ancestor, a root of the ancestor's form class
// read from the ancestor's files. EWriteError when a component of the ancestor is gone or has
// another class here (an inherited form cannot say so).
std::string WriteComponentText(const TComponent& root, const TComponent& ancestor);

// Where form files of classes are found: for the ancestors of an inherited form and for frames
// (`inline` blocks, whose own form file is read first). A source fills text and fileName and
// returns true when cls has a form file; it raises when it cannot tell. There is none at first
// (no class has a form file); the Win32 runtime sets one over the program's resources.
using TFormFileSource = std::function<bool(const TClassInfo& cls, std::string& text, std::string& fileName)>;
// Returns the source it replaces.
TFormFileSource SetFormFileSource(TFormFileSource source);
// The form files the source has for cls and its ancestors below base, the farthest first.
std::vector<TFormText> FormFilesOf(const TClassInfo& cls, const TClassInfo& base);
// Reads root's form files from the source (ReadRootTexts); false when it has none.
bool InitInheritedComponent(TComponent& root, const TClassInfo& base);

// File variants; an unreadable or unwritable file raises EInOutError.
void WriteComponentFile(const TComponent& root, const std::string& path);
TComponent* ReadComponentFile(const std::string& path, TComponent* owner);
void ReadRootFile(TComponent& root, const std::string& path);

}  // namespace kyt

#endif
