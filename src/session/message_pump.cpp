#include "session/message_pump.h"

#include <QCoreApplication>
#include <QEvent>

#include <memory>

namespace {
const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

// What a blocked sender waits for; shared between the event and the sender so that either may
// go away first.
struct MessagePump::Pending {
  bool done = false;
  MessageResult result = 0;
};

namespace {
class MessageEvent : public QEvent {
 public:
  MessageEvent() : QEvent(kMessageEvent) {}
  MessageId msg = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  std::string payload;
  bool hasPayload = false;
  std::function<void()> work;
  std::shared_ptr<void> pending;  // MessagePump::Pending of a blocked sender
};
}  // namespace

MessagePump::MessagePump(Handler handler)
    : handler_(std::move(handler)), uiThread_(std::this_thread::get_id()) {}

MessagePump::~MessagePump() {
  Shutdown();
}

void MessagePump::Post(MessageId msg, WParam wParam, LParam lParam, std::string payload) {
  if (shutDown_) return;
  auto* e = new MessageEvent;
  e->msg = msg;
  e->wParam = wParam;
  e->lParam = lParam;
  e->hasPayload = !payload.empty();
  e->payload = std::move(payload);
  Publish(e);
}

void MessagePump::PostTask(std::function<void()> work) {
  if (shutDown_) return;
  auto* e = new MessageEvent;
  e->work = std::move(work);
  Publish(e);
}

MessageResult MessagePump::Send(MessageId msg, WParam wParam, LParam lParam, bool* delivered) {
  if (delivered) *delivered = false;
  if (shutDown_) return 0;
  if (OnUiThread()) {
    if (delivered) *delivered = true;
    return handler_(msg, wParam, lParam);
  }
  auto pending = std::make_shared<Pending>();
  auto* e = new MessageEvent;
  e->msg = msg;
  e->wParam = wParam;
  e->lParam = lParam;
  e->pending = pending;
  Publish(e);
  std::unique_lock<std::mutex> lock(mutex_);
  handled_.wait(lock, [&] { return pending->done || shutDown_; });
  if (delivered) *delivered = pending->done;
  return pending->result;
}

bool MessagePump::Invoke(std::function<void()> work) {
  if (shutDown_) return false;
  if (OnUiThread()) {
    work();
    return true;
  }
  auto pending = std::make_shared<Pending>();
  auto* e = new MessageEvent;
  e->work = std::move(work);
  e->pending = pending;
  Publish(e);
  std::unique_lock<std::mutex> lock(mutex_);
  handled_.wait(lock, [&] { return pending->done || shutDown_; });
  return pending->done;
}

void MessagePump::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
  }
  handled_.notify_all();
}

void MessagePump::Publish(QEvent* e) {
  // Qt's event queue locks with its own futexes, which thread checkers cannot see; passing the
  // filled event through our mutex as well makes the hand-over to the UI thread visible to them.
  { std::lock_guard<std::mutex> lock(mutex_); }
  QCoreApplication::postEvent(this, e);
}

bool MessagePump::event(QEvent* e) {
  if (e->type() != kMessageEvent) return QObject::event(e);
  {
    std::lock_guard<std::mutex> lock(mutex_);  // pairs with Publish
  }
  auto* m = static_cast<MessageEvent*>(e);
  if (shutDown_) return true;
  MessageResult result = 0;
  if (m->work) {
    m->work();
  } else if (m->hasPayload) {
    result = handler_(m->msg, reinterpret_cast<WParam>(m->payload.data()),
                      static_cast<LParam>(m->payload.size()));
  } else {
    result = handler_(m->msg, m->wParam, m->lParam);
  }
  if (m->pending) {
    auto* pending = static_cast<Pending*>(m->pending.get());
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending->done = true;
      pending->result = result;
    }
    handled_.notify_all();
  }
  return true;
}
