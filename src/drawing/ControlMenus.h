#pragma once

// Entries that the program adds to a stock control's own context menu.

#include <string_view>

namespace funzioni {

class Dialog;

// Adds an entry (UTF-8 text) below the editing entries of a text box's context menu; choosing it
// sends the command to the dialog's handler (code 0), as a key of the dialog would. Other
// identifiers are ignored.
void AddTextBoxMenuItem(Dialog& dialog, int boxId, std::string_view text, int commandId);

}  // namespace funzioni
