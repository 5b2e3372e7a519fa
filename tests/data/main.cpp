#include <gtest/gtest.h>

#include <QCoreApplication>

// The program runs under a QApplication; the tests run under its core.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
