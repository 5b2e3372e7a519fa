#pragma once

#include <QFont>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace tabrix {

// The windows are laid out from a fixed design: every control at its place
// in pixels, named as the behaviour names it.

// "MS Sans Serif" at 8 points, the font of every window unless said
// otherwise; where the system lacks it, its font configuration picks the
// nearest sans-serif face.
QFont windowFont();

// Names a control and puts it at its place.
template <typename Control>
Control* place(Control* control, const QString& name, int left, int top, int width, int height) {
  control->setObjectName(name);
  control->setGeometry(left, top, width, height);
  return control;
}

// A label as wide as its text; `name` may be empty.
QLabel* label(const QString& name, const QString& text, int left, int top, QWidget* parent);

// A panel with a raised bevel of one pixel.
QFrame* panel(const QString& name, QWidget* parent);

// Lays a window out as a bar panel across its top, `barHeight` high, over a
// panel that fills the rest and holds one control, inset `border` pixels
// within its bevel.
void stackPanels(QWidget& window, QFrame& bar, int barHeight, QFrame& rest, QWidget& content, int border);

// A push button 25 pixels high that is no window's default button.
QPushButton* button(const QString& name, const QString& text, int left, int top, int width, QWidget* parent);

}  // namespace tabrix
