// Waiting on the UI thread without blocking it: the event loop runs until a condition holds.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs the event loop until `done()` holds or `timeoutMs` passed (checking every few
// milliseconds, never spinning); whether `done()` holds.
inline bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  if (done()) return true;
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  check.start(5);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}
