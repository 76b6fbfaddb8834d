// "dtu-config read": the real program, headless, against the real simulated device.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

struct ReadRun {
  int status = -1;
  std::string err;
};

// A run that takes longer than `limitMs` counts as hung (status -1).
ReadRun RunRead(const QStringList& args, int limitMs = 60000) {
  QProcess program;
  program.start(QString(DTU_BIN_DIR "/dtu-config"), QStringList{"read"} + args);
  ReadRun run;
  if (!program.waitForFinished(limitMs)) {
    program.kill();
    program.waitForFinished();
    return run;
  }
  run.status = program.exitCode();
  run.err = program.readAllStandardError().toStdString();
  return run;
}

// The out lines of a run as well, for the reports.
struct FullRun {
  int status = -1;
  std::string out;
  std::string err;
};

FullRun RunReadFull(const QStringList& args) {
  QProcess program;
  program.start(QString(DTU_BIN_DIR "/dtu-config"), QStringList{"read"} + args);
  FullRun run;
  if (!program.waitForFinished(60000)) {
    program.kill();
    program.waitForFinished();
    return run;
  }
  run.status = program.exitCode();
  run.out = program.readAllStandardOutput().toStdString();
  run.err = program.readAllStandardError().toStdString();
  return run;
}

// The error lines of a run, without Qt's own environment warnings.
std::string ErrorLines(const std::string& err) {
  std::string lines;
  size_t at = 0;
  while (at < err.size()) {
    size_t end = err.find('\n', at);
    if (end == std::string::npos) end = err.size();
    std::string line = err.substr(at, end - at);
    if (line.rfind("QStandardPaths", 0) != 0 && !line.empty()) lines += line + "\n";
    at = end + 1;
  }
  return lines;
}

}  // namespace

TEST(ReadCommand, WritesTheDevicesShowReplyAsAConfigurationFile) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500", "--model", "zr350v4"}, &error)) << error;
  TempDir dir;
  const std::string file = dir.Path() + "device.cfg";
  ReadRun run = RunRead({"--port", QString::fromStdString(sim.PtyPath()), "--baud", "115200", "-o",
                         QString::fromStdString(file)});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ErrorLines(run.err), "");
  std::string text;
  ASSERT_TRUE(ReadConfigFileFrom(file, &text, &error)) << error;
  EXPECT_TRUE(CheckConfigText(text, &error)) << error;
  EXPECT_NE(text.find("Zr350V4"), std::string::npos);
  EXPECT_NE(text.find("\r\nOK\r\n"), std::string::npos);
  // The device was logged in by its boot prompt, asked once and sent back to its data mode.
  const std::string received = sim.Recording();
  const size_t first = received.find_first_not_of('s');
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(received.substr(first), "\r\nAT+SHOW\r\nat+quit\r\n");
}

