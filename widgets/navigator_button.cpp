#include "widgets/navigator_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tabrix {

namespace {

constexpr int kSize = 16;

void fillTriangle(QPainter& painter, QPointF a, QPointF b, QPointF c, const QColor& color) {
  QPainterPath path;
  path.addPolygon(QPolygonF({a, b, c}));
  path.closeSubpath();
  painter.fillPath(path, color);
}

// A triangle pointing left or right, its tip at `tipX`.
void arrow(QPainter& painter, double tipX, double baseX, const QColor& color) {
  fillTriangle(painter, {baseX, 3.5}, {tipX, 8}, {baseX, 12.5}, color);
}

void draw(QPainter& painter, NavigatorButton button, const QColor& color) {
  const QPen pen(color, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  switch (button) {
    case NavigatorButton::First:
      painter.fillRect(QRectF(4, 3.5, 2, 9), color);
      arrow(painter, 6.5, 11.5, color);
      break;
    case NavigatorButton::Prior:
      arrow(painter, 5, 10, color);
      break;
    case NavigatorButton::Next:
      arrow(painter, 11, 6, color);
      break;
    case NavigatorButton::Last:
      arrow(painter, 9.5, 4.5, color);
      painter.fillRect(QRectF(10, 3.5, 2, 9), color);
      break;
    case NavigatorButton::Insert:
      painter.fillRect(QRectF(3, 7, 10, 2), color);
      painter.fillRect(QRectF(7, 3, 2, 10), color);
      break;
    case NavigatorButton::Delete:
      painter.fillRect(QRectF(3, 7, 10, 2), color);
      break;
    case NavigatorButton::Edit:
      fillTriangle(painter, {3.5, 11}, {8, 5}, {12.5, 11}, color);
      break;
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
      fillTriangle(painter, {6.5, 1.5}, {10, 3.8}, {6.5, 6.3}, color);
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
