#include "app/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <array>
#include <csignal>

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[kSignals.size()];

void WriteSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  (void)!write(g_pipe[1], &number, 1);
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    unsigned char number = 0;
    while (read(g_pipe[0], &number, 1) == 1) {
      // A second signal while the window closes changes nothing: closing is under way.
      if (raised_ != 0) continue;
      raised_ = number;
      if (onSignal_) onSignal_(number);
    }
  });
  struct sigaction action {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &g_previous[i]);
}

QuitSignals::~QuitSignals() {
  if (!notifier_) return;
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
  notifier_.reset();
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}
