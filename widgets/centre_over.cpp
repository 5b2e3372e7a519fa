#include "widgets/centre_over.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tabrix {

void centreOver(QWidget& window, const QWidget* over) {
  const QScreen* screen = over ? over->screen() : window.screen();
  const QRect desk = screen->availableGeometry();
  const QRect target = over ? over->frameGeometry() : desk;
  const QSize frame = over ? over->frameGeometry().size() - over->size() : QSize();
  const QSize outer = window.size() + frame;
  QPoint topLeft = target.topLeft() + QPoint(target.width() - outer.width(), target.height() - outer.height()) / 2;
  topLeft.setX(std::max(desk.left(), std::min(topLeft.x(), desk.right() + 1 - outer.width())));
  topLeft.setY(std::max(desk.top(), std::min(topLeft.y(), desk.bottom() + 1 - outer.height())));
  window.move(topLeft);
}

}  // namespace tabrix
