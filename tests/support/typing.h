#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

// Keys go where the keyboard focus is at each key, as a user's do: after a
// key the focus may have moved, into a grid's cell editor say.

inline void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  if (QWidget* target = QApplication::focusWidget())
    QTest::keyClick(target, key, modifiers);
  else
    ADD_FAILURE() << "no widget has the keyboard focus";
}

// Characters beyond ASCII arrive as text of a key Qt has no name for, as
// from a keyboard layout that has them.
inline void typeText(const QString& text) {
  for (const QChar c : text) {
    QWidget* target = QApplication::focusWidget();
    if (!target) {
      ADD_FAILURE() << "no widget has the keyboard focus";
      return;
    }
    if (c.unicode() < 0x80) {
      QTest::keyClick(target, c.toLatin1());
    } else {
      QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}
