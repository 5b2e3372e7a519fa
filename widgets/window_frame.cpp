#include "widgets/window_frame.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace tabrix {

WindowFrame& WindowFrame::of(QWidget& window) {
  if (auto* existing = window.findChild<WindowFrame*>(QString(), Qt::FindDirectChildrenOnly)) return *existing;
  return *new WindowFrame(window);
}

WindowFrame::WindowFrame(QWidget& window) : QObject(&window), m_window(window) {
  m_window.installEventFilter(this);
}

std::optional<QMargins> WindowFrame::current() const {
  const QWindow* handle = m_window.windowHandle();
  constexpr Qt::WindowStates kNotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  if (!handle || !m_window.isVisible() || (m_window.windowState() & kNotNormal)) return std::nullopt;
  // Before the window manager has framed the window its margins read as
  // none; a window it shows without a frame is exposed with none.
  const QMargins margins = handle->frameMargins();
  if (margins.isNull() && !handle->isExposed()) return std::nullopt;
  // While the window manager reframes the window they may read as nonsense.
  if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0) return std::nullopt;
  return margins;
}

std::optional<QMargins> WindowFrame::margins() const {
  if (const auto now = current()) return now;
  return m_known;
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
      if (!m_watchingHandle && m_window.windowHandle()) {
        m_window.windowHandle()->installEventFilter(this);
        m_watchingHandle = true;
      }
      [[fallthrough]];
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
      if (const auto now = current(); now && now != m_known) {
        m_known = now;
        emit changed(*now);
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tabrix
