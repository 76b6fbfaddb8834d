// Delivers messages and tasks on the UI thread (the thread that created the pump).
//
// Post queues a message behind everything already queued. Send from another thread blocks until
// the UI thread has handled the message; Send on the UI thread calls the handler directly. Once
// Shutdown() has been called, blocked senders return at once and later messages are dropped,
// so no thread can hang on a window that is going away.
//
// The queue is our own, behind our own mutex, and other threads only signal an eventfd that the
// UI thread's event loop watches: nothing another thread allocated ever passes through Qt's event
// queue, whose locks and application-wide event filters thread checkers cannot follow.
#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class QSocketNotifier;

using MessageId = unsigned;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using MessageResult = std::intptr_t;

class MessagePump : public QObject {
 public:
  using Handler = std::function<MessageResult(MessageId, WParam, LParam)>;

  explicit MessagePump(Handler handler);
  ~MessagePump() override;

  // Queues the message. `payload` travels with it; when not empty, the handler receives its bytes
  // as wParam and their count as lParam (the text of WM_LOG_TEXT).
  void Post(MessageId msg, WParam wParam, LParam lParam, std::string payload = {});
  // Queues `work` to run on the UI thread behind everything already queued.
  void PostTask(std::function<void()> work);
  // Handles the message on the UI thread and returns its result; `*delivered` (when given) says
  // whether it was handled, false after Shutdown().
  MessageResult Send(MessageId msg, WParam wParam, LParam lParam, bool* delivered = nullptr);
  // Runs `work` on the UI thread and waits for it, like Send. False when abandoned.
  bool Invoke(std::function<void()> work);

  void Shutdown();
  bool IsShutDown() const { return shutDown_.load(); }
  bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

 private:
  struct Pending {
    bool done = false;
    MessageResult result = 0;
  };
  struct Item {
    MessageId msg = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::string payload;
    bool hasPayload = false;
    std::function<void()> work;
    std::shared_ptr<Pending> pending;  // of a blocked sender
  };

  // Any thread: queues the item and wakes the UI thread.
  void Publish(Item item);
  // Blocks until the item's pending result is there or the pump shut down.
  bool WaitFor(const std::shared_ptr<Pending>& pending);
  // UI thread: handles every queued item, in order.
  void Drain();

  Handler handler_;
  std::thread::id uiThread_;
  std::atomic<bool> shutDown_{false};
  std::mutex mutex_;
  std::condition_variable handled_;
  std::deque<Item> queue_;
  int wakeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;  // a child of this object
};
