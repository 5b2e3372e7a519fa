#include "widgets/designed_controls.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabrix {

QFont windowFont() {
  QFont font(QStringLiteral("MS Sans Serif"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QLabel* label(const QString& name, const QString& text, int left, int top, QWidget* parent) {
  auto* result = new QLabel(text, parent);
  result->setObjectName(name);
  result->move(left, top);
  result->adjustSize();
  return result;
}

QFrame* panel(const QString& name, QWidget* parent) {
  auto* result = new QFrame(parent);
  result->setObjectName(name);
  result->setFrameStyle(QFrame::Panel | QFrame::Raised);
  result->setLineWidth(1);
  return result;
}

void stackPanels(QWidget& window, QFrame& bar, int barHeight, QFrame& rest, QWidget& content, int border) {
  bar.setFixedHeight(barHeight);
  auto* panels = new QVBoxLayout(&window);
  panels->setContentsMargins(0, 0, 0, 0);
  panels->setSpacing(0);
  panels->addWidget(&bar);
  panels->addWidget(&rest, 1);
  auto* inside = new QVBoxLayout(&rest);
  inside->setContentsMargins(border, border, border, border);
  inside->addWidget(&content);
}

QPushButton* button(const QString& name, const QString& text, int left, int top, int width, QWidget* parent) {
  auto* result = place(new QPushButton(text, parent), name, left, top, width, 25);
  result->setAutoDefault(false);
  return result;
}

}  // namespace tabrix
