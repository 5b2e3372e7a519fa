#include "widgets/grid_titles.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace tabrix {

GridTitles::GridTitles(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  viewport()->setAttribute(Qt::WA_Hover);
  viewport()->setMouseTracking(true);
  setSectionsMovable(true);
  setSectionResizeMode(QHeaderView::Interactive);
  setStretchLastSection(false);
  setHighlightSections(false);
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setHighlight(true);
}

void GridTitles::setHighlight(bool on) {
  m_highlight = on;
  setSectionsClickable(on);
  viewport()->update();
}

void GridTitles::setHovered(int section) {
  if (section == m_hovered) return;
  const int before = std::exchange(m_hovered, section);
  if (before >= 0) updateSection(before);
  if (section >= 0) updateSection(section);
}

bool GridTitles::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
      setHovered(logicalIndexAt(static_cast<QHoverEvent*>(event)->position().toPoint()));
      break;
    case QEvent::MouseMove:
      setHovered(logicalIndexAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
      break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
      setHovered(-1);
      break;
    default:
      break;
  }
  return QHeaderView::viewportEvent(event);
}

void GridTitles::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  // Whatever the base leaves set on the painter (its clipping) would hide
  // the wash.
  painter->save();
  QHeaderView::paintSection(painter, rect, logicalIndex);
  painter->restore();
  if (!m_highlight || logicalIndex != m_hovered) return;
  // The style draws no hover of its own on titles: a light wash of the
  // highlight colour shows it.
  QColor wash = palette().color(QPalette::Highlight);
  wash.setAlpha(48);
  painter->fillRect(rect.adjusted(0, 0, -1, -1), wash);
}

}  // namespace tabrix
