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

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window) : QObject(&window), m_window(window) {
  connect(&WindowFrame::of(window), &WindowFrame::changed, this, [this](QMargins frame) {
    if (!m_pending) return;
    resizeTo(*m_pending, frame);
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

void WindowPlacement::resizeTo(const Edges& edges, QMargins frame) {
  m_window.resize(std::max(0, edges.right - edges.left - frame.left() - frame.right()),
                  std::max(0, edges.bottom - edges.top - frame.top() - frame.bottom()));
}

void WindowPlacement::apply(const PlacementRecord& record) {
  m_flags = record.flags;
  // A window's position includes its frame.
  m_window.move(record.normal.left, record.normal.top);
  const auto frame = WindowFrame::of(m_window).margins();
  resizeTo(record.normal, frame.value_or(QMargins()));
  if (frame)
    m_pending.reset();
  else
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
