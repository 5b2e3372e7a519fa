#pragma once

class QWidget;

namespace tabrix {

// Places a window that is not yet shown centred over another (or over the
// screen without one), taking its frame to be the other's, and keeps it
// whole on that screen, title bar included.
void centreOver(QWidget& window, const QWidget* over);

}  // namespace tabrix
