#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace tabrix {

// The navigator bar's buttons, left to right.
enum class NavigatorButton { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

// The button's name ("First", "Prior", …): its object and accessible name.
QString navigatorButtonName(NavigatorButton button);

// The classic navigator glyph, drawn in `color`: bars and triangles for the
// moves, plus and minus, a triangle up for Edit, a tick, a cross and a
// circling arrow. The disabled look is derived from it.
QIcon navigatorGlyph(NavigatorButton button, const QColor& color);

}  // namespace tabrix
