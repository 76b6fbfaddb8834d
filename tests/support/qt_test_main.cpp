// Runs the tests inside a QApplication so that they can build the real form offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The backups the program takes before writing to a device never land in the home of whoever
  // runs the tests, not even when a test binary is started by hand (ctest sets a folder of the
  // build).
  QTemporaryDir state;
  if (qEnvironmentVariableIsEmpty("XDG_STATE_HOME"))
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
