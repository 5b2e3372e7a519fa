#pragma once

#include <QHeaderView>

namespace tabrix {

// The grid's row indicator: a narrow column left of the rows that marks the
// current row with an arrow, a row being edited with an I-beam and a row
// being inserted with an asterisk (GridModel::RowMarkRole). A press on a
// row's mark reports sectionPressed. Every row is as
// high as the others and nothing is measured per row, so a million rows
// cost no more than ten.
class GridIndicator : public QHeaderView {
  Q_OBJECT

 public:
  explicit GridIndicator(QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace tabrix