TEST(ReadCommand, LogsInWithTheEscapeSequenceWhenTheDeviceIsRunning) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "100", "--no-reboot-on-open"}, &error)) << error;
  // The device has left its 100 ms boot prompt and runs in its data mode.
  for (int i = 0; i < 100 && sim.Status().find("mode=data") == std::string::npos; ++i)
    usleep(20000);
  TempDir dir;
  ReadRun run = RunRead({"--port", QString::fromStdString(sim.PtyPath()), "-o",
                         QString::fromStdString(dir.Path() + "device.cfg")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(sim.Recording().find("+++"), std::string::npos);
}

TEST(ReadCommand, FailuresGiveOneLineAndAFailureStatus) {
  TempDir dir;
  const QString out = QString::fromStdString(dir.Path() + "device.cfg");

  ReadRun missing = RunRead({"--port", "/dev/no-such-port", "-o", out});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(ErrorLines(missing.err).rfind("dtu-config read: cannot open /dev/no-such-port", 0), 0u)
      << missing.err;

  // A port where nothing answers: neither a boot prompt nor "+++" leads anywhere.
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  ReadRun silent = RunRead({"--port", ptsname(master), "-o", out});
  close(master);
  EXPECT_EQ(silent.status, 1);
  EXPECT_EQ(ErrorLines(silent.err).rfind("dtu-config read: login:", 0), 0u) << silent.err;
  EXPECT_FALSE(QFile::exists(out)) << "nothing is written without a reply";

  ReadRun usage = RunRead({"--port", "/dev/ttyUSB0"});
  EXPECT_EQ(usage.status, 2);
  // An empty port is no port: nothing is opened (not the first port of the system).
  ReadRun emptyPort = RunRead({"--port", "", "-o", out});
  EXPECT_EQ(emptyPort.status, 2) << emptyPort.err;
  ReadRun baud = RunRead({"--port", "/dev/ttyUSB0", "--baud", "0", "-o", out});
  EXPECT_EQ(baud.status, 2);
}

TEST(ReadCommand, ABadReplyIsReportedAtOnceAndWritesNothing) {
  struct Case {
    const char* fault;
    const char* message;
  };
  // Each of these must end well before the 24 s reply time-out.
  const Case cases[] = {
      {"garbage on", "garbled or incomplete"},
      {"nul on", "garbled or incomplete"},
      {"error AT+SHOW", "refused AT+SHOW"},
      {"unplug-after-bytes 20", "went away"},
  };
  for (const Case& c : cases) {
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500", "--fault", c.fault}, &error)) << error;
    TempDir dir;
    const QString out = QString::fromStdString(dir.Path() + "device.cfg");
    ReadRun run = RunRead({"--port", QString::fromStdString(sim.PtyPath()), "-o", out}, 15000);
    EXPECT_EQ(run.status, 1) << c.fault << ": " << run.err;
    EXPECT_NE(ErrorLines(run.err).find(c.message), std::string::npos) << c.fault << ": " << run.err;
    EXPECT_FALSE(QFile::exists(out)) << c.fault;
  }
}

TEST(ReadCommand, StayLeavesTheDeviceInItsSettingMode) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  TempDir dir;
  ReadRun run = RunRead({"--port", QString::fromStdString(sim.PtyPath()), "--stay", "-o",
                         QString::fromStdString(dir.Path() + "device.cfg")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string received = sim.Recording();
  EXPECT_TRUE(received.ends_with("AT+SHOW\r\n")) << received;
}

TEST(ReadCommand, PortsWhoseFileNamesMeetAreReadIntoFilesOfTheirOwn) {
  // Two devices of different models, reached through paths that both map to "..._x_l1_x".
  SimProcess three, five;
  std::string error;
  ASSERT_TRUE(three.Start({"--boot-ms", "1500", "--model", "zr350"}, &error)) << error;
  ASSERT_TRUE(five.Start({"--boot-ms", "1500", "--model", "zr350v4"}, &error)) << error;
  TempDir dir;
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.Path() + "x/l1")));
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.Path() + "out")));
  const std::string underscore = dir.Path() + "x/l1_x";
  const std::string slash = dir.Path() + "x/l1/x";
  ASSERT_TRUE(
      QFile::link(QString::fromStdString(five.PtyPath()), QString::fromStdString(underscore)));
  ASSERT_TRUE(QFile::link(QString::fromStdString(three.PtyPath()), QString::fromStdString(slash)));
  const std::string out = dir.Path() + "out/";
  // Listed either way round, the same port gets the same file: numbered by path, "/" before "_".
  for (bool swapped : {false, true}) {
    QStringList args{"--port", QString::fromStdString(swapped ? slash : underscore),
                     "--port", QString::fromStdString(swapped ? underscore : slash),
                     "-o",     QString::fromStdString(out)};
    FullRun run = RunReadFull(args);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    std::string base = underscore.substr(1);
    for (char& c : base)
      if (c == '/') c = '_';
    const std::string first = out + base + "-1.cfg";
    const std::string second = out + base + "-2.cfg";
    EXPECT_NE(run.out.find(slash + ": read into " + first), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(underscore + ": read into " + second), std::string::npos) << run.out;
    std::string fromSlash, fromUnderscore;
    ASSERT_TRUE(ReadConfigFileFrom(first, &fromSlash, &error)) << error;
    ASSERT_TRUE(ReadConfigFileFrom(second, &fromUnderscore, &error)) << error;
    EXPECT_EQ(fromSlash.find("Zr350V4"), std::string::npos) << "the three-I/O device's own file";
    EXPECT_NE(fromUnderscore.find("Zr350V4"), std::string::npos)
        << "the five-I/O device's own file";
    EXPECT_EQ(QDir(QString::fromStdString(out)).entryList(QDir::Files).size(), 2);
  }

  // One device by two paths would be logged in twice: refused before either opens.
  const std::string before = five.Recording();
  FullRun twice =
      RunReadFull({"--port", QString::fromStdString(five.PtyPath()), "--port",
                   QString::fromStdString(underscore), "-o", QString::fromStdString(out)});
  EXPECT_EQ(twice.status, 2) << twice.err;
  EXPECT_NE(twice.err.find("are one device"), std::string::npos) << twice.err;
  EXPECT_EQ(five.Recording(), before);
}
