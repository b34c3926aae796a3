// main for tests that need a QApplication: widgets, timers and the graphs' notifications all
// run on its event loop. With no display it uses Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication App(argc, argv);
  return RUN_ALL_TESTS();
}
