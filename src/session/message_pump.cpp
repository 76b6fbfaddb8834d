#include "session/message_pump.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

MessagePump::MessagePump(Handler handler)
    : handler_(std::move(handler)), uiThread_(std::this_thread::get_id()) {
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ >= 0) {
    notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  }
}

MessagePump::~MessagePump() {
  Shutdown();
  delete notifier_;
  notifier_ = nullptr;
  if (wakeFd_ >= 0) close(wakeFd_);
}

void MessagePump::Post(MessageId msg, WParam wParam, LParam lParam, std::string payload) {
  Item item;
  item.msg = msg;
  item.wParam = wParam;
  item.lParam = lParam;
  item.hasPayload = !payload.empty();
  item.payload = std::move(payload);
  Publish(std::move(item));
}

void MessagePump::PostTask(std::function<void()> work) {
  Item item;
  item.work = std::move(work);
  Publish(std::move(item));
}

MessageResult MessagePump::Send(MessageId msg, WParam wParam, LParam lParam, bool* delivered) {
  if (delivered) *delivered = false;
  if (shutDown_) return 0;
  if (OnUiThread()) {
    if (delivered) *delivered = true;
    return handler_(msg, wParam, lParam);
  }
  Item item;
  item.msg = msg;
  item.wParam = wParam;
  item.lParam = lParam;
  item.pending = std::make_shared<Pending>();
  auto pending = item.pending;
  Publish(std::move(item));
  const bool done = WaitFor(pending);
  if (delivered) *delivered = done;
  std::lock_guard<std::mutex> lock(mutex_);
  return done ? pending->result : 0;
}

bool MessagePump::Invoke(std::function<void()> work) {
  if (shutDown_) return false;
  if (OnUiThread()) {
    work();
    return true;
  }
  Item item;
  item.work = std::move(work);
  item.pending = std::make_shared<Pending>();
  auto pending = item.pending;
  Publish(std::move(item));
  return WaitFor(pending);
}

void MessagePump::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    queue_.clear();
  }
  handled_.notify_all();
}

void MessagePump::Publish(Item item) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_) return;
    queue_.push_back(std::move(item));
  }
  const uint64_t one = 1;
  // A full counter still wakes the reader; nothing else can go wrong with an eventfd.
  while (write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

bool MessagePump::WaitFor(const std::shared_ptr<Pending>& pending) {
  std::unique_lock<std::mutex> lock(mutex_);
  handled_.wait(lock, [&] { return pending->done || shutDown_; });
  return pending->done;
}

void MessagePump::Drain() {
  uint64_t count = 0;
  while (read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  for (;;) {
    Item item;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (shutDown_ || queue_.empty()) return;
      item = std::move(queue_.front());
      queue_.pop_front();
    }
    MessageResult result = 0;
    if (item.work) {
      item.work();
    } else if (item.hasPayload) {
      result = handler_(item.msg, reinterpret_cast<WParam>(item.payload.data()),
                        static_cast<LParam>(item.payload.size()));
    } else {
      result = handler_(item.msg, item.wParam, item.lParam);
    }
    if (item.pending) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        item.pending->done = true;
        item.pending->result = result;
      }
      handled_.notify_all();
    }
  }
}
