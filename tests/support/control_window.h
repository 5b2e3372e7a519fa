#pragma once

#include <QHBoxLayout>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// A control under test beside a button "other" that can take the keyboard
// focus from it, in a window that is shown and active.
class ControlWindow {
 public:
  // The window takes the control.
  void show(QWidget* control) {
    auto* layout = new QHBoxLayout(&m_window);
    control->setParent(&m_window);
    m_other = new QPushButton("other", &m_window);
    layout->addWidget(control, 1);
    layout->addWidget(m_other);
    m_window.resize(900, 400);
    m_window.show();
    m_window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
    control->setFocus();
  }

  QPushButton* other() const { return m_other; }

 private:
  QWidget m_window;
  QPushButton* m_other = nullptr;
};
