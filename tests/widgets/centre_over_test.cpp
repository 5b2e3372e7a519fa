#include "widgets/centre_over.h"

#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tabrix {
namespace {

TEST(CentreOver, CentresOverTheOtherWindowAndKeepsItWholeOnTheScreen) {
  QWidget over;
  over.setGeometry(200, 200, 300, 100);
  over.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&over));
  const QSize frame = over.frameGeometry().size() - over.size();

  QWidget window;
  window.resize(100, 50);
  centreOver(window, &over);
  const QRect outer(window.pos(), window.size() + frame);
  EXPECT_LE((outer.center() - over.frameGeometry().center()).manhattanLength(), 2);

  // Near the screen's corner, it stays on the screen, title bar included.
  const QRect desk = over.screen()->availableGeometry();
  over.move(desk.topLeft());
  window.resize(500, 400);
  centreOver(window, &over);
  EXPECT_EQ(window.pos(), desk.topLeft());

  QWidget alone;
  alone.resize(100, 50);
  centreOver(alone, nullptr);
  EXPECT_LE((QRect(alone.pos(), alone.size()).center() - desk.center()).manhattanLength(), 2);
}

}  // namespace
}  // namespace tabrix
