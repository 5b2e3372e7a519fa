#include "widgets/enter_presses_focused_button.h"

#include <QKeyEvent>
#include <QPushButton>

namespace tabrix {

bool EnterPressesFocusedButton::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  // Key presses go to the control with the focus.
  auto* button = qobject_cast<QPushButton*>(watched);
  if (!button || !button->isEnabled()) return false;
  // Held down, Enter presses the button once.
  if (!key->isAutoRepeat()) button->click();
  return true;
}

}  // namespace tabrix
