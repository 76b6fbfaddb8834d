// Runs several device runners side by side on the UI thread's event loop until each is done, and
// stops them all when the user presses Ctrl+C.
#pragma once

#include <functional>
#include <vector>

#include "cli/device_runner.h"

// While it lives, SIGINT (Ctrl+C) and SIGTERM only set a flag; the previous handlers come back
// afterwards.
class InterruptFlag {
 public:
  InterruptFlag();
  ~InterruptFlag();
  InterruptFlag(const InterruptFlag&) = delete;
  InterruptFlag& operator=(const InterruptFlag&) = delete;
  static bool Raised();
};

// Starts every runner and steps them until all are done. `onTick` runs after each round (the
// progress lines). Returns false when the run was interrupted: every runner then stopped sending
// and closed its port.
bool RunAll(const std::vector<DeviceRunner*>& runners, const std::function<void()>& onTick);

// Exit status of a command stopped by Ctrl+C (128 + SIGINT, as shells report it).
inline constexpr int kExitInterrupted = 130;
