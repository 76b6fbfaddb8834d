#include "port_hand_over.h"

#include <QCoreApplication>
#include <QEvent>
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

namespace {
const QEvent::Type kHandOverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

// One hand-over on its way to the UI thread; filled by the monitoring thread.
class PortHandOver::Event : public QEvent {
 public:
  Event(uint64_t ofOpening, Delivery delivery)
      : QEvent(kHandOverEvent), generation(ofOpening), deliver(std::move(delivery)) {}
  const uint64_t generation;
  const Delivery deliver;
};

// Receives the hand-overs on the UI thread. Qt's event queue locks with its own futexes, which
// thread checkers cannot see; the monitoring thread posts while it holds the shared mutex, and
// this side takes that mutex before it reads anything of the event, so one lock that both sides
// share orders the hand-over.
class PortHandOver::Receiver : public QObject {
 public:
  explicit Receiver(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

  bool event(QEvent* e) override {
    // A local reference: the handler may end the port and with it this object.
    std::shared_ptr<Shared> shared = shared_;
    std::unique_lock lock(shared->mutex);  // pairs with the lock held in Send
    if (e->type() != kHandOverEvent) {
      lock.unlock();
      return QObject::event(e);
    }
    const auto* handOver = static_cast<const Event*>(e);
    const uint64_t generation = handOver->generation;
    auto current = [&] { return shared->active && shared->generation == generation; };
    // Checked here, between other events, so that once End() has returned on this thread no
    // handler of the old opening runs.
    if (!current()) return true;
    lock.unlock();
    handOver->deliver(*shared);
    lock.lock();
    if (current()) {
      ++shared->doneCount;
      shared->handled.notify_all();
    }
    return true;
  }

 private:
  std::shared_ptr<Shared> shared_;
};

PortHandOver::PortHandOver()
    : shared_(std::make_shared<Shared>()), context_(new Receiver(shared_)) {}

PortHandOver::~PortHandOver() {
  End();
  // Deleting the receiver also discards the hand-overs still queued for it.
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

bool PortHandOver::Send(uint64_t generation, Delivery deliver) {
  std::shared_ptr<Shared> shared = shared_;
  std::unique_lock lock(shared->mutex);
  auto current = [&] { return shared->active && shared->generation == generation; };
  if (!current()) return false;
  const uint64_t ticket = shared->doneCount + 1;
  // Posted with the lock held: the UI thread reads the event only after this thread released
  // the lock in the wait below.
  QCoreApplication::postEvent(context_.get(), new Event(generation, std::move(deliver)));
  shared->handled.wait(lock, [&] { return !current() || shared->doneCount >= ticket; });
  return current();
}
