// The program's own command line, answered before any window system is touched.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "temp_dir.h"

namespace {

struct Answer {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs dtu-config on a machine without a display.
Answer RunWithoutDisplay(const QStringList& args) {
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  program.setProcessEnvironment(env);
  program.start(QString(DTU_BIN_DIR "/dtu-config"), args);
  Answer answer;
  if (!program.waitForFinished(30000)) return answer;
  answer.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
  answer.out = program.readAllStandardOutput().toStdString();
  answer.err = program.readAllStandardError().toStdString();
  return answer;
}

}  // namespace

TEST(CommandLine, HelpVersionAndMistakesNeedNoDisplay) {
  Answer help = RunWithoutDisplay({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: dtu-config [options]", 0), 0u) << help.out;
  Answer version = RunWithoutDisplay({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "dtu-config V1.9.2\n");
  Answer unknown = RunWithoutDisplay({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
  Answer language = RunWithoutDisplay({"--lang", "fr"});
  EXPECT_EQ(language.status, 2);
}

TEST(CommandLine, TheWindowWithoutADisplayIsAClearErrorNotACrash) {
  Answer window = RunWithoutDisplay({});
  EXPECT_EQ(window.status, 1);
  EXPECT_NE(window.err.find("no display"), std::string::npos) << window.err;
}

TEST(CommandLine, AScreenshotNeedsNoDisplay) {
  TempDir dir;
  const std::string png = dir.Path() + "window.png";
  Answer shot = RunWithoutDisplay({"--screenshot", QString::fromStdString(png), "--lang", "zh"});
  ASSERT_EQ(shot.status, 0) << shot.err;
  const std::string bytes = dir.Read("window.png");
  ASSERT_GT(bytes.size(), 10000u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
}
