// Runs the UI thread's event loop in tests, without spinning.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <functional>

#include "session/event_wait.h"

// Runs the event loop until `done()` holds or `timeoutMs` passed; whether `done()` holds.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  return RunEventLoopUntil(done, timeoutMs);
}

// Runs the event loop for `ms` milliseconds.
inline void PumpFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}
