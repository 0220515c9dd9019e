// FormFile: the text form-file reader and writer (object blocks, properties, nested components).
// A file's text is read in the order of its units: FormLexer makes tokens, FormParser a tree of
// them (FormTree), FormReader the components and their properties; FormWriter writes them back.
#ifndef KYT_HOST_CORE_FORMFILE_H
#define KYT_HOST_CORE_FORMFILE_H

#include <cstddef>
#include <string>

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

// File variants; an unreadable or unwritable file raises EInOutError.
void WriteComponentFile(const TComponent& root, const std::string& path);
TComponent* ReadComponentFile(const std::string& path, TComponent* owner);
void ReadRootFile(TComponent& root, const std::string& path);

}  // namespace kyt

#endif
