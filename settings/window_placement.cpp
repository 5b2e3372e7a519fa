#include "settings/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "widgets/window_frame.h"

namespace tabrix {

namespace {

Edges edgesOf(const QRect& outer) {
  return {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
}

QRect outerOf(const Edges& edges) {
  return QRect(edges.left, edges.top, edges.right - edges.left, std::max(0, edges.bottom - edges.top));
}

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window) : QObject(&window), m_window(window) {
  connect(&WindowFrame::of(window), &WindowFrame::changed, this, [this](QMargins frame) {
    if (!m_pending) return;
    place(*m_pending, frame);
    m_pending.reset();
  });
}

Display WindowPlacement::display() {
  Display display;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return display;
  display.pixelsPerInch = qRound(primary->logicalDotsPerInch());
  display.desktop = primary->virtualSize();
  for (const QScreen* screen : QGuiApplication::screens()) display.monitors.push_back(screen->geometry());
  return display;
}

PlacementRecord WindowPlacement::record() const {
  PlacementRecord record;
  const Qt::WindowStates state = m_window.windowState();
  if (state & Qt::WindowMinimized)
    record.showCmd = kShowMinimized;
  else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
    record.showCmd = kShowMaximized;
  if ((state & Qt::WindowMinimized) && (state & Qt::WindowMaximized)) record.flags = kRestoreToMaximized;

  if (m_pending) {
    record.normal = *m_pending;
  } else {
    const QRect client = m_window.normalGeometry().isValid() ? m_window.normalGeometry() : m_window.geometry();
    record.normal = edgesOf(client.marginsAdded(WindowFrame::of(m_window).margins().value_or(QMargins())));
  }
  return record;
}

void WindowPlacement::place(const Edges& edges, QMargins frame) {
  m_window.setGeometry(outerOf(edges).marginsRemoved(frame));
}

void WindowPlacement::apply(const PlacementRecord& record) {
  m_flags = record.flags;
  if (const auto frame = WindowFrame::of(m_window).margins()) {
    place(record.normal, *frame);
    m_pending.reset();
    return;
  }
  // Until the window manager has framed the window its position includes
  // the frame, and its size waits for the frame to be known.
  m_window.move(record.normal.left, record.normal.top);
  m_window.resize(outerOf(record.normal).size());
  m_pending = record.normal;
}

void WindowPlacement::show(ShowState state, bool applicationWindow) {
  constexpr Qt::WindowStates kShowStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  Qt::WindowStates states = m_window.windowState() & ~kShowStates;
  switch (state) {
    case ShowState::Normal:
      break;
    case ShowState::Maximized:
      states |= Qt::WindowMaximized;
      break;
    case ShowState::Minimized:
      if (applicationWindow) {
        QMetaObject::invokeMethod(&m_window, &QWidget::showMinimized, Qt::QueuedConnection);
        break;
      }
      states |= Qt::WindowMinimized;
      if (m_flags & kRestoreToMaximized) states |= Qt::WindowMaximized;
      break;
  }
  m_window.setWindowState(states);
}

}  // namespace tabrix
