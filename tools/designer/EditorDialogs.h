// EditorDialogs: the dialogs of the property editors that have one, as the inspector's ellipsis
// button opens them: the string-list editor (a memo with OK and Cancel), the collection editor
// (items added and removed), binary data such as the application's icon (a file to open) and
// colours (the colour dialog). Each gives its answer in the text form the model takes for the
// entry, so the change goes through the model like typing does.
#ifndef KYT_TOOLS_DESIGNER_EDITORDIALOGS_H
#define KYT_TOOLS_DESIGNER_EDITORDIALOGS_H

#include <string>
#include <vector>

#include "host/design/PropertyEditors.h"

namespace kyt {

// Shows the editor's dialog; true with the answer's text when it was accepted, false when it was
// cancelled or the editor has no dialog.
bool AskEditorDialog(TPropertyEditor& editor, std::string& answer);

// The string-list editor on its own: lines edited in a memo; false on Cancel.
bool EditLinesDialog(const std::string& title, std::vector<std::string>& lines);
// The collection editor on its own: the items' names, with Add and Delete; false on Cancel.
bool EditItemsDialog(const std::string& title, std::vector<std::string>& items);

}  // namespace kyt

#endif  // KYT_TOOLS_DESIGNER_EDITORDIALOGS_H
