#include "widgets/grid_indicator.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionHeader>
#include <cmath>

#include "widgets/grid_model.h"

namespace tabrix {

namespace {

constexpr int kWidth = 12;

void drawMark(QPainter& painter, const QRect& rect, GridModel::RowMark mark, const QColor& color) {
  const QPointF centre = QRectF(rect).center();
  painter.setRenderHint(QPainter::Antialiasing);
  switch (mark) {
    case GridModel::RowMark::Current: {
      QPainterPath arrow;
      arrow.moveTo(centre.x() - 2, centre.y() - 4);
      arrow.lineTo(centre.x() + 2.5, centre.y());
      arrow.lineTo(centre.x() - 2, centre.y() + 4);
      arrow.closeSubpath();
      painter.fillPath(arrow, color);
      break;
    }
    case GridModel::RowMark::Edited: {
      painter.setPen(QPen(color, 1));
      const double x = std::floor(centre.x()) + 0.5;
      painter.drawLine(QPointF(x, centre.y() - 4), QPointF(x, centre.y() + 4));
      painter.drawLine(QPointF(x - 2, centre.y() - 4.5), QPointF(x + 2, centre.y() - 4.5));
      painter.drawLine(QPointF(x - 2, centre.y() + 4.5), QPointF(x + 2, centre.y() + 4.5));
      break;
    }
    case GridModel::RowMark::Inserted: {
      painter.setPen(QPen(color, 1.2));
      for (int angle : {90, 30, -30}) {
        QLineF spoke = QLineF::fromPolar(3.5, angle).translated(centre);
        painter.drawLine(QLineF(centre * 2 - spoke.p2(), spoke.p2()));
      }
      break;
    }
    case GridModel::RowMark::None:
      break;
  }
}

}  // namespace

GridIndicator::GridIndicator(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
  setSectionResizeMode(QHeaderView::Fixed);
  setHighlightSections(false);
  setFixedWidth(kWidth);
}

QSize GridIndicator::sizeHint() const { return {kWidth, 0}; }

void GridIndicator::mousePressEvent(QMouseEvent* event) {
  // Anywhere on a row's mark, its edges too: rows are not resized here.
  event->accept();
  const int row = logicalIndexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && row >= 0) emit sectionPressed(row);
}

void GridIndicator::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid()) return;
  QStyleOptionHeader option;
  initStyleOption(&option);
  option.rect = rect;
  option.section = logicalIndex;
  option.position = QStyleOptionHeader::Middle;
  painter->save();
  style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
  const auto mark =
      static_cast<GridModel::RowMark>(model()->headerData(logicalIndex, Qt::Vertical, GridModel::RowMarkRole).toInt());
  drawMark(*painter, rect, mark, palette().color(QPalette::ButtonText));
  painter->restore();
}

}  // namespace tabrix
