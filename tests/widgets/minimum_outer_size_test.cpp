#include "widgets/minimum_outer_size.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tabrix {
namespace {

TEST(MinimumOuterSize, TheWindowCannotBeMadeSmallerThanItsOuterMinimum) {
  QWidget window;
  window.resize(600, 300);
  keepMinimumOuterSize(window, QSize(509, 182));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  window.resize(100, 100);
  const QSize frame = window.frameGeometry().size() - window.size();
  EXPECT_EQ(window.frameGeometry().size(), QSize(509, 182).expandedTo(frame));
  EXPECT_EQ(window.minimumSize() + frame, QSize(509, 182));
  window.resize(700, 400);  // there is no maximum
  EXPECT_EQ(window.size(), QSize(700, 400));
}

}  // namespace
}  // namespace tabrix
