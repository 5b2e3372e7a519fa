#pragma once

class QKeyEvent;

namespace tabrix {

// Whether a key would change the text of a line or memo editor: a printable
// character, Backspace, Delete, Enter, pasting, cutting, undoing, redoing
// and the deleting shortcuts. Automatic editing puts the row into edit mode
// before such a key.
bool changesText(const QKeyEvent& key);

}  // namespace tabrix
