#include "port_hand_over.h"

#include <QMetaObject>
#include <QObject>

struct PortHandOver::Shared {
  std::mutex mutex;
  std::condition_variable handled;
  uint64_t generation = 0;  // the current opening; 0 before the first
  bool active = false;      // false once the current opening ended
  uint64_t doneCount = 0;   // hand-overs of the current opening the UI thread finished
  DataHandler onData;
  GoneHandler onGone;
};

PortHandOver::PortHandOver() : shared_(std::make_shared<Shared>()), context_(new QObject) {}

PortHandOver::~PortHandOver() {
  End();
  // Deleting the context object also discards the hand-overs still queued for it.
  context_.reset();
}

uint64_t PortHandOver::Begin(DataHandler onData, GoneHandler onGone) {
  std::lock_guard lock(shared_->mutex);
  ++shared_->generation;
  shared_->active = true;
  shared_->doneCount = 0;
  shared_->onData = std::move(onData);
  shared_->onGone = std::move(onGone);
  shared_->handled.notify_all();
  return shared_->generation;
}

void PortHandOver::End() {
  std::lock_guard lock(shared_->mutex);
  shared_->active = false;
  shared_->handled.notify_all();
}

bool PortHandOver::SendData(uint64_t generation, const char* data, size_t count) {
  // A copy, so that a hand-over left in the event loop after its opening ended never points into
  // a buffer the monitoring thread has already reused or freed.
  std::string chunk(data, count);
  return Send(generation, [chunk = std::move(chunk)](Shared& shared) {
    DataHandler handler;
    {
      std::lock_guard lock(shared.mutex);
      handler = shared.onData;
    }
    // A local copy: the handler may close and re-open the port, which replaces the stored one.
    if (handler) handler(chunk.data(), chunk.size());
  });
}

bool PortHandOver::SendGone(uint64_t generation, int error) {
  return Send(generation, [error](Shared& shared) {
    GoneHandler handler;
    {
      std::lock_guard lock(shared.mutex);
      handler = shared.onGone;
    }
    if (handler) handler(error);
  });
}

bool PortHandOver::Send(uint64_t generation, std::function<void(Shared&)> deliver) {
  std::shared_ptr<Shared> shared = shared_;
  std::unique_lock lock(shared->mutex);
  auto current = [&] { return shared->active && shared->generation == generation; };
  if (!current()) return false;
  const uint64_t ticket = shared->doneCount + 1;
  // Runs on the UI thread. The generation check and the handler call happen there, between
  // other events, so once End() has returned on that thread no handler of the old opening runs.
  auto onUiThread = [shared, generation, deliver = std::move(deliver)] {
    {
      std::lock_guard uiLock(shared->mutex);
      if (!shared->active || shared->generation != generation) return;
    }
    deliver(*shared);
    std::lock_guard uiLock(shared->mutex);
    if (shared->active && shared->generation == generation) {
      ++shared->doneCount;
      shared->handled.notify_all();
    }
  };
  QMetaObject::invokeMethod(context_.get(), std::move(onUiThread), Qt::QueuedConnection);
  shared->handled.wait(lock, [&] { return !current() || shared->doneCount >= ticket; });
  return current();
}
