// Runs tasks on the UI thread (the thread that created the queue).
//
// Post queues a task behind everything already queued. Invoke from another thread blocks until
// the UI thread has run the task; Invoke on the UI thread runs it directly. Once Shutdown() has
// been called, blocked invokers return at once and later tasks are dropped, so no thread can hang
// on a UI thread that is going away.
//
// The queue is our own, behind our own mutex, and other threads only signal an eventfd that the
// UI thread's event loop watches: nothing another thread allocated ever passes through Qt's event
// queue, whose locks and application-wide event filters thread checkers cannot follow.
#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QSocketNotifier;

class UiTaskQueue : public QObject {
 public:
  UiTaskQueue();
  ~UiTaskQueue() override;

  // Queues `task` to run on the UI thread behind everything already queued.
  void Post(std::function<void()> task);
  // Runs `task` on the UI thread and waits for it. False when it was not run (shut down).
  bool Invoke(std::function<void()> task);

  void Shutdown();
  bool IsShutDown() const { return shutDown_.load(); }
  bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

 private:
  struct Item {
    std::function<void()> task;
    std::shared_ptr<bool> done;  // of a blocked invoker, guarded by mutex_
  };

  // Any thread: queues the item and wakes the UI thread.
  void Publish(Item item);
  // UI thread: runs every queued task, in order.
  void Drain();

  std::thread::id uiThread_;
  std::atomic<bool> shutDown_{false};
  std::mutex mutex_;
  std::condition_variable ran_;
  std::deque<Item> queue_;
  int wakeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;  // a child of this object
};
