// Runs the real dtu-config with a headless command and collects what it printed, calling `tick`
// about every 20 ms while it runs, so that a test can act on the device (or on the program)
// meanwhile.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <functional>
#include <string>

struct CliRun {
  int status = -1;  // -1: did not end within its limit (it was killed), or it crashed
  std::string out;
  std::string err;
};

// `tick` receives the running program's process id.
inline CliRun RunCli(const QStringList& args, const std::function<void(qint64 pid)>& tick = {},
                     int limitMs = 120000) {
  QProcess program;
  program.start(QString(DTU_BIN_DIR "/dtu-config"), args);
  CliRun run;
  if (!program.waitForStarted(10000)) return run;
  QElapsedTimer clock;
  clock.start();
  while (program.state() != QProcess::NotRunning && clock.elapsed() < limitMs) {
    if (tick) tick(program.processId());
    program.waitForFinished(20);
  }
  if (program.state() != QProcess::NotRunning) {
    program.kill();
    program.waitForFinished();
    return run;
  }
  run.out = program.readAllStandardOutput().toStdString();
  run.err = program.readAllStandardError().toStdString();
  if (program.exitStatus() == QProcess::NormalExit) run.status = program.exitCode();
  return run;
}

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
