// Runs several device runners side by side on the UI thread's event loop until each is done, and
// stops them all when the user presses Ctrl+C or the command is told to end.
#pragma once

#include <functional>
#include <vector>

#include "cli/device_runner.h"

// While it lives, SIGINT (Ctrl+C), SIGTERM and SIGHUP only set a flag, so that every device is
// sent back to its data mode before the command ends; a second one ends the process at once
// with the status of the first. The previous handlers come back afterwards.
class InterruptFlag {
 public:
  InterruptFlag();
  ~InterruptFlag();
  InterruptFlag(const InterruptFlag&) = delete;
  InterruptFlag& operator=(const InterruptFlag&) = delete;
  static bool Raised();
  // The first signal that came, or 0.
  static int Signal();
};

// Starts every runner and steps them until all are done. `onTick` runs after each round (the
// progress lines). Returns false when the run was interrupted: every runner then dropped what it
// had queued, sent "at+quit" (unless its plan stays) and closed its port.
bool RunAll(const std::vector<DeviceRunner*>& runners, const std::function<void()>& onTick);

// Exit status of a command stopped by a signal: 128 + its number, as shells report it (130 for
// SIGINT, 143 for SIGTERM, 129 for SIGHUP).
int ExitStatusForSignal(int signal);
