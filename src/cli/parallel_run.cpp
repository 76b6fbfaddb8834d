#include "cli/parallel_run.h"

#include <QEventLoop>
#include <QTimer>

#include <csignal>

namespace {

volatile std::sig_atomic_t g_raised = 0;

void RaiseFlag(int /*signal*/) {
  g_raised = 1;
}

struct sigaction g_oldInt;
struct sigaction g_oldTerm;

// Every runner is looked at this often; a phase never waits longer for its next step.
constexpr int kStepMs = 2;

}  // namespace

InterruptFlag::InterruptFlag() {
  g_raised = 0;
  struct sigaction action {};
  action.sa_handler = RaiseFlag;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &g_oldInt);
  sigaction(SIGTERM, &action, &g_oldTerm);
}

InterruptFlag::~InterruptFlag() {
  sigaction(SIGINT, &g_oldInt, nullptr);
  sigaction(SIGTERM, &g_oldTerm, nullptr);
}

bool InterruptFlag::Raised() {
  return g_raised != 0;
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
