#include "widgets/minimum_window_size.h"

#include <QEvent>
#include <QWidget>

namespace tabrix {

MinimumWindowSize::MinimumWindowSize(QWidget& window, QSize outer) : QObject(&window), m_window(window), m_outer(outer) {
  window.installEventFilter(this);
  apply();
}

bool MinimumWindowSize::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_window) {
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange:
        apply();
        break;
      default:
        break;
    }
  }
  return false;
}

void MinimumWindowSize::apply() {
  const QSize frame = m_window.frameGeometry().size() - m_window.geometry().size();
  const QSize inner = (m_outer - frame).expandedTo(QSize(0, 0));
  if (m_window.minimumSize() != inner) m_window.setMinimumSize(inner);
}

}  // namespace tabrix
