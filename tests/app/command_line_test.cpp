// The program's own command line, answered before any window system is touched.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
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
  QProcess sim;
  sim.start(QString(DTU_BIN_DIR "/dtu-sim"), {"--version"});
  ASSERT_TRUE(sim.waitForFinished(10000));
  EXPECT_EQ(sim.exitCode(), 0);
  EXPECT_EQ(sim.readAllStandardOutput().toStdString(), "dtu-sim V1.9.2\n");
  Answer unknown = RunWithoutDisplay({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
  Answer language = RunWithoutDisplay({"--lang", "fr"});
  EXPECT_EQ(language.status, 2);
}

TEST(CommandLine, AScreenshotNeedsAFileAndAWindowNoSmallerThanTheSkinsMinimum) {
  TempDir dir;
  const QString fifo = QString::fromStdString(dir.Path() + "fifo");
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  struct Case {
    QStringList args;
    const char* said;
  };
  const Case cases[] = {
      {{"--screenshot", ""}, "--screenshot takes"},
      {{"--screenshot", fifo}, "not a regular file"},
      {{"--screenshot", "/dev/null"}, "not a regular file"},
      {{"--screenshot", "x.png", "--size", "1099x680"}, "--size takes"},
      {{"--screenshot", "x.png", "--size", "1100x679"}, "--size takes"},
      {{"--screenshot", "x.png", "--size", "big"}, "--size takes"},
      {{"--screenshot", "x.png", "--new-profile", "zr999"}, "no profile model \"zr999\""},
      {{"--screenshot", "x.png", "--edit", "Server's Ip"}, "--edit takes NAME=VALUE"},
  };
  for (const Case& c : cases) {
    const Answer answer = RunWithoutDisplay(c.args);
    EXPECT_EQ(answer.status, 2) << c.args.join(' ').toStdString();
    EXPECT_NE(answer.err.find(c.said), std::string::npos) << answer.err;
  }
}

TEST(CommandLine, AnEditOfAFieldTheFormLacksIsRefused) {
  TempDir dir;
  Answer shot = RunWithoutDisplay({"--screenshot", QString::fromStdString(dir.Path() + "w.png"),
                                   "--new-profile", "3dio", "--edit", "No such field=1"});
  EXPECT_EQ(shot.status, 2);
  EXPECT_NE(shot.err.find("the form has no field \"No such field\""), std::string::npos)
      << shot.err;
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

namespace {

// The pid of a child of `parent` whose name is `name`, or 0.
pid_t ChildNamed(pid_t parent, const std::string& name) {
  QDir proc("/proc");
  for (const QString& entry : proc.entryList(QDir::Dirs)) {
    bool number = false;
    const pid_t pid = entry.toInt(&number);
    if (!number) continue;
    QFile stat("/proc/" + entry + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    // "pid (comm) state ppid ..."
    const QString line = QString::fromUtf8(stat.readAll());
    const qsizetype close = line.lastIndexOf(')');
    const QStringList rest = line.mid(close + 2).split(' ');
    if (rest.size() > 1 && rest[1].toInt() == parent &&
        line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1).toStdString() == name)
      return pid;
  }
  return 0;
}

// Running, and not a zombie.
bool Alive(pid_t pid) {
  QFile stat(QString("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return false;
  const QString line = QString::fromUtf8(stat.readAll());
  return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

}  // namespace

TEST(CommandLine, ASignalEndsTheDemoWithItsSimulatedDevice) {
#ifdef __SANITIZE_THREAD__
  // The thread checker ends a program that starts a thread after it forked while threaded, as
  // the demo does to start its simulator; this test is about signals, not threads.
  GTEST_SKIP() << "the demo's fork is beyond the thread checker";
#endif
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.Path() + "config"));
    env.insert("XDG_STATE_HOME", QString::fromStdString(dir.Path() + "state"));
    program.setProcessEnvironment(env);
    program.start(QString(DTU_BIN_DIR "/dtu-config"), {"--demo"});
    ASSERT_TRUE(program.waitForStarted(10000));
    const pid_t pid = static_cast<pid_t>(program.processId());
    pid_t sim = 0;
    for (int i = 0; i < 500 && sim == 0; ++i) {
      sim = ChildNamed(pid, "dtu-sim");
      if (sim == 0) program.waitForFinished(20);
    }
    ASSERT_NE(sim, 0) << "the demo started no simulated device";
    // Let the window start its run.
    program.waitForFinished(500);
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    kill(pid, signal);
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 128 + signal) << program.readAllStandardError().toStdString();
    EXPECT_FALSE(Alive(sim)) << "the simulated device was left running";
    if (Alive(sim)) kill(sim, SIGKILL);
  }
}
