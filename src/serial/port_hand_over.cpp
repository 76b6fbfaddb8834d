#include "port_hand_over.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <mutex>

namespace {
const QEvent::Type kHandOverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Every port's monitoring thread posts into the one UI thread's event list. Qt guards that list
// with a lock of its own, which a thread checker cannot see (Qt is not built for it); posting
// under this lock as well makes the order of several ports' posts visible to it. It is held
// only for the post itself.
std::mutex& PostMutex() {
  static std::mutex mutex;
  return mutex;
}
}  // namespace

std::unique_lock<std::mutex> HoldHandOverPosts() {
  return std::unique_lock<std::mutex>(PostMutex());
}

// One hand-over on its way to the UI thread. The UI thread makes it and the monitoring thread
// fills and posts it: every event filter of the application reads a posted event before its
// receiver can take a lock, and what they read must not be memory the monitoring thread
// allocated without an order a thread checker can see.
class PortHandOver::Event : public QEvent {
 public:
  Event() : QEvent(kHandOverEvent) {}
  uint64_t generation = 0;
  Delivery deliver;
};

struct PortHandOver::Shared {
  std::mutex mutex;
  std::condition_variable handled;
  uint64_t generation = 0;  // the current opening; 0 before the first
  bool active = false;      // false once the current opening ended
  uint64_t doneCount = 0;   // hand-overs of the current opening the UI thread finished
  DataHandler onData;
  GoneHandler onGone;
  std::unique_ptr<Event> spare;  // the next hand-over's event, made on the UI thread
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
    if (!shared->spare) shared->spare = std::make_unique<Event>();
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
  if (!shared_->spare) shared_->spare = std::make_unique<Event>();
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
  // A spare is always ready (Begin and every handled hand-over make one); a new one here would
  // be correct too, only harder for a thread checker to follow.
  std::unique_ptr<Event> event = std::move(shared->spare);
  if (!event) event = std::make_unique<Event>();
  event->generation = generation;
  event->deliver = std::move(deliver);
  {
    std::lock_guard post(PostMutex());
    QCoreApplication::postEvent(context_.get(), event.release());
  }
  shared->handled.wait(lock, [&] { return !current() || shared->doneCount >= ticket; });
  return current();
}
