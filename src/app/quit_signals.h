// Ending the window's run on SIGINT, SIGTERM and SIGHUP as its close button would: the device
// is sent back to its data mode, the demo's simulated device is stopped, and the program ends.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

class QuitSignals {
 public:
  // While it lives, each of the three signals calls `onSignal` on the UI thread (the handler
  // only writes the signal's number into a pipe, the event loop reads it); the previous
  // handlers come back afterwards.
  explicit QuitSignals(std::function<void(int signal)> onSignal);
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // The first signal that came, or 0.
  int Raised() const { return raised_; }

 private:
  std::function<void(int)> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  int raised_ = 0;
};
