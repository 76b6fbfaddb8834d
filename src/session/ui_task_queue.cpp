#include "session/ui_task_queue.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

UiTaskQueue::UiTaskQueue() : uiThread_(std::this_thread::get_id()) {
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ >= 0) {
    notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  }
}

UiTaskQueue::~UiTaskQueue() {
  Shutdown();
  delete notifier_;
  notifier_ = nullptr;
  if (wakeFd_ >= 0) close(wakeFd_);
}

void UiTaskQueue::Post(std::function<void()> task) {
  Publish({std::move(task), nullptr});
}

bool UiTaskQueue::Invoke(std::function<void()> task) {
  if (shutDown_) return false;
  if (OnUiThread()) {
    task();
    return true;
  }
  auto done = std::make_shared<bool>(false);
  Publish({std::move(task), done});
  std::unique_lock<std::mutex> lock(mutex_);
  ran_.wait(lock, [&] { return *done || shutDown_; });
  return *done;
}

void UiTaskQueue::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    queue_.clear();
  }
  ran_.notify_all();
}

void UiTaskQueue::Publish(Item item) {
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

void UiTaskQueue::Drain() {
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
    item.task();
    if (item.done) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        *item.done = true;
      }
      ran_.notify_all();
    }
  }
}
