#include "widgets/navigator_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tabrix {

namespace {

constexpr int kSize = 16;

QPainterPath triangle(double tipX, double baseX) {
  QPainterPath path;
  path.moveTo(baseX, 3.5);
  path.lineTo(tipX, 8);
  path.lineTo(baseX, 12.5);
  path.closeSubpath();
  return path;
}

void draw(QPainter& painter, NavigatorButton button, const QColor& color) {
  const QPen pen(color, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  switch (button) {
    case NavigatorButton::First:
      painter.fillRect(QRectF(4, 3.5, 2, 9), color);
      painter.fillPath(triangle(6.5, 11.5), color);
      break;
    case NavigatorButton::Prior:
      painter.fillPath(triangle(5, 10), color);
      break;
    case NavigatorButton::Next:
      painter.fillPath(triangle(11, 6), color);
      break;
    case NavigatorButton::Last:
      painter.fillPath(triangle(9.5, 4.5), color);
      painter.fillRect(QRectF(10, 3.5, 2, 9), color);
      break;
    case NavigatorButton::Insert:
      painter.fillRect(QRectF(3, 7, 10, 2), color);
      painter.fillRect(QRectF(7, 3, 2, 10), color);
      break;
    case NavigatorButton::Delete:
      painter.fillRect(QRectF(3, 7, 10, 2), color);
      break;
    case NavigatorButton::Edit: {
      QPainterPath up;
      up.moveTo(3.5, 11);
      up.lineTo(8, 5);
      up.lineTo(12.5, 11);
      up.closeSubpath();
      painter.fillPath(up, color);
      break;
    }
    case NavigatorButton::Post:
      painter.setPen(pen);
      painter.drawPolyline(QPolygonF({{3.5, 8.5}, {6.5, 11.5}, {12.5, 4.5}}));
      break;
    case NavigatorButton::Cancel:
      painter.setPen(pen);
      painter.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
      painter.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
      break;
    case NavigatorButton::Refresh: {
      painter.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::FlatCap));
      painter.drawArc(QRectF(3.5, 3.5, 9, 9), 100 * 16, 290 * 16);
      QPainterPath head;
      head.moveTo(6.5, 1.5);
      head.lineTo(10, 3.8);
      head.lineTo(6.5, 6.3);
      head.closeSubpath();
      painter.fillPath(head, color);
      break;
    }
  }
}

}  // namespace

QString navigatorButtonName(NavigatorButton button) {
  static const char* const names[] = {"First", "Prior", "Next", "Last", "Insert",
                                      "Delete", "Edit", "Post", "Cancel", "Refresh"};
  return QString::fromLatin1(names[static_cast<int>(button)]);
}

QIcon navigatorGlyph(NavigatorButton button, const QColor& color) {
  QIcon icon;
  for (const double ratio : {1.0, 2.0}) {
    QPixmap pixmap(QSize(kSize, kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, button, color);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace tabrix
