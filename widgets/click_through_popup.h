#pragma once

class QWidget;

namespace tabrix {

// Lets a click beside an open popup list act at once, as beside the
// system's own completion lists: the popup closes and the press goes on to
// the control under the pointer, which takes the focus as a click gives it.
// Left alone, a popup eats that first click. Install it after whatever else
// watches the popup (a completer does), so that it sees the press first.
void passClicksThrough(QWidget& popup);

}  // namespace tabrix
