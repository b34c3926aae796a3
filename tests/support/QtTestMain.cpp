// main for tests that need Qt's event loop: timers and the graphs' notifications run on it, and
// widgets too where the program is built with VIZMORA_TEST_WIDGETS (windows without widgets
// with VIZMORA_TEST_GUI). With no display the windows use Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#ifdef VIZMORA_TEST_WIDGETS
#include <QApplication>
using TTestApplication = QApplication;
#elif defined(VIZMORA_TEST_GUI)
#include <QGuiApplication>
using TTestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  TTestApplication App(argc, argv);
  return RUN_ALL_TESTS();
}
