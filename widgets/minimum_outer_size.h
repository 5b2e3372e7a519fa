#pragma once

#include <QSize>

class QWidget;

namespace tabrix {

// Keeps `window` from being made smaller than `outer`, frame and title bar
// included: its minimum size is `outer` less the window manager's frame,
// set once the frame is known and set again whenever it changes.
void keepMinimumOuterSize(QWidget& window, QSize outer);

}  // namespace tabrix
