// "dtu-config read" as a user waits for it: the whole command (process start, opening, login,
// the show reply, the file, "at+quit") against the wire time of the bytes that really crossed the
// line at 115200 baud, once for a device that is running and once for one that is booting and
// repeats its prompt.
//
//   build/bin/read_command_bench [PROMPT_PERIOD_MS]     default 500
//
// The aims: a running device within wire time + 400 ms, a booting one within one prompt period
// + wire time + 400 ms. Each line prints the best of three runs and its ratio to that budget.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "sim_process.h"

namespace {

constexpr int kBaud = 115200;
constexpr double kBitsPerByte8N1 = 10.0;
constexpr double kOverheadMs = 400;

// The "sent=" count of the simulator's status line: bytes the device put on the line.
long SentBytes(SimProcess& sim) {
  const std::string status = sim.Status();
  const size_t at = status.find("sent=");
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 5);
}

struct Run {
  double elapsedMs = -1;
  double wireMs = 0;
};

Run ReadOnce(bool booting, int promptPeriodMs) {
  SimProcess sim;
  std::string error;
  std::vector<std::string> args = {"--model", "zr350v4"};
  if (booting) {
    args.insert(args.end(),
                {"--boot-ms", "3000", "--prompt-period-ms", std::to_string(promptPeriodMs)});
  } else {
    args.insert(args.end(), {"--boot-ms", "100", "--no-reboot-on-open"});
  }
  if (!sim.Start(args, &error)) {
    std::fprintf(stderr, "read_command_bench: %s\n", error.c_str());
    return {};
  }
  // A running device has long left its prompt.
  if (!booting) std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const long before = SentBytes(sim);
  QTemporaryDir dir;
  QProcess read;
  QElapsedTimer timer;
  timer.start();
  read.start(QString(DTU_BIN_DIR "/dtu-config"),
             {"read", "--port", QString::fromStdString(sim.PtyPath()), "--baud",
              QString::number(kBaud), "-o", dir.filePath("device.cfg")});
  if (!read.waitForFinished(60000) || read.exitCode() != 0) {
    std::fprintf(stderr, "read_command_bench: read failed: %s\n",
                 read.readAllStandardError().constData());
    return {};
  }
  Run run;
  run.elapsedMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  const long bytes = SentBytes(sim) - before + static_cast<long>(sim.Recording().size());
  run.wireMs = static_cast<double>(bytes) * kBitsPerByte8N1 * 1000.0 / kBaud;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int promptPeriodMs = argc > 1 ? std::atoi(argv[1]) : 500;
  std::printf("%-24s %9s %9s %10s %8s %14s\n", "device", "wire ms", "read ms", "budget ms", "ratio",
              "ratio to wire");
  for (bool booting : {false, true}) {
    Run best;
    for (int i = 0; i < 3; ++i) {
      const Run run = ReadOnce(booting, promptPeriodMs);
      if (run.elapsedMs >= 0 && (best.elapsedMs < 0 || run.elapsedMs < best.elapsedMs)) best = run;
    }
    const std::string name =
        booting ? "booting, prompt " + std::to_string(promptPeriodMs) + " ms" : "running";
    if (best.elapsedMs < 0) {
      std::printf("%-24s failed\n", name.c_str());
      continue;
    }
    const double budget = best.wireMs + kOverheadMs + (booting ? promptPeriodMs : 0);
    std::printf("%-24s %9.1f %9.1f %10.1f %8.3f %14.3f\n", name.c_str(), best.wireMs,
                best.elapsedMs, budget, best.elapsedMs / budget, best.elapsedMs / best.wireMs);
  }
  return 0;
}
