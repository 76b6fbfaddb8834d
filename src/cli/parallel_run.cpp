#include "cli/parallel_run.h"

#include <QEventLoop>
#include <QTimer>

#include <unistd.h>

#include <csignal>
#include <iterator>

namespace {

volatile std::sig_atomic_t g_signal = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_old[std::size(kSignals)];

void RaiseFlag(int signal) {
  // The second signal: whoever sends it does not want to wait for the devices.
  if (g_signal != 0) _exit(128 + g_signal);
  g_signal = signal;
}

// Every runner is looked at this often; a phase never waits longer for its next step.
constexpr int kStepMs = 2;

}  // namespace

InterruptFlag::InterruptFlag() {
  g_signal = 0;
  struct sigaction action {};
  action.sa_handler = RaiseFlag;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &g_old[i]);
}

InterruptFlag::~InterruptFlag() {
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &g_old[i], nullptr);
}

bool InterruptFlag::Raised() {
  return g_signal != 0;
}

int InterruptFlag::Signal() {
  return g_signal;
}

int ExitStatusForSignal(int signal) {
  return 128 + (signal > 0 ? signal : SIGINT);
}

bool RunAll(const std::vector<DeviceRunner*>& runners, const std::function<void()>& onTick) {
  for (DeviceRunner* runner : runners) runner->Start();
  bool interrupted = false;
  auto allDone = [&] {
    for (DeviceRunner* runner : runners)
      if (!runner->Done()) return false;
    return true;
  };
  QEventLoop loop;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (InterruptFlag::Raised() && !interrupted) {
      interrupted = true;
      for (DeviceRunner* runner : runners) runner->Interrupt();
    }
    for (DeviceRunner* runner : runners) runner->Step();
    if (onTick) onTick();
    if (allDone()) loop.quit();
  });
  if (!allDone()) {
    tick.start(kStepMs);
    loop.exec();
  }
  if (onTick) onTick();
  return !interrupted;
}
