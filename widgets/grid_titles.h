#pragma once

#include <QHeaderView>

namespace tabrix {

// The grid's title row. Titles are dragged to move their columns and their
// separators to resize them; a title under the mouse pointer highlights and
// a pressed one presses in, unless that is turned off. A click on a title
// does nothing further.
class GridTitles : public QHeaderView {
  Q_OBJECT

 public:
  explicit GridTitles(QWidget* parent = nullptr);

  bool highlight() const { return m_highlight; }
  void setHighlight(bool on);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  bool viewportEvent(QEvent* event) override;

 private:
  void setHovered(int section);

  bool m_highlight = true;
  int m_hovered = -1;
};

}  // namespace tabrix
